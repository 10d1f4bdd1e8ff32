// The stopwatch's measurement: its time is the performance counter's advance while it ran, shown at refresh
// boundaries. Everything here runs on the user-interface thread; `now` is always a counter value.
#pragma once
#include <windows.h>
#include <cstdint>
#include "records/stopwatch_clock_record.h"

// What the stopwatch calls at a refresh boundary to record a waiting lap while the list has room; installed by
// the program at start-up, so the engine knows nothing of how laps are kept.
extern void (*RecordLapHook)();

// A counter value no wake is ever due at.
constexpr int64_t NoWake = INT64_MAX;

void StartStopwatchRun(int64_t now);
// Brings the reading up to `now`, then ends the run there; its time is kept for the next Start.
void StopStopwatchRun(int64_t now);
// Asks for a lap at the first refresh boundary after `now`, while the stopwatch runs and no lap waits yet; the
// reading must have been brought up to `now`, so that a lap whose boundary has passed is no longer waiting.
void RequestStopwatchLap(int64_t now);
// Brings the reading to the last refresh boundary reached by `now`: a waiting lap is recorded at its own
// boundary, and the stopwatch stops itself at a limit, however late this comes. True when there is something
// new to show (and the redraw hold does not keep it back).
bool AdvanceStopwatch(int64_t now);
// The counter value at which the stopwatch must act while it runs: a waiting lap's boundary, or its limit.
int64_t NextStopwatchDue();
// The counter value of its next refresh boundary while it runs.
int64_t NextStopwatchRefresh();
// The counter value of the first refresh boundary whose total shows another whole second, while it runs.
int64_t NextStopwatchSecond();

// A new lap begins at the boundary shown: the lap's times and the dial's refresh counts go back to zero.
void ZeroLapCounters();
// Every stopwatch time back to zero and the stopwatch no longer started; a waiting lap then waits for the first
// boundary. The stopwatch must be stopped.
void ZeroStopwatchCounters();
// A waiting lap is no longer asked for.
void CancelLapRequest();
// The timing record as a new main window starts it, while nothing runs.
void MakeTimingRecordFresh();
// Holds the 1 ms display's redraws back for a while: called as a modal dialog or chooser opens over it.
void ArmDialogRedrawHold();
StopwatchReading ReadStopwatch();
// Where the current lap began: a lap that is taken back puts it back.
struct LapCounters {
  int32_t LapStart;
  int32_t LapRefreshOffset;
};
LapCounters ReadLapCounters();
void PutBackLapCounters(const LapCounters& counters);

// For the tests only: nothing outside this module calls these.
// Whether a requested lap waits for its boundary.
bool LapWaiting();
