// The main window: its procedure, creation and destruction, mouse and key conventions, placement tracking.
#pragma once
#include <windows.h>

// Smallest outer size the window can be tracked to, at 96 DPI.
constexpr int MinimumTrackSize = 64;

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The caption: the running time (whole seconds) of the mode on display and the program's name, "00:04:59 -
// Tavrilo", when `shown`, else the name alone; written only when it changes.
void ShowTimeInCaption(bool shown);
