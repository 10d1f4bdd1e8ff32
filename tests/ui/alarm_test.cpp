// The alarm in this process, behind the real main window: a countdown that runs out plays the file again and
// again until the stop command, a reset or the exit closes the device; a failed start; the stopwatch beside it.
#include <gtest/gtest.h>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>
#include "alarm/alarm_sound.h"
#include "alarm/taskbar_flash.h"
#include "app/commands.h"
#include "app/startup.h"
#include "records/app_globals.h"
#include "records/command_ids.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "support/engine_test.h"
#include "support/test_support.h"
#include "support/tone_files.h"
#include "support/wall_clock.h"
#include "timing/stopwatch_clock.h"

namespace {

constexpr const char* Alias = "Tavrilo_User_Mode_TimerAlarmSound";

using test::NowMs;

// The main window's procedure, wrapped to count what reaches it: completed plays and alarm starts, with the
// time the start command came.
WNDPROC MainProcedure = nullptr;
std::atomic<int> Completions{0};
std::atomic<int> StartsHandled{0};
double StartCameAt = 0;

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool alarmStart = message == WM_COMMAND && LOWORD(wParam) == IDM_TIMER_ALARM__SOUND_START;
  if (alarmStart) StartCameAt = NowMs();
  if (message == MM_MCINOTIFY && wParam == MCI_NOTIFY_SUCCESSFUL) ++Completions;
  const LRESULT result = CallWindowProcA(MainProcedure, window, message, wParam, lParam);
  if (alarmStart) ++StartsHandled;
  return result;
}

// The taskbar flashes asked for, and whether each came from this (the user-interface) thread.
struct FlashCall {
  DWORD Flags;
  bool OnThisThread;
};
std::vector<FlashCall> Flashes;

BOOL WINAPI RecordFlash(PFLASHWINFO info) {
  Flashes.push_back({info->dwFlags, GetCurrentThreadId() == GetWindowThreadProcessId(info->hwnd, nullptr)});
  return TRUE;
}

// A 0.3 s alarm file with the given extension, as the bytes of a file. WAV and MIDI are written here; MP3 and
// WMA need an encoder, so the build makes them beside this executable.
std::string ToneFile(const std::string& extension) {
  if (extension == "wav") return test::ToneWav(300);
  if (extension == "mid" || extension == "midi") return test::ToneMidi(300);
  if (extension == "rmi") return test::ToneRmi(300);
  return test::ReadBytes(test::ExecutableFolder() + "\\tone." + extension);
}

// The real main window in timer mode, off-screen, with a countdown of one second and a 0.3 s alarm file.
class Alarm : public test::EngineTest {
 protected:
  virtual std::string AlarmExtension() const { return "wav"; }
  void SetUp() override {
    EngineTest::SetUp();
    const std::string folder = test::ScratchFolder();
    sound_ = folder + "\\beep." + AlarmExtension();
    const std::string bytes = ToneFile(AlarmExtension());
    ASSERT_FALSE(bytes.empty()) << sound_;
    test::WriteBytes(sound_, bytes);
    window_ = test::OpenRealMainWindow("[Timer_Mode]\r\nTimer_Mode=1\r\n[Timer_Setting]\r\nTimerSettingMinute=0\r\n"
                                       "TimerSettingSecond=1\r\nTimerAlarmSoundFile=" + sound_ + "\r\n");
    ASSERT_NE(window_, nullptr);
    ASSERT_STREQ(AppSettings.TimerAlarmSoundFile, sound_.c_str());
    MainProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProcedure)));
    Completions = 0;
    StartsHandled = 0;
    Flashes.clear();
    FlashTaskbarButton = RecordFlash;
  }
  void TearDown() override {
    FlashTaskbarButton = FlashWindowEx;
    DestroyWindow(window_);
    EXPECT_FALSE(DeviceOpen()) << "the exit closes the device";
    EngineTest::TearDown();
  }

  void Command(int id) { SendMessageA(window_, WM_COMMAND, id, 0); }
  // Makes the countdown 0:00:00 at 0.010 s, so that it runs out on its first step.
  void UseInstantCountdown() {
    AppSettings.TimerSettingSecond = 0;
    Command(IDM_TIMER_INTERVAL_1000MS + 9);
    Command(IDM_RESET);
  }
  // Starts the countdown and waits until the expiry has handed the alarm to the window.
  bool StartAndExpire() {
    Command(IDM_START);
    return test::WaitUntil(
        [] { return StartsHandled > 0 || (StopwatchClock.TimerExpired && !AlarmSound.PlayPath[0]); }, 3000);
  }
  static bool DeviceOpen() { return mciGetDeviceIDA(Alias) != 0; }
  static bool Sounding() { return AlarmSound.Active && DeviceOpen(); }
  // The stop item of the timer pop-up, as the menu would show it now.
  static bool StopItemGreyed() {
    const HMENU menu = LoadMenuA(AppInstance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    const HMENU timerPopup = GetSubMenu(menu, 1);
    UpdateMenuState(timerPopup);
    const bool greyed = (GetMenuState(timerPopup, IDM_TIMER_ALARM__SOUND_STOP, MF_BYCOMMAND) & MF_GRAYED) != 0;
    DestroyMenu(menu);
    return greyed;
  }
  // Pumps messages for a while: long enough for more than one play of the file.
  static void Linger() { test::WaitUntil([] { return false; }, 450); }

  HWND window_ = nullptr;
  std::string sound_;
};

