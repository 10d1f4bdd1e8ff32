// Laps leaving the program.
#include "laps/lap_export.h"

// TODO: the save question, the Save As dialog and the lap file are not built yet; nothing is asked and nothing
// is saved, so a reset discards unsaved laps.
void AskSaveLaps(HWND) {}
