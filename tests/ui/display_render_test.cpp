// The pictures the display composes on its back buffer, read back pixel by pixel: background, dial face and
// hands, read-out boxes, the countdown, lap lines, resizing, degenerate sizes, GDI hygiene and the toggles.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "display/dial.h"
#include "display/drawing_kit.h"
#include "display/layout.h"
#include "display/paint.h"
#include "helpers/dpi.h"
#include "laps/lap_list.h"
#include "settings/app_settings.h"
#include "support/case_names.h"
#include "support/engine_test.h"
#include "support/test_support.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"

namespace {

constexpr COLORREF Background = RGB(0, 0, 128);
constexpr COLORREF Face = RGB(192, 192, 192);
constexpr COLORREF Hand = RGB(255, 0, 0);
constexpr COLORREF TextColour = RGB(0, 160, 0);
constexpr COLORREF Black = RGB(0, 0, 0);

// A copy of the back buffer's pixels.
struct Picture {
  int Width = 0;
  int Height = 0;
  std::vector<COLORREF> Pixels;

  COLORREF At(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return CLR_INVALID;
    return Pixels[static_cast<size_t>(y) * Width + x];
  }
  // Pixels of `colour` inside `area` (clipped to the picture).
  int Count(COLORREF colour, RECT area) const {
    int count = 0;
    for (int y = area.top > 0 ? area.top : 0; y < area.bottom && y < Height; ++y) {
      for (int x = area.left > 0 ? area.left : 0; x < area.right && x < Width; ++x) count += At(x, y) == colour;
    }
    return count;
  }
  int CountAll(COLORREF colour) const { return Count(colour, RECT{0, 0, Width, Height}); }
};

Picture Snapshot() {
  Picture picture;
  HDC source = BackBufferDC();
  BITMAP bitmap = {};
  if (!source || !GetObjectA(GetCurrentObject(source, OBJ_BITMAP), sizeof bitmap, &bitmap)) return picture;
  picture.Width = bitmap.bmWidth;
  picture.Height = bitmap.bmHeight;
  picture.Pixels = test::PixelsOf(source, picture.Width, picture.Height);
  return picture;
}

// GDI objects alive in this process. Wine's GetGuiResources is a stub that answers 0; its handle table then
// answers GetObjectType for a bare slot index, whatever the handle's generation.
int LiveGdiObjects() {
  const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported != 0) return static_cast<int>(reported);
  int count = 0;
  for (UINT_PTR slot = 1; slot < 0x10000; ++slot) count += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
  return count;
}

TEST(DisplayGdiCount, SeesOneMoreObjectWhileAPenLives) {
  const int before = LiveGdiObjects();
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  EXPECT_EQ(LiveGdiObjects(), before + 1);
  DeleteObject(pen);
  EXPECT_EQ(LiveGdiObjects(), before);
}

// The size of a text in the settings' font at the given height, measured on the back buffer.
SIZE TextSize(LONG height, const char* text) {
  LOGFONTA description = AppSettings.Font_Setting;
  description.lfHeight = height;
  HFONT font = CreateFontIndirectA(&description);
  HDC dc = BackBufferDC();
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE size = {};
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  SelectObject(dc, previous);
  DeleteObject(font);
  return size;
}

// The outline of a read-out box drawn with a 1-pixel black pen: its four corners are black.
void ExpectBoxOutline(const Picture& picture, RECT box) {
  EXPECT_EQ(picture.At(box.left, box.top), Black);
  EXPECT_EQ(picture.At(box.right - 1, box.top), Black);
  EXPECT_EQ(picture.At(box.left, box.bottom - 1), Black);
  EXPECT_EQ(picture.At(box.right - 1, box.bottom - 1), Black);
}

// The box of a text `width` wide centred on the layout's centre, as every read-out draws it.
RECT CentredBox(LONG width, LONG top, LONG bottom) {
  const LONG centerX = DisplayLayout.CenterX;
  return RECT{centerX - width / 2 - 1, top, centerX + width / 2, bottom};
}

void FillLaps(int count) {
  for (int i = 0; i < count; ++i) {
    wsprintfA(LapList.Records[i].Text, "00:00:%02d.00,00:%02d:00.00", i + 1, i + 1);
  }
  LapList.Count = count;
}

class DisplayRender : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    const std::string absent = test::ScratchFolder() + "\\absent.ini";
    IniPath = test::Wide(absent);
    LoadSettings(test::StandInMainWindow());  // the defaults
    test::ResetEngineState();
    AppSettings.BackGroundColor = Background;
    AppSettings.ClockFaceColor = Face;
    AppSettings.SecondHandColor = Hand;
    AppSettings.FontColor = TextColour;
  }
  void TearDown() override {
    ReleaseDisplayResources();
    for (HWND window : windows_) DestroyWindow(window);
    EngineTest::TearDown();
  }

  // A hidden window whose client area is exactly width x height.
  HWND WindowOfSize(int width, int height) {
    static const ATOM windowClass = [] {
      WNDCLASSA description = {};
      description.lpfnWndProc = DefWindowProcA;
      description.hInstance = GetModuleHandleA(nullptr);
      description.lpszClassName = "TavriloDisplayTest";
      return RegisterClassA(&description);
    }();
    (void)windowClass;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "TavriloDisplayTest", "", WS_POPUP, 0, 0,
                                  width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    windows_.push_back(window);
    return window;
  }
  // What the size message and the paint do: layout, back buffer, composition.
  void Render(HWND window) const {
    RECT client = {};
    GetClientRect(window, &client);
    UpdateLayout(window, client.right, client.bottom, dpi_);
    ComposeView();
  }
  Picture RenderAt(int width, int height) {
    window_ = WindowOfSize(width, height);
    Render(window_);
    return Snapshot();
  }
  static void ShowDialOnly() { SetViews(1, 0, 0); }
  static void ShowDigitalOnly() { SetViews(0, 1, 1); }
  static void SetViews(int32_t analog, int32_t digital, int32_t digitalOnly) {
    AppSettings.AnalogModeOnOff = analog;
    AppSettings.DisitalModeOnOff = digital;
    AppSettings.DigitalOnly = digitalOnly;
  }

  HWND window_ = nullptr;
  UINT dpi_ = FileDpi;  // the window's DPI for every layout

 private:
  std::vector<HWND> windows_;
};

