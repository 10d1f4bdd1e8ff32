// Frame requests of the wakes.
#include "timing/frame_pacing.h"
#include "helpers/gdi_helpers.h"
#include "records/app_globals.h"
#include "records/window_messages.h"

FramePacingRecord FramePacing;

int32_t UsableRefreshRate(int32_t reported) {
  if (reported <= 1) return UnknownRefreshRate;
  return reported > 1000 ? 1000 : reported;
}

void RequestFrame() {
  const HWND window = MainWindow;
  if (!window || FramePacing.WindowMinimized || FramePacing.FramePosted) return;
  FramePacing.FramePosted = PostMessageW(window, WM_SHOW_FRAME, 0, 0) != FALSE;
}

void TakeFrameRequest() { FramePacing.FramePosted = false; }

void UpdateDisplayRefreshRate(HWND window) {
  const WindowDC dc(window);
  if (!dc.Get()) return;
  FramePacing.RefreshRate = UsableRefreshRate(GetDeviceCaps(dc.Get(), VREFRESH));
}
