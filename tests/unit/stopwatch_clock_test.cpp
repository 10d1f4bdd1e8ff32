// The stopwatch: time from the counter, breakdowns at refresh boundaries, laps, the self-stops, what wakes the
// program and what it shows, under every way a system's timer may keep its wakes.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>
#include "display/time_text.h"
#include "laps/lap_list.h"
#include "settings/app_settings.h"
#include "support/case_names.h"
#include "support/engine_test.h"
#include "support/test_support.h"
#include "timing/frame_pacing.h"
#include "timing/run_control.h"
#include "timing/perf_clock.h"
#include "timing/stopwatch_clock.h"
#include "timing/wake.h"

namespace {

// A running measurement at the given lap and total milliseconds, as if it had run that long.
void SetElapsed(int32_t lapMillis, int32_t totalMillis) {
  StartStopwatchRun(ReadCounter());
  StopwatchClock.StopwatchRun.Before = MillisToCounts(totalMillis);
  StopwatchClock.LapStart = totalMillis - lapMillis;
}

std::string LapText() {
  char text[TimeTextSize];
  FormatCurrentLapText(text, sizeof text);
  return text;
}

std::string TotalText() {
  char text[TimeTextSize];
  FormatCurrentTotalText(text, sizeof text);
  return text;
}

class StopwatchTick : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    test::HoldClock();
  }
  HWND Window() const { return test::StandInMainWindow(); }
  // A new measurement from zero within a test.
  static void Restart() {
    test::ResetEngineState();
    test::HoldClock();
  }
};

TEST_F(StopwatchTick, FramesCountWholeTwentyFourthsOfASecond) {
  SelectStopwatchResolution(11, nullptr);
  test::RunStopwatchFor(41);
  EXPECT_EQ(StopwatchClock.LapFrameTime.Frames, 0);
  test::RunStopwatchFor(1);  // 42 × 24 = 1008
  EXPECT_EQ(StopwatchClock.LapFrameTime.Frames, 1);
  test::RunStopwatchFor(958);
  EXPECT_EQ(LapText(), "00:00:01.000");
  EXPECT_EQ(StopwatchClock.LapFrameTime.Seconds, 1);
  EXPECT_EQ(StopwatchClock.LapFrameTime.Frames, 0);
}

TEST_F(StopwatchTick, OneHourReadsAsOneHourInBothBreakdowns) {
  SelectStopwatchResolution(11, nullptr);
  SetElapsed(3599999, 3599999);
  const ClockTime* const times[] = {&StopwatchClock.LapTime, &StopwatchClock.LapFrameTime, &StopwatchClock.TotalTime,
                                    &StopwatchClock.TotalFrameTime};
  test::RunStopwatchFor(0);
  for (const ClockTime* t : times) EXPECT_EQ(t->Hours * 10000 + t->Minutes * 100 + t->Seconds, 5959);
  test::RunStopwatchFor(1);
  for (const ClockTime* t : times) EXPECT_EQ(t->Hours * 10000 + t->Minutes * 100 + t->Seconds, 10000);
}

TEST_F(StopwatchTick, BreakdownsMoveOnlyInWholeStepsOfTheResolution) {
  SelectStopwatchResolution(0, nullptr);  // 1.000 s
  test::RunStopwatchFor(999);
  EXPECT_EQ(StopwatchClock.LapTime.Seconds, 0);
  test::RunStopwatchFor(1);
  EXPECT_EQ(StopwatchClock.LapTime.Seconds, 1);

  Restart();
  SelectStopwatchResolution(4, nullptr);  // 0.060 s
  for (int step = 1; step <= 3; ++step) {
    test::RunStopwatchFor(59);
    EXPECT_EQ(StopwatchClock.LapTime.Millis, 60 * (step - 1));
    test::RunStopwatchFor(1);
    EXPECT_EQ(StopwatchClock.LapTime.Millis, 60 * step);
  }

  Restart();
  test::RunStopwatchFor(1234);  // 0.010 s
  EXPECT_EQ(StopwatchClock.LapTime.Millis, 230);
  EXPECT_EQ(LapText(), "00:00:01.23");
}

