// The top-level windows a process shows (main window, pop-up menu, dialogs, message boxes, Save As), found and
// worked from another thread or another process: texts go through WM_GETTEXT and WM_SETTEXT, which work across
// processes. Header-only, so that whatever builds the app drivers gets it without another source file.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include "support/files.h"
#include "support/poll.h"

namespace test {

constexpr const char* DialogClass = "#32770";
constexpr const char* PopUpMenuClass = "#32768";
// A message box shows its text in the static control with this id.
constexpr int MessageBoxTextId = 0xFFFF;
// The file name box of the Save As and Open dialogs.
constexpr int FileNameBoxId = 1148;

inline bool BelongsTo(HWND window, DWORD processId) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner == processId;
}

// The first visible top-level window of the class that `matches` accepts, or null.
inline HWND FindVisibleWindow(const char* windowClass, const std::function<bool(HWND)>& matches) {
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, windowClass, nullptr)) != nullptr;) {
    if (IsWindowVisible(window) && matches(window)) return window;
  }
  return nullptr;
}

// The process's visible top-level window of the class, or null.
inline HWND FindWindowOf(DWORD processId, const char* windowClass) {
  return FindVisibleWindow(windowClass, [processId](HWND window) { return BelongsTo(window, processId); });
}

// The window `find` gives, once it gives one; null after the timeout.
inline HWND PollForWindow(const std::function<HWND()>& find, DWORD timeoutMs = 15000) {
  HWND found = nullptr;
  PollUntil([&] { return (found = find()) != nullptr; }, timeoutMs);
  return found;
}

// Texts are read and set as UTF-16, whatever the system's code page, and given to the tests in the Shift-JIS of
// their literals (code page 932, never the system's).
inline std::string WindowText(HWND window) {
  wchar_t text[2048] = L"";
  SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
  return Narrow(text);
}

inline void SetText(HWND window, const std::string& text) {
  SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

// The process's visible dialog with this title, or null.
inline HWND FindDialogOf(DWORD processId, const std::string& title) {
  return FindVisibleWindow(DialogClass, [&](HWND dialog) {
    return BelongsTo(dialog, processId) && WindowText(dialog) == title;
  });
}

// The visible dialog that `owner` owns, or null.
inline HWND FindDialogOwnedBy(HWND owner) {
  return FindVisibleWindow(DialogClass, [owner](HWND dialog) { return GetWindow(dialog, GW_OWNER) == owner; });
}

// The process's visible message box, or null. (A dialog whose labels have the message text's id counts too.)
inline HWND FindMessageBoxOf(DWORD processId) {
  return FindVisibleWindow(DialogClass, [processId](HWND box) {
    return BelongsTo(box, processId) && GetDlgItem(box, MessageBoxTextId) != nullptr;
  });
}

// Presses a push button as a click would (BN_CLICKED to the dialog). This tests the dialog's logic, not input,
// so it need not come through the input queue.
inline void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A message box: its caption and text, read before it was answered.
struct MessageBoxText {
  std::string Caption;
  std::string Text;
};

// Reads a message box and answers it with `button` (IDOK, IDYES, IDNO...; 0: its first button).
inline MessageBoxText ReadAndAnswer(HWND box, int button) {
  const MessageBoxText seen{WindowText(box), WindowText(GetDlgItem(box, MessageBoxTextId))};
  PressButton(box, button ? button : GetDlgCtrlID(FindWindowExA(box, nullptr, "Button", nullptr)));
  return seen;
}

// The Save As dialog's file name box (the edit inside its combo boxes).
inline HWND SaveAsNameEdit(HWND saveAs) {
  // ComboBoxEx32 > ComboBox > Edit, all with the same id; older layouts have a plain edit with that id.
  HWND control = GetDlgItem(saveAs, FileNameBoxId);
  for (HWND inner; control && (inner = GetDlgItem(control, FileNameBoxId)) != nullptr;) control = inner;
  if (!control) return nullptr;
  const HWND edit = FindWindowExA(control, nullptr, "Edit", nullptr);
  return edit ? edit : control;
}

}  // namespace test
