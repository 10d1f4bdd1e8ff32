// Start, Stop and Reset of the mode on display, and the refresh resolutions of both modes. Everything here runs
// on the user-interface thread.
#include "timing/run_control.h"
#include "alarm/alarm_sound.h"
#include "laps/lap_export.h"
#include "laps/lap_journal.h"
#include "laps/lap_list.h"
#include "settings/app_settings.h"
#include "timing/countdown.h"
#include "timing/frame_pacing.h"
#include "timing/mm_timer.h"
#include "timing/stopwatch_clock.h"

const ResolutionRow ResolutionTable[ResolutionCount + 1] = {
    {0, 1000, 30},  {1, 500, 60},    {2, 250, 120},   {3, 100, 300},  {4, 60, 500},     {5, 50, 600},  {6, 30, 1000},
    {7, 25, 1200},  {8, 20, 1500},   {9, 10, 3000},   {10, 5, 6000},  {11, 1, 30000},   {-1, 1000, 30},
};

const ResolutionRow& FindResolution(int32_t index) {
  const ResolutionRow* row = ResolutionTable;
  while (row->Index != -1 && row->Index != index) ++row;
  return *row;
}

namespace {

bool InTimerMode() { return AppSettings.Timer_Mode == 1; }

int StartStopwatch(HWND window) {
  StopwatchClockRecord& clock = StopwatchClock;
  // A second timer would count every millisecond twice and leak the first.
  if (clock.StopwatchRunning) return 0;
  StopwatchPacer = FramePacer{};
  LockTimerLifecycle();
  clock.StopwatchRunning = 1;  // before the first callback, which counts only while it is set
  const UINT id = CreatePeriodicTimer(1, ClockTick, 1);
  if (id != 0) {
    clock.StopwatchTimerId = id;
    clock.StopwatchStarted = 1;
  } else {
    clock.StopwatchRunning = 0;
  }
  UnlockTimerLifecycle();
  if (id == 0) {
    ShowTimerStartFailure(window);
    return 0;
  }
  RequestRepaint(window);
  return 1;
}

void ZeroStopwatchCounters() {
  StopwatchClockRecord& clock = StopwatchClock;
  clock.TotalFrameTime = ClockTime{};
  clock.RefreshTicks = 0;
  clock.HourRefreshCount = 0;
  clock.MinuteRefreshCount = 0;
  clock.LapTime = ClockTime{};
  clock.LapFrameTime = ClockTime{};
  clock.TotalTime = ClockTime{};
}

}  // namespace

int StartMeasurement(HWND window) {
  if (InTimerMode()) return StartCountdown(window);
  return StartStopwatch(window);
}

int StopMeasurement(HWND window) {
  if (InTimerMode()) {
    StopCountdownTimer();
  } else {
    StopStopwatchTimer();
  }
  // A refresh may still have been waiting for the end of its frame.
  RequestRepaint(window);
  return 1;
}

int ResetMeasurement(HWND window) {
  if (InTimerMode()) {
    if (!ClearExpiryUnlessRunning()) return 0;
    OnTimerAlarmSoundStop(window);
    LoadCountdown(window);
    return 1;
  }
  if (StopwatchClock.StopwatchRunning || !StopwatchClock.StopwatchStarted) return 0;
  ResetStopwatch(window);
  return 1;
}

void ResetStopwatch(HWND window) {
  StopwatchClockRecord& clock = StopwatchClock;
  if (!clock.StopwatchStarted) return;
  if (LapList.Unsaved) {
    clock.LapRequest = 0;
    if (LapList.Count < MaxLaps) RecordLap();
    AskSaveLaps(window);
  }
  ClearLaps();
  DiscardLapJournal();
  ZeroStopwatchCounters();
  RequestRepaint(window);
  clock.StopwatchStarted = 0;
  LapList.Unsaved = 0;
}

void SelectStopwatchResolution(int32_t index, HWND window) {
  const ResolutionRow& row = FindResolution(index);
  StopwatchClock.RefreshDivisor = row.Millis;
  StopwatchClock.RefreshesPerHalfMinute = row.RefreshesPerHalfMinute;
  RequestRepaint(window);
}

void SelectTimerResolution(int32_t index, HWND window) {
  StopwatchClock.TimerStep = FindResolution(index).Millis;
  RequestRepaint(window);
}
