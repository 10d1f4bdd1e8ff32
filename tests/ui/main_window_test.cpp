// The main window's procedure in this process: the pop-up menus' states, the live menu refresh, the mouse and
// key conventions in both modes, and closing with unsaved laps while the stopwatch runs.
#include <gtest/gtest.h>
#include <string>
#include "alarm/alarm_sound.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "display/layout.h"
#include "display/paint.h"
#include "laps/lap_list.h"
#include "records/app_globals.h"
#include "records/command_ids.h"
#include "records/window_messages.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "support/case_names.h"
#include "support/engine_test.h"
#include "support/poll.h"
#include "support/process_windows.h"
#include "support/test_support.h"
#include "timing/frame_pacing.h"
#include "timing/stopwatch_clock.h"

namespace {

// Item states of a pop-up loaded from the program's own menu resource.
class MenuStates : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    menu_ = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN_MENU));
    ASSERT_NE(menu_, nullptr);
  }
  void TearDown() override {
    DestroyMenu(menu_);
    EngineTest::TearDown();
  }
  HMENU Popup(int mode) {
    AppSettings.Timer_Mode = mode;
    HMENU popup = GetSubMenu(menu_, mode);
    UpdateMenuState(popup);
    return popup;
  }
  static bool Greyed(HMENU menu, int id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
  static bool Checked(HMENU menu, int id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
  HMENU menu_ = nullptr;
};

TEST_F(MenuStates, StopwatchItemsFollowTheRunState) {
  AppSettings.SecondResolution = 9;
  HMENU popup = Popup(0);  // at zero
  EXPECT_FALSE(Greyed(popup, IDM_START));
  EXPECT_TRUE(Greyed(popup, IDM_STOP));
  EXPECT_TRUE(Greyed(popup, IDM_RESET));
  EXPECT_TRUE(Greyed(popup, IDM_LAP_SAVE));
  EXPECT_FALSE(Greyed(popup, IDM_STOPWATCH_INTERVAL_1000MS + 3));
  for (int i = 0; i < 12; ++i) EXPECT_EQ(Checked(popup, IDM_STOPWATCH_INTERVAL_1000MS + i), i == 9) << i;

  StopwatchClock.StopwatchRunning = 1;
  StopwatchClock.StopwatchStarted = 1;
  LapList.Unsaved = 1;
  popup = Popup(0);
  EXPECT_TRUE(Greyed(popup, IDM_START));
  EXPECT_FALSE(Greyed(popup, IDM_STOP));
  EXPECT_TRUE(Greyed(popup, IDM_RESET));
  EXPECT_TRUE(Greyed(popup, IDM_LAP_SAVE));
  EXPECT_TRUE(Greyed(popup, IDM_STOPWATCH_INTERVAL_1MS));

  StopwatchClock.StopwatchRunning = 0;  // stopped with time and unsaved laps
  popup = Popup(0);
  EXPECT_FALSE(Greyed(popup, IDM_START));
  EXPECT_TRUE(Greyed(popup, IDM_STOP));
  EXPECT_FALSE(Greyed(popup, IDM_RESET));
  EXPECT_FALSE(Greyed(popup, IDM_LAP_SAVE));
  EXPECT_TRUE(Greyed(popup, IDM_STOPWATCH_INTERVAL_1000MS));
  for (int id : {IDM_SWITCH_MODE, IDM_LAP_HISTORY, IDM_COPY_RESULT, IDM_SETTINGS, IDM_HOTKEY_SETTING, IDM_VERSION,
                 IDM_EXIT}) {
    EXPECT_FALSE(Greyed(popup, id)) << id;
  }
}

TEST_F(MenuStates, ViewChecksShowWhichDisplaysAreOn) {
  struct Case {
    int Analog, Digital;
    bool AnalogChecked, DigitalChecked;
  };
  for (const Case& c : {Case{1, 1, true, true}, Case{1, 0, true, false}, Case{0, 1, false, true},
                        Case{0, 0, false, true}}) {
    AppSettings.AnalogModeOnOff = c.Analog;
    AppSettings.DisitalModeOnOff = c.Digital;
    HMENU popup = Popup(0);
    EXPECT_EQ(Checked(popup, IDM_ANALOG_DISPLAY), c.AnalogChecked) << c.Analog << c.Digital;
    EXPECT_EQ(Checked(popup, IDM_DIGITAL_DISPLAY), c.DigitalChecked) << c.Analog << c.Digital;
  }
  AppSettings.SecondResolution = 42;
  HMENU popup = Popup(0);
  for (int i = 0; i < 12; ++i) EXPECT_FALSE(Checked(popup, IDM_STOPWATCH_INTERVAL_1000MS + i));
}

TEST_F(MenuStates, TimerItemsFollowTheCountdownAndTheAlarm) {
  AppSettings.TimerSecondResolutionIndex = 0;
  HMENU popup = Popup(1);  // loaded
  EXPECT_FALSE(Greyed(popup, IDM_START));
  EXPECT_TRUE(Greyed(popup, IDM_STOP));
  EXPECT_TRUE(Greyed(popup, IDM_RESET));
  EXPECT_FALSE(Greyed(popup, IDM_TIMER_SETTING));
  EXPECT_TRUE(Greyed(popup, IDM_TIMER_ALARM__SOUND_STOP));
  EXPECT_FALSE(Greyed(popup, IDM_TIMER_INTERVAL_1MS));
  EXPECT_TRUE(Checked(popup, IDM_TIMER_INTERVAL_1000MS));

  StopwatchClock.TimerRunning = 1;
  StopwatchClock.TimerStarted = 1;
  AlarmSound.Active = 1;
  popup = Popup(1);
  EXPECT_TRUE(Greyed(popup, IDM_START));
  EXPECT_FALSE(Greyed(popup, IDM_STOP));
  EXPECT_TRUE(Greyed(popup, IDM_RESET));
  EXPECT_TRUE(Greyed(popup, IDM_TIMER_SETTING));
  EXPECT_FALSE(Greyed(popup, IDM_TIMER_ALARM__SOUND_STOP));
  EXPECT_TRUE(Greyed(popup, IDM_TIMER_INTERVAL_1000MS));

  StopwatchClock.TimerRunning = 0;  // paused
  popup = Popup(1);
  EXPECT_FALSE(Greyed(popup, IDM_RESET));
  EXPECT_FALSE(Greyed(popup, IDM_TIMER_SETTING));
}

// The real main window, created in this process from a settings file of the test's own.
class MainWindowInput : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    window_ = test::OpenRealMainWindow();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    StopwatchClock.StopwatchRunning = 0;
    DestroyWindow(window_);
    EngineTest::TearDown();
  }
  void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    SendMessageA(window_, message, wParam, lParam);
  }
  void Command(int id) { Send(WM_COMMAND, id); }
  void LeftClick() {
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP);
  }
  void Chord() {
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON);
    Send(WM_LBUTTONUP, MK_RBUTTON);
    Send(WM_RBUTTONUP);
  }
  static bool StopwatchRuns() { return StopwatchClock.StopwatchRunning != 0; }
  static bool CountdownRuns() { return StopwatchClock.TimerRunning != 0; }
  HWND window_ = nullptr;
};