TEST_F(StopwatchTick, StopsItselfAtExactlyOneHundredHoursOfLapTimeHoweverLateItLearnsOfIt) {
  SetElapsed(HundredHoursTicks - 1, HundredHoursTicks - 1);
  test::RunStopwatchFor(250);
  EXPECT_EQ(StopwatchClock.StopwatchRunning, 0);
  EXPECT_EQ(StopwatchClock.StopwatchStarted, 1);
  EXPECT_EQ(LapText(), "100:00:00.00");
  EXPECT_EQ(ArmedWake(), NoWake);

  // A later Start stops again at once; the times keep their values.
  ASSERT_EQ(StartMeasurement(nullptr), 1);
  test::RunStopwatchFor(5);
  EXPECT_EQ(StopwatchClock.StopwatchRunning, 0);
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, HundredHoursTicks);
}

TEST_F(StopwatchTick, TotalPassesOneHundredHoursWithLapsTakenAndFramesWrap) {
  SetElapsed(10 * 3600000 - 1, 123 * 3600000 - 1);
  test::RunStopwatchFor(1);
  EXPECT_EQ(StopwatchClock.TotalTime.Hours, 123);
  EXPECT_EQ(StopwatchClock.TotalFrameTime.Hours, 23);
  char total[TimeTextSize];
  FormatCurrentTotalText(total, sizeof total);
  EXPECT_STREQ(total, "123:00:00.00");
}

TEST_F(StopwatchTick, StopsBeforeTheThirtyTwoBitTotalWouldOverflow) {
  SetElapsed(10, TotalTicksLimit - 1);
  test::RunStopwatchFor(1);
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, TotalTicksLimit);
  EXPECT_EQ(StopwatchClock.StopwatchRunning, 0);
  EXPECT_TRUE(test::TakeRepaintRequest(Window())) << "the stop is shown though no refresh is due";
  char total[TimeTextSize];
  FormatCurrentTotalText(total, sizeof total);
  EXPECT_STREQ(total, "596:31:21.00");

  ASSERT_EQ(StartMeasurement(nullptr), 1);
  test::RunStopwatchFor(5);
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, TotalTicksLimit);
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, 11);
  EXPECT_EQ(StopwatchClock.StopwatchRunning, 0);
}

// A measurement that ran to a limit in one run, with no laps (100 hours of lap) or with six (the total's limit):
// Start then stops again at once, and no time goes back, however long it is left.
TEST_F(StopwatchTick, AfterStoppingItselfAtALimitEveryStartStopsAtOnceAndNoTimeGoesBack) {
  for (const int laps : {0, 6}) {
    Restart();
    for (int lap = 0; lap < laps; ++lap) {
      test::RunStopwatchFor(99 * 3600000.0);
      RequestLap();
    }
    test::RunStopwatchFor(200 * 3600000.0);
    ASSERT_EQ(StopwatchClock.StopwatchRunning, 0) << laps;
    const std::string stopped = LapText() + "," + TotalText();
    EXPECT_EQ(stopped, laps ? "02:31:20.99,596:31:21.00" : "100:00:00.00,100:00:00.00");
    for (int start = 0; start < 2; ++start) {
      ASSERT_EQ(StartMeasurement(nullptr), 1);
      EXPECT_EQ(StopwatchClock.StopwatchRunning, 0) << laps;
      EXPECT_EQ(LapText() + "," + TotalText(), stopped) << laps;
      test::MoveClock(5000);
      ServiceMeasurements();
    }
    EXPECT_EQ(LapList.Count, laps);
  }
}

