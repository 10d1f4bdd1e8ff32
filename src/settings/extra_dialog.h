// The other settings dialog (template 110): overtime after zero, the time in the minimised caption and the main
// window's opacity, each in effect as soon as it changes.
#pragma once
#include <windows.h>
#include <cstdint>

// What the dialog edits, as it was when the dialog opened; Cancel puts it back.
struct ExtraSnapshot {
  int32_t TimerOvertime;
  int32_t CaptionTimeWhenMinimized;
  int32_t WindowOpacity;
  int32_t ResumeAfterExit;
};

// Runs dialog 110 modally, owned by `owner`; true when the user ended it with OK.
bool EditExtraSettings(HWND owner);
// Makes `window` see-through at the stored opacity, or opaque (not layered) at 100 % and for values out of range.
void ApplyWindowOpacity(HWND window, int32_t windowOpacity);
