// The geometry of the main window's views, derived from the client size and the DPI whenever either changes.
#pragma once
#include <windows.h>
#include <cstdint>
#include "helpers/dpi.h"

// Space between the client area's edge and the dial face, at 96 DPI.
constexpr int32_t DialMargin = 15;

// A computed coordinate or size in whole pixels: every one the views draw with is truncated towards zero.
inline int32_t Truncate(double value) { return static_cast<int32_t>(value); }

// Pixels of the client area, y growing downwards.
struct DisplayLayoutRecord {
  UINT Dpi = FileDpi;  // what the fixed sizes of the drawing (margin, pen widths) are scaled by
  int32_t CenterX;
  int32_t CenterY;
  RECT FaceRect;  // the ellipse of the dial face
  int32_t DialRadius;  // FaceRect.right - CenterX; 0 or less when the client area is too small for a dial
  int32_t MarkOuterRadius;
  int32_t MajorMarkInnerRadius;
  int32_t MinorMarkInnerRadius;
  int32_t NumeralFontHeight;
  int32_t DialTextFontHeight;
  int32_t DigitalFontHeight;
  int32_t LapFontHeight;
};

extern DisplayLayoutRecord DisplayLayout;

// The layout of a client area of the given size at `dpi`. Every quotient and product truncates towards zero.
DisplayLayoutRecord LayoutForClient(int32_t clientWidth, int32_t clientHeight, UINT dpi);
// The digital font height at which a text of `textLength` characters fills the client width; 0 (the font
// mapper's default size) when there is no text to fit.
int32_t FitHeight(int32_t clientWidth, int32_t textLength);
