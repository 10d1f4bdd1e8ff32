// Process-wide handles of the user-interface thread.
#include "records/app_globals.h"

HINSTANCE AppInstance = nullptr;
HWND MainWindow;
