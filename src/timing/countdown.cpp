// Timer mode's countdown. Its n-th step falls n steps of running time after its Start: the steps come from the
// counter, not from how often or how late the program wakes.
#include "timing/countdown.h"
#include <algorithm>
#include "records/app_globals.h"
#include "records/app_settings_record.h"
#include "records/window_messages.h"
#include "helpers/window_helpers.h"
#include "timing/perf_clock.h"
#include "timing/stopwatch_clock.h"

void (*CountdownExpiryHook)() = nullptr;

int32_t CountdownTicksFor(int32_t hours, int32_t minutes, int32_t seconds) {
  const int64_t total = ((static_cast<int64_t>(hours) * 60 + minutes) * 60 + seconds) * 1000;
  return static_cast<int32_t>(std::clamp<int64_t>(total, 0, MaxCountdownTicks));
}

namespace {

// Time past zero (overtime) is negative; its parts are those of its size, shown after a minus sign.
void SetRemaining(int32_t ticks) {
  ClockTime& remaining = StopwatchClock.TimerRemaining;
  const int32_t size = ticks < 0 ? -ticks : ticks;
  remaining.Ticks = ticks;
  remaining.Hours = size / 3600000 % 100;
  remaining.Minutes = size / 60000 % 60;
  remaining.Seconds = size / 1000 % 60;
  remaining.Millis = size % 1000;
}

// Where a run halts: at zero, or, when overtime is on at the expiry, at its limit past zero. A run after the
// expiry is overtime.
int64_t LowestRemaining() {
  const bool overtime = StopwatchClock.TimerExpired || AppSettings.TimerOvertime == 1;
  return overtime ? -int64_t{MaxOvertimeTicks} : 0;
}

// The countdown has run out: the alarm is handed over, and the main window tells the user in ways that need no
// sound.
void Expire() {
  StopwatchClock.TimerExpired = 1;
  if (CountdownExpiryHook) CountdownExpiryHook();
  SendMessageW(MainWindow, WM_COUNTDOWN_EXPIRED, 0, 0);
}

int64_t StepsTaken(int64_t now) {
  return CountsToMillis(std::max<int64_t>(now - StopwatchClock.CountdownStartedAt, 0)) / StopwatchClock.TimerStep;
}

// The counter value at which this run's `step`-th step falls.
int64_t StepAt(int64_t step) {
  return StopwatchClock.CountdownStartedAt + MillisToCounts(step * StopwatchClock.TimerStep);
}

}  // namespace

ClockTime ReadCountdownRemaining() { return StopwatchClock.TimerRemaining; }

void LoadCountdown(HWND window) {
  StopwatchClock.TimerRunning = 0;
  SetRemaining(CountdownTicksFor(AppSettings.TimerSettingHour, AppSettings.TimerSettingMinute,
                                 AppSettings.TimerSettingSecond));
  StopwatchClock.TimerStarted = 0;
  RequestRepaint(window);
}

int StartCountdownRun(int64_t now) {
  StopwatchClockRecord& clock = StopwatchClock;
  // After the expiry only overtime goes on, and only while it is on and short of its limit.
  const bool overtimeGoesOn = AppSettings.TimerOvertime == 1 && clock.TimerRemaining.Ticks > -MaxOvertimeTicks;
  if (clock.TimerRunning || (clock.TimerExpired && !overtimeGoesOn)) return 0;
  clock.CountdownStartedAt = now;
  clock.RemainingAtStart = clock.TimerRemaining.Ticks;
  clock.TimerRunning = 1;
  clock.TimerStarted = 1;
  return 1;
}

void StopCountdownRun(int64_t now) {
  AdvanceCountdown(now);
  StopwatchClock.TimerRunning = 0;
}

// The last step overshoots when the step does not divide the remaining time, and is clamped at where the run
// halts; a countdown of zero still runs for one step. The expiry comes once, at the step that reaches zero.
bool AdvanceCountdown(int64_t now) {
  StopwatchClockRecord& clock = StopwatchClock;
  if (!clock.TimerRunning) return false;
  const int64_t steps = StepsTaken(now);
  if (steps == 0) return false;
  const int64_t lowest = LowestRemaining();
  const int64_t remaining = std::max<int64_t>(clock.RemainingAtStart - steps * clock.TimerStep, lowest);
  const bool changed = remaining != clock.TimerRemaining.Ticks;
  SetRemaining(static_cast<int32_t>(remaining));
  if (remaining == lowest) clock.TimerRunning = 0;
  const bool expires = remaining <= 0 && !clock.TimerExpired;
  if (expires) Expire();
  return changed || expires;
}

int64_t CountdownEnd() {
  const StopwatchClockRecord& clock = StopwatchClock;
  if (!clock.TimerRunning) return NoWake;
  const int64_t step = clock.TimerStep;
  const int64_t end = clock.TimerExpired ? clock.RemainingAtStart + MaxOvertimeTicks : clock.RemainingAtStart;
  return StepAt(std::max<int64_t>((end + step - 1) / step, 1));
}

int64_t NextCountdownStep(int64_t now) {
  return StopwatchClock.TimerRunning ? StepAt(StepsTaken(now) + 1) : NoWake;
}

// Counting down, the shown second changes once the remaining time falls below its present whole second; past
// zero, once the overtime reaches its next whole second.
int64_t NextCountdownSecond(int64_t now) {
  const StopwatchClockRecord& clock = StopwatchClock;
  if (!clock.TimerRunning) return NoWake;
  const int64_t step = clock.TimerStep;
  const int64_t left = clock.TimerRemaining.Ticks;
  const int64_t start = clock.RemainingAtStart;
  const int64_t steps = left >= 0 ? (start - left / 1000 * 1000) / step + 1  // the first below that second
                                  : (start + (-left / 1000 + 1) * 1000 + step - 1) / step;
  return StepAt(std::max(steps, StepsTaken(now) + 1));
}

void PutBackCountdown(int32_t remaining) { SetRemaining(remaining); }

bool ClearExpiryUnlessRunning() {
  const bool running = StopwatchClock.TimerRunning != 0;
  if (!running) StopwatchClock.TimerExpired = 0;
  return !running;
}
