// Timer mode's countdown. The tick runs on the multimedia timer thread and is the only writer of the remaining
// time while the countdown runs; at zero it halts and calls the expiry hook, then tells the main window.
#include "timing/countdown.h"
#include <algorithm>
#include <atomic>
#include "records/app_globals.h"
#include "records/app_settings_record.h"
#include "records/window_messages.h"
#include "timing/frame_pacing.h"
#include "timing/mm_timer.h"
#include "timing/stopwatch_clock.h"

void (*CountdownExpiryHook)() = nullptr;

int32_t CountdownTicksFor(int32_t hours, int32_t minutes, int32_t seconds) {
  const int64_t total = ((static_cast<int64_t>(hours) * 60 + minutes) * 60 + seconds) * 1000;
  return static_cast<int32_t>(std::clamp<int64_t>(total, 0, MaxCountdownTicks));
}

namespace {

void SetRemaining(int32_t ticks) {
  StopwatchClockRecord& clock = StopwatchClock;
  ClockTime& remaining = clock.TimerRemaining;
  BeginUpdate(clock.RemainingUpdates);
  remaining.Ticks = ticks;
  remaining.Hours = ticks / 3600000 % 100;
  remaining.Minutes = ticks / 60000 % 60;
  remaining.Seconds = ticks / 1000 % 60;
  remaining.Millis = ticks % 1000;
  EndUpdate(clock.RemainingUpdates);
}

// The countdown has run out: it stops its own timer, the alarm is handed over, and the main window tells the
// user in ways that need no sound.
void Expire() {
  HaltAtExpiry();
  if (CountdownExpiryHook) CountdownExpiryHook();
  SendMessageA(MainWindow, WM_COUNTDOWN_EXPIRED, 0, 0);
}

TimerFlags CountdownTimer() {
  return TimerFlags{StopwatchClock.TimerRunning, StopwatchClock.CountdownTimerId, StopwatchClock.TimerStarted};
}

// Checked under the lock that the expiry takes, so that a start never falls between its two writes.
bool CountdownReady() {
  if (StopwatchClock.TimerExpired || StopwatchClock.TimerRunning) return false;
  CountdownPacer = FramePacer{};
  return true;
}

// 1 while a countdown callback runs: the stop handshake of mm_timer.h.
std::atomic<int32_t> CountdownBusy{0};

void TakeStep() {
  StopwatchClockRecord& clock = StopwatchClock;
  SetRemaining(std::max(clock.TimerRemaining.Ticks - clock.TimerStep, 0));
  const bool expired = clock.TimerRemaining.Ticks == 0;
  if (InTimerMode() &&
      PaceRepaint(CountdownPacer, clock.TimerStep, expired ? Refresh::AtOnce : Refresh::Paced)) {
    RequestFrame();
  }
  if (expired) Expire();
}

}  // namespace

ClockTime ReadCountdownRemaining() {
  const StopwatchClockRecord& clock = StopwatchClock;
  ClockTime remaining;
  ReadWhole(clock.RemainingUpdates, [&] { remaining = clock.TimerRemaining; });
  return remaining;
}

void LoadCountdown(HWND window) {
  StopCountdownTimer();
  SetRemaining(CountdownTicksFor(AppSettings.TimerSettingHour, AppSettings.TimerSettingMinute,
                                 AppSettings.TimerSettingSecond));
  StopwatchClock.TimerStarted = 0;
  RequestRepaint(window);
}

int StartCountdown(HWND window) {
  const TimerStart start = StartMeasurementTimer(CountdownTimer(), static_cast<UINT>(StopwatchClock.TimerStep),
                                                 CountdownTick, reinterpret_cast<DWORD_PTR>(window), CountdownReady);
  if (start == TimerStart::NoTimer) ShowTimerStartFailure(window);
  return start == TimerStart::Started ? 1 : 0;
}

void HaltAtExpiry() {
  // Running is cleared before expired is raised: a reader that sees the expiry sees the countdown halted.
  StopOwnTimer(CountdownTimer(), [] { StopwatchClock.TimerExpired = 1; });
}

bool ClearExpiryUnlessRunning() {
  const TimerLifecycleLock lock;
  const bool running = StopwatchClock.TimerRunning != 0;
  if (!running) StopwatchClock.TimerExpired = 0;
  return !running;
}

void CALLBACK CountdownTick(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  if (BeginCallback(CountdownBusy, StopwatchClock.TimerRunning)) TakeStep();
  EndCallback(CountdownBusy);
}

void StopCountdownTimer() {
  StopTimerAndDrain(StopwatchClock.TimerRunning, StopwatchClock.CountdownTimerId, CountdownBusy);
}
