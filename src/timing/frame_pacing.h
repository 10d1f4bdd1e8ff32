// Repaint requests of the timer callbacks, paced to the display: under Wine every request is a round trip to
// the window server, and a display shows no more than one picture a frame.
#pragma once
#include <windows.h>
#include <cstdint>
#include "timing/shared_value.h"

// Milliseconds of one display frame at a refresh rate in hertz (rounded down, so that no frame goes without a
// picture); 0 or 1 means unknown and counts as 60 Hz.
int32_t FramePeriodFor(int32_t refreshRate);
// The frame of the window's display, read on the user-interface thread at creation and on display changes.
extern Shared<int32_t> FramePeriodMs;
void UpdateFramePeriod(HWND window);

enum class Refresh {
  None,    // nothing new to show
  Paced,   // a new picture, shown by the end of the current frame
  AtOnce,  // a state the user must see without delay (a lap, the countdown's end)
};

// One timer callback's pacing state; only that callback touches it.
struct FramePacer {
  int32_t SinceRequest = 1 << 20;  // milliseconds since the last request; saturates at a frame
  bool Pending = false;            // a refresh waits for the frame's end
};
// The stopwatch's tick and the countdown's step each pace with their own; a start resets its pacer before its
// timer exists, so the first refresh is shown at once and none is left over from an earlier run.
extern FramePacer StopwatchPacer;
extern FramePacer CountdownPacer;

// Called from a timer callback `elapsedMs` after its previous call. True when the callback should ask for a
// repaint now: at once, or when a refresh is pending and a frame has passed since the last request.
bool PaceRepaint(FramePacer& pacer, int32_t elapsedMs, Refresh refresh);
