// Tavrilo.exe started in a fresh folder and used from outside: start-up, the single-instance rule, clicks,
// keys, the pop-up menu and the settings file written at exit.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include "app/app_driver.h"
#include "app/dialog_driver.h"
#include "app/program_test.h"
#include "support/case_names.h"
#include "support/files.h"
#include "support/poll.h"
#include "support/process_windows.h"
#include "support/wall_clock.h"

namespace {

class Program : public app::ProgramTest {
 protected:
  int CenterX() const { return app::ClientRect(app_).right / 2; }
  int CenterY() const { return app::ClientRect(app_).bottom / 2; }
  bool Running() const { return app::KeepsChanging(app_); }
  std::string SettingsFile() const { return test::ReadBytes(app::IniPathOf(app_)); }
  HWND MessageBoxShown(DWORD timeoutMs = 15000) const {
    return test::PollForWindow([this] { return test::FindMessageBoxOf(app_.Process.dwProcessId); }, timeoutMs);
  }
  static std::string Line(const std::string& file, const std::string& key) {
    const size_t at = file.find("\r\n" + key + "=");
    if (at == std::string::npos) return "(missing)";
    const size_t start = at + 2;
    return file.substr(start, file.find("\r\n", start) - start);
  }
};

// Every line of the file a first run writes, in order, with the read-out's height (the last fitted one) apart.
const std::vector<std::string> FirstRunLines = {
    "[StopWatch_Setting]", "AnalogModeOnOff=1", "DisitalModeOnOff=1", "SecondResolution=9", "FrameGraduation=1",
    "5SecIntervalMeasure=1", "LBClickStartStopEnable=1", "FontSizeDispFit=1", "StopWatchTotalTimeEnable=0",
    "RotDivIndex=0", "1SecDivIndex=0", "[Timer_Mode]", "Timer_Mode=0", "[Timer_Setting]", "TimerSettingHour=0",
    "TimerSettingMinute=5", "TimerSettingSecond=0", "TimerSecondResolutionIndex=0", "TimerAlarmSoundFile=",
    "[Font_Setting]", "Height=", "Width=0", "Escapement=0", "Orientation=0", "Weight=400", "Italic=0", "Underline=0",
    "StrikeOut=0", "CharSet=128", "OutPrecision=3", "ClipPrecision=2", "Quality=1", "PitchAndFamily=49",
    "FontFaceName=ＭＳ Ｐゴシック", "FontColor=0", "[Draw_Color]", "SecondHandColor=16744576",
    "ClockFaceColor=12632256", "BackGroundColor=16744576", "[Window_Position]", "Window_X_Pos=100",
    "Window_Y_Pos=100", "Window_Width=240", "Window_Height=240", "Window_Maximize=0", "WindowTopMost=0",
    "[HotKey_Setting]", "HotKeyEnable=0", "HotKeyStartStop=1619", "HotKeyLap=1612", "HotKeyReset=1618",
    "[Extra_Setting]", "TimerOvertime=0", "CaptionTimeWhenMinimized=1", "WindowOpacity=100", "ResumeAfterExit=0"};

// The window's outer rectangle: left, top, width and height.
std::array<LONG, 4> Placement(HWND window) {
  RECT outer = {};
  GetWindowRect(window, &outer);
  return {outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top};
}

// The file's lines, its Height value taken out into `height`.
std::vector<std::string> LinesOf(const std::string& file, int& height) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < file.size();) {
    const size_t end = file.find("\r\n", start);
    std::string line = file.substr(start, end - start);
    if (line.rfind("Height=", 0) == 0) {
      height = std::stoi(line.substr(7));
      line = "Height=";
    }
    lines.push_back(line);
    start = end == std::string::npos ? file.size() : end + 2;
  }
  return lines;
}

TEST_F(Program, FirstRunOpensTheDefaultWindowAndWritesEverySettingAtExit) {
  Start();
  EXPECT_EQ(Placement(app_.Window), (std::array<LONG, 4>{100, 100, 240, 240}));
  char title[64] = {};
  GetWindowTextA(app_.Window, title, sizeof title);
  EXPECT_STREQ(title, "Tavrilo");

  EXPECT_EQ(app::CloseApp(app_), 0u);
  int height = 0;
  EXPECT_EQ(LinesOf(SettingsFile(), height), FirstRunLines);
  EXPECT_GT(height, 0) << "the last fitted read-out height";
}