std::vector<HGDIOBJ> Members(const DrawingKit& kit) {
  return {kit.ThinPen, kit.ThickPen, kit.BackgroundPen, kit.OutlineBrush, kit.BackgroundBrush, kit.FaceBrush,
          kit.HandBrush};
}

COLORREF PenColour(HPEN pen, LONG width) {
  LOGPEN description = {};
  if (!GetObjectA(pen, sizeof description, &description)) return CLR_INVALID;
  EXPECT_EQ(description.lopnStyle, static_cast<UINT>(PS_SOLID));
  EXPECT_EQ(description.lopnWidth.x, width);
  return description.lopnColor;
}

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH description = {};
  if (!GetObjectA(brush, sizeof description, &description)) return CLR_INVALID;
  EXPECT_EQ(description.lbStyle, static_cast<UINT>(BS_SOLID));
  return description.lbColor;
}

TEST_F(DisplayRender, DrawingKitMakesTheMissingObjectsInTheCurrentColoursAndDeletesAll) {
  DrawingKit kit = {};
  HBRUSH own = CreateSolidBrush(RGB(1, 2, 3));
  kit.HandBrush = own;
  CreateDrawingKit(kit);
  EXPECT_EQ(kit.HandBrush, own) << "only null members are created";
  EXPECT_EQ(PenColour(kit.ThinPen, 1), Black);
  EXPECT_EQ(PenColour(kit.ThickPen, 3), Black);
  EXPECT_EQ(PenColour(kit.BackgroundPen, 1), Background);
  EXPECT_EQ(BrushColour(kit.OutlineBrush), Black);
  EXPECT_EQ(BrushColour(kit.BackgroundBrush), Background);
  EXPECT_EQ(BrushColour(kit.FaceBrush), Face);
  const DrawingKit created = kit;
  DeleteDrawingKit(kit);
  for (HGDIOBJ member : Members(kit)) EXPECT_EQ(member, nullptr);
  for (HGDIOBJ member : Members(created)) EXPECT_EQ(GetObjectType(member), 0u);
  kit.HandBrush = nullptr;
  CreateDrawingKit(kit);
  EXPECT_EQ(BrushColour(kit.HandBrush), Hand);
  DeleteDrawingKit(kit);
}

TEST_F(DisplayRender, DialViewPaintsTheBackgroundAroundAndTheFaceInside) {
  ShowDialOnly();
  const Picture picture = RenderAt(240, 240);
  ASSERT_EQ(picture.Width, 240);
  ASSERT_EQ(picture.Height, 240);
  RECT face = DisplayLayout.FaceRect;
  InflateRect(&face, 2, 2);  // the thick outline
  const int outside = picture.Width * picture.Height - (face.right - face.left) * (face.bottom - face.top);
  EXPECT_EQ(picture.CountAll(Background) - picture.Count(Background, face), outside);
  const int centerX = DisplayLayout.CenterX;
  const int centerY = DisplayLayout.CenterY;
  EXPECT_EQ(picture.At(centerX - 40, centerY + 40), Face);
  EXPECT_EQ(picture.At(centerX + 40, centerY - 40), Face);
}

enum class Clock { Up, Right, Down };

struct HandCase {
  const char* Name;
  int32_t RotDivisor;
  int32_t MinuteRefreshCount;  // at 10 ms: 100 per second
  Clock SecondHand;
};

class SecondHand : public DisplayRender, public ::testing::WithParamInterface<HandCase> {};

TEST_P(SecondHand, PointsWhereTheLapTimeHasTurnedIt) {
  ShowDialOnly();
  AppSettings.RotDivisor = GetParam().RotDivisor;
  StopwatchClock.MinuteRefreshCount = GetParam().MinuteRefreshCount;
  StopwatchClock.HourRefreshCount = 270000;  // 45 minutes: the minute hand points to 9 o'clock
  const Picture picture = RenderAt(480, 480);  // a second hand wide enough to have an inside
  const int centerX = DisplayLayout.CenterX;
  const int centerY = DisplayLayout.CenterY;
  const int half = DisplayLayout.DialRadius / 2;
  EXPECT_EQ(picture.At(centerX - half, centerY), Hand) << "minute hand";
  EXPECT_EQ(picture.At(centerX, centerY - half) == Hand, GetParam().SecondHand == Clock::Up) << "12 o'clock";
  EXPECT_EQ(picture.At(centerX + half, centerY) == Hand, GetParam().SecondHand == Clock::Right) << "3 o'clock";
  EXPECT_EQ(picture.At(centerX, centerY + half) == Hand, GetParam().SecondHand == Clock::Down) << "6 o'clock";
}

