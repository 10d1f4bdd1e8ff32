// The timing engine's one record: the stopwatch's and the countdown's readings and run state.
#pragma once
#include <windows.h>
#include <cstdint>

// One broken-down time, as the last refresh boundary (or countdown step) left it.
struct ClockTime {
  int32_t Ticks = 0;    // milliseconds; in TimerRemaining the milliseconds left
  int32_t Hours = 0;
  int32_t Minutes = 0;  // 0..59
  int32_t Seconds = 0;  // 0..59
  int32_t Millis = 0;   // 0..999, millisecond breakdowns only
  int32_t Frames = 0;   // 0..23, frame breakdowns only
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
  int32_t HourRefreshCount = 0;    // refreshes since the lap began, modulo one hour's worth
  int32_t MinuteRefreshCount = 0;  // refreshes since the lap began, modulo one minute's worth
  int32_t LapStart = 0;          // the total at which the current lap began, a refresh boundary
  int32_t LapRefreshOffset = 0;  // 1 when a lap recorded at its boundary began the lap: that boundary counts
  int32_t RefreshDivisor = 1000;       // stopwatch milliseconds per display refresh
  int32_t RefreshesPerHalfMinute = 30;
  RunCounts StopwatchRun;
  int32_t StopwatchRunning = 0;
  int32_t StopwatchStarted = 0;
  int64_t LapRequest = NoLapRequest;  // the measured milliseconds at which a waiting lap was asked for
  int32_t DialogRedrawHoldLeft = 0;   // refresh boundaries the redraw hold still counts; 0: no hold
  int32_t TimerStep = 1000;  // countdown milliseconds per step
  ClockTime TimerRemaining;
  int64_t CountdownStartedAt = 0;  // the counter at the current run's Start
  int32_t RemainingAtStart = 0;    // TimerRemaining.Ticks at that Start
  int32_t TimerRunning = 0;
  int32_t TimerStarted = 0;
  int32_t TimerExpired = 0;
};

extern StopwatchClockRecord StopwatchClock;

// What a frame shows of the stopwatch: the lap and the total in both breakdowns and the dial's refresh counts.
struct StopwatchReading {
  ClockTime Lap;
  ClockTime LapFrames;
  ClockTime Total;
  ClockTime TotalFrames;
  int32_t HourRefreshCount = 0;
  int32_t MinuteRefreshCount = 0;
};

// The lap time at which the stopwatch stops itself: 100:00:00.000.
constexpr int32_t HundredHoursTicks = 360000000;
// The total at which the stopwatch stops itself because a 32-bit count would overflow next: the largest
// multiple of every resolution (3000 ms) below 2^31, 596:31:21.000.
constexpr int32_t TotalTicksLimit = 2147481000;
// Redraw-hold length in refresh boundaries after a modal dialog opens.
constexpr int32_t DialogRedrawHoldLength = 100;
