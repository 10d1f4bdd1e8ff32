// The stopwatch's tick: every multimedia timer callback is exactly one millisecond of measured time.
#include "timing/stopwatch_clock.h"
#include <atomic>
#include <type_traits>
#include "records/app_settings_record.h"
#include "records/lap_list_record.h"
#include "timing/frame_pacing.h"
#include "timing/mm_timer.h"

void (*RecordLapHook)() = nullptr;

namespace {

// Whole frames at 24 per second in a count of milliseconds.
int32_t FramesInTicks(int32_t ticks) {
  return static_cast<int32_t>(static_cast<int64_t>(ticks) * 24 / 1000);
}

// The tick tests remainders five times per millisecond. Dividing by a run-time divisor costs more than the rest
// of the tick together, so the tick is compiled once for each of the twelve resolutions, where the compiler turns
// every remainder into a multiplication; `Divisor` is then a compile-time constant, or a plain int for any other
// divisor.
template <int32_t D>
using Fixed = std::integral_constant<int32_t, D>;

template <class Divisor>
void BreakDownTicks(ClockTime& record, Divisor divisor) {
  const int32_t ticks = record.Ticks;
  if (ticks % divisor != 0) return;
  record.Hours = ticks / 3600000;
  const int32_t inHour = ticks % 3600000;
  record.Minutes = inHour / 60000;
  record.Seconds = inHour % 60000 / 1000;
  record.Millis = inHour % 1000;
}

void BreakDownFrames(ClockTime& record, int32_t frames) {
  record.Hours = frames / 86400 % 100;
  record.Minutes = frames / 1440 % 60;
  record.Seconds = frames / 24 % 60;
  record.Frames = frames % 24;
}

// One more millisecond on a millisecond record and its frame twin, each broken down at a refresh boundary.
template <class Divisor>
void CountTick(ClockTime& millis, ClockTime& frames, Divisor divisor) {
  millis.Ticks += 1;
  frames.Ticks += 1;
  BreakDownTicks(millis, divisor);
  const int32_t frameTicks = frames.Ticks;
  if (frameTicks % divisor == 0) BreakDownFrames(frames, FramesInTicks(frameTicks));
}

// The dial's refresh counters move on, wrapping at one minute's and one hour's worth.
void MoveRefreshCountsOn() {
  StopwatchClockRecord& clock = StopwatchClock;
  const int32_t perHalfMinute = clock.RefreshesPerHalfMinute;
  clock.MinuteRefreshCount += 1;
  if (clock.MinuteRefreshCount == 2 * perHalfMinute) clock.MinuteRefreshCount = 0;
  clock.HourRefreshCount += 1;
  if (clock.HourRefreshCount == 120 * perHalfMinute) clock.HourRefreshCount = 0;
}

// The user-interface thread sets the request at any time; the tick takes it with one exchange, tried only when
// the request is set.
bool TakeLapRequest() {
  SharedInt& request = StopwatchClock.LapRequest;
  return request != 0 && request.value.exchange(0, std::memory_order_acq_rel) != 0;
}

// At a refresh boundary a pending lap is recorded (or dropped when the list is full), outside any update of the
// reading: recording it waits for the user-interface thread, which may be reading. The lap restarts the lap's
// counters, and the boundary counts as the new lap's first refresh. The request is taken before the lap is
// published, so that one made as soon as the lap shows is kept for the next boundary.
void RecordRequestedLap() {
  if (!TakeLapRequest()) return;
  if (LapList.Count < MaxLaps && RecordLapHook) RecordLapHook();
  StopwatchClockRecord& clock = StopwatchClock;
  if (clock.RefreshTicks != 0) return;  // no lap began
  BeginUpdate(clock.ReadingUpdates);
  MoveRefreshCountsOn();
  EndUpdate(clock.ReadingUpdates);
}

bool ReachedStopLimit() {
  return StopwatchClock.LapTime.Hours >= 100 || StopwatchClock.TotalTime.Ticks >= TotalTicksLimit;
}

// Counts a refresh boundary against the redraw hold; true while the hold still holds this one back. A dialog
// may arm the hold again meanwhile: the compare-exchange then counts down from the new length.
bool RedrawHeld() {
  SharedInt& hold = StopwatchClock.DialogRedrawHoldLeft;
  int32_t left = hold;
  while (left > 0 && !hold.value.compare_exchange_weak(left, left - 1, std::memory_order_acq_rel)) {
  }
  return left > 1;
}

// Lap, total and refresh boundaries fall on the same ticks: the lap and its refresh count restart together at a
// boundary, where the total is a multiple of the resolution too, and the resolution cannot change while a
// measurement exists. So one update of the reading around a boundary covers every breakdown and the counters.
template <class Divisor>
void AdvanceTicksBy(Divisor divisor) {
  StopwatchClockRecord& clock = StopwatchClock;
  clock.RefreshTicks += 1;
  const bool boundary = clock.RefreshTicks % divisor == 0;
  if (boundary) BeginUpdate(clock.ReadingUpdates);
  CountTick(clock.LapTime, clock.LapFrameTime, divisor);
  CountTick(clock.TotalTime, clock.TotalFrameTime, divisor);
  if (!boundary) return;
  MoveRefreshCountsOn();
  EndUpdate(clock.ReadingUpdates);
  RecordRequestedLap();
}

}  // namespace

