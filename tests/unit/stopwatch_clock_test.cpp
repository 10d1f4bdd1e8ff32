// The stopwatch's tick: counting, breakdowns at refresh boundaries, laps, the self-stops and repaint requests.
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include "display/time_text.h"
#include "laps/lap_list.h"
#include "settings/app_settings.h"
#include "support/engine_test.h"
#include "support/test_support.h"
#include "timing/frame_pacing.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"

namespace {

// Puts the measurement at the given lap and total tick counts, as if the ticks had been counted.
void SetElapsed(int32_t lapTicks, int32_t totalTicks) {
  StopwatchClock.RefreshTicks = lapTicks;
  StopwatchClock.LapTime.Ticks = lapTicks;
  StopwatchClock.LapFrameTime.Ticks = lapTicks;
  StopwatchClock.TotalTime.Ticks = totalTicks;
  StopwatchClock.TotalFrameTime.Ticks = totalTicks;
}

std::string LapText() {
  char text[TimeTextSize];
  FormatCurrentLapText(text, sizeof text);
  return text;
}

class StopwatchTick : public test::EngineTest {
 protected:
  HWND Window() const { return test::StandInMainWindow(); }
};

TEST_F(StopwatchTick, FramesCountWholeTwentyFourthsOfASecond) {
  SelectStopwatchResolution(11, nullptr);
  test::TickByHand(41);
  EXPECT_EQ(StopwatchClock.LapFrameTime.Frames, 0);
  test::TickByHand(1);  // 42 × 24 = 1008
  EXPECT_EQ(StopwatchClock.LapFrameTime.Frames, 1);
  test::TickByHand(958);
  EXPECT_EQ(LapText(), "00:00:01.000");
  EXPECT_EQ(StopwatchClock.LapFrameTime.Seconds, 1);
  EXPECT_EQ(StopwatchClock.LapFrameTime.Frames, 0);
}

TEST_F(StopwatchTick, OneHourReadsAsOneHourInBothBreakdowns) {
  SelectStopwatchResolution(11, nullptr);
  SetElapsed(3599999, 3599999);
  test::TickByHand();
  for (const ClockTime* t : {&StopwatchClock.LapTime, &StopwatchClock.LapFrameTime, &StopwatchClock.TotalTime,
                             &StopwatchClock.TotalFrameTime}) {
    EXPECT_EQ(t->Hours, 1);
    EXPECT_EQ(t->Minutes, 0);
    EXPECT_EQ(t->Seconds, 0);
  }
}

TEST_F(StopwatchTick, BreakdownsMoveOnlyInWholeStepsOfTheResolution) {
  SelectStopwatchResolution(0, nullptr);  // 1.000 s
  test::TickByHand(999);
  EXPECT_EQ(StopwatchClock.LapTime.Seconds, 0);
  test::TickByHand(1);
  EXPECT_EQ(StopwatchClock.LapTime.Seconds, 1);

  test::ResetEngineState();
  SelectStopwatchResolution(4, nullptr);  // 0.060 s
  for (int step = 1; step <= 3; ++step) {
    test::TickByHand(59);
    EXPECT_EQ(StopwatchClock.LapTime.Millis, 60 * (step - 1));
    test::TickByHand(1);
    EXPECT_EQ(StopwatchClock.LapTime.Millis, 60 * step);
  }

  test::ResetEngineState();
  test::TickByHand(1234);  // 0.010 s
  EXPECT_EQ(StopwatchClock.LapTime.Millis, 230);
  EXPECT_EQ(LapText(), "00:00:01.23");
}

TEST_F(StopwatchTick, StopsItselfAtExactlyOneHundredHoursOfLapTime) {
  test::TimerCallLog& log = test::InstallTimerCallLog();
  StopwatchClock.StopwatchRunning = 1;  // as if started; the test ticks by hand
  StopwatchClock.StopwatchStarted = 1;
  StopwatchClock.StopwatchTimerId = 4242;
  SetElapsed(HundredHoursTicks - 1, HundredHoursTicks - 1);
  test::TickByHand();
  EXPECT_EQ(StopwatchClock.StopwatchRunning, 0);
  EXPECT_EQ(StopwatchClock.StopwatchStarted, 1);
  EXPECT_EQ(StopwatchClock.StopwatchTimerId, 0u);
  ASSERT_FALSE(log.Killed().empty());
  EXPECT_EQ(log.Killed().back(), 4242u);
  EXPECT_EQ(log.EndPeriods().size(), 1u);
  EXPECT_EQ(LapText(), "100:00:00.00");

  // A later Start counts one more tick and stops again; the counters keep their values.
  ASSERT_EQ(StartMeasurement(nullptr), 1);
  ASSERT_TRUE(test::WaitUntil([&log] { return log.EndPeriods().size() == 2; }));  // the stop's last step
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, HundredHoursTicks + 1);
  EXPECT_EQ(StopwatchClock.StopwatchTimerId, 0u);
  EXPECT_EQ(log.BeginPeriods().size(), 1u);
  EXPECT_EQ(log.EndPeriods().size(), 2u);
}

