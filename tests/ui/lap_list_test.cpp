// Lap records: their text, the 1000-lap limit, provisional laps, and the history window's list.
#include <gtest/gtest.h>
#include <string>
#include "laps/lap_history.h"
#include "laps/lap_list.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "support/engine_test.h"
#include "support/test_support.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"

namespace {

class Laps : public test::EngineTest {
 protected:
  // The real lap history window, owned by the stand-in main window.
  HWND OpenHistoryList() {
    OpenLapHistory(test::StandInMainWindow());
    history_ = LapList.LapHistoryWindow;
    return history_;
  }
  std::vector<std::string> HistoryLines() const {
    std::vector<std::string> lines;
    const LRESULT count = SendDlgItemMessageA(history_, IDC_LAP_HISTORY_LIST, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      char line[1024];
      SendDlgItemMessageA(history_, IDC_LAP_HISTORY_LIST, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
      lines.push_back(line);
    }
    return lines;
  }
  HWND history_ = nullptr;
};

TEST_F(Laps, EachRecordHoldsTheLapSinceThePreviousOneAndTheTotal) {
  test::RunStopwatchFor(1230);
  RecordLap();
  test::RunStopwatchFor(1000);
  RecordLap();
  ASSERT_EQ(LapList.Count, 2);
  EXPECT_STREQ(LapList.Records[0].Text, "00:00:01.23,00:00:01.23");
  EXPECT_STREQ(LapList.Records[1].Text, "00:00:01.00,00:00:02.23");
  EXPECT_EQ(LapList.Unsaved, 1);
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, 0);
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, 2230);
}

TEST_F(Laps, FrameRecordsShowFramesOrWholeSecondsAtOneSecond) {
  AppSettings.OneSecDivIndex = 1;
  SelectStopwatchResolution(0, nullptr);
  test::RunStopwatchFor(5000);
  RecordLap();
  EXPECT_STREQ(LapList.Records[0].Text, "00:00:05,00:00:05");

  test::ResetEngineState();
  AppSettings.OneSecDivIndex = 1;
  test::RunStopwatchFor(5510);
  RecordLap();
  EXPECT_STREQ(LapList.Records[0].Text, "00:00:05.12,00:00:05.12");
  AppSettings.OneSecDivIndex = 0;
}

TEST_F(Laps, TheThousandthLapIsTheLast) {
  for (int lap = 0; lap < MaxLaps + 5; ++lap) {
    test::RunStopwatchFor(10);
    RecordLap();
  }
  EXPECT_EQ(LapList.Count, MaxLaps);
  EXPECT_STREQ(LapList.Records[MaxLaps - 1].Text, "00:00:00.01,00:00:10.00");
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, 50) << "a refused lap restarts nothing";
}

TEST_F(Laps, AProvisionalLapRestartsNothingAndLeavesTheListSaved) {
  test::RunStopwatchFor(700);
  RecordProvisionalLap();
  ASSERT_EQ(LapList.Count, 1);
  EXPECT_STREQ(LapList.Records[0].Text, "00:00:00.70,00:00:00.70");
  EXPECT_EQ(LapList.Unsaved, 0);
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, 700);
}

TEST_F(Laps, TheHistoryWindowListsNewestFirstGetsEachNewLapOnTopAndIsEmptiedByClear) {
  test::RunStopwatchFor(50);
  RecordLap();
  OpenHistoryList();
  ASSERT_NE(history_, nullptr);
  EXPECT_EQ(HistoryLines(), std::vector<std::string>{"LAP 0001 : 00:00:00.05,00:00:00.05"});
  ClearLaps();
  test::RunStopwatchFor(100);
  RecordLap();
  test::RunStopwatchFor(200);
  RecordLap();
  EXPECT_EQ(HistoryLines(),
            (std::vector<std::string>{"LAP 0002 : 00:00:00.20,00:00:00.35", "LAP 0001 : 00:00:00.10,00:00:00.15"}));
  ClearLaps();
  EXPECT_TRUE(HistoryLines().empty());
  EXPECT_TRUE(IsWindow(history_));
  EXPECT_EQ(LapList.Count, 0);
  EXPECT_EQ(LapList.Unsaved, 1) << "ClearLaps leaves the unsaved mark to the reset";
}

TEST_F(Laps, ALapTakenByTheRunningTickReachesTheHistoryListOnTheWindowsThread) {
  OpenHistoryList();
  ASSERT_EQ(StartMeasurement(nullptr), 1);
  RequestLap();
  ASSERT_TRUE(test::WaitUntil([&] { return HistoryLines().size() == 1; }));
  StopMeasurement(nullptr);
  EXPECT_EQ(HistoryLines()[0], std::string("LAP 0001 : ") + LapList.Records[0].Text);
}

}  // namespace
