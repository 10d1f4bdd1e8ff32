// The timer settings dialog (template 107): the countdown's hours, minutes and seconds and the alarm file.
#pragma once
#include <windows.h>
#include <cstdint>

// The fields the dialog edits, as they were when it opened; Cancel puts them back.
struct TimerSettingsSnapshot {
  int32_t Hour;
  int32_t Minute;
  int32_t Second;
  char AlarmSoundFile[MAX_PATH];
  wchar_t AlarmSoundDisplayName[MAX_PATH];
};

// Runs dialog 107 modally, owned by `owner`; true when the user ended it with OK.
bool EditTimerSettings(HWND owner);

// For the tests only: nothing outside this module calls these.
// Edits AppSettings directly and puts back what it found on Cancel; ends with IDOK or IDCANCEL. lParam of
// WM_INITDIALOG: the TimerSettingsSnapshot that the dialog fills as it opens.
INT_PTR CALLBACK TimerSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Lets the user choose a sound file. `path` (MAX_PATH bytes) gets the form of its path the settings file keeps,
// in Shift-JIS (the short path when the long one has characters Shift-JIS lacks); `displayName` (MAX_PATH
// characters) the file's own name. Returns true when a playable file was chosen; otherwise both are left empty.
bool BrowseAlarmSoundFile(char* path, wchar_t* displayName, HWND owner);