TEST_F(StopwatchTick, TotalPassesOneHundredHoursWithLapsTakenAndFramesWrap) {
  SetElapsed(10 * 3600000 - 1, 123 * 3600000 - 1);
  test::TickByHand();
  EXPECT_EQ(StopwatchClock.TotalTime.Hours, 123);
  EXPECT_EQ(StopwatchClock.TotalFrameTime.Hours, 23);
  char total[TimeTextSize];
  FormatCurrentTotalText(total, sizeof total);
  EXPECT_STREQ(total, "123:00:00.00");
}

TEST_F(StopwatchTick, StopsBeforeTheThirtyTwoBitTotalWouldOverflow) {
  StopwatchClock.StopwatchRunning = 1;
  SetElapsed(10, TotalTicksLimit - 1);
  test::TickByHand();
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, TotalTicksLimit);
  EXPECT_EQ(StopwatchClock.StopwatchRunning, 0);
  EXPECT_TRUE(test::TakeRepaintRequest(Window())) << "the stop is shown though no refresh is due";
  char total[TimeTextSize];
  FormatCurrentTotalText(total, sizeof total);
  EXPECT_STREQ(total, "596:31:21.00");

  StopwatchClock.StopwatchRunning = 1;  // a later Start
  test::TickByHand(5);
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, TotalTicksLimit);
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, 11);
  EXPECT_EQ(StopwatchClock.StopwatchRunning, 0);
}

TEST_F(StopwatchTick, RecordsARequestedLapAtTheNextBoundaryAndRestartsTheRefreshCounters) {
  test::TickByHand(1234);  // 0.010 s
  StopwatchClock.LapRequest = 1;
  test::TickByHand(5);
  EXPECT_EQ(LapList.Count, 0);  // 1239 is no boundary
  test::TickByHand(1);
  ASSERT_EQ(LapList.Count, 1);
  EXPECT_STREQ(LapList.Records[0].Text, "00:00:01.24,00:00:01.24");
  EXPECT_EQ(StopwatchClock.LapRequest, 0);
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, 0);
  EXPECT_EQ(StopwatchClock.RefreshTicks, 0);
  EXPECT_EQ(StopwatchClock.HourRefreshCount, 1);
  EXPECT_EQ(StopwatchClock.MinuteRefreshCount, 1);
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, 1240);

  // An L that arrives while a lap is being recorded (the history window taking its line) is the next lap's.
  static bool lArrives;
  lArrives = true;
  const auto recordLap = RecordLapHook;
  RecordLapHook = [] {
    if (std::exchange(lArrives, false)) StopwatchClock.LapRequest = 1;
    RecordLap();
  };
  StopwatchClock.LapRequest = 1;
  test::TickByHand(20);
  RecordLapHook = recordLap;
  ASSERT_EQ(LapList.Count, 3);
  EXPECT_STREQ(LapList.Records[2].Text, "00:00:00.01,00:00:01.26");
}

TEST_F(StopwatchTick, DropsALapRequestWhenTheListIsFull) {
  LapList.Count = MaxLaps;
  StopwatchClock.LapRequest = 1;
  test::TickByHand(10);
  EXPECT_EQ(LapList.Count, MaxLaps);
  EXPECT_EQ(StopwatchClock.LapRequest, 0);
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, 10);
}

TEST_F(StopwatchTick, RefreshCountersWrapAtAMinuteAndAnHour) {
  SelectStopwatchResolution(0, nullptr);  // 1.000 s: 60 refreshes a minute, 3600 an hour
  SetElapsed(59 * 60000 + 59000 - 1, 0);
  StopwatchClock.MinuteRefreshCount = 58;
  StopwatchClock.HourRefreshCount = 3598;
  test::TickByHand();
  EXPECT_EQ(StopwatchClock.MinuteRefreshCount, 59);
  EXPECT_EQ(StopwatchClock.HourRefreshCount, 3599);
  test::TickByHand(1000);
  EXPECT_EQ(StopwatchClock.MinuteRefreshCount, 0);
  EXPECT_EQ(StopwatchClock.HourRefreshCount, 0);
}

// The milliseconds a millisecond breakdown stands for.
int32_t MillisOf(const ClockTime& t) { return ((t.Hours * 60 + t.Minutes) * 60 + t.Seconds) * 1000 + t.Millis; }

