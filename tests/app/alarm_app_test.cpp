// The countdown's alarm with the real program and real sound files: the time and the file set in the timer
// settings dialog, the alarm heard from outside as the file held open, stop, reset and exit, a missing file,
// and the file dialog's choices.
#include <gtest/gtest.h>
#include <string>
#include "app/app_driver.h"
#include "app/dialog_driver.h"
#include "app/program_test.h"
#include "records/command_ids.h"
#include "resources/resource.h"  // the program's control ids, shared with its dialogs
#include "support/files.h"
#include "support/poll.h"
#include "support/process_windows.h"
#include "support/tone_files.h"

namespace {

// True while a process holds the file open for playing: no one can then open it without sharing.
bool FileInUse(const std::string& path) {
  const HANDLE file = CreateFileW(test::Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(file);
  return false;
}

bool WaitForFileInUse(const std::string& path, bool inUse, DWORD timeoutMs = 15000) {
  return test::PollUntil([&] { return FileInUse(path) == inUse; }, timeoutMs);
}

bool WaitForAlarmName(HWND dialog, const std::string& name) {
  return test::PollUntil([&] { return app::ControlText(dialog, IDC_ALARM_FILE) == name; });
}

// The program in timer mode, with a 0.3 s alarm file in a folder of its own (not the program's) whose name only
// Shift-JIS and Unicode hold.
class AlarmInTheProgram : public app::ProgramTest {
 protected:
  void TearDown() override {
    ProgramTest::TearDown();
    if (!sounds_.empty()) test::RemoveFolder(sounds_);
  }
  // `timerSetting` holds lines of the [Timer_Setting] section; the alarm file is set unless `withAlarm` is false.
  void Start(const std::string& timerSetting, bool withAlarm = true) {
    app_ = app::PrepareApp();
    sounds_ = app_.Folder + "-サウンド";
    ASSERT_TRUE(CreateDirectoryW(test::Wide(sounds_).c_str(), nullptr));
    beep_ = sounds_ + "\\beep.wav";
    test::WriteBytes(beep_, test::ToneWav(300));
    test::WriteBytes(app::IniPathOf(app_), "[Timer_Mode]\r\nTimer_Mode=1\r\n[Timer_Setting]\r\n" + timerSetting +
                                               (withAlarm ? "TimerAlarmSoundFile=" + beep_ + "\r\n" : ""));
    StartPrepared();
  }
  std::string AlarmFileSetting() const { return app::StoredSetting(app_, "Timer_Setting", "TimerAlarmSoundFile"); }
  HWND OpenTimerDialog() { return app::OpenDialogFromMenu(app_, 'g', "タイマー設定"); }
  HWND ReopenTimerDialog() { return app::ReopenDialog(app_, IDM_TIMER_SETTING, "タイマー設定"); }
  // Ends the timer dialog with OK or Cancel.
  void Close(HWND dialog, int button) { ASSERT_TRUE(app::EndDialogWith(app_, dialog, button)); }
  // Sets the countdown in the dialog and confirms it, which reloads the countdown.
  void SetCountdown(const char* hours, const char* minutes, const char* seconds) {
    const HWND dialog = ReopenTimerDialog();
    ASSERT_NE(dialog, nullptr);
    app::SetControlText(dialog, IDC_TIMER_HOURS, hours);
    app::SetControlText(dialog, IDC_TIMER_MINUTES, minutes);
    app::SetControlText(dialog, IDC_TIMER_SECONDS, seconds);
    Close(dialog, IDOK);
    ASSERT_TRUE(app::Settles(app_));
  }
  // Presses "参照" and returns the file dialog.
  HWND Browse(HWND timerDialog) {
    app::PressButton(timerDialog, IDC_ALARM_BROWSE);
    return app::WaitForDialog(app_, "ファイルの選択");
  }
  // Chooses a file in the file dialog by typing its name, as a user may.
  void Choose(HWND timerDialog, const std::string& name) {
    const HWND files = Browse(timerDialog);
    ASSERT_NE(files, nullptr);
    test::SetText(app::SaveAsNameEdit(files), name);
    app::PressButton(files, IDOK);
  }
  // Opens the timer dialog again, which shows the first file once more, and types `name` in the file dialog.
  HWND ReopenAndChoose(const std::string& name) {
    const HWND dialog = ReopenTimerDialog();
    EXPECT_EQ(app::ControlText(dialog, IDC_ALARM_FILE), "beep.wav") << "Cancel brought the file back";
    Choose(dialog, name);
    return dialog;
  }
  void Type(char key) { app::TypeChar(app_, key); }
  // Whether the alarm holds its file, asked once the expired countdown is on screen. Looking takes the file for a
  // moment, and an alarm opening it in that moment would fail with an error box: so the file is looked at only
  // once the picture has settled, by when the alarm has long opened it.
  bool AlarmSounds() { return app::Settles(app_) && WaitForFileInUse(beep_, true); }

  std::string sounds_;
  std::string beep_;
};

TEST_F(AlarmInTheProgram, ACountdownSetInTheDialogSoundsAtZeroUntilStoppedFromTheMenu) {
  Start("", false);
  const HWND dialog = OpenTimerDialog();
  ASSERT_NE(dialog, nullptr);
  app::SetControlText(dialog, IDC_TIMER_SECONDS, "1");
  app::SetControlText(dialog, IDC_TIMER_MINUTES, "0");
  Choose(dialog, beep_);
  ASSERT_TRUE(WaitForAlarmName(dialog, "beep.wav"));
  Close(dialog, IDOK);
  ASSERT_TRUE(app::Settles(app_));
  const app::Picture oneSecond = app::Capture(app_);

  Type(' ');
  const DWORD start = GetTickCount();
  ASSERT_TRUE(app::WaitForChange(app_, oneSecond)) << "the countdown reaches zero on screen";
  EXPECT_GE(GetTickCount() - start, 950u);
  ASSERT_TRUE(AlarmSounds()) << "the alarm plays the file";
  const app::Picture expired = app::Capture(app_);
  EXPECT_TRUE(app::Settles(app_, 1000));
  EXPECT_TRUE(FileInUse(beep_)) << "and goes on playing it";

  ASSERT_TRUE(app::ChooseFromMenu(app_, 'i'));
  EXPECT_TRUE(WaitForFileInUse(beep_, false)) << "the stop closes it";
  Type(' ');
  EXPECT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_), expired) << "an expired countdown does not start";
  Type('r');
  EXPECT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_), oneSecond) << "the reset reloads the set time";

  SetCountdown("", "", "");
  EXPECT_EQ(app::Capture(app_), expired) << "the expired countdown showed 00:00:00";
  EXPECT_EQ(app::CloseApp(app_), 0u);
  EXPECT_EQ(AlarmFileSetting(), beep_);
}

