// Timer mode's countdown. The tick runs on the multimedia timer thread and is the only writer of the remaining
// time while the countdown runs; at zero it hands the alarm to the main window by synchronous commands.
#include "timing/countdown.h"
#include <algorithm>
#include <atomic>
#include "alarm/alarm_sound.h"
#include "app/app_globals.h"
#include "app/command_ids.h"
#include "settings/app_settings.h"
#include "timing/frame_pacing.h"
#include "timing/mm_timer.h"
#include "timing/stopwatch_clock.h"

int32_t CountdownTicksFor(int32_t hours, int32_t minutes, int32_t seconds) {
  const int64_t total = ((static_cast<int64_t>(hours) * 60 + minutes) * 60 + seconds) * 1000;
  return static_cast<int32_t>(std::clamp<int64_t>(total, 0, MaxCountdownTicks));
}

namespace {

void SetRemaining(int32_t ticks) {
  ClockTime& remaining = StopwatchClock.TimerRemaining;
  remaining.Ticks = ticks;
  remaining.Hours = ticks / 3600000 % 100;
  remaining.Minutes = ticks / 60000 % 60;
  remaining.Seconds = ticks / 1000 % 60;
  remaining.Millis = ticks % 1000;
}

void SendAlarmCommand(WORD command) {
  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

// The countdown has run out: it stops its own timer, then the main window stops any alarm still sounding,
// starts the alarm file, if one is set, and tells the user in ways that need no sound.
void Expire() {
  HaltAtExpiry();
  lstrcpynA(AlarmPlayPath, AppSettings.TimerAlarmSoundFile, MAX_PATH);
  if (AlarmPlayPath[0] != '\0') {
    if (AlarmSoundActive) SendAlarmCommand(IDM_TIMER_ALARM__SOUND_STOP);
    SendAlarmCommand(IDM_TIMER_ALARM__SOUND_START);
  }
  SendMessageA(MainWindow, WM_COUNTDOWN_EXPIRED, 0, 0);
}

// 1 while a countdown callback runs: the stop handshake of mm_timer.h.
std::atomic<int32_t> CountdownBusy{0};

void TakeStep() {
  StopwatchClockRecord& clock = StopwatchClock;
  SetRemaining(std::max(clock.TimerRemaining.Ticks - clock.TimerStep, 0));
  const bool expired = clock.TimerRemaining.Ticks == 0;
  if (AppSettings.Timer_Mode == 1 &&
      PaceRepaint(CountdownPacer, clock.TimerStep, expired ? Refresh::AtOnce : Refresh::Paced)) {
    RequestFrame();
  }
  if (expired) Expire();
}

}  // namespace

void LoadCountdown(HWND window) {
  StopCountdownTimer();
  SetRemaining(CountdownTicksFor(AppSettings.TimerSettingHour, AppSettings.TimerSettingMinute,
                                 AppSettings.TimerSettingSecond));
  StopwatchClock.TimerStarted = 0;
  RequestRepaint(window);
}

int StartCountdown(HWND window) {
  StopwatchClockRecord& clock = StopwatchClock;
  // Checked under the lock that the expiry takes, so that a start never falls between its two writes.
  LockTimerLifecycle();
  if (clock.TimerExpired || clock.TimerRunning) {
    UnlockTimerLifecycle();
    return 0;
  }
  CountdownPacer = FramePacer{};
  clock.TimerRunning = 1;  // before the first callback, which counts only while it is set
  const UINT id = CreatePeriodicTimer(static_cast<UINT>(clock.TimerStep), CountdownTick,
                                      reinterpret_cast<DWORD_PTR>(window));
  if (id != 0) {
    clock.CountdownTimerId = id;
    clock.TimerStarted = 1;
  } else {
    clock.TimerRunning = 0;
  }
  UnlockTimerLifecycle();
  if (id == 0) ShowTimerStartFailure(window);
  return id != 0 ? 1 : 0;
}

void HaltAtExpiry() {
  LockTimerLifecycle();
  KillPeriodicTimer(StopwatchClock.CountdownTimerId);
  // Running is cleared before expired is raised: a reader that sees the expiry sees the countdown halted.
  StopwatchClock.TimerRunning = 0;
  StopwatchClock.TimerExpired = 1;
  UnlockTimerLifecycle();
}

bool ClearExpiryUnlessRunning() {
  LockTimerLifecycle();
  const bool running = StopwatchClock.TimerRunning != 0;
  if (!running) StopwatchClock.TimerExpired = 0;
  UnlockTimerLifecycle();
  return !running;
}

void CALLBACK CountdownTick(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  if (BeginCallback(CountdownBusy, StopwatchClock.TimerRunning)) TakeStep();
  EndCallback(CountdownBusy);
}

void StopCountdownTimer() {
  StopTimerAndDrain(StopwatchClock.TimerRunning, StopwatchClock.CountdownTimerId, CountdownBusy);
}
