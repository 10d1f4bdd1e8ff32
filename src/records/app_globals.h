// Process-wide handles of the user-interface thread, and the program's name as its message boxes show it.
#pragma once
#include <windows.h>
#include "helpers/window_helpers.h"

extern HINSTANCE AppInstance;
// The main window; null until CreateWindowExW returns.
extern HWND MainWindow;

// The engine and the dialogs ask the main window for a new picture this way.
inline void RequestMainWindowRepaint() { RequestRepaint(MainWindow); }

// Caption of the program's message boxes.
constexpr const wchar_t* AppCaption = L"Tavrilo";
