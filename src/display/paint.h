// The main window's picture: composed on a back buffer the size of the client area, copied to the screen.
#pragma once
#include <windows.h>
#include <cstdint>

// Everything below runs on the user-interface thread.

// Recomputes the layout and the hand shapes for a new client size and rebuilds the back buffer.
void UpdateLayout(HWND window, int32_t clientWidth, int32_t clientHeight);
// Creates the memory device context on first use and a bitmap the size of the client area.
void RebuildBackBuffer(HWND window);
// Deletes the fonts, the back bitmap and the memory device context.
void ReleaseDisplayResources();
// WM_PAINT: composes the view of the current mode on the back buffer and copies the clip box to the screen.
void PaintMainWindow(HWND window);
// Composes the current view on the back buffer without touching the screen (the paint handler's first half).
void ComposeView(HWND window);
// The back buffer's device context, null before the first RebuildBackBuffer; tests read pixels from it.
HDC BackBufferDC();

// The commands that switch the analog dial and the digital read-out; at least one view stays on.
void ToggleAnalogDisplay(HWND window);
void ToggleDigitalDisplay(HWND window);