INSTANTIATE_TEST_SUITE_P(
    Dial, SecondHand,
    ::testing::Values(HandCase{"AtZeroStandsUp", 1, 0, Clock::Up},
                      HandCase{"AtFifteenSecondsOnTheSixtySecondDialPointsToThree", 1, 1500, Clock::Right},
                      HandCase{"AtThirtySecondsOnTheSixtySecondDialPointsToSix", 1, 3000, Clock::Down},
                      HandCase{"AtFifteenSecondsOnTheThirtySecondDialPointsToSix", 2, 1500, Clock::Down},
                      HandCase{"AtSevenAndAHalfSecondsOnTheThirtySecondDialPointsToThree", 2, 750, Clock::Right},
                      HandCase{"AtFifteenSecondsOnTheFifteenSecondDialStandsUp", 4, 1500, Clock::Up},
                      HandCase{"AtFourSecondsOnTheFifteenSecondDialPointsToThree", 4, 375, Clock::Right}),
    test::RowName);

struct OutlineCase {
  const char* Name;
  int32_t FrameGraduation;
  int32_t FiveSecIntervalMeasure;
  int FaceOutlineRows;
  int TopMarkColumns;
  UINT Dpi = FileDpi;
  int ClientSize = 240;
};

class DialOutline : public DisplayRender, public ::testing::WithParamInterface<OutlineCase> {};

TEST_P(DialOutline, IsThickOnlyWhereTheSettingsSaySo) {
  ShowDialOnly();
  AppSettings.FrameGraduation = GetParam().FrameGraduation;
  AppSettings.FiveSecIntervalMeasure = GetParam().FiveSecIntervalMeasure;
  dpi_ = GetParam().Dpi;
  StopwatchClock.MinuteRefreshCount = 3000;  // both hands down, clear of the top mark
  StopwatchClock.HourRefreshCount = 180000;
  const Picture picture = RenderAt(GetParam().ClientSize, GetParam().ClientSize);
  const LONG centerX = DisplayLayout.CenterX;
  const LONG top = DisplayLayout.FaceRect.top;
  // The face outline crossing the column above the centre, and the top (major) mark crossing a row halfway
  // along it.
  EXPECT_EQ(picture.Count(Black, RECT{centerX, top - 4, centerX + 1, top + 3}), GetParam().FaceOutlineRows);
  const LONG markRow = DisplayLayout.CenterY - (DisplayLayout.MarkOuterRadius + DisplayLayout.MajorMarkInnerRadius) / 2;
  EXPECT_EQ(picture.Count(Black, RECT{centerX - 5, markRow, centerX + 6, markRow + 1}), GetParam().TopMarkColumns);
}

INSTANTIATE_TEST_SUITE_P(Dial, DialOutline,
                         ::testing::Values(OutlineCase{"ThickFaceAndMajorMarks", 1, 1, 3, 3},
                                           OutlineCase{"ThickFaceThinMarks", 1, 0, 3, 1},
                                           OutlineCase{"ThinFaceThickMarks", 0, 1, 1, 3},
                                           OutlineCase{"ThinFaceAndMarks", 0, 0, 1, 1},
                                           // The window of 96 DPI at 144: 1.5 and 4.5 pixels round up.
                                           OutlineCase{"ThickFaceThinMarksAt144Dpi", 1, 0, 5, 2, 144, 360},
                                           OutlineCase{"ThinFaceThickMarksAt144Dpi", 0, 1, 2, 5, 144, 360}),
                         test::RowName);

TEST_F(DisplayRender, DialReadoutBoxAppearsAndDisappearsWithTheDigitalToggle) {
  ShowDialOnly();
  const Picture dialAlone = RenderAt(240, 240);
  SetViews(1, 1, 0);
  Picture picture = RenderAt(240, 240);
  const SIZE lap = TextSize(DisplayLayout.DialTextFontHeight, "00:00:00.00");
  const LONG centerY = DisplayLayout.CenterY;
  const RECT box = CentredBox(lap.cx, centerY + lap.cy / 2, centerY + 3 * lap.cy / 2);
  ExpectBoxOutline(picture, box);
  EXPECT_EQ(picture.At(box.left - 1, box.top), Face);
  EXPECT_GT(picture.Count(TextColour, box), 0);

  ToggleDigitalDisplay(window_);
  ComposeView();
  picture = Snapshot();
  EXPECT_EQ(picture.At(box.left, box.top), Face);
  EXPECT_EQ(picture.At(box.right - 1, box.bottom - 1), Face);
  // No read-out text is left: the box's place shows the dial alone, whose numerals 20 and 40 reach into its
  // bottom corners.
  EXPECT_EQ(picture.Count(TextColour, box), dialAlone.Count(TextColour, box));

  ToggleDigitalDisplay(window_);
  ComposeView();
  ExpectBoxOutline(Snapshot(), box);
}

