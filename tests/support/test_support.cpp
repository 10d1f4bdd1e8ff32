// Shared helpers of the unit tests.
#include "support/test_support.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include "alarm/alarm_sound.h"
#include "app/startup.h"
#include "laps/lap_list.h"
#include "records/app_globals.h"
#include "records/window_messages.h"
#include "settings/app_settings.h"
#include "timing/frame_pacing.h"
#include "timing/mm_timer.h"
#include "timing/run_control.h"
#include "timing/perf_clock.h"
#include "timing/stopwatch_clock.h"
#include "timing/wake.h"

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
const MmTimerApi RealTimerApi = MmTimer;

MMRESULT WINAPI LoggedBegin(UINT period) {
  Log.BeginPeriods.push_back(period);
  return RealTimerApi.BeginPeriod(period);
}
MMRESULT WINAPI LoggedEnd(UINT period) {
  Log.EndPeriods.push_back(period);
  return RealTimerApi.EndPeriod(period);
}
const PerformanceCounterApi RealCounter = PerformanceCounter;
int64_t HeldCount = 0;
int64_t HeldFrequency = 1;
// Far from zero, so that nothing can pass for right by taking the counter's value for a time.
constexpr int64_t HeldOrigin = int64_t{1} << 40;
BOOL WINAPI HeldQuery(LARGE_INTEGER* count) {
  count->QuadPart = HeldCount;
  return TRUE;
}
BOOL WINAPI HeldFrequencyQuery(LARGE_INTEGER* frequency) {
  frequency->QuadPart = HeldFrequency;
  return TRUE;
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
  IniPath = test::Wide(path);
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
  // On the thread that owns the wake timer: one still armed cannot fire before ServiceMeasurements disarms it.
  StopwatchClock = StopwatchClockRecord{};
  LapList = LapListRecord{};
  AlarmSound = AlarmSoundRecord{};
  FramePacing = FramePacingRecord{};
  PerformanceCounter = RealCounter;
  MainWindow = StandInMainWindow();
  ServiceMeasurements();  // nothing runs: the wake is disarmed and the timer resolution given back
  MmTimer = RealTimerApi;
  SelectStopwatchResolution(9, nullptr);
  SelectTimerResolution(0, nullptr);
  ForgetReceivedCommands();
  TakeRepaintRequest(StandIn);
  TakeFrameRequest();
}

void HoldClock(int64_t frequency) {
  HeldFrequency = frequency;
  HeldCount = HeldOrigin;
  PerformanceCounter = PerformanceCounterApi{HeldQuery, HeldFrequencyQuery};
}

void MoveClock(double millis) { HeldCount += std::llround(millis * static_cast<double>(HeldFrequency) / 1000); }

double ClockMillis() { return static_cast<double>(HeldCount - HeldOrigin) * 1000 / static_cast<double>(HeldFrequency); }

double ArmedWakeMillis() {
  const int64_t armed = ArmedWake();
  if (armed == NoWake) return INFINITY;
  return static_cast<double>(armed - HeldOrigin) * 1000 / static_cast<double>(HeldFrequency);
}

void MoveClockTo(double millis) {
  HeldCount = std::max(HeldCount, HeldOrigin + std::llround(millis * static_cast<double>(HeldFrequency) / 1000));
}

const TimerBehaviour TimerBehaviours[4] = {
    {"OnSchedule", 0, 1, 0, 0},
    {"Coarse15_6msBackToBack", 15.625, 3, 0, 0},
    {"Coarse15_6msDropped", 15.625, 1, 0, 0},
    {"TwoSecondStall", 0, 1, 1200, 3200},
};

double DeliveredAt(const TimerBehaviour& behaviour, double millis) {
  if (behaviour.GridMillis > 0) millis = std::ceil(millis / behaviour.GridMillis) * behaviour.GridMillis;
  return millis >= behaviour.StallFrom && millis < behaviour.StallTo ? behaviour.StallTo : millis;
}

void PlayWithWakes(const TimerBehaviour& behaviour, const std::vector<TimedAction>& actions, double endMillis) {
  size_t next = 0;
  for (int wakes = 0; wakes < 1000000; ++wakes) {
    const double wake = std::max(DeliveredAt(behaviour, ArmedWakeMillis()), ClockMillis());
    const double action = next < actions.size() ? actions[next].AtMillis : endMillis;
    if (wake < action) {
      MoveClockTo(wake);
      for (int callback = 0; callback < behaviour.Callbacks; ++callback) ServiceMeasurements();
    } else if (next < actions.size()) {
      MoveClockTo(action);
      actions[next++].Do();
    } else {
      return;
    }
  }
  ADD_FAILURE() << "the wakes never end";
}

void RunStopwatchFor(double millis) {
  if (PerformanceCounter.Query != HeldQuery) HoldClock();
  if (!StopwatchClock.StopwatchRunning) StartStopwatchRun(ReadCounter());
  MoveClock(millis);
  ServiceMeasurements();
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
  std::vector<MessageBoxText>* Later;
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
  while (box) {  // the boxes that follow while the action runs, each once the one before has gone
    const HWND answered = box;
    box = nullptr;
    PollUntil([&] {
      return !watched->ActionRunning ||
             (!IsWindow(answered) && (box = FindMessageBoxOf(GetCurrentProcessId())) != nullptr);
    }, INFINITE);
    if (!box) break;
    const MessageBoxText next = ReadAndAnswer(box, watched->Button);
    if (watched->Later) watched->Later->push_back(next);
  }
  return 0;
}

}  // namespace

MessageBoxText AnswerMessageBoxDuring(const std::function<void()>& action, int button, DWORD timeoutMs,
                                      std::vector<MessageBoxText>* later) {
  WatchedBox watched{timeoutMs, button, {}, later};
  HANDLE watcher = CreateThread(nullptr, 0, WatchForBox, &watched, 0, nullptr);
  action();
  watched.ActionRunning = false;
  WaitForSingleObject(watcher, INFINITE);
  CloseHandle(watcher);
  return watched.Seen;
}

TimerCallLog& InstallTimerCallLog() {
  Log = TimerCallLog{};
  MmTimer = MmTimerApi{LoggedBegin, LoggedEnd};
  return Log;
}

std::string ScratchFolder() {
  const std::string folder = MakeFreshFolder("tavrilo-test-");
  Scratch.push_back(folder);
  return folder;
}

}  // namespace test
