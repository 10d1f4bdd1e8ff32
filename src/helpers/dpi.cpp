// The DPI a window is drawn at, and the conversions between its pixels and the settings file's 96-DPI units.
#include "helpers/dpi.h"
#include <algorithm>
#include "helpers/gdi_helpers.h"
#include "helpers/optional_calls.h"

namespace {

UINT ReadSystemDpi() {
  const WindowDC screen(nullptr);
  const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : FileDpi;
}

int32_t Scale(int32_t value, UINT multiplier, UINT divisor) {
  if (multiplier == 0 || divisor == 0) return value;
  const int64_t product = static_cast<int64_t>(value) * multiplier;
  const int64_t half = divisor / 2;
  const int64_t rounded = (product < 0 ? product - half : product + half) / static_cast<int64_t>(divisor);
  return static_cast<int32_t>(std::clamp<int64_t>(rounded, INT32_MIN, INT32_MAX));
}

}  // namespace

UINT SystemDpi() {
  static const UINT dpi = ReadSystemDpi();
  return dpi;
}

UINT WindowDpi(HWND window) {
  const auto getDpiForWindow = OptionalCalls().GetDpiForWindow;
  const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
  return dpi != 0 ? dpi : SystemDpi();
}

int32_t ToPixels(int32_t units, UINT dpi) { return Scale(units, dpi, FileDpi); }

int32_t ToFileUnits(int32_t pixels, UINT dpi) { return Scale(pixels, FileDpi, dpi); }

LOGFONTA FontInPixels(LOGFONTA font, UINT dpi) {
  font.lfHeight = ToPixels(font.lfHeight, dpi);
  font.lfWidth = ToPixels(font.lfWidth, dpi);
  return font;
}

LOGFONTA FontInFileUnits(LOGFONTA font, UINT dpi) {
  font.lfHeight = ToFileUnits(font.lfHeight, dpi);
  font.lfWidth = ToFileUnits(font.lfWidth, dpi);
  return font;
}