TEST_F(AlarmInTheProgram, StopThenStartContinuesAndResetOrExitSilenceTheAlarm) {
  Start("TimerSettingMinute=0\r\nTimerSettingSecond=2\r\n");
  const app::Picture twoSeconds = app::Capture(app_);
  Type(' ');
  ASSERT_TRUE(app::WaitForChange(app_, twoSeconds));  // one second gone
  Type(' ');
  ASSERT_TRUE(app::Settles(app_, 1100)) << "a stopped countdown stands still";
  const app::Picture oneSecondLeft = app::Capture(app_);
  Type(' ');
  // Continuing shows the second that was left until it runs out; starting again would show two seconds first.
  ASSERT_TRUE(app::WaitForChange(app_, oneSecondLeft));
  EXPECT_NE(app::Capture(app_), twoSeconds) << "it runs out after the second that was left";
  ASSERT_TRUE(AlarmSounds());
  const app::Picture expired = app::Capture(app_);

  Type('r');
  EXPECT_TRUE(WaitForFileInUse(beep_, false)) << "the reset stops the alarm";
  EXPECT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_), twoSeconds);

  Type(' ');
  ASSERT_TRUE(test::PollUntil([&] { return app::Capture(app_) == expired; }));
  ASSERT_TRUE(AlarmSounds());
  EXPECT_EQ(app::CloseApp(app_), 0u) << "exit while the alarm sounds";
  EXPECT_FALSE(FileInUse(beep_));
  EXPECT_EQ(AlarmFileSetting(), beep_) << "the settings are written";
}

