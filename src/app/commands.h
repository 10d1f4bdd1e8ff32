// The command table: every user command, from menus, clicks, keys or the program itself, and the pop-up menus'
// item states, and Reset of the mode on display.
#pragma once
#include <windows.h>

constexpr int FirstCommandId = 40001;
constexpr int LastCommandId = 40072;
constexpr bool IsCommandId(int id) { return id >= FirstCommandId && id <= LastCommandId; }

// Carries out the command in the low word of wParam. Returns 0, or the result of the clipboard copy and of the
// alarm start.
LRESULT OnCommand(HWND window, WPARAM wParam);
// Sets the enabled, greyed and checked states of a pop-up menu (or its resolution sub-menu) from the run state.
// Also called by the menu's refresh every 100 ms while a pop-up is open.
void UpdateMenuState(HMENU menu);
// Reset of the mode on display: 1 when it acted, 0 when the measurement runs or there is nothing to reset. The
// stopwatch's unsaved laps are offered for saving, with the time since the last lap as a final lap; unless they
// are saved or declined, nothing is reset.
int ResetMeasurement(HWND window);

// For the tests only: nothing outside this module calls these.
// Reset's part for the stopwatch, once the stopwatch is stopped; the same result.
int ResetStopwatch(HWND window);
