// Entry point of Tavrilo.exe: one copy at a time, settings path and placement, the main window, the loop.
#include <windows.h>
#include "app/app_globals.h"
#include "app/startup.h"
#include "settings/app_settings.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (AcquireSingleInstanceMutex()) return 0;
  AppInstance = instance;
  InitCommonControlsForDialogs();
  BuildIniPath();
  LoadWindowPosition();
  if (!RegisterMainWindowClass(instance)) return 0;
  if (!CreateMainWindow(instance, AppSettings.WindowShowCommand)) return 0;
  const int exitCode = RunMessageLoop();
  CloseHandle(InstanceMutex);
  return exitCode;
}
