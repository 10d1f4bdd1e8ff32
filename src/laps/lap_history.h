// The modeless lap history window: every lap, newest first, kept up to date while it is open.
#pragma once
#include <windows.h>

// Opens the history window (nothing when it is already open).
void OpenLapHistory(HWND owner);
