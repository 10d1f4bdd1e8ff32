// Small window and menu operations every part of the program uses.
#pragma once
#include <windows.h>

// Moves a window, keeping its size, to the centre of the primary screen; every dialog calls it when it opens.
void CenterWindowOnScreen(HWND window);
// Whole client area, no erase: the one way anything asks a window to repaint. A null window is ignored.
void RequestRepaint(HWND window);
// A menu item's enabled (or greyed) and checked states, by command.
void EnableMenuCommand(HMENU menu, int id, bool enabled);
void CheckMenuCommand(HMENU menu, int id, bool checked);
