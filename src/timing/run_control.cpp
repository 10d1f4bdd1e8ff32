// Start and Stop of the mode on display, lap requests, and the refresh resolutions of both modes.
// Everything here runs on the user-interface thread.
#include "timing/run_control.h"
#include "helpers/window_helpers.h"
#include "records/app_settings_record.h"
#include "settings/app_settings.h"
#include "timing/countdown.h"
#include "timing/perf_clock.h"
#include "timing/stopwatch_clock.h"
#include "timing/wake.h"

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

}  // namespace

int StartMeasurement(HWND window) {
  const int64_t now = ReadCounter();
  if (InTimerMode()) {
    if (!StartCountdownRun(now)) return 0;
  } else {
    if (StopwatchClock.StopwatchRunning) return 0;
    StartStopwatchRun(now);
    RequestRepaint(window);
  }
  ServiceMeasurements();
  return 1;
}

int StopMeasurement(HWND window) {
  if (InTimerMode()) {
    StopCountdown();
  } else {
    StopStopwatch();
  }
  // The stopped time is shown at once, cut to the resolution.
  RequestRepaint(window);
  return 1;
}

void StopStopwatch() {
  StopStopwatchRun(ReadCounter());
  ServiceMeasurements();
}

void StopCountdown() {
  StopCountdownRun(ReadCounter());
  ServiceMeasurements();
}

void RequestLap() {
  // A lap still waiting for a boundary that has passed is recorded first: this request is the next lap's.
  ServiceMeasurements();
  RequestStopwatchLap(ReadCounter());
  ServiceMeasurements();
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
  LoadExtraSettings();
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
