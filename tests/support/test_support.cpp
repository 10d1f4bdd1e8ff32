// Shared helpers of the unit tests.
#include "support/test_support.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <mutex>
#include "alarm/alarm_sound.h"
#include "app/startup.h"
#include "laps/lap_list.h"
#include "records/app_globals.h"
#include "records/window_messages.h"
#include "settings/app_settings.h"
#include "timing/frame_pacing.h"
#include "timing/mm_timer.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"

namespace test {
namespace {

std::vector<int> Commands;
HWND StandIn = nullptr;

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    Commands.push_back(LOWORD(wParam));
    return 0;
  }
  if (message == WM_PAINT) {
    ValidateRect(window, nullptr);
    return 0;
  }
  if (message == WM_SHOW_FRAME) {
    TakeFrameRequest();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TimerCallLog Log;
std::mutex CallListLock;
const MmTimerApi RealTimerApi = MmTimer;

MMRESULT WINAPI LoggedBegin(UINT period) {
  Log.BeginPeriods.push_back(period);
  return RealTimerApi.BeginPeriod(period);
}
MMRESULT WINAPI LoggedEnd(UINT period) {
  Log.EndPeriods.push_back(period);
  return RealTimerApi.EndPeriod(period);
}
MMRESULT WINAPI LoggedSet(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
  Log.Periods.push_back(delay);
  const MMRESULT id = Log.FailCreation ? 0 : RealTimerApi.SetEvent(delay, resolution, callback, user, flags);
  Log.Created.push_back(id);
  return id;
}
MMRESULT WINAPI LoggedKill(UINT id) {
  Log.Killed.push_back(id);
  return RealTimerApi.KillEvent(id);
}

// Removes scratch folders when each test ends.
std::vector<std::string> Scratch;
class ScratchCleaner : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override {
    for (const std::string& folder : Scratch) RemoveFolder(folder);
    Scratch.clear();
  }
};

}  // namespace

HWND StandInMainWindow() {
  if (StandIn) return StandIn;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = StandInProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "TavriloTestMainWindow";
  RegisterClassA(&windowClass);
  StandIn = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, windowClass.lpszClassName, "Tavrilo test",
                            WS_POPUP, -3000, -3000, 240, 240, nullptr, nullptr, windowClass.hInstance, nullptr);
  ShowWindow(StandIn, SW_SHOWNOACTIVATE);
  ::testing::UnitTest::GetInstance()->listeners().Append(new ScratchCleaner);
  return StandIn;
}

std::vector<int> ReceivedCommands() { return Commands; }
void ForgetReceivedCommands() { Commands.clear(); }

bool TakeRepaintRequest(HWND window) {
  const bool pending = GetUpdateRect(window, nullptr, FALSE) != FALSE;
  ValidateRect(window, nullptr);
  MSG frame;
  const bool framed = PeekMessageA(&frame, window, WM_SHOW_FRAME, WM_SHOW_FRAME, PM_REMOVE) != FALSE;
  if (framed) TakeFrameRequest();
  return pending || framed;
}

std::vector<COLORREF> PixelsOf(HDC dc, int width, int height) {
  std::vector<COLORREF> pixels;
  pixels.reserve(static_cast<size_t>(width > 0 ? width : 0) * (height > 0 ? height : 0));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
  }
  return pixels;
}

HWND OpenRealMainWindow(const std::string& ini) {
  const std::string path = ScratchFolder() + "\\Tavrilo.ini";
  WriteBytes(path, "[Window_Position]\r\nWindow_X_Pos=-2000\r\nWindow_Y_Pos=-2000\r\n" + ini);
  lstrcpynA(IniPath, path.c_str(), MAX_PATH);
  static const ATOM registered = RegisterMainWindowClass(AppInstance);
  if (!registered) return nullptr;
  LoadWindowPosition();
  // Made hidden, then shown off-screen: the program brings a window that meets no monitor onto the primary one.
  if (!CreateMainWindow(AppInstance, SW_HIDE)) return nullptr;
  SetWindowPos(MainWindow, nullptr, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  UpdateWindow(MainWindow);
  return MainWindow;
}

void ResetEngineState() {
  MmTimer = RealTimerApi;
  KillPeriodicTimer(StopwatchClock.StopwatchTimerId);
  KillPeriodicTimer(StopwatchClock.CountdownTimerId);
  StopwatchClock = StopwatchClockRecord{};
  StopwatchPacer = FramePacer{};
  CountdownPacer = FramePacer{};
  LapList.Count = 0;
  for (LapRecord& record : LapList.Records) record.Text[0] = '\0';
  LapList.Unsaved = 0;
  LapList.LapHistoryWindow = nullptr;
  AlarmSoundActive = 0;
  AlarmPlayPath[0] = '\0';
  AppSettings.Timer_Mode = 0;
  AppSettings.OneSecDivIndex = 0;
  AppSettings.TimerAlarmSoundFile[0] = '\0';
  MainWindow = StandInMainWindow();
  SelectStopwatchResolution(9, nullptr);
  SelectTimerResolution(0, nullptr);
  ForgetReceivedCommands();
  TakeRepaintRequest(StandIn);
  TakeFrameRequest();
}

void TickByHand(int count) {
  for (int i = 0; i < count; ++i) {
    StopwatchClock.StopwatchRunning = 1;
    ClockTick(0, 0, 0, 0, 0);
  }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (condition()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
  }
}

namespace {

struct WatchedBox {
  DWORD TimeoutMs;
  int Button;
  MessageBoxText Seen;
  std::atomic<bool> ActionRunning{true};
};

// Looks for as long as the action runs, and at least the watch's time from its start.
DWORD WINAPI WatchForBox(void* param) {
  WatchedBox* watched = static_cast<WatchedBox*>(param);
  const DWORD start = GetTickCount();
  const auto givenUp = [&] { return !watched->ActionRunning && GetTickCount() - start >= watched->TimeoutMs; };
  HWND box = nullptr;
  PollUntil([&] { return givenUp() || (box = FindMessageBoxOf(GetCurrentProcessId())) != nullptr; }, INFINITE);
  if (box) watched->Seen = ReadAndAnswer(box, watched->Button);
  return 0;
}

}  // namespace

MessageBoxText AnswerMessageBoxDuring(const std::function<void()>& action, int button, DWORD timeoutMs) {
  WatchedBox watched{timeoutMs, button, {}};
  HANDLE watcher = CreateThread(nullptr, 0, WatchForBox, &watched, 0, nullptr);
  action();
  watched.ActionRunning = false;
  WaitForSingleObject(watcher, INFINITE);
  CloseHandle(watcher);
  return watched.Seen;
}

void CallList::push_back(UINT value) { const std::lock_guard<std::mutex> hold(CallListLock); values_.push_back(value); }
std::vector<UINT> CallList::operator()() const { const std::lock_guard<std::mutex> hold(CallListLock); return values_; }

TimerCallLog& InstallTimerCallLog() {
  const std::lock_guard<std::mutex> hold(CallListLock);
  Log = TimerCallLog{};
  MmTimer = MmTimerApi{LoggedBegin, LoggedEnd, LoggedSet, LoggedKill};
  return Log;
}

std::string ScratchFolder() {
  const std::string folder = MakeFreshFolder("tavrilo-test-");
  Scratch.push_back(folder);
  return folder;
}

}  // namespace test
