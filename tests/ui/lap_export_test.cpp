// The lap file, its default name, the save command with its provisional line, the save question and the
// clipboard copy, in this process (the Save As dialog and message boxes answered from a watcher thread).
#include <gtest/gtest.h>
#include <atomic>
#include <functional>
#include <string>
#include "app/commands.h"
#include "laps/lap_export.h"
#include "laps/lap_history.h"
#include "laps/lap_list.h"
#include "resources/resource.h"
#include "support/engine_test.h"
#include "support/process_windows.h"
#include "support/test_support.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"

namespace {

class LapExport : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    folder_ = test::ScratchFolder();
  }
  static void TakeLaps(int count, int ticksEach) {
    for (int i = 0; i < count; ++i) {
      test::RunStopwatchFor(ticksEach);
      RecordLap();
    }
    StopStopwatch();
  }
  std::string folder_;
};

// Runs `action` while a watcher fills the Save As dialog's name with `path` and presses OK, or Cancel when the
// path is empty. Returns the name the dialog proposed.
std::string SaveAsDuring(const std::function<void()>& action, const std::string& path) {
  struct Watch {
    std::string Path;
    std::string Proposed;
  } watch{path, {}};
  HANDLE watcher = CreateThread(
      nullptr, 0,
      [](void* param) -> DWORD {
        Watch& w = *static_cast<Watch*>(param);
        // This process's dialog: programs started by other tests may show one of the same name.
        const HWND dialog =
            test::PollForWindow([] { return test::FindDialogOf(GetCurrentProcessId(), "名前を付けて保存"); }, 10000);
        if (!dialog) return 0;
        const HWND name = test::SaveAsNameEdit(dialog);
        w.Proposed = test::WindowText(name);
        if (!w.Path.empty()) test::SetText(name, w.Path);
        PostMessageA(dialog, WM_COMMAND, w.Path.empty() ? IDCANCEL : IDOK, 0);
        return 0;
      },
      &watch, 0, nullptr);
  action();
  WaitForSingleObject(watcher, INFINITE);
  CloseHandle(watcher);
  return watch.Proposed;
}

TEST_F(LapExport, TheDefaultNameIsTheLowestFreeNumberBesideTheProgram) {
  const std::string folder = folder_ + "\\";
  const auto proposed = [](const std::string& in) { return test::Narrow(MakeDefaultLapFileNameIn(test::Wide(in))); };
  EXPECT_EQ(proposed(folder), folder + "LapTimeList0000.txt");
  test::WriteBytes(folder + "LapTimeList0000.txt", "x");
  test::WriteBytes(folder + "LapTimeList0002.txt", "x");
  EXPECT_EQ(proposed(folder), folder + "LapTimeList0001.txt");
  test::WriteBytes(folder + "LapTimeList0001.txt", "x");
  EXPECT_EQ(proposed(folder), folder + "LapTimeList0003.txt");

  // A name past 260 characters is proposed whole.
  const std::string deep = "C:\\" + std::string(MAX_PATH, 'd') + "\\";
  EXPECT_EQ(proposed(deep), deep + "LapTimeList0000.txt");
}

TEST_F(LapExport, TheFileHoldsOneNumberedLineForEachLapAndReplacesAnOlderFile) {
  TakeLaps(3, 1234);  // each lap begins at the refresh boundary shown
  const std::string path = folder_ + "\\laps.txt";
  test::WriteBytes(path, std::string(500, '#'));
  ASSERT_EQ(WriteLapFile(nullptr, test::Wide(path).c_str()), 1);
  EXPECT_EQ(test::ReadBytes(path),
            "0001,00:00:01.23,00:00:01.23\r\n0002,00:00:01.23,00:00:02.46\r\n0003,00:00:01.24,00:00:03.70\r\n");
}

TEST_F(LapExport, FailedCreationsAndWritesAreReportedAndNotTakenForSaved) {
  TakeLaps(3, 100);
  int result = -1;
  test::MessageBoxText box = test::AnswerMessageBoxDuring(
      [&] { result = WriteLapFile(nullptr, test::Wide(folder_ + "\\missing\\laps.txt").c_str()); });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(box.Caption, "Tavrilo");
  EXPECT_EQ(box.Text, "ファイルを作成できません。");

  box = test::AnswerMessageBoxDuring([&] { result = WriteLapFile(nullptr, L"Z:\\dev\\full"); });
  EXPECT_EQ(result, 0) << "every write to a full disk fails";
  EXPECT_EQ(box.Caption, "Tavrilo");
  EXPECT_EQ(box.Text, "ファイルに書き込めません。");
}

