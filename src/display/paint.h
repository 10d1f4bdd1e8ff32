// The main window's picture: composed on a back buffer the size of the client area, copied to the screen. The
// still parts of a view (background, dial face, marks, numerals), the fonts and the pens and brushes are kept
// between compositions; each is rebuilt when what it was made from differs when a composition starts.
#pragma once
#include <windows.h>
#include <cstdint>

// Everything below runs on the user-interface thread.

// Recomputes the layout and the hand shapes for a new client size or DPI and rebuilds the back buffer.
void UpdateLayout(HWND window, int32_t clientWidth, int32_t clientHeight, UINT dpi);
// Creates the memory device context on first use and a bitmap the size of the client area.
void RebuildBackBuffer(HWND window);
// Deletes the fonts, pens, brushes, the face layer, the back bitmap and the memory device context.
void ReleaseDisplayResources();
// WM_PAINT: composes the view of the current mode on the back buffer and copies the clip box to the screen, and
// when a frame is due, also everything that changed since the picture the screen shows.
void PaintMainWindow(HWND window);
// A paced frame drawn at the priority of a paint: the window is invalidated so that input waiting before the
// paint is taken first, and the paint shows the latest state.
void ScheduleFrame(HWND window);
// True while a scheduled frame waits for its paint.
bool FrameIsDue();
// A frame now: composes the latest state and copies to the screen what changed since the picture it shows.
void ShowFrame(HWND window);

// The commands that switch the analog dial and the digital read-out; neither switches off the only view shown.
void ToggleAnalogDisplay(HWND window);
void ToggleDigitalDisplay(HWND window);

// For the tests only: nothing outside this module calls these.
// Composes the current view on the back buffer without touching the screen (the paint handler's first half).
void ComposeView();
// The back buffer's device context, null before the first RebuildBackBuffer; tests read pixels from it.
HDC BackBufferDC();
