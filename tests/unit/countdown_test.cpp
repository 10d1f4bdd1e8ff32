// The countdown: loading the set time, stepping, expiry and the alarm hand-over, and start on a real timer.
#include <gtest/gtest.h>
#include <string>
#include "alarm/alarm_sound.h"
#include "app/commands.h"
#include "display/time_text.h"
#include "records/command_ids.h"
#include "settings/app_settings.h"
#include "support/engine_test.h"
#include "support/test_support.h"
#include "timing/countdown.h"
#include "timing/frame_pacing.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"

namespace {

class Countdown : public test::EngineTest {
 protected:
  HWND Window() const { return test::StandInMainWindow(); }

  static void SetTime(int32_t h, int32_t m, int32_t s) {
    AppSettings.TimerSettingHour = h;
    AppSettings.TimerSettingMinute = m;
    AppSettings.TimerSettingSecond = s;
  }
  // One callback by hand, as the running countdown's timer would make it.
  static void Step() {
    StopwatchClock.TimerStarted = 1;
    StopwatchClock.TimerRunning = 1;
    CountdownTick(0, 0, 0, 0, 0);
  }
  // Loads the set time and counts callbacks by hand until expiry; returns the number of callbacks.
  int CallbacksUntilExpiry(int limit) {
    LoadCountdown(Window());
    for (int n = 1; n <= limit; ++n) {
      Step();
      if (StopwatchClock.TimerExpired) return n;
    }
    return -1;
  }
  // A countdown of zero at 1 ms, which expires on its first callback, with its timer calls logged.
  static test::TimerCallLog& UseInstantCountdown() {
    test::TimerCallLog& log = test::InstallTimerCallLog();
    SetTime(0, 0, 0);
    SelectTimerResolution(11, nullptr);
    return log;
  }
  // Loads and starts it again on a real timer; false when the start was refused.
  bool RestartCountdown() {
    StopwatchClock.TimerExpired = 0;
    LoadCountdown(Window());
    return StartCountdown(Window()) == 1;
  }
  static std::string RemainingText() {
    char text[TimeTextSize];
    FormatClockTime(StopwatchClock.TimerStep, StopwatchClock.TimerRemaining, text, sizeof text);
    return text;
  }
};

TEST_F(Countdown, ExpiresAfterTheSetTimeInWholeSteps) {
  SetTime(0, 5, 0);
  SelectTimerResolution(0, nullptr);
  EXPECT_EQ(CallbacksUntilExpiry(1000), 300);

  StopwatchClock.TimerExpired = 0;
  SetTime(0, 0, 1);
  SelectTimerResolution(4, nullptr);  // 0.060 s: the 17th step overshoots to 1020 ms and is clamped
  EXPECT_EQ(CallbacksUntilExpiry(1000), 17);
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 0);

  StopwatchClock.TimerExpired = 0;
  SetTime(0, 0, 0);
  EXPECT_EQ(CallbacksUntilExpiry(10), 1);
  EXPECT_EQ(StopwatchClock.TimerRunning, 0);
}

TEST_F(Countdown, ShowsTheRemainingTimeWithTheDecimalsOfItsOwnResolution) {
  SetTime(1, 2, 3);
  SelectTimerResolution(2, nullptr);  // 0.250 s
  LoadCountdown(Window());
  EXPECT_EQ(RemainingText(), "01:02:03.00");
  Step();
  EXPECT_EQ(RemainingText(), "01:02:02.75");
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
  EXPECT_EQ(CallbacksUntilExpiry(1), -1);
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 360000000);
  EXPECT_EQ(StopwatchClock.TimerExpired, 0);
}

TEST_F(Countdown, RepaintsOnlyWhileTheTimerDisplayIsShownAtMostOnceAFrameAndItsEndAtOnce) {
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
  int requests = 0;
  for (int step = 1; step < 1000; ++step) {
    Step();
    requests += test::TakeRepaintRequest(Window());
  }
  // One a frame: 60 in a second at 60 Hz.
  EXPECT_LE(requests, 999 * DisplayRefreshRate / 1000 + 1);
  EXPECT_GE(requests, 999 * DisplayRefreshRate / 1000 - 1);
  Step();
  EXPECT_EQ(StopwatchClock.TimerExpired, 1);
  EXPECT_TRUE(test::TakeRepaintRequest(Window())) << "the end is shown at once";
}

