// The timing engine's one record: the stopwatch's and the countdown's counters and run state, shared by the
// timer thread that advances them and the user-interface thread that shows and controls them.
#pragma once
#include <windows.h>
#include <cstdint>
#include "helpers/shared_value.h"

using SharedInt = Shared<int32_t>;

// One broken-down time. Every field is shared with the timer thread, so a paint never reads half a value.
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
  SharedInt RefreshDivisor = 1000;       // stopwatch milliseconds per display refresh
  SharedInt RefreshesPerHalfMinute = 30;
  Shared<UINT> StopwatchTimerId;
  SharedInt StopwatchRunning;
  SharedInt StopwatchStarted;
  SharedInt LapRequest;
  SharedInt DialogRedrawHold;
  SharedInt DialogRedrawHoldCount;
  SharedInt TimerStep = 1000;  // countdown milliseconds per callback and per decrement
  ClockTime TimerRemaining;
  Shared<UINT> CountdownTimerId;
  SharedInt TimerRunning;
  SharedInt TimerStarted;
  SharedInt TimerExpired;
};

extern StopwatchClockRecord StopwatchClock;

// The lap time at which the stopwatch stops itself: 100:00:00.000.
constexpr int32_t HundredHoursTicks = 360000000;
// The total at which the stopwatch stops itself because a 32-bit count would overflow next: the largest
// multiple of every resolution (3000 ms) below 2^31, 596:31:21.000.
constexpr int32_t TotalTicksLimit = 2147481000;
// Redraw-hold length in refresh boundaries after a modal dialog opens.
constexpr int32_t DialogRedrawHoldLength = 100;

// Arms the redraw hold; called whenever a modal dialog or chooser opens.
inline void ArmDialogRedrawHold() {
  StopwatchClock.DialogRedrawHoldCount = 0;
  StopwatchClock.DialogRedrawHold = 1;
}