TEST_F(MainWindowInput, ClicksSpaceChordMiddleButtonAndRDriveTheStopwatch) {
  LeftClick();
  EXPECT_TRUE(StopwatchRuns());
  Chord();
  Send(WM_MBUTTONDOWN);
  Send(WM_CHAR, 'r');
  EXPECT_TRUE(StopwatchRuns()) << "no reset and no stop while running";
  EXPECT_EQ(StopwatchClock.StopwatchStarted, 1);
  Send(WM_CHAR, ' ');
  EXPECT_FALSE(StopwatchRuns());

  Chord();
  EXPECT_FALSE(StopwatchRuns()) << "neither release of the chord starts";
  EXPECT_EQ(StopwatchClock.StopwatchStarted, 0) << "the chord resets";
  LeftClick();
  EXPECT_TRUE(StopwatchRuns());
  LeftClick();
  Send(WM_MBUTTONDOWN);
  EXPECT_EQ(StopwatchClock.StopwatchStarted, 0) << "the middle button resets";
  Send(WM_CHAR, ' ');
  Send(WM_CHAR, ' ');
  Send(WM_CHAR, 'R');
  EXPECT_EQ(StopwatchClock.StopwatchStarted, 0) << "R resets";

  Send(WM_NCLBUTTONDBLCLK, HTCAPTION);
  Send(WM_LBUTTONUP);
  EXPECT_FALSE(StopwatchRuns()) << "the release after a caption double click does nothing";
  LeftClick();
  EXPECT_TRUE(StopwatchRuns());
  Send(WM_CHAR, ' ');
}

