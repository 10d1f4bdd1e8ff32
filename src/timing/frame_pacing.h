// Frames of the main window: under Wine every repaint request is a round trip to the window server, so a wake
// that brings something new to show asks for one frame, which the main window draws when it takes the request.
#pragma once
#include <windows.h>
#include <cstdint>

// The refresh rate pacing assumes while the display's is unknown, in hertz.
constexpr int32_t UnknownRefreshRate = 60;

// What frame pacing keeps. The user-interface thread alone reads and writes it.
struct FramePacingRecord {
  // The refresh rate of the window's display in hertz, read at creation and on display changes: at most 1000.
  int32_t RefreshRate = UnknownRefreshRate;
  // While the main window is minimised nothing is shown, so no frame is asked for; restoring it repaints it.
  int32_t WindowMinimized = 0;
  // From a frame request's post until the main window takes it.
  bool FramePosted = false;
};
extern FramePacingRecord FramePacing;

void UpdateDisplayRefreshRate(HWND window);
// Posts WM_SHOW_FRAME unless one is still on its way.
void RequestFrame();
// The main window, on WM_SHOW_FRAME, as it takes the request: later requests post again.
void TakeFrameRequest();

// For the tests only: nothing outside this module calls this.
// The refresh rate a device reports, in hertz, as pacing uses it: 0 or 1 means unknown, and more than 1000 counts
// as 1000 (a frame is at least a millisecond).
int32_t UsableRefreshRate(int32_t reported);
