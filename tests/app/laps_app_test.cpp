// Laps with the real program: L, the history window, the save question on reset and on close, the Save As
// dialog and the lap file, the save command, and the clipboard.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "app/app_driver.h"
#include "app/dialog_driver.h"
#include "app/program_test.h"
#include "support/files.h"
#include "support/poll.h"
#include "support/process_windows.h"

namespace {

constexpr int LapList = 1001;  // the history window's list box

class LapsInTheProgram : public app::ProgramTest {
 protected:
  // Starts the program and keeps its picture at zero.
  void Start() {
    ASSERT_NO_FATAL_FAILURE(ProgramTest::Start());
    atZero_ = app::Capture(app_);
  }
  // Starts the stopwatch, takes `count` laps with L and stops.
  void TakeLapsAndStop(int count) {
    app::TypeChar(app_, ' ');
    ASSERT_TRUE(app::KeepsChanging(app_));
    ASSERT_NO_FATAL_FAILURE(TakeLaps(count));
    app::TypeChar(app_, ' ');
    ASSERT_TRUE(app::Settles(app_));
  }
  HWND OpenHistory() { return app::OpenDialogFromMenu(app_, 'u', "ラップタイム履歴画面"); }
  static std::vector<std::string> Lines(HWND history) {
    std::vector<std::string> lines;
    const HWND list = GetDlgItem(history, LapList);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t wide[512] = L"";
      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
      lines.push_back(test::Narrow(wide));
    }
    return lines;
  }
  static bool WaitForLines(HWND history, size_t count) {
    return test::PollUntil([&] { return Lines(history).size() == count; }, 3000);
  }
  // Resets with R and answers the save question; returns its text.
  std::string ResetAnswering(int answer) {
    app::TypeChar(app_, 'r');
    return app::AnswerMessageBox(app_, answer).Text;
  }
  app::Picture atZero_;
};

// A journal another program holds, with an earlier run's unsaved lap: whether that lap may go (No) or stays (Yes,
// then Save As cancelled), nothing can be written, which the first lap says once; laps go on.
class HeldJournal : public LapsInTheProgram, public testing::WithParamInterface<int> {};

TEST_P(HeldJournal, IsSaidOnceAtTheFirstLapAndLapsGoOn) {
  app_ = app::PrepareApp();
  const std::string journal = app_.Folder + "\\Tavrilo.laps";
  test::WriteBytes(journal, "0001,00:00:01.00,00:00:01.00\r\n");
  const HANDLE held =
      CreateFileW(test::Wide(journal).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  LaunchPrepared();
  EXPECT_EQ(app::AnswerMessageBox(app_, GetParam()).Text,
            "前回の計測で保存されていないラップタイムがあります。保存しますか？");
  if (GetParam() == IDYES) {
    ASSERT_TRUE(app::EndDialogWith(app_, app::WaitForDialog(app_, "名前を付けて保存"), IDCANCEL));
  }
  const HWND history = OpenHistory();
  ASSERT_NE(history, nullptr);
  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::KeepsChanging(app_));
  app::TypeChar(app_, 'L');
  const app::MessageBoxText box = app::AnswerMessageBox(app_, IDOK);
  EXPECT_EQ(box.Caption, "Tavrilo");
  EXPECT_EQ(box.Text, "ラップタイムの一時保存ファイル「" + journal +
                          "」に書き込めません。計測は続けられますが、プログラムが異常終了したときには、保存して"
                          "いないラップタイムは戻りません。");
  for (size_t laps = 2; laps <= 3; ++laps) {
    app::TypeChar(app_, 'L');
    ASSERT_TRUE(WaitForLines(history, laps));
  }
  EXPECT_EQ(test::FindMessageBoxOf(app_.Process.dwProcessId), nullptr) << "said once";

  // A reset makes the current laps' journal fresh, not the run's: the laps after it say nothing again.
  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(ResetAnswering(IDNO), "ラップタイムを保存しますか？");
  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::KeepsChanging(app_));
  for (size_t laps = 1; laps <= 2; ++laps) {
    app::TypeChar(app_, 'L');
    ASSERT_TRUE(WaitForLines(history, laps)) << "no box in the way";
  }
  EXPECT_EQ(test::FindMessageBoxOf(app_.Process.dwProcessId), nullptr) << "said once a run";
  CloseHandle(held);
}

