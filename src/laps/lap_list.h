// Recording and clearing laps in the list of records/lap_list_record.h.
#pragma once
#include <windows.h>
#include <cstdint>
#include "records/lap_list_record.h"

// Records the current lap and restarts the lap counters; ignored when the list is full.
void RecordLap();
// Appends the current lap and total without restarting anything and without marking the list unsaved.
void RecordProvisionalLap();
// Takes back the provisional lap, the last of the list, also from the history window.
void DropProvisionalLap();
// Empties the list and the history window's list box; leaves Unsaved alone.
void ClearLaps();
// Has the open history window list the newest lap (and any other it lacks) at the top.
void AppendLapLine();
