// Start and Stop of the mode on display, zeroing the stopwatch, and the refresh resolutions of both modes.
// Everything here runs on the user-interface thread.
#include "timing/run_control.h"
#include "helpers/window_helpers.h"
#include "records/app_settings_record.h"
#include "settings/app_settings.h"
#include "timing/countdown.h"
#include "timing/frame_pacing.h"
#include "timing/mm_timer.h"
#include "timing/stopwatch_clock.h"

const ResolutionRow ResolutionTable[ResolutionCount + 1] = {
    {0, 1000, 30},  {1, 500, 60},    {2, 250, 120},   {3, 100, 300},  {4, 60, 500},     {5, 50, 600},  {6, 30, 1000},
    {7, 25, 1200},  {8, 20, 1500},   {9, 10, 3000},   {10, 5, 6000},  {11, 1, 30000},   {-1, 1000, 30},
};

namespace {

// The row holding `index`, or the end row (1000 ms) when none does.
const ResolutionRow& FindResolution(int32_t index) {
  const ResolutionRow* row = ResolutionTable;
  while (row->Index != -1 && row->Index != index) ++row;
  return *row;
}

// A second timer would count every millisecond twice and leak the first.
bool StopwatchReady() {
  if (StopwatchClock.StopwatchRunning) return false;
  StopwatchPacer = FramePacer{};
  return true;
}

int StartStopwatch(HWND window) {
  const TimerStart start = StartMeasurementTimer(StopwatchTimer(), 1, ClockTick, 1, StopwatchReady);
  if (start == TimerStart::NoTimer) ShowTimerStartFailure(window);
  if (start != TimerStart::Started) return 0;
  RequestRepaint(window);
  return 1;
}

}  // namespace

void ZeroStopwatchCounters() {
  ZeroLapCounters();
  StopwatchClock.TotalTime = ClockTime{};
  StopwatchClock.TotalFrameTime = ClockTime{};
}

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

void LoadSettings(HWND window) {
  LoadTimerMode();
  LoadStopwatchSettings();
  SelectStopwatchResolution(AppSettings.SecondResolution, window);
  LoadFontSettings();
  LoadDrawColors();
  LoadTimerSettings();
  SelectTimerResolution(AppSettings.TimerSecondResolutionIndex, window);
  LoadHotKeySettings();
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
