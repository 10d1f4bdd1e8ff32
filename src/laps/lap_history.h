// The modeless lap history window: every lap, newest first, kept up to date while it is open.
#pragma once
#include <windows.h>

// Asks the open history window to list the laps it does not show yet; sent by AppendLapLine.
constexpr UINT WM_SHOW_NEW_LAPS = WM_APP + 1;

// Opens the history window (nothing when it is already open).
void OpenLapHistory(HWND owner);
INT_PTR CALLBACK LapHistoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
