// Repaint requests of the timer callbacks, paced to the display.
#include "timing/frame_pacing.h"

Shared<int32_t> FramePeriodMs = FramePeriodFor(0);
FramePacer StopwatchPacer;
FramePacer CountdownPacer;

int32_t FramePeriodFor(int32_t refreshRate) {
  if (refreshRate <= 1) refreshRate = 60;
  if (refreshRate > 1000) return 1;
  return 1000 / refreshRate;
}

void UpdateFramePeriod(HWND window) {
  HDC dc = GetDC(window);
  if (!dc) return;
  FramePeriodMs = FramePeriodFor(GetDeviceCaps(dc, VREFRESH));
  ReleaseDC(window, dc);
}

bool PaceRepaint(FramePacer& pacer, int32_t elapsedMs, Refresh refresh) {
  const int32_t period = FramePeriodMs;
  if (pacer.SinceRequest < period) pacer.SinceRequest += elapsedMs;
  if (refresh != Refresh::None) pacer.Pending = true;
  if (!pacer.Pending || (refresh != Refresh::AtOnce && pacer.SinceRequest < period)) return false;
  pacer.SinceRequest = 0;
  pacer.Pending = false;
  return true;
}
