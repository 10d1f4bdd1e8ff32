// The display's pure geometry: layout from the client size, the fitted font height, hand outlines and angles,
// numeral placement and the lap list's lines.
#include <gtest/gtest.h>
#include <array>
#include <climits>
#include <set>
#include <string>
#include <utility>
#include <vector>
#include "display/dial.h"
#include "display/layout.h"
#include "display/readout.h"
#include "helpers/dpi.h"
#include "helpers/window_helpers.h"
#include "support/case_names.h"

namespace {

struct LayoutCase {
  int32_t Width, Height;
  int32_t CenterX, CenterY;
  RECT Face;
  int32_t Radius, Outer, MajorInner, MinorInner;
  int32_t NumeralFont, DialTextFont, DigitalFont, LapFont;
  UINT Dpi = FileDpi;
};

class LayoutOfClient : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutOfClient, FollowsTheClientSizeWithTruncatingArithmetic) {
  const LayoutCase& c = GetParam();
  const DisplayLayoutRecord layout = LayoutForClient(c.Width, c.Height, c.Dpi);
  EXPECT_EQ(layout.Dpi, c.Dpi);
  EXPECT_EQ(layout.CenterX, c.CenterX);
  EXPECT_EQ(layout.CenterY, c.CenterY);
  EXPECT_EQ(layout.FaceRect.left, c.Face.left);
  EXPECT_EQ(layout.FaceRect.top, c.Face.top);
  EXPECT_EQ(layout.FaceRect.right, c.Face.right);
  EXPECT_EQ(layout.FaceRect.bottom, c.Face.bottom);
  EXPECT_EQ(layout.DialRadius, c.Radius);
  EXPECT_EQ(layout.MarkOuterRadius, c.Outer);
  EXPECT_EQ(layout.MajorMarkInnerRadius, c.MajorInner);
  EXPECT_EQ(layout.MinorMarkInnerRadius, c.MinorInner);
  EXPECT_EQ(layout.NumeralFontHeight, c.NumeralFont);
  EXPECT_EQ(layout.DialTextFontHeight, c.DialTextFont);
  EXPECT_EQ(layout.DigitalFontHeight, c.DigitalFont);
  EXPECT_EQ(layout.LapFontHeight, c.LapFont);
}

INSTANTIATE_TEST_SUITE_P(
    Display, LayoutOfClient,
    ::testing::Values(
        // Wide: the face spans the height and is centred on CenterX.
        LayoutCase{400, 300, 199, 149, {65, 14, 333, 283}, 134, 129, 116, 122, 20, 30, 57, 12},
        // Tall: the face spans the width and is centred on CenterY.
        LayoutCase{300, 400, 149, 199, {14, 65, 283, 333}, 134, 129, 116, 122, 20, 30, 57, 12},
        // Square: 240 / 5.2 = 46.15 and 0.97 x 104 = 100.88 truncate.
        LayoutCase{240, 240, 119, 119, {14, 15, 223, 223}, 104, 100, 90, 95, 16, 24, 46, 9},
        // Minimised: -31 / 2 truncates to -15, and the negative radii truncate towards zero.
        LayoutCase{0, 0, -1, -1, {14, 14, -17, -16}, -16, -15, -13, -14, 0, 0, 0, 0},
        // Too narrow for a dial.
        LayoutCase{20, 300, 9, 149, {14, 154, 3, 144}, -6, -5, -4, -4, 1, 2, 3, 0},
        // The margin scales with the DPI: 22.5 pixels round to 23, at 192 DPI it is 30. The fonts follow the
        // client size alone.
        LayoutCase{240, 240, 119, 119, {22, 23, 215, 215}, 96, 93, 83, 88, 16, 24, 46, 9, 144},
        LayoutCase{400, 300, 199, 149, {80, 29, 318, 268}, 119, 115, 103, 109, 20, 30, 57, 12, 192}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) {
      return std::to_string(info.param.Width) + "x" + std::to_string(info.param.Height) + "At" +
             std::to_string(info.param.Dpi) + "Dpi";
    });

struct DpiCase {
  const char* Name;
  int32_t Units;  // in the settings file, at 96 DPI
  UINT Dpi;
  int32_t Pixels;
  int32_t UnitsBack;
};

