// The run state: its text read back field for field, anything cut, damaged or out of range read as no run, the
// file's later whole copy, and both measurements put back with the time gone counted within a boot and across one.
#include <gtest/gtest.h>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include "laps/lap_journal.h"
#include "support/case_names.h"
#include "support/engine_test.h"
#include "support/files.h"
#include "timing/countdown.h"
#include "timing/perf_clock.h"
#include "timing/run_control.h"
#include "timing/run_state.h"
#include "timing/stopwatch_clock.h"
#include "timing/wake.h"

namespace {

// The injected wall clock: UTC in 100 ns and the time since the boot, both moved by hand.
int64_t HeldUtc = 0, HeldTicks = 0;
void WINAPI HeldSystemTime(FILETIME* utc) { *utc = {static_cast<DWORD>(HeldUtc), static_cast<DWORD>(HeldUtc >> 32)}; }
ULONGLONG WINAPI HeldTickCount() { return static_cast<ULONGLONG>(HeldTicks); }
constexpr int64_t UtcAtCapture = 134100000000000000, TicksAtCapture = 3600000;

// Every field in range, most at a bound.
RunState FullState(int64_t sequence = 7) {
  RunState s = {};
  int64_t value = 0;
  for (int64_t* field = &s.Sequence; field <= &s.CountdownStartUtc; ++field) *field = ++value % 2;
  s.Sequence = sequence, s.WrittenCounter = 90000000, s.WrittenUtc = UtcAtCapture, s.WrittenBoot = -12;
  s.Frequency = 10000000, s.Mode = -3, s.StopwatchResolution = 11, s.SetHours = 596, s.SetSeconds = -1;
  s.StopwatchBefore = 123456789, s.StopwatchStartCounter = 80000000, s.StopwatchStartUtc = UtcAtCapture - 1;
  s.LapStart = TotalTicksLimit, s.Laps = 1000, s.Remaining = -MaxOvertimeTicks, s.RemainingAtStart = MaxCountdownTicks;
  s.CountdownStartCounter = -5;
  return s;
}

bool Parses(const std::string& text) {
  RunState read = {};
  return ParseRunState(text, read);
}

TEST(RunStateText, ReadsBackEveryFieldAndNothingCutDamagedOutOfRangeOrOfAnotherVersion) {
  const RunState state = FullState();
  const std::string text = FormatRunState(state);
  EXPECT_EQ(text, "Tavrilo run 1\r\nsequence=7\r\nkept=0\r\nwritten=90000000,134100000000000000,-12,10000000\r\n"
                  "settings=-3,11,1,596,1,-1\r\n"
                  "stopwatch=1,0,123456789,80000000,134099999999999999,2147481000,1,1000\r\n"
                  "countdown=1,0,1,-359999000,2147483000,-5,1\r\ncheck=C61F4957\r\n")
      << "the check is the CRC-32 of all before it";
  RunState read = {};
  ASSERT_TRUE(ParseRunState(text, read)) << text;
  EXPECT_EQ(memcmp(&read, &state, sizeof state), 0) << FormatRunState(read);
  for (size_t length = 0; length < text.size(); ++length) EXPECT_FALSE(Parses(text.substr(0, length))) << length;
  for (size_t at = 0; at < text.size(); ++at) {
    std::string damaged = text;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x04);
    EXPECT_FALSE(Parses(damaged)) << damaged;
  }
  EXPECT_FALSE(Parses(std::string(text).replace(text.find(" 1\r\n"), 2, " 2")));
  EXPECT_FALSE(Parses(text + "x"));
  // Seeded garbage of every length up to a copy's, alone and after a cut text: no run, no crash.
  std::mt19937 random(36);
  for (int round = 0; round < 2000; ++round) {
    std::string garbage(random() % 1024, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    EXPECT_FALSE(Parses(garbage));
    EXPECT_FALSE(Parses(text.substr(0, random() % text.size()) + garbage));
  }
  // A whole text whose values are out of range, or do not fit together, is no run either.
  void (*const spoils[])(RunState&) = {
      [](RunState& s) { s.StopwatchRunning = 2; }, [](RunState& s) { s.Frequency = 0; },
      [](RunState& s) { s.Laps = 1001; }, [](RunState& s) { s.Remaining = -MaxOvertimeTicks - 1; },
      [](RunState& s) { s.StopwatchBefore = (TotalTicksLimit + 1000) * int64_t{10000}; },
      [](RunState& s) { s.TimerStarted = 0, s.TimerRunning = 1; },  // running, not started
      [](RunState& s) { s.StopwatchStartCounter = s.WrittenCounter + 1; },
      [](RunState& s) { s.CountdownStartUtc = s.WrittenUtc + 1; }};
  for (const auto spoil : spoils) {
    RunState spoilt = state;
    spoil(spoilt);
    EXPECT_FALSE(Parses(FormatRunState(spoilt))) << FormatRunState(spoilt);
  }
}

TEST(RunStateFile, TheLaterWholeCopyCountsAndAFileWithNoneIsNoRun) {
  const std::string folder = test::MakeFreshFolder("run-state"), path = folder + "\\Tavrilo.run";
  const auto copy = [](int64_t sequence) {
    return FormatRunState(FullState(sequence)).append(1024, '\0').substr(0, 1024);
  };
  const auto sequenceRead = [&path](const std::string& bytes) -> int64_t {
    if (!bytes.empty()) test::WriteBytes(path, bytes);
    RunState read = {};
    return ReadRunStateFile(test::Wide(path).c_str(), read) ? read.Sequence : -1;
  };
  EXPECT_EQ(sequenceRead(copy(4) + copy(3)), 4);
  EXPECT_EQ(sequenceRead(copy(4) + copy(5)), 5);
  EXPECT_EQ(sequenceRead(copy(4) + copy(5).substr(0, 100)), 4) << "the later copy cut short";
  EXPECT_EQ(sequenceRead(copy(6)), 6);
  EXPECT_EQ(sequenceRead(copy(6).substr(0, 100)), -1);
  test::RemoveFolder(folder);
  EXPECT_EQ(sequenceRead(""), -1) << "no file";
}

TEST(RunStateBoot, IsTheSameWhileTheBootMomentAgreesWithin2sAndTheCounterGoesOn) {
  RunState state = FullState();
  state.WrittenBoot = 1000, state.WrittenCounter = 500, state.Frequency = CounterFrequency();
  for (const auto& [counter, boot, same] : {std::tuple{500, 1002, true}, {501, 998, true}, {501, 1003, false},
                                             {501, 997, false}, {499, 1000, false}}) {  // the last: counter back
    EXPECT_EQ(SameBoot(state, RunMoment{counter, 0, boot}), same) << counter << " " << boot;
  }
  state.Frequency += 1;
  EXPECT_FALSE(SameBoot(state, RunMoment{501, 0, 1000})) << "another frequency";
}

// A measurement captured at 10 s (the stopwatch with a lap at 4.01 s, a countdown of 5 s in steps of 0.5 s
// started at 8 s), the program gone, and both put back in a fresh engine, with the settings file of before the run.
struct Gone {
  const char* Name;
  bool Reboot;       // the counter and the time since the boot start again from 1 s
  double CounterMs;  // the counter's advance within the boot
  int64_t UtcMs;     // the UTC's advance, negative when the clock was set back
  bool Stopped;      // both measurements stopped at the capture
  int32_t Overtime, Total, Remaining;  // the overtime setting; the stopwatch's total and the countdown's when put back
};
class ResumingARun : public test::EngineTest, public testing::WithParamInterface<Gone> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    savedClock_ = WallClock;
    WallClock = WallClockApi{HeldSystemTime, HeldTickCount};
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
  AppSettingsRecord& s = AppSettings;
  s.SecondResolution = 9, s.TimerSecondResolutionIndex = 1, s.TimerSettingHour = s.TimerSettingMinute = 0;
  s.TimerSettingSecond = 5, s.TimerOvertime = gone.Overtime;
  SelectStopwatchResolution(9, nullptr);
  SelectTimerResolution(1, nullptr);  // steps of 0.5 s
  LoadCountdown(nullptr);
  StartStopwatchRun(ReadCounter());
  test::MoveClock(4000);
  RequestLap();
  test::MoveClock(4000);
  StartCountdownRun(ReadCounter());
  test::MoveClock(2000);
  if (gone.Stopped) {
    StopStopwatchRun(ReadCounter());
    StopCountdownRun(ReadCounter());
  }
  ServiceMeasurements();
  HeldUtc = UtcAtCapture, HeldTicks = TicksAtCapture;
  const std::string text = FormatRunState(CaptureRunState(ReadRunMoment()));