// A frame's reading on the user-interface thread is one moment the tick passed through on its own, never a mix.
TEST_F(StopwatchTick, EveryReadingIsOneMomentWhileTheTickBreaksTheTimesDown) {
  SelectStopwatchResolution(11, nullptr);  // every tick is a refresh boundary
  std::atomic<bool> done{false};
  std::thread timer([&done] {
    for (int tick = 0; tick < 30000; ++tick) {
      AdvanceTicks();
      std::this_thread::yield();  // room for readings between ticks, as the timer's millisecond leaves
    }
    done = true;
  });
  int readings = 0, mixed = 0;
  for (int32_t previous = 0; !done; ++readings) {
    const StopwatchReading r = ReadStopwatch();
    const int32_t lap = MillisOf(r.Lap);
    mixed += lap < previous || MillisOf(r.Total) != lap || r.MinuteRefreshCount != lap % 60000 ||
             r.LapFrames.Seconds != lap / 1000 % 60;
    previous = lap;
  }
  timer.join();
  EXPECT_EQ(mixed, 0) << "of " << readings << " readings";
  EXPECT_GT(readings, 1000);
}

TEST_F(StopwatchTick, AsksForARepaintAtEachBoundaryOnlyWhileTheStopwatchIsShown) {
  test::TickByHand(9);
  EXPECT_FALSE(test::TakeRepaintRequest(Window()));
  test::TickByHand(1);
  EXPECT_TRUE(test::TakeRepaintRequest(Window()));

  AppSettings.Timer_Mode = 1;
  StopwatchClock.LapRequest = 1;
  test::TickByHand(10);
  EXPECT_FALSE(test::TakeRepaintRequest(Window()));
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, 20);
  EXPECT_EQ(LapList.Count, 1);  // laps are still taken behind the timer display
}

TEST_F(StopwatchTick, RedrawHoldKeepsBack99RepaintsAtOneMillisecondOnly) {
  SelectStopwatchResolution(11, nullptr);
  ArmDialogRedrawHold();
  for (int boundary = 1; boundary <= 99; ++boundary) {
    test::TickByHand();
    ASSERT_FALSE(test::TakeRepaintRequest(Window())) << boundary;
  }
  test::TickByHand();
  EXPECT_TRUE(test::TakeRepaintRequest(Window()));
  EXPECT_EQ(StopwatchClock.DialogRedrawHoldLeft, 0);

  SelectStopwatchResolution(9, nullptr);
  SetElapsed(0, 0);
  ArmDialogRedrawHold();
  test::TickByHand(20);  // two boundaries, more than a frame
  EXPECT_TRUE(test::TakeRepaintRequest(Window()));
  EXPECT_EQ(StopwatchClock.DialogRedrawHoldLeft, DialogRedrawHoldLength - 2);
}

// Repaints are asked for at most once a display frame, every refresh is asked for by the end of the frame it
// falls in, and a lap is shown at once.
class RepaintPacing : public StopwatchTick, public ::testing::WithParamInterface<int32_t> {};

TEST_P(RepaintPacing, AsksAtMostOnceAFrameYetShowsEveryRefreshWithinAFrameAndALapAtOnce) {
  SelectStopwatchResolution(GetParam(), nullptr);
  const int32_t divisor = StopwatchClock.RefreshDivisor;
  const int32_t shortestFrame = 1000 / DisplayRefreshRate;         // whole milliseconds of a frame
  const int32_t longestFrame = (999 + DisplayRefreshRate) / DisplayRefreshRate;  // the same, rounded up
  int lastRequest = -longestFrame;
  int oldestUnshown = 0;  // tick of the oldest refresh not asked for yet; 0: none
  int requests = 0;
  for (int tick = 1; tick <= 3000; ++tick) {
    if (tick == 1500) StopwatchClock.LapRequest = 1;
    const int32_t laps = LapList.Count;
    test::TickByHand();
    if (tick % divisor == 0 && oldestUnshown == 0) oldestUnshown = tick;
    const bool requested = test::TakeRepaintRequest(Window());
    if (LapList.Count != laps) {
      ASSERT_TRUE(requested) << "the lap at tick " << tick;
    } else if (requested) {
      ASSERT_GE(tick - lastRequest, shortestFrame) << tick;
    }
    if (requested) {
      lastRequest = tick;
      oldestUnshown = 0;
      ++requests;
    }
    ASSERT_TRUE(oldestUnshown == 0 || tick - oldestUnshown < longestFrame) << tick;
  }
  EXPECT_GE(requests, 3000 / std::max(divisor, longestFrame)) << "no refresh is dropped";
}

INSTANTIATE_TEST_SUITE_P(StopwatchTick, RepaintPacing, ::testing::Values(11, 10, 9, 4, 0),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return "Resolution" + std::to_string(info.param);
                         });

}  // namespace
