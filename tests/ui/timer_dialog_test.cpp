// The timer settings dialog in this process, as a modeless copy of template 107 kept off-screen: checking and
// storing the countdown values, the wrapping up-downs, and the alarm file put back on Cancel.
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include "records/app_globals.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "settings/timer_dialog.h"
#include "support/chooser_driver.h"
#include "support/engine_test.h"
#include "support/test_support.h"
#include "support/tone_files.h"

namespace {

class TimerDialog : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    AppSettings.TimerSettingHour = 1;
    AppSettings.TimerSettingMinute = 2;
    AppSettings.TimerSettingSecond = 3;
    lstrcpyA(AppSettings.TimerAlarmSoundFile, "C:\\sounds\\beep.wav");
    lstrcpyW(AppSettings.AlarmSoundDisplayName, L"beep.wav");
    Open();
  }
  void TearDown() override {
    DestroyWindow(dialog_);
    EngineTest::TearDown();
  }
  void Open() {
    if (dialog_) DestroyWindow(dialog_);
    dialog_ = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_TIMER_SETTINGS), test::StandInMainWindow(),
                                 TimerSettingsDialogProc, reinterpret_cast<LPARAM>(&snapshot_));
    ASSERT_NE(dialog_, nullptr);
  }
  std::string Text(int id) const {
    char text[MAX_PATH] = "";
    GetDlgItemTextA(dialog_, id, text, sizeof text);
    return text;
  }
  void Enter(const char* hours, const char* minutes, const char* seconds) {
    SetDlgItemTextA(dialog_, IDC_TIMER_HOURS, hours);
    SetDlgItemTextA(dialog_, IDC_TIMER_MINUTES, minutes);
    SetDlgItemTextA(dialog_, IDC_TIMER_SECONDS, seconds);
  }
  void Press(int id) { SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  // Presses OK and returns the text of the message box it brings, if any.
  std::string PressOk() {
    const test::MessageBoxText box = test::AnswerMessageBoxDuring([this] { Press(IDOK); }, 0, 400);
    EXPECT_EQ(box.Caption, box.Text.empty() ? "" : "Tavrilo");
    return box.Text;
  }
  void ExpectStoredTime(int32_t hours, int32_t minutes, int32_t seconds) const {
    EXPECT_EQ(AppSettings.TimerSettingHour, hours);
    EXPECT_EQ(AppSettings.TimerSettingMinute, minutes);
    EXPECT_EQ(AppSettings.TimerSettingSecond, seconds);
  }

  HWND dialog_ = nullptr;
  TimerSettingsSnapshot snapshot_ = {};
};

TEST_F(TimerDialog, ShowsTheSetTimeAndTheAlarmFileName) {
  EXPECT_EQ(Text(IDC_TIMER_HOURS), "1");
  EXPECT_EQ(Text(IDC_TIMER_MINUTES), "2");
  EXPECT_EQ(Text(IDC_TIMER_SECONDS), "3");
  EXPECT_EQ(Text(IDC_ALARM_FILE), "beep.wav");
}

TEST_F(TimerDialog, RefusesTheFirstValueOutOfRangeAndSelectsItsText) {
  struct Case {
    const char* Hours;
    const char* Minutes;
    const char* Seconds;
    const char* Message;
    int Field;
  };
  const Case cases[] = {
      {"24", "0", "0", "時間の設定は0～23迄です。", IDC_TIMER_HOURS},
      {"30", "90", "0", "時間の設定は0～23迄です。", IDC_TIMER_HOURS},  // the minutes wait for corrected hours
      {"23", "90", "0", "分の設定は0～59迄です。", IDC_TIMER_MINUTES},
      {"0", "0", "60", "秒の設定は0～59迄です。", IDC_TIMER_SECONDS},
      {"-1", "0", "0", "時間の設定は0～23迄です。", IDC_TIMER_HOURS},  // pasted: the check is unsigned
  };
  for (const Case& c : cases) {
    Enter(c.Hours, c.Minutes, c.Seconds);
    EXPECT_EQ(PressOk(), c.Message) << c.Hours << ":" << c.Minutes << ":" << c.Seconds;
    const HWND edit = GetDlgItem(dialog_, c.Field);
    EXPECT_EQ(GetFocus(), edit) << c.Message;
    const LRESULT selection = SendMessageA(edit, EM_GETSEL, 0, 0);
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), GetWindowTextLengthA(edit)) << "the whole text is selected";
    EXPECT_EQ(Text(IDC_TIMER_MINUTES), c.Minutes) << "every entry stays as typed";
  }
  ExpectStoredTime(1, 2, 3);
}

