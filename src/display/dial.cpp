// The analog dial: face, sixty graduation marks, numerals, minute and second hands, and the read-out boxes.
#include "display/dial.h"
#include <string>
#include "helpers/wide_text.h"
#include <cmath>
#include "display/drawing_kit.h"
#include "display/layout.h"
#include "display/readout.h"
#include "helpers/gdi_helpers.h"
#include "records/app_settings_record.h"
#include "records/stopwatch_clock_record.h"

namespace {

// The hands of the current layout, pointing up.
struct HandShapes {
  HandShape Minute;
  HandShape Second;
};
HandShapes Hands;

// A fraction of the numeral font height, taken as numerator * e / denominator with truncation, so that for
// instance -5e/4 is -(e + e/4).
struct HeightFraction {
  int32_t Numerator;
  int32_t Denominator;
};
int32_t Of(HeightFraction fraction, int32_t e) { return fraction.Numerator * e / fraction.Denominator; }

constexpr HeightFraction Zero{0, 1};
constexpr HeightFraction MinusWhole{-1, 1};
constexpr HeightFraction MinusHalf{-1, 2};
constexpr HeightFraction MinusQuarter{-1, 4};
constexpr HeightFraction MinusEighth{-1, 8};
constexpr HeightFraction MinusThreeQuarters{-3, 4};
constexpr HeightFraction MinusFiveQuarters{-5, 4};
constexpr HeightFraction PlusQuarter{1, 4};

struct NumeralOffset {
  HeightFraction X;
  HeightFraction Y;
};

// One row per numeral, clockwise from the top; each keeps its text inside the ring of marks.
constexpr NumeralOffset SixtySecondOffsets[] = {
    {MinusHalf, Zero},                 // 60
    {MinusHalf, Zero},                 // 5
    {MinusWhole, Zero},                // 10
    {MinusFiveQuarters, MinusHalf},    // 15
    {MinusWhole, MinusWhole},          // 20
    {MinusWhole, MinusWhole},          // 25
    {MinusHalf, MinusWhole},           // 30
    {Zero, MinusWhole},                // 35
    {Zero, MinusWhole},                // 40
    {PlusQuarter, MinusHalf},          // 45
    {Zero, Zero},                      // 50
    {Zero, Zero},                      // 55
};
constexpr NumeralOffset ThirtySecondOffsets[] = {
    {MinusHalf, Zero},                 // 30
    {MinusThreeQuarters, MinusHalf},   // 5
    {MinusFiveQuarters, MinusHalf},    // 10
    {MinusHalf, MinusWhole},           // 15
    {PlusQuarter, MinusHalf},          // 20
    {PlusQuarter, MinusHalf},          // 25
};
constexpr NumeralOffset FifteenSecondOffsets[] = {
    {MinusHalf, Zero},                 // 15
    {MinusHalf, Zero},                 // 1
    {MinusHalf, Zero},                 // 2
    {MinusThreeQuarters, MinusHalf},   // 3
    {MinusThreeQuarters, MinusHalf},   // 4
    {MinusThreeQuarters, MinusHalf},   // 5
    {MinusHalf, MinusWhole},           // 6
    {MinusQuarter, MinusWhole},        // 7
    {MinusEighth, MinusWhole},         // 8
    {Zero, MinusWhole},                // 9
    {PlusQuarter, MinusHalf},          // 10
    {PlusQuarter, MinusHalf},          // 11
    {PlusQuarter, MinusHalf},          // 12
    {Zero, Zero},                      // 13
    {Zero, Zero},                      // 14
};

constexpr int32_t MarkCount = 60;

// One dial revolution setting: a mark is 1/RotDivisor seconds; numbers are mark index / RotDivisor.
struct DialScale {
  int32_t RotDivisor;
  int32_t MajorEvery;    // marks
  int32_t NumeralEvery;  // marks
  const NumeralOffset* Offsets;
};
constexpr DialScale SixtySecondDial{1, 5, 5, SixtySecondOffsets};
constexpr DialScale ThirtySecondDial{2, 2, 10, ThirtySecondOffsets};
constexpr DialScale FifteenSecondDial{4, 4, 4, FifteenSecondOffsets};

const DialScale& ScaleFor(int32_t rotDivisor) {
  switch (rotDivisor) {
    case 2: return ThirtySecondDial;
    case 4: return FifteenSecondDial;
    default: return SixtySecondDial;
  }
}

// A hand of half width `half` up to its shoulder, narrowing to `tipHalf` at its tip, with a tail of R/12.
HandShape HandOutline(int32_t radius, int32_t half, int32_t shoulder, int32_t tipHalf, int32_t tip) {
  const int32_t tail = -(radius / 12);
  return HandShape{{{-half, tail}, {-half, shoulder}, {-tipHalf, tip}, {tipHalf, tip}, {half, shoulder}, {half, tail}}};
}

struct Direction {
  double Cos;
  double Sin;
};

// A point `radius` from the centre in that direction, in dial coordinates (y upwards).
POINT DialPoint(int32_t radius, Direction direction) {
  return POINT{Truncate(radius * direction.Cos), Truncate(radius * direction.Sin)};
}

void LineBetween(HDC dc, POINT from, POINT to) {
  const int32_t centerX = DisplayLayout.CenterX;
  const int32_t centerY = DisplayLayout.CenterY;
  MoveToEx(dc, centerX + from.x, centerY - from.y, nullptr);
  LineTo(dc, centerX + to.x, centerY - to.y);
}

// Mark i of 0..59, clockwise from the top, in radians from the 3 o'clock direction.
double MarkAngle(int32_t markIndex) { return (15 - markIndex) * DialPi / 30; }

// Draws the numeral of mark i, if it has one, in the selected font; `innerEnd` is in dial coordinates.
void DrawNumeral(int32_t rotDivisor, int32_t markIndex, POINT innerEnd, HDC dc) {
  const NumeralPlacement numeral = NumeralFor(rotDivisor, markIndex, DisplayLayout.NumeralFontHeight);
  if (numeral.Number == 0) return;
  const std::wstring text = std::to_wstring(numeral.Number);
  TextOutW(dc, DisplayLayout.CenterX + innerEnd.x + numeral.OffsetX,
           DisplayLayout.CenterY - innerEnd.y + numeral.OffsetY, text.c_str(), static_cast<int>(text.size()));
}

void DrawFace(const RendererFrame& frame) {
  const RECT& face = DisplayLayout.FaceRect;
  SelectObject(frame.Dc, AppSettings.FrameGraduation != 0 ? frame.Kit.ThickPen : frame.Kit.ThinPen);
  SelectObject(frame.Dc, frame.Kit.FaceBrush);
  Ellipse(frame.Dc, face.left, face.top, face.right, face.bottom);
}

void DrawMarksAndNumerals(const RendererFrame& frame, int32_t rotDivisor) {
  const DisplayLayoutRecord& layout = DisplayLayout;
  const HPEN majorPen = AppSettings.FiveSecIntervalMeasure == 1 ? frame.Kit.ThickPen : frame.Kit.ThinPen;
  for (int32_t i = 0; i < MarkCount; ++i) {
    const double angle = MarkAngle(i);
    const Direction direction{std::cos(angle), std::sin(angle)};
    const bool major = IsMajorMark(rotDivisor, i);
    const POINT outer = DialPoint(layout.MarkOuterRadius, direction);
    const POINT inner = DialPoint(major ? layout.MajorMarkInnerRadius : layout.MinorMarkInnerRadius, direction);
    SelectObject(frame.Dc, major ? majorPen : frame.Kit.ThinPen);
    LineBetween(frame.Dc, inner, outer);
    DrawNumeral(rotDivisor, i, inner, frame.Dc);
  }
}

void DrawHands(const RendererFrame& frame, int32_t rotDivisor) {
  const StopwatchReading& moment = *frame.Moment;
  const HandAngles angles = HandAnglesFor(moment.HourRefreshCount, moment.MinuteRefreshCount,
                                          StopwatchClock.RefreshesPerHalfMinute, rotDivisor);
  SelectObject(frame.Dc, frame.Kit.ThinPen);
  SelectObject(frame.Dc, frame.Kit.HandBrush);
  const int32_t centerX = DisplayLayout.CenterX;
  const int32_t centerY = DisplayLayout.CenterY;
  const HandShape minute = PlaceHand(Hands.Minute, angles.Minute, centerX, centerY);
  Polygon(frame.Dc, minute.data(), static_cast<int>(minute.size()));
  const HandShape second = PlaceHand(Hands.Second, angles.Second, centerX, centerY);
  Polygon(frame.Dc, second.data(), static_cast<int>(second.size()));
}

// A read-out of the dial view: row 0 the lap, row 1 the total. Its box lies row + 1/2 text heights below the
// centre; its text rectangle reaches 5/2 heights down, so one line stands on each box.
struct DialReadout {
  MeasuredText Text;
  RECT Box;
  RECT TextRect;
};

void MeasureDialReadout(HDC dc, DialReadout& readout, int32_t row) {
  {
    const SelectionGuard font(dc, DisplayFonts.DialTextFont, OBJ_FONT);
    MeasureText(dc, readout.Text);
  }
  const int32_t centerX = DisplayLayout.CenterX;
  const int32_t centerY = DisplayLayout.CenterY;
  const int32_t w = readout.Text.Extent.cx;
  const int32_t h = readout.Text.Extent.cy;
  const int32_t top = centerY + (2 * row + 1) * h / 2;
  readout.Box = ReadoutBoxRect(centerX, w, top, centerY + (2 * row + 3) * h / 2);
  readout.TextRect = ReadoutTextRect(centerX, w, top, centerY + 5 * h / 2);
}

// Writes the read-out's text of the frame's moment, measures it and draws its box under the hands.
void DrawDialReadoutBox(const RendererFrame& frame, DialReadout& readout,
                        void (*formatText)(const StopwatchReading&, char*, size_t), int32_t row) {
  formatText(*frame.Moment, readout.Text.Text, sizeof readout.Text.Text);
  MeasureDialReadout(frame.Dc, readout, row);
  Rectangle(frame.Dc, readout.Box.left, readout.Box.top, readout.Box.right, readout.Box.bottom);
}

void DrawDialReadoutText(HDC dc, DialReadout& readout) {
  DrawTextW(dc, WidenAscii(readout.Text.Text, readout.Text.Length).c_str(), readout.Text.Length, &readout.TextRect,
            DT_CENTER | DT_WORDBREAK);
}

// A client area too small for a dial has a radius of 0 or less; its face, marks and hands would be drawn inside
// out, so only the background, read-outs and laps are drawn.
bool DialFits() { return DisplayLayout.DialRadius > 0; }

int32_t ChosenRotDivisor() { return ScaleFor(AppSettings.RotDivisor).RotDivisor; }

}  // namespace

