// Small window and menu operations every part of the program uses.
#include "helpers/window_helpers.h"
#include <algorithm>
#include <climits>
#include <iterator>

namespace {

void CenterWindowIn(HWND window, const RECT& area) {
  RECT outer;
  GetWindowRect(window, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int left = area.left + (area.right - area.left - width) / 2;
  const int top = area.top + (area.bottom - area.top - height) / 2;
  MoveWindow(window, left, top, width, height, TRUE);
}

LONG Shifted(LONG value, LONG to, LONG from) {
  return static_cast<LONG>(std::clamp<LONGLONG>(LONGLONG{value} + to - from, LONG_MIN, LONG_MAX));
}

}  // namespace

void CenterWindowOnScreen(HWND window) {
  CenterWindowIn(window, RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

void CenterWindowInWorkArea(HWND window) {
  RECT work;
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) CenterWindowIn(window, work);
}

POINT WorkspaceToScreen(POINT point, const RECT& monitor, const RECT& work) {
  return POINT{Shifted(point.x, work.left, monitor.left), Shifted(point.y, work.top, monitor.top)};
}

POINT NormalCornerOnScreen(const RECT& normal) {
  const POINT corner = {normal.left, normal.top};
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(MonitorFromRect(&normal, MONITOR_DEFAULTTOPRIMARY), &info)) return corner;
  return WorkspaceToScreen(corner, info.rcMonitor, info.rcWork);
}

void SendCommand(HWND window, WORD command) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

void RequestRepaint(HWND window) {
  // A null handle would invalidate every window on the screen.
  if (window) InvalidateRect(window, nullptr, FALSE);
}

namespace {
// The open dialogs with snapshots, innermost last; deep enough for every chain of them (settings, then its
// colours).
struct SnapshotDialogStack {
  HWND Dialogs[4];
  size_t Open;
};
SnapshotDialogStack DialogsWithSnapshots;
}  // namespace

INT_PTR RunDialogWithSnapshot(HINSTANCE instance, int templateId, HWND owner, DLGPROC procedure, void* snapshot) {
  const size_t outer = DialogsWithSnapshots.Open;
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, procedure,
                                         reinterpret_cast<LPARAM>(snapshot));
  DialogsWithSnapshots.Open = outer;
  return result;
}

void DialogWithSnapshotOpened(HWND dialog) {
  SnapshotDialogStack& stack = DialogsWithSnapshots;
  if (stack.Open < std::size(stack.Dialogs)) stack.Dialogs[stack.Open++] = dialog;
}

void CancelDialogsWithSnapshots() {
  SnapshotDialogStack& stack = DialogsWithSnapshots;
  while (stack.Open > 0) {
    const HWND dialog = stack.Dialogs[--stack.Open];
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
}

void (*DialogOpeningHook)() = nullptr;

void TellDialogOpening() {
  if (DialogOpeningHook) DialogOpeningHook();
}

void BringForward(HWND window) {
  const HWND top = GetAncestor(window, GA_ROOT);
  if (top && GetForegroundWindow() != top) SetForegroundWindow(top);
}

void EnableMenuCommand(HMENU menu, int id, bool enabled) {
  EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CheckMenuCommand(HMENU menu, int id, bool checked) {
  CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}