TEST_F(MainWindowInput, AfterAStopAtOneMillisecondTheScreenShowsTheExactStoppedTime) {
  // On the screen, so that its pixels can be read back.
  SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  Command(IDM_STOPWATCH_INTERVAL_1MS);
  Command(IDM_START);
  ASSERT_TRUE(test::WaitUntil([] { return StopwatchClock.TotalTime.Ticks > 300; }));
  // Between two frames: a few milliseconds after one was shown, no message taken since, so that the screen shows
  // the stopped time only if the stop itself repaints.
  const auto paints = [this] { return SendMessageA(window_, WM_GET_PAINT_COUNT, 0, 0); };
  const LRESULT framesBefore = paints();
  ASSERT_TRUE(test::WaitUntil([&] { return paints() != framesBefore; }));
  Sleep(4);
  Command(IDM_STOP);
  ASSERT_TRUE(test::WaitUntil([this] {
    MSG frame;
    return !GetUpdateRect(window_, nullptr, FALSE) &&
           !PeekMessageA(&frame, window_, WM_SHOW_FRAME, WM_SHOW_FRAME, PM_NOREMOVE);
  }));
  RECT client = {};
  GetClientRect(window_, &client);
  HDC screen = GetDC(window_);
  const std::vector<COLORREF> shown = test::PixelsOf(screen, client.right, client.bottom);
  ReleaseDC(window_, screen);
  ComposeView();  // the stopped state, composed now
  EXPECT_TRUE(shown == test::PixelsOf(BackBufferDC(), client.right, client.bottom));
}

// A frame that falls due while real input waits in the queue is drawn after that input: it leaves an update region,
// so a paint follows. Input waiting still when the next frame falls due no longer holds it back: it is drawn then.
TEST_F(MainWindowInput, AFrameBehindWaitingInputBringsAPaintAndWaitsNoLongerThanTheNextFrame) {
  ASSERT_TRUE(test::WaitUntil([this] { return SetForegroundWindow(window_) && GetForegroundWindow() == window_; }));
  ValidateRect(window_, nullptr);
  // Pressed and released at once, so that no key is left down whatever the test finds.
  INPUT shift[2] = {};
  for (INPUT& key : shift) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_SHIFT;
  }
  shift[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, shift, sizeof *shift), 2u);
  const auto inputWaits = [] { return HIWORD(GetQueueStatus(QS_INPUT)) != 0; };
  ASSERT_TRUE(test::PollUntil(inputWaits, 5000));
  const auto paints = [this] { return SendMessageA(window_, WM_GET_PAINT_COUNT, 0, 0); };
  const LRESULT before = paints();
  const auto tickAndTakePostedMessages = [](int ticks) {
    test::RunStopwatchFor(ticks);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) DispatchMessageA(&message);
  };
  tickAndTakePostedMessages(10);  // the first refresh
  EXPECT_TRUE(GetUpdateRect(window_, nullptr, FALSE)) << "a paint follows the input";
  EXPECT_EQ(paints(), before) << "the input comes first";
  tickAndTakePostedMessages(20);  // a display frame later
  EXPECT_EQ(paints(), before + 1);
  EXPECT_TRUE(test::WaitUntil([&] { return !inputWaits(); }));
}

