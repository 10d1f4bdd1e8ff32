// The Windows half of `scripts/bench.sh program`: starts, reads and ends a real Tavrilo.exe, one step per call, so
// that the script can measure the processes' CPU from Linux between the steps.
//   program_bench start <exe> <SecondResolution> <run|idle> [<outer width> <outer height>]
//       a copy of <exe> in a fresh folder, its settings file holding the resolution (and the size when given);
//       started, its stopwatch started by a click unless idle. Prints: <pid> <outer width> <outer height> <folder>
//   program_bench paints <pid>         prints how many times its window has been painted
//   program_bench stop <pid> <folder>  closes it (ends it when it does not close in time) and removes the folder
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "app/app_driver.h"
#include "app/main_window.h"

namespace {

// Only one copy runs at a time, so the class finds it; the owner check makes sure it is the one meant.
HWND MainWindowOf(DWORD processId) {
  const HWND window = FindWindowA("StopWatchClass", nullptr);
  DWORD owner = 0;
  if (window) GetWindowThreadProcessId(window, &owner);
  return owner == processId ? window : nullptr;
}

std::string IniText(const char* resolution, const char* width, const char* height) {
  std::string text = std::string("[StopWatch_Setting]\r\nSecondResolution=") + resolution + "\r\n";
  if (width && height) {
    text += std::string("[Window_Position]\r\nWindow_Width=") + width + "\r\nWindow_Height=" + height + "\r\n";
  }
  return text;
}

int Fail(app::RunningApp& app, const char* what) {
  std::fprintf(stderr, "program_bench: %s\n", what);
  app::Dispose(app);
  return 1;
}

// `width` and `height` are null for the program's default size.
int Start(const char* exe, const char* resolution, bool idle, const char* width, const char* height) {
  app::RunningApp app = app::PrepareApp(IniText(resolution, width, height));
  // The driver copies the build's own program; the one to measure replaces it.
  if (!CopyFileA(exe, (app.Folder + "\\Tavrilo.exe").c_str(), FALSE)) return Fail(app, "cannot copy the program");
  if (!app::Launch(app)) return Fail(app, "no window appeared");
  if (!idle) {
    const RECT client = app::ClientRect(app);
    app::Click(app, client.right / 2, client.bottom / 2);
  }
  if (idle ? !app::Settles(app) : !app::KeepsChanging(app)) {
    return Fail(app, idle ? "the window keeps changing" : "the stopwatch did not start");
  }
  RECT outer = {};
  GetWindowRect(app.Window, &outer);
  std::printf("%lu %ld %ld %s\n", app.Process.dwProcessId, outer.right - outer.left, outer.bottom - outer.top,
              app.Folder.c_str());
  // The program keeps running after this helper ends.
  CloseHandle(app.Process.hThread);
  CloseHandle(app.Process.hProcess);
  return 0;
}

int Paints(DWORD processId) {
  const HWND window = MainWindowOf(processId);
  DWORD_PTR paints = 0;
  if (!window || !SendMessageTimeoutA(window, WM_GET_PAINT_COUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &paints)) {
    std::fprintf(stderr, "program_bench: no answer from process %lu\n", processId);
    return 1;
  }
  std::printf("%lu\n", static_cast<unsigned long>(paints));
  return 0;
}

int Stop(DWORD processId, const char* folder) {
  app::RunningApp app;
  app.Folder = folder;
  app.Process.dwProcessId = processId;
  app.Process.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                     processId);
  app.Window = MainWindowOf(processId);
  const bool closed = app.Process.hProcess && app.Window && app::CloseApp(app) != STILL_ACTIVE;
  if (!closed) std::fprintf(stderr, "program_bench: process %lu did not close; ended it\n", processId);
  app::Dispose(app);
  return closed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "start" && (argc == 5 || argc == 7)) {
    const bool sized = argc == 7;
    return Start(argv[2], argv[3], std::strcmp(argv[4], "idle") == 0, sized ? argv[5] : nullptr,
                 sized ? argv[6] : nullptr);
  }
  if (command == "paints" && argc == 3) return Paints(std::strtoul(argv[2], nullptr, 10));
  if (command == "stop" && argc == 4) return Stop(std::strtoul(argv[2], nullptr, 10), argv[3]);
  std::fprintf(stderr, "usage: program_bench start <exe> <SecondResolution> <run|idle> [<width> <height>]\n"
                       "       program_bench paints <pid>\n"
                       "       program_bench stop <pid> <folder>\n");
  return 2;
}