// Each admitted kind of alarm file.
class AlarmFile : public Alarm, public ::testing::WithParamInterface<const char*> {
  std::string AlarmExtension() const override { return GetParam(); }
};

TEST_P(AlarmFile, SoundsAgainAndAgainFromTheExpiryUntilTheStopCommand) {
  EXPECT_TRUE(StopItemGreyed());
  const double start = NowMs();
  bool sounding = false;
  bool replayed = false;
  const test::MessageBoxText box = test::AnswerMessageBoxDuring(
      [&] {
        Command(IDM_START);
        sounding = test::WaitUntil(Sounding);
        // Each completed play of the 0.3 s file is followed by the next one.
        replayed = sounding && test::WaitUntil([] { return Completions >= 3; });
      },
      0, 0);
  EXPECT_EQ(box.Text, "") << "no error";
  ASSERT_TRUE(sounding);
  // After the set second, and from its one step: a busy machine may only delay it.
  EXPECT_GE(StartCameAt - start, 990) << "expiry after the set second";
  EXPECT_LT(StartCameAt - start, 2000) << "expiry at the first step";
  EXPECT_EQ(StopwatchClock.TimerExpired, 1);
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 0);
  EXPECT_FALSE(StopItemGreyed());
  ASSERT_TRUE(replayed) << Completions << " plays completed";
  EXPECT_TRUE(Sounding());

  Command(IDM_TIMER_ALARM__SOUND_STOP);
  EXPECT_FALSE(AlarmSound.Active);
  EXPECT_FALSE(DeviceOpen());
  EXPECT_TRUE(StopItemGreyed());
  const int completed = Completions;
  Linger();
  EXPECT_EQ(Completions, completed) << "nothing plays after the stop";
}

