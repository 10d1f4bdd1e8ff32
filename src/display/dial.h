// The analog dial: face, sixty graduation marks, numerals, minute and second hands, and the read-out boxes.
#pragma once
#include <windows.h>
#include <array>
#include <cstdint>

// The program's value of pi for every dial angle.
constexpr double DialPi = 3.1415926535858;

// A hand pointing straight up: six points, X to the right, Y upwards, origin at the dial centre.
using HandShape = std::array<POINT, 6>;

// Rebuilds both hands' shapes, which the moving parts draw; called at every layout change.
void BuildHandShapes(int32_t radius);

struct RendererFrame;
// The dial view's still parts: face, marks and numerals (nothing when the client area is too small for a dial).
void DrawDialFace(RendererFrame& frame);
// Its moving parts over them: the read-out boxes when the digital read-out is on, the hands, the texts, the laps.
void DrawDialMovingParts(RendererFrame& frame);

// For the tests only: nothing outside this module calls these.
// The outlines for a dial radius; integer quotients truncate towards zero, also for a negative radius.
HandShape MinuteHandFor(int32_t radius);
HandShape SecondHandFor(int32_t radius);
// A shape turned clockwise by `angle` radians, in client coordinates around the given centre.
HandShape PlaceHand(const HandShape& shape, double angle, int32_t centerX, int32_t centerY);

// Hand angles in radians, clockwise from the top: the minute hand turns once an hour of lap time, the second
// hand once per 60, 30 or 15 seconds (RotDivisor 1, 2 or 4; any other counts as 1).
struct HandAngles {
  double Minute;
  double Second;
};
HandAngles HandAnglesFor(int32_t hourRefreshCount, int32_t minuteRefreshCount, int32_t refreshesPerHalfMinute,
                         int32_t rotDivisor);

// Whether mark i is a major (longer) one on the dial of that RotDivisor.
bool IsMajorMark(int32_t rotDivisor, int32_t markIndex);

// The number a mark carries (0: none) and the offset of the numeral's top left corner from the mark's inner
// end, in client pixels, for a numeral font `fontHeight` high.
struct NumeralPlacement {
  int32_t Number;
  int32_t OffsetX;
  int32_t OffsetY;
};
NumeralPlacement NumeralFor(int32_t rotDivisor, int32_t markIndex, int32_t fontHeight);