INSTANTIATE_TEST_SUITE_P(LapsMayGoOrStay, HeldJournal, testing::Values(IDNO, IDYES),
                         [](const auto& info) { return info.param == IDYES ? "AnsweredYes" : "AnsweredNo"; });

TEST_F(LapsInTheProgram, TheHistoryWindowListsLapsNewestFirstAndTakesLapsWithL) {
  Start();
  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::KeepsChanging(app_));
  ASSERT_NO_FATAL_FAILURE(TakeLaps(1));
  const HWND history = OpenHistory();  // opened after the first lap, before the others
  ASSERT_NE(history, nullptr);
  ASSERT_TRUE(WaitForLines(history, 1));
  ASSERT_NO_FATAL_FAILURE(TakeLaps(2));
  ASSERT_TRUE(WaitForLines(history, 3));
  std::vector<std::string> lines = Lines(history);
  EXPECT_EQ(lines[0].substr(0, 11), "LAP 0003 : ");
  EXPECT_EQ(lines[2].substr(0, 11), "LAP 0001 : ");

  // L pressed in the history window's focused list takes a lap and types nothing into the list.
  const HWND list = GetDlgItem(history, LapList);
  ASSERT_TRUE(app::BringToFront(history));
  app::PressKeys({'L'});
  ASSERT_TRUE(WaitForLines(history, 4));
  EXPECT_EQ(Lines(history)[0].substr(0, 11), "LAP 0004 : ");
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR) << "no type-ahead selection";

  app::PressKeys({VK_ESCAPE});
  EXPECT_TRUE(app::WaitForNoDialog(app_)) << "Esc closes it";
  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(ResetAnswering(IDNO), "ラップタイムを保存しますか？");
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

TEST_F(LapsInTheProgram, ResetAsksToSaveAndWritesTheLapsAndAFinalLapUnderTheFirstFreeName) {
  Start();
  test::WriteBytes(app_.Folder + "\\LapTimeList0000.txt", "old");
  test::WriteBytes(app_.Folder + "\\LapTimeList0001.txt", "old");
  TakeLapsAndStop(3);
  const HWND history = OpenHistory();
  ASSERT_TRUE(WaitForLines(history, 3));
  const std::vector<std::string> shown = Lines(history);

  EXPECT_EQ(ResetAnswering(IDYES), "ラップタイムを保存しますか？");
  const HWND saveAs = app::WaitForDialog(app_, "名前を付けて保存");
  ASSERT_NE(saveAs, nullptr);
  EXPECT_EQ(test::WindowText(app::SaveAsNameEdit(saveAs)), "LapTimeList0002.txt");
  app::PressButton(saveAs, IDOK);
  ASSERT_TRUE(app::Settles(app_));
  ASSERT_TRUE(WaitForLines(history, 0)) << "the reset empties the open history window";
  EXPECT_EQ(app::Capture(app_), atZero_);

  const std::string file = File("LapTimeList0002.txt");
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(file.substr(start, end - start));
  }
  ASSERT_EQ(lines.size(), 4u) << file;
  for (int i = 0; i < 3; ++i) {
    // "LAP 000n : lap,total" on screen, "000n,lap,total" in the file.
    EXPECT_EQ(lines[i], shown[2 - i].substr(4, 4) + "," + shown[2 - i].substr(11)) << i;
  }
  EXPECT_EQ(lines[3].substr(0, 5), "0004,");
  EXPECT_EQ(file.size() % 2, 0u);
  EXPECT_EQ(File("LapTimeList0000.txt"), "old");
  EXPECT_EQ(app::CloseApp(app_), 0u) << "nothing unsaved any more: no question";
}

TEST_F(LapsInTheProgram, NoResetsWithoutAFileAndACancelledSaveCancelsTheReset) {
  Start();
  TakeLapsAndStop(2);
  ASSERT_TRUE(app::Settles(app_));
  const app::Picture stopped = app::Capture(app_);
  EXPECT_EQ(ResetAnswering(IDYES), "ラップタイムを保存しますか？");
  const HWND saveAs = app::WaitForDialog(app_, "名前を付けて保存");
  ASSERT_NE(saveAs, nullptr);
  ASSERT_TRUE(app::EndDialogWith(app_, saveAs, IDCANCEL));
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_), stopped);

  EXPECT_EQ(ResetAnswering(IDNO), "ラップタイムを保存しますか？");
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_), atZero_);
  EXPECT_EQ(File("LapTimeList0000.txt"), "");
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

