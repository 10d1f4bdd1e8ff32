// The Windows half of `scripts/bench.sh program` and `soak`: starts, drives, reads and ends a real Tavrilo.exe, one
// step per call, so that the script can measure the processes from Linux between the steps.
//   program_bench start <exe> <SecondResolution> <run|idle|minimised> [<outer width> <outer height>]
//       a copy of <exe> in a fresh folder, its settings file holding the resolution (and the size when given);
//       started, its stopwatch started by a click unless idle, and its window minimised when asked.
//       Prints: <pid> <outer width> <outer height> <folder>
//   program_bench paints <pid>         prints how many times its window has been painted
//   program_bench soak-open <exe>      a copy at the 0.001 s resolution with its lap history window open.
//       Prints: <pid> <folder>
//   program_bench soak-run <pid> <folder> <seconds>
//       starts the stopwatch, takes a lap every 0.5 s up to the lap limit, stops after <seconds> and copies the
//       lap time. Prints: <laps> <wall ms from start to stop> <its uncertainty in ms> <copied lap time>
//   program_bench soak-save <pid> <folder> <laps> <wall ms> <uncertainty ms> <copied lap time>
//       saves the laps through Save As; prints what the laps, the file and the clocks say
//   program_bench objects <pid>        prints its live GDI objects and its windows
//   program_bench stop <pid> <folder>  closes it (ends it when it does not close in time) and removes the folder
#include <windows.h>
#include <winternl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "app/app_driver.h"
#include "app/dialog_driver.h"
#include "app/main_window.h"
#include "support/poll.h"
#include "laps/lap_list.h"
#include "records/command_ids.h"
#include "records/window_messages.h"
#include "resources/resource.h"
#include "support/files.h"
#include "support/wall_clock.h"

