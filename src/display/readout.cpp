// The digital read-outs (stopwatch without the dial, and the countdown) and the list of recent laps.
#include "display/readout.h"
#include <string>
#include "helpers/wide_text.h"
#include <cstdio>
#include "display/drawing_kit.h"
#include "display/layout.h"
#include "helpers/gdi_helpers.h"
#include "records/app_settings_record.h"
#include "records/lap_list_record.h"
#include "records/stopwatch_clock_record.h"
#include "timing/countdown.h"

namespace {

constexpr COLORREF OvertimeColor = RGB(255, 0, 0);

// The lap count as a valid bound for the records: a record below it is complete.
int32_t RecordedLaps() {
  const int32_t count = LapList.Count;
  if (count < 0) return 0;
  return count > MaxLaps ? MaxLaps : count;
}

void DrawLapLinesOf(HDC dc, int32_t lapCount) {
  for (int32_t index = FirstListedLap(lapCount), row = 0; index < lapCount; ++index, ++row) {
    char line[LapLineSize];
    const int length = FormatLapLine(line, sizeof line, index + 1, LapList.Records[index].Text);
    SIZE size = {};
    const std::wstring wide = WidenAscii(line, length);
    GetTextExtentPoint32W(dc, wide.c_str(), length, &size);
    // Exactly as wide as the text, so the centred text stands at the left edge.
    RECT place = {0, row * size.cy, size.cx, (row + 1) * size.cy};
    DrawTextW(dc, wide.c_str(), length, &place, DT_CENTER);
  }
}

// Draws the box with the selected pen and brush and the text centred over it, in the selected font.
void ReadoutBox(HDC dc, const MeasuredText& text, int32_t top, int32_t bottom) {
  const int32_t centerX = DisplayLayout.CenterX;
  const int32_t width = text.Extent.cx;
  const RECT box = ReadoutBoxRect(centerX, width, top, bottom);
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
  RECT place = ReadoutTextRect(centerX, width, top, bottom);
  DrawTextW(dc, WidenAscii(text.Text, text.Length).c_str(), text.Length, &place, DT_CENTER);
}

// Measures the text and draws its box and itself centred on the window's centre.
void DrawCentredReadout(HDC dc, MeasuredText& text) {
  MeasureText(dc, text);
  const int32_t centerY = DisplayLayout.CenterY;
  const int32_t h = text.Extent.cy;
  ReadoutBox(dc, text, centerY - h / 2, centerY + h / 2);
}

}  // namespace

void DrawDigitalOnlyReadout(RendererFrame& frame) {
  HDC dc = frame.Dc;
  {
    const SelectionGuard font(dc, DisplayFonts.DigitalFont, OBJ_FONT);
    SelectBoxTools(frame);
    MeasuredText lap = {};
    FormatLapText(*frame.Moment, lap.Text, sizeof lap.Text);
    DrawCentredReadout(dc, lap);
    if (AppSettings.StopWatchTotalTimeEnable == 1) {
      MeasuredText total = {};
      FormatTotalText(*frame.Moment, total.Text, sizeof total.Text);
      MeasureText(dc, total);
      // A tenth of a line height below the lap's box (both lines use the same font).
      const int32_t centerY = DisplayLayout.CenterY;
      const int32_t h = total.Extent.cy;
      ReadoutBox(dc, total, centerY + 3 * h / 5, centerY + 8 * h / 5);
    }
  }
  DrawRecentLaps(dc);
}

// Timer mode shows neither a total nor laps, whatever the settings and the lap list hold. Overtime is red.
void DrawCountdownReadout(RendererFrame& frame) {
  const SelectionGuard font(frame.Dc, DisplayFonts.DigitalFont, OBJ_FONT);
  SelectBoxTools(frame);
  const ClockTime left = ReadCountdownRemaining();
  if (left.Ticks < 0) SetTextColor(frame.Dc, OvertimeColor);
  MeasuredText remaining = {};
  FormatCountdownTime(StopwatchClock.TimerStep, left, remaining.Text, sizeof remaining.Text);
  DrawCentredReadout(frame.Dc, remaining);
}

void SelectBoxTools(const RendererFrame& frame) {
  SelectObject(frame.Dc, frame.Kit.ThinPen);
  SelectObject(frame.Dc, frame.Kit.FaceBrush);
}

void MeasureText(HDC dc, MeasuredText& text) {
  text.Length = lstrlenA(text.Text);
  text.Extent = SIZE{};
  GetTextExtentPoint32W(dc, WidenAscii(text.Text, text.Length).c_str(), text.Length, &text.Extent);
}

RECT ReadoutBoxRect(int32_t centerX, int32_t width, int32_t top, int32_t bottom) {
  return RECT{centerX - width / 2 - 1, top, centerX + width / 2, bottom};
}

RECT ReadoutTextRect(int32_t centerX, int32_t width, int32_t top, int32_t bottom) {
  return RECT{centerX - width / 2, top, centerX + width / 2, bottom};
}

int32_t FirstListedLap(int32_t lapCount) { return lapCount > ListedLaps ? lapCount - ListedLaps : 0; }

int FormatLapLine(char* buffer, size_t size, int32_t lapNumber, const char* recordText) {
  if (size == 0) return 0;
  const int written = snprintf(buffer, size, "LAP:%04d %s", static_cast<int>(lapNumber), recordText);
  if (written < 0) {
    buffer[0] = '\0';
    return 0;
  }
  return static_cast<size_t>(written) < size ? written : static_cast<int>(size - 1);
}

void DrawRecentLaps(HDC dc) {
  const int32_t count = RecordedLaps();
  if (count < 1) return;
  const SelectionGuard font(dc, DisplayFonts.LapFont, OBJ_FONT);
  DrawLapLinesOf(dc, count);
}
