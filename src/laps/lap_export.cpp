// Laps leaving the program.
#include "laps/lap_export.h"

// TODO: the save question, the Save As dialog and the lap file are not built yet; nothing is asked and nothing
// is saved, so a reset discards unsaved laps.
void AskSaveLaps(HWND) {}

// TODO: choosing and writing the lap file is not built yet; nothing is written.
int SaveLapsToFile(HWND) { return 0; }

// TODO: the clipboard copy is not built yet; the clipboard is left alone.
int CopyResultToClipboard(HWND) { return 0; }
