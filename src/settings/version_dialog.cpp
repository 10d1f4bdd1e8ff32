// The procedure of the version dialog (template 104).
#include "settings/version_dialog.h"

// TODO: the version dialog (template 104) is not built yet; without its template the command opens nothing.
INT_PTR CALLBACK VersionDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
