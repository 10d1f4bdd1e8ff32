// Start-up: the single-instance rule, the main window class and window, and the message loop.
#pragma once
#include <windows.h>
#include "helpers/optional_calls.h"

// The single-instance mutex, held from start-up until WinMain returns: its existence makes a second copy stop.
class SingleInstanceMutex {
 public:
  // Creates the mutex; says so in a box when it cannot be made.
  SingleInstanceMutex();
  ~SingleInstanceMutex();
  SingleInstanceMutex(const SingleInstanceMutex&) = delete;
  SingleInstanceMutex& operator=(const SingleInstanceMutex&) = delete;
  // True when this copy may run; false when it must stop (another copy runs, or the mutex could not be made).
  bool Acquired() const { return handle_ != nullptr; }

 private:
  HANDLE handle_;
};
// Gives the lower layers what they call above them: the lap recorder, the alarm's hand-over and the minimised
// caption's time for the engine, and the engine's redraw hold for the dialogs that open over the main window.
void InstallEngineHooks();
// Registers the common controls the dialogs use (up-down controls among them).
void InitCommonControlsForDialogs();
ATOM RegisterMainWindowClass(HINSTANCE instance);
// Creates, shows and updates the main window; 1 on success.
int CreateMainWindow(HINSTANCE instance, int showCommand);
// Asks Windows to start the program again after an update's restart, where the user lets it; that start goes on
// with the measurement as any other start does.
void RegisterForRestartAfterUpdate();
// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop();

// For the tests only: nothing outside this module calls this.
using RegisterRestartCall = decltype(OptionalCallTable::RegisterApplicationRestart);
// The registration with `registerRestart` as the system's RegisterApplicationRestart; true when it was taken.
bool RegisterRestart(RegisterRestartCall registerRestart);
