// The back buffer and the face layer, the kept fonts, pens and brushes, the layout's updates, the paint handler
// and the view toggles.
#include "display/paint.h"
#include "helpers/gdi_helpers.h"
#include <cstring>
#include "display/dial.h"
#include "display/drawing_kit.h"
#include "display/layout.h"
#include "display/readout.h"
#include "display/time_text.h"
#include "helpers/wide_text.h"
#include "helpers/window_helpers.h"
#include "records/stopwatch_clock_record.h"
#include "settings/app_settings.h"
#include "timing/stopwatch_clock.h"

namespace {

// A memory device context with a bitmap of its own selected.
struct BitmapLayer {
  HDC Dc;
  HBITMAP Bitmap;
  HGDIOBJ PreviousBitmap;  // what selecting Bitmap displaced; selected back before Bitmap is deleted
  int32_t Width;
  int32_t Height;
};

// Each cache keeps the values it was built from; a build raises the generation, which the caches built on it
// record in turn. Keys are compared byte for byte, so each is zeroed before it is filled.
template <class Key>
bool SameKey(const Key& a, const Key& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

template <class Key>
Key ZeroedKey() {
  Key key;
  std::memset(&key, 0, sizeof key);
  return key;
}

struct KitKey {
  UINT Dpi;
  COLORREF Background;
  COLORREF Face;
  COLORREF Hand;
};

struct FontsKey {
  LOGFONTA Digital;  // Font_Setting in pixels with the digital height chosen for this composition
  int32_t NumeralHeight;
  int32_t DialTextHeight;
  int32_t LapHeight;
};

// Which drawing fills the face layer, at what size, and everything it draws with.
struct FaceLayerKey {
  ViewDrawing DrawStill;
  int32_t Width;
  int32_t Height;
  UINT Dpi;  // the layout's margin
  COLORREF TextColour;
  int32_t FrameGraduation;
  int32_t FiveSecIntervalMeasure;
  int32_t RotDivisor;
  uint32_t KitGeneration;
  uint32_t FontsGeneration;
};

// Everything the compositor keeps between compositions.
struct CompositorState {
  BitmapLayer BackBuffer;  // the composed picture
  BitmapLayer FaceLayer;   // the still parts of the view on display
  DrawingKit Kit;
  KitKey BuiltKit;
  uint32_t KitGeneration;
  FontsKey BuiltFonts;
  uint32_t FontsGeneration;
  FaceLayerKey BuiltFace;
  bool FaceLayerValid;
  // Where the screen shows moving parts (hands, read-outs, laps) that the face layer does not hold; a frame
  // copies this and where the new moving parts are drawn. Empty after a full copy with no moving parts.
  RECT ShownMovingArea;
  // Where the back buffer holds moving parts over the face layer; the next composition restores only this from
  // the face layer. Unknown (the whole picture is restored) after the back buffer is made.
  RECT DrawnMovingArea;
  bool DrawnMovingAreaKnown;
  bool FrameDue;  // from a frame's schedule until a paint or a frame has shown the latest state
};
CompositorState Compositor;

// What one composition did: whether the face layer was redrawn (then the whole picture may differ from the
// screen's), and the bounds of the moving parts it drew over the face.
struct Composition {
  bool FaceRedrawn;
  RECT Moving;
};

// A view: what it draws once on the face layer (null: the background only) and at every paint on top of it.
struct ViewPainter {
  ViewDrawing DrawStill;
  ViewDrawing DrawMoving;
};

void DeleteLayerBitmap(BitmapLayer& layer) {
  if (!layer.Bitmap) return;
  SelectObject(layer.Dc, layer.PreviousBitmap);
  DeleteIfAny(layer.Bitmap);
  layer.PreviousBitmap = nullptr;
  layer.Width = 0;
  layer.Height = 0;
}

void DeleteLayer(BitmapLayer& layer) {
  if (!layer.Dc) return;
  DeleteLayerBitmap(layer);
  DeleteDC(layer.Dc);
  layer.Dc = nullptr;
}

// Gives the layer a bitmap of the given size in the format of `reference` (a window's DC or a colour layer's).
void ResizeLayer(BitmapLayer& layer, HDC reference, int32_t width, int32_t height) {
  if (!layer.Dc) {
    layer.Dc = CreateCompatibleDC(reference);
    if (!layer.Dc) return;
    SetBkMode(layer.Dc, TRANSPARENT);
  }
  DeleteLayerBitmap(layer);
  layer.Bitmap = CreateCompatibleBitmap(reference, width, height);
  if (!layer.Bitmap) return;
  layer.PreviousBitmap = SelectObject(layer.Dc, layer.Bitmap);
  layer.Width = width;
  layer.Height = height;
}

void DeleteFonts() {
  DeleteIfAny(DisplayFonts.NumeralFont);
  DeleteIfAny(DisplayFonts.DialTextFont);
  DeleteIfAny(DisplayFonts.DigitalFont);
  DeleteIfAny(DisplayFonts.LapFont);
  Compositor.BuiltFonts = FontsKey{};
}

// A size within the virtual screen's extent in the direction of `metric`, keeping its sign (a negative height
// asks for the character height).
LONG WithinScreen(LONG size, int metric) {
  const LONG bound = GetSystemMetrics(metric);
  return size > bound ? bound : size < -bound ? -bound : size;
}

// A font taller or wider than the screen shows nothing more, and the rasteriser's time grows with the square of
// the size (under Wine one read-out at a stored height of 65536 took 17 s to draw, at every paint): heights and
// widths are bounded here, where fonts are made, and Font_Setting keeps its values as read.
HFONT CreateBoundedFont(LOGFONTA font) {
  font.lfHeight = WithinScreen(font.lfHeight, SM_CYVIRTUALSCREEN);
  font.lfWidth = WithinScreen(font.lfWidth, SM_CXVIRTUALSCREEN);
  const LOGFONTW wide = WideFont(font);
  return CreateFontIndirectW(&wide);
}

HFONT FontOfHeight(LOGFONTA font, LONG height) {
  font.lfHeight = height;
  return CreateBoundedFont(font);
}

// The digital height at which the stopwatch's lap text (always in its millisecond form) fills the client width.
LONG FittedDigitalHeight(int32_t clientWidth, const ClockTime& lap) {
  char lapText[TimeTextSize] = "";
  FormatClockTime(StopwatchClock.RefreshDivisor, lap, lapText, sizeof lapText);
  return FitHeight(clientWidth, lstrlenA(lapText));
}

// The height in pixels the digital read-out is drawn at: fixed by the window's smaller dimension, fitted to its
// width, or (any other FontSizeDispFit) as stored. A height chosen here is kept in Font_Setting, in the file's
// units, so that the file holds it as a program unaware of DPI would.
LONG ChooseDigitalHeight(int32_t clientWidth, const ClockTime& lap) {
  LONG height;
  switch (AppSettings.FontSizeDispFit) {
    case 0: height = DisplayLayout.DigitalFontHeight; break;
    case 1: height = FittedDigitalHeight(clientWidth, lap); break;
    default: return ToPixels(AppSettings.Font_Setting.lfHeight, DisplayLayout.Dpi);
  }
  AppSettings.Font_Setting.lfHeight = ToFileUnits(height, DisplayLayout.Dpi);
  return height;
}

void UpdateFonts(LONG digitalHeight) {
  auto wanted = ZeroedKey<FontsKey>();
  wanted.Digital = FontInPixels(AppSettings.Font_Setting, DisplayLayout.Dpi);
  wanted.Digital.lfHeight = digitalHeight;
  wanted.NumeralHeight = DisplayLayout.NumeralFontHeight;
  wanted.DialTextHeight = DisplayLayout.DialTextFontHeight;
  wanted.LapHeight = DisplayLayout.LapFontHeight;
  if (DisplayFonts.DigitalFont && SameKey(wanted, Compositor.BuiltFonts)) return;
  DeleteFonts();
  DisplayFonts.NumeralFont = FontOfHeight(wanted.Digital, wanted.NumeralHeight);
  DisplayFonts.DialTextFont = FontOfHeight(wanted.Digital, wanted.DialTextHeight);
  DisplayFonts.LapFont = FontOfHeight(wanted.Digital, wanted.LapHeight);
  DisplayFonts.DigitalFont = CreateBoundedFont(wanted.Digital);
  Compositor.BuiltFonts = wanted;
  ++Compositor.FontsGeneration;
}

void UpdateKit() {
  auto wanted = ZeroedKey<KitKey>();
  wanted.Dpi = DisplayLayout.Dpi;
  wanted.Background = AppSettings.BackGroundColor;
  wanted.Face = AppSettings.ClockFaceColor;
  wanted.Hand = AppSettings.SecondHandColor;
  if (Compositor.Kit.ThinPen && SameKey(wanted, Compositor.BuiltKit)) return;
  DeleteDrawingKit(Compositor.Kit);
  CreateDrawingKit(Compositor.Kit);
  Compositor.BuiltKit = wanted;
  ++Compositor.KitGeneration;
}

// The view that the mode and the view settings choose.
ViewPainter ChosenView() {
  const AppSettingsRecord& s = AppSettings;
  if (InTimerMode()) return ViewPainter{nullptr, DrawCountdownReadout};
  if (s.AnalogModeOnOff == 1) return ViewPainter{DrawDialFace, DrawDialMovingParts};
  if (s.DisitalModeOnOff == 1 && s.DigitalOnly == 1) return ViewPainter{nullptr, DrawDigitalOnlyReadout};
  // Both views off (an edited settings file): the background alone.
  return ViewPainter{nullptr, nullptr};
}

// Runs `draw` on `dc` with the kit and FontColor as the text colour; pen, brush and text colour are put back.
void DrawWithKit(HDC dc, ViewDrawing draw, const StopwatchReading* moment) {
  RendererFrame frame = {dc, Compositor.Kit, GetTextColor(dc), moment};
  SetTextColor(dc, AppSettings.FontColor);
  {
    const SelectionGuard pen(dc, Compositor.Kit.ThinPen, OBJ_PEN);
    const SelectionGuard brush(dc, Compositor.Kit.OutlineBrush, OBJ_BRUSH);
    draw(frame);
  }
  SetTextColor(dc, frame.PreviousTextColor);
}

void FillFaceLayerBackground(RendererFrame& frame) {
  SelectObject(frame.Dc, frame.Kit.BackgroundPen);
  SelectObject(frame.Dc, frame.Kit.BackgroundBrush);
  Rectangle(frame.Dc, 0, 0, Compositor.FaceLayer.Width, Compositor.FaceLayer.Height);
}

// True when the layer was redrawn.
bool UpdateFaceLayer(ViewDrawing drawStill) {
  auto wanted = ZeroedKey<FaceLayerKey>();
  wanted.DrawStill = drawStill;
  wanted.Width = Compositor.BackBuffer.Width;
  wanted.Height = Compositor.BackBuffer.Height;
  wanted.Dpi = DisplayLayout.Dpi;
  wanted.TextColour = AppSettings.FontColor;
  wanted.FrameGraduation = AppSettings.FrameGraduation;
  wanted.FiveSecIntervalMeasure = AppSettings.FiveSecIntervalMeasure;
  wanted.RotDivisor = AppSettings.RotDivisor;
  wanted.KitGeneration = Compositor.KitGeneration;
  wanted.FontsGeneration = Compositor.FontsGeneration;
  if (Compositor.FaceLayerValid && SameKey(wanted, Compositor.BuiltFace)) return false;
  BitmapLayer& face = Compositor.FaceLayer;
  if (!face.Bitmap || face.Width != wanted.Width || face.Height != wanted.Height) {
    ResizeLayer(face, Compositor.BackBuffer.Dc, wanted.Width, wanted.Height);
  }
  Compositor.FaceLayerValid = face.Bitmap != nullptr;
  if (!Compositor.FaceLayerValid) return true;
  DrawWithKit(face.Dc, FillFaceLayerBackground, nullptr);
  if (drawStill) DrawWithKit(face.Dc, drawStill, nullptr);
  Compositor.BuiltFace = wanted;
  return true;
}

// Copies an area of one picture to the same place in another.
void CopyLayer(HDC target, HDC source, const RECT& area) {
  if (IsRectEmpty(&area)) return;
  BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, source, area.left, area.top,
         SRCCOPY);
}

RECT WholeBackBuffer() { return RECT{0, 0, Compositor.BackBuffer.Width, Compositor.BackBuffer.Height}; }

// Draws the moving parts on the back buffer and returns the bounds of what they drew, as GDI accumulated it
// (the whole picture if it could not tell).
RECT DrawMovingParts(ViewDrawing drawMoving, const StopwatchReading& moment) {
  if (!drawMoving) return RECT{};
  HDC dc = Compositor.BackBuffer.Dc;
  SetBoundsRect(dc, nullptr, DCB_RESET | DCB_ENABLE);
  DrawWithKit(dc, drawMoving, &moment);
  RECT bounds = {};
  const UINT state = GetBoundsRect(dc, &bounds, DCB_RESET);
  SetBoundsRect(dc, nullptr, DCB_DISABLE);
  if (state == 0) return WholeBackBuffer();
  if (state == DCB_RESET) return RECT{};  // nothing drawn
  // A pixel to spare on every side costs nothing and guards against an exclusive edge counted short.
  InflateRect(&bounds, 1, 1);
  RECT whole = WholeBackBuffer();
  IntersectRect(&bounds, &bounds, &whole);
  return bounds;
}

Composition Compose() {
  if (!Compositor.BackBuffer.Bitmap) return Composition{false, RECT{}};
  // Everything the picture shows of the stopwatch comes from one reading.
  const StopwatchReading moment = ReadStopwatch();
  UpdateFonts(ChooseDigitalHeight(Compositor.BackBuffer.Width, moment.Lap));
  UpdateKit();
  const ViewPainter view = ChosenView();
  const bool faceRedrawn = UpdateFaceLayer(view.DrawStill);
  if (!Compositor.FaceLayerValid) return Composition{faceRedrawn, RECT{}};
  // Everywhere else the back buffer already holds the face layer.
  const RECT restore =
      faceRedrawn || !Compositor.DrawnMovingAreaKnown ? WholeBackBuffer() : Compositor.DrawnMovingArea;
  CopyLayer(Compositor.BackBuffer.Dc, Compositor.FaceLayer.Dc, restore);
  Compositor.DrawnMovingArea = DrawMovingParts(view.DrawMoving, moment);
  Compositor.DrawnMovingAreaKnown = true;
  return Composition{faceRedrawn, Compositor.DrawnMovingArea};
}

}  // namespace