TEST_F(DisplayRender, DialShowsTheTotalOnASecondBoxOneTextHeightLower) {
  SetViews(1, 1, 0);
  AppSettings.StopWatchTotalTimeEnable = 1;
  const Picture picture = RenderAt(240, 240);
  const SIZE text = TextSize(DisplayLayout.DialTextFontHeight, "00:00:00.00");
  const LONG centerY = DisplayLayout.CenterY;
  ExpectBoxOutline(picture, CentredBox(text.cx, centerY + text.cy / 2, centerY + 3 * text.cy / 2));
  ExpectBoxOutline(picture, CentredBox(text.cx, centerY + 3 * text.cy / 2, centerY + 5 * text.cy / 2));
}

TEST_F(DisplayRender, DigitalOnlyViewCentresTheLapAndPutsTheTotalJustBelow) {
  ShowDigitalOnly();
  AppSettings.StopWatchTotalTimeEnable = 1;
  AppSettings.FontSizeDispFit = 0;
  const Picture picture = RenderAt(400, 240);
  const SIZE text = TextSize(DisplayLayout.DigitalFontHeight, "00:00:00.00");
  const LONG centerY = DisplayLayout.CenterY;
  const RECT lap = CentredBox(text.cx, centerY - text.cy / 2, centerY + text.cy / 2);
  const RECT total = CentredBox(text.cx, centerY + 3 * text.cy / 5, centerY + 8 * text.cy / 5);
  ExpectBoxOutline(picture, lap);
  ExpectBoxOutline(picture, total);
  EXPECT_EQ(picture.At(lap.left, lap.bottom), Background) << "a gap between the boxes";
  EXPECT_EQ(picture.At(lap.left - 1, lap.top), Background);
  EXPECT_EQ(picture.At(lap.right, lap.top), Background);
  EXPECT_GT(picture.Count(TextColour, lap), 0);
  EXPECT_GT(picture.Count(TextColour, total), 0);
}

struct CountdownCase {
  int32_t TimerStep;
  const char* Shown;
};

class CountdownReadout : public DisplayRender, public ::testing::WithParamInterface<CountdownCase> {};

TEST_P(CountdownReadout, ShowsTheRemainingTimeAtItsOwnResolutionAndNothingElse) {
  AppSettings.Timer_Mode = 1;
  SetViews(0, 0, 0);  // timer mode ignores the stopwatch's views
  AppSettings.StopWatchTotalTimeEnable = 1;
  FillLaps(12);
  StopwatchClock.TimerStep = GetParam().TimerStep;
  StopwatchClock.TimerRemaining.Minutes = 4;
  StopwatchClock.TimerRemaining.Seconds = 59;
  StopwatchClock.TimerRemaining.Millis = 900;
  AppSettings.FontSizeDispFit = 2;  // a stored height that keeps every form inside the window
  AppSettings.Font_Setting.lfHeight = 24;
  const Picture picture = RenderAt(240, 240);
  const SIZE text = TextSize(24, GetParam().Shown);
  const LONG centerY = DisplayLayout.CenterY;
  const RECT box = CentredBox(text.cx, centerY - text.cy / 2, centerY + text.cy / 2);
  ExpectBoxOutline(picture, box);
  EXPECT_EQ(picture.At(box.left - 1, box.top), Background);
  EXPECT_EQ(picture.At(box.right, box.top), Background);
  // One box, and no lap lines.
  EXPECT_EQ(picture.Count(Background, RECT{0, 0, 240, box.top}), 240 * box.top);
  EXPECT_EQ(picture.Count(Background, RECT{0, box.bottom, 240, 240}), 240 * (240 - box.bottom));
}

INSTANTIATE_TEST_SUITE_P(Display, CountdownReadout,
                         ::testing::Values(CountdownCase{1000, "00:04:59"}, CountdownCase{100, "00:04:59.9"},
                                           CountdownCase{10, "00:04:59.90"}, CountdownCase{1, "00:04:59.900"}),
                         [](const ::testing::TestParamInfo<CountdownCase>& info) {
                           return "Every" + std::to_string(info.param.TimerStep) + "ms";
                         });

TEST_F(DisplayRender, LapLinesListTheLastTenLapsOldestFirst) {
  ShowDigitalOnly();
  FillLaps(12);
  const Picture picture = RenderAt(240, 400);
  const int lineHeight = TextSize(DisplayLayout.LapFontHeight, "LAP:0003").cy;
  // The first line, drawn again by hand on a plain background, gives the same pixels.
  const char* first = "LAP:0003 00:00:03.00,00:03:00.00";
  const SIZE size = TextSize(DisplayLayout.LapFontHeight, first);
  HDC dc = BackBufferDC();
  HBRUSH background = CreateSolidBrush(Background);
  RECT line = {0, 0, size.cx, size.cy};
  FillRect(dc, &line, background);
  DeleteObject(background);
  LOGFONTA description = AppSettings.Font_Setting;
  description.lfHeight = DisplayLayout.LapFontHeight;
  HFONT font = CreateFontIndirectA(&description);
  HGDIOBJ previousFont = SelectObject(dc, font);
  const COLORREF previousColour = SetTextColor(dc, TextColour);
  DrawTextA(dc, first, -1, &line, DT_CENTER);
  SetTextColor(dc, previousColour);
  SelectObject(dc, previousFont);
  DeleteObject(font);
  const Picture reference = Snapshot();
  for (int y = 0; y < size.cy; ++y) {
    for (int x = 0; x < size.cx; ++x) ASSERT_EQ(picture.At(x, y), reference.At(x, y)) << x << "," << y;
  }
  // Ten lines, the tenth written, nothing under it.
  EXPECT_GT(picture.Count(TextColour, RECT{0, 9 * lineHeight, 240, 10 * lineHeight}), 0);
  EXPECT_EQ(picture.Count(TextColour, RECT{0, 10 * lineHeight, 240, 12 * lineHeight}), 0);
}

