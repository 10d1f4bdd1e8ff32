// Measures the stopwatch: its reading against the performance counter read here (drift), and the cost of one
// wake's accounting.
//   clock_bench [seconds=10] [--busy]   --busy keeps a second thread spinning, as a loaded machine would
#include <windows.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "records/app_globals.h"
#include "settings/app_settings.h"
#include "timing/run_control.h"
#include "timing/perf_clock.h"
#include "timing/stopwatch_clock.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LRESULT CALLBACK ValidatingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    ValidateRect(window, nullptr);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateRepaintTarget() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ValidatingProc;
  windowClass.lpszClassName = "TavriloBench";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "TavriloBench", "bench", WS_POPUP, -3000,
                                -3000, 240, 240, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  return window;
}

std::atomic<bool> Spinning{true};
DWORD WINAPI Spin(void*) {
  volatile unsigned long long sink = 0;
  while (Spinning.load(std::memory_order_relaxed)) sink = sink + 1;
  return 0;
}

// The stopwatch at 0.001 s from Start to Stop against the counter read just before each; its reading is cut to
// whole milliseconds, so the figure is exact to 1 ms over the period.
void MeasureDrift(double seconds) {
  StopwatchClock = StopwatchClockRecord{};
  SelectStopwatchResolution(11, nullptr);
  const double start = Now();
  StartMeasurement(MainWindow);
  MSG message;
  while (Now() - start < seconds) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  const double elapsedMs = (Now() - start) * 1000.0;
  StopMeasurement(MainWindow);
  const double counted = StopwatchClock.TotalTime.Ticks;
  std::printf("stopwatch over %.1f s: %.0f ms, performance counter %.1f ms, %+.0f ppm (+-%.0f ppm: whole ms)\n",
              seconds, counted, elapsedMs, (counted - elapsedMs) / elapsedMs * 1e6, 1e6 / elapsedMs);
}

// A wake brings the reading up to the counter: what that costs, the counter's own read included.
void MeasureWakeCost(int resolutionIndex, long long wakes) {
  StopwatchClock = StopwatchClockRecord{};
  SelectStopwatchResolution(resolutionIndex, nullptr);
  StartStopwatchRun(ReadCounter());
  const double start = Now();
  for (long long i = 0; i < wakes; ++i) AdvanceStopwatch(ReadCounter());
  const double elapsed = Now() - start;
  std::printf("a wake's accounting at %d ms resolution: %.1f ns over %lld wakes (lap %d ms)\n",
              static_cast<int>(StopwatchClock.RefreshDivisor), elapsed * 1e9 / static_cast<double>(wakes), wakes,
              static_cast<int>(StopwatchClock.LapTime.Ticks));
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 10;
  bool busy = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--busy") == 0) {
      busy = true;
    } else {
      seconds = std::atof(argv[i]);
    }
  }
  MainWindow = CreateRepaintTarget();
  HANDLE spinner = busy ? CreateThread(nullptr, 0, Spin, nullptr, 0, nullptr) : nullptr;
  MeasureDrift(seconds);
  Spinning = false;
  if (spinner) {
    WaitForSingleObject(spinner, INFINITE);
    CloseHandle(spinner);
  }
  MeasureWakeCost(9, 1000000);
  MeasureWakeCost(11, 1000000);
  return 0;
}
