// The procedure of the version dialog (template 104).
#pragma once
#include <windows.h>

INT_PTR CALLBACK VersionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
