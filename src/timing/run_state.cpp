// The run state: captured from the timing record, written as checked text, and put back into the timing record
// after the program was gone.
#include "timing/run_state.h"
#include <algorithm>
#include <charconv>
#include <cstdio>
#include "helpers/optional_calls.h"
#include "records/app_globals.h"
#include "records/app_settings_record.h"
#include "records/lap_list_record.h"
#include "timing/countdown.h"
#include "timing/perf_clock.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"
#include "timing/wake.h"

namespace {

void WINAPI PreciseOrCoarseUtc(FILETIME* utc) {
  const auto precise = OptionalCalls().GetSystemTimePreciseAsFileTime;
  if (precise) {
    precise(utc);
  } else {
    GetSystemTimeAsFileTime(utc);
  }
}

constexpr char Header[] = "Tavrilo run 1";
constexpr int64_t UtcPerSecond = 10000000;
// Counter and UTC values stay within ±2^62, so that no difference of two overflows.
constexpr int64_t Far = int64_t{1} << 62;
// The most time gone that is counted: more than both measurements' limits, so either stops or expires at its own.
constexpr int64_t MaxGoneMillis = int64_t{4} << 30;

struct RunField {
  int64_t RunState::*Field;
  int64_t Min;
  int64_t Max;
};
struct RunLine {
  const char* Key;
  int Count;
  RunField Fields[8];
};
constexpr RunField Flag(int64_t RunState::*field) { return {field, 0, 1}; }
constexpr RunField Int32(int64_t RunState::*field) { return {field, INT32_MIN, INT32_MAX}; }
constexpr RunField Moment(int64_t RunState::*field) { return {field, -Far, Far}; }
constexpr RunField Countdown(int64_t RunState::*field) { return {field, -MaxOvertimeTicks, MaxCountdownTicks}; }

using R = RunState;
constexpr RunLine Lines[] = {
    {"sequence", 1, {{&R::Sequence, 0, Far}}},
    {"kept", 1, {Flag(&R::KeptAtExit)}},
    {"written", 4, {Moment(&R::WrittenCounter), {&R::WrittenUtc, 0, Far}, Moment(&R::WrittenBoot),
                    {&R::Frequency, 1, Far}}},
    {"settings", 6, {Int32(&R::Mode), Int32(&R::StopwatchResolution), Int32(&R::TimerResolution),
                     Int32(&R::SetHours), Int32(&R::SetMinutes), Int32(&R::SetSeconds)}},
    {"stopwatch", 8, {Flag(&R::StopwatchStarted), Flag(&R::StopwatchRunning), {&R::StopwatchBefore, 0, Far},
                      Moment(&R::StopwatchStartCounter), Moment(&R::StopwatchStartUtc),
                      {&R::LapStart, 0, TotalTicksLimit}, Flag(&R::LapRefreshOffset), {&R::Laps, 0, MaxLaps}}},
    {"countdown", 7, {Flag(&R::TimerStarted), Flag(&R::TimerRunning), Flag(&R::TimerExpired),
                      Countdown(&R::Remaining), Countdown(&R::RemainingAtStart), Moment(&R::CountdownStartCounter),
                      Moment(&R::CountdownStartUtc)}},
};

uint32_t Crc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char byte : bytes) {
    crc ^= static_cast<unsigned char>(byte);
    for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string CheckLine(std::string_view before) {
  char line[24];
  snprintf(line, sizeof line, "check=%08X\r\n", static_cast<unsigned>(Crc32(before)));
  return line;
}

// Takes the next CRLF-ended line off `text`; false when none is left.
bool TakeLine(std::string_view& text, std::string_view& line) {
  const size_t end = text.find("\r\n");
  if (end == std::string_view::npos) return false;
  line = text.substr(0, end);
  text.remove_prefix(end + 2);
  return true;
}

bool ParseFields(std::string_view line, const RunLine& expected, RunState& state) {
  const std::string_view key = expected.Key;
  if (line.substr(0, key.size()) != key || line.substr(key.size(), 1) != "=") return false;
  const char* next = line.data() + key.size() + 1;
  const char* const end = line.data() + line.size();
  for (int i = 0; i < expected.Count; ++i) {
    if (i > 0 && (next == end || *next++ != ',')) return false;
    const RunField& field = expected.Fields[i];
    int64_t value = 0;
    const auto [stop, error] = std::from_chars(next, end, value);
    if (error != std::errc() || stop == next || value < field.Min || value > field.Max) return false;
    state.*field.Field = value;
    next = stop;
  }
  return next == end;
}

// Relations between fields: a running measurement is started and began before the write.
bool Consistent(const RunState& s) {
  const auto runOk = [&s](int64_t started, int64_t running, int64_t counter, int64_t utc) {
    return (!running || started) && counter <= s.WrittenCounter && utc <= s.WrittenUtc;
  };
  return runOk(s.StopwatchStarted, s.StopwatchRunning, s.StopwatchStartCounter, s.StopwatchStartUtc) &&
         runOk(s.TimerStarted, s.TimerRunning, s.CountdownStartCounter, s.CountdownStartUtc) &&
         CountsToMillis(s.StopwatchBefore, s.Frequency) <= TotalTicksLimit;
}

// The UTC at which the counter read `counter`, within the boot of `now`.
int64_t UtcAt(int64_t counter, const RunMoment& now) {
  const int64_t counts = std::max<int64_t>(now.Counter - counter, 0);
  const int64_t frequency = CounterFrequency();
  const int64_t ago = counts / frequency * UtcPerSecond + counts % frequency * UtcPerSecond / frequency;
  return std::max<int64_t>(now.Utc - ago, 0);
}

// Where a run that was running at the write began, on this boot's counter: the same value within the boot; after
// a restart, as long before now as it had run at the write plus the UTC's advance since (none when it went back).
int64_t ResumedStart(const RunState& s, int64_t startCounter, bool sameBoot, const RunMoment& now) {
  if (sameBoot) return startCounter;
  const int64_t gone = std::clamp<int64_t>((now.Utc - s.WrittenUtc) / 10000, 0, MaxGoneMillis);
  const int64_t ran = CountsToMillis(s.WrittenCounter - startCounter, s.Frequency) + gone;
  return now.Counter - MillisToCounts(ran);
}

// The settings the measurements run with, which the state carries: after a kill the settings file still holds
// those of before the run.
struct KeptSetting {
  int64_t RunState::*Kept;
  int32_t AppSettingsRecord::*Setting;
};
constexpr KeptSetting KeptSettings[] = {
    {&R::Mode, &AppSettingsRecord::Timer_Mode},
    {&R::StopwatchResolution, &AppSettingsRecord::SecondResolution},
    {&R::TimerResolution, &AppSettingsRecord::TimerSecondResolutionIndex},
    {&R::SetHours, &AppSettingsRecord::TimerSettingHour},
    {&R::SetMinutes, &AppSettingsRecord::TimerSettingMinute},
    {&R::SetSeconds, &AppSettingsRecord::TimerSettingSecond},
};

void ResumeSettings(const RunState& s) {
  for (const KeptSetting& kept : KeptSettings) AppSettings.*kept.Setting = static_cast<int32_t>(s.*kept.Kept);
  SelectStopwatchResolution(AppSettings.SecondResolution, MainWindow);
  SelectTimerResolution(AppSettings.TimerSecondResolutionIndex, MainWindow);
}

// Brought up to now as a run, so that its reading and a limit passed meanwhile are what a Stop would leave.
void ResumeStopwatch(const RunState& s, bool sameBoot, const RunMoment& now) {
  if (!s.StopwatchStarted) return;
  StartStopwatchRun(now.Counter);
  RunCounts& run = StopwatchClock.StopwatchRun;
  run.Before = sameBoot ? s.StopwatchBefore : MillisToCounts(CountsToMillis(s.StopwatchBefore, s.Frequency));
  if (s.StopwatchRunning) run.StartedAt = ResumedStart(s, s.StopwatchStartCounter, sameBoot, now);
  PutBackLapCounters({static_cast<int32_t>(s.LapStart), static_cast<int32_t>(s.LapRefreshOffset)});
  AdvanceStopwatch(now.Counter);
  if (!s.StopwatchRunning) StopStopwatchRun(now.Counter);
}

void ResumeCountdown(const RunState& s, bool sameBoot, const RunMoment& now) {
  if (!s.TimerStarted) {
    LoadCountdown(MainWindow);
    return;
  }
  StopwatchClockRecord& clock = StopwatchClock;
  PutBackCountdown(static_cast<int32_t>(s.Remaining));
  clock.RemainingAtStart = static_cast<int32_t>(s.RemainingAtStart);
  clock.CountdownStartedAt = s.TimerRunning ? ResumedStart(s, s.CountdownStartCounter, sameBoot, now) : 0;
  clock.TimerRunning = static_cast<int32_t>(s.TimerRunning);
  clock.TimerStarted = 1;
  clock.TimerExpired = static_cast<int32_t>(s.TimerExpired);
}

}  // namespace

