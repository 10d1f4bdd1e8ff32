// The countdown: loading the set time, steps from the counter, expiry and the alarm hand-over, on the held clock
// under every timer behaviour and on the real one.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "alarm/alarm_sound.h"
#include "app/commands.h"
#include "app/startup.h"
#include "display/time_text.h"
#include "records/command_ids.h"
#include "settings/app_settings.h"
#include "support/case_names.h"
#include "support/engine_test.h"
#include "support/test_support.h"
#include "timing/countdown.h"
#include "timing/frame_pacing.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"
#include "timing/perf_clock.h"
#include "timing/wake.h"

namespace {

class Countdown : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    test::HoldClock();
  }
  HWND Window() const { return test::StandInMainWindow(); }

  static void SetTime(int32_t h, int32_t m, int32_t s) {
    AppSettings.TimerSettingHour = h;
    AppSettings.TimerSettingMinute = m;
    AppSettings.TimerSettingSecond = s;
  }
  // One step of the held clock, then a wake; a countdown that is not running is started first.
  static void Step() {
    if (!StopwatchClock.TimerRunning) StartCountdownRun(ReadCounter());
    test::MoveClock(StopwatchClock.TimerStep);
    ServiceMeasurements();
  }
  // Loads the set time and takes steps until expiry; returns the number of steps.
  int StepsUntilExpiry(int limit) {
    LoadCountdown(Window());
    for (int n = 1; n <= limit; ++n) {
      Step();
      if (StopwatchClock.TimerExpired) return n;
    }
    return -1;
  }
  static std::string RemainingText() {
    char text[TimeTextSize];
    FormatCountdownTime(StopwatchClock.TimerStep, StopwatchClock.TimerRemaining, text, sizeof text);
    return text;
  }
  // A new countdown of `seconds` at the resolution of `index`, on a fresh engine.
  void Restart(int32_t seconds, int32_t index) {
    test::ResetEngineState();
    test::HoldClock();
    SetTime(0, 0, seconds);
    SelectTimerResolution(index, nullptr);
    LoadCountdown(Window());
  }
};

TEST_F(Countdown, ExpiresAfterTheSetTimeInWholeSteps) {
  SetTime(0, 5, 0);
  SelectTimerResolution(0, nullptr);
  EXPECT_EQ(StepsUntilExpiry(1000), 300);

  StopwatchClock.TimerExpired = 0;
  SetTime(0, 0, 1);
  SelectTimerResolution(4, nullptr);  // 0.060 s: the 17th step overshoots to 1020 ms and is clamped
  EXPECT_EQ(StepsUntilExpiry(1000), 17);
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 0);

  StopwatchClock.TimerExpired = 0;
  SetTime(0, 0, 0);
  LoadCountdown(Window());
  StartCountdownRun(ReadCounter());
  ServiceMeasurements();
  EXPECT_EQ(test::ArmedWakeMillis() - test::ClockMillis(), 60) << "a countdown of zero still runs a step";
  EXPECT_EQ(StepsUntilExpiry(10), 1);
  EXPECT_EQ(StopwatchClock.TimerRunning, 0);
  EXPECT_EQ(ArmedWake(), NoWake);
}

TEST_F(Countdown, ShowsTheRemainingTimeWithTheDecimalsOfItsOwnResolution) {
  SetTime(1, 2, 3);
  SelectTimerResolution(2, nullptr);  // 0.250 s
  LoadCountdown(Window());
  EXPECT_EQ(RemainingText(), "01:02:03.00");
  Step();
  EXPECT_EQ(RemainingText(), "01:02:02.75");

  // Past zero every field after the minus sign is that of the time's size.
  Restart(1, 9);  // 0.010 s
  AppSettings.TimerOvertime = 1;
  StartCountdownRun(ReadCounter());
  test::MoveClock(2230);
  ServiceMeasurements();
  EXPECT_EQ(RemainingText(), "-00:00:01.23");
}

TEST_F(Countdown, ClampsSetTimesBeyondThirtyTwoBitsAndBelowZero) {
  EXPECT_EQ(CountdownTicksFor(596, 31, 23), MaxCountdownTicks);
  EXPECT_EQ(CountdownTicksFor(597, 0, 0), MaxCountdownTicks);
  EXPECT_EQ(CountdownTicksFor(INT32_MAX, INT32_MAX, INT32_MAX), MaxCountdownTicks);
  EXPECT_EQ(CountdownTicksFor(0, 75, 0), 75 * 60000);
  EXPECT_EQ(CountdownTicksFor(0, -5, 0), 0);
  EXPECT_EQ(CountdownTicksFor(INT32_MIN, 0, 0), 0);
  EXPECT_EQ(CountdownTicksFor(-1, 120, 0), 3600000);

  SetTime(INT32_MAX, 0, 0);
  LoadCountdown(Window());
  EXPECT_EQ(RemainingText(), "96:31:23");  // hours are shown modulo 100
}

