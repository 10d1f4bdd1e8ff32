// The performance counter, the one source of measured time, and exact conversions between its counts and
// milliseconds.
#pragma once
#include <windows.h>
#include <cstdint>

// The two counter calls. Tests put a hand-driven counter here; the program never changes them.
struct PerformanceCounterApi {
  BOOL(WINAPI* Query)(LARGE_INTEGER*);
  BOOL(WINAPI* Frequency)(LARGE_INTEGER*);
};
extern PerformanceCounterApi PerformanceCounter;

int64_t ReadCounter();
// Counts per second, fixed at boot.
int64_t CounterFrequency();
// Whole milliseconds in a count of at least 0, rounded down; exact at any frequency, with no overflow.
int64_t CountsToMillis(int64_t counts);
// The same at another frequency than the counter's now (a count kept from an earlier boot).
int64_t CountsToMillis(int64_t counts, int64_t frequency);
// The fewest counts that make `millis` whole milliseconds (millis at least 0).
int64_t MillisToCounts(int64_t millis);
