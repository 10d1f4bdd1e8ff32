// Frames of the main window: under Wine every repaint request is a round trip to the window server, so a wake
// that brings something new to show asks for one frame, which the main window draws when it takes the request.
#pragma once
#include <windows.h>
#include <cstdint>
#include "helpers/shared_value.h"

// The refresh rate of the window's display in hertz, read at creation and on display changes: 60 while unknown,
// at most 1000.
extern Shared<int32_t> DisplayRefreshRate;
void UpdateDisplayRefreshRate(HWND window);
// While the main window is minimised nothing is shown, so no frame is asked for; restoring it repaints it.
extern Shared<int32_t> MainWindowMinimized;

// Posts WM_SHOW_FRAME unless one is still on its way.
void RequestFrame();
// The main window, on WM_SHOW_FRAME, as it takes the request: later requests post again.
void TakeFrameRequest();
