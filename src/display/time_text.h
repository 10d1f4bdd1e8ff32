// The five text forms in which every measured or remaining time is shown, copied and saved.
#pragma once
#include <cstddef>
#include <cstdint>
#include "records/stopwatch_clock_record.h"

// Room for any time text; the longest that occurs is 13 characters ("596:31:21.000").
constexpr size_t TimeTextSize = 32;

// The millisecond form chosen by the refresh interval; an interval outside the twelve leaves the buffer alone.
void FormatClockTime(int32_t interval, const ClockTime& time, char* buffer, size_t size);
// The stopwatch's lap and total of one moment as the display shows them: frames when 1SecDivIndex is not 0.
void FormatLapText(const StopwatchReading& moment, char* buffer, size_t size);
void FormatTotalText(const StopwatchReading& moment, char* buffer, size_t size);
// The same of the stopwatch's current reading.
void FormatCurrentLapText(char* buffer, size_t size);
void FormatCurrentTotalText(char* buffer, size_t size);
// The countdown's remaining time in the form of FormatClockTime, time past zero after a minus sign.
void FormatCountdownTime(int32_t interval, const ClockTime& remaining, char* buffer, size_t size);

// For the tests only: nothing outside this module calls this.
// Whole seconds at 1000 ms, otherwise seconds and a frame number 00..23.
void FormatFrameTime(int32_t interval, const ClockTime& time, char* buffer, size_t size);
