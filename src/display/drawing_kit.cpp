// What the views draw with: the pens and brushes, the fonts, and the frame a view is drawn on.
#include "display/drawing_kit.h"
#include <cstdint>
#include "display/layout.h"
#include "helpers/gdi_helpers.h"
#include "records/app_settings_record.h"

DisplayFontsRecord DisplayFonts;

namespace {

// Black is a fixed colour slot, never changed by the user.
constexpr COLORREF Black = RGB(0, 0, 0);
// Pen widths at 96 DPI.
constexpr int32_t ThinPenWidth = 1;
constexpr int32_t ThickPenWidth = 3;

}  // namespace

void CreateDrawingKit(DrawingKit& kit) {
  const AppSettingsRecord& s = AppSettings;
  const UINT dpi = DisplayLayout.Dpi;
  if (!kit.ThinPen) kit.ThinPen = CreatePen(PS_SOLID, ToPixels(ThinPenWidth, dpi), Black);
  if (!kit.ThickPen) kit.ThickPen = CreatePen(PS_SOLID, ToPixels(ThickPenWidth, dpi), Black);
  if (!kit.BackgroundPen) kit.BackgroundPen = CreatePen(PS_SOLID, ToPixels(ThinPenWidth, dpi), s.BackGroundColor);
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