WallClockApi WallClock = {PreciseOrCoarseUtc, GetTickCount64};

RunMoment ReadRunMoment() {
  FILETIME utc = {};
  WallClock.SystemTime(&utc);
  const int64_t utcNow = static_cast<int64_t>(static_cast<uint64_t>(utc.dwHighDateTime) << 32 | utc.dwLowDateTime);
  const int64_t sinceBoot = static_cast<int64_t>(WallClock.TickCount());
  return RunMoment{ReadCounter(), utcNow, (utcNow / 10000 - sinceBoot) / 1000};
}

RunState CaptureRunState(const RunMoment& now) {
  const StopwatchClockRecord& c = StopwatchClock;
  RunState r = {};
  for (const KeptSetting& kept : KeptSettings) r.*kept.Kept = AppSettings.*kept.Setting;
  r.WrittenCounter = now.Counter;
  r.WrittenUtc = now.Utc;
  r.WrittenBoot = now.BootSecond;
  r.Frequency = CounterFrequency();
  r.StopwatchStarted = c.StopwatchStarted;
  r.StopwatchRunning = c.StopwatchRunning;
  r.StopwatchBefore = c.StopwatchRun.Before;
  r.StopwatchStartCounter = c.StopwatchRunning ? c.StopwatchRun.StartedAt : now.Counter;
  r.StopwatchStartUtc = UtcAt(r.StopwatchStartCounter, now);
  r.LapStart = c.LapStart;
  r.LapRefreshOffset = c.LapRefreshOffset;
  r.Laps = LapList.Count;
  r.TimerStarted = c.TimerStarted;
  r.TimerRunning = c.TimerRunning;
  r.TimerExpired = c.TimerExpired;
  r.Remaining = c.TimerRemaining.Ticks;
  r.RemainingAtStart = c.RemainingAtStart;
  r.CountdownStartCounter = c.TimerRunning ? c.CountdownStartedAt : now.Counter;
  r.CountdownStartUtc = UtcAt(r.CountdownStartCounter, now);
  return r;
}

