// Frame requests of the wakes.
#include "timing/frame_pacing.h"
#include "helpers/gdi_helpers.h"
#include "records/app_globals.h"
#include "records/window_messages.h"

namespace {
// The refresh rate a device reports, in hertz, as pacing uses it: 0 or 1 means unknown and counts as 60 Hz, and
// more than 1000 counts as 1000 (a frame is at least a millisecond).
int32_t UsableRefreshRate(int32_t reported) {
  if (reported <= 1) return 60;
  return reported > 1000 ? 1000 : reported;
}
}  // namespace

Shared<int32_t> DisplayRefreshRate = UsableRefreshRate(0);
Shared<int32_t> MainWindowMinimized;

namespace {
// 1 from a frame request's post until the main window takes it.
Shared<int32_t> FramePosted;
}  // namespace

void RequestFrame() {
  const HWND window = MainWindow;
  if (!window || MainWindowMinimized) return;
  if (FramePosted.value.exchange(1, std::memory_order_acq_rel) != 0) return;
  if (!PostMessageW(window, WM_SHOW_FRAME, 0, 0)) FramePosted = 0;
}

void TakeFrameRequest() { FramePosted = 0; }

void UpdateDisplayRefreshRate(HWND window) {
  const WindowDC dc(window);
  if (!dc.Get()) return;
  DisplayRefreshRate = UsableRefreshRate(GetDeviceCaps(dc.Get(), VREFRESH));
}

