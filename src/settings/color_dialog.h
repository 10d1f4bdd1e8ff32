// The clock colours dialog (template 103) and the system colour chooser behind its three buttons.
#pragma once
#include <windows.h>
#include <array>

// The three colours of the dial and the background, as one value to keep and put back.
struct ClockColors {
  COLORREF BackGroundColor;
  COLORREF ClockFaceColor;
  COLORREF SecondHandColor;
};
ClockColors CurrentClockColors();
void PutBackClockColors(const ClockColors& colors);

// The colour chooser's custom colours: all white from the first opening of the dialog in a run, then kept
// until the program ends (never stored). Slot 0 always shows the colour being edited.
extern std::array<COLORREF, 16> CustomColors;

// Opens dialog 103 modally, owned by `owner` (the settings dialog).
void ShowColorDialog(HWND owner);
INT_PTR CALLBACK ColorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the system colour chooser from `start`, owned by `owner`; non-zero when the user picked a colour,
// which the chooser's request then holds.
BOOL PickColor(COLORREF start, HWND owner);
// Centres the chooser when it opens and leaves every message to the chooser's own processing.
UINT_PTR CALLBACK ColorChooserHook(HWND chooser, UINT message, WPARAM wParam, LPARAM lParam);
