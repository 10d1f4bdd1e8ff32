// The back buffer, the pens, brushes and fonts of each paint, the paint handler and the two view toggles.
#include "display/paint.h"
#include "display/dial.h"
#include "display/layout.h"
#include "display/readout.h"
#include "display/time_text.h"
#include "settings/app_settings.h"
#include "timing/stopwatch_clock.h"

DisplayFontsRecord DisplayFonts;

namespace {

struct BackBufferRecord {
  HDC MemoryDC;
  HBITMAP Bitmap;
  HGDIOBJ PreviousBitmap;  // what selecting Bitmap displaced; selected back before Bitmap is deleted
};
BackBufferRecord BackBuffer;

// Black is a fixed colour slot, never changed by the user.
constexpr COLORREF Black = RGB(0, 0, 0);

template <class Handle>
void DeleteIfAny(Handle& object) {
  if (!object) return;
  DeleteObject(object);
  object = nullptr;
}

void DeleteBackBitmap() {
  if (!BackBuffer.Bitmap) return;
  SelectObject(BackBuffer.MemoryDC, BackBuffer.PreviousBitmap);
  DeleteIfAny(BackBuffer.Bitmap);
  BackBuffer.PreviousBitmap = nullptr;
}

void DeleteFonts() {
  DeleteIfAny(DisplayFonts.NumeralFont);
  DeleteIfAny(DisplayFonts.DialTextFont);
  DeleteIfAny(DisplayFonts.DigitalFont);
  DeleteIfAny(DisplayFonts.LapFont);
}

HFONT FontOfHeight(LONG height) {
  LOGFONTA font = AppSettings.Font_Setting;
  font.lfHeight = height;
  return CreateFontIndirectA(&font);
}

// The digital height at which the stopwatch's lap text (always in its millisecond form) fills the client width.
LONG FittedDigitalHeight(HWND window) {
  char lapText[TimeTextSize] = "";
  FormatClockTime(StopwatchClock.RefreshDivisor, StopwatchClock.LapTime, lapText, sizeof lapText);
  RECT client = {};
  GetClientRect(window, &client);
  return FitHeight(client.right - client.left, lstrlenA(lapText));
}

// The height the digital read-out is drawn at, kept in Font_Setting: fixed by the window's smaller dimension,
// fitted to its width, or (any other FontSizeDispFit) as stored.
void ChooseDigitalHeight(HWND window) {
  switch (AppSettings.FontSizeDispFit) {
    case 0: AppSettings.Font_Setting.lfHeight = DisplayLayout.DigitalFontHeight; break;
    case 1: AppSettings.Font_Setting.lfHeight = FittedDigitalHeight(window); break;
    default: break;
  }
}

// Runs the view that the mode and the two view settings choose.
void DrawChosenView(HWND window) {
  const AppSettingsRecord& s = AppSettings;
  if (s.Timer_Mode == 1) {
    DrawTimerView(window);
  } else if (s.AnalogModeOnOff == 1) {
    DrawDialView(window);
  } else if (s.DisitalModeOnOff == 1 && s.DigitalOnly == 1) {
    DrawDigitalOnlyView(window);
  } else {
    // Both views off (an edited settings file): a plain background rather than a bitmap whose content is
    // undefined since the last resize.
    RenderInFrame(window, nullptr);
  }
}

}  // namespace

HDC BackBufferDC() { return BackBuffer.MemoryDC; }

void RebuildBackBuffer(HWND window) {
  HDC windowDC = GetDC(window);
  if (!BackBuffer.MemoryDC) {
    BackBuffer.MemoryDC = CreateCompatibleDC(windowDC);
    SetBkMode(BackBuffer.MemoryDC, TRANSPARENT);
  }
  DeleteBackBitmap();
  RECT client = {};
  GetClientRect(window, &client);
  // Compatible with the window, not with the memory DC, whose own bitmap is monochrome.
  BackBuffer.Bitmap = CreateCompatibleBitmap(windowDC, client.right, client.bottom);
  if (BackBuffer.Bitmap) BackBuffer.PreviousBitmap = SelectObject(BackBuffer.MemoryDC, BackBuffer.Bitmap);
  ReleaseDC(window, windowDC);
}

void ReleaseDisplayResources() {
  DeleteFonts();
  if (!BackBuffer.MemoryDC) return;
  DeleteBackBitmap();
  DeleteDC(BackBuffer.MemoryDC);
  BackBuffer.MemoryDC = nullptr;
}

