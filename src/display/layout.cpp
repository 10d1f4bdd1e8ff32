// The geometry of the main window's views, derived from the client size and the DPI whenever either changes.
#include "display/layout.h"

DisplayLayoutRecord DisplayLayout;

namespace {

// A square (to within a pixel) spanning the smaller dimension less the margins, centred on the centre line of
// the larger one.
RECT FaceRectFor(int32_t width, int32_t height, int32_t centerX, int32_t centerY, int32_t margin) {
  RECT face;
  if (width > height) {
    face.top = margin - 1;
    face.bottom = height - margin - 2;
    const int32_t half = (face.bottom - face.top) / 2;
    face.left = centerX - half;
    face.right = centerX + half;
  } else {
    face.left = margin - 1;
    face.right = width - margin - 2;
    const int32_t half = (face.right - face.left) / 2;
    face.top = centerY - half;
    face.bottom = centerY + half;
  }
  return face;
}

}  // namespace

DisplayLayoutRecord LayoutForClient(int32_t clientWidth, int32_t clientHeight, UINT dpi) {
  DisplayLayoutRecord layout;
  layout.Dpi = dpi;
  layout.CenterX = clientWidth / 2 - 1;
  layout.CenterY = clientHeight / 2 - 1;
  const int32_t smaller = clientWidth > clientHeight ? clientHeight : clientWidth;
  layout.NumeralFontHeight = Truncate(smaller / 15.0);
  layout.DialTextFontHeight = Truncate(smaller / 10.0);
  layout.DigitalFontHeight = Truncate(smaller / 5.2);
  layout.LapFontHeight = Truncate(smaller / 25.0);
  layout.FaceRect =
      FaceRectFor(clientWidth, clientHeight, layout.CenterX, layout.CenterY, ToPixels(DialMargin, dpi));
  layout.DialRadius = layout.FaceRect.right - layout.CenterX;
  layout.MarkOuterRadius = Truncate(layout.DialRadius * 0.97);
  layout.MajorMarkInnerRadius = Truncate(layout.MarkOuterRadius * 0.9);
  layout.MinorMarkInnerRadius = Truncate(layout.MarkOuterRadius * 0.95);
  return layout;
}

int32_t FitHeight(int32_t clientWidth, int32_t textLength) {
  if (textLength <= 0) return 0;
  return Truncate(2.0 * clientWidth / textLength);
}
