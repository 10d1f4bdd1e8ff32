// The timing engine's one record: the stopwatch's and the countdown's readings and run state. The
// user-interface thread writes all of it; the menu refresh reads the run flags on the multimedia timer thread.
#pragma once
#include <windows.h>
#include <cstdint>
#include "helpers/shared_value.h"

using SharedInt = Shared<int32_t>;

// One broken-down time, as the last refresh boundary (or countdown step) left it.
struct ClockTime {
  SharedInt Ticks;    // milliseconds; in TimerRemaining the milliseconds left
  SharedInt Hours;
  SharedInt Minutes;  // 0..59
  SharedInt Seconds;  // 0..59
  SharedInt Millis;   // 0..999, millisecond breakdowns only
  SharedInt Frames;   // 0..23, frame breakdowns only
};

// A measurement's running time in performance-counter counts: what its earlier runs added, and where the
// current run began.
struct RunCounts {
  int64_t Before = 0;
  int64_t StartedAt = 0;
};

// No lap is waiting.
constexpr int64_t NoLapRequest = -1;

struct StopwatchClockRecord {
  ClockTime LapTime;         // current lap, milliseconds
  ClockTime TotalTime;       // since reset, milliseconds
  ClockTime LapFrameTime;    // current lap, 24 frames per second, hours 0..99
  ClockTime TotalFrameTime;  // since reset, 24 frames per second, hours 0..99
  SharedInt HourRefreshCount;    // refreshes since the lap began, modulo one hour's worth
  SharedInt MinuteRefreshCount;  // refreshes since the lap began, modulo one minute's worth
  int32_t LapStart = 0;          // the total at which the current lap began, a refresh boundary
  int32_t LapRefreshOffset = 0;  // 1 when a lap recorded at its boundary began the lap: that boundary counts
  SharedInt RefreshDivisor = 1000;       // stopwatch milliseconds per display refresh
  SharedInt RefreshesPerHalfMinute = 30;
  RunCounts StopwatchRun;
  SharedInt StopwatchRunning;
  SharedInt StopwatchStarted;
  int64_t LapRequest = NoLapRequest;  // the measured milliseconds at which a waiting lap was asked for
  int32_t DialogRedrawHoldLeft = 0;   // refresh boundaries the redraw hold still counts; 0: no hold
  SharedInt TimerStep = 1000;  // countdown milliseconds per step
  ClockTime TimerRemaining;
  int64_t CountdownStartedAt = 0;  // the counter at the current run's Start
  int32_t RemainingAtStart = 0;    // TimerRemaining.Ticks at that Start
  SharedInt TimerRunning;
  SharedInt TimerStarted;
  SharedInt TimerExpired;
};

extern StopwatchClockRecord StopwatchClock;

// What a frame shows of the stopwatch: the lap and the total in both breakdowns and the dial's refresh counts.
struct StopwatchReading {
  ClockTime Lap;
  ClockTime LapFrames;
  ClockTime Total;
  ClockTime TotalFrames;
  int32_t HourRefreshCount;
  int32_t MinuteRefreshCount;
};

// The lap time at which the stopwatch stops itself: 100:00:00.000.
constexpr int32_t HundredHoursTicks = 360000000;
// The total at which the stopwatch stops itself because a 32-bit count would overflow next: the largest
// multiple of every resolution (3000 ms) below 2^31, 596:31:21.000.
constexpr int32_t TotalTicksLimit = 2147481000;
// Redraw-hold length in refresh boundaries after a modal dialog opens.
constexpr int32_t DialogRedrawHoldLength = 100;

// Arms the redraw hold; called whenever a modal dialog or chooser opens.
inline void ArmDialogRedrawHold() { StopwatchClock.DialogRedrawHoldLeft = DialogRedrawHoldLength; }