TEST_F(Countdown, DoesNotMistakeOneHundredHoursLeftForZero) {
  SetTime(100, 0, 1);
  EXPECT_EQ(StepsUntilExpiry(1), -1);
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 360000000);
  EXPECT_EQ(StopwatchClock.TimerExpired, 0);
}

TEST_F(Countdown, RepaintsOnlyWhileTheTimerDisplayIsShownAtMostOnceAFrameAndItsEndAtOnce) {
  SetTime(0, 5, 0);
  LoadCountdown(Window());
  test::TakeRepaintRequest(Window());
  Step();
  EXPECT_FALSE(test::TakeRepaintRequest(Window()));
  AppSettings.Timer_Mode = 1;
  Step();
  EXPECT_TRUE(test::TakeRepaintRequest(Window()));

  SetTime(0, 0, 1);
  SelectTimerResolution(11, nullptr);  // a step every millisecond
  LoadCountdown(Window());
  test::TakeRepaintRequest(Window());
  StartMeasurement(nullptr);
  EXPECT_FALSE(test::TakeRepaintRequest(Window())) << "nothing changes before the first step";
  int requests = 0;
  const double until = test::ClockMillis() + 2000;
  while (!StopwatchClock.TimerExpired && test::ArmedWakeMillis() < until) {
    requests += test::TakeRepaintRequest(Window());
    test::MoveClockTo(test::ArmedWakeMillis());
    ServiceMeasurements();
  }
  // The program wakes once a frame: 60 in a second at 60 Hz.
  EXPECT_LE(requests, FramePacing.RefreshRate + 1);
  EXPECT_GE(requests, FramePacing.RefreshRate - 2);
  EXPECT_EQ(StopwatchClock.TimerExpired, 1);
  EXPECT_TRUE(test::TakeRepaintRequest(Window())) << "the end is shown at once";
}

TEST_F(Countdown, HandsTheAlarmToTheMainWindowAtExpiry) {
  SetTime(0, 0, 1);
  lstrcpyA(AppSettings.TimerAlarmSoundFile, "C:\\sounds\\beep.wav");
  EXPECT_EQ(StepsUntilExpiry(2), 1);
  EXPECT_EQ(test::ReceivedCommands(), std::vector<int>{IDM_TIMER_ALARM__SOUND_START});
  EXPECT_STREQ(AlarmSound.PlayPath, "C:\\sounds\\beep.wav");

  test::ForgetReceivedCommands();
  StopwatchClock.TimerExpired = 0;
  AlarmSound.Active = 1;  // an earlier alarm still sounds: it is stopped first
  EXPECT_EQ(StepsUntilExpiry(2), 1);
  EXPECT_EQ(test::ReceivedCommands(),
            (std::vector<int>{IDM_TIMER_ALARM__SOUND_STOP, IDM_TIMER_ALARM__SOUND_START}));

  test::ForgetReceivedCommands();
  StopwatchClock.TimerExpired = 0;
  AppSettings.TimerAlarmSoundFile[0] = '\0';
  EXPECT_EQ(StepsUntilExpiry(2), 1);
  EXPECT_TRUE(test::ReceivedCommands().empty()) << "no alarm file: the countdown ends in silence";
}

TEST_F(Countdown, StartRefusesAnExpiredCountdownAndResetReloadsTheSetTime) {
  SetTime(0, 0, 2);
  EXPECT_EQ(StepsUntilExpiry(10), 2);
  AppSettings.Timer_Mode = 1;
  EXPECT_EQ(StartMeasurement(Window()), 0);
  EXPECT_EQ(StopwatchClock.TimerRunning, 0);
  EXPECT_EQ(ResetMeasurement(Window()), 1);
  EXPECT_EQ(StopwatchClock.TimerExpired, 0);
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 2000);
  EXPECT_EQ(StopwatchClock.TimerStarted, 0);

  // With overtime on it counts on past zero in its steps up to 99:59:59, where it halts and Start is refused; the
  // alarm is handed over once.
  static int expiries = 0;
  const auto handOver = CountdownExpiryHook;
  CountdownExpiryHook = [] { ++expiries; };
  AppSettings.TimerOvertime = 1;
  EXPECT_EQ(StepsUntilExpiry(10), 2);
  Step();
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, -1000);
  StopMeasurement(Window());
  EXPECT_EQ(StartMeasurement(Window()), 1) << "a Stop in overtime, then Start, counts on";
  CountdownExpiryHook = handOver;
  EXPECT_EQ(expiries, 1);
  test::MoveClock(100.0 * 3600 * 1000);
  ServiceMeasurements();
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, -MaxOvertimeTicks);
  EXPECT_EQ(StopwatchClock.TimerRunning, 0);
  EXPECT_EQ(StartMeasurement(Window()), 0);
}

