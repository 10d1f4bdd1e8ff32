// The timing engine's one record: the stopwatch's and the countdown's counters and run state, shared by the
// timer thread that advances them and the user-interface thread that shows and controls them.
#pragma once
#include <windows.h>
#include <cstdint>
#include "helpers/shared_value.h"

using SharedInt = Shared<int32_t>;

// One broken-down time. Every field is shared with the timer thread, so a paint never reads half a value; a
// reader gets all of them from one moment through the update sequence of the record's writer.
struct ClockTime {
  SharedInt Ticks;    // milliseconds counted; in TimerRemaining the milliseconds left
  SharedInt Hours;
  SharedInt Minutes;  // 0..59
  SharedInt Seconds;  // 0..59
  SharedInt Millis;   // 0..999, millisecond breakdowns only
  SharedInt Frames;   // 0..23, frame breakdowns only
};

struct StopwatchClockRecord {
  ClockTime LapTime;         // current lap, milliseconds
  ClockTime TotalTime;       // since reset, milliseconds
  ClockTime LapFrameTime;    // current lap, 24 frames per second, hours 0..99
  ClockTime TotalFrameTime;  // since reset, 24 frames per second, hours 0..99
  SharedInt RefreshTicks;        // ticks since the lap began
  SharedInt HourRefreshCount;    // refreshes since the lap began, modulo one hour's worth
  SharedInt MinuteRefreshCount;  // refreshes since the lap began, modulo one minute's worth
  UpdateSequence ReadingUpdates;  // around every change of the breakdowns and refresh counts above
  SharedInt RefreshDivisor = 1000;       // stopwatch milliseconds per display refresh
  SharedInt RefreshesPerHalfMinute = 30;
  Shared<UINT> StopwatchTimerId;
  SharedInt StopwatchRunning;
  SharedInt StopwatchStarted;
  SharedInt LapRequest;            // set by the user-interface thread, taken by the tick's exchange
  SharedInt DialogRedrawHoldLeft;  // refresh boundaries the redraw hold still counts; 0: no hold
  SharedInt TimerStep = 1000;  // countdown milliseconds per callback and per decrement
  ClockTime TimerRemaining;
  UpdateSequence RemainingUpdates;  // around every change of TimerRemaining
  Shared<UINT> CountdownTimerId;
  SharedInt TimerRunning;
  SharedInt TimerStarted;
  SharedInt TimerExpired;
};

extern StopwatchClockRecord StopwatchClock;

// What a frame shows of the stopwatch, copied from one moment: the lap and the total in both breakdowns and the
// dial's refresh counts. The copies' Ticks are not part of it (the tick counts them between refreshes).
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