// Unpacked deep in a synced folder, a folder path past 260 characters: the journal and the settings file are
// written beside the program, and no box says otherwise.
TEST_F(Program, RunsFromAFolderPathLongerThanMaxPathWithItsFilesBesideIt) {
  app_ = app::PrepareApp("", "tavrilo-app-計測-", 5);
  ASSERT_GT(test::Wide(app_.Folder).size(), static_cast<size_t>(MAX_PATH));
  ASSERT_NO_FATAL_FAILURE(StartPrepared());
  TypeChar(app_, ' ');
  ASSERT_NO_FATAL_FAILURE(TakeLaps(1));
  TypeChar(app_, ' ');
  EXPECT_EQ(test::FindMessageBoxOf(app_.Process.dwProcessId), nullptr) << "no box at start-up";
  ASSERT_TRUE(app::ChooseFromMenu(app_, 'l'));  // Save As opens from there too
  const HWND saveAs = app::WaitForDialog(app_, "名前を付けて保存");
  ASSERT_NE(saveAs, nullptr);
  ASSERT_TRUE(app::EndDialogWith(app_, saveAs, IDCANCEL));
  SetWindowPos(app_.Window, nullptr, 0, 0, 300, 320, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(test::PollUntil([this] { return Placement(app_.Window)[2] == 300; }));
  PostMessageA(app_.Window, WM_CLOSE, 0, 0);
  EXPECT_EQ(app::AnswerMessageBox(app_, IDNO).Text, "ラップタイムを保存しますか？");
  ASSERT_EQ(WaitForSingleObject(app_.Process.hProcess, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(Line(SettingsFile(), "Window_Width"), "Window_Width=300");
}

// The screen's DPI for the processes that start while this lives (Wine reads it once, as a process starts); the
// prefix's own value is put back at its end. ctest runs the test that uses it alone.
class ScreenDpi {
 public:
  explicit ScreenDpi(DWORD dpi) {
    DWORD size = sizeof previous_;
    hadValue_ = RegGetValueA(HKEY_CURRENT_USER, Key, Name, RRF_RT_REG_DWORD, nullptr, &previous_, &size) ==
                ERROR_SUCCESS;
    RegSetKeyValueA(HKEY_CURRENT_USER, Key, Name, REG_DWORD, &dpi, sizeof dpi);
  }
  ~ScreenDpi() {
    if (hadValue_) {
      RegSetKeyValueA(HKEY_CURRENT_USER, Key, Name, REG_DWORD, &previous_, sizeof previous_);
    } else {
      RegDeleteKeyValueA(HKEY_CURRENT_USER, Key, Name);
    }
  }

 private:
  static constexpr const char* Key = "Control Panel\\Desktop";
  static constexpr const char* Name = "LogPixels";
  DWORD previous_ = 0;
  bool hadValue_ = false;
};

TEST_F(Program, At144DpiTheFirstRunOpensHalfAgainAsLargeAndWritesTheFileOf96Dpi) {
  {
    const ScreenDpi screen(144);
    Start();
  }
  EXPECT_EQ(Placement(app_.Window), (std::array<LONG, 4>{150, 150, 360, 360}));
  EXPECT_EQ(app::CloseApp(app_), 0u);
  int height = 0;
  EXPECT_EQ(LinesOf(SettingsFile(), height), FirstRunLines);
  // About 2 x 232 / 11, what fits the 232-pixel client at 96 DPI; in pixels of 144 DPI it would be about 63.
  EXPECT_NEAR(height, 42, 1);
}

TEST_F(Program, ASecondCopyEndsAtOnceWithoutAWindowAndLeavesTheFirstAlone) {
  Start();
  TypeChar(app_, ' ');
  ASSERT_TRUE(Running());
  PROCESS_INFORMATION second = app::LaunchSecondCopy(app_);
  ASSERT_NE(second.hProcess, nullptr);
  const bool ended = WaitForSingleObject(second.hProcess, 10000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(second.hProcess, 1);  // never left running: ctest would wait for it
  ASSERT_TRUE(ended) << "the second copy did not end";
  DWORD code = 1;
  GetExitCodeProcess(second.hProcess, &code);
  EXPECT_EQ(code, 0u);
  int windows = 0;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "StopWatchClass", nullptr)) != nullptr;) ++windows;
  EXPECT_EQ(windows, 1);
  EXPECT_TRUE(Running()) << "the first copy still measures";
  CloseHandle(second.hThread);
  CloseHandle(second.hProcess);
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

TEST_F(Program, ClicksAndKeysStartStopAndResetTheStopwatch) {
  Start();
  const app::Picture atZero = app::Capture(app_);
  const int x = CenterX(), y = CenterY();

  app::Click(app_, x, y);
  EXPECT_TRUE(Running()) << "a click starts";
  app::Click(app_, x, y);
  EXPECT_TRUE(app::Settles(app_)) << "a second click stops";
  const app::Picture stopped = app::Capture(app_);
  EXPECT_NE(stopped, atZero);

  app::TypeChar(app_, ' ');
  EXPECT_TRUE(Running()) << "space starts";
  app::Chord(app_, true, x, y);
  app::MiddleClick(app_, x, y);
  EXPECT_TRUE(Running()) << "neither the chord nor the middle button stops or resets a running stopwatch";
  app::TypeChar(app_, ' ');
  EXPECT_TRUE(app::Settles(app_)) << "space stops";

  for (bool leftFirst : {true, false}) {
    app::Chord(app_, leftFirst, x, y);
    EXPECT_TRUE(app::Settles(app_)) << "the chord neither starts nor stops";
    EXPECT_EQ(app::Capture(app_), atZero) << "the chord resets";
    app::TypeChar(app_, ' ');
    EXPECT_TRUE(Running());
    app::TypeChar(app_, ' ');
    EXPECT_TRUE(app::Settles(app_));
  }
  app::MiddleClick(app_, x, y);
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_), atZero) << "the middle button resets";

  app::TypeChar(app_, ' ');
  EXPECT_TRUE(Running());
  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::Settles(app_));
  app::TypeChar(app_, 'r');
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_), atZero) << "R resets";
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

