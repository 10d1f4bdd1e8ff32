// Laps leaving the program: the lap file, the question before unsaved laps are discarded, the clipboard.
#pragma once
#include <windows.h>

// Asks whether to save the laps and saves them on Yes.
void AskSaveLaps(HWND owner);
// Lets the user choose a file and writes every lap to it; 1 when the file was written.
int SaveLapsToFile(HWND owner);
// Puts the current lap time on the clipboard as text; 1 on success.
int CopyResultToClipboard(HWND owner);
