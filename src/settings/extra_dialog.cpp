// The other settings dialog (template 110). The opacity list offers 100 % to 20 % in steps of ten, and one more
// item for a value between them that an edited file holds, so that the dialog never changes what it was not asked
// to.
#include "settings/extra_dialog.h"
#include <string>
#include "helpers/window_helpers.h"
#include "records/app_globals.h"
#include "resources/resource.h"
#include "settings/app_settings.h"

namespace {

struct ExtraBox {
  int Id;
  int32_t AppSettingsRecord::*Field;
};
constexpr ExtraBox ExtraBoxes[] = {
    {IDC_TIMER_OVERTIME, &AppSettingsRecord::TimerOvertime},
    {IDC_CAPTION_TIME, &AppSettingsRecord::CaptionTimeWhenMinimized},
    {IDC_RESUME_AFTER_EXIT, &AppSettingsRecord::ResumeAfterExit},
};

void AddOpacityItem(HWND list, int32_t percent) {
  const std::wstring text = std::to_wstring(percent) + L" %";
  const LRESULT index = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(index), percent);
  if (percent == OpacityPercentFor(AppSettings.WindowOpacity)) {
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

void FillOpacityList(HWND dialog) {
  const HWND list = GetDlgItem(dialog, IDC_OPACITY_LIST);
  for (int32_t percent = 100; percent >= 20; percent -= 10) AddOpacityItem(list, percent);
  const int32_t shown = OpacityPercentFor(AppSettings.WindowOpacity);
  if (shown % 10 != 0) AddOpacityItem(list, shown);
}

void OnInitExtraDialog(HWND dialog, ExtraSnapshot* snapshot) {
  KeepDialogState(dialog, snapshot);
  const AppSettingsRecord& s = AppSettings;
  *snapshot = {s.TimerOvertime, s.CaptionTimeWhenMinimized, s.WindowOpacity, s.ResumeAfterExit};
  for (const ExtraBox& box : ExtraBoxes) {
    CheckDlgButton(dialog, box.Id, s.*box.Field == 1 ? BST_CHECKED : BST_UNCHECKED);
  }
  FillOpacityList(dialog);
  CenterWindowOnScreen(dialog);
}

void OnOpacityChange(HWND dialog) {
  const LRESULT index = SendDlgItemMessageW(dialog, IDC_OPACITY_LIST, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return;
  const LRESULT percent = SendDlgItemMessageW(dialog, IDC_OPACITY_LIST, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  AppSettings.WindowOpacity = static_cast<int32_t>(percent);
  ApplyWindowOpacity(MainWindow, AppSettings.WindowOpacity);
}

void OnExtraCancel(HWND dialog) {
  const ExtraSnapshot& snapshot = DialogState<ExtraSnapshot>(dialog);
  AppSettingsRecord& s = AppSettings;
  s.TimerOvertime = snapshot.TimerOvertime;
  s.CaptionTimeWhenMinimized = snapshot.CaptionTimeWhenMinimized;
  s.WindowOpacity = snapshot.WindowOpacity;
  s.ResumeAfterExit = snapshot.ResumeAfterExit;
  ApplyWindowOpacity(MainWindow, s.WindowOpacity);
  EndDialog(dialog, IDCANCEL);
}

INT_PTR OnExtraCommand(HWND dialog, int id, int notification) {
  for (const ExtraBox& box : ExtraBoxes) {
    if (box.Id == id) {
      AppSettings.*box.Field = IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
      return TRUE;
    }
  }
  switch (id) {
    case IDC_OPACITY_LIST:
      if (notification == CBN_SELCHANGE) OnOpacityChange(dialog);
      return TRUE;
    case IDOK: EndDialog(dialog, IDOK); return TRUE;  // every change is already in effect
    case IDCANCEL: OnExtraCancel(dialog); return TRUE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK ExtraDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitExtraDialog(dialog, reinterpret_cast<ExtraSnapshot*>(lParam));
      return TRUE;
    case WM_COMMAND:
      return OnExtraCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default:
      return FALSE;
  }
}

}  // namespace

bool EditExtraSettings(HWND owner) {
  ExtraSnapshot snapshot = {};
  return RunDialogWithSnapshot(AppInstance, IDD_EXTRA_SETTINGS, owner, ExtraDialogProc, &snapshot) == IDOK;
}

void ApplyWindowOpacity(HWND window, int32_t windowOpacity) {
  const int32_t percent = OpacityPercentFor(windowOpacity);
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
  if (percent == 100) {
    if (style & WS_EX_LAYERED) SetWindowLongPtrW(window, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    return;
  }
  if (!(style & WS_EX_LAYERED)) SetWindowLongPtrW(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
  SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(percent * 255 / 100), LWA_ALPHA);
}
