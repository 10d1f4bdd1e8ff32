// Start and Stop of the mode on display, lap requests, loading the settings and the refresh resolutions of both
// modes.
#pragma once
#include <windows.h>
#include <cstdint>

struct ResolutionRow {
  int32_t Index;
  int32_t Millis;                  // milliseconds per refresh
  int32_t RefreshesPerHalfMinute;  // 30000 / Millis
};

// Twelve resolutions from 1.000 s to 0.001 s, then the end row (index -1), which is also the fallback.
constexpr int ResolutionCount = 12;
extern const ResolutionRow ResolutionTable[ResolutionCount + 1];

// Each returns 1 when it acted and 0 when it did nothing.
int StartMeasurement(HWND window);
int StopMeasurement(HWND window);
// Each mode's Stop, whichever mode is on display.
void StopStopwatch();
void StopCountdown();
// L, the lap history window's L and the lap hotkey: a lap at the next refresh boundary while the stopwatch runs.
void RequestLap();

// Loads every section but the window's from the settings file, and gives the clock the two stored resolutions
// right after their sections.
void LoadSettings(HWND window);

void SelectStopwatchResolution(int32_t index, HWND window);
void SelectTimerResolution(int32_t index, HWND window);
