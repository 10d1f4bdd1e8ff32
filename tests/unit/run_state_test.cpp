// The run state: its text read back field for field, anything cut, damaged or out of range read as no run, the
// file's later whole copy, and both measurements put back with the time gone counted within a boot and across one.
#include <gtest/gtest.h>
#include <cstring>
#include <random>
#include <string>
#include "laps/lap_journal.h"
#include "support/case_names.h"
#include "support/engine_test.h"
#include "support/files.h"
#include "support/test_support.h"
#include "timing/countdown.h"
#include "timing/perf_clock.h"
#include "timing/run_control.h"
#include "timing/run_state.h"
#include "timing/stopwatch_clock.h"
#include "timing/wake.h"

namespace {

// The injected wall clock: UTC and the time since the boot, both moved by hand.
int64_t HeldUtc = 0;
int64_t HeldTicks = 0;
void WINAPI HeldSystemTime(FILETIME* utc) {
  utc->dwLowDateTime = static_cast<DWORD>(HeldUtc);
  utc->dwHighDateTime = static_cast<DWORD>(HeldUtc >> 32);
}
ULONGLONG WINAPI HeldTickCount() { return static_cast<ULONGLONG>(HeldTicks); }

constexpr int64_t UtcAtCapture = 134100000000000000;  // late 2025, in 100 ns
constexpr int64_t TicksAtCapture = 3600000;           // an hour after the boot

RunState FullState() {
  RunState s = {};
  int64_t value = 0;
  for (int64_t* field = &s.Sequence; field <= &s.CountdownStartUtc; ++field) *field = ++value % 2;
  s.Sequence = 7;
  s.WrittenCounter = 90000000;
  s.WrittenUtc = UtcAtCapture;
  s.WrittenBoot = -12;
  s.Frequency = 10000000;
  s.Mode = -3;
  s.StopwatchResolution = 11;
  s.SetHours = 596;
  s.SetMinutes = 61;
  s.SetSeconds = -1;
  s.StopwatchBefore = 123456789;
  s.StopwatchStartCounter = 80000000;
  s.StopwatchStartUtc = UtcAtCapture - 1;
  s.LapStart = 4010;
  s.Laps = 1000;
  s.Remaining = -MaxOvertimeTicks;
  s.RemainingAtStart = MaxCountdownTicks;
  s.CountdownStartCounter = -5;
  s.CountdownStartUtc = 0;
  return s;
}

bool Parses(const std::string& text) {
  RunState read = {};
  return ParseRunState(text, read);
}

TEST(RunStateText, ReadsBackEveryFieldAndNothingCutDamagedOrOfAnotherVersion) {
  const RunState state = FullState();
  const std::string text = FormatRunState(state);
  RunState read = {};
  ASSERT_TRUE(ParseRunState(text, read)) << text;
  EXPECT_EQ(memcmp(&read, &state, sizeof state), 0) << FormatRunState(read);
  for (size_t length = 0; length < text.size(); ++length) EXPECT_FALSE(Parses(text.substr(0, length))) << length;
  for (size_t at = 0; at < text.size(); ++at) {
    std::string damaged = text;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x04);
    EXPECT_FALSE(Parses(damaged)) << damaged;
  }
  std::string other = text;
  other.replace(other.find(" 1\r\n"), 2, " 2");
  EXPECT_FALSE(Parses(other));
  EXPECT_FALSE(Parses(text + "x"));
  // Seeded garbage of every length up to a copy's, and the text with garbage spliced in: read as no run, no crash.
  std::mt19937 random(36);
  for (int round = 0; round < 2000; ++round) {
    std::string garbage(random() % 1024, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    EXPECT_FALSE(Parses(garbage));
    EXPECT_FALSE(Parses(text.substr(0, random() % text.size()) + garbage));
  }
}

// A whole text whose values are out of range or do not fit together reads as no run.
struct BadValue {
  const char* Name;
  void (*Spoil)(RunState&);
};
class RunStateValues : public testing::TestWithParam<BadValue> {};
TEST_P(RunStateValues, OutOfRangeOrInconsistentReadAsNoRun) {
  RunState state = FullState();
  ASSERT_TRUE(Parses(FormatRunState(state)));
  GetParam().Spoil(state);
  EXPECT_FALSE(Parses(FormatRunState(state)));
}
INSTANTIATE_TEST_SUITE_P(
    EachBound, RunStateValues,
    testing::Values(BadValue{"FlagOfTwo", [](RunState& s) { s.StopwatchRunning = 2; }},
                    BadValue{"NegativeFlag", [](RunState& s) { s.KeptAtExit = -1; }},
                    BadValue{"ZeroFrequency", [](RunState& s) { s.Frequency = 0; }},
                    BadValue{"ModeBeyond32Bits", [](RunState& s) { s.Mode = int64_t{INT32_MAX} + 1; }},
                    BadValue{"MoreThanAThousandLaps", [](RunState& s) { s.Laps = 1001; }},
                    BadValue{"LapStartPastTheLimit", [](RunState& s) { s.LapStart = TotalTicksLimit + 1; }},
                    BadValue{"TimeBeforeThePastTheLimit",
                             [](RunState& s) { s.StopwatchBefore = (TotalTicksLimit + 1000) * int64_t{10000}; }},
                    BadValue{"RemainingPastTheOvertime", [](RunState& s) { s.Remaining = -MaxOvertimeTicks - 1; }},
                    BadValue{"CountdownBeyondItsLongest",
                             [](RunState& s) { s.RemainingAtStart = MaxCountdownTicks + 1; }},
                    BadValue{"RunningButNotStarted", [](RunState& s) { s.TimerStarted = 0, s.TimerRunning = 1; }},
                    BadValue{"StartedAfterTheWriteOnTheCounter",
                             [](RunState& s) { s.StopwatchStartCounter = s.WrittenCounter + 1; }},
                    BadValue{"StartedAfterTheWriteInUtc", [](RunState& s) { s.CountdownStartUtc = s.WrittenUtc + 1; }},
                    BadValue{"CounterPastTwoToThe62", [](RunState& s) { s.WrittenCounter = int64_t{1} << 62 | 1; }}),
    test::RowName);

TEST(RunStateFile, TheLaterWholeCopyCountsAndAFileWithNoneIsNoRun) {
  const std::string folder = test::MakeFreshFolder("run-state");
  const std::string path = folder + "\\Tavrilo.run";
  const auto copy = [](int64_t sequence) {
    RunState state = FullState();
    state.Sequence = sequence;
    std::string text = FormatRunState(state);
    text.resize(1024, '\0');
    return text;
  };
  const auto sequenceRead = [&path](const std::string& bytes) -> int64_t {
    test::WriteBytes(path, bytes);
    RunState read = {};
    return ReadRunStateFile(test::Wide(path).c_str(), read) ? read.Sequence : -1;
  };
  EXPECT_EQ(sequenceRead(copy(4) + copy(3)), 4);
  EXPECT_EQ(sequenceRead(copy(4) + copy(5)), 5);
  EXPECT_EQ(sequenceRead(copy(4) + copy(5).substr(0, 100)), 4) << "the later copy cut short";
  EXPECT_EQ(sequenceRead(copy(6)), 6);
  EXPECT_EQ(sequenceRead(copy(6).substr(0, 100)), -1);
  EXPECT_EQ(sequenceRead(""), -1);
  test::RemoveFolder(folder);
  RunState read = {};
  EXPECT_FALSE(ReadRunStateFile(test::Wide(path).c_str(), read)) << "no file";
}

// A measurement captured at 10 s (the stopwatch with a lap at 4.01 s, the countdown of 5 s started at 8 s), the
// program gone, and both put back in a fresh engine at another moment.
struct Gone {
  const char* Name;
  bool Reboot;       // the counter starts again from 1 s, the time since the boot from 1 s
  double CounterMs;  // the counter's advance within the boot
  int64_t UtcMs;     // the UTC's advance, negative when the clock was set back
  bool StopwatchStopped;
  int32_t Overtime;
  int32_t Total;      // the stopwatch's total when put back
  int32_t Remaining;  // the countdown's
};
class ResumingARun : public test::EngineTest, public testing::WithParamInterface<Gone> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    savedClock_ = WallClock;
    WallClock = WallClockApi{HeldSystemTime, HeldTickCount};
    HeldUtc = UtcAtCapture - 10000 * 10000;
    HeldTicks = TicksAtCapture - 10000;
    test::HoldClock();
  }
  void TearDown() override {
    WallClock = savedClock_;
    EngineTest::TearDown();
  }
  WallClockApi savedClock_ = {};
};

