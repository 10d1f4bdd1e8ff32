// Process-wide handles of the user-interface thread.
#include "records/app_globals.h"

HINSTANCE AppInstance = nullptr;
Shared<HWND> MainWindow;