// Ctrl+Alt+S, L and R work while another program is in front, which stays there; a key another program holds is
// named in a box at start-up and the other two still work. The save question of a hotkey's reset comes forward.
TEST_F(Program, HotKeysActFromAnotherProgramAndAKeyHeldElsewhereIsNamedAtStartUp) {
  app::OtherProgram front;
  auto holder = std::make_unique<app::OtherProgram>();
  ASSERT_TRUE(holder->HoldHotKey(MOD_CONTROL | MOD_ALT, 'L'));
  Start("[HotKey_Setting]\r\nHotKeyEnable=1\r\n");
  const test::MessageBoxText box = app::AnswerMessageBox(app_, IDOK);
  // The modifiers as Wine's keyboard names them, as its hotkey control does (Windows says "Ctrl").
  EXPECT_EQ(box.Text, "次のホットキーは他のプログラムが使用しているため登録できませんでした。\nControl + Alt + L");
  EXPECT_EQ(box.Caption, "Tavrilo");
  ASSERT_TRUE(app::Settles(app_));
  const app::Picture atZero = app::Capture(app_);
  const auto press = [&front](WORD key) { ASSERT_TRUE(front.PressCtrlAlt(key)); };
  press('S');
  EXPECT_TRUE(Running()) << "start";
  press('L');
  EXPECT_TRUE(test::PollUntil([&] { return holder->HeldKeyPresses() == 1; })) << "the held key stays its holder's";
  press('S');
  EXPECT_TRUE(app::Settles(app_)) << "stop";
  press('R');
  EXPECT_TRUE(test::PollUntil([&] { return app::Capture(app_) == atZero; })) << "reset";
  EXPECT_EQ(GetForegroundWindow(), front.Window()) << "the program stays behind";

  // Minimised, where the program wakes only for what is due, a lap still falls at its boundary in time.
  holder.reset();
  Restart();
  ShowWindow(app_.Window, SW_MINIMIZE);
  press('S');
  const double started = test::NowMs();
  ASSERT_TRUE(test::PollUntil([&] { return test::NowMs() - started >= 300; }));
  press('L');
  const double lapped = test::NowMs() - started;
  ASSERT_TRUE(test::PollUntil([&] { return JournalLaps().size() == 1; }, FileWaitMs)) << "a lap once the key is free";
  EXPECT_NEAR(std::atof(JournalLaps()[0].substr(11).c_str()) * 1000, lapped, 50) << JournalLaps()[0];
  EXPECT_TRUE(test::PollUntil([&] { return test::WindowText(app_.Window) == "00:00:01 - Tavrilo"; }, 3000))
      << "the minimised caption shows the time";
  ShowWindow(app_.Window, SW_RESTORE);
  EXPECT_TRUE(test::PollUntil([&] { return test::WindowText(app_.Window) == "Tavrilo"; }));
  EXPECT_TRUE(Running());
  press('S');
  ASSERT_TRUE(app::Settles(app_));
  press('R');
  const HWND question = MessageBoxShown();
  EXPECT_TRUE(test::PollUntil([&] { return GetForegroundWindow() == question; }, 5000)) << "the question comes forward";
  press('S');  // nothing while the question is open
  EXPECT_EQ(app::AnswerMessageBox(app_, IDNO).Text, "ラップタイムを保存しますか？");
  EXPECT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_), atZero);
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

