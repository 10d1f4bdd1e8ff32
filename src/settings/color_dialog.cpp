// The clock colours dialog (template 103): each button picks one colour in the system colour chooser and shows
// it at once on the main window; Cancel puts back the colours the dialog opened with.
#include "settings/color_dialog.h"
#include <commdlg.h>
#include "helpers/window_helpers.h"
#include "records/app_globals.h"
#include "resources/resource.h"
#include "settings/app_settings.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);

constexpr std::array<COLORREF, 16> AllWhite() {
  std::array<COLORREF, 16> colours{};
  for (COLORREF& colour : colours) colour = White;
  return colours;
}

}  // namespace

std::array<COLORREF, 16> CustomColors = AllWhite();

namespace {

// What one opening of dialog 103 keeps: the colours it opened with, and whether a colour has been picked since.
struct ColorDialogState {
  ClockColors Opened;
  bool Changed;
};

struct ColorButton {
  int Id;
  COLORREF AppSettingsRecord::*Field;
};
constexpr ColorButton ColorButtons[] = {
    {IDC_BACKGROUND_COLOR, &AppSettingsRecord::BackGroundColor},
    {IDC_FACE_COLOR, &AppSettingsRecord::ClockFaceColor},
    {IDC_HAND_COLOR, &AppSettingsRecord::SecondHandColor},
};

void OnInitColorDialog(HWND dialog, ColorDialogState* state) {
  KeepDialogState(dialog, state);
  *state = ColorDialogState{CurrentClockColors(), false};
  CenterWindowOnScreen(dialog);
}

// Centres the chooser when it opens and leaves every message to the chooser's own processing.
UINT_PTR CALLBACK ColorChooserHook(HWND chooser, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) CenterWindowOnScreen(chooser);
  return 0;
}

// Runs the system colour chooser owned by `owner`, starting from `colour`; true when the user picked a colour,
// which is then in `colour`.
bool PickColor(HWND owner, COLORREF& colour) {
  TellDialogOpening();
  CustomColors[0] = colour;
  CHOOSECOLORW request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.hInstance = reinterpret_cast<HWND>(AppInstance);
  request.rgbResult = colour;
  request.lpCustColors = CustomColors.data();
  request.Flags = CC_RGBINIT | CC_ENABLEHOOK | CC_ANYCOLOR;
  request.lpfnHook = ColorChooserHook;
  if (!ChooseColorW(&request)) return false;
  colour = request.rgbResult;
  return true;
}

void OnColorButton(HWND dialog, const ColorButton& button) {
  if (!PickColor(dialog, AppSettings.*button.Field)) return;
  DialogState<ColorDialogState>(dialog).Changed = true;
  RequestMainWindowRepaint();
}

void OnColorCancel(HWND dialog) {
  const ColorDialogState& state = DialogState<ColorDialogState>(dialog);
  EndDialog(dialog, IDCANCEL);
  if (state.Changed) {
    PutBackClockColors(state.Opened);
    RequestMainWindowRepaint();
  }
}

INT_PTR OnColorCommand(HWND dialog, int id) {
  for (const ColorButton& button : ColorButtons) {
    if (button.Id == id) {
      OnColorButton(dialog, button);
      return TRUE;
    }
  }
  switch (id) {
    case IDOK:
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      OnColorCancel(dialog);
      return TRUE;
    default:
      return FALSE;
  }
}

// lParam of WM_INITDIALOG: the ColorDialogState of this opening.
INT_PTR CALLBACK ColorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitColorDialog(dialog, reinterpret_cast<ColorDialogState*>(lParam));
      return TRUE;
    case WM_COMMAND:
      return OnColorCommand(dialog, LOWORD(wParam));
    default:
      return FALSE;
  }
}

}  // namespace

ClockColors CurrentClockColors() {
  const AppSettingsRecord& s = AppSettings;
  return ClockColors{s.BackGroundColor, s.ClockFaceColor, s.SecondHandColor};
}

void PutBackClockColors(const ClockColors& colors) {
  AppSettingsRecord& s = AppSettings;
  s.BackGroundColor = colors.BackGroundColor;
  s.ClockFaceColor = colors.ClockFaceColor;
  s.SecondHandColor = colors.SecondHandColor;
}

bool EditClockColors(HWND owner) {
  ColorDialogState state = {};
  return RunDialogWithSnapshot(AppInstance, IDD_COLORS, owner, ColorDialogProc, &state) == IDOK;
}

