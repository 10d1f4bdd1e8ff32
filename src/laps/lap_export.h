// Laps leaving the program: the lap file, the question before unsaved laps are discarded, the clipboard.
#pragma once
#include <windows.h>

// Asks whether to save the laps and saves them on Yes.
void AskSaveLaps(HWND owner);
