// The wakes of running measurements. While the window is in view, at most one a display frame or one a refresh
// step, whichever is longer; while nothing is drawn (minimised, or the other mode shown), only at a waiting lap's
// boundary, the stopwatch's limit and the countdown's end.
#include "timing/wake.h"
#include <algorithm>
#include "records/app_globals.h"
#include "records/app_settings_record.h"
#include "records/window_messages.h"
#include "timing/countdown.h"
#include "timing/frame_pacing.h"
#include "timing/mm_timer.h"
#include "timing/perf_clock.h"
#include "timing/stopwatch_clock.h"

void (*CaptionTimeHook)(bool shown) = nullptr;

namespace {

// What one wake leaves for the next. Never made fresh: the next ServiceMeasurements brings it in line with what
// runs, the timer resolution included.
struct WakeState {
  int64_t Armed = NoWake;              // the counter value the wake timer is armed for
  int64_t FrameDue = 0;                // the moment the last frame's wake was due
  bool MillisecondResolution = false;  // timeBeginPeriod(1) is in force
};
WakeState Wake;

bool StopwatchDrawn() { return !FramePacing.WindowMinimized && !InTimerMode(); }
bool CountdownDrawn() { return !FramePacing.WindowMinimized && InTimerMode(); }

// A window timer wakes within the system's timer resolution, 15.6 ms by default: enough for a limit, a lap's
// journal line or a read-out that moves once a second, too coarse for one that moves at every display frame. The
// resolution is raised to 1 ms only while a picture in view changes more often than once a second.
void UpdateTimerResolution() {
  const bool wanted = (StopwatchDrawn() && StopwatchClock.StopwatchRunning && StopwatchClock.RefreshDivisor < 1000) ||
                      (CountdownDrawn() && StopwatchClock.TimerRunning && StopwatchClock.TimerStep < 1000);
  if (wanted == Wake.MillisecondResolution) return;
  Wake.MillisecondResolution = wanted;
  if (wanted) {
    MmTimer.BeginPeriod(1);
  } else {
    MmTimer.EndPeriod(1);
  }
}

// The minimised window's caption shows the time of the mode on display while it runs, if the user wants it.
bool CaptionShowsTime() {
  const StopwatchClockRecord& clock = StopwatchClock;
  return FramePacing.WindowMinimized && AppSettings.CaptionTimeWhenMinimized == 1 &&
         (InTimerMode() ? clock.TimerRunning : clock.StopwatchRunning);
}

// The caption changes once a second at most: at the step or refresh that shows the next whole second.
int64_t NextCaptionChange(int64_t now) {
  if (!CaptionShowsTime()) return NoWake;
  return InTimerMode() ? NextCountdownSecond(now) : NextStopwatchSecond();
}

void CALLBACK OnWakeTimer(HWND, UINT, UINT_PTR, DWORD) { ServiceMeasurements(); }

// The next picture in view changes at a refresh or a step; it is woken for at most once a display frame, on the
// frames' own cadence (a late wake does not push the next one back), but never within half a frame of another.
int64_t NextPicture(int64_t now) {
  int64_t picture = NoWake;
  if (StopwatchDrawn()) picture = NextStopwatchRefresh();
  if (CountdownDrawn()) picture = std::min(picture, NextCountdownStep(now));
  if (picture == NoWake) return NoWake;
  const int64_t frame = std::max<int64_t>(CounterFrequency() / FramePacing.RefreshRate, 2);
  if (now >= Wake.Armed) Wake.FrameDue = Wake.Armed;  // the frame this wake was for
  return std::max({picture, Wake.FrameDue + frame, now + frame / 2});
}

void ArmWake(int64_t now) {
  Wake.Armed = std::min({NextStopwatchDue(), CountdownEnd(), NextPicture(now), NextCaptionChange(now)});
  UpdateTimerResolution();
  const HWND window = MainWindow;
  if (Wake.Armed == NoWake) {
    KillTimer(window, WakeTimerId);
  } else {
    SetTimer(window, WakeTimerId, DelayMillis(now, Wake.Armed), OnWakeTimer);
  }
}

}  // namespace

void ServiceMeasurements() {
  const int64_t now = ReadCounter();
  const bool stopwatchChanged = AdvanceStopwatch(now);
  const bool countdownChanged = AdvanceCountdown(now);
  if ((stopwatchChanged && StopwatchDrawn()) || (countdownChanged && CountdownDrawn())) RequestFrame();
  ArmWake(now);
  if (CaptionTimeHook) CaptionTimeHook(CaptionShowsTime());
}

int64_t ArmedWake() { return Wake.Armed; }

UINT DelayMillis(int64_t now, int64_t due) {
  const int64_t counts = std::max<int64_t>(due - now, 0);
  int64_t millis = CountsToMillis(counts);
  if (MillisToCounts(millis) < counts) ++millis;
  return static_cast<UINT>(std::clamp<int64_t>(millis, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
}
