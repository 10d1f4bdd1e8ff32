// Wall-clock time for tests and benchmarks that measure against it.
#pragma once
#include <windows.h>

namespace test {

// The performance counter in milliseconds.
inline double NowMs() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace test