TEST_P(ResumingARun, CountsTheTimeGoneWithinTheBootByTheCounterAndAfterARestartByUtc) {
  const Gone& gone = GetParam();
  AppSettings.SecondResolution = 9;
  AppSettings.TimerSecondResolutionIndex = 0;
  AppSettings.TimerSettingHour = AppSettings.TimerSettingMinute = 0;
  AppSettings.TimerSettingSecond = 5;
  AppSettings.TimerOvertime = gone.Overtime;
  SelectStopwatchResolution(9, nullptr);
  SelectTimerResolution(0, nullptr);
  LoadCountdown(nullptr);
  StartStopwatchRun(ReadCounter());
  test::MoveClock(4000);
  RequestLap();
  test::MoveClock(4000);
  StartCountdownRun(ReadCounter());
  test::MoveClock(2000);
  if (gone.StopwatchStopped) StopStopwatchRun(ReadCounter());
  ServiceMeasurements();
  HeldUtc = UtcAtCapture;
  HeldTicks = TicksAtCapture;
  const std::string text = FormatRunState(CaptureRunState(ReadRunMoment()));

  MakeTimingRecordFresh();
  LapList = LapListRecord{};
  AppSettings.SecondResolution = AppSettings.TimerSettingSecond = 0;  // the settings file of before the run
  if (gone.Reboot) {
    test::HoldClock();
    test::MoveClock(1000);
    HeldTicks = 1000;
  } else {
    test::MoveClock(gone.CounterMs);
    HeldTicks += static_cast<int64_t>(gone.CounterMs);
  }
  HeldUtc += gone.UtcMs * 10000;
  RunState state = {};
  ASSERT_TRUE(ParseRunState(text, state));
  EXPECT_TRUE(HoldsMeasurement(state));
  EXPECT_EQ(state.Laps, 1);
  ResumeRunState(state, ReadRunMoment());

  EXPECT_EQ(AppSettings.SecondResolution, 9);
  EXPECT_EQ(AppSettings.TimerSettingSecond, 5);
  EXPECT_EQ(StopwatchClock.StopwatchRunning, gone.StopwatchStopped ? 0 : 1);
  EXPECT_EQ(ReadStopwatch().Total.Ticks, gone.Total);
  EXPECT_EQ(ReadStopwatch().Lap.Ticks, gone.Total - 4010);
  EXPECT_EQ(ReadCountdownRemaining().Ticks, gone.Remaining);
  EXPECT_EQ(StopwatchClock.TimerExpired, gone.Remaining <= 0 ? 1 : 0);
  EXPECT_EQ(StopwatchClock.TimerRunning, gone.Remaining > 0 || gone.Overtime ? 1 : 0);
  test::MoveClock(1000);
  ServiceMeasurements();
  EXPECT_EQ(ReadStopwatch().Total.Ticks, gone.Total + (gone.StopwatchStopped ? 0 : 1000)) << "it runs on";
}

