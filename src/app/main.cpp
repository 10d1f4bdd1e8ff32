// Entry point of Tavrilo.exe: DLLs from System32 only, one copy at a time, the timer resolution kept when out of
// sight, settings path and placement, the main window, the lap journal, the loop.
#include <windows.h>
#include "app/startup.h"
#include "helpers/optional_calls.h"
#include "laps/lap_export.h"
#include "laps/lap_journal.h"
#include "records/app_globals.h"
#include "settings/app_settings.h"
#include "settings/hotkeys.h"
#include "timing/mm_timer.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RestrictDllSearch();  // before anything can load a DLL
  const SingleInstanceMutex oneCopy;
  if (!oneCopy.Acquired()) return 0;
  AppInstance = instance;
  KeepTimerResolutionWhereSupported();
  InitCommonControlsForDialogs();
  InstallEngineHooks();
  BuildIniPath();
  LoadWindowPosition();
  if (!RegisterMainWindowClass(instance)) return 0;
  if (!CreateMainWindow(instance, AppSettings.WindowShowCommand)) return 0;
  WarnIfSettingsCannotBeSaved(MainWindow);
  RegisterHotKeys(MainWindow, MainWindow);
  StartLapJournal(MainWindow, OfferUnsavedLaps);
  RegisterForRestartAfterUpdate();
  return RunMessageLoop();
}
