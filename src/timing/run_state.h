// What lets a measurement outlive the program: both measurements' run state as one record, read from the timing
// record, in a text form checked whole, and put back after the program was gone, the time gone counted.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <string_view>

// Wall time and the time since the boot; tests put hand-driven clocks here, the program never changes them.
struct WallClockApi {
  void(WINAPI* SystemTime)(FILETIME*);  // UTC
  ULONGLONG(WINAPI* TickCount)();       // milliseconds since the boot, sleep included
};
extern WallClockApi WallClock;

// One moment on the performance counter and in UTC, and the boot it belongs to.
struct RunMoment {
  int64_t Counter;
  int64_t Utc;         // 100 ns units since 1601
  int64_t BootSecond;  // the boot's moment, UTC minus the time since the boot, in whole seconds
};
RunMoment ReadRunMoment();

// Every field is a 64-bit number, so that one table formats, reads and bounds them all.
struct RunState {
  int64_t Sequence;    // one more at every write; the later of the file's two copies counts
  int64_t KeptAtExit;  // 1: a normal exit kept it, and the next start goes on without asking
  int64_t WrittenCounter, WrittenUtc, WrittenBoot, Frequency;
  int64_t Mode, StopwatchResolution, TimerResolution, SetHours, SetMinutes, SetSeconds;
  int64_t StopwatchStarted, StopwatchRunning, StopwatchBefore, StopwatchStartCounter, StopwatchStartUtc;
  int64_t LapStart, LapRefreshOffset, Laps;
  int64_t TimerStarted, TimerRunning, TimerExpired, Remaining, RemainingAtStart, CountdownStartCounter,
      CountdownStartUtc;
};

// The run state now: both measurements, the settings they run with and the laps in the list.
RunState CaptureRunState(const RunMoment& now);
// A measurement is running, or stopped with time on it.
bool HoldsMeasurement(const RunState& state);
// Lines "key=n,n,…" in CRLF, the last a CRC-32 of those before it.
std::string FormatRunState(const RunState& state);
// False for anything but a whole text of this version with every value in range.
bool ParseRunState(std::string_view text, RunState& state);
// Both measurements as `state` left them, with the settings they ran with: a running one counts the time since
// it was written, from the counter within the same boot, else from UTC (none when UTC went back). Then serviced,
// so a countdown whose end fell meanwhile expires.
void ResumeRunState(const RunState& state, const RunMoment& now);

// For the tests only: nothing outside this module calls these.
// Whether `now` is in the boot that wrote `state`: the boot moments agree within 2 s (a wall clock set meanwhile
// makes it another boot) and the counter has not gone back.
bool SameBoot(const RunState& state, const RunMoment& now);
