// The modeless lap history window.
#include "laps/lap_history.h"

// TODO: the lap history window is not built yet (no dialog template); the command opens nothing.
void OpenLapHistory(HWND) {}

// TODO: the lap history window's procedure comes with its dialog template.
INT_PTR CALLBACK LapHistoryDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