TEST_F(LapExport, TheSaveCommandAddsTheCurrentTimeOnceAndLeavesListAndWindowAsTheyWere) {
  TakeLaps(3, 100);
  test::RunStopwatchFor(50);
  StopStopwatch();
  LapList.Unsaved = 1;
  OpenLapHistory(test::StandInMainWindow());
  const HWND history = LapList.LapHistoryWindow;
  const std::string path = folder_ + "\\saved.txt";
  SaveAsDuring([] { SaveLapsCommand(test::StandInMainWindow()); }, path);
  EXPECT_EQ(test::ReadBytes(path),
            "0001,00:00:00.10,00:00:00.10\r\n0002,00:00:00.10,00:00:00.20\r\n0003,00:00:00.10,00:00:00.30\r\n"
            "0004,00:00:00.05,00:00:00.35\r\n");
  EXPECT_EQ(LapList.Count, 3);
  EXPECT_EQ(LapList.Records[3].Text[0], '\0');
  EXPECT_EQ(LapList.Unsaved, 0);
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, 50) << "the provisional lap restarts nothing";
  EXPECT_EQ(SendDlgItemMessageA(history, IDC_LAP_HISTORY_LIST, LB_GETCOUNT, 0, 0), 3);
  char top[256];
  SendDlgItemMessageA(history, IDC_LAP_HISTORY_LIST, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(top));
  EXPECT_STREQ(top, "LAP 0003 : 00:00:00.10,00:00:00.30");
}

TEST_F(LapExport, WithAThousandLapsTheSaveCommandSavesExactlyThose) {
  TakeLaps(MaxLaps, 10);
  LapList.Unsaved = 1;
  const std::string path = folder_ + "\\thousand.txt";
  SaveAsDuring([] { SaveLapsCommand(test::StandInMainWindow()); }, path);
  const std::string file = test::ReadBytes(path);
  size_t lines = 0;
  for (size_t at = 0; (at = file.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  EXPECT_EQ(lines, static_cast<size_t>(MaxLaps));
  EXPECT_EQ(file.substr(file.size() - 30), "1000,00:00:00.01,00:00:10.00\r\n");
  EXPECT_EQ(LapList.Count, MaxLaps);
}

TEST_F(LapExport, TheSaveQuestionSavesOnYesAndKeepsTheLapsUnsavedOtherwise) {
  const HWND owner = test::StandInMainWindow();
  test::MessageBoxText box = test::AnswerMessageBoxDuring([&] { AskSaveLaps(owner); }, IDNO, 500);
  EXPECT_EQ(box.Text, "") << "no laps, no question";

  TakeLaps(2, 100);
  LapList.Unsaved = 1;
  box = test::AnswerMessageBoxDuring([&] { AskSaveLaps(owner); }, IDNO);
  EXPECT_EQ(box.Caption, "Tavrilo");
  EXPECT_EQ(box.Text, "ラップタイムを保存しますか？");
  EXPECT_EQ(LapList.Unsaved, 1);

  std::string proposed;
  test::AnswerMessageBoxDuring([&] { proposed = SaveAsDuring([&] { AskSaveLaps(owner); }, ""); }, IDYES);
  EXPECT_EQ(LapList.Unsaved, 1) << "Yes, then Cancel in the Save As dialog";
  EXPECT_NE(proposed.find("LapTimeList"), std::string::npos) << proposed;

  const std::string path = folder_ + "\\answered.txt";
  test::AnswerMessageBoxDuring([&] { SaveAsDuring([&] { AskSaveLaps(owner); }, path); }, IDYES);
  EXPECT_EQ(LapList.Unsaved, 0);
  EXPECT_EQ(test::ReadBytes(path), "0001,00:00:00.10,00:00:00.10\r\n0002,00:00:00.10,00:00:00.20\r\n");

  // A reset whose save did not happen is no reset: its final lap is taken back and the lap runs on from lap 2.
  test::RunStopwatchFor(30);
  StopStopwatch();
  LapList.Unsaved = 1;
  int reset = -1;
  test::AnswerMessageBoxDuring([&] { SaveAsDuring([&] { reset = ResetMeasurement(owner); }, ""); }, IDYES);
  EXPECT_EQ(reset, 0);
  test::RunStopwatchFor(20);
  RecordLap();
  ASSERT_EQ(LapList.Count, 3);
  EXPECT_STREQ(LapList.Records[2].Text, "00:00:00.05,00:00:00.25");
}

TEST_F(LapExport, TheClipboardGetsTheCurrentLapTimeOrTheUserHearsWhyNot) {
  TakeLaps(1, 1000);
  test::RunStopwatchFor(230);
  StopStopwatch();
  const HWND owner = test::StandInMainWindow();
  ASSERT_EQ(CopyResultToClipboard(owner), 1);
  ASSERT_TRUE(OpenClipboard(nullptr));
  const HANDLE data = GetClipboardData(CF_TEXT);
  ASSERT_NE(data, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(data)), "00:00:00.23") << "the time since the last lap";
  GlobalUnlock(data);

  // While another window holds the clipboard open, the copy fails and says so.
  int result = -1;
  const test::MessageBoxText box = test::AnswerMessageBoxDuring([&] { result = CopyResultToClipboard(owner); });
  CloseClipboard();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(box.Text, "クリップボードをオープンできません。");
  EXPECT_NE(box.Caption, "Tavrilo");
}

}  // namespace
