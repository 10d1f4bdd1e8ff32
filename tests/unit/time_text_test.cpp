// The five time text forms and the choice between milliseconds and frames.
#include <gtest/gtest.h>
#include <string>
#include "display/time_text.h"
#include "settings/app_settings.h"
#include "support/case_names.h"
#include "support/test_support.h"

namespace {

ClockTime MakeTime(int h, int m, int s, int millis, int frames = 0) {
  ClockTime t;
  t.Hours = h;
  t.Minutes = m;
  t.Seconds = s;
  t.Millis = millis;
  t.Frames = frames;
  return t;
}

std::string ClockText(int interval, const ClockTime& t) {
  char text[TimeTextSize] = "unchanged";
  FormatClockTime(interval, t, text, sizeof text);
  return text;
}

std::string FrameText(int interval, const ClockTime& t) {
  char text[TimeTextSize] = "unchanged";
  FormatFrameTime(interval, t, text, sizeof text);
  return text;
}

struct ClockCase {
  int Interval;
  int H, M, S, Millis;
  const char* Expected;
};

void PrintTo(const ClockCase& c, std::ostream* out) { *out << "Every" << c.Interval << "msReads" << c.Expected; }

class ClockTimeText : public ::testing::TestWithParam<ClockCase> {};

TEST_P(ClockTimeText, WritesTheFormOfItsInterval) {
  const ClockCase& c = GetParam();
  EXPECT_EQ(ClockText(c.Interval, MakeTime(c.H, c.M, c.S, c.Millis)), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryForm, ClockTimeText,
    ::testing::Values(ClockCase{10, 0, 0, 0, 0, "00:00:00.00"}, ClockCase{1, 0, 0, 0, 0, "00:00:00.000"},
                      ClockCase{1000, 0, 0, 0, 0, "00:00:00"}, ClockCase{1000, 1, 2, 3, 0, "01:02:03"},
                      ClockCase{500, 1, 2, 3, 500, "01:02:03.5"}, ClockCase{100, 1, 2, 3, 900, "01:02:03.9"},
                      ClockCase{250, 1, 2, 3, 750, "01:02:03.75"}, ClockCase{60, 0, 0, 1, 20, "00:00:01.02"},
                      ClockCase{50, 0, 0, 1, 950, "00:00:01.95"}, ClockCase{30, 0, 0, 1, 990, "00:00:01.99"},
                      ClockCase{20, 0, 0, 1, 980, "00:00:01.98"}, ClockCase{25, 1, 2, 3, 25, "01:02:03.025"},
                      ClockCase{5, 0, 59, 59, 995, "00:59:59.995"},
                      ClockCase{10, 100, 0, 0, 0, "100:00:00.00"}, ClockCase{1, 123, 4, 5, 6, "123:04:05.006"}),
    test::PrintedName);

TEST(ClockTimeText, StepsThroughQuartersAt250Milliseconds) {
  const char* expected[] = {"00:00:00.00", "00:00:00.25", "00:00:00.50", "00:00:00.75"};
  for (int quarter = 0; quarter < 4; ++quarter) {
    EXPECT_EQ(ClockText(250, MakeTime(0, 0, 0, quarter * 250)), expected[quarter]);
  }
}

TEST(ClockTimeText, LeavesTheBufferAloneForAnIntervalOutsideTheTable) {
  EXPECT_EQ(ClockText(7, MakeTime(1, 2, 3, 4)), "unchanged");
  EXPECT_EQ(ClockText(0, MakeTime(1, 2, 3, 4)), "unchanged");
}

TEST(ClockTimeText, NeverWritesPastASmallBufferWhateverTheValues) {
  char text[12];
  text[11] = '#';
  FormatClockTime(1, MakeTime(INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN), text, 11);
  EXPECT_EQ(text[11], '#');
  EXPECT_EQ(std::string(text).size(), 10u);
}

TEST(FrameTimeText, ShowsFramesOf24NotHundredths) {
  EXPECT_EQ(FrameText(10, MakeTime(0, 0, 1, 0, 12)), "00:00:01.12");
  EXPECT_EQ(FrameText(1, MakeTime(0, 0, 5, 0, 23)), "00:00:05.23");
  EXPECT_EQ(FrameText(1000, MakeTime(0, 0, 1, 0, 12)), "00:00:01");
}

TEST(CurrentStopwatchText, UsesFramesForAnyNonZeroDivisionOfTheSecond) {
  test::ResetEngineState();
  StopwatchClock.LapTime = MakeTime(0, 0, 1, 500);
  StopwatchClock.LapFrameTime = MakeTime(0, 0, 1, 0, 12);
  StopwatchClock.TotalTime = MakeTime(0, 1, 1, 500);
  StopwatchClock.TotalFrameTime = MakeTime(0, 1, 1, 0, 12);
  char lap[TimeTextSize];
  char total[TimeTextSize];
  for (int division : {1, 2, -1}) {
    AppSettings.OneSecDivIndex = division;
    FormatCurrentLapText(lap, sizeof lap);
    FormatCurrentTotalText(total, sizeof total);
    EXPECT_STREQ(lap, "00:00:01.12") << division;
    EXPECT_STREQ(total, "00:01:01.12") << division;
  }
  AppSettings.OneSecDivIndex = 0;
  FormatCurrentLapText(lap, sizeof lap);
  FormatCurrentTotalText(total, sizeof total);
  EXPECT_STREQ(lap, "00:00:01.50");
  EXPECT_STREQ(total, "00:01:01.50");
}

}  // namespace
