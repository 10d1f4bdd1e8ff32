// Measures the main window's paint cycle at the 0.001 s resolution for a default and a large window: whole paints
// and frames per second shown back to back, paints and the process's CPU use as the running program paints by itself, and the
// delay from a real left click (through the input queue) to the stop.
//   paint_bench [seconds=5]
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "app/main_window.h"
#include "app/startup.h"
#include "records/app_globals.h"
#include "records/window_messages.h"
#include "settings/app_settings.h"
#include "timing/frame_pacing.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"

namespace {

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

double ClickSentAt = 0;
double ClickStoppedAt = 0;

// The pictures the window has shown: whole paints and frames alike.
LRESULT PaintCount(HWND window) { return SendMessageA(window, WM_GET_PAINT_COUNT, 0, 0); }

LRESULT CALLBACK StopTimingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = MainWndProc(window, message, wParam, lParam);
  if (message == WM_LBUTTONUP && !StopwatchClock.StopwatchRunning) ClickStoppedAt = Now();
  return result;
}

// Takes messages until the time is up, sleeping while there are none, as the program's own loop does.
void Pump(double seconds) {
  const double end = Now() + seconds;
  MSG message;
  for (double now = Now(); now < end; now = Now()) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>((end - now) * 1000) + 1, QS_ALLINPUT);
    }
  }
}

HWND OpenWindow(const std::string& folder, int width, int height) {
  const std::string ini = folder + "\\bench.ini";
  const std::string text = "[StopWatch_Setting]\r\nSecondResolution=11\r\n[Window_Position]\r\nWindow_X_Pos=0\r\n"
                           "Window_Y_Pos=0\r\nWindow_Width=" + std::to_string(width) +
                           "\r\nWindow_Height=" + std::to_string(height) + "\r\n";
  HANDLE file = CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  wchar_t path[MAX_PATH] = L"";
  MultiByteToWideChar(CP_ACP, 0, ini.c_str(), -1, path, MAX_PATH);
  IniPath = path;
  LoadWindowPosition();
  CreateMainWindow(AppInstance, SW_SHOW);
  const HWND window = MainWindow;
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StopTimingProc));
  Pump(0.5);
  return window;
}

void MeasurePaints(const std::string& folder, int width, int height, double seconds) {
  const HWND window = OpenWindow(folder, width, height);
  StartMeasurement(window);
  Pump(0.3);
  // As fast as the window can show pictures, each of the running stopwatch's latest state: whole paints, and the
  // frames that the running program shows (posted, drawn at the paint that follows, copying only what moved).
  LRESULT before = PaintCount(window);
  double start = Now();
  while (Now() - start < seconds) {
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
  }
  const double paints = static_cast<double>(PaintCount(window) - before) / (Now() - start);
  long frames = 0;
  start = Now();
  for (MSG message; Now() - start < seconds; ++frames) {
    PostMessageA(window, WM_SHOW_FRAME, 0, 0);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  std::printf("%4d x %-4d window at 0.001 s, back to back: %.0f whole paints/s, %.0f frames/s\n", width, height,
              paints, static_cast<double>(frames) / (Now() - start));
  // As the program paints by itself: paced to the display.
  Pump(0.3);
  before = PaintCount(window);
  const double cpuBefore = ProcessCpuSeconds();
  const double paced = Now();
  Pump(seconds);
  const double wall = Now() - paced;
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  std::printf("            running on its own: %.0f paints/s, process CPU %.1f%% of one core\n",
              static_cast<double>(PaintCount(window) - before) / wall, 100.0 * cpu / wall);

  // A real click, through the system's input queue as a user's comes, at the window's centre.
  SetForegroundWindow(window);
  POINT centre = {width / 2, height / 2};
  ClientToScreen(window, &centre);
  SetCursorPos(centre.x, centre.y);
  INPUT click[2] = {};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  std::vector<double> delays;
  for (int i = 0; i < 20; ++i) {
    ClickStoppedAt = 0;
    ClickSentAt = Now();
    SendInput(2, click, sizeof(INPUT));
    while (ClickStoppedAt == 0 && Now() - ClickSentAt < 2) Pump(0.0005);
    // A click never taken counts as the 2 s waited for it.
    delays.push_back(((ClickStoppedAt != 0 ? ClickStoppedAt : Now()) - ClickSentAt) * 1000.0);
    StartMeasurement(window);
    Pump(0.1);
  }
  StopMeasurement(window);
  std::sort(delays.begin(), delays.end());
  std::printf("            click to stop while painting: median %.2f ms, worst %.2f ms (20 clicks)\n",
              delays[delays.size() / 2], delays.back());
  DestroyWindow(window);
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 5;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "tavrilo-paint-bench";
  CreateDirectoryA(folder.c_str(), nullptr);
  AppInstance = GetModuleHandleA(nullptr);
  RegisterMainWindowClass(AppInstance);
  MeasurePaints(folder, 240, 240, seconds);
  MeasurePaints(folder, 1024, 768, seconds);
  DeleteFileA((folder + "\\bench.ini").c_str());
  RemoveDirectoryA(folder.c_str());
  return 0;
}