INSTANTIATE_TEST_SUITE_P(
    WithinAndAcrossBoots, ResumingARun,
    testing::Values(Gone{"SameBoot", false, 1500, 1500, false, 0, 11500, 2000},
                    Gone{"SameBootStopwatchStopped", false, 1500, 1500, true, 0, 10000, 2000},
                    Gone{"SameBootCountdownEndedWhileGone", false, 60000, 60000, false, 0, 70000, 0},
                    Gone{"SameBootCountdownInOvertime", false, 60000, 60000, false, 1, 70000, -57000},
                    Gone{"AnotherBoot", true, 0, 1500, false, 0, 11500, 2000},
                    Gone{"AnotherBootCountdownEndedWhileGone", true, 0, 60000, false, 1, 70000, -57000},
                    Gone{"AnotherBootClockSetBack", true, 0, -100000, false, 0, 10000, 3000},
                    Gone{"AnotherBootStopwatchStopped", true, 0, 1500, true, 0, 10000, 2000}),
    test::RowName);

TEST(RunStateBoot, IsTheSameWhileTheBootMomentAgreesWithin2sAndTheCounterGoesOn) {
  RunState state = FullState();
  state.WrittenBoot = 1000;
  state.WrittenCounter = 500;
  state.Frequency = CounterFrequency();
  EXPECT_TRUE(SameBoot(state, RunMoment{500, 0, 1002}));
  EXPECT_TRUE(SameBoot(state, RunMoment{501, 0, 998}));
  EXPECT_FALSE(SameBoot(state, RunMoment{501, 0, 1003}));
  EXPECT_FALSE(SameBoot(state, RunMoment{501, 0, 997}));
  EXPECT_FALSE(SameBoot(state, RunMoment{499, 0, 1000})) << "the counter went back";
  state.Frequency += 1;
  EXPECT_FALSE(SameBoot(state, RunMoment{501, 0, 1000})) << "another frequency";
}

}  // namespace
