// The digital read-outs (stopwatch without the dial, and the countdown) and the list of recent laps.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include "display/time_text.h"

// A time text and its size in the font selected when it was measured.
struct MeasuredText {
  char Text[TimeTextSize];
  int Length;
  SIZE Extent;
};
// Measures text.Text in the font selected into `dc`.
void MeasureText(HDC dc, MeasuredText& text);

// The face-coloured box under a text `width` wide, centred on `centerX`, between `top` and `bottom`; the text's
// own rectangle is one pixel narrower on the left. Right and bottom edges are excluded, as GDI's are.
RECT ReadoutBoxRect(int32_t centerX, int32_t width, int32_t top, int32_t bottom);
RECT ReadoutTextRect(int32_t centerX, int32_t width, int32_t top, int32_t bottom);
struct RendererFrame;
// Selects the pen and brush of every read-out box, the thin outline and the face-coloured fill, into the
// frame's DC.
void SelectBoxTools(const RendererFrame& frame);

// At most this many laps are listed, the newest last.
constexpr int32_t ListedLaps = 10;
// Room for one lap line: "LAP:", the number, a blank and a whole record.
constexpr size_t LapLineSize = 160;
// The recent laps from the top left corner in the lap font and the text colour selected into `dc`, when at least
// one lap is recorded; the DC's font is put back afterwards.
void DrawRecentLaps(HDC dc);

// The stopwatch's read-out when it is the only view: lap time, optionally the total under it, and the laps.
void DrawDigitalOnlyReadout(RendererFrame& frame);
// The countdown's remaining time, at the countdown's own resolution.
void DrawCountdownReadout(RendererFrame& frame);

// For the tests only: nothing outside this module calls these.
// Index of the first listed lap among `lapCount` recorded ones.
int32_t FirstListedLap(int32_t lapCount);
// "LAP:%04d %s" from a lap number (counting from 1) and its record text; returns the length written.
int FormatLapLine(char* buffer, size_t size, int32_t lapNumber, const char* recordText);
