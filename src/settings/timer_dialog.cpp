// The procedure of the timer settings dialog (template 107).
#include "settings/timer_dialog.h"

// TODO: the timer settings dialog (template 107) is not built yet; without its template the command opens nothing.
INT_PTR CALLBACK TimerSettingsDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
