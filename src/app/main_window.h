// The main window: its procedure, creation and destruction, mouse and key conventions, placement tracking.
#pragma once
#include <windows.h>

// The private lap request: wParam and lParam 0; takes a lap while the stopwatch runs.
constexpr UINT WM_LAP_REQUEST = WM_APP;
// Answers how many pictures the window has shown since it was created; benchmarks read it from outside.
constexpr UINT WM_GET_PAINT_COUNT = WM_APP + 2;
// Brings the lap journal up to the lap count in wParam (the first one offers the previous run's laps); posted by
// the tick, which never touches files.
constexpr UINT WM_LAP_JOURNAL = WM_APP + 4;
// Smallest outer size the window can be tracked to, at 96 DPI.
constexpr int MinimumTrackSize = 64;

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Armed by a two-button chord: the next release of that button does nothing. The save question clears them.
extern int IgnoreNextLeftUp;
extern int IgnoreNextRightUp;

// Moves a window, keeping its size, to the centre of the primary screen; every dialog calls it when it opens.
void CenterWindowOnScreen(HWND window);