TEST_F(DisplayRender, LapLinesTakeTheReadoutColourAloneAndBlackOnTheDial) {
  FillLaps(1);
  ShowDigitalOnly();
  Picture picture = RenderAt(240, 240);
  const RECT firstLine = {0, 0, 120, DisplayLayout.LapFontHeight};
  EXPECT_GT(picture.Count(TextColour, firstLine), 0);
  EXPECT_EQ(picture.Count(Black, firstLine), 0);
  ShowDialOnly();
  ComposeView();
  picture = Snapshot();
  EXPECT_GT(picture.Count(Black, firstLine), 0);
  EXPECT_EQ(picture.Count(TextColour, firstLine), 0);
}

TEST_F(DisplayRender, ResizeRedrawsEverythingAtTheNewSize) {
  SetViews(1, 1, 0);
  AppSettings.StopWatchTotalTimeEnable = 1;
  FillLaps(3);
  StopwatchClock.MinuteRefreshCount = 700;
  RenderAt(240, 240);
  SetWindowPos(window_, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Render(window_);
  const Picture resized = Snapshot();
  ReleaseDisplayResources();
  const Picture fresh = RenderAt(400, 300);
  ASSERT_EQ(resized.Width, 400);
  ASSERT_EQ(resized.Height, 300);
  EXPECT_TRUE(resized.Pixels == fresh.Pixels);
  EXPECT_EQ(resized.At(399, 299), Background);
}

TEST_F(DisplayRender, BothViewsOffShowOnlyTheBackgroundEvenAfterAResize) {
  ShowDialOnly();
  RenderAt(240, 240);
  SetViews(0, 0, 0);
  ComposeView();
  EXPECT_EQ(Snapshot().CountAll(Background), 240 * 240);
  SetWindowPos(window_, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Render(window_);
  EXPECT_EQ(Snapshot().CountAll(Background), 300 * 200);
}

struct SmallCase {
  int Width;
  int Height;
  bool DialFits;
};

class SmallClient : public DisplayRender, public ::testing::WithParamInterface<SmallCase> {};

TEST_P(SmallClient, DrawsTheDialOnlyWhenItsRadiusIsPositive) {
  ShowDialOnly();
  const Picture picture = RenderAt(GetParam().Width, GetParam().Height);
  ASSERT_NE(BackBufferDC(), nullptr);
  EXPECT_EQ(DisplayLayout.DialRadius > 0, GetParam().DialFits);
  if (GetParam().DialFits) {
    EXPECT_EQ(picture.At(DisplayLayout.CenterX - DisplayLayout.DialRadius / 2, DisplayLayout.CenterY), Face);
  } else {
    EXPECT_EQ(picture.CountAll(Background), GetParam().Width * GetParam().Height);
  }
  // The read-outs and laps still compose at any size.
  SetViews(1, 1, 0);
  AppSettings.StopWatchTotalTimeEnable = 1;
  FillLaps(12);
  ComposeView();
  ShowDigitalOnly();
  ComposeView();
}

INSTANTIATE_TEST_SUITE_P(Display, SmallClient,
                         ::testing::Values(SmallCase{0, 0, false}, SmallCase{2, 2, false},
                                           SmallCase{20, 300, false}, SmallCase{300, 20, false},
                                           SmallCase{31, 31, false}, SmallCase{64, 64, true},
                                           SmallCase{300, 64, true}),
                         [](const ::testing::TestParamInfo<SmallCase>& info) {
                           return std::to_string(info.param.Width) + "x" + std::to_string(info.param.Height);
                         });

struct FitSettingCase {
  int32_t FontSizeDispFit;
  int32_t Resolution;
  LONG DigitalHeight;  // in pixels
  UINT Dpi = FileDpi;
  LONG StoredHeight = DigitalHeight;  // in Font_Setting, at 96 DPI
  LONG DigitalWidth = 6;              // from a stored width of 6
};

class DigitalFontHeight : public DisplayRender, public ::testing::WithParamInterface<FitSettingCase> {};

TEST_P(DigitalFontHeight, IsFixedFittedOrLeftAsStored) {
  ShowDigitalOnly();
  AppSettings.FontSizeDispFit = GetParam().FontSizeDispFit;
  AppSettings.Font_Setting.lfHeight = 14;
  AppSettings.Font_Setting.lfWidth = 6;
  SelectStopwatchResolution(GetParam().Resolution, nullptr);
  dpi_ = GetParam().Dpi;
  RenderAt(600, 400);
  EXPECT_EQ(AppSettings.Font_Setting.lfHeight, GetParam().StoredHeight);
  EXPECT_EQ(AppSettings.Font_Setting.lfWidth, 6);
  LOGFONTA digital = {};
  ASSERT_TRUE(GetObjectA(DisplayFonts.DigitalFont, sizeof digital, &digital));
  EXPECT_EQ(digital.lfHeight, GetParam().DigitalHeight);
  EXPECT_EQ(digital.lfWidth, GetParam().DigitalWidth);
}

INSTANTIATE_TEST_SUITE_P(Display, DigitalFontHeight,
                         ::testing::Values(FitSettingCase{0, 9, 76},    // 400 / 5.2
                                           FitSettingCase{1, 9, 109},   // 2 x 600 / 11 characters
                                           FitSettingCase{1, 11, 100},  // 2 x 600 / 12 characters
                                           FitSettingCase{1, 0, 150},   // 2 x 600 / 8 characters
                                           FitSettingCase{2, 9, 14},    // kept as stored
                                           // Pixels at 144 DPI; the setting holds 109 / 1.5 rounded.
                                           FitSettingCase{1, 9, 109, 144, 73, 9},
                                           FitSettingCase{2, 9, 21, 144, 14, 9}),
                         [](const ::testing::TestParamInfo<FitSettingCase>& info) {
                           return "Fit" + std::to_string(info.param.FontSizeDispFit) + "AtResolution" +
                                  std::to_string(info.param.Resolution) + "And" + std::to_string(info.param.Dpi) +
                                  "Dpi";
                         });

TEST_F(DisplayRender, OtherFontsTakeTheSettingWithTheirOwnHeights) {
  ShowDialOnly();
  AppSettings.Font_Setting.lfWeight = FW_BOLD;
  AppSettings.Font_Setting.lfItalic = 1;
  RenderAt(600, 400);
  const struct {
    HFONT Font;
    LONG Height;
  } fonts[] = {{DisplayFonts.NumeralFont, 26}, {DisplayFonts.DialTextFont, 40}, {DisplayFonts.LapFont, 16}};
  for (const auto& expected : fonts) {
    LOGFONTA font = {};
    ASSERT_TRUE(GetObjectA(expected.Font, sizeof font, &font));
    EXPECT_EQ(font.lfHeight, expected.Height);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_STREQ(font.lfFaceName, AppSettings.Font_Setting.lfFaceName);
  }
}

struct ViewCase {
  const char* Name;
  int32_t TimerMode, Analog, Digital, DigitalOnly;
};

class EveryView : public DisplayRender, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(EveryView, LeavesTheBackBufferAsItFoundItAndLeaksNoObjectOverPaintsAndSettingsChanges) {
  const ViewCase& view = GetParam();
  AppSettings.Timer_Mode = view.TimerMode;
  SetViews(view.Analog, view.Digital, view.DigitalOnly);
  AppSettings.StopWatchTotalTimeEnable = 1;
  FillLaps(12);
  window_ = WindowOfSize(240, 240);
  UpdateLayout(window_, 240, 240, dpi_);
  HDC dc = BackBufferDC();
  const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  const COLORREF textColour = GetTextColor(dc);
  ComposeView();
  const int objects = LiveGdiObjects();
  // Many paints, and settings changes that remake the kept fonts, pens, brushes and face.
  const AppSettingsRecord before = AppSettings;
  for (int i = 0; i < 20; ++i) {
    AppSettings.ClockFaceColor = RGB(i, 0, 0);
    AppSettings.Font_Setting.lfWeight = i % 2 ? FW_BOLD : FW_NORMAL;
    ComposeView();
  }
  AppSettings = before;
  ComposeView();
  EXPECT_EQ(LiveGdiObjects(), objects);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(GetTextColor(dc), textColour);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
}

INSTANTIATE_TEST_SUITE_P(Display, EveryView,
                         ::testing::Values(ViewCase{"Dial", 0, 1, 1, 0}, ViewCase{"DigitalOnly", 0, 0, 1, 1},
                                           ViewCase{"Countdown", 1, 1, 1, 0}, ViewCase{"NoView", 0, 0, 0, 0}),
                         test::RowName);

struct ToggleCase {
  const char* Name;
  void (*Toggle)(HWND);
  int32_t TimerMode;
  int32_t Before[3];  // AnalogModeOnOff, DisitalModeOnOff, DigitalOnly
  int32_t After[3];
  bool Repaints;
};

class ViewToggle : public DisplayRender, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(ViewToggle, KeepsAViewOnAndDigitalOnlyTrue) {
  const ToggleCase& c = GetParam();
  HWND window = test::StandInMainWindow();
  AppSettings.Timer_Mode = c.TimerMode;
  SetViews(c.Before[0], c.Before[1], c.Before[2]);
  test::TakeRepaintRequest(window);
  c.Toggle(window);
  EXPECT_EQ(AppSettings.AnalogModeOnOff, c.After[0]);
  EXPECT_EQ(AppSettings.DisitalModeOnOff, c.After[1]);
  EXPECT_EQ(AppSettings.DigitalOnly, c.After[2]);
  EXPECT_EQ(test::TakeRepaintRequest(window), c.Repaints);
}

INSTANTIATE_TEST_SUITE_P(
    Display, ViewToggle,
    ::testing::Values(
        ToggleCase{"DigitalOffBesideTheDial", ToggleDigitalDisplay, 0, {1, 1, 0}, {1, 0, 0}, true},
        ToggleCase{"DigitalStaysWhenItIsTheOnlyViewAndNothingRepaints", ToggleDigitalDisplay, 0, {0, 1, 1},
                   {0, 1, 1}, false},
        ToggleCase{"DigitalOnBesideTheDial", ToggleDigitalDisplay, 0, {1, 0, 0}, {1, 1, 0}, true},
        ToggleCase{"DigitalOnWithBothViewsOffBecomesTheOnlyView", ToggleDigitalDisplay, 0, {0, 0, 0}, {0, 1, 1},
                   true},
        ToggleCase{"DialOnClearsDigitalOnly", ToggleAnalogDisplay, 0, {0, 1, 1}, {1, 1, 0}, true},
        ToggleCase{"DialOffLeavesTheReadoutAsTheOnlyView", ToggleAnalogDisplay, 0, {1, 1, 0}, {0, 1, 1}, true},
        ToggleCase{"DialStaysWithoutTheReadoutButRepaints", ToggleAnalogDisplay, 0, {1, 0, 0}, {1, 0, 0}, true},
        ToggleCase{"DialOnWithBothViewsOff", ToggleAnalogDisplay, 0, {0, 0, 0}, {1, 0, 0}, true},
        ToggleCase{"DialOffInTimerModeAsInStopwatchMode", ToggleAnalogDisplay, 1, {1, 1, 0}, {0, 1, 1}, true}),
    test::RowName);

TEST_F(DisplayRender, ReadoutSwitchedOnWithBothViewsOffIsShown) {
  SetViews(0, 0, 0);
  RenderAt(240, 240);
  ToggleDigitalDisplay(window_);
  ComposeView();
  EXPECT_GT(Snapshot().Count(TextColour, RECT{0, 100, 240, 140}), 0);
}

TEST_F(DisplayRender, PaintCopiesTheComposedPictureToTheInvalidWindow) {
  // Shown on the screen, so that its pixels can be read back from its own device context; in the corner away
  // from the windows of the program's own tests.
  HWND window = WindowOfSize(240, 240);
  SetWindowPos(window, HWND_BOTTOM, GetSystemMetrics(SM_CXSCREEN) - 240, GetSystemMetrics(SM_CYSCREEN) - 240, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ShowDialOnly();
  UpdateLayout(window, 240, 240, dpi_);
  HDC screen = GetDC(window);
  const RECT whole = {0, 0, 240, 240};
  FillRect(screen, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ValidateRect(window, nullptr);
  PaintMainWindow(window);  // nothing invalid: an empty clip box copies nothing
  EXPECT_EQ(GetPixel(screen, 0, 0), RGB(255, 255, 255));
  const RECT corner = {0, 0, 10, 10};
  InvalidateRect(window, &corner, FALSE);
  PaintMainWindow(window);  // only the clip box is copied
  EXPECT_FALSE(test::TakeRepaintRequest(window));
  EXPECT_EQ(GetPixel(screen, 0, 0), Background);
  EXPECT_EQ(GetPixel(screen, 9, 9), Background);
  EXPECT_EQ(GetPixel(screen, 10, 10), RGB(255, 255, 255));
  const LONG x = DisplayLayout.CenterX - 40;
  const LONG y = DisplayLayout.CenterY + 40;
  EXPECT_EQ(GetPixel(screen, x, y), RGB(255, 255, 255));
  InvalidateRect(window, nullptr, FALSE);
  PaintMainWindow(window);
  EXPECT_EQ(GetPixel(screen, x, y), Face);
  ReleaseDC(window, screen);
}

// The picture composed on top of what earlier paints kept (face layer, fonts, pens and brushes) must equal a
// picture drawn from nothing in the same state, whatever changed in between.
struct IdentityCase {
  const char* Name;
  int32_t TimerMode, Analog, Digital, DigitalOnly;
  int Width, Height;
  UINT Dpi = FileDpi;
};

class KeptDrawing : public DisplayRender, public ::testing::WithParamInterface<IdentityCase> {
 protected:
  // Composes over the kept state, then from nothing, and compares; the state drawn from nothing is kept next.
  void ExpectSameAsFromNothing(const char* step) {
    ComposeView();
    const Picture kept = Snapshot();
    ReleaseDisplayResources();
    Render(window_);
    const Picture fresh = Snapshot();
    ASSERT_EQ(kept.Width, fresh.Width) << step;
    ASSERT_EQ(kept.Height, fresh.Height) << step;
    EXPECT_TRUE(kept.Pixels == fresh.Pixels) << step;
  }
};

TEST_P(KeptDrawing, EqualsAFullRedrawAfterEveryChange) {
  const IdentityCase& c = GetParam();
  AppSettings.Timer_Mode = c.TimerMode;
  SetViews(c.Analog, c.Digital, c.DigitalOnly);
  FillLaps(10);
  RenderAt(c.Width, c.Height);
  // The second hand at 52.5 s, passing under the lap lines in the top left corner.
  StopwatchClock.MinuteRefreshCount = 5250;
  StopwatchClock.TimerRemaining.Seconds = 7;
  ExpectSameAsFromNothing("hand under the laps");
  FillLaps(11);
  ExpectSameAsFromNothing("eleventh lap");
  const AppSettingsRecord beforeColours = AppSettings;
  AppSettings.BackGroundColor = RGB(10, 20, 30);
  AppSettings.ClockFaceColor = RGB(200, 100, 50);
  AppSettings.SecondHandColor = RGB(0, 0, 255);
  AppSettings.FontColor = RGB(255, 255, 0);
  ExpectSameAsFromNothing("colours");
  AppSettings = beforeColours;  // Cancel puts them back without telling anyone
  ExpectSameAsFromNothing("colours cancelled");
  lstrcpynA(AppSettings.Font_Setting.lfFaceName, "Courier New", LF_FACESIZE);
  AppSettings.Font_Setting.lfWeight = FW_BOLD;
  ExpectSameAsFromNothing("font");
  AppSettings.FrameGraduation = 1 - AppSettings.FrameGraduation;
  AppSettings.FiveSecIntervalMeasure = 1 - AppSettings.FiveSecIntervalMeasure;
  ExpectSameAsFromNothing("outline and marks");
  AppSettings.RotDivisor = 4;
  ExpectSameAsFromNothing("fifteen-second dial");
  AppSettings.StopWatchTotalTimeEnable = 1;
  AppSettings.OneSecDivIndex = 1;
  ExpectSameAsFromNothing("total in frames");
  SelectStopwatchResolution(11, nullptr);  // a longer text: another fitted height
  SelectTimerResolution(11, nullptr);
  ExpectSameAsFromNothing("resolution");
  dpi_ = 144;  // another screen, the same client size
  UpdateLayout(window_, c.Width, c.Height, dpi_);
  ExpectSameAsFromNothing("dpi");
  SetWindowPos(window_, nullptr, 0, 0, c.Width + 37, c.Height + 11, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client = {};
  GetClientRect(window_, &client);
  UpdateLayout(window_, client.right, client.bottom, dpi_);
  ExpectSameAsFromNothing("resize");
}

INSTANTIATE_TEST_SUITE_P(
    Display, KeptDrawing,
    ::testing::Values(IdentityCase{"Dial240", 0, 1, 0, 0, 240, 240}, IdentityCase{"DialWithReadout400x300", 0, 1, 1, 0, 400, 300},
                      IdentityCase{"DialTooSmall31", 0, 1, 1, 0, 31, 31}, IdentityCase{"DialWithReadout64", 0, 1, 1, 0, 64, 64},
                      IdentityCase{"DigitalOnly240", 0, 0, 1, 1, 240, 240}, IdentityCase{"DigitalOnly2", 0, 0, 1, 1, 2, 2},
                      IdentityCase{"Countdown240", 1, 1, 1, 0, 240, 240}, IdentityCase{"Countdown31", 1, 0, 1, 1, 31, 31},
                      IdentityCase{"NoView240", 0, 0, 0, 0, 240, 240}),
    test::RowName);

// Frames copy to the screen only what changed: the window's pixels must still equal the composed picture.
class FramesOnScreen : public DisplayRender, public ::testing::WithParamInterface<IdentityCase> {
 protected:
  void ExpectFrameShowsTheComposedPicture(const char* step) {
    ShowFrame(window_);
    RECT client = {};
    GetClientRect(window_, &client);
    HDC screen = GetDC(window_);
    const std::vector<COLORREF> shown = test::PixelsOf(screen, client.right, client.bottom);
    ReleaseDC(window_, screen);
    EXPECT_TRUE(shown == Snapshot().Pixels) << step;
  }
};

TEST_P(FramesOnScreen, ShowTheWholeLatestPicture) {
  const IdentityCase& c = GetParam();
  AppSettings.Timer_Mode = c.TimerMode;
  SetViews(c.Analog, c.Digital, c.DigitalOnly);
  window_ = WindowOfSize(c.Width, c.Height);
  // On the screen, so that its pixels can be read back; in the corner away from the program's own tests.
  SetWindowPos(window_, HWND_BOTTOM, GetSystemMetrics(SM_CXSCREEN) - c.Width,
               GetSystemMetrics(SM_CYSCREEN) - c.Height, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  dpi_ = c.Dpi;
  UpdateLayout(window_, c.Width, c.Height, dpi_);
  InvalidateRect(window_, nullptr, FALSE);
  PaintMainWindow(window_);
  FillLaps(9);
  for (int32_t tenths = 0; tenths < 600; tenths += 37) {  // the second hand round the dial, under the laps
    StopwatchClock.MinuteRefreshCount = tenths * 10;
    StopwatchClock.LapTime.Seconds = tenths / 10;
    StopwatchClock.TimerRemaining.Seconds = 59 - tenths / 10;
    ExpectFrameShowsTheComposedPicture("running");
  }
  FillLaps(11);
  ExpectFrameShowsTheComposedPicture("eleventh lap");
  AppSettings.StopWatchTotalTimeEnable = 1;
  StopwatchClock.TotalTime.Hours = 123;
  ExpectFrameShowsTheComposedPicture("a longer total");
  LapList.Count = 0;
  StopwatchClock.TotalTime.Hours = 0;
  ExpectFrameShowsTheComposedPicture("laps cleared");
  AppSettings.BackGroundColor = RGB(10, 20, 30);
  ExpectFrameShowsTheComposedPicture("colour");
}

INSTANTIATE_TEST_SUITE_P(Display, FramesOnScreen,
                         ::testing::Values(IdentityCase{"Dial", 0, 1, 1, 0, 240, 240},
                                           IdentityCase{"DigitalOnly", 0, 0, 1, 1, 300, 200},
                                           IdentityCase{"Countdown", 1, 1, 1, 0, 240, 240},
                                           IdentityCase{"DialAt144Dpi", 0, 1, 1, 0, 360, 360, 144}),
                         test::RowName);

}  // namespace
