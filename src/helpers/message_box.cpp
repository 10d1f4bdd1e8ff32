// The program's message boxes.
#include "helpers/message_box.h"

int ShowMessageBox(HWND owner, const wchar_t* text, UINT style, const wchar_t* caption) {
  return MessageBoxW(owner, text, caption, style);
}