// Stop then Start loses nothing: the part of a refresh step run before each Stop is kept.
TEST_F(StopwatchTick, StopThenStartKeepsThePartOfAStepRunBeforeEachStop) {
  for (const int32_t index : {0, 9}) {  // 1.000 s, 0.010 s
    Restart();
    SelectStopwatchResolution(index, nullptr);
    const int32_t step = StopwatchClock.RefreshDivisor;
    for (int run = 0; run < 5; ++run) {
      StartMeasurement(nullptr);
      test::MoveClock(step * 0.7);
      StopMeasurement(nullptr);
    }
    EXPECT_EQ(StopwatchClock.TotalTime.Ticks, 3 * step) << "3.5 steps";
    StartMeasurement(nullptr);
    test::MoveClock(step * 0.5);
    ServiceMeasurements();
    EXPECT_EQ(StopwatchClock.TotalTime.Ticks, 4 * step);
    EXPECT_EQ(StopwatchClock.LapTime.Ticks, 4 * step);
  }
}

TEST_F(StopwatchTick, RecordsARequestedLapAtTheNextBoundaryAndRestartsTheRefreshCounters) {
  test::RunStopwatchFor(1234);  // 0.010 s
  RequestLap();
  test::RunStopwatchFor(5);
  EXPECT_EQ(LapList.Count, 0);  // 1239 is no boundary
  test::RunStopwatchFor(1);
  ASSERT_EQ(LapList.Count, 1);
  EXPECT_STREQ(LapList.Records[0].Text, "00:00:01.24,00:00:01.24");
  EXPECT_FALSE(LapWaiting());
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, 0);
  EXPECT_EQ(StopwatchClock.HourRefreshCount, 1);
  EXPECT_EQ(StopwatchClock.MinuteRefreshCount, 1);
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, 1240);

  // An L that arrives while a lap is being recorded (the history window taking its line) is the next lap's.
  static bool lArrives;
  lArrives = true;
  const auto recordLap = RecordLapHook;
  RecordLapHook = [] {
    if (std::exchange(lArrives, false)) RequestLap();
    RecordLap();
  };
  RequestLap();
  test::RunStopwatchFor(10);
  test::RunStopwatchFor(10);
  RecordLapHook = recordLap;
  ASSERT_EQ(LapList.Count, 3);
  EXPECT_STREQ(LapList.Records[2].Text, "00:00:00.01,00:00:01.26");
}

TEST_F(StopwatchTick, DropsALapRequestWhenTheListIsFull) {
  LapList.Count = MaxLaps;
  test::RunStopwatchFor(0);
  RequestLap();
  test::RunStopwatchFor(10);
  EXPECT_EQ(LapList.Count, MaxLaps);
  EXPECT_FALSE(LapWaiting());
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, 10);
}

TEST_F(StopwatchTick, RefreshCountersWrapAtAMinuteAndAnHour) {
  SelectStopwatchResolution(0, nullptr);  // 1.000 s: 60 refreshes a minute, 3600 an hour
  SetElapsed(59 * 60000 + 59000 - 1, 59 * 60000 + 59000 - 1);
  test::RunStopwatchFor(1);
  EXPECT_EQ(StopwatchClock.MinuteRefreshCount, 59);
  EXPECT_EQ(StopwatchClock.HourRefreshCount, 3599);
  test::RunStopwatchFor(1000);
  EXPECT_EQ(StopwatchClock.MinuteRefreshCount, 0);
  EXPECT_EQ(StopwatchClock.HourRefreshCount, 0);
}

TEST_F(StopwatchTick, AsksForARepaintAtEachBoundaryOnlyWhileTheStopwatchIsShown) {
  test::RunStopwatchFor(9);
  EXPECT_FALSE(test::TakeRepaintRequest(Window()));
  test::RunStopwatchFor(1);
  EXPECT_TRUE(test::TakeRepaintRequest(Window()));

  AppSettings.Timer_Mode = 1;
  RequestLap();
  test::RunStopwatchFor(10);
  EXPECT_FALSE(test::TakeRepaintRequest(Window()));
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, 20);
  EXPECT_EQ(LapList.Count, 1);  // laps are still taken behind the timer display
}