HandShape MinuteHandFor(int32_t radius) {
  const int32_t r = radius;
  return HandOutline(r, r / 30, r - r / 7, r / 60, r - r / 12);
}

HandShape SecondHandFor(int32_t radius) {
  const int32_t r = radius;
  return HandOutline(r, r / 60, r - r / 8, r / 60, r - r / 20);
}

void BuildHandShapes(int32_t radius) { Hands = HandShapes{MinuteHandFor(radius), SecondHandFor(radius)}; }

HandShape PlaceHand(const HandShape& shape, double angle, int32_t centerX, int32_t centerY) {
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  HandShape placed;
  for (size_t k = 0; k < shape.size(); ++k) {
    const double x = shape[k].x;
    const double y = shape[k].y;
    placed[k] = POINT{centerX + Truncate(x * c + y * s), centerY - Truncate(y * c - x * s)};
  }
  return placed;
}

HandAngles HandAnglesFor(int32_t hourRefreshCount, int32_t minuteRefreshCount, int32_t refreshesPerHalfMinute,
                         int32_t rotDivisor) {
  if (refreshesPerHalfMinute <= 0) return HandAngles{0.0, 0.0};
  const double perRevolution = static_cast<double>(refreshesPerHalfMinute) / ScaleFor(rotDivisor).RotDivisor;
  return HandAngles{hourRefreshCount * DialPi / (60.0 * refreshesPerHalfMinute),
                    minuteRefreshCount * DialPi / perRevolution};
}

