// The timer settings dialog (template 107): the countdown's hours, minutes and seconds and the alarm file.
#pragma once
#include <windows.h>

// Edits AppSettings directly and puts back what it found on Cancel; ends with IDOK or IDCANCEL.
INT_PTR CALLBACK TimerSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Checks hours, minutes and seconds in that order; at the first value out of range it tells the user, selects
// the value's text and returns 1. Returns 0 when all three are in range.
int ValidateTimerSettings(HWND dialog);
// Lets the user choose a sound file. Both buffers hold MAX_PATH bytes; the display name is the file's name
// without its folder. Returns 1 when a playable file was chosen; otherwise both buffers are left empty.
int BrowseAlarmSoundFile(char* path, char* displayName, HWND owner);
