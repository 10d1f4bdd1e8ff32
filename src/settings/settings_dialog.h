// The settings dialog (template 108): display and behaviour options edited live on the main window.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include "settings/color_dialog.h"

// The dialog's check boxes, each kept in the snapshot.
constexpr size_t SettingsBoxCount = 6;

// Everything the dialog edits, as it was when the dialog opened; Cancel puts it back.
struct SettingsSnapshot {
  int32_t Boxes[SettingsBoxCount];  // the check boxes' fields, in the dialog's order of boxes
  LOGFONTA Font;
  COLORREF FontColor;
  ClockColors Colors;
  int32_t RotDivIndex;
  int32_t OneSecDivIndex;
};

// Runs dialog 108 modally, owned by `owner`; true when the user ended it with OK.
bool EditSettings(HWND owner);
// Keeps `window` above all other windows when `on` is non-zero, and releases it otherwise, without moving,
// sizing or activating it.
void ApplyTopMost(HWND window, int32_t on);

// For the tests only: nothing outside this module calls these.
// lParam of WM_INITDIALOG: the SettingsSnapshot that the dialog fills as it opens.
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
