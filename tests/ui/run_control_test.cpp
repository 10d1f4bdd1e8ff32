// Start, Stop and Reset on the real multimedia timer, the pairing of its calls, and the resolution table.
#include <gtest/gtest.h>
#include "app/commands.h"
#include "app/startup.h"
#include "laps/lap_list.h"
#include "settings/app_settings.h"
#include "support/case_names.h"
#include "support/engine_test.h"
#include "support/test_support.h"
#include "timing/mm_timer.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"
#include "timing/wake.h"

namespace {

class RunControl : public test::EngineTest {
 protected:
  HWND Window() const { return test::StandInMainWindow(); }
};

// The request that keeps the timer resolution out of sight on Windows 11.
TEST(TimerResolution, IsKeptOutOfSightWhereTheSystemTakesTheRequest) {
  static PROCESS_POWER_THROTTLING_STATE asked;
  const SetProcessInformationCall recorder = [](HANDLE process, PROCESS_INFORMATION_CLASS kind, LPVOID state,
                                                DWORD size) -> BOOL {
    if (process == GetCurrentProcess() && kind == ProcessPowerThrottling && size == sizeof asked) {
      asked = *static_cast<PROCESS_POWER_THROTTLING_STATE*>(state);
    }
    return TRUE;
  };
  EXPECT_TRUE(KeepTimerResolution(recorder));
  EXPECT_FALSE(KeepTimerResolution(nullptr)) << "a system without the call";
  EXPECT_TRUE(asked.Version == PROCESS_POWER_THROTTLING_CURRENT_VERSION &&
              asked.ControlMask == PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION && asked.StateMask == 0);
}

// Windows' restart after an update (Wine's call is a stub) starts the program again; a crash or a hang does not.
TEST(RestartAfterAnUpdate, IsAskedForWhereTheSystemHasTheCall) {
  static DWORD asked = 0;
  EXPECT_TRUE(RegisterRestart([](PCWSTR line, DWORD flags) { return asked = flags, line ? E_FAIL : S_OK; }));
  EXPECT_FALSE(RegisterRestart(nullptr)) << "a system without the call";
  EXPECT_EQ(asked, DWORD{RESTART_NO_CRASH | RESTART_NO_HANG});
}

struct ResolutionCase {
  int32_t Index;
  int32_t Millis;
  int32_t PerHalfMinute;
};

void PrintTo(const ResolutionCase& c, std::ostream* out) { *out << "Index" << c.Index; }

class Resolution : public RunControl, public ::testing::WithParamInterface<ResolutionCase> {};

TEST_P(Resolution, SetsBothModesFromItsRowOrFallsBackToOneSecond) {
  const ResolutionCase& c = GetParam();
  SelectStopwatchResolution(c.Index, Window());
  SelectTimerResolution(c.Index, Window());
  EXPECT_EQ(StopwatchClock.RefreshDivisor, c.Millis);
  EXPECT_EQ(StopwatchClock.RefreshesPerHalfMinute, c.PerHalfMinute);
  EXPECT_EQ(StopwatchClock.TimerStep, c.Millis);
  EXPECT_TRUE(test::TakeRepaintRequest(Window()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Resolution,
    ::testing::Values(ResolutionCase{0, 1000, 30}, ResolutionCase{1, 500, 60}, ResolutionCase{2, 250, 120},
                      ResolutionCase{3, 100, 300}, ResolutionCase{4, 60, 500}, ResolutionCase{5, 50, 600},
                      ResolutionCase{6, 30, 1000}, ResolutionCase{7, 25, 1200}, ResolutionCase{8, 20, 1500},
                      ResolutionCase{9, 10, 3000}, ResolutionCase{10, 5, 6000}, ResolutionCase{11, 1, 30000},
                      ResolutionCase{12, 1000, 30}, ResolutionCase{-5, 1000, 30}, ResolutionCase{-1, 1000, 30},
                      ResolutionCase{INT32_MAX, 1000, 30}),
    test::PrintedName);

TEST_F(RunControl, StartRaisesTheTimerResolutionWhileAFastReadOutIsShownAndStopGivesItBack) {
  test::TimerCallLog& log = test::InstallTimerCallLog();
  ASSERT_EQ(StartMeasurement(Window()), 1);
  EXPECT_EQ(log.BeginPeriods, std::vector<UINT>{1});
  EXPECT_EQ(StopwatchClock.StopwatchRunning, 1);
  EXPECT_EQ(StopwatchClock.StopwatchStarted, 1);
  EXPECT_TRUE(test::TakeRepaintRequest(Window()));
  EXPECT_EQ(StartMeasurement(Window()), 0) << "already running";

  ASSERT_TRUE(test::WaitUntil([] { return StopwatchClock.TotalTime.Ticks >= 30; }));
  StopMeasurement(Window());
  EXPECT_EQ(log.EndPeriods, std::vector<UINT>{1});
  EXPECT_EQ(ArmedWake(), NoWake);
  EXPECT_EQ(StopwatchClock.StopwatchRunning, 0);
  EXPECT_EQ(StopwatchClock.StopwatchStarted, 1);
  StopMeasurement(Window());
  EXPECT_EQ(log.EndPeriods.size(), 1u) << "stopping a stopped stopwatch must not end a period again";
}

TEST_F(RunControl, StopThenStartContinuesTheSameMeasurement) {
  ASSERT_EQ(StartMeasurement(Window()), 1);
  ASSERT_TRUE(test::WaitUntil([] { return StopwatchClock.TotalTime.Ticks >= 50; }));
  StopMeasurement(Window());
  const int32_t stopped = StopwatchClock.TotalTime.Ticks;
  Sleep(50);
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, stopped) << "no tick after Stop";
  ASSERT_EQ(StartMeasurement(Window()), 1);
  ASSERT_TRUE(test::WaitUntil([&] { return StopwatchClock.TotalTime.Ticks >= stopped + 30; }));
  StopMeasurement(Window());
  EXPECT_EQ(StopwatchClock.LapTime.Ticks, StopwatchClock.TotalTime.Ticks);
}

TEST_F(RunControl, ResetDoesNothingAtZeroOrWhileRunning) {
  EXPECT_EQ(ResetMeasurement(Window()), 0);
  EXPECT_FALSE(test::TakeRepaintRequest(Window())) << "reset at zero repaints nothing";

  StopwatchClock.StopwatchRunning = 1;
  StopwatchClock.StopwatchStarted = 1;
  StopwatchClock.TotalTime.Ticks = 500;
  EXPECT_EQ(ResetMeasurement(Window()), 0);
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, 500);
}

TEST_F(RunControl, ResetClearsEveryCounterAndTheLaps) {
  ASSERT_EQ(StartMeasurement(Window()), 1);
  RequestLap();
  ASSERT_TRUE(test::WaitUntil([] { return LapList.Count == 1 && StopwatchClock.TotalTime.Ticks > 40; }));
  StopMeasurement(Window());
  EXPECT_EQ(LapList.Unsaved, 1);
  test::TakeRepaintRequest(Window());

  // Unsaved laps: a last lap is recorded and the save question comes (answered No).
  const test::MessageBoxText box = test::AnswerMessageBoxDuring([this] { ResetStopwatch(Window()); }, IDNO);
  EXPECT_EQ(box.Text, "ラップタイムを保存しますか？");
  EXPECT_EQ(LapList.Count, 0);
  EXPECT_EQ(LapList.Records[0].Text[0], '\0');
  EXPECT_EQ(LapList.Unsaved, 0);
  EXPECT_EQ(StopwatchClock.StopwatchStarted, 0);
  for (const ClockTime* t : {&StopwatchClock.LapTime, &StopwatchClock.LapFrameTime, &StopwatchClock.TotalTime,
                             &StopwatchClock.TotalFrameTime}) {
    EXPECT_EQ(t->Ticks, 0);
    EXPECT_EQ(t->Seconds, 0);
    EXPECT_EQ(t->Millis, 0);
  }
  EXPECT_EQ(StopwatchClock.HourRefreshCount, 0);
  EXPECT_EQ(StopwatchClock.MinuteRefreshCount, 0);
  EXPECT_TRUE(test::TakeRepaintRequest(Window()));
}

TEST_F(RunControl, ALapAskedForJustBeforeStopIsTakenAtTheFirstBoundaryAfterTheNextStartOrByAResetsFinalLap) {
  test::RunStopwatchFor(15);
  RequestLap();
  StopMeasurement(Window());  // between boundaries
  ResetStopwatch(Window());   // nothing unsaved: the request survives
  EXPECT_TRUE(LapWaiting());
  ASSERT_EQ(StartMeasurement(Window()), 1);
  test::RunStopwatchFor(10);
  ASSERT_EQ(LapList.Count, 1);
  EXPECT_STREQ(LapList.Records[0].Text, "00:00:00.01,00:00:00.01");
  RequestLap();
  StopMeasurement(Window());
  ASSERT_TRUE(LapWaiting());
  test::AnswerMessageBoxDuring([this] { ResetStopwatch(Window()); }, IDNO);  // unsaved: a final lap takes its place
  EXPECT_FALSE(LapWaiting());
}

TEST_F(RunControl, TimerModeStartsStopsAndResetsTheCountdownAndLeavesTheStopwatchAlone) {
  AppSettings.Timer_Mode = 1;
  AppSettings.TimerSettingMinute = 5;
  StopwatchClock.StopwatchStarted = 1;
  StopwatchClock.TotalTime.Ticks = 777;
  EXPECT_EQ(ResetMeasurement(Window()), 1) << "a countdown never started is set again to its time";
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 300000);
  ASSERT_EQ(StartMeasurement(Window()), 1);
  EXPECT_EQ(StopwatchClock.TimerRunning, 1);
  EXPECT_EQ(StopwatchClock.StopwatchRunning, 0);
  EXPECT_EQ(ResetMeasurement(Window()), 0) << "no reset while counting down";
  StopMeasurement(Window());
  EXPECT_EQ(StopwatchClock.TimerRunning, 0);
  EXPECT_EQ(StopwatchClock.TimerStarted, 1);
  EXPECT_EQ(ResetMeasurement(Window()), 1);
  EXPECT_EQ(StopwatchClock.TimerStarted, 0);
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 300000);
  EXPECT_EQ(StopwatchClock.TotalTime.Ticks, 777);
  EXPECT_EQ(StopwatchClock.StopwatchStarted, 1);
}

}  // namespace