// Minimised, the caption shows a time only while the measurement on display runs: the name comes back at a Stop,
// at the stopwatch's limit and at a countdown's end without overtime, and stays while nothing runs.
TEST_F(Countdown, TheMinimisedCaptionShowsATimeOnlyWhileWhatIsOnDisplayRuns) {
  const auto caption = [this](double millis) {
    test::MoveClock(millis);
    ServiceMeasurements();
    return test::WindowText(Window());
  };
  AppSettings.CaptionTimeWhenMinimized = 1;
  FramePacing.WindowMinimized = 1;
  StartMeasurement(nullptr);
  EXPECT_EQ(caption(1000), "00:00:01 - Tavrilo");
  StopMeasurement(nullptr);
  EXPECT_EQ(caption(0), "Tavrilo");
  EXPECT_EQ(caption(2000), "Tavrilo");
  StartMeasurement(nullptr);
  EXPECT_EQ(caption(0), "00:00:01 - Tavrilo");
  EXPECT_EQ(caption(100.0 * 3600 * 1000), "Tavrilo") << "stopped at the limit";

  AppSettings.Timer_Mode = 1;
  SetTime(0, 0, 2);
  LoadCountdown(Window());
  EXPECT_EQ(caption(0), "Tavrilo");
  StartMeasurement(nullptr);
  EXPECT_EQ(caption(1000), "00:00:01 - Tavrilo");
  EXPECT_EQ(caption(1000), "Tavrilo") << "ended";
}

// Minimised with the time in the caption, the program wakes at the step or refresh that shows the next whole
// second, counting down, past zero and on the stopwatch, and at the countdown's end.
TEST_F(Countdown, MinimisedItWakesForTheCaptionAtTheStepThatShowsTheNextSecond) {
  struct Row {
    int32_t Mode, Seconds, Resolution;
    std::vector<double> Wakes;
  };
  for (const Row& row : {Row{1, 300, 9, {10, 1010, 2010, 3010}}, Row{1, 1, 1, {500, 1000, 1500, 2000, 3000}},
                         Row{0, 1000, 9, {1000, 2000, 3000}}}) {
    Restart(row.Seconds, row.Resolution);
    SelectStopwatchResolution(row.Resolution, nullptr);
    AppSettings.TimerOvertime = 1;
    AppSettings.Timer_Mode = row.Mode;
    AppSettings.CaptionTimeWhenMinimized = 1;
    FramePacing.WindowMinimized = 1;
    if (!row.Mode) StopwatchClock.StopwatchRun.Before = MillisToCounts(row.Seconds * 1000);  // an earlier run's
    StartMeasurement(nullptr);
    std::vector<double> wakes;
    while (wakes.size() < row.Wakes.size()) {
      wakes.push_back(test::ArmedWakeMillis());
      test::MoveClockTo(wakes.back());
      ServiceMeasurements();
    }
    EXPECT_EQ(wakes, row.Wakes) << row.Seconds << " s, " << row.Resolution;
  }
}

TEST_F(Countdown, RunsOnTheRealClockAndPausesWhereItStopped) {
  test::ResetEngineState();
  SetTime(0, 5, 0);
  SelectTimerResolution(5, nullptr);  // 0.050 s
  AppSettings.Timer_Mode = 1;
  LoadCountdown(Window());
  ASSERT_EQ(StartMeasurement(Window()), 1);
  ASSERT_TRUE(test::WaitUntil([] { return StopwatchClock.TimerRemaining.Ticks <= 300000 - 150; }));
  StopMeasurement(Window());
  const int32_t paused = StopwatchClock.TimerRemaining.Ticks;
  EXPECT_EQ(paused % 50, 0);
  EXPECT_EQ(ArmedWake(), NoWake);
  Sleep(120);
  test::WaitUntil([] { return false; }, 20);
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, paused);
  ASSERT_EQ(StartMeasurement(Window()), 1);
  ASSERT_TRUE(test::WaitUntil([&] { return StopwatchClock.TimerRemaining.Ticks < paused; }));
  StopMeasurement(Window());
  LoadCountdown(Window());
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 300000);
  EXPECT_EQ(StopwatchClock.TimerStarted, 0);
}