namespace {

// An ASCII folder name: the folder's path goes to the script and comes back as an argument.
constexpr const char* BenchFolderPrefix = "tavrilo-bench-";

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

enum class Mode { Run, Idle, Minimised };

// `width` and `height` are null for the program's default size.
int Start(const char* exe, const char* resolution, Mode mode, const char* width, const char* height) {
  const bool idle = mode == Mode::Idle;
  app::RunningApp app = app::PrepareApp(IniText(resolution, width, height), BenchFolderPrefix);
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
  if (mode == Mode::Minimised) {
    PostMessageA(app.Window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    if (!test::PollUntil([&] { return IsIconic(app.Window) != FALSE; }, 5000)) return Fail(app, "not minimised");
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

// A copy started by an earlier call, found again by its process id.
app::RunningApp Attach(DWORD processId, const char* folder) {
  app::RunningApp app;
  app.Folder = folder;
  app.Process.dwProcessId = processId;
  app.Process.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                     processId);
  app.Window = MainWindowOf(processId);
  return app;
}

// --- soak ---

constexpr DWORD LapIntervalMs = 500;
constexpr const char* SoakLapFile = "soak-laps.txt";

using test::NowMs;

// When a sent message was handled: between the send and its return, so the middle, give or take half the span.
struct Instant {
  double Ms;
  double HalfSpanMs;
};

// Sends a message and answers when it was handled; false when the program did not answer within 10 s.
bool SendTimed(HWND window, UINT message, WPARAM wParam, Instant& handled) {
  const double before = NowMs();
  DWORD_PTR result = 0;
  const bool answered = SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, 10000, &result) != 0;
  const double after = NowMs();
  handled = Instant{(before + after) / 2, (after - before) / 2};
  return answered;
}

bool SendCommand(HWND window, int command) {
  Instant ignored;
  return SendTimed(window, WM_COMMAND, static_cast<WPARAM>(command), ignored);
}

// True once the program takes messages again: everything it was doing when asked is done.
bool Answers(HWND window) {
  Instant ignored;
  return SendTimed(window, WM_NULL, 0, ignored);
}

int SoakOpen(const char* exe) {
  app::RunningApp app = app::PrepareApp("[StopWatch_Setting]\r\nSecondResolution=11\r\n", BenchFolderPrefix);
  if (!CopyFileA(exe, (app.Folder + "\\Tavrilo.exe").c_str(), FALSE)) return Fail(app, "cannot copy the program");
  if (!app::Launch(app)) return Fail(app, "no window appeared");
  if (!SendCommand(app.Window, IDM_LAP_HISTORY) || !app::WaitForDialog(app, "ラップタイム履歴画面")) {
    return Fail(app, "the lap history window did not open");
  }
  std::printf("%lu %s\n", app.Process.dwProcessId, app.Folder.c_str());
  CloseHandle(app.Process.hThread);
  CloseHandle(app.Process.hProcess);
  return 0;
}

// Waits until `deadline` on the performance counter.
void SleepUntil(double deadline) {
  for (double now = NowMs(); now < deadline; now = NowMs()) Sleep(static_cast<DWORD>(deadline - now) + 1);
}

// A lap every LapIntervalMs after the start until the list is full or `endMs` comes; returns how many were taken.
int TakeLaps(HWND window, double startMs, double endMs) {
  int laps = 0;
  for (double next = startMs + LapIntervalMs; laps < MaxLaps && next < endMs; next += LapIntervalMs) {
    SleepUntil(next);
    Instant handled;
    if (!SendTimed(window, WM_LAP_REQUEST, 0, handled)) break;
    ++laps;
  }
  return laps;
}

// The clipboard's text, once the program has set it.
std::string ClipboardText() {
  for (int attempt = 0; attempt < 100 && !OpenClipboard(nullptr); ++attempt) Sleep(10);
  std::string text;
  if (const HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* locked = static_cast<const char*>(GlobalLock(data))) text = locked;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// Saves the laps through the save command's Save As dialog under `path`; true once the program has written it.
bool SaveLapsAs(const app::RunningApp& app, const std::string& path) {
  PostMessageA(app.Window, WM_COMMAND, IDM_LAP_SAVE, 0);
  const HWND saveAs = app::WaitForDialog(app, "名前を付けて保存", 10000);
  if (!saveAs) return false;
  SendMessageA(app::SaveAsNameEdit(saveAs), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  app::PressButton(saveAs, IDOK);
  // The file is written after the dialog has closed, before the program takes its next message. (The history
  // window is a dialog too: only this one's end is awaited.)
  const DWORD start = GetTickCount();
  while (IsWindow(saveAs) && GetTickCount() - start < 10000) Sleep(10);
  return !IsWindow(saveAs) && Answers(app.Window) && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// "HH:MM:SS.mmm" in milliseconds; -1 when it is not in that form.
double TimeTextMs(const std::string& text) {
  int hours = 0, minutes = 0, seconds = 0, millis = 0;
  if (std::sscanf(text.c_str(), "%d:%d:%d.%d", &hours, &minutes, &seconds, &millis) != 4) return -1;
  return ((hours * 60.0 + minutes) * 60.0 + seconds) * 1000.0 + millis;
}

// The total column of a line "NNNN,lap,total".
double TotalOfLine(const std::string& line) { return TimeTextMs(line.substr(line.find_last_of(',') + 1)); }

int HistoryLines(const app::RunningApp& app) {
  const HWND history = app::WaitForDialog(app, "ラップタイム履歴画面", 1000);
  return history ? static_cast<int>(SendDlgItemMessageA(history, IDC_LAP_HISTORY_LIST, LB_GETCOUNT, 0, 0)) : -1;
}

// What the laps, the saved file and the history window say, and the stopwatch's total at the stop against the
// wall time from start to stop. A full list has no line for the stop: its total is the last lap's plus the lap time
// that the copy command gave.
void ReportSoak(const app::RunningApp& app, int laps, double wallMs, double uncertaintyMs,
                const std::string& copiedLap, const std::string& file) {
  const std::vector<std::string> lines = LinesOf(file);
  const bool stopLine = static_cast<int>(lines.size()) == laps + 1;
  std::printf("laps taken %d, lines in the saved file %zu (%s), lines in the history window %d\n", laps,
              lines.size(), stopLine ? "the laps and the stop" : "the laps", HistoryLines(app));
  const double lastLapTotal = laps > 0 && static_cast<int>(lines.size()) >= laps ? TotalOfLine(lines[laps - 1]) : 0;
  const double copiedMs = TimeTextMs(copiedLap);
  if (lastLapTotal < 0 || copiedMs < 0 || static_cast<int>(lines.size()) < laps) {
    std::printf("no stopwatch time: the file or the copied lap time \"%s\" is not as expected\n", copiedLap.c_str());
    return;
  }
  const double stopwatchMs = lastLapTotal + copiedMs;
  if (stopLine) {
    std::printf("stop line total %.0f ms, last lap total + copied lap time %.0f ms\n", TotalOfLine(lines.back()),
                stopwatchMs);
  }
  std::printf("stopwatch %.0f ms, wall clock %.1f ms: %+.1f ppm (+-%.1f ppm)\n", stopwatchMs, wallMs,
              (stopwatchMs - wallMs) / wallMs * 1e6, uncertaintyMs / wallMs * 1e6);
}

int SoakRun(DWORD processId, const char* folder, double seconds) {
  app::RunningApp app = Attach(processId, folder);
  if (!app.Window) return Fail(app, "no window of that process");
  Instant start, stop;
  if (!SendTimed(app.Window, WM_COMMAND, IDM_START, start)) return Fail(app, "the start went unanswered");
  const int laps = TakeLaps(app.Window, start.Ms, start.Ms + seconds * 1000);
  SleepUntil(start.Ms + seconds * 1000);
  if (!SendTimed(app.Window, WM_COMMAND, IDM_STOP, stop)) return Fail(app, "the stop went unanswered");
  if (!SendCommand(app.Window, IDM_COPY_RESULT)) return Fail(app, "the copy went unanswered");
  const double uncertaintyMs = start.HalfSpanMs + stop.HalfSpanMs + 1;  // and a tick of counting
  std::printf("%d %.3f %.3f %s\n", laps, stop.Ms - start.Ms, uncertaintyMs, ClipboardText().c_str());
  CloseHandle(app.Process.hThread);
  CloseHandle(app.Process.hProcess);
  return 0;
}

int SoakSave(DWORD processId, const char* folder, int laps, double wallMs, double uncertaintyMs,
             const char* copiedLap) {
  app::RunningApp app = Attach(processId, folder);
  if (!app.Window) return Fail(app, "no window of that process");
  const std::string path = app.Folder + "\\" + SoakLapFile;
  if (!SaveLapsAs(app, path)) return Fail(app, "the laps were not saved");
  ReportSoak(app, laps, wallMs, uncertaintyMs, copiedLap, test::ReadBytes(path));
  CloseHandle(app.Process.hThread);
  CloseHandle(app.Process.hProcess);
  return 0;
}

// GetGuiResources answers 0 under Wine, and GetObjectType sees only this process's objects. The GDI handle table is
// in each process's memory, where its PEB points (GdiSharedHandleTable, at 0xF8 in the 64-bit PEB): 65536 entries
// of 24 bytes, a live object's with a non-zero type. -1 when it cannot be read.
struct GdiHandleEntry {
  UINT64 Object;
  ULONG Owner;
  USHORT Unique;
  UCHAR Type;
  UCHAR Flags;
  UINT64 UserPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the table's entry layout");
constexpr size_t GdiHandleCount = 0x10000;
constexpr size_t PebGdiTableOffset = 0xF8;

int LiveGdiObjectsOf(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic = {};
  ULONG length = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) return -1;
  void* table = nullptr;
  const auto* tableField = reinterpret_cast<const char*>(basic.PebBaseAddress) + PebGdiTableOffset;
  if (!ReadProcessMemory(process, tableField, &table, sizeof table, nullptr) || !table) return -1;
  std::vector<GdiHandleEntry> entries(GdiHandleCount);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof entries[0], nullptr)) return -1;
  int live = 0;
  for (const GdiHandleEntry& entry : entries) live += entry.Type != 0;
  return live;
}

// The table read agrees with GetObjectType for this process, or it is not trusted for another.
bool GdiTableReadable() {
  int byType = 0;
  for (UINT_PTR slot = 1; slot < GdiHandleCount; ++slot) byType += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
  return LiveGdiObjectsOf(GetCurrentProcess()) == byType;
}

struct WindowCount {
  DWORD ProcessId;
  int Count;
};

BOOL CALLBACK CountDescendant(HWND, LPARAM param) {
  ++reinterpret_cast<WindowCount*>(param)->Count;
  return TRUE;
}

BOOL CALLBACK CountTopLevelWindow(HWND window, LPARAM param) {
  WindowCount& count = *reinterpret_cast<WindowCount*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != count.ProcessId) return TRUE;
  ++count.Count;
  EnumChildWindows(window, CountDescendant, param);  // every descendant, not only the children
  return TRUE;
}

// Its top-level windows and their descendants: the USER objects one process can count in another.
int WindowsOf(DWORD processId) {
  WindowCount count{processId, 0};
  EnumWindows(CountTopLevelWindow, reinterpret_cast<LPARAM>(&count));
  return count.Count;
}

int Objects(DWORD processId) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  const int gdi = process && GdiTableReadable() ? LiveGdiObjectsOf(process) : -1;
  if (process) CloseHandle(process);
  std::printf("%d %d\n", gdi, WindowsOf(processId));
  return 0;
}

int Stop(DWORD processId, const char* folder) {
  app::RunningApp app = Attach(processId, folder);
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
    const Mode mode = std::strcmp(argv[4], "idle") == 0        ? Mode::Idle
                      : std::strcmp(argv[4], "minimised") == 0 ? Mode::Minimised
                                                               : Mode::Run;
    return Start(argv[2], argv[3], mode, sized ? argv[5] : nullptr, sized ? argv[6] : nullptr);
  }
  if (command == "paints" && argc == 3) return Paints(std::strtoul(argv[2], nullptr, 10));
  if (command == "soak-open" && argc == 3) return SoakOpen(argv[2]);
  if (command == "soak-run" && argc == 5) {
    return SoakRun(std::strtoul(argv[2], nullptr, 10), argv[3], std::strtod(argv[4], nullptr));
  }
  if (command == "soak-save" && argc == 8) {
    return SoakSave(std::strtoul(argv[2], nullptr, 10), argv[3], std::atoi(argv[4]), std::strtod(argv[5], nullptr),
                    std::strtod(argv[6], nullptr), argv[7]);
  }
  if (command == "objects" && argc == 3) return Objects(std::strtoul(argv[2], nullptr, 10));
  if (command == "stop" && argc == 4) return Stop(std::strtoul(argv[2], nullptr, 10), argv[3]);
  std::fprintf(stderr, "usage: program_bench start <exe> <SecondResolution> <run|idle|minimised> [<width> <height>]\n"
                       "       program_bench paints <pid>\n"
                       "       program_bench soak-open <exe>\n"
                       "       program_bench soak-run <pid> <folder> <seconds>\n"
                       "       program_bench soak-save <pid> <folder> <laps> <wall ms> <uncertainty ms> <lap>\n"
                       "       program_bench objects <pid>\n"
                       "       program_bench stop <pid> <folder>\n");
  return 2;
}
