// The clock colours dialog (template 103): each button picks one colour in the system colour chooser and shows
// it at once on the main window; Cancel puts back the colours the dialog opened with.
#include "settings/color_dialog.h"
#include <commdlg.h>
#include "helpers/window_helpers.h"
#include "records/app_globals.h"
#include "records/stopwatch_clock_record.h"
#include "resources/resource.h"
#include "settings/app_settings.h"

std::array<COLORREF, 16> CustomColors;

namespace {

constexpr COLORREF White = RGB(255, 255, 255);

bool CustomColorsReady = false;
// Kept between calls; its rgbResult carries the picked colour back.
CHOOSECOLORA ColorRequest;
// The colours when dialog 103 opened, and whether a colour has been picked since.
ClockColors ColorSnapshot;
int ColorsChanged = 0;

struct ColorButton {
  int Id;
  COLORREF AppSettingsRecord::*Field;
};
constexpr ColorButton ColorButtons[] = {
    {IDC_BACKGROUND_COLOR, &AppSettingsRecord::BackGroundColor},
    {IDC_FACE_COLOR, &AppSettingsRecord::ClockFaceColor},
    {IDC_HAND_COLOR, &AppSettingsRecord::SecondHandColor},
};

void OnColorButton(HWND dialog, const ColorButton& button) {
  COLORREF& field = AppSettings.*button.Field;
  if (!PickColor(field, dialog)) return;
  ColorsChanged = 1;
  field = ColorRequest.rgbResult;
  RequestMainWindowRepaint();
}

void OnColorCancel(HWND dialog) {
  EndDialog(dialog, IDCANCEL);
  if (ColorsChanged) {
    PutBackClockColors(ColorSnapshot);
    RequestMainWindowRepaint();
  }
  ColorsChanged = 0;
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
      ColorsChanged = 0;
      return TRUE;
    case IDCANCEL:
      OnColorCancel(dialog);
      return TRUE;
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

void ShowColorDialog(HWND owner) {
  if (!CustomColorsReady) {
    CustomColors.fill(White);
    CustomColorsReady = true;
  }
  DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_COLORS), owner, ColorDialogProc, 0);
}

INT_PTR CALLBACK ColorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      ColorSnapshot = CurrentClockColors();
      CenterWindowOnScreen(dialog);
      return TRUE;
    case WM_COMMAND:
      return OnColorCommand(dialog, LOWORD(wParam));
    default:
      return FALSE;
  }
}

BOOL PickColor(COLORREF start, HWND owner) {
  ArmDialogRedrawHold();
  CustomColors[0] = start;
  ColorRequest = CHOOSECOLORA{};
  ColorRequest.lStructSize = sizeof ColorRequest;
  ColorRequest.hwndOwner = owner;
  ColorRequest.hInstance = reinterpret_cast<HWND>(AppInstance);
  ColorRequest.rgbResult = start;
  ColorRequest.lpCustColors = CustomColors.data();
  ColorRequest.Flags = CC_RGBINIT | CC_ENABLEHOOK | CC_ANYCOLOR;
  ColorRequest.lCustData = 0;
  ColorRequest.lpfnHook = ColorChooserHook;
  return ChooseColorA(&ColorRequest);
}

UINT_PTR CALLBACK ColorChooserHook(HWND chooser, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) CenterWindowOnScreen(chooser);
  return 0;
}
