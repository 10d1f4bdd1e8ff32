// Process-wide handles.
#include "records/app_globals.h"

HINSTANCE AppInstance = nullptr;
HWND MainWindow;