HDC BackBufferDC() { return Compositor.BackBuffer.Dc; }

void UpdateLayout(HWND window, int32_t clientWidth, int32_t clientHeight, UINT dpi) {
  DisplayLayout = LayoutForClient(clientWidth, clientHeight, dpi);
  BuildHandShapes(DisplayLayout.DialRadius);
  RebuildBackBuffer(window);
}

void RebuildBackBuffer(HWND window) {
  const WindowDC windowDC(window);
  RECT client = {};
  GetClientRect(window, &client);
  // Compatible with the window, not with the memory DC, whose own bitmap is monochrome.
  ResizeLayer(Compositor.BackBuffer, windowDC.Get(), client.right, client.bottom);
  Compositor.DrawnMovingAreaKnown = false;
}

void ReleaseDisplayResources() {
  DeleteFonts();
  DeleteDrawingKit(Compositor.Kit);
  DeleteLayer(Compositor.FaceLayer);
  DeleteLayer(Compositor.BackBuffer);
  // Once the objects are deleted (the window is going), the next window starts from nothing.
  Compositor = CompositorState{};
}

void ComposeView() { Compose(); }

namespace {

// What the screen must be given for it to show the composition: the moving parts it shows and the new ones, or
// everything when the face layer was redrawn.
RECT ChangedArea(const Composition& composition) {
  RECT changed = WholeBackBuffer();
  if (!composition.FaceRedrawn) UnionRect(&changed, &Compositor.ShownMovingArea, &composition.Moving);
  return changed;
}

bool Contains(const RECT& outer, const RECT& inner) {
  if (IsRectEmpty(&inner)) return true;
  RECT common;
  return IntersectRect(&common, &outer, &inner) && EqualRect(&common, &inner);
}

}  // namespace

