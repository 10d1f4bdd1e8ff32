// Start-up: the single-instance rule, the main window class and window, and the message loop.
#pragma once
#include <windows.h>

// Held from start-up until the message loop has ended; its existence makes a second copy stop.
extern HANDLE InstanceMutex;

// True when this copy may run; false when it must stop (another copy runs, or the mutex could not be made).
bool AcquireSingleInstanceMutex();
// Gives the timing engine what it calls in the layers above it: the lap recorder and the alarm's hand-over.
void InstallEngineHooks();
// Registers the common controls the dialogs use (up-down controls among them).
void InitCommonControlsForDialogs();
ATOM RegisterMainWindowClass(HINSTANCE instance);
// Creates, shows and updates the main window; 1 on success.
int CreateMainWindow(HINSTANCE instance, int showCommand);
// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop();
