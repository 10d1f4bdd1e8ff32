// The main window's picture: composed on a back buffer the size of the client area, copied to the screen. The
// still parts of a view (background, dial face, marks, numerals), the fonts and the pens and brushes are kept
// between paints; each is rebuilt when what it was made from differs at paint time.
#pragma once
#include <windows.h>
#include <cstdint>

// Everything below runs on the user-interface thread.

// Creates the memory device context on first use and a bitmap the size of the client area.
void RebuildBackBuffer(HWND window);
// Deletes the fonts, pens, brushes, the face layer, the back bitmap and the memory device context.
void ReleaseDisplayResources();
// WM_PAINT: composes the view of the current mode on the back buffer and copies the clip box to the screen, and
// when a frame is due, also everything that changed since the picture the screen shows.
void PaintMainWindow(HWND window);
// A paced frame drawn at the priority of a paint: the window is invalidated so that input waiting before the
// paint is taken first, and the paint shows the latest state.
void ScheduleFrame(HWND window);
// True while a scheduled frame waits for its paint.
bool FrameIsDue();
// A frame now: composes the latest state and copies to the screen what changed since the picture it shows.
void ShowFrame(HWND window);
// Composes the current view on the back buffer without touching the screen (the paint handler's first half).
void ComposeView(HWND window);
// The back buffer's device context, null before the first RebuildBackBuffer; tests read pixels from it.
HDC BackBufferDC();

// The commands that switch the analog dial and the digital read-out; at least one view stays on.
void ToggleAnalogDisplay(HWND window);
void ToggleDigitalDisplay(HWND window);

// The pens and brushes the views draw with, in the colours of the settings. Null members are not created.
struct DrawingKit {
  HPEN ThinPen;
  HPEN ThickPen;
  HPEN BackgroundPen;
  HBRUSH OutlineBrush;
  HBRUSH BackgroundBrush;
  HBRUSH FaceBrush;
  HBRUSH HandBrush;
};
// Creates each member that is null, its pen widths at the layout's DPI; deletes each that is not and clears it.
void CreateDrawingKit(DrawingKit& kit);
void DeleteDrawingKit(DrawingKit& kit);
// The kit of the last paint; remade by the next paint when a colour has changed since.
const DrawingKit& CurrentDrawingKit();

// The four fonts: Font_Setting at the layout's DPI with only the height replaced.
struct DisplayFontsRecord {
  HFONT NumeralFont;
  HFONT DialTextFont;
  HFONT DigitalFont;
  HFONT LapFont;
};
extern DisplayFontsRecord DisplayFonts;

struct StopwatchReading;
// What a view draws with: a layer's device context, the kit, the text colour the DC had before, and the moment
// of the stopwatch that the moving parts show (null for the still parts).
struct RendererFrame {
  HDC Dc;
  DrawingKit Kit;
  COLORREF PreviousTextColor;
  const StopwatchReading* Moment;
};
using ViewDrawing = void (*)(RendererFrame& frame);
