// Small window and menu operations every part of the program uses.
#pragma once
#include <windows.h>

// Moves a window, keeping its size, to the centre of the primary screen; every dialog calls it when it opens.
void CenterWindowOnScreen(HWND window);
// Whole client area, no erase: the one way anything asks a window to repaint. A null window is ignored.
void RequestRepaint(HWND window);
// A dialog's state for one opening, handed over as WM_INITDIALOG's lParam: kept with the dialog from then on
// and found again from its handle.
template <class State>
void KeepDialogState(HWND dialog, State* state) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
}
template <class State>
State& DialogState(HWND dialog) {
  return *reinterpret_cast<State*>(GetWindowLongPtrA(dialog, DWLP_USER));
}
// A menu item's enabled (or greyed) and checked states, by command.
void EnableMenuCommand(HMENU menu, int id, bool enabled);
void CheckMenuCommand(HMENU menu, int id, bool checked);