// A countdown killed with a second left and started again after its end: Yes lets it expire at once, the alarm
// sounding, and a reset brings back its set time.
TEST_F(AlarmInTheProgram, ACountdownWhoseEndFellWhileTheProgramWasGoneExpiresOnceItGoesOn) {
  Start("TimerSettingMinute=0\r\nTimerSettingSecond=2\r\n");
  const app::Picture twoSeconds = app::Capture(app_);
  Type(' ');
  const DWORD started = GetTickCount();
  ASSERT_TRUE(app::WaitForChange(app_, twoSeconds));  // one second left
  ASSERT_NO_FATAL_FAILURE(KillAndRestart());
  ASSERT_TRUE(test::PollUntil([&] { return GetTickCount() - started >= 2500; }, 5000));
  AnswerTheInterruption(IDYES);
  ASSERT_TRUE(AlarmSounds()) << "its end fell while it was gone";
  Type('r');
  EXPECT_TRUE(WaitForFileInUse(beep_, false)) << "the reset stops the alarm";
  EXPECT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_), twoSeconds);
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

// With overtime on, a 1 s countdown goes on past zero in red, after a minus sign in the minimised caption; Reset
// waits for Stop, Start goes on past zero, Reset brings back the set time.
TEST_F(AlarmInTheProgram, OvertimeCountsOnPastZeroInRedUntilStopped) {
  Start("TimerSettingMinute=0\r\nTimerSettingSecond=1\r\n[Extra_Setting]\r\nTimerOvertime=1\r\n", false);
  const app::Picture set = app::Capture(app_);
  const auto red = [](const app::Picture& picture) {
    for (int y = 0; y < picture.Height; ++y) {
      for (int x = 0; x < picture.Width; ++x) {
        if (picture.At(x, y) == RGB(255, 0, 0)) return true;
      }
    }
    return false;
  };
  Type(' ');
  ASSERT_TRUE(test::PollUntil([&] { return red(app::Capture(app_)); })) << "past zero in red";
  ShowWindow(app_.Window, SW_MINIMIZE);
  EXPECT_TRUE(test::PollUntil([&] { return test::WindowText(app_.Window) == "-00:00:02 - Tavrilo"; }, 3000))
      << test::WindowText(app_.Window);
  ShowWindow(app_.Window, SW_RESTORE);
  EXPECT_TRUE(test::PollUntil([&] { return test::WindowText(app_.Window) == "Tavrilo"; }));
  Type('r');
  EXPECT_TRUE(app::KeepsChanging(app_)) << "no reset while it runs";
  Type(' ');
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_TRUE(red(app::Capture(app_)));
  Type(' ');
  EXPECT_TRUE(app::KeepsChanging(app_)) << "Start goes on past zero";
  Type(' ');
  Type('r');
  EXPECT_TRUE(test::PollUntil([&] { return app::Capture(app_) == set; })) << "Reset";
}