TEST_F(StopwatchTick, RedrawHoldKeepsBack99RepaintsAtOneMillisecondOnly) {
  SelectStopwatchResolution(11, nullptr);
  ArmDialogRedrawHold();
  for (int boundary = 1; boundary <= 99; ++boundary) {
    test::RunStopwatchFor(1);
    ASSERT_FALSE(test::TakeRepaintRequest(Window())) << boundary;
  }
  test::RunStopwatchFor(1);
  EXPECT_TRUE(test::TakeRepaintRequest(Window()));
  EXPECT_EQ(StopwatchClock.DialogRedrawHoldLeft, 0);

  ArmDialogRedrawHold();
  RequestLap();
  test::RunStopwatchFor(1);
  EXPECT_TRUE(test::TakeRepaintRequest(Window())) << "a lap shows through the hold";

  Restart();
  ArmDialogRedrawHold();
  test::RunStopwatchFor(20);  // two boundaries, more than a frame
  EXPECT_TRUE(test::TakeRepaintRequest(Window()));
  EXPECT_EQ(StopwatchClock.DialogRedrawHoldLeft, DialogRedrawHoldLength - 2);
}

// One measurement under every timer behaviour: laps asked for in view, while stopped, behind a stall and while
// minimised, a Stop, a second run and the 100-hour limit. Only when the program shows things may differ; every
// time it records is exact.
class UnderTimerBehaviour : public StopwatchTick, public ::testing::WithParamInterface<test::TimerBehaviour> {};

TEST_P(UnderTimerBehaviour, EveryLapStopAndLimitIsExact) {
  std::vector<std::string> stopped;
  const auto stop = [&stopped] {
    StopMeasurement(nullptr);
    stopped.push_back(LapText() + "," + TotalText());
  };
  const auto start = [] { StartMeasurement(nullptr); };
  const auto minimise = [] {
    FramePacing.WindowMinimized = 1;
    ServiceMeasurements();
  };
  // The second run starts at 2500 ms with 2000.7 ms measured: measured = clock - 499.3.
  const double limit = 2610 + HundredHoursTicks + 499.3;
  test::PlayWithWakes(GetParam(), {{0, start}, {1234.5, RequestLap}, {1500.2, RequestLap}, {2000.7, stop},
                                   {2500, start}, {2600.3, RequestLap}, {3000, minimise}, {3100.9, RequestLap},
                                   {limit + 1000, [] {}}},
                      limit + 2000);
  std::string laps;
  for (int lap = 0; lap < LapList.Count; ++lap) laps += std::string(LapList.Records[lap].Text) + " ";
  ASSERT_EQ(LapList.Count, 4) << laps;
  EXPECT_STREQ(LapList.Records[0].Text, "00:00:01.24,00:00:01.24");
  EXPECT_STREQ(LapList.Records[1].Text, "00:00:00.27,00:00:01.51");
  EXPECT_STREQ(LapList.Records[2].Text, "00:00:00.60,00:00:02.11");
  EXPECT_STREQ(LapList.Records[3].Text, "00:00:00.50,00:00:02.61");
  EXPECT_EQ(stopped, std::vector<std::string>{"00:00:00.49,00:00:02.00"});
  EXPECT_EQ(StopwatchClock.StopwatchRunning, 0) << "stopped at the limit";
  EXPECT_EQ(LapText() + "," + TotalText(), "100:00:00.00,100:00:02.61");
}

INSTANTIATE_TEST_SUITE_P(StopwatchTick, UnderTimerBehaviour, ::testing::ValuesIn(test::TimerBehaviours), test::RowName);

// In view the program wakes once a refresh step or once a display frame, whichever is longer (after the first,
// which may come sooner), and each wake shows the last boundary reached; minimised it wakes only for a waiting lap and the limit. The timer resolution is
// raised only while a read-out in view changes more often than once a second.
class Wakes : public StopwatchTick, public ::testing::WithParamInterface<int32_t> {};