// The same countdown under every timer behaviour: paused, continued a whole step after its Start, and ended at
// its exact step whether shown or behind the stopwatch; only when the program learns of the end may differ.
class CountdownUnderTimerBehaviour : public Countdown,
                                     public ::testing::WithParamInterface<test::TimerBehaviour> {};

TEST_P(CountdownUnderTimerBehaviour, StepsAndEndsExactly) {
  SetTime(0, 0, 1);
  SelectTimerResolution(4, nullptr);  // 0.060 s
  AppSettings.Timer_Mode = 1;
  LoadCountdown(Window());
  static double endedAt;
  endedAt = -1;
  CountdownExpiryHook = [] { endedAt = test::ClockMillis(); };
  std::string paused;
  test::PlayWithWakes(GetParam(),
                      {{0, [] { StartMeasurement(nullptr); }},
                       {500.5, [&paused] { StopMeasurement(nullptr), paused = RemainingText(); }},
                       {700, [] { StartMeasurement(nullptr); }},
                       {701, [] { AppSettings.Timer_Mode = 0, ServiceMeasurements(); }}},
                      4000);
  InstallEngineHooks();
  EXPECT_EQ(paused, "00:00:00.52");  // eight steps of 60 ms
  // 520 ms left: nine more steps from 700 ms.
  EXPECT_EQ(endedAt, test::DeliveredAt(GetParam(), 1240));
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 0);
}

// Out of view (the stopwatch shown, or minimised without the time in the caption) the end is the only wake: it
// falls on its exact step also where the step divides the set time, and overtime starts there from zero.
TEST_P(CountdownUnderTimerBehaviour, EndsOnItsStepOutOfViewAndOvertimeStartsFromZero) {
  struct Row {
    int32_t Seconds, Resolution;
    bool Minimised;
  };
  static double endedAt;
  static int32_t leftAtEnd;
  for (const Row row : {Row{300, 0, false}, Row{4, 1, true}, Row{4, 2, false}, Row{1, 9, true}, Row{1, 11, false}}) {
    Restart(row.Seconds, row.Resolution);
    AppSettings.TimerOvertime = 1;
    AppSettings.CaptionTimeWhenMinimized = 0;
    AppSettings.Timer_Mode = row.Minimised;
    FramePacing.WindowMinimized = row.Minimised;
    endedAt = -1;
    CountdownExpiryHook = [] { endedAt = test::ClockMillis(), leftAtEnd = StopwatchClock.TimerRemaining.Ticks; };
    test::PlayWithWakes(GetParam(), {{0, [] { StartCountdownRun(ReadCounter()), ServiceMeasurements(); }}},
                        row.Seconds * 1000.0 + 100);
    InstallEngineHooks();
    EXPECT_EQ(endedAt, test::DeliveredAt(GetParam(), row.Seconds * 1000.0)) << row.Seconds << " s, " << row.Resolution;
    EXPECT_EQ(leftAtEnd, 0) << row.Seconds << " s, " << row.Resolution;
    EXPECT_EQ(StopwatchClock.TimerRunning, 1) << "overtime counts on";
  }
}

// A Stop takes the steps that fell due since the last wake, in view after a late one and minimised with or without
// the caption's wakes (which come at whole seconds only), and the next Start counts down from there.
TEST_P(CountdownUnderTimerBehaviour, AStopTakesTheStepsDueSinceTheLastWake) {
  static double endedAt;
  for (const int view : {0, 1, 2}) {  // in view, minimised, minimised with the time in the caption
    Restart(10, 1);                   // 0.500 s
    AppSettings.Timer_Mode = 1;
    FramePacing.WindowMinimized = view > 0;
    AppSettings.CaptionTimeWhenMinimized = view == 2;
    endedAt = -1;
    CountdownExpiryHook = [] { endedAt = test::ClockMillis(); };
    std::string paused;
    test::PlayWithWakes(GetParam(),
                        {{0, [] { StartMeasurement(nullptr); }},
                         {2200.5, [&paused] { StopMeasurement(nullptr), paused = RemainingText(); }},
                         {3000, [] { StartMeasurement(nullptr); }}},
                        12000);
    InstallEngineHooks();
    EXPECT_EQ(paused, "00:00:08.0") << "view " << view;
    EXPECT_EQ(endedAt, test::DeliveredAt(GetParam(), 11000)) << "view " << view;
  }
}

INSTANTIATE_TEST_SUITE_P(Countdown, CountdownUnderTimerBehaviour, ::testing::ValuesIn(test::TimerBehaviours),
                         test::RowName);

}  // namespace
