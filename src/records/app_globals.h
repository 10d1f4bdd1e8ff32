// Process-wide handles: the program's instance and its main window.
#pragma once
#include <windows.h>
#include "helpers/window_helpers.h"

extern HINSTANCE AppInstance;
// The main window; null until CreateWindowExW returns.
extern HWND MainWindow;

// The engine and the dialogs ask the main window for a new picture this way.
inline void RequestMainWindowRepaint() { RequestRepaint(MainWindow); }