TEST_F(MainWindowInput, CtrlReleasedWhileTheWindowHadLostTheFocusNoLongerTurnsCIntoACopy) {
  Send(WM_KEYDOWN, VK_CONTROL);
  Send(WM_KILLFOCUS);  // the Ctrl key's release goes to another window
  const DWORD before = GetClipboardSequenceNumber();
  Send(WM_KEYDOWN, 'C');
  EXPECT_EQ(GetClipboardSequenceNumber(), before);
  Send(WM_KEYDOWN, VK_CONTROL);
  Send(WM_KEYDOWN, 'C');
  EXPECT_NE(GetClipboardSequenceNumber(), before) << "Ctrl+C still copies";
}

TEST_F(MainWindowInput, LapsAreAskedForByLAndByTheLapMessageOnlyWhileRunning) {
  Send(WM_CHAR, 'L');
  Send(WM_LAP_REQUEST);
  EXPECT_FALSE(LapWaiting());
  LeftClick();
  SendMessageW(window_, WM_CHAR, 0x304C, 0);  // a kana typed through an IME, whose low byte is an L
  EXPECT_FALSE(LapWaiting());
  Send(WM_CHAR, 'l');
  ASSERT_TRUE(test::WaitUntil([] { return LapList.Count == 1; }));
  Send(WM_LAP_REQUEST);
  ASSERT_TRUE(test::WaitUntil([] { return LapList.Count == 2; }));
  LeftClick();
}

TEST_F(MainWindowInput, InTimerModeTheStartingInputsDriveTheCountdownWhileTheStopwatchRunsOn) {
  LeftClick();  // the stopwatch runs
  Command(IDM_SWITCH_MODE);
  ASSERT_EQ(AppSettings.Timer_Mode, 1);
  Send(WM_CHAR, ' ');
  EXPECT_TRUE(CountdownRuns());
  EXPECT_TRUE(StopwatchRuns());
  LeftClick();
  EXPECT_FALSE(CountdownRuns());
  EXPECT_TRUE(StopwatchRuns());
  Send(WM_CHAR, 'L');
  ASSERT_TRUE(test::WaitUntil([] { return LapList.Count == 1; })) << "L still takes stopwatch laps";

  Chord();
  Send(WM_MBUTTONDOWN);
  EXPECT_EQ(StopwatchClock.TimerStarted, 1) << "chord and middle button wait for the stopwatch to stop";
  Send(WM_CHAR, 'r');
  EXPECT_EQ(StopwatchClock.TimerStarted, 0) << "R resets the countdown";
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 300000);

  Send(WM_CHAR, ' ');
  Send(WM_CHAR, ' ');
  Command(IDM_SWITCH_MODE);
  Send(WM_CHAR, ' ');  // stops the stopwatch
  EXPECT_FALSE(StopwatchRuns());
  Command(IDM_SWITCH_MODE);
  Chord();
  EXPECT_EQ(StopwatchClock.TimerStarted, 0) << "with the stopwatch stopped the chord resets the countdown";
  EXPECT_EQ(StopwatchClock.StopwatchStarted, 1) << "and leaves the stopwatch alone";
}