void CreateDrawingKit(DrawingKit& kit) {
  const AppSettingsRecord& s = AppSettings;
  if (!kit.ThinPen) kit.ThinPen = CreatePen(PS_SOLID, 1, Black);
  if (!kit.ThickPen) kit.ThickPen = CreatePen(PS_SOLID, 3, Black);
  if (!kit.BackgroundPen) kit.BackgroundPen = CreatePen(PS_SOLID, 1, s.BackGroundColor);
  if (!kit.OutlineBrush) kit.OutlineBrush = CreateSolidBrush(Black);
  if (!kit.BackgroundBrush) kit.BackgroundBrush = CreateSolidBrush(s.BackGroundColor);
  if (!kit.FaceBrush) kit.FaceBrush = CreateSolidBrush(s.ClockFaceColor);
  if (!kit.HandBrush) kit.HandBrush = CreateSolidBrush(s.SecondHandColor);
}

void DeleteDrawingKit(DrawingKit& kit) {
  DeleteIfAny(kit.ThinPen);
  DeleteIfAny(kit.ThickPen);
  DeleteIfAny(kit.BackgroundPen);
  DeleteIfAny(kit.OutlineBrush);
  DeleteIfAny(kit.BackgroundBrush);
  DeleteIfAny(kit.FaceBrush);
  DeleteIfAny(kit.HandBrush);
}

void RebuildFonts(HWND window) {
  DeleteFonts();
  const DisplayLayoutRecord& layout = DisplayLayout;
  DisplayFonts.NumeralFont = FontOfHeight(layout.NumeralFontHeight);
  DisplayFonts.DialTextFont = FontOfHeight(layout.DialTextFontHeight);
  DisplayFonts.LapFont = FontOfHeight(layout.LapFontHeight);
  ChooseDigitalHeight(window);
  DisplayFonts.DigitalFont = CreateFontIndirectA(&AppSettings.Font_Setting);
}

void RenderInFrame(HWND window, ViewDrawing drawView) {
  HDC dc = BackBuffer.MemoryDC;
  if (!dc) return;
  RendererFrame frame = {dc, {}, 0};
  CreateDrawingKit(frame.Kit);
  frame.PreviousTextColor = SetTextColor(dc, AppSettings.FontColor);
  {
    const SelectionGuard pen(dc, frame.Kit.ThinPen, OBJ_PEN);
    const SelectionGuard brush(dc, frame.Kit.OutlineBrush, OBJ_BRUSH);
    SelectObject(dc, frame.Kit.BackgroundPen);
    SelectObject(dc, frame.Kit.BackgroundBrush);
    RECT client = {};
    GetClientRect(window, &client);
    Rectangle(dc, client.left, client.top, client.right, client.bottom);
    if (drawView) drawView(frame);
  }
  DeleteDrawingKit(frame.Kit);
  SetTextColor(dc, frame.PreviousTextColor);
}

void ComposeView(HWND window) {
  RebuildFonts(window);
  DrawChosenView(window);
}

void PaintMainWindow(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  ComposeView(window);
  RECT clip = {};
  const int region = GetClipBox(dc, &clip);
  if (region != ERROR && region != NULLREGION && BackBuffer.MemoryDC) {
    BitBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, BackBuffer.MemoryDC, clip.left,
           clip.top, SRCCOPY);
  }
  EndPaint(window, &paint);
}

void ToggleDigitalDisplay(HWND window) {
  AppSettingsRecord& s = AppSettings;
  if (s.DisitalModeOnOff != 0) {
    if (s.DigitalOnly != 0) return;  // the read-out is the only view: it stays
    s.DisitalModeOnOff = 0;
  } else {
    s.DisitalModeOnOff = 1;
    // With the dial off (both views off, from an edited file) the read-out becomes the only view; otherwise
    // it would be switched on and still not be shown.
    s.DigitalOnly = DigitalOnlyFor(s.DisitalModeOnOff, s.AnalogModeOnOff);
  }
  RequestRepaint(window);
}

void ToggleAnalogDisplay(HWND window) {
  AppSettingsRecord& s = AppSettings;
  if (s.AnalogModeOnOff == 0) {
    s.AnalogModeOnOff = 1;
    s.DigitalOnly = 0;
  } else if (s.DisitalModeOnOff == 1) {
    s.AnalogModeOnOff = 0;
    s.DigitalOnly = 1;
  }
  RequestRepaint(window);
}
