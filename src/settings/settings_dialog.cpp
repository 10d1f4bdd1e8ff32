// The settings dialog (template 108): every option takes effect on the main window as soon as it changes;
// Cancel puts back everything the dialog edits, the colours of dialog 103 and the font included.
#include "settings/settings_dialog.h"
#include <commdlg.h>
#include <iterator>
#include "helpers/dpi.h"
#include "helpers/message_box.h"
#include "helpers/wide_text.h"
#include "helpers/window_helpers.h"
#include "records/app_globals.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "settings/color_dialog.h"

namespace {

// What a check box does besides setting its field.
enum class BoxEffect { None, Repaint, TopMost };

struct OptionBox {
  int Id;
  int32_t AppSettingsRecord::*Field;
  BoxEffect Effect;
};
// The left-click option changes no pixel, so it repaints nothing.
constexpr OptionBox OptionBoxes[] = {
    {IDC_LBCLICK_START_STOP, &AppSettingsRecord::LBClickStartStopEnable, BoxEffect::None},
    {IDC_THICK_FRAME, &AppSettingsRecord::FrameGraduation, BoxEffect::Repaint},
    {IDC_THICK_FIVE_SECOND_MARKS, &AppSettingsRecord::FiveSecIntervalMeasure, BoxEffect::Repaint},
    {IDC_SHOW_TOTAL_TIME, &AppSettingsRecord::StopWatchTotalTimeEnable, BoxEffect::Repaint},
    {IDC_WINDOW_TOPMOST, &AppSettingsRecord::WindowTopMost, BoxEffect::TopMost},
    {IDC_FIT_FONT_TO_WINDOW, &AppSettingsRecord::FontSizeDispFit, BoxEffect::Repaint},
};
static_assert(std::size(OptionBoxes) == SettingsBoxCount, "the snapshot keeps one value a box");

// Items in index order: the item index is the stored value.
constexpr const wchar_t* RotationItems[] = {L"1周、60秒", L"1周、30秒", L"1周、15秒"};
constexpr const wchar_t* SecondDivisionItems[] = {L"時分割通常", L"24フレーム"};

void TakeSnapshot(SettingsSnapshot& snapshot) {
  const AppSettingsRecord& s = AppSettings;
  for (size_t i = 0; i < SettingsBoxCount; ++i) snapshot.Boxes[i] = s.*OptionBoxes[i].Field;
  snapshot.Font = s.Font_Setting;
  snapshot.FontColor = s.FontColor;
  snapshot.Colors = CurrentClockColors();
  snapshot.RotDivIndex = s.RotDivIndex;
  snapshot.OneSecDivIndex = s.OneSecDivIndex;
}

// The main window lays itself out again for its present client size, as after a resize. The size message says
// the state the window is in, which the window records with its size.
void RefitMainWindow() {
  const HWND window = MainWindow;
  RECT client = {};
  if (!window || !GetClientRect(window, &client)) return;
  const WPARAM sizeType = IsZoomed(window) ? SIZE_MAXIMIZED : IsIconic(window) ? SIZE_MINIMIZED : SIZE_RESTORED;
  SendMessageW(window, WM_SIZE, sizeType, MAKELPARAM(client.right, client.bottom));
}

void FillList(HWND dialog, int id, const wchar_t* const* items, size_t count, int32_t selected) {
  for (size_t i = 0; i < count; ++i) {
    SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
  }
  // A stored index that no item has (only an edited file holds one) shows no selection.
  const bool valid = selected >= 0 && static_cast<size_t>(selected) < count;
  SendDlgItemMessageW(dialog, id, CB_SETCURSEL, valid ? static_cast<WPARAM>(selected) : static_cast<WPARAM>(-1), 0);
}

void OnInitSettingsDialog(HWND dialog, SettingsSnapshot* snapshot) {
  KeepDialogState(dialog, snapshot);
  TakeSnapshot(*snapshot);
  for (const OptionBox& box : OptionBoxes) {
    SendDlgItemMessageW(dialog, box.Id, BM_SETCHECK, static_cast<WPARAM>(AppSettings.*box.Field), 0);
  }
  FillList(dialog, IDC_ROTATION_LIST, RotationItems, std::size(RotationItems), AppSettings.RotDivIndex);
  FillList(dialog, IDC_SECOND_DIVISION_LIST, SecondDivisionItems, std::size(SecondDivisionItems),
           AppSettings.OneSecDivIndex);
  CenterWindowOnScreen(dialog);
}

void OnOptionBox(HWND dialog, const OptionBox& box) {
  AppSettings.*box.Field = IsDlgButtonChecked(dialog, box.Id) == BST_CHECKED ? 1 : 0;
  switch (box.Effect) {
    case BoxEffect::None: break;
    case BoxEffect::Repaint: RequestMainWindowRepaint(); break;
    case BoxEffect::TopMost: ApplyTopMost(MainWindow, AppSettings.WindowTopMost); break;
  }
}

// The list's selected item index, or -1 when nothing is selected.
int32_t SelectedItem(HWND dialog, int id) {
  const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int32_t>(index);
}

void OnRotationChange(HWND dialog) {
  const int32_t index = SelectedItem(dialog, IDC_ROTATION_LIST);
  if (index < 0) return;
  AppSettings.RotDivIndex = index;
  AppSettings.RotDivisor = RotDivisorFor(index);
  RequestMainWindowRepaint();
}

void OnSecondDivisionChange(HWND dialog) {
  const int32_t index = SelectedItem(dialog, IDC_SECOND_DIVISION_LIST);
  if (index < 0) return;
  AppSettings.OneSecDivIndex = index;
  RequestMainWindowRepaint();
}

// Arms the redraw hold when the font chooser opens.
UINT_PTR CALLBACK FontChooserHook(HWND, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return 0;
  TellDialogOpening();
  return TRUE;
}

// The chooser edits a copy of Font_Setting in pixels of the session's DPI, the one it converts points with; only
// a choice made with OK is taken back, in the file's units.
void OnFontButton(HWND dialog) {
  AppSettingsRecord& s = AppSettings;
  const UINT dpi = SystemDpi();
  LOGFONTW font = WideFont(FontInPixels(s.Font_Setting, dpi));
  CHOOSEFONTW request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = dialog;
  request.lpLogFont = &font;
  request.Flags = CF_SCREENFONTS | CF_ENABLEHOOK | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_NOVERTFONTS;
  request.rgbColors = s.FontColor;
  request.lpfnHook = FontChooserHook;
  if (ChooseFontW(&request)) {
    // The settings file keeps the face name in Shift-JIS: a face it cannot name is refused.
    LOGFONTA chosen = s.Font_Setting;
    if (StoreFont(font, chosen)) {
      s.Font_Setting = FontInFileUnits(chosen, dpi);
      s.FontColor = request.rgbColors;
    } else {
      ShowMessageBox(dialog, L"このフォントは名前を設定ファイルに保存できないため、選べません。");
    }
  }
  RefitMainWindow();
  RequestMainWindowRepaint();
}

void OnColorsButton(HWND dialog) {
  TellDialogOpening();
  EditClockColors(dialog);
}

void OnSettingsCancel(HWND dialog) {
  const SettingsSnapshot& snapshot = DialogState<SettingsSnapshot>(dialog);
  AppSettingsRecord& s = AppSettings;
  for (size_t i = 0; i < SettingsBoxCount; ++i) s.*OptionBoxes[i].Field = snapshot.Boxes[i];
  ApplyTopMost(MainWindow, s.WindowTopMost);
  s.Font_Setting = snapshot.Font;
  s.FontColor = snapshot.FontColor;
  RefitMainWindow();
  PutBackClockColors(snapshot.Colors);
  s.RotDivIndex = snapshot.RotDivIndex;
  s.RotDivisor = RotDivisorFor(s.RotDivIndex);
  s.OneSecDivIndex = snapshot.OneSecDivIndex;
  RequestMainWindowRepaint();
  EndDialog(dialog, IDCANCEL);
}

const OptionBox* FindOptionBox(int id) {
  for (const OptionBox& box : OptionBoxes) {
    if (box.Id == id) return &box;
  }
  return nullptr;
}

INT_PTR OnSettingsCommand(HWND dialog, int id, int notification) {
  if (const OptionBox* box = FindOptionBox(id)) {
    OnOptionBox(dialog, *box);
    return TRUE;
  }
  switch (id) {
    case IDC_ROTATION_LIST:
      if (notification == CBN_SELCHANGE) OnRotationChange(dialog);
      return TRUE;
    case IDC_SECOND_DIVISION_LIST:
      if (notification == CBN_SELCHANGE) OnSecondDivisionChange(dialog);
      return TRUE;
    case IDC_COLORS_BUTTON: OnColorsButton(dialog); return TRUE;
    case IDC_FONT_BUTTON: OnFontButton(dialog); return TRUE;
    case IDOK: EndDialog(dialog, IDOK); return TRUE;  // every change is already in effect
    case IDCANCEL: OnSettingsCancel(dialog); return TRUE;
    default: return FALSE;
  }
}

}  // namespace

bool EditSettings(HWND owner) {
  SettingsSnapshot snapshot = {};
  return RunDialogWithSnapshot(AppInstance, IDD_SETTINGS, owner, SettingsDialogProc, &snapshot) == IDOK;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitSettingsDialog(dialog, reinterpret_cast<SettingsSnapshot*>(lParam));
      return TRUE;
    case WM_COMMAND:
      return OnSettingsCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default:
      return FALSE;
  }
}

void ApplyTopMost(HWND window, int32_t on) {
  SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
