// Small window and menu operations every part of the program uses.
#pragma once
#include <windows.h>

// Moves a window, keeping its size, to the centre of the primary screen; every dialog calls it when it opens.
void CenterWindowOnScreen(HWND window);
// The same within the primary screen's work area (the screen less the taskbar).
void CenterWindowInWorkArea(HWND window);
// Workspace coordinates (those of a window placement's normal rectangle) start at the top left of the monitor's
// work area, screen coordinates at the monitor's: they differ when the taskbar is at the top or the left. The
// top left corner of a normal rectangle on the screen, on the monitor the rectangle is on.
POINT NormalCornerOnScreen(const RECT& normal);
// Makes a window's top-level window the foreground window, unless it is already.
void BringForward(HWND window);
// Carries out a command of the window's, as its menu item would, and returns once it has.
void SendCommand(HWND window, WORD command);
// Whole client area, no erase: the one way anything asks a window to repaint. A null window is ignored.
void RequestRepaint(HWND window);
// A modal dialog whose Cancel puts back what it found: `snapshot` is handed over as WM_INITDIALOG's lParam, and
// its handler keeps it with KeepDialogState. While such dialogs are open, the end of a Windows session cancels
// them, innermost first, so that only what was confirmed is stored.
INT_PTR RunDialogWithSnapshot(HINSTANCE instance, int templateId, HWND owner, DLGPROC procedure, void* snapshot);
void DialogWithSnapshotOpened(HWND dialog);
void CancelDialogsWithSnapshots();
// Keeps the snapshot with the dialog, found again from its handle.
template <class State>
void KeepDialogState(HWND dialog, State* state) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  DialogWithSnapshotOpened(dialog);
}
template <class State>
State& DialogState(HWND dialog) {
  return *reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
}
// Called as a modal dialog or a system chooser opens over the main window, so that a fast-changing picture holds
// its redraws back while it comes up. The program installs it at start-up; until then nothing is held.
extern void (*DialogOpeningHook)();
void TellDialogOpening();
// A menu item's enabled (or greyed) and checked states, by command.
void EnableMenuCommand(HMENU menu, int id, bool enabled);
void CheckMenuCommand(HMENU menu, int id, bool checked);

// For the tests only: nothing outside this module calls these.
// A workspace point on the screen, given its monitor's and work area's rectangles (held within the 32-bit range).
POINT WorkspaceToScreen(POINT point, const RECT& monitor, const RECT& work);
