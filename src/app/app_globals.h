// Process-wide handles of the user-interface thread, and the program's name as its message boxes show it.
#pragma once
#include <windows.h>
#include "timing/shared_value.h"

extern HINSTANCE AppInstance;
// The main window; null until CreateWindowExA returns. The timer thread reads it to send and repaint.
extern Shared<HWND> MainWindow;

// Caption of the program's message boxes.
constexpr const char* AppCaption = "Tavrilo";
