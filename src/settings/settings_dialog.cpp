// The procedure of the settings dialog (template 108).
#include "settings/settings_dialog.h"

// TODO: the settings dialog (template 108) is not built yet; without its template the command opens nothing.
INT_PTR CALLBACK SettingsDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