TEST_F(AlarmInTheProgram, AFileDeletedAfterItWasChosenBringsOneErrorAndTheProgramGoesOn) {
  // A second at 0.010 s, with the mouse moving over the window, which is put where the box will come up: at the
  // screen's centre, and smaller than the box. The box still answers a real Return.
  Start("TimerSettingMinute=0\r\nTimerSettingSecond=1\r\nTimerSecondResolutionIndex=9\r\n");
  ASSERT_TRUE(DeleteFileW(test::Wide(beep_).c_str()));
  SetWindowPos(app_.Window, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - 100, GetSystemMetrics(SM_CYSCREEN) / 2 - 30,
               200, 60, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(app::Settles(app_));
  HWND box = nullptr;
  {
    const app::MovingMouse moving(app_.Window);
    ASSERT_TRUE(moving.WaitForMoves(20));
    Type(' ');
    box = test::PollForWindow([this] { return test::FindMessageBoxOf(app_.Process.dwProcessId); });
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(moving.WaitForMoves(150));
  }
  EXPECT_EQ(test::WindowText(box), "Tavrilo MCICommandエラーメッセージ");
  const std::string text = test::WindowText(GetDlgItem(box, test::MessageBoxTextId));
  EXPECT_NE(text.find("「OnTimerAlarmSoundStart関数内,MCI_OPENまたはMCI_PLAY」"), std::string::npos) << text;
  ASSERT_TRUE(app::AnswerWithKey(box, VK_RETURN));
  ASSERT_TRUE(app::WaitForNoDialog(app_));
  EXPECT_EQ(app::AnswerMessageBox(app_, IDOK, 800).Text, "") << "one box only";
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

TEST_F(AlarmInTheProgram, TheFileDialogOffersTheCurrentFileAndAdmitsOnlySoundFiles) {
  Start("");
  test::WriteBytes(sounds_ + "\\note.txt", "not a sound");
  test::WriteBytes(sounds_ + "\\chime.wav", test::ToneWav(300));

  // Cancelling the file dialog empties the choice; Cancel of the timer dialog brings it back.
  HWND dialog = OpenTimerDialog();
  ASSERT_NE(dialog, nullptr);
  const HWND files = Browse(dialog);
  ASSERT_NE(files, nullptr);
  EXPECT_EQ(app::ControlText(files, test::FileNameBoxId), "beep.wav") << "the file name box offers the current file";
  app::PressButton(files, IDCANCEL);
  EXPECT_TRUE(WaitForAlarmName(dialog, ""));
  Close(dialog, IDCANCEL);

  // A text file typed by name, in the current file's folder, is refused.
  dialog = ReopenAndChoose("note.txt");
  // Found by its caption: the timer dialog's labels have the id a message box gives its text.
  const HWND refusal = app::WaitForDialog(app_, "Tavrilo");
  ASSERT_NE(refusal, nullptr);
  EXPECT_EQ(app::ControlText(refusal, test::MessageBoxTextId), "再生可能なオーディオファイルではありません。");
  app::PressButton(refusal, IDOK);
  EXPECT_TRUE(WaitForAlarmName(dialog, ""));
  Close(dialog, IDCANCEL);

  // A sound file typed by name is taken from the same folder.
  dialog = ReopenAndChoose("chime.wav");
  EXPECT_TRUE(WaitForAlarmName(dialog, "chime.wav"));
  Close(dialog, IDOK);

  // One whose name Shift-JIS cannot hold is kept by a path it can, shown by its own name, and found again.
  const std::wstring korean = test::Wide(sounds_) + L"\\\uD55C.wav";
  test::WriteBytes(test::Narrow(test::Wide(sounds_) + L"\\k.wav"), test::ToneWav(300));
  ASSERT_TRUE(MoveFileW((test::Wide(sounds_) + L"\\k.wav").c_str(), korean.c_str()));
  const auto shownName = [this](HWND timerDialog) {
    wchar_t name[MAX_PATH] = L"";
    SendMessageW(GetDlgItem(timerDialog, IDC_ALARM_FILE), WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(name));
    return std::wstring(name);
  };
  dialog = ReopenTimerDialog();
  const HWND chooser = Browse(dialog);
  ASSERT_NE(chooser, nullptr);
  SendMessageW(app::SaveAsNameEdit(chooser), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(korean.c_str()));
  app::PressButton(chooser, IDOK);
  EXPECT_TRUE(test::PollUntil([&] { return shownName(dialog) == L"\uD55C.wav"; }));
  Close(dialog, IDOK);
  Restart();
  wchar_t found[MAX_PATH] = L"";
  GetLongPathNameW(test::Wide(AlarmFileSetting()).c_str(), found, MAX_PATH);
  EXPECT_EQ(std::wstring(found), korean) << AlarmFileSetting();
  dialog = ReopenTimerDialog();
  EXPECT_EQ(shownName(dialog), L"\uD55C.wav");
  Close(dialog, IDCANCEL);
  EXPECT_EQ(app::CloseApp(app_, 20000), 0u);
}

}  // namespace
