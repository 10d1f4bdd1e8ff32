// Flashing the taskbar button at the countdown's end.
#include "alarm/taskbar_flash.h"

BOOL(WINAPI* FlashTaskbarButton)(PFLASHWINFO info) = FlashWindowEx;

namespace {

bool Flashing = false;

void Flash(HWND window, DWORD flags) {
  FLASHWINFO info = {};
  info.cbSize = sizeof info;
  info.hwnd = window;
  info.dwFlags = flags;
  FlashTaskbarButton(&info);
}

}  // namespace

void FlashUnlessInFront(HWND window) {
  if (GetForegroundWindow() == window && !IsIconic(window)) return;
  // Until the window comes to the foreground, or a stop below.
  Flash(window, FLASHW_ALL | FLASHW_TIMERNOFG);
  Flashing = true;
}

void StopFlashing(HWND window) {
  if (!Flashing) return;
  Flashing = false;
  Flash(window, FLASHW_STOP);
}
