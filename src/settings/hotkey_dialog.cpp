// The hotkey dialog (template 109). OK stores the choice and registers it, and stays open when a key cannot
// be registered or two actions share one; Cancel leaves the stored choice as it was. Either way the stored keys
// are registered again once it has closed.
#include "settings/hotkey_dialog.h"
#include <commctrl.h>
#include "helpers/window_helpers.h"
#include "records/app_globals.h"
#include "resources/resource.h"
#include "settings/hotkeys.h"

namespace {

constexpr int KeyControls[HotKeyActionCount] = {IDC_HOTKEY_START_STOP, IDC_HOTKEY_LAP, IDC_HOTKEY_RESET};

bool BoxTicked(HWND dialog) { return IsDlgButtonChecked(dialog, IDC_HOTKEYS_ON) == BST_CHECKED; }

// The key controls take input only while the hotkeys are on.
void EnableKeyControls(HWND dialog) {
  const BOOL on = BoxTicked(dialog) ? TRUE : FALSE;
  for (int id : KeyControls) EnableWindow(GetDlgItem(dialog, id), on);
}

HotKeyChoice ChoiceInDialog(HWND dialog) {
  HotKeyChoice choice = {BoxTicked(dialog) ? 1 : 0, {}};
  for (int i = 0; i < HotKeyActionCount; ++i) {
    choice.Keys[i] = LOWORD(SendDlgItemMessageW(dialog, KeyControls[i], HKM_GETHOTKEY, 0, 0));
  }
  return choice;
}

void OnInitHotKeyDialog(HWND dialog, HotKeyChoice* before) {
  KeepDialogState(dialog, before);
  *before = StoredHotKeys();
  UnregisterHotKeys(MainWindow);
  CheckDlgButton(dialog, IDC_HOTKEYS_ON, before->Enable == 1 ? BST_CHECKED : BST_UNCHECKED);
  for (int i = 0; i < HotKeyActionCount; ++i) {
    // A stored value that names no key shows as none.
    const int32_t value = before->Keys[i];
    const WPARAM shown = IsUsableHotKey(value) ? static_cast<WPARAM>(value) : 0;
    // A key without Ctrl or Alt would be taken from every program's typing: such a key gets Ctrl+Alt.
    SendDlgItemMessageW(dialog, KeyControls[i], HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                        MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendDlgItemMessageW(dialog, KeyControls[i], HKM_SETHOTKEY, shown, 0);
  }
  EnableKeyControls(dialog);
  CenterWindowOnScreen(dialog);
}

void OnHotKeyOk(HWND dialog) {
  const HotKeyChoice choice = ChoiceInDialog(dialog);
  if (HasDuplicateHotKeys(choice)) {
    ShowDuplicateHotKeys(dialog);
    return;
  }
  StoreHotKeys(choice);
  if (!RegisterHotKeys(MainWindow, dialog)) {
    // The choice before the dialog stays stored until an OK succeeds; the dialog keeps the keys free meanwhile.
    StoreHotKeys(DialogState<HotKeyChoice>(dialog));
    UnregisterHotKeys(MainWindow);
    return;
  }
  EndDialog(dialog, IDOK);
}

void OnHotKeyCancel(HWND dialog) {
  StoreHotKeys(DialogState<HotKeyChoice>(dialog));
  EndDialog(dialog, IDCANCEL);
}

// lParam of WM_INITDIALOG: the HotKeyChoice that the dialog keeps as it found it, for Cancel.
INT_PTR CALLBACK HotKeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitHotKeyDialog(dialog, reinterpret_cast<HotKeyChoice*>(lParam));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_HOTKEYS_ON: EnableKeyControls(dialog); return TRUE;
        case IDOK: OnHotKeyOk(dialog); return TRUE;
        case IDCANCEL: OnHotKeyCancel(dialog); return TRUE;
        default: return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

bool EditHotKeys(HWND owner) {
  HotKeyChoice before = {};
  const bool confirmed =
      RunDialogWithSnapshot(AppInstance, IDD_HOTKEYS, owner, HotKeyDialogProc, &before) == IDOK;
  if (!confirmed) RegisterHotKeys(MainWindow, owner);
  return confirmed;
}
