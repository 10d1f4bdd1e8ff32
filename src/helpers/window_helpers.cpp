// Small window and menu operations every part of the program uses.
#include "helpers/window_helpers.h"
#include <iterator>

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

namespace {
// The open ones, innermost last; deep enough for every chain of them (settings, then its colours).
HWND DialogsWithSnapshots[4] = {};
size_t DialogsWithSnapshotsOpen = 0;
}  // namespace

INT_PTR RunDialogWithSnapshot(HINSTANCE instance, int templateId, HWND owner, DLGPROC procedure, void* snapshot) {
  const size_t outer = DialogsWithSnapshotsOpen;
  const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, procedure,
                                         reinterpret_cast<LPARAM>(snapshot));
  DialogsWithSnapshotsOpen = outer;
  return result;
}

void DialogWithSnapshotOpened(HWND dialog) {
  if (DialogsWithSnapshotsOpen < std::size(DialogsWithSnapshots)) {
    DialogsWithSnapshots[DialogsWithSnapshotsOpen++] = dialog;
  }
}

void CancelDialogsWithSnapshots() {
  while (DialogsWithSnapshotsOpen > 0) {
    const HWND dialog = DialogsWithSnapshots[--DialogsWithSnapshotsOpen];
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
}

void EnableMenuCommand(HMENU menu, int id, bool enabled) {
  EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CheckMenuCommand(HMENU menu, int id, bool checked) {
  CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}
