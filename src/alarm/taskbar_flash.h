// The countdown's end seen from the taskbar: a window that is not in front flashes its button until the user
// comes back to it, stops the alarm or resets, so that an expiry behind other windows or with muted speakers is
// not missed. User-interface thread only.
#pragma once
#include <windows.h>

// Flashes the window's taskbar button, unless the window is in front.
void FlashUnlessInFront(HWND window);
// Ends a flash started above, if there is one.
void StopFlashing(HWND window);

// The call that flashes; tests put a recorder here, since a display without a taskbar shows nothing.
extern BOOL(WINAPI* FlashTaskbarButton)(PFLASHWINFO info);