TEST_F(Program, ALeftClickDoesNothingWhenClickingIsSwitchedOff) {
  Start("[StopWatch_Setting]\r\nLBClickStartStopEnable=0\r\n");
  const app::Picture atZero = app::Capture(app_);
  app::Click(app_, CenterX(), CenterY());
  EXPECT_TRUE(app::Settles(app_, 400));
  EXPECT_EQ(app::Capture(app_), atZero);
  app::TypeChar(app_, ' ');
  EXPECT_TRUE(Running()) << "space still starts";
  EXPECT_EQ(app::CloseApp(app_), 0u);
  EXPECT_EQ(Line(SettingsFile(), "LBClickStartStopEnable"), "LBClickStartStopEnable=0");
}

// The keyboard reaches the same menu as the right button, opened at the window's centre.
TEST_F(Program, PopUpMenuItemsAreChosenByTheirMnemonicsFromTheMouseOrTheKeyboard) {
  Start();
  const app::Picture atZero = app::Capture(app_);
  ASSERT_TRUE(app::ChooseFromMenu(app_, 's'));
  EXPECT_TRUE(Running()) << "Start";
  const RECT client = app::ClientRect(app_);
  POINT origin = {};
  ASSERT_TRUE(app::ChooseFromMenu(app_, 't', app::MenuOpener::MenuKey, &origin));
  EXPECT_TRUE(app::Settles(app_)) << "Stop";
  EXPECT_EQ(origin.x, client.right / 2);
  EXPECT_EQ(origin.y, client.bottom / 2);
  origin = POINT{};
  ASSERT_TRUE(app::ChooseFromMenu(app_, 'r', app::MenuOpener::ShiftF10, &origin));
  EXPECT_EQ(origin.x, client.right / 2);
  EXPECT_EQ(origin.y, client.bottom / 2);
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_), atZero) << "Reset";
  ASSERT_TRUE(app::ChooseFromMenu(app_, 'm'));
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_NE(app::Capture(app_), atZero) << "the timer view";
  ASSERT_TRUE(app::ChooseFromMenu(app_, 'x'));
  ASSERT_EQ(WaitForSingleObject(app_.Process.hProcess, 10000), WAIT_OBJECT_0) << "Exit";
  DWORD code = 1;
  GetExitCodeProcess(app_.Process.hProcess, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(Line(SettingsFile(), "Timer_Mode"), "Timer_Mode=1");
}

TEST_F(Program, AMaximisedWindowReopensMaximisedAndStoresItsNormalPlacement) {
  Start("[Window_Position]\r\nWindow_X_Pos=50\r\nWindow_Y_Pos=60\r\nWindow_Width=300\r\nWindow_Height=200\r\n"
        "Window_Maximize=1\r\n");
  EXPECT_TRUE(IsZoomed(app_.Window));
  EXPECT_EQ(app::CloseApp(app_), 0u);
  const std::string file = SettingsFile();
  EXPECT_EQ(Line(file, "Window_Maximize"), "Window_Maximize=1");
  EXPECT_EQ(Line(file, "Window_X_Pos"), "Window_X_Pos=50");
  EXPECT_EQ(Line(file, "Window_Width"), "Window_Width=300");
  EXPECT_EQ(Line(file, "Window_Height"), "Window_Height=200");
}