bool IsMajorMark(int32_t rotDivisor, int32_t markIndex) {
  return markIndex % ScaleFor(rotDivisor).MajorEvery == 0;
}

NumeralPlacement NumeralFor(int32_t rotDivisor, int32_t markIndex, int32_t fontHeight) {
  const DialScale& scale = ScaleFor(rotDivisor);
  if (markIndex < 0 || markIndex >= MarkCount || markIndex % scale.NumeralEvery != 0) return NumeralPlacement{0, 0, 0};
  const NumeralOffset& offset = scale.Offsets[markIndex / scale.NumeralEvery];
  const int32_t number = (markIndex == 0 ? MarkCount : markIndex) / scale.RotDivisor;
  return NumeralPlacement{number, Of(offset.X, fontHeight), Of(offset.Y, fontHeight)};
}

void DrawDialFace(RendererFrame& frame) {
  if (!DialFits()) return;
  const SelectionGuard font(frame.Dc, DisplayFonts.NumeralFont, OBJ_FONT);
  DrawFace(frame);
  DrawMarksAndNumerals(frame, ChosenRotDivisor());
}

void DrawDialMovingParts(RendererFrame& frame) {
  HDC dc = frame.Dc;
  const AppSettingsRecord& s = AppSettings;
  const bool readoutOn = s.DisitalModeOnOff == 1;
  const bool withTotal = s.StopWatchTotalTimeEnable == 1;
  DialReadout lap = {};
  DialReadout total = {};
  if (readoutOn) {
    SelectBoxTools(frame);
    DrawDialReadoutBox(frame, lap, FormatLapText, 0);
    if (withTotal) DrawDialReadoutBox(frame, total, FormatTotalText, 1);
  }

  if (DialFits()) DrawHands(frame, ChosenRotDivisor());

  // The texts go over the hands, the boxes under them.
  if (readoutOn && s.DigitalOnly == 0) {
    const SelectionGuard font(dc, DisplayFonts.DialTextFont, OBJ_FONT);
    DrawDialReadoutText(dc, lap);
    if (withTotal) DrawDialReadoutText(dc, total);
  }

  // The laps of the dial view keep the memory DC's own text colour.
  SetTextColor(dc, frame.PreviousTextColor);
  DrawRecentLaps(dc);
}
