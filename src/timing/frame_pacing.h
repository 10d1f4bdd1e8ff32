// Repaint requests of the timer callbacks, paced to the display: under Wine every request is a round trip to
// the window server, and a display shows no more than one picture a frame.
#pragma once
#include <windows.h>
#include <cstdint>
#include "helpers/shared_value.h"

// The refresh rate of the window's display in hertz, read on the user-interface thread at creation and on display
// changes: 60 while unknown, at most 1000.
extern Shared<int32_t> DisplayRefreshRate;
void UpdateDisplayRefreshRate(HWND window);
// While the main window is minimised nothing is shown, so no frame is asked for; restoring it repaints it.
extern Shared<int32_t> MainWindowMinimized;

enum class Refresh {
  None,    // nothing new to show
  Paced,   // a new picture, shown by the end of the current frame
  AtOnce,  // a state the user must see without delay (a lap, the countdown's end)
};

// One timer callback's pacing state; only that callback touches it.
struct FramePacer {
  // Time since the last request in milliseconds times the refresh rate, so that a frame is 1000 whatever the
  // rate and frames of 16 2/3 ms come out even; saturates at a frame.
  int32_t SinceRequest = 1000;
  bool Pending = false;  // a refresh waits for the frame's end
};
// The stopwatch's tick and the countdown's step each pace with their own; a start resets its pacer before its
// timer exists, so the first refresh is shown at once and none is left over from an earlier run.
extern FramePacer StopwatchPacer;
extern FramePacer CountdownPacer;

// From a timer callback: posts WM_SHOW_FRAME unless one is still on its way.
void RequestFrame();
// The main window, on WM_SHOW_FRAME, as it takes the request: later requests post again.
void TakeFrameRequest();

// Called from a timer callback `elapsedMs` after its previous call. True when the callback should ask for a
// repaint now: at once, or when a refresh is pending and a frame has passed since the last request.
bool PaceRepaint(FramePacer& pacer, int32_t elapsedMs, Refresh refresh);
