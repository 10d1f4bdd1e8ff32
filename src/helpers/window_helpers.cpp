// Small window and menu operations every part of the program uses.
#include "helpers/window_helpers.h"

void CenterWindowOnScreen(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  MoveWindow(window, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
             width, height, TRUE);
}

void RequestRepaint(HWND window) {
  // A null handle would invalidate every window on the screen.
  if (window) InvalidateRect(window, nullptr, FALSE);
}

void EnableMenuCommand(HMENU menu, int id, bool enabled) {
  EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CheckMenuCommand(HMENU menu, int id, bool checked) {
  CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}