void ScheduleFrame(HWND window) {
  Compositor.FrameDue = true;
  // Any invalid part brings the paint, which adds what changed; the moving parts shown are part of that.
  RECT invalid = IsRectEmpty(&Compositor.ShownMovingArea) ? WholeBackBuffer() : Compositor.ShownMovingArea;
  InvalidateRect(window, &invalid, FALSE);
}

bool FrameIsDue() { return Compositor.FrameDue; }

void PaintMainWindow(HWND window) {
  const Composition composition = Compose();
  const RECT changed = ChangedArea(composition);
  // A frame is due: the paint shows all of it, also what moved outside the invalid area.
  if (Compositor.FrameDue && Compositor.BackBuffer.Bitmap) InvalidateRect(window, &changed, FALSE);
  Compositor.FrameDue = false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT clip = {};
  const int region = GetClipBox(dc, &clip);
  if (region == ERROR || region == NULLREGION || !Compositor.BackBuffer.Bitmap) {
    EndPaint(window, &paint);
    return;
  }
  CopyLayer(dc, Compositor.BackBuffer.Dc, clip);
  EndPaint(window, &paint);
  // Outside the clip box the screen may still show older moving parts, or an older face.
  if (Contains(clip, changed)) {
    Compositor.ShownMovingArea = composition.Moving;
  } else if (composition.FaceRedrawn) {
    Compositor.ShownMovingArea = WholeBackBuffer();
  } else {
    UnionRect(&Compositor.ShownMovingArea, &Compositor.ShownMovingArea, &composition.Moving);
  }
}

void ShowFrame(HWND window) {
  const Composition composition = Compose();
  Compositor.FrameDue = false;
  if (!Compositor.BackBuffer.Bitmap) return;
  const RECT changed = ChangedArea(composition);
  const WindowDC screen(window);
  if (!screen.Get()) return;
  CopyLayer(screen.Get(), Compositor.BackBuffer.Dc, changed);
  Compositor.ShownMovingArea = composition.Moving;
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
