// The five text forms in which every measured or remaining time is shown, copied and saved.
#include "display/time_text.h"
#include <windows.h>
#include "records/app_settings_record.h"
#include "timing/stopwatch_clock.h"

namespace {

enum class Decimals { None, Tenths, Hundredths, Thousandths, Unknown };

// The fewest decimals that show every multiple of the interval exactly.
Decimals DecimalsFor(int32_t interval) {
  switch (interval) {
    case 1000: return Decimals::None;
    case 500: case 100: return Decimals::Tenths;
    case 250: case 60: case 50: case 30: case 20: case 10: return Decimals::Hundredths;
    case 25: case 5: case 1: return Decimals::Thousandths;
    default: return Decimals::Unknown;
  }
}

// wsprintfA writes at most 48 characters for four 32-bit numbers in these forms; the result is then cut to
// the caller's buffer, so no value can overrun it.
void CopyText(const char* text, char* buffer, size_t size) {
  if (size == 0) return;
  lstrcpynA(buffer, text, static_cast<int>(size < 1024 ? size : 1024));
}

}  // namespace

void FormatClockTime(int32_t interval, const ClockTime& time, char* buffer, size_t size) {
  const int h = time.Hours, m = time.Minutes, s = time.Seconds, ms = time.Millis;
  char text[64];
  switch (DecimalsFor(interval)) {
    case Decimals::None: wsprintfA(text, "%02d:%02d:%02d", h, m, s); break;
    case Decimals::Tenths: wsprintfA(text, "%02d:%02d:%02d.%d", h, m, s, ms / 100); break;
    case Decimals::Hundredths: wsprintfA(text, "%02d:%02d:%02d.%02d", h, m, s, ms / 10); break;
    case Decimals::Thousandths: wsprintfA(text, "%02d:%02d:%02d.%03d", h, m, s, ms); break;
    case Decimals::Unknown: return;
  }
  CopyText(text, buffer, size);
}

void FormatCountdownTime(int32_t interval, const ClockTime& remaining, char* buffer, size_t size) {
  char text[TimeTextSize] = "-";
  const bool overtime = remaining.Ticks < 0;
  FormatClockTime(interval, remaining, text + 1, sizeof text - 1);
  CopyText(overtime ? text : text + 1, buffer, size);
}

void FormatFrameTime(int32_t interval, const ClockTime& time, char* buffer, size_t size) {
  const int h = time.Hours, m = time.Minutes, s = time.Seconds;
  char text[64];
  if (interval == 1000) {
    wsprintfA(text, "%02d:%02d:%02d", h, m, s);
  } else {
    wsprintfA(text, "%02d:%02d:%02d.%02d", h, m, s, static_cast<int>(time.Frames));
  }
  CopyText(text, buffer, size);
}

namespace {

void FormatStopwatchTime(const ClockTime& millis, const ClockTime& frames, char* buffer, size_t size) {
  const int32_t interval = StopwatchClock.RefreshDivisor;
  if (AppSettings.OneSecDivIndex == 0) {
    FormatClockTime(interval, millis, buffer, size);
  } else {
    FormatFrameTime(interval, frames, buffer, size);
  }
}

}  // namespace

void FormatLapText(const StopwatchReading& moment, char* buffer, size_t size) {
  FormatStopwatchTime(moment.Lap, moment.LapFrames, buffer, size);
}

void FormatTotalText(const StopwatchReading& moment, char* buffer, size_t size) {
  FormatStopwatchTime(moment.Total, moment.TotalFrames, buffer, size);
}

void FormatCurrentLapText(char* buffer, size_t size) { FormatLapText(ReadStopwatch(), buffer, size); }

void FormatCurrentTotalText(char* buffer, size_t size) { FormatTotalText(ReadStopwatch(), buffer, size); }