bool HoldsMeasurement(const RunState& state) { return state.StopwatchStarted || state.TimerStarted; }

std::string FormatRunState(const RunState& state) {
  std::string text = std::string(Header) + "\r\n";
  for (const RunLine& line : Lines) {
    text += line.Key;
    for (int i = 0; i < line.Count; ++i) text += (i ? "," : "=") + std::to_string(state.*line.Fields[i].Field);
    text += "\r\n";
  }
  return text + CheckLine(text);
}

bool ParseRunState(std::string_view text, RunState& state) {
  const std::string_view whole = text;
  RunState read = {};
  std::string_view line;
  if (!TakeLine(text, line) || line != Header) return false;
  for (const RunLine& expected : Lines) {
    if (!TakeLine(text, line) || !ParseFields(line, expected, read)) return false;
  }
  if (text != CheckLine(whole.substr(0, whole.size() - text.size())) || !Consistent(read)) return false;
  state = read;
  return true;
}

bool SameBoot(const RunState& state, const RunMoment& now) {
  const int64_t apart = now.BootSecond - state.WrittenBoot;
  return apart >= -2 && apart <= 2 && now.Counter >= state.WrittenCounter && state.Frequency == CounterFrequency();
}

void ResumeRunState(const RunState& state, const RunMoment& now) {
  const bool sameBoot = SameBoot(state, now);
  ResumeSettings(state);
  ResumeStopwatch(state, sameBoot, now);
  ResumeCountdown(state, sameBoot, now);
  ServiceMeasurements();
  RequestMainWindowRepaint();
}