  MakeTimingRecordFresh();
  LapList = LapListRecord{};
  s.SecondResolution = s.TimerSecondResolutionIndex = s.TimerSettingSecond = 0;
  if (gone.Reboot) test::HoldClock();
  test::MoveClock(gone.Reboot ? 1000 : gone.CounterMs);
  HeldTicks = gone.Reboot ? 1000 : HeldTicks + static_cast<int64_t>(gone.CounterMs);
  HeldUtc += gone.UtcMs * 10000;
  RunState state = {};
  ASSERT_TRUE(ParseRunState(text, state));
  EXPECT_TRUE(HoldsMeasurement(state));
  EXPECT_EQ(state.Laps, 1);
  EXPECT_EQ(state.CountdownStartUtc, UtcAtCapture - (gone.Stopped ? 0 : 2000 * 10000)) << "its Start in UTC";
  ResumeRunState(state, ReadRunMoment());

  EXPECT_EQ(s.SecondResolution, 9);
  EXPECT_EQ(s.TimerSettingSecond, 5);
  EXPECT_EQ(StopwatchClock.StopwatchRunning, gone.Stopped ? 0 : 1);
  EXPECT_EQ(StopwatchClock.TimerStarted, 1);
  EXPECT_EQ(ReadStopwatch().Total.Ticks, gone.Total);
  EXPECT_EQ(ReadStopwatch().Lap.Ticks, gone.Total - 4010);
  EXPECT_EQ(ReadCountdownRemaining().Ticks, gone.Remaining);
  EXPECT_EQ(StopwatchClock.TimerExpired, gone.Remaining <= 0 ? 1 : 0);
  EXPECT_EQ(StopwatchClock.TimerRunning, !gone.Stopped && (gone.Remaining > 0 || gone.Overtime) ? 1 : 0);
  test::MoveClock(1000);
  ServiceMeasurements();
  EXPECT_EQ(ReadStopwatch().Total.Ticks, gone.Total + (gone.Stopped ? 0 : 1000)) << "it runs on";
}

INSTANTIATE_TEST_SUITE_P(
    WithinAndAcrossBoots, ResumingARun,
    testing::Values(Gone{"SameBoot", false, 1500, 1500, false, 0, 11500, 1500},
                    Gone{"SameBootStopped", false, 1500, 1500, true, 0, 10000, 3000},
                    Gone{"SameBootCountdownEndedWhileGone", false, 60000, 60000, false, 0, 70000, 0},
                    Gone{"SameBootCountdownInOvertime", false, 60000, 60000, false, 1, 70000, -57000},
                    Gone{"AnotherBoot", true, 0, 1500, false, 0, 11500, 1500},
                    Gone{"AnotherBootCountdownEndedWhileGone", true, 0, 60000, false, 1, 70000, -57000},
                    Gone{"AnotherBootClockSetBack", true, 0, -100000, false, 0, 10000, 3000},
                    Gone{"AnotherBootStopped", true, 0, 1500, true, 0, 10000, 3000}),
    test::RowName);

}  // namespace