class SettingsUnits : public ::testing::TestWithParam<DpiCase> {};

TEST_P(SettingsUnits, BecomePixelsAtTheDpiAndComeBackRounded) {
  const DpiCase& c = GetParam();
  EXPECT_EQ(ToPixels(c.Units, c.Dpi), c.Pixels);
  EXPECT_EQ(ToFileUnits(c.Pixels, c.Dpi), c.UnitsBack);
}

INSTANTIATE_TEST_SUITE_P(
    Display, SettingsUnits,
    ::testing::Values(DpiCase{"UnchangedAt96", 240, 96, 240, 240}, DpiCase{"HalfAgainAt144", 240, 144, 360, 240},
                      DpiCase{"HalvesRoundAwayFromZero", 15, 144, 23, 15},
                      DpiCase{"NegativeHalvesToo", -1, 144, -2, -1},
                      DpiCase{"NoDpiCountsAs96", 17, 0, 17, 17},
                      DpiCase{"HeldWithinTheThirtyTwoBitRange", INT32_MIN, 144, INT32_MIN, -1431655765}),
    test::RowName);

struct FitCase {
  int32_t Width;
  int32_t TextLength;
  int32_t Height;
};

class FittedDigitalFont : public ::testing::TestWithParam<FitCase> {};

TEST_P(FittedDigitalFont, IsTwiceTheWidthPerCharacterTruncated) {
  EXPECT_EQ(FitHeight(GetParam().Width, GetParam().TextLength), GetParam().Height);
}

INSTANTIATE_TEST_SUITE_P(Display, FittedDigitalFont,
                         ::testing::Values(FitCase{600, 11, 109},  // "00:00:00.00" at 10 ms
                                           FitCase{240, 12, 40},   // "00:00:00.000" at 1 ms
                                           FitCase{240, 8, 60},    // "00:00:00" at 1 s
                                           FitCase{0, 11, 0},      // minimised
                                           FitCase{600, 0, 0}),    // no text: the font mapper's default
                         [](const ::testing::TestParamInfo<FitCase>& info) {
                           const FitCase& c = info.param;
                           return std::to_string(c.Width) + "PixelsFor" + std::to_string(c.TextLength);
                         });

using Points = std::vector<std::pair<long, long>>;

template <size_t N>
Points PointsOf(const std::array<POINT, N>& shape) {
  Points points;
  for (const POINT& p : shape) points.emplace_back(p.x, p.y);
  return points;
}

// Workspace coordinates start at the work area of the window's monitor, screen coordinates at the monitor's.
TEST(WorkspaceCoordinates, MoveByTheWorkAreasOffsetFromItsMonitor) {
  const RECT primary = {0, 0, 1920, 1080};
  const std::array<POINT, 3> screen = {
      WorkspaceToScreen({100, 50}, primary, {0, 40, 1920, 1080}),                // the taskbar at the top
      WorkspaceToScreen({-1200, 30}, {-1280, 0, 0, 1024}, {-1220, 0, 0, 1024}),  // at the left, left of the primary
      WorkspaceToScreen({LONG_MAX, 7}, primary, {60, 0, 1920, 1080})};           // held within the 32-bit range
  EXPECT_EQ(PointsOf(screen), (Points{{100, 90}, {-1140, 30}, {LONG_MAX, 7}}));
}

TEST(DialHands, MinuteHandIsAWideBarNarrowingBeforeItsTip) {
  // R = 120: half width R/30 = 4, shoulder R - R/7 = 103, tip half width R/60 = 2 at R - R/12 = 110, tail R/12.
  EXPECT_EQ(PointsOf(MinuteHandFor(120)), (Points{{-4, -10}, {-4, 103}, {-2, 110}, {2, 110}, {4, 103}, {4, -10}}));
}

TEST(DialHands, SecondHandIsAThinBarReachingFurther) {
  // R = 120: half width R/60 = 2 throughout, shoulder R - R/8 = 105, tip R - R/20 = 114.
  EXPECT_EQ(PointsOf(SecondHandFor(120)), (Points{{-2, -10}, {-2, 105}, {-2, 114}, {2, 114}, {2, 105}, {2, -10}}));
}