INSTANTIATE_TEST_SUITE_P(Alarm, AlarmFile, ::testing::Values("wav", "mp3", "wma", "mid", "midi", "rmi"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// Between the end of a play and its replay the device reports "stopped". A stop that acted only on a playing
// device would leave it open there, and the alarm would sound on after the reset.
TEST_F(Alarm, AResetWhileTheDeviceReportsStoppedStillClosesIt) {
  UseInstantCountdown();
  ASSERT_TRUE(StartAndExpire());
  ASSERT_TRUE(Sounding());
  ASSERT_EQ(mciSendCommandA(mciGetDeviceIDA(Alias), MCI_STOP, MCI_WAIT, 0), 0u);
  Command(IDM_RESET);
  EXPECT_FALSE(AlarmSound.Active);
  EXPECT_FALSE(DeviceOpen());
  EXPECT_TRUE(StopItemGreyed());
}

// Wine notifies the completion before it stops the finished play, so the device may still report "playing"
// when the completion arrives. That completion must start the next play like any other, not end the alarm.
TEST_F(Alarm, ACompletionWhileTheDeviceStillReportsPlayingStartsTheNextPlay) {
  UseInstantCountdown();
  ASSERT_TRUE(StartAndExpire());
  ASSERT_TRUE(Sounding());
  SendMessageA(window_, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, mciGetDeviceIDA(Alias));
  EXPECT_TRUE(Sounding());
  const int completed = Completions;
  EXPECT_TRUE(test::WaitUntil([completed] { return Completions >= completed + 2; }));
  EXPECT_TRUE(Sounding());
}

// The expiry's commands hold the program while the device opens, which takes a while: the stopwatch's time must
// not depend on it.
TEST_F(Alarm, BehindTheStopwatchDisplayTheCountdownSoundsWhileTheStopwatchKeepsTime) {
  UseInstantCountdown();
  Command(IDM_START);  // the countdown
  Command(IDM_SWITCH_MODE);
  Command(IDM_START);  // the stopwatch, on display
  const double wallStart = NowMs();
  ASSERT_EQ(AppSettings.Timer_Mode, 0);
  ASSERT_TRUE(test::WaitUntil(Sounding));
  ASSERT_TRUE(test::WaitUntil([] { return Completions >= 2; }));
  Command(IDM_STOP);
  const double wall = NowMs() - wallStart;
  const int32_t ticks = StopwatchClock.TotalTime.Ticks;
  printf("[ measured ] stopwatch %d ms against %.1f ms of wall clock across the expiry\n", ticks, wall);
  EXPECT_NEAR(ticks, wall, 20);
}

TEST_F(Alarm, AFileDeletedAfterItWasChosenShowsOneErrorAndStaysSilent) {
  UseInstantCountdown();
  ASSERT_TRUE(DeleteFileA(sound_.c_str()));
  const test::MessageBoxText box = test::AnswerMessageBoxDuring([this] { ASSERT_TRUE(StartAndExpire()); });
  EXPECT_EQ(box.Caption, "Tavrilo MCICommandエラーメッセージ");
  EXPECT_EQ(box.Text.rfind("MMSYSTEM Err No.", 0), 0u) << box.Text;
  EXPECT_NE(box.Text.find("\nMCI関連の構造体のAliasは、「Tavrilo_User_Mode_TimerAlarmSound」です。\n"), std::string::npos);
  EXPECT_NE(box.Text.find("\nエラー表示場所は「OnTimerAlarmSoundStart関数内,MCI_OPENまたはMCI_PLAY」です。"),
            std::string::npos)
      << box.Text;
  const test::MessageBoxText second = test::AnswerMessageBoxDuring(Linger, 0, 600);
  EXPECT_EQ(second.Text, "") << "one box only";
  EXPECT_FALSE(AlarmSound.Active);
  EXPECT_FALSE(DeviceOpen());
  EXPECT_TRUE(StopItemGreyed());
  EXPECT_STREQ(AlarmSound.PlayPath, "");

  // A close after it that fails as well names its own place, spelt "STart" as it has always been.
  const auto programsCommand = MciCommand;
  MciCommand = [](MCIDEVICEID device, UINT command, DWORD_PTR flags, DWORD_PTR params) -> MCIERROR {
    return device == MCI_ALL_DEVICE_ID ? MCIERR_INTERNAL : mciSendCommandW(device, command, flags, params);
  };
  std::vector<test::MessageBoxText> later;
  test::AnswerMessageBoxDuring([this] { OnTimerAlarmSoundStart(window_); }, 0, 0, &later);
  MciCommand = programsCommand;
  ASSERT_EQ(later.size(), 1u);
  EXPECT_NE(later[0].Text.find("\nエラー表示場所は「OnTimerAlarmSoundSTart関数内,MCI_ALL_DEVICE_ID,MCI_CLOSE」です。"),
            std::string::npos)
      << later[0].Text;
}

TEST_F(Alarm, WithoutAnAlarmFileTheCountdownExpiresInSilence) {
  UseInstantCountdown();
  AppSettings.TimerAlarmSoundFile[0] = '\0';
  const test::MessageBoxText box = test::AnswerMessageBoxDuring([this] { ASSERT_TRUE(StartAndExpire()); }, 0, 600);
  EXPECT_EQ(box.Text, "");
  EXPECT_EQ(StartsHandled, 0);
  EXPECT_TRUE(StopItemGreyed());
}

}  // namespace

// Behind other windows (this one was shown without activation) the expiry flashes the taskbar button until a
// reset or the alarm's stop; a window in front is left alone.
TEST_F(Alarm, AnExpiryOutOfSightFlashesTheTaskbarButtonUntilResetOrStopped) {
  UseInstantCountdown();
  constexpr DWORD Flash = FLASHW_ALL | FLASHW_TIMERNOFG;
  const auto flashedAsMuchAs = [](size_t count) { return test::WaitUntil([count] { return Flashes.size() >= count; }); };
  ASSERT_NE(GetForegroundWindow(), window_);
  ASSERT_TRUE(StartAndExpire());
  ASSERT_TRUE(flashedAsMuchAs(1));
  Command(IDM_RESET);
  ASSERT_TRUE(StartAndExpire());
  ASSERT_TRUE(flashedAsMuchAs(3));
  Command(IDM_TIMER_ALARM__SOUND_STOP);
  Command(IDM_RESET);
  ASSERT_EQ(Flashes.size(), 4u) << "a second stop has nothing to end";
  EXPECT_EQ(Flashes[0].Flags, Flash);
  EXPECT_EQ(Flashes[1].Flags, DWORD{FLASHW_STOP}) << "the reset";
  EXPECT_EQ(Flashes[2].Flags, Flash);
  EXPECT_EQ(Flashes[3].Flags, DWORD{FLASHW_STOP}) << "the alarm's stop";
  for (const FlashCall& call : Flashes) EXPECT_TRUE(call.OnThisThread);

  ASSERT_TRUE(SetForegroundWindow(window_));
  ASSERT_EQ(GetForegroundWindow(), window_);
  ASSERT_TRUE(StartAndExpire());
  ASSERT_TRUE(test::WaitUntil(Sounding));
  Linger();
  EXPECT_EQ(Flashes.size(), 4u) << "no flash while the window is in front";
}