void AdvanceTicks() {
  // At the limit of the 32-bit total no tick is counted any more; the tick then stops the stopwatch.
  if (StopwatchClock.TotalTime.Ticks >= TotalTicksLimit) return;
  const int32_t divisor = StopwatchClock.RefreshDivisor;
  switch (divisor) {  // the milliseconds of the twelve rows of ResolutionTable
    case 1000: return AdvanceTicksBy(Fixed<1000>{});
    case 500: return AdvanceTicksBy(Fixed<500>{});
    case 250: return AdvanceTicksBy(Fixed<250>{});
    case 100: return AdvanceTicksBy(Fixed<100>{});
    case 60: return AdvanceTicksBy(Fixed<60>{});
    case 50: return AdvanceTicksBy(Fixed<50>{});
    case 30: return AdvanceTicksBy(Fixed<30>{});
    case 25: return AdvanceTicksBy(Fixed<25>{});
    case 20: return AdvanceTicksBy(Fixed<20>{});
    case 10: return AdvanceTicksBy(Fixed<10>{});
    case 5: return AdvanceTicksBy(Fixed<5>{});
    case 1: return AdvanceTicksBy(Fixed<1>{});
    default: return AdvanceTicksBy(divisor);
  }
}

namespace {

// 1 while a tick runs; with StopwatchRunning the stop handshake of mm_timer.h, so that nothing the
// user-interface thread does after a stop can interleave with a late callback.
std::atomic<int32_t> TickBusy{0};

// Whether this tick brings a picture to show: a refresh boundary that the redraw hold does not keep back (it
// does only at the 1 ms resolution; elsewhere it merely counts down).
bool RefreshDue() {
  const int32_t divisor = StopwatchClock.RefreshDivisor;
  if (StopwatchClock.RefreshTicks % divisor != 0) return false;
  return !(RedrawHeld() && divisor == 1);
}

void RunTick() {
  const int32_t lapsBefore = LapList.Count;
  AdvanceTicks();
  // At a limit the stopwatch stops itself; every counter keeps its value and only a reset clears the limit.
  const bool stopped = ReachedStopLimit();
  if (stopped) StopOwnTimer(StopwatchTimer());
  // Behind the timer display the stopwatch counts on without asking for repaints.
  if (InTimerMode()) return;
  const bool due = RefreshDue();
  // A lap is shown at once, and so is the stop: no later tick would ask for a refresh left for the frame's end.
  const bool atOnce = stopped || LapList.Count != lapsBefore;
  const Refresh refresh = atOnce ? Refresh::AtOnce : due ? Refresh::Paced : Refresh::None;
  if (PaceRepaint(StopwatchPacer, 1, refresh)) RequestFrame();
}

}  // namespace

TimerFlags StopwatchTimer() {
  return TimerFlags{StopwatchClock.StopwatchRunning, StopwatchClock.StopwatchTimerId, StopwatchClock.StopwatchStarted};
}

void ZeroLapCounters() {
  StopwatchClockRecord& clock = StopwatchClock;
  BeginUpdate(clock.ReadingUpdates);
  clock.RefreshTicks = 0;
  clock.HourRefreshCount = 0;
  clock.MinuteRefreshCount = 0;
  clock.LapTime = ClockTime{};
  clock.LapFrameTime = ClockTime{};
  EndUpdate(clock.ReadingUpdates);
}

StopwatchReading ReadStopwatch() {
  const StopwatchClockRecord& clock = StopwatchClock;
  StopwatchReading reading{};
  ReadWhole(clock.ReadingUpdates, [&] {
    reading = StopwatchReading{clock.LapTime, clock.LapFrameTime, clock.TotalTime, clock.TotalFrameTime,
                               clock.HourRefreshCount, clock.MinuteRefreshCount};
  });
  return reading;
}

LapCounters ReadLapCounters() {
  const StopwatchClockRecord& clock = StopwatchClock;
  return LapCounters{clock.LapTime, clock.LapFrameTime, clock.RefreshTicks, clock.HourRefreshCount,
                     clock.MinuteRefreshCount};
}

void PutBackLapCounters(const LapCounters& counters) {
  StopwatchClockRecord& clock = StopwatchClock;
  BeginUpdate(clock.ReadingUpdates);
  clock.LapTime = counters.LapTime;
  clock.LapFrameTime = counters.LapFrameTime;
  clock.RefreshTicks = counters.RefreshTicks;
  clock.HourRefreshCount = counters.HourRefreshCount;
  clock.MinuteRefreshCount = counters.MinuteRefreshCount;
  EndUpdate(clock.ReadingUpdates);
}

void CALLBACK ClockTick(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  if (BeginCallback(TickBusy, StopwatchClock.StopwatchRunning)) RunTick();
  EndCallback(TickBusy);
}

void StopStopwatchTimer() {
  StopTimerAndDrain(StopwatchClock.StopwatchRunning, StopwatchClock.StopwatchTimerId, TickBusy);
}
