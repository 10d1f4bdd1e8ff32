// Owned dialogs and the system colour and font choosers, worked through their controls as a user would; for
// the tests in this process and for those that drive Tavrilo.exe from outside.
#pragma once
#include <windows.h>
#include <string>
#include <utility>
#include "support/poll.h"
#include "support/process_windows.h"

namespace test {

// Controls of the system choosers.
constexpr int ColorChooserRed = 706, ColorChooserGreen = 707, ColorChooserBlue = 708;
constexpr int ColorChooserAddCustom = 712;
constexpr int FontChooserFaces = 1136, FontChooserSizes = 1138, FontChooserColors = 1139;

// The visible dialog that `owner` owns, once it appears; null after the timeout.
inline HWND WaitForDialogOwnedBy(HWND owner, DWORD timeoutMs = 15000) {
  return PollForWindow([owner] { return FindDialogOwnedBy(owner); }, timeoutMs);
}

inline bool WaitUntilClosed(HWND dialog) {
  return PollUntil([dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

// Chooses item `index` of a drop-down list as a user would, with its selection-change notification.
inline void ChooseListItem(HWND dialog, int id, LRESULT index) {
  const HWND list = GetDlgItem(dialog, id);
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

// Chooses an item other than the selected one and returns its index.
inline LRESULT ChooseAnotherListItem(HWND dialog, int id) {
  const LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0) == 0 ? 1 : 0;
  ChooseListItem(dialog, id, index);
  return index;
}

// Types a colour into the colour chooser's red, green and blue boxes.
inline void TypeChooserColor(HWND chooser, int red, int green, int blue) {
  for (const auto& [id, value] :
       {std::pair{ColorChooserRed, red}, {ColorChooserGreen, green}, {ColorChooserBlue, blue}}) {
    const HWND edit = GetDlgItem(chooser, id);
    SetText(edit, std::to_string(value));
    SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(id, EN_UPDATE), reinterpret_cast<LPARAM>(edit));
  }
}

}  // namespace test
