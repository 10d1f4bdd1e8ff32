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

// Runs dialog 103 modally, owned by `owner` (the settings dialog); true when the user ended it with OK.
bool EditClockColors(HWND owner);

// For the tests only: nothing outside this module calls these.
// The colour chooser's custom colours: all white when the program starts, then kept until it ends (never
// stored). Slot 0 always shows the colour being edited.
extern std::array<COLORREF, 16> CustomColors;