TEST(DialHands, NegativeRadiusNegatesTruncatedQuotients) {
  // R = -16: R/30 = 0, R/12 = -1 (so the tail is +1), R/7 = -2, R/60 = 0.
  EXPECT_EQ(PointsOf(MinuteHandFor(-16)), (Points{{0, 1}, {0, -14}, {0, -15}, {0, -15}, {0, -14}, {0, 1}}));
}

TEST(DialHands, QuarterTurnPointsTheTipToThreeOClock) {
  const HandShape placed = PlaceHand(SecondHandFor(120), DialPi / 2, 100, 100);
  // The tip's left corner (-2, 114) turns to the upper side of a hand pointing right, its right corner (2, 114)
  // to the lower side; each coordinate truncates, so within a pixel.
  EXPECT_NEAR(placed[2].x, 214, 1);
  EXPECT_NEAR(placed[2].y, 98, 1);
  EXPECT_NEAR(placed[3].x, 214, 1);
  EXPECT_NEAR(placed[3].y, 102, 1);
}

struct AngleCase {
  const char* Name;
  int32_t HourCount, MinuteCount, PerHalfMinute, RotDivisor;
  double Minute, Second;
};

class HandTurn : public ::testing::TestWithParam<AngleCase> {};

TEST_P(HandTurn, TurnsClockwiseWithTheRefreshCounters) {
  const AngleCase& c = GetParam();
  const HandAngles angles = HandAnglesFor(c.HourCount, c.MinuteCount, c.PerHalfMinute, c.RotDivisor);
  EXPECT_NEAR(angles.Minute, c.Minute, 1e-12);
  EXPECT_NEAR(angles.Second, c.Second, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Dial, HandTurn,
    ::testing::Values(
        AngleCase{"AtZeroBothPointUp", 0, 0, 3000, 1, 0.0, 0.0},
        // 15 s at 10 ms: a quarter turn of the 60 s dial; the minute hand has turned 1.5 degrees.
        AngleCase{"FifteenSecondsOnTheSixtySecondDial", 1500, 1500, 3000, 1, DialPi / 120, DialPi / 2},
        AngleCase{"FifteenSecondsOnTheThirtySecondDial", 1500, 1500, 3000, 2, DialPi / 120, DialPi},
        AngleCase{"FifteenSecondsOnTheFifteenSecondDial", 1500, 1500, 3000, 4, DialPi / 120, 2 * DialPi},
        AngleCase{"HalfAnHourAtOneSecond", 1800, 15, 30, 1, DialPi, DialPi / 2},
        AngleCase{"UnknownDivisorTurnsLikeTheSixtySecondDial", 0, 1500, 3000, 0, 0.0, DialPi / 2},
        AngleCase{"NoRefreshRateLeavesBothHandsUp", 1500, 1500, 0, 1, 0.0, 0.0}),
    test::RowName);

struct DialNumbersCase {
  int32_t RotDivisor;
  std::vector<int32_t> Numbers;  // clockwise from the top
  int32_t MajorMarks;
};

class RevolutionNumbers : public ::testing::TestWithParam<DialNumbersCase> {};

TEST_P(RevolutionNumbers, EachRevolutionHasItsNumeralsAndMajorMarks) {
  std::vector<int32_t> numbers;
  int32_t majors = 0;
  for (int32_t i = 0; i < 60; ++i) {
    const NumeralPlacement numeral = NumeralFor(GetParam().RotDivisor, i, 16);
    if (numeral.Number != 0) numbers.push_back(numeral.Number);
    if (IsMajorMark(GetParam().RotDivisor, i)) ++majors;
  }
  EXPECT_EQ(numbers, GetParam().Numbers);
  EXPECT_EQ(majors, GetParam().MajorMarks);
}

INSTANTIATE_TEST_SUITE_P(
    Dial, RevolutionNumbers,
    ::testing::Values(DialNumbersCase{1, {60, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55}, 12},
                      DialNumbersCase{2, {30, 5, 10, 15, 20, 25}, 30},
                      DialNumbersCase{4, {15, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, 15},
                      // Any other divisor is the 60-second dial.
                      DialNumbersCase{3, {60, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55}, 12}),
    [](const ::testing::TestParamInfo<DialNumbersCase>& info) {
      return "RotDivisor" + std::to_string(info.param.RotDivisor);
    });

struct NumeralCase {
  int32_t RotDivisor, MarkIndex, FontHeight;
  int32_t Number, OffsetX, OffsetY;
};

void PrintTo(const NumeralCase& c, std::ostream* out) {
  *out << "Divisor" << c.RotDivisor << "Mark" << c.MarkIndex << "Font" << c.FontHeight;
}

class NumeralOffsets : public ::testing::TestWithParam<NumeralCase> {};

TEST_P(NumeralOffsets, KeepTheNumeralInsideTheRingOfMarks) {
  const NumeralCase& c = GetParam();
  const NumeralPlacement numeral = NumeralFor(c.RotDivisor, c.MarkIndex, c.FontHeight);
  EXPECT_EQ(numeral.Number, c.Number);
  EXPECT_EQ(numeral.OffsetX, c.OffsetX);
  EXPECT_EQ(numeral.OffsetY, c.OffsetY);
}

INSTANTIATE_TEST_SUITE_P(
    Dial, NumeralOffsets,
    ::testing::Values(NumeralCase{1, 0, 20, 60, -10, 0},     // top: centred below the mark
                      NumeralCase{1, 10, 20, 10, -20, 0},
                      NumeralCase{1, 15, 20, 15, -25, -10},  // -5e/4
                      NumeralCase{1, 15, 7, 15, -8, -3},     // -5e/4 is -(e + e/4), -e/2 truncates
                      NumeralCase{1, 30, 20, 30, -10, -20},  // bottom: above the mark
                      NumeralCase{1, 45, 20, 45, 5, -10},
                      NumeralCase{1, 55, 20, 55, 0, 0},
                      NumeralCase{1, 7, 20, 0, 0, 0},        // a minor mark has no numeral
                      NumeralCase{2, 10, 7, 5, -5, -3},      // -3e/4 of 7
                      NumeralCase{2, 30, 20, 15, -10, -20},
                      NumeralCase{2, 5, 20, 0, 0, 0},        // major on the 30 s dial but no numeral
                      NumeralCase{4, 0, 20, 15, -10, 0},
                      NumeralCase{4, 32, 20, 8, -2, -20},    // -e/8
                      NumeralCase{4, 28, 20, 7, -5, -20},
                      NumeralCase{4, 48, 20, 12, 5, -10},
                      NumeralCase{1, 60, 20, 0, 0, 0},       // outside the sixty marks
                      NumeralCase{1, -5, 20, 0, 0, 0}),
    test::PrintedName);

struct ListedCase {
  int32_t Count;
  int32_t First;
};

class LapListing : public ::testing::TestWithParam<ListedCase> {};

TEST_P(LapListing, ShowsAtMostTheLastTenLaps) { EXPECT_EQ(FirstListedLap(GetParam().Count), GetParam().First); }

INSTANTIATE_TEST_SUITE_P(Display, LapListing,
                         ::testing::Values(ListedCase{0, 0}, ListedCase{1, 0}, ListedCase{10, 0},
                                           ListedCase{11, 1}, ListedCase{12, 2}, ListedCase{1000, 990}),
                         [](const ::testing::TestParamInfo<ListedCase>& info) {
                           return "Of" + std::to_string(info.param.Count);
                         });

TEST(DisplayLapLine, NumbersTheLapWithFourDigitsBeforeItsRecord) {
  char line[LapLineSize];
  EXPECT_EQ(FormatLapLine(line, sizeof line, 3, "00:00:03.00,00:00:09.00"), 32);
  EXPECT_STREQ(line, "LAP:0003 00:00:03.00,00:00:09.00");
  FormatLapLine(line, sizeof line, 1000, "00:00:01.00,01:00:00.00");
  EXPECT_STREQ(line, "LAP:1000 00:00:01.00,01:00:00.00");
}

TEST(DisplayLapLine, HoldsTheLongestRecordAndIsCutToASmallerBuffer) {
  const std::string longest(127, '9');
  char line[LapLineSize];
  EXPECT_EQ(FormatLapLine(line, sizeof line, 1000, longest.c_str()), 9 + 127);
  EXPECT_EQ(std::string(line), "LAP:1000 " + longest);
  char small[8];
  EXPECT_EQ(FormatLapLine(small, sizeof small, 1, longest.c_str()), 7);
  EXPECT_STREQ(small, "LAP:000");
}

}  // namespace
