// Dialogs, message boxes and the Save As dialog of a running Tavrilo.exe, handled from outside.
#include "app/dialog_driver.h"

namespace app {
namespace {

bool BelongsTo(HWND window, const RunningApp& app) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner == app.Process.dwProcessId && IsWindowVisible(window);
}

std::string TextOf(HWND window) {
  char text[2048] = "";
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// A message box's text is its static control with id 0xFFFF.
HWND MessageTextControl(HWND box) { return GetDlgItem(box, 0xFFFF); }

}  // namespace

HWND ReopenDialog(const RunningApp& app, WORD command, const std::string& title) {
  PostMessageA(app.Window, WM_COMMAND, command, 0);
  return WaitForDialog(app, title);
}

HWND WaitForDialog(const RunningApp& app, const std::string& title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    HWND dialog = nullptr;
    while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) != nullptr) {
      if (BelongsTo(dialog, app) && TextOf(dialog) == title) return dialog;
    }
    Sleep(10);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

HWND FindAnyDialog(const RunningApp& app) {
  HWND dialog = nullptr;
  while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) != nullptr) {
    if (BelongsTo(dialog, app)) return dialog;
  }
  return nullptr;
}

bool WaitForNoDialog(const RunningApp& app, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (FindAnyDialog(app)) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(10);
  }
  return true;
}

std::string ControlText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

void SetControlText(HWND dialog, int id, const std::string& text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

MessageBoxText AnswerMessageBox(const RunningApp& app, int button, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    HWND box = nullptr;
    while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
      if (!BelongsTo(box, app) || !MessageTextControl(box)) continue;
      MessageBoxText seen{TextOf(box), TextOf(MessageTextControl(box))};
      PressButton(box, button);
      return seen;
    }
    Sleep(10);
  } while (GetTickCount() - start < timeoutMs);
  return {};
}

HWND SaveAsNameEdit(HWND saveAs) {
  // ComboBoxEx32 > ComboBox > Edit, all with the id 1148; older layouts have a plain edit with that id.
  HWND control = GetDlgItem(saveAs, 1148);
  for (HWND inner; control && (inner = GetDlgItem(control, 1148)) != nullptr;) control = inner;
  if (!control) return nullptr;
  HWND edit = FindWindowExA(control, nullptr, "Edit", nullptr);
  return edit ? edit : control;
}

}  // namespace app
