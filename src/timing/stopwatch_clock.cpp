// The stopwatch's measurement, read from the performance counter and broken down at refresh boundaries.
#include "timing/stopwatch_clock.h"
#include <algorithm>
#include "records/lap_list_record.h"
#include "timing/perf_clock.h"

void (*RecordLapHook)() = nullptr;

namespace {

void BreakDownMillis(ClockTime& record, int32_t millis) {
  record.Ticks = millis;
  record.Hours = millis / 3600000;
  const int32_t inHour = millis % 3600000;
  record.Minutes = inHour / 60000;
  record.Seconds = inHour % 60000 / 1000;
  record.Millis = inHour % 1000;
}

void BreakDownFrames(ClockTime& record, int32_t millis) {
  const int32_t frames = static_cast<int32_t>(static_cast<int64_t>(millis) * 24 / 1000);
  record.Ticks = millis;
  record.Hours = frames / 86400 % 100;
  record.Minutes = frames / 1440 % 60;
  record.Seconds = frames / 24 % 60;
  record.Frames = frames % 24;
}

// Shows the refresh boundary at `total` milliseconds: both times in both breakdowns, and the dial's refresh
// counts, which wrap at one minute's and one hour's worth.
void ShowBoundary(int32_t total) {
  StopwatchClockRecord& clock = StopwatchClock;
  const int32_t lap = total - clock.LapStart;
  BreakDownMillis(clock.TotalTime, total);
  BreakDownFrames(clock.TotalFrameTime, total);
  BreakDownMillis(clock.LapTime, lap);
  BreakDownFrames(clock.LapFrameTime, lap);
  const int32_t refreshes = lap / clock.RefreshDivisor + clock.LapRefreshOffset;
  clock.MinuteRefreshCount = refreshes % (2 * clock.RefreshesPerHalfMinute);
  clock.HourRefreshCount = refreshes % (120 * clock.RefreshesPerHalfMinute);
}

int64_t MeasuredMillis(int64_t now) {
  const RunCounts& run = StopwatchClock.StopwatchRun;
  const int64_t counts = run.Before + (StopwatchClock.StopwatchRunning ? now - run.StartedAt : 0);
  return CountsToMillis(std::max<int64_t>(counts, 0));
}

// The counter value at which the running measurement reaches `millis`.
int64_t CounterAt(int64_t millis) {
  const RunCounts& run = StopwatchClock.StopwatchRun;
  return run.StartedAt - run.Before + MillisToCounts(millis);
}

// Where the stopwatch stops itself: 100 hours of lap, or the largest total a 32-bit count holds. Both are
// multiples of every resolution, so refresh boundaries.
int64_t StopLimit() {
  return std::min<int64_t>(static_cast<int64_t>(StopwatchClock.LapStart) + HundredHoursTicks, TotalTicksLimit);
}

int64_t LastBoundaryBy(int64_t millis) { return millis - millis % StopwatchClock.RefreshDivisor; }
int64_t FirstBoundaryAfter(int64_t millis) { return LastBoundaryBy(millis) + StopwatchClock.RefreshDivisor; }

// The waiting lap is recorded at its boundary once the measurement has reached it, and that boundary counts as
// the new lap's first refresh. The request is taken before the lap is recorded, so that one made meanwhile is
// the next lap's. A full list drops the request.
bool RecordWaitingLap(int64_t measured) {
  StopwatchClockRecord& clock = StopwatchClock;
  if (clock.LapRequest == NoLapRequest) return false;
  const int64_t boundary = FirstBoundaryAfter(clock.LapRequest);
  if (boundary > std::min(measured, StopLimit())) return false;
  ShowBoundary(static_cast<int32_t>(boundary));
  clock.LapRequest = NoLapRequest;
  if (LapList.Count < MaxLaps && RecordLapHook) RecordLapHook();
  if (clock.LapStart == boundary) {
    clock.LapRefreshOffset = 1;
    ShowBoundary(clock.LapStart);
  }
  return true;
}

// Counts refresh boundaries against the redraw hold; true while the hold keeps the latest one back, which it
// does only at the 1 ms resolution (elsewhere it merely counts down).
bool RedrawHeld(int32_t boundaries) {
  int32_t& left = StopwatchClock.DialogRedrawHoldLeft;
  const int32_t before = left;
  left = std::max(before - boundaries, 0);
  return before - boundaries > 0 && StopwatchClock.RefreshDivisor == 1;
}

}  // namespace

