// Recording and clearing laps in the list of records/lap_list_record.h.
#pragma once
#include <windows.h>
#include <cstdint>
#include "records/lap_list_record.h"
#include "timing/stopwatch_clock.h"

// Records the current lap and restarts the lap counters; ignored when the list is full.
void RecordLap();
// Appends the current lap and total without restarting anything and without marking the list unsaved.
void RecordProvisionalLap();
// Takes the last lap of the list back out of it and of the history window: the save command's provisional line.
void DropLastLap();
// A recorded lap taken back whole: out of the list, the history window and the journal, and the lap's counters
// put back as they were before it was recorded (`before`), so that the lap goes on as if never taken.
void TakeBackLap(const LapCounters& before);
// Empties the list and the history window's list box; leaves Unsaved alone.
void ClearLaps();
// Has the open history window list the newest lap (and any other it lacks) at the top.
void AppendLapLine();
