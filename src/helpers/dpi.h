// The DPI a window is drawn at, and the settings file's units: the file keeps window sizes and positions and
// font sizes as a program unaware of DPI would on a scaled screen, in pixels of a 96-DPI screen, so that a file
// means the same on every screen and to such a program.
#pragma once
#include <windows.h>
#include <cstdint>

// The DPI whose pixels the settings file holds; at this DPI every conversion below is the identity.
constexpr UINT FileDpi = USER_DEFAULT_SCREEN_DPI;

// The DPI of the session (the primary screen's when it began); the system keeps it for the process's life.
UINT SystemDpi();
// The DPI of the screen a window is on: GetDpiForWindow where the system has it (Windows 10 1607 on), otherwise
// the session's.
UINT WindowDpi(HWND window);

// A length or position in the file's units as pixels at `dpi`, and back: MulDiv's rounding (to the nearest,
// halves away from zero), held within the 32-bit range instead of MulDiv's -1 on overflow. Pixels taken back
// after scaling up give the units they came from. A DPI of 0 counts as the file's.
int32_t ToPixels(int32_t units, UINT dpi);
int32_t ToFileUnits(int32_t pixels, UINT dpi);
// A font of the settings with its height and width as pixels at `dpi`, and back.
LOGFONTA FontInPixels(LOGFONTA font, UINT dpi);
LOGFONTA FontInFileUnits(LOGFONTA font, UINT dpi);