TEST_F(Countdown, HandsTheAlarmToTheMainWindowAtExpiry) {
  SetTime(0, 0, 1);
  lstrcpyA(AppSettings.TimerAlarmSoundFile, "C:\\sounds\\beep.wav");
  EXPECT_EQ(CallbacksUntilExpiry(2), 1);
  EXPECT_EQ(test::ReceivedCommands(), std::vector<int>{IDM_TIMER_ALARM__SOUND_START});
  EXPECT_STREQ(AlarmPlayPath, "C:\\sounds\\beep.wav");

  test::ForgetReceivedCommands();
  StopwatchClock.TimerExpired = 0;
  AlarmSoundActive = 1;  // an earlier alarm still sounds: it is stopped first
  EXPECT_EQ(CallbacksUntilExpiry(2), 1);
  EXPECT_EQ(test::ReceivedCommands(),
            (std::vector<int>{IDM_TIMER_ALARM__SOUND_STOP, IDM_TIMER_ALARM__SOUND_START}));

  test::ForgetReceivedCommands();
  StopwatchClock.TimerExpired = 0;
  AppSettings.TimerAlarmSoundFile[0] = '\0';
  EXPECT_EQ(CallbacksUntilExpiry(2), 1);
  EXPECT_TRUE(test::ReceivedCommands().empty()) << "no alarm file: the countdown ends in silence";
}

TEST_F(Countdown, StartRefusesAnExpiredCountdownAndResetReloadsTheSetTime) {
  SetTime(0, 0, 2);
  EXPECT_EQ(CallbacksUntilExpiry(10), 2);
  AppSettings.Timer_Mode = 1;
  EXPECT_EQ(StartMeasurement(Window()), 0);
  EXPECT_EQ(StopwatchClock.TimerRunning, 0);
  EXPECT_EQ(ResetMeasurement(Window()), 1);
  EXPECT_EQ(StopwatchClock.TimerExpired, 0);
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 2000);
  EXPECT_EQ(StopwatchClock.TimerStarted, 0);
}

TEST_F(Countdown, RunsOnItsOwnTimerAtItsStepAndPausesWhereItStopped) {
  test::TimerCallLog& log = test::InstallTimerCallLog();
  SetTime(0, 5, 0);
  SelectTimerResolution(5, nullptr);  // 0.050 s
  AppSettings.Timer_Mode = 1;
  LoadCountdown(Window());
  ASSERT_EQ(StartCountdown(Window()), 1);
  ASSERT_EQ(log.Periods().size(), 1u);
  EXPECT_EQ(log.Periods()[0], 50u);
  EXPECT_EQ(StopwatchClock.TimerStarted, 1);
  ASSERT_TRUE(test::WaitUntil([] { return StopwatchClock.TimerRemaining.Ticks <= 300000 - 150; }));
  StopMeasurement(Window());
  const int32_t paused = StopwatchClock.TimerRemaining.Ticks;
  EXPECT_EQ(paused % 50, 0);
  Sleep(120);
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, paused);
  ASSERT_EQ(StartCountdown(Window()), 1);
  ASSERT_TRUE(test::WaitUntil([&] { return StopwatchClock.TimerRemaining.Ticks < paused; }));
  LoadCountdown(Window());
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 300000);
  EXPECT_EQ(StopwatchClock.TimerStarted, 0);
  EXPECT_EQ(StopwatchClock.CountdownTimerId, 0u);
  EXPECT_EQ(log.BeginPeriods().size(), 2u);
  EXPECT_EQ(log.EndPeriods().size(), 2u);
}

TEST_F(Countdown, ACountdownThatExpiresOnItsFirstCallbackStillStopsItsOwnTimer) {
  // At 1 ms the first callback may come before Start has stored the timer's id.
  test::TimerCallLog& log = UseInstantCountdown();
  for (int round = 0; round < 20; ++round) {
    ASSERT_TRUE(RestartCountdown()) << round;
    ASSERT_TRUE(test::WaitUntil([] { return StopwatchClock.TimerExpired == 1; })) << round;
    EXPECT_EQ(StopwatchClock.TimerRunning, 0) << round;
    EXPECT_EQ(StopwatchClock.CountdownTimerId, 0u) << round;
  }
  EXPECT_EQ(log.BeginPeriods().size(), 20u);
  EXPECT_EQ(log.EndPeriods().size(), 20u);
  EXPECT_EQ(log.Killed().size(), 20u);
}

TEST_F(Countdown, StartsTriedWhileItExpiresNeverMakeASecondTimer) {
  test::TimerCallLog& log = UseInstantCountdown();
  for (int round = 0; round < 20; ++round) {
    ASSERT_TRUE(RestartCountdown()) << round;
    // The expiry runs on the timer thread meanwhile: running, then expired, never neither.
    for (int tries = 0; tries < 100000 && !StopwatchClock.TimerExpired; ++tries) {
      ASSERT_EQ(StartCountdown(Window()), 0) << round;
    }
    ASSERT_TRUE(test::WaitUntil([] { return StopwatchClock.TimerExpired == 1; })) << round;
  }
  EXPECT_EQ(log.Created().size(), 20u);
  EXPECT_EQ(log.BeginPeriods().size(), log.EndPeriods().size());
}

}  // namespace