// A start that comes while the pop-up is open (a hotkey's) is shown by the refresh, a window timer that the
// pop-up's own loop dispatches; the refresh's timer is gone once the pop-up has closed.
TEST_F(MainWindowInput, TheMenuRefreshFollowsAStartWhileThePopUpIsOpen) {
  static struct {
    int StartGreyedBefore, StartGreyedAfter;
    DWORD StartedAt;
  } watch;
  watch = {-1, -1, 0};
  const TIMERPROC look = [](HWND window, UINT, UINT_PTR, DWORD now) {
    const HWND menuWindow = test::FindWindowOf(GetCurrentProcessId(), test::PopUpMenuClass);
    if (!menuWindow) return;
    const HMENU popup = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    const int greyed = (GetMenuState(popup, IDM_START, MF_BYCOMMAND) & MF_GRAYED) ? 1 : 0;
    if (watch.StartGreyedBefore < 0) {
      watch = {greyed, -1, now};
      SendMessageA(window, WM_COMMAND, IDM_START, 0);
    } else if (greyed || now - watch.StartedAt > 1000) {
      watch.StartGreyedAfter = greyed;
      EndMenu();
    }
  };
  SetTimer(window_, 0x7E57, 20, look);
  Send(WM_RBUTTONUP, 0, MAKELPARAM(10, 10));  // returns when the menu closes
  KillTimer(window_, 0x7E57);
  EXPECT_EQ(watch.StartGreyedBefore, 0);
  EXPECT_EQ(watch.StartGreyedAfter, 1);
  EXPECT_FALSE(KillTimer(window_, MenuRefreshTimerId)) << "the refresh stops with its pop-up";
}

TEST_F(MainWindowInput, ClosingWithUnsavedLapsWhileRunningStopsTheTickBeforeTheLastLap) {
  LeftClick();
  Send(WM_CHAR, 'L');
  ASSERT_TRUE(test::WaitUntil([] { return LapList.Count == 1 && StopwatchClock.TotalTime.Ticks > 50; }));
  const test::MessageBoxText box = test::AnswerMessageBoxDuring([this] { Send(WM_CLOSE); }, IDNO);
  EXPECT_EQ(box.Text, "ラップタイムを保存しますか？");
  EXPECT_FALSE(StopwatchRuns());
  ASSERT_EQ(LapList.Count, 2);
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, 0);
  const int32_t total = StopwatchClock.TotalTime.Ticks;
  Sleep(30);
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, total) << "no tick after the close";
  EXPECT_EQ(StopwatchClock.LapFrameTime.Ticks, 0);
}

// The window opens 240 x 240 at 96 DPI; then the system says its screen has another DPI (Wine never does, so the
// message is made here) and suggests a size.
struct DpiCase {
  const char* Name;
  UINT Dpi;
  int SuggestedSize;
  int32_t StoredSize;  // in the settings, at 96 DPI
  LONG MinimumSize;
};

class MainWindowDpi : public MainWindowInput, public ::testing::WithParamInterface<DpiCase> {};

TEST_P(MainWindowDpi, TakesTheSuggestedSizeAndKeepsTheSettingsAt96Dpi) {
  const DpiCase& c = GetParam();
  RECT suggested = {};
  GetWindowRect(window_, &suggested);
  suggested.right = suggested.left + c.SuggestedSize;
  suggested.bottom = suggested.top + c.SuggestedSize;
  test::TakeRepaintRequest(window_);
  Send(WM_DPICHANGED, MAKEWPARAM(c.Dpi, c.Dpi), reinterpret_cast<LPARAM>(&suggested));
  RECT outer = {};
  GetWindowRect(window_, &outer);
  EXPECT_TRUE(EqualRect(&outer, &suggested));
  EXPECT_EQ(AppSettings.Window_Width, c.StoredSize);
  EXPECT_EQ(AppSettings.Window_Height, c.StoredSize);
  EXPECT_EQ(DisplayLayout.Dpi, c.Dpi) << "the display is laid out for the new DPI";
  EXPECT_TRUE(test::TakeRepaintRequest(window_));
  MINMAXINFO limits = {};
  Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, c.MinimumSize);
  EXPECT_EQ(limits.ptMinTrackSize.y, c.MinimumSize);
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, MainWindowDpi,
    ::testing::Values(DpiCase{"StaysAt96", 96, 240, 240, 64}, DpiCase{"GrowsHalfAgainAt144", 144, 360, 240, 96},
                      // A suggestion that keeps the pixels still brings the new DPI, and a smaller stored size.
                      DpiCase{"KeepsItsPixelsAt144", 144, 240, 160, 96}),
    test::RowName);

}  // namespace
