// The performance counter and its conversions.
#include "timing/perf_clock.h"

PerformanceCounterApi PerformanceCounter = {QueryPerformanceCounter, QueryPerformanceFrequency};

int64_t ReadCounter() {
  LARGE_INTEGER now = {};
  PerformanceCounter.Query(&now);
  return now.QuadPart;
}

int64_t CounterFrequency() {
  LARGE_INTEGER frequency = {};
  PerformanceCounter.Frequency(&frequency);
  return frequency.QuadPart > 0 ? frequency.QuadPart : 1;
}

// Whole seconds and the rest are converted apart: counts × 1000 overflows after 106 days at 1 GHz, while the
// rest × 1000 stays below the frequency × 1000.
int64_t CountsToMillis(int64_t counts) { return CountsToMillis(counts, CounterFrequency()); }

int64_t CountsToMillis(int64_t counts, int64_t frequency) {
  return counts / frequency * 1000 + counts % frequency * 1000 / frequency;
}

int64_t MillisToCounts(int64_t millis) {
  const int64_t frequency = CounterFrequency();
  return millis / 1000 * frequency + (millis % 1000 * frequency + 999) / 1000;
}
