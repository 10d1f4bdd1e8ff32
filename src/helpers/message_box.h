// Message boxes: the one way the program tells the user something or asks a question.
#pragma once
#include <windows.h>

// The program's name: its main window's caption and that of its message boxes.
constexpr const wchar_t* AppCaption = L"Tavrilo";

// Shows `text` in a box owned by `owner` (null: by none) with the buttons and icon of `style` (MB_ flags),
// captioned `caption` (null: the system's own title); returns the button pressed.
int ShowMessageBox(HWND owner, const wchar_t* text, UINT style = MB_OK, const wchar_t* caption = AppCaption);