void StartStopwatchRun(int64_t now) {
  StopwatchClock.StopwatchRun.StartedAt = now;
  StopwatchClock.StopwatchRunning = 1;
  StopwatchClock.StopwatchStarted = 1;
}

void StopStopwatchRun(int64_t now) {
  AdvanceStopwatch(now);
  if (!StopwatchClock.StopwatchRunning) return;
  RunCounts& run = StopwatchClock.StopwatchRun;
  run.Before += now - run.StartedAt;
  StopwatchClock.StopwatchRunning = 0;
}

void RequestStopwatchLap(int64_t now) {
  if (StopwatchClock.StopwatchRunning && !LapWaiting()) StopwatchClock.LapRequest = MeasuredMillis(now);
}

bool LapWaiting() { return StopwatchClock.LapRequest != NoLapRequest; }

bool AdvanceStopwatch(int64_t now) {
  StopwatchClockRecord& clock = StopwatchClock;
  if (!clock.StopwatchRunning) return false;
  const int32_t shown = clock.TotalTime.Ticks;
  const int64_t measured = MeasuredMillis(now);
  bool lapped = false;
  while (RecordWaitingLap(measured)) lapped = true;
  const int64_t limit = StopLimit();
  ShowBoundary(static_cast<int32_t>(LastBoundaryBy(std::min(measured, limit))));
  // At a limit every time keeps its value; a later Start stops again at once, and only a reset clears it.
  const bool stopped = measured >= limit;
  if (stopped) {
    clock.StopwatchRun.Before = MillisToCounts(limit);
    clock.StopwatchRunning = 0;
  }
  const bool held = RedrawHeld((clock.TotalTime.Ticks - shown) / clock.RefreshDivisor);
  return lapped || stopped || (clock.TotalTime.Ticks != shown && !held);
}

int64_t NextStopwatchDue() {
  if (!StopwatchClock.StopwatchRunning) return NoWake;
  const int64_t limit = CounterAt(StopLimit());
  return LapWaiting() ? std::min(limit, CounterAt(FirstBoundaryAfter(StopwatchClock.LapRequest))) : limit;
}

int64_t NextStopwatchSecond() {
  if (!StopwatchClock.StopwatchRunning) return NoWake;
  const int64_t second = (StopwatchClock.TotalTime.Ticks / 1000 + 1) * 1000;
  return CounterAt(FirstBoundaryAfter(second - 1));
}

int64_t NextStopwatchRefresh() {
  if (!StopwatchClock.StopwatchRunning) return NoWake;
  return CounterAt(FirstBoundaryAfter(StopwatchClock.TotalTime.Ticks));
}

void ZeroLapCounters() {
  StopwatchClock.LapStart = StopwatchClock.TotalTime.Ticks;
  StopwatchClock.LapRefreshOffset = 0;
  ShowBoundary(StopwatchClock.LapStart);
}

void ZeroStopwatchCounters() {
  StopwatchClockRecord& clock = StopwatchClock;
  clock.StopwatchRun = RunCounts{};
  clock.LapStart = 0;
  clock.LapRefreshOffset = 0;
  if (LapWaiting()) clock.LapRequest = 0;
  clock.StopwatchStarted = 0;
  ShowBoundary(0);
}

void CancelLapRequest() { StopwatchClock.LapRequest = NoLapRequest; }

void MakeTimingRecordFresh() { StopwatchClock = StopwatchClockRecord{}; }

void ArmDialogRedrawHold() { StopwatchClock.DialogRedrawHoldLeft = DialogRedrawHoldLength; }

StopwatchReading ReadStopwatch() {
  const StopwatchClockRecord& clock = StopwatchClock;
  return StopwatchReading{clock.LapTime, clock.LapFrameTime, clock.TotalTime, clock.TotalFrameTime,
                          clock.HourRefreshCount, clock.MinuteRefreshCount};
}

LapCounters ReadLapCounters() { return LapCounters{StopwatchClock.LapStart, StopwatchClock.LapRefreshOffset}; }

void PutBackLapCounters(const LapCounters& counters) {
  StopwatchClock.LapStart = counters.LapStart;
  StopwatchClock.LapRefreshOffset = counters.LapRefreshOffset;
  ShowBoundary(StopwatchClock.TotalTime.Ticks);
}
