// Every dialog template of the program as the system lays it out: each visible label fits its control in the
// font the dialog is drawn with, so no text is cut off or written over itself.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "records/app_globals.h"

namespace {

// The dialog templates linked into this executable, which carries the program's resources.
std::vector<int> DialogTemplateIds() {
  std::vector<int> ids;
  EnumResourceNamesA(
      GetModuleHandleA(nullptr), RT_DIALOG,
      [](HMODULE, LPCSTR, LPSTR name, LONG_PTR list) -> BOOL {
        if (IS_INTRESOURCE(name)) {
          reinterpret_cast<std::vector<int>*>(list)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
        }
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Where a control draws its label and how: the area left for the text and the DrawText format.
struct LabelLayout {
  RECT Area;
  UINT Format;
};

bool IsClass(HWND control, const char* name) {
  char className[32] = "";
  return GetClassNameA(control, className, sizeof className) > 0 && lstrcmpiA(className, name) == 0;
}

// The layout of a static text or a push, check or radio button; false for every other control.
bool LayoutOfLabel(HWND control, HDC dc, LabelLayout& label) {
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  GetClientRect(control, &label.Area);
  if (IsClass(control, "Static")) {
    const LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE) {
      return false;
    }
    const bool wraps = type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE;
    label.Format = (wraps ? DT_WORDBREAK : DT_SINGLELINE) | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    return true;
  }
  if (!IsClass(control, "Button")) return false;
  label.Format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      InflateRect(&label.Area, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
      return true;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
      // The glyph, then a gap of half a digit's width before the text.
      SIZE digit = {};
      GetTextExtentPoint32A(dc, "0", 1, &digit);
      label.Area.left += GetSystemMetrics(SM_CXMENUCHECK) + digit.cx / 2;
      return true;
    }
    default: return false;
  }
}

class DialogLabels : public ::testing::TestWithParam<int> {};

TEST_P(DialogLabels, FitTheirControlsInTheDialogsFont) {
  const HWND dialog = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(GetParam()), nullptr, InertDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  const HDC dc = CreateCompatibleDC(nullptr);
  int measured = 0;
  for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
    if (!(GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE)) continue;
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    LabelLayout label;
    char text[256] = "";
    if (LayoutOfLabel(control, dc, label) && GetWindowTextA(control, text, sizeof text) > 0) {
      ++measured;
      const int width = label.Area.right - label.Area.left;
      const int height = label.Area.bottom - label.Area.top;
      RECT needed = {0, 0, width, 0};
      DrawTextA(dc, text, -1, &needed, label.Format | DT_CALCRECT);
      char face[LF_FACESIZE] = "";
      GetTextFaceA(dc, sizeof face, face);
      EXPECT_TRUE(needed.right <= width && needed.bottom <= height)
          << "dialog " << GetParam() << ", control " << GetDlgCtrlID(control) << " \"" << text << "\" in " << face
          << ": needs " << needed.right << " x " << needed.bottom << " px, has " << width << " x " << height;
    }
    SelectObject(dc, previous);
  }
  DeleteDC(dc);
  DestroyWindow(dialog);
  EXPECT_GT(measured, 0) << "every dialog has a label";
}

INSTANTIATE_TEST_SUITE_P(Program, DialogLabels, ::testing::ValuesIn(DialogTemplateIds()),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Dialog" + std::to_string(info.param);
                         });

}  // namespace
