// The stopwatch's one-millisecond tick, which advances the timing engine's record.
#pragma once
#include <windows.h>
#include <cstdint>
#include "records/stopwatch_clock_record.h"

// The stopwatch's multimedia timer callback: one millisecond while StopwatchRunning is 1, nothing otherwise.
void CALLBACK ClockTick(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR reserved1, DWORD_PTR reserved2);
struct TimerFlags;
// The stopwatch's timer flags in the engine's record.
TimerFlags StopwatchTimer();
// What the tick calls at a refresh boundary to record a requested lap while the list has room; installed by the
// program before any timer runs, so the engine knows nothing of how laps are kept.
extern void (*RecordLapHook)();
// Clears StopwatchRunning, kills the stopwatch's timer and returns once no tick is under way any more, so the
// counters are the user-interface thread's alone afterwards. User-interface thread only.
void StopStopwatchTimer();
void AdvanceTicks();
// A new lap begins: the lap's counters and the dial's refresh counts go back to zero, the totals go on.
void ZeroLapCounters();
// What a frame shows of the stopwatch, all from one moment, whatever the tick does meanwhile. Any thread; the
// tick's own calls (a lap's text) come outside its updates.
StopwatchReading ReadStopwatch();
// What a new lap restarts, as it stands: a lap that is taken back puts it back. The timer must be stopped.
struct LapCounters {
  ClockTime LapTime;
  ClockTime LapFrameTime;
  int32_t RefreshTicks;
  int32_t HourRefreshCount;
  int32_t MinuteRefreshCount;
};
LapCounters ReadLapCounters();
void PutBackLapCounters(const LapCounters& counters);