TEST_F(Program, ARestoredSizeMessageClearsTheMaximisedMark) {
  Start("[Window_Position]\r\nWindow_Maximize=1\r\n");
  RECT client = app::ClientRect(app_);
  SendMessageA(app_.Window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  EXPECT_EQ(app::CloseApp(app_), 0u);
  EXPECT_EQ(Line(SettingsFile(), "Window_Maximize"), "Window_Maximize=0");
}

// The mouse moving over a running measurement, as a hand does, keeps neither the picture nor any input waiting.
struct MovingMouseCase {
  const char* Name;
  const char* Ini;
  bool TimerView;
};

class MouseOverARunningProgram : public Program, public ::testing::WithParamInterface<MovingMouseCase> {};

TEST_P(MouseOverARunningProgram, LeavesThePictureMovingAndEveryInputAnswered) {
  const bool timerView = GetParam().TimerView;
  Start(GetParam().Ini);
  const app::Picture atZero = app::Capture(app_);
  app::Click(app_, CenterX(), CenterY());
  {
    const app::MovingMouse moving(app_.Window);
    ASSERT_TRUE(moving.WaitForMoves(1000));
    EXPECT_TRUE(Running()) << "the picture moves on while the mouse moves";
  }
  app::Click(app_, CenterX(), CenterY());
  EXPECT_TRUE(app::Settles(app_)) << "a click stops";
  app::TypeChar(app_, ' ');
  EXPECT_TRUE(Running()) << "space starts";
  app::TypeChar(app_, 'l');
  const auto lapTaken = [this] { return File("Tavrilo.laps").substr(0, 5) == "0001,"; };
  EXPECT_TRUE(timerView || test::PollUntil(lapTaken)) << "L takes a lap";
  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::Settles(app_)) << "space stops";
  app::TypeChar(app_, 'r');
  if (!timerView) {
    const HWND question = MessageBoxShown();
    ASSERT_NE(question, nullptr) << "R asks to save the lap";
    EXPECT_TRUE(app::AnswerWithKey(question, 'N'));
  }
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_), atZero) << "R resets";
  EXPECT_TRUE(app::ChooseFromMenu(app_, '\x1b')) << "a right click opens the menu and Escape closes it";
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Views, MouseOverARunningProgram,
    ::testing::Values(MovingMouseCase{"Dial10ms", "[StopWatch_Setting]\r\nSecondResolution=9\r\n", false},
                      MovingMouseCase{"Dial1ms", "[StopWatch_Setting]\r\nSecondResolution=11\r\n", false},
                      MovingMouseCase{"DigitalOnly10ms", "[StopWatch_Setting]\r\nAnalogModeOnOff=0\r\nSecondResolution=9\r\n", false},
                      MovingMouseCase{"DigitalOnly1ms", "[StopWatch_Setting]\r\nAnalogModeOnOff=0\r\nSecondResolution=11\r\n", false},
                      MovingMouseCase{"Timer10ms", "[Timer_Mode]\r\nTimer_Mode=1\r\n[Timer_Setting]\r\nTimerSecondResolutionIndex=9\r\n", true},
                      MovingMouseCase{"Timer1ms", "[Timer_Mode]\r\nTimer_Mode=1\r\n[Timer_Setting]\r\nTimerSecondResolutionIndex=11\r\n", true}),
    test::RowName);