TEST_F(LapsInTheProgram, TheSaveCommandSavesTheCurrentTimeAsAnExtraLineAndOverwritesOnlyAfterAsking) {
  Start();
  test::WriteBytes(app_.Folder + "\\mine.txt", std::string(300, '#'));
  TakeLapsAndStop(3);
  const HWND history = OpenHistory();
  ASSERT_TRUE(WaitForLines(history, 3));
  ASSERT_TRUE(app::ChooseFromMenu(app_, 'l'));
  const HWND saveAs = app::WaitForDialog(app_, "名前を付けて保存");
  ASSERT_NE(saveAs, nullptr);
  ASSERT_TRUE(WaitForLines(history, 4)) << "the current time is listed while the dialog is open";
  test::SetText(app::SaveAsNameEdit(saveAs), "mine");
  app::PressButton(saveAs, IDOK);
  const app::MessageBoxText overwrite = app::AnswerMessageBox(app_, IDYES);
  EXPECT_EQ(overwrite.Caption, "名前を付けて保存") << "an existing file is replaced only on request";
  ASSERT_TRUE(WaitForLines(history, 3)) << "and removed again afterwards";
  const std::string file = File("mine.txt");
  EXPECT_EQ(file.find('#'), std::string::npos) << "rewritten from scratch";
  EXPECT_EQ(file.substr(0, 5), "0001,");
  EXPECT_NE(file.find("\r\n0004,"), std::string::npos);
  EXPECT_EQ(file.find("0005,"), std::string::npos);
  EXPECT_EQ(app::CloseApp(app_), 0u) << "saved: closing asks nothing";
}

TEST_F(LapsInTheProgram, TheClipboardGetsTheShownLapTimeAndCtrlCWorksOnlyWhileStopped) {
  Start();
  // The clipboard is opened only once its content has changed, so that the test never holds it while the
  // program tries to open it; the program may still hold it then, while it puts the text there.
  const auto copied = [](DWORD before, DWORD timeoutMs) {
    std::string text = "(nothing copied)";
    const bool changed = test::PollUntil([before] { return GetClipboardSequenceNumber() != before; }, timeoutMs);
    if (!changed || !test::PollUntil([] { return OpenClipboard(nullptr) != FALSE; }, 3000)) return text;
    if (const HANDLE data = GetClipboardData(CF_TEXT)) {
      text = static_cast<const char*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  };
  const auto ctrlC = [this] {
    app::BringToFront(app_.Window);
    app::PressKeys({VK_CONTROL, 'C'});
  };
  DWORD before = GetClipboardSequenceNumber();  // real keys may be taken before ctrlC returns
  ctrlC();
  EXPECT_EQ(copied(before, 3000), "00:00:00.00");

  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::KeepsChanging(app_));
  before = GetClipboardSequenceNumber();
  ctrlC();
  EXPECT_EQ(copied(before, 400), "(nothing copied)") << "Ctrl+C does nothing while running";
  before = GetClipboardSequenceNumber();
  ASSERT_TRUE(app::ChooseFromMenu(app_, 'c'));
  const std::string whileRunning = copied(before, 3000);
  EXPECT_EQ(whileRunning.size(), 11u) << "the menu copies while running: " << whileRunning;
  ASSERT_TRUE(app::KeepsChanging(app_));

  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::Settles(app_));
  before = GetClipboardSequenceNumber();
  ctrlC();
  const std::string stopped = copied(before, 3000);
  EXPECT_EQ(stopped.size(), 11u);
  EXPECT_GT(stopped, whileRunning);
  app::TypeChar(app_, 'r');
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

TEST_F(LapsInTheProgram, ClosingWithUnsavedLapsAsksTheSameQuestionAndStillExitsCleanly) {
  Start();
  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::KeepsChanging(app_));
  ASSERT_NO_FATAL_FAILURE(TakeLaps(1));
  PostMessageA(app_.Window, WM_CLOSE, 0, 0);
  EXPECT_EQ(app::AnswerMessageBox(app_, IDNO).Text, "ラップタイムを保存しますか？");
  ASSERT_EQ(WaitForSingleObject(app_.Process.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(app_.Process.hProcess, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(File("LapTimeList0000.txt"), "");
}

}  // namespace
