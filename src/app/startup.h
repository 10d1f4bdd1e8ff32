// Start-up: the single-instance rule, the main window class and window, and the message loop.
#pragma once
#include <windows.h>

// Held from start-up until the message loop has ended; its existence makes a second copy stop.
extern HANDLE InstanceMutex;

// 0 when this copy may run, 1 when it must stop (another copy runs, or the mutex could not be made).
int AcquireSingleInstanceMutex();
// Registers the common controls the dialogs use (up-down controls among them).
void InitCommonControlsForDialogs();
ATOM RegisterMainWindowClass(HINSTANCE instance);
// Creates, shows and updates the main window; 1 on success.
int CreateMainWindow(HINSTANCE instance, int showCommand);
// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop();