TEST_F(TimerDialog, OkStoresValuesInRangeAndReadsEmptyEditsAsZero) {
  Enter("23", "59", "59");
  EXPECT_EQ(PressOk(), "");
  ExpectStoredTime(23, 59, 59);

  Open();
  Enter("", "", "");
  EXPECT_EQ(PressOk(), "");
  ExpectStoredTime(0, 0, 0);
}

TEST_F(TimerDialog, TheArrowKeysStepTheValuesAndWrapAtTheEnds) {
  Enter("23", "0", "58");
  const auto step = [this](int id, WPARAM key) {
    const HWND edit = GetDlgItem(dialog_, id);
    SendMessageA(edit, WM_KEYDOWN, key, 0);
    SendMessageA(edit, WM_KEYUP, key, 0);
  };
  step(IDC_TIMER_HOURS, VK_UP);
  step(IDC_TIMER_MINUTES, VK_DOWN);
  step(IDC_TIMER_SECONDS, VK_UP);
  EXPECT_EQ(Text(IDC_TIMER_HOURS), "0");
  EXPECT_EQ(Text(IDC_TIMER_MINUTES), "59");
  EXPECT_EQ(Text(IDC_TIMER_SECONDS), "59");
}

TEST_F(TimerDialog, CancelPutsBackTheClearedAlarmFileAndTheSetTime) {
  Press(IDC_ALARM_CLEAR);
  EXPECT_EQ(Text(IDC_ALARM_FILE), "");
  EXPECT_STREQ(AppSettings.TimerAlarmSoundFile, "") << "cleared at once";
  Enter("4", "5", "6");
  Press(IDCANCEL);
  EXPECT_STREQ(AppSettings.TimerAlarmSoundFile, "C:\\sounds\\beep.wav");
  EXPECT_STREQ(AppSettings.AlarmSoundDisplayName, L"beep.wav");
  ExpectStoredTime(1, 2, 3);
}

// A path as long as the setting holds (259 characters) comes back from the Open dialog whole; a file whose name
// Shift-JIS cannot hold, or would hold only by a look-alike (é as e), is kept by its short path and shown by its
// long name.
TEST_F(TimerDialog, TheLongestAlarmPathIsChosenAgainAndKept) {
  std::string path = test::ScratchFolder();
  const std::wstring korean = test::Wide(path) + L"\\\uD55C.wav";
  const std::wstring accented = test::Wide(path) + L"\\caf\u00E9.wav";
  while (path.size() < 200) {
    path += "\\nested-folder-for-a-long-path";
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  }
  path += "\\" + std::string(259 - path.size() - 5, 'a') + ".wav";
  ASSERT_EQ(path.size(), 259u);
  test::WriteBytes(path, test::ToneWav(100));
  for (const std::wstring& name : {korean, accented}) {
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }
  for (const std::wstring& offered : {test::Wide(path), korean, accented}) {
    char chosen[MAX_PATH];
    wchar_t display[MAX_PATH];
    lstrcpynA(chosen, test::Narrow(offered).c_str(), MAX_PATH);
    lstrcpynW(display, offered.c_str() + offered.find_last_of(L'\\') + 1, MAX_PATH);
    const HWND owner = test::StandInMainWindow();
    std::thread user([owner] {
      const HWND open = test::WaitForDialogOwnedBy(owner);
      if (open) PostMessageA(open, WM_COMMAND, IDOK, 0);  // the offered file, as it stands
    });
    const bool result = BrowseAlarmSoundFile(chosen, display, owner);
    user.join();
    EXPECT_TRUE(result);
    EXPECT_STREQ(display, offered.c_str() + offered.find_last_of(L'\\') + 1);
    wchar_t found[MAX_PATH] = L"";
    GetLongPathNameW(test::Wide(chosen).c_str(), found, MAX_PATH);
    EXPECT_EQ(std::wstring(found), offered) << "the stored form names the chosen file: " << chosen;
  }
}

}  // namespace
