// The main window's picture: composed on a back buffer the size of the client area, copied to the screen.
#pragma once
#include <windows.h>
#include <cstdint>

// Everything below runs on the user-interface thread.

// Recomputes the layout and the hand shapes for a new client size and rebuilds the back buffer.
void UpdateLayout(HWND window, int32_t clientWidth, int32_t clientHeight);
// Creates the memory device context on first use and a bitmap the size of the client area.
void RebuildBackBuffer(HWND window);
// Deletes the fonts, the back bitmap and the memory device context.
void ReleaseDisplayResources();
// WM_PAINT: composes the view of the current mode on the back buffer and copies the clip box to the screen.
void PaintMainWindow(HWND window);
// Composes the current view on the back buffer without touching the screen (the paint handler's first half).
void ComposeView(HWND window);
// The back buffer's device context, null before the first RebuildBackBuffer; tests read pixels from it.
HDC BackBufferDC();

// The commands that switch the analog dial and the digital read-out; at least one view stays on.
void ToggleAnalogDisplay(HWND window);
void ToggleDigitalDisplay(HWND window);

// The pens and brushes of one paint, made from the colours of that moment. Null members are not created.
struct DrawingKit {
  HPEN ThinPen;
  HPEN ThickPen;
  HPEN BackgroundPen;
  HBRUSH OutlineBrush;
  HBRUSH BackgroundBrush;
  HBRUSH FaceBrush;
  HBRUSH HandBrush;
};
// Creates each member that is null; deletes each that is not and clears it.
void CreateDrawingKit(DrawingKit& kit);
void DeleteDrawingKit(DrawingKit& kit);

// The four fonts, rebuilt from Font_Setting at the start of every paint with only the height replaced.
struct DisplayFontsRecord {
  HFONT NumeralFont;
  HFONT DialTextFont;
  HFONT DigitalFont;
  HFONT LapFont;
};
extern DisplayFontsRecord DisplayFonts;
// Also writes the digital height into Font_Setting.lfHeight, so the settings file keeps the last one used.
void RebuildFonts(HWND window);

// What a view draws with: the back buffer's DC, a fresh kit and the text colour the frame displaced.
struct RendererFrame {
  HDC Dc;
  DrawingKit Kit;
  COLORREF PreviousTextColor;
};
using ViewDrawing = void (*)(RendererFrame& frame);
// Creates the kit, sets the text colour to FontColor, paints the whole back buffer in BackGroundColor, runs
// `drawView` (none: background only), then puts pen, brush and text colour back and deletes the kit.
void RenderInFrame(HWND window, ViewDrawing drawView);

// Selects `object` into `dc` for the life of this guard and then puts back whatever the DC held before, so
// that nothing is ever deleted while selected, whatever failed to be created.
class SelectionGuard {
 public:
  SelectionGuard(HDC dc, HGDIOBJ object, UINT objectType)
      : dc_(dc), kept_(GetCurrentObject(dc, objectType)) {
    SelectObject(dc, object);
  }
  ~SelectionGuard() {
    if (kept_) SelectObject(dc_, kept_);
  }
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ kept_;
};