// A seeded random walk of real input at 0.001 s: moves, the three buttons and chords, the keys the program knows
// and others, the menu opened and left, and every box or dialog answered as a user would. Afterwards the program
// still answers and exits cleanly with a complete settings file. TAVRILO_WALK_SEED=n replays a walk.
class RandomWalk : public Program {
 protected:
  // Answers whatever box or dialog of the program is open: No to a question, Return to a notice, Escape to a
  // dialog. False when one stayed open.
  bool AnswerWhatIsOpen() {
    for (HWND open; (open = app::FindAnyDialog(app_)) != nullptr;) {
      const bool question = GetDlgItem(open, IDNO) != nullptr;
      const bool notice = GetDlgItem(open, test::MessageBoxTextId) != nullptr;
      if (!app::AnswerWithKey(open, question ? 'N' : notice ? VK_RETURN : VK_ESCAPE)) return false;
    }
    return true;
  }
  // What the walk's last actions bring up comes within a moment: answers until nothing has been open for 0.5 s.
  bool AnswerUntilNothingOpens() {
    DWORD quietSince = GetTickCount();
    return test::PollUntil([&] {
      if (!app::FindAnyDialog(app_)) return GetTickCount() - quietSince >= 500;
      quietSince = GetTickCount();
      return !AnswerWhatIsOpen();
    }) && !app::FindAnyDialog(app_);
  }
  void Step(std::mt19937& random) {
    const RECT client = app::ClientRect(app_);
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const int x = pick(client.right), y = pick(client.bottom);
    switch (pick(10)) {
      case 0:
        for (int i = 0; i < 20; ++i) app::MoveMouse(app_, pick(client.right), pick(client.bottom));
        break;
      case 1: app::Click(app_, x, y); break;
      case 2: app::MiddleClick(app_, x, y); break;
      case 3: app::Chord(app_, pick(2) == 0, x, y); break;
      case 4: {  // the menu, by the right button or the menu key, left with Escape
        if (pick(2) == 0) {
          app::PressButton(app_, app::MouseButton::Right, x, y);
        } else if (app::BringToFront(app_.Window)) {
          app::PressKeys({VK_APPS});
        }
        // A box that came up first keeps the menu from opening.
        if (test::PollUntil([this] { return app::MenuIsOpen(app_) || app::FindAnyDialog(app_); }, 3000) &&
            app::MenuIsOpen(app_)) {
          app::PressKeys({VK_ESCAPE});
          EXPECT_TRUE(test::PollUntil([this] { return !app::MenuIsOpen(app_); }, 5000)) << "the menu stays open";
        }
        break;
      }
      case 5:
        if (app::BringToFront(app_.Window)) app::PressKeys({VK_CONTROL, 'C'});
        break;
      default: app::TypeChar(app_, " lLrR1qz\x1b\r"[pick(10)]); break;
    }
  }
};

TEST_F(RandomWalk, LeavesTheProgramAnsweringRealInputAndExitingCleanly) {
  const char* given = std::getenv("TAVRILO_WALK_SEED");
  const unsigned seed = given ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : GetTickCount();
  SCOPED_TRACE("TAVRILO_WALK_SEED=" + std::to_string(seed));
  std::mt19937 random(seed);
  Start("[StopWatch_Setting]\r\nSecondResolution=11\r\n");
  const DWORD start = GetTickCount();
  for (int step = 0; step < 300 && GetTickCount() - start < 25000; ++step) {
    ASSERT_TRUE(AnswerWhatIsOpen()) << "step " << step;
    ASSERT_NO_FATAL_FAILURE(Step(random)) << "step " << step;
    Sleep(10 + random() % 40);  // a user's pace
  }
  ASSERT_TRUE(AnswerUntilNothingOpens());
  const bool running = app::KeepsChanging(app_, 2000);
  app::TypeChar(app_, ' ');
  EXPECT_TRUE(running ? app::Settles(app_) : Running()) << "space still stops or starts";
  PostMessageA(app_.Window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(test::PollUntil([this] {
    return AnswerWhatIsOpen() && WaitForSingleObject(app_.Process.hProcess, 50) == WAIT_OBJECT_0;
  }));
  DWORD code = 1;
  GetExitCodeProcess(app_.Process.hProcess, &code);
  EXPECT_EQ(code, 0u);
  int height = 0;
  std::vector<std::string> keys = LinesOf(SettingsFile(), height), expected = FirstRunLines;
  for (auto* lines : {&keys, &expected}) {  // keys of the walk's own file stay where they were
    for (std::string& line : *lines) line = line.substr(0, line.find('='));
    std::sort(lines->begin(), lines->end());
  }
  EXPECT_EQ(keys, expected) << "every section and key";
}

}  // namespace