TEST_P(Wakes, ComeOnceAStepOrAFrameInViewAndOnlyWhenDueOutOfView) {
  test::TimerCallLog& log = test::InstallTimerCallLog();
  SelectStopwatchResolution(GetParam(), nullptr);
  const int32_t step = StopwatchClock.RefreshDivisor;
  const double frame = 1000.0 / FramePacing.RefreshRate;
  StartMeasurement(nullptr);
  int wakes = 0;
  for (double previous = -1000; test::ClockMillis() < 3000; ++wakes) {
    const double due = test::ArmedWakeMillis();
    ASSERT_GE(due - previous, std::min<double>(std::max<double>(step, frame), 1000) - 0.001) << due;
    test::MoveClockTo(due);
    ServiceMeasurements();
    ASSERT_EQ(StopwatchClock.TotalTime.Ticks, static_cast<int32_t>(due) / step * step) << due;
    previous = due;
  }
  EXPECT_GE(wakes, static_cast<int>(3000 / std::max<double>(step, frame + 1)));
  EXPECT_EQ(log.BeginPeriods.size(), step < 1000 ? 1u : 0u);

  FramePacing.WindowMinimized = 1;
  ServiceMeasurements();
  EXPECT_EQ(log.EndPeriods.size(), log.BeginPeriods.size()) << "no raised resolution out of view";
  EXPECT_EQ(test::ArmedWakeMillis(), HundredHoursTicks) << "only the limit is due";
  RequestLap();
  EXPECT_EQ(test::ArmedWakeMillis(), (static_cast<int32_t>(test::ClockMillis()) / step + 1) * step);
}

INSTANTIATE_TEST_SUITE_P(StopwatchTick, Wakes, ::testing::Values(11, 9, 4, 0),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return "Resolution" + std::to_string(info.param);
                         });

// Counts and milliseconds convert exactly at any counter frequency, far beyond any measurement's length.
TEST(CounterConversion, IsExactAtEveryFrequencyWithoutOverflow) {
  for (const int64_t frequency : {int64_t{1000}, int64_t{3579545}, int64_t{10000000}, int64_t{2400000000}}) {
    test::HoldClock(frequency);
    for (const int64_t millis : {int64_t{0}, int64_t{1}, int64_t{999}, int64_t{1020}, int64_t{TotalTicksLimit},
                                 int64_t{1} << 40}) {
      const int64_t counts = MillisToCounts(millis);
      EXPECT_EQ(CountsToMillis(counts), millis) << frequency << " Hz, " << millis << " ms";
      if (millis > 0) {
        EXPECT_EQ(CountsToMillis(counts - 1), millis - 1) << frequency << " Hz, " << millis << " ms";
      }
    }
  }
  test::ResetEngineState();
}

// A wake's delay is rounded up to whole milliseconds, within the window timer's bounds (10 MHz: 10000 counts a ms).
TEST(WakeDelay, IsRoundedUpWithinTheWindowTimersBounds) {
  test::HoldClock();
  for (const auto& [counts, millis] : {std::pair<int64_t, UINT>{-5, USER_TIMER_MINIMUM}, {0, USER_TIMER_MINIMUM},
                                       {150000, 15}, {150001, 16}, {int64_t{1} << 60, USER_TIMER_MAXIMUM}}) {
    EXPECT_EQ(DelayMillis(1000, 1000 + counts), millis) << counts;
  }
  test::ResetEngineState();
}

// A display that reports 0 or 1 Hz has an unknown rate; one above 1000 Hz is paced as 1000 Hz.
TEST(FramePacing, TakesTheReportedRefreshRateUpTo1000Hertz) {
  for (const auto& [reported, used] : {std::pair{0, 60}, {1, 60}, {2, 2}, {144, 144}, {1000, 1000}, {1001, 1000}}) {
    EXPECT_EQ(UsableRefreshRate(reported), used) << reported;
  }
}

}  // namespace
