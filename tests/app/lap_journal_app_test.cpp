// Laps and measurements that outlive a killed program: the journal and the run state beside Tavrilo.exe, the
// questions at the next start, the measurement going on or the lap file written from the recovered laps, and the
// journal's end.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>
#include "app/app_driver.h"
#include "app/dialog_driver.h"
#include "app/program_test.h"
#include "resources/resource.h"
#include "support/files.h"
#include "support/poll.h"
#include "support/process_windows.h"
#include "support/wall_clock.h"

namespace {

const char* const RecoveryQuestion = "前回の計測で保存されていないラップタイムがあります。保存しますか？";

using test::PollUntil;

class LapsAfterAKill : public app::ProgramTest {
 protected:
  // The window is enough: these tests start typing as soon as it is there.
  void SetUp() override {
    app_ = app::PrepareApp();
    LaunchPrepared();
  }
  bool JournalExists() const { return Exists("Tavrilo.laps"); }
  void ExpectTheQuestionAnswering(int answer) {
    const app::MessageBoxText box = app::AnswerMessageBox(app_, answer);
    EXPECT_EQ(box.Caption, "Tavrilo");
    EXPECT_EQ(box.Text, RecoveryQuestion);
  }
  // Presses OK in the Save As dialog and returns the name it proposed.
  std::string AcceptSaveAs() {
    const HWND saveAs = app::WaitForDialog(app_, "名前を付けて保存");
    if (!saveAs) return "(no Save As dialog)";
    const std::string proposed = test::WindowText(app::SaveAsNameEdit(saveAs));
    EXPECT_TRUE(app::EndDialogWith(app_, saveAs, IDOK));
    return proposed;
  }
  bool Exists(const std::string& name) const {
    return GetFileAttributesW(test::Wide(app_.Folder + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
};

// Yes to the save question, and then no lap file: Save As cancelled, or a file that cannot be written.
enum class Moment { Reset, Close, Recovery };
class LapsNotSaved : public LapsAfterAKill, public testing::WithParamInterface<std::tuple<Moment, bool>> {
 protected:
  void SaveYesButNoFile(const char* question) {
    EXPECT_EQ(app::AnswerMessageBox(app_, IDYES).Text, question);
    const HWND saveAs = app::WaitForDialog(app_, "名前を付けて保存");
    ASSERT_NE(saveAs, nullptr);
    if (!std::get<1>(GetParam()) && std::get<0>(GetParam()) == Moment::Close) {
      // The close goes on and the program may end before it could answer a message: only the dialog's end is awaited.
      app::PressButton(saveAs, IDCANCEL);
      ASSERT_TRUE(app::WaitForNoDialog(app_));
      return;
    }
    if (!std::get<1>(GetParam())) {
      ASSERT_TRUE(app::EndDialogWith(app_, saveAs, IDCANCEL));
      return;
    }
    test::SetText(app::SaveAsNameEdit(saveAs), "Z:\\dev\\full.");  // a device that takes no byte
    app::PressButton(saveAs, IDOK);
    EXPECT_EQ(app::AnswerMessageBox(app_, IDOK).Text, "ファイルに書き込めません。");
  }
};

TEST_P(LapsNotSaved, StayAsTheyWereAndAreAskedForAgain) {
  const char* const saveQuestion = "ラップタイムを保存しますか？";
  const char* question = RecoveryQuestion;  // the next that comes
  app::TypeChar(app_, ' ');
  ASSERT_NO_FATAL_FAILURE(TakeLaps(2));
  app::TypeChar(app_, ' ');
  switch (std::get<0>(GetParam())) {
    case Moment::Reset: {
      app::TypeChar(app_, 'r');
      ASSERT_TRUE(PollUntil([&] { return JournalLaps().size() == 3; }, FileWaitMs)) << "the final lap";
      const std::string finalLap = JournalLaps()[2];
      ASSERT_NO_FATAL_FAILURE(SaveYesButNoFile(saveQuestion));
      EXPECT_TRUE(PollUntil([&] { return JournalLaps().size() == 2; }, FileWaitMs)) << "the final lap taken back";
      app::TypeChar(app_, ' ');
      ASSERT_NO_FATAL_FAILURE(TakeLaps(1));
      app::TypeChar(app_, ' ');
      EXPECT_GT(JournalLaps().at(2).substr(5, 11), finalLap.substr(5, 11)) << "the lap went on";
      app::TypeChar(app_, 'r');
      question = saveQuestion;
      break;
    }
    case Moment::Close:
      ASSERT_TRUE(app::ChooseFromMenu(app_, 'x'));
      ASSERT_NO_FATAL_FAILURE(SaveYesButNoFile(saveQuestion));
      ASSERT_EQ(WaitForSingleObject(app_.Process.hProcess, 10000), WAIT_OBJECT_0);
      EXPECT_EQ(JournalLaps().size(), 3u) << "the close's final lap is kept too";
      ASSERT_NO_FATAL_FAILURE(KillAndRestart());
      break;
    case Moment::Recovery:
      ASSERT_NO_FATAL_FAILURE(KillAndRestart());
      AnswerTheInterruption(IDNO);
      ASSERT_NO_FATAL_FAILURE(SaveYesButNoFile(RecoveryQuestion));
      EXPECT_TRUE(PollUntil([&] { return !JournalExists() && Exists("Tavrilo.1.laps"); }, FileWaitMs));
      app::TypeChar(app_, ' ');  // this run's laps, reset and exit leave the kept laps alone
      ASSERT_NO_FATAL_FAILURE(TakeLaps(1));
      app::TypeChar(app_, ' ');
      app::TypeChar(app_, 'r');
      EXPECT_EQ(app::AnswerMessageBox(app_, IDNO).Text, saveQuestion);
      ASSERT_EQ(app::CloseApp(app_), 0u);
      ASSERT_NO_FATAL_FAILURE(LaunchPrepared());
      break;
  }
  EXPECT_EQ(app::AnswerMessageBox(app_, IDNO).Text, question);
  EXPECT_TRUE(PollUntil([&] { return !JournalExists() && !Exists("Tavrilo.1.laps"); }, FileWaitMs));
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::FindAnyDialog(app_), nullptr) << "asked once";
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

INSTANTIATE_TEST_SUITE_P(AtResetCloseAndRecovery, LapsNotSaved,
                         testing::Combine(testing::Values(Moment::Reset, Moment::Close, Moment::Recovery),
                                          testing::Bool()),
                         [](const auto& info) {
                           const Moment moment = std::get<0>(info.param);
                           return (moment == Moment::Reset ? "Reset" : moment == Moment::Close ? "Close" : "Recovery") +
                                  std::string(std::get<1>(info.param) ? "WriteFails" : "SaveAsCancelled");
                         });

TEST_F(LapsAfterAKill, YesSavesEveryRecoveredLapUnderItsNumberAndTheNewRunJournalsAfresh) {
  app::TypeChar(app_, ' ');
  ASSERT_NO_FATAL_FAILURE(TakeLaps(2));
  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::ChooseFromMenu(app_, 'l'));  // the save command: laps taken after it keep their numbers
  EXPECT_EQ(AcceptSaveAs(), "LapTimeList0000.txt");
  app::TypeChar(app_, ' ');
  ASSERT_NO_FATAL_FAILURE(TakeLaps(1));
  const std::vector<std::string> laps = JournalLaps();
  ASSERT_EQ(laps.size(), 3u);
  EXPECT_EQ(laps[2].substr(0, 5), "0003,");
  ASSERT_NO_FATAL_FAILURE(KillAndRestart());

  AnswerTheInterruption(IDNO);
  ExpectTheQuestionAnswering(IDYES);
  EXPECT_EQ(AcceptSaveAs(), "LapTimeList0001.txt");
  const std::string expected = laps[0] + laps[1] + laps[2];
  EXPECT_TRUE(PollUntil([&] { return File("LapTimeList0001.txt") == expected; }, FileWaitMs))
      << File("LapTimeList0001.txt");
  EXPECT_TRUE(PollUntil([&] { return !JournalExists(); }, FileWaitMs));

  app::TypeChar(app_, ' ');
  ASSERT_NO_FATAL_FAILURE(TakeLaps(1));
  EXPECT_EQ(JournalLaps().at(0).substr(0, 5), "0001,") << "the recovered laps are not the new run's";
  PostMessageA(app_.Window, WM_CLOSE, 0, 0);
  ASSERT_NE(app::WaitForDialog(app_, "Tavrilo"), nullptr);
  EXPECT_TRUE(PollUntil([&] { return JournalLaps().size() == 2; }, FileWaitMs))
      << "the close's last lap is journalled too";
  EXPECT_EQ(app::AnswerMessageBox(app_, IDNO).Text, "ラップタイムを保存しますか？");
  ASSERT_EQ(WaitForSingleObject(app_.Process.hProcess, 10000), WAIT_OBJECT_0);
  EXPECT_FALSE(JournalExists()) << "a normal exit deletes it";
}

TEST_F(LapsAfterAKill, NoAndAResetDeleteTheJournalAndSavedLapsAreNotAskedForAgain) {
  app::TypeChar(app_, ' ');
  ASSERT_NO_FATAL_FAILURE(TakeLaps(2));
  ASSERT_NO_FATAL_FAILURE(KillAndRestart());
  AnswerTheInterruption(IDNO);
  ExpectTheQuestionAnswering(IDNO);
  EXPECT_TRUE(PollUntil([&] { return !JournalExists(); }, FileWaitMs));

  app::TypeChar(app_, ' ');
  ASSERT_NO_FATAL_FAILURE(TakeLaps(1));
  app::TypeChar(app_, ' ');
  app::TypeChar(app_, 'r');
  EXPECT_EQ(app::AnswerMessageBox(app_, IDNO).Text, "ラップタイムを保存しますか？");
  EXPECT_TRUE(PollUntil([&] { return !JournalExists(); }, FileWaitMs)) << "a reset deletes it";

  app::TypeChar(app_, ' ');
  ASSERT_NO_FATAL_FAILURE(TakeLaps(1));
  app::TypeChar(app_, ' ');
  ASSERT_TRUE(app::ChooseFromMenu(app_, 'l'));
  EXPECT_EQ(AcceptSaveAs(), "LapTimeList0000.txt") << "No wrote no file";
  ASSERT_TRUE(PollUntil([&] { return !File("LapTimeList0000.txt").empty(); }, FileWaitMs));
  DWORD_PTR answer = 0;  // once this is answered, the save command has finished
  ASSERT_TRUE(SendMessageTimeoutA(app_.Window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
  const app::Picture stopped = app::Capture(app_);
  app::TypeChar(app_, 'r');  // nothing unsaved: no question, and the measurement has ended once it shows
  ASSERT_TRUE(app::WaitForChange(app_, stopped));
  ASSERT_NO_FATAL_FAILURE(KillAndRestart());
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::FindAnyDialog(app_), nullptr) << "every lap was saved, and the reset ended the measurement";
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

// Measurements killed and started again: the lap taken with L after the Start typed between the wall clock's
// `started` and `typed` holds their time since, to within the key's way through the system's queue.
class MeasurementAfterAKill : public LapsAfterAKill, public testing::WithParamInterface<bool> {
 protected:
  double ExpectLapAtWallClockTime(size_t number, double started, double typed) {
    const double before = test::NowMs();
    app::TypeChar(app_, 'L');
    const double after = test::NowMs();
    EXPECT_TRUE(PollUntil([&] { return JournalLaps().size() == number; }, FileWaitMs)) << "lap " << number;
    int h = -1, m = 0, sec = 0, hundredths = 0;  // "000n,lap,hh:mm:ss.cc" at 0.01 s
    sscanf(JournalLaps().back().substr(17).c_str(), "%d:%d:%d.%d", &h, &m, &sec, &hundredths);
    const double total = ((h * 60 + m) * 60 + sec) * 1000.0 + hundredths * 10;
    EXPECT_GE(total, before - typed - 20);
    EXPECT_LE(total, after - started + 250);
    printf("[ figures ] lap %zu at %.0f ms of wall clock after the Start: total %.0f ms\n", number,
           before - started, total);
    return total;
  }
};

// Killed while running with two laps (or ended with the Windows session, which kills it once it has answered) and
// started again 3 s later, Yes: the stopwatch runs on with the time it was gone counted, its laps back in the
// history window and the journal, whose next lap is the third.
TEST_P(MeasurementAfterAKill, YesGoesOnWithTheTimeGoneAndTheLaps) {
  const double started = test::NowMs();
  app::TypeChar(app_, ' ');
  const double typed = test::NowMs();
  ASSERT_NO_FATAL_FAILURE(TakeLaps(2));
  const std::vector<std::string> laps = JournalLaps();
  const double killed = test::NowMs();
  DWORD_PTR answer = 0;
  if (GetParam()) {
    ASSERT_TRUE(SendMessageTimeoutA(app_.Window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &answer));
  }
  ASSERT_NO_FATAL_FAILURE(KillAndRestart());
  ASSERT_TRUE(PollUntil([&] { return test::NowMs() - killed >= 3000; }, 5000));
  AnswerTheInterruption(IDYES);
  ASSERT_TRUE(app::KeepsChanging(app_)) << "running";
  EXPECT_GE(ExpectLapAtWallClockTime(3, started, typed), 3000) << "the time gone is counted";
  EXPECT_EQ(JournalLaps(), (std::vector<std::string>{laps[0], laps[1], JournalLaps().at(2)}));
  const HWND history = app::OpenDialogFromMenu(app_, 'u', "ラップタイム履歴画面");
  EXPECT_TRUE(PollUntil([&] { return SendDlgItemMessageA(history, IDC_LAP_HISTORY_LIST, LB_GETCOUNT, 0, 0) == 3; }));
  PostMessageA(app_.Window, WM_CLOSE, 0, 0);
  EXPECT_EQ(app::AnswerMessageBox(app_, IDNO).Text, "ラップタイムを保存しますか？") << "the laps are unsaved";
  ASSERT_EQ(WaitForSingleObject(app_.Process.hProcess, 10000), WAIT_OBJECT_0);
  EXPECT_FALSE(Exists("Tavrilo.run")) << "a normal exit ends the measurement";
}
INSTANTIATE_TEST_SUITE_P(KilledOrAtTheSessionsEnd, MeasurementAfterAKill, testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "SessionEnds" : "Killed"); });

// With "終了しても計測を続ける" ticked, a close asks nothing and the next start goes on without a question.
TEST_F(MeasurementAfterAKill, KeptAcrossANormalExitGoesOnWithoutAQuestion) {
  const HWND dialog = app::OpenDialogFromMenu(app_, 'w', "その他の設定");
  SendDlgItemMessageA(dialog, IDC_RESUME_AFTER_EXIT, BM_CLICK, 0, 0);
  ASSERT_TRUE(app::EndDialogWith(app_, dialog, IDOK));
  const double started = test::NowMs();
  app::TypeChar(app_, ' ');
  const double typed = test::NowMs();
  ASSERT_NO_FATAL_FAILURE(TakeLaps(1));
  ASSERT_TRUE(app::ChooseFromMenu(app_, 'x'));
  ASSERT_EQ(WaitForSingleObject(app_.Process.hProcess, 10000), WAIT_OBJECT_0) << "no question at the close";
  EXPECT_EQ(app::StoredSetting(app_, "Extra_Setting", "ResumeAfterExit"), "1");
  ASSERT_NO_FATAL_FAILURE(KillAndRestart());
  ASSERT_TRUE(app::KeepsChanging(app_)) << "running";
  EXPECT_EQ(app::FindAnyDialog(app_), nullptr) << "no question at the start";
  ExpectLapAtWallClockTime(2, started, typed);
}

}  // namespace
