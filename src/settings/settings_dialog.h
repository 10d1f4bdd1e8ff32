// The settings dialog (template 108): display and behaviour options edited live on the main window.
#pragma once
#include <windows.h>
#include <cstdint>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Arms the redraw hold when the font chooser opens.
UINT_PTR CALLBACK FontChooserHook(HWND chooser, UINT message, WPARAM wParam, LPARAM lParam);
// Keeps `window` above all other windows when `on` is non-zero, and releases it otherwise, without moving,
// sizing or activating it.
void ApplyTopMost(HWND window, int32_t on);
