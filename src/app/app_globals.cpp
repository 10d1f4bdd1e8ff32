// Process-wide handles of the user-interface thread.
#include "app/app_globals.h"

HINSTANCE AppInstance = nullptr;
Shared<HWND> MainWindow;
