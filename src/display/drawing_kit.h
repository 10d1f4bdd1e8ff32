// What the views draw with: the pens and brushes, the fonts, and the frame a view is drawn on.
#pragma once
#include <windows.h>

// The pens and brushes the views draw with, in the colours of the settings. A member that could not be created
// is null.
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

// The four fonts: Font_Setting at the layout's DPI with only the height replaced, height and width bounded by
// the screen's size. The compositor makes them; the views select them.
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
