// The procedure of the timer settings dialog (template 107).
#pragma once
#include <windows.h>

INT_PTR CALLBACK TimerSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
