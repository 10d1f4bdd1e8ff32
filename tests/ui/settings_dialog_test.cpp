// The settings dialog, the colour dialog and the two system choosers in this process, with the stand-in as the
// main window: live changes, what Cancel puts back, the refit and repaint, the redraw hold and custom colours.
#include "settings/settings_dialog.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include "records/app_globals.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "settings/color_dialog.h"
#include "support/case_names.h"
#include "support/chooser_driver.h"
#include "support/engine_test.h"
#include "support/files.h"
#include "support/poll.h"
#include "support/test_support.h"
#include "timing/stopwatch_clock.h"

namespace {

using test::ChooseAnotherListItem;
using test::ChooseListItem;
using test::FontChooserColors;
using test::FontChooserSizes;
using test::PollUntil;
using test::PressButton;
using test::TypeChooserColor;
using test::WaitForDialogOwnedBy;
using test::WaitUntilClosed;

// What the stand-in main window was asked to do while a test ran: refits (WM_SIZE) and paints.
struct StandInLog {
  std::atomic<int> Refits{0};
  std::atomic<int> Paints{0};
  WPARAM LastSizeType = 0;
  LPARAM LastSize = 0;
};
StandInLog Log;
WNDPROC StandInProc = nullptr;

LRESULT CALLBACK LoggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    Log.LastSizeType = wParam;
    Log.LastSize = lParam;
    ++Log.Refits;
  } else if (message == WM_PAINT) {
    ++Log.Paints;
  }
  return CallWindowProcA(StandInProc, window, message, wParam, lParam);
}

bool IsTopMost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool IsCentredOnScreen(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  const int dx = (r.left + r.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2;
  const int dy = (r.top + r.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2;
  return dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1;
}

bool RedrawHoldFreshlyArmed() { return StopwatchClock.DialogRedrawHoldLeft == DialogRedrawHoldLength; }
void DisarmRedrawHold() { StopwatchClock.DialogRedrawHoldLeft = 0; }

// Runs `action` on this thread, where it opens a modal dialog, while `user` works that dialog from a second
// thread as a person would; `user` must close what it opened.
void WhileUserActs(const std::function<void()>& action, const std::function<void()>& user) {
  std::thread person(user);
  action();
  person.join();
}

LOGFONTA DefaultFont() {
  LOGFONTA font = {};
  font.lfHeight = 14;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  lstrcpynA(font.lfFaceName, "ＭＳ Ｐゴシック", LF_FACESIZE);
  return font;
}

class SettingsDialog : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    standIn_ = MainWindow;
    AppSettingsRecord& s = AppSettings;
    s.LBClickStartStopEnable = 1;
    s.FrameGraduation = 1;
    s.FiveSecIntervalMeasure = 1;
    s.StopWatchTotalTimeEnable = 0;
    s.WindowTopMost = 0;
    s.FontSizeDispFit = 1;
    s.RotDivIndex = 0;
    s.RotDivisor = 1;
    s.OneSecDivIndex = 0;
    s.Font_Setting = DefaultFont();
    s.FontColor = RGB(0, 0, 0);
    PutBackClockColors(ClockColors{RGB(128, 128, 255), RGB(192, 192, 192), RGB(128, 128, 255)});
    ApplyTopMost(standIn_, 0);
    Log.Refits = 0;
    Log.Paints = 0;
    StandInProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(standIn_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LoggingProc)));
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    SetWindowLongPtrA(standIn_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StandInProc));
    ApplyTopMost(standIn_, 0);
    EngineTest::TearDown();
  }
  // The dialog, created modeless and hidden, so that its controls can be used from this thread. It has no
  // owner: under Wine a window that owns another cannot be made topmost, and the dialog acts on MainWindow
  // whoever owns it.
  void Open() {
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, SettingsDialogProc,
                                 reinterpret_cast<LPARAM>(&snapshot_));
    ASSERT_NE(dialog_, nullptr);
    test::TakeRepaintRequest(standIn_);
  }
  void Click(int id) { SendMessageA(GetDlgItem(dialog_, id), BM_CLICK, 0, 0); }
  void Command(int id, int notification = BN_CLICKED) {
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(GetDlgItem(dialog_, id)));
  }
  void Choose(int listId, int index) { ChooseListItem(dialog_, listId, index); }
  LRESULT Selected(int listId) { return SendDlgItemMessageA(dialog_, listId, CB_GETCURSEL, 0, 0); }
  std::string Item(int listId, int index) {
    wchar_t text[64] = L"";
    SendDlgItemMessageW(dialog_, listId, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return test::Narrow(text);
  }
  // True when the stand-in was repainted or still has a repaint pending; forgets both.
  bool Repainted() {
    const bool painted = Log.Paints.exchange(0) > 0;
    return test::TakeRepaintRequest(standIn_) || painted;
  }
  // A refit is a WM_SIZE of the stand-in's state, restored, with the present client size.
  void ExpectOneRefit() {
    EXPECT_EQ(Log.Refits.exchange(0), 1);
    EXPECT_EQ(Log.LastSizeType, static_cast<WPARAM>(SIZE_RESTORED));
    RECT client;
    GetClientRect(standIn_, &client);
    EXPECT_EQ(Log.LastSize, MAKELPARAM(client.right, client.bottom));
  }
  HWND dialog_ = nullptr;
  HWND standIn_ = nullptr;
  SettingsSnapshot snapshot_ = {};
};

TEST_F(SettingsDialog, OpensCentredWithEachBoxAndListShowingItsSetting) {
  AppSettingsRecord& s = AppSettings;
  s.LBClickStartStopEnable = 0;
  s.StopWatchTotalTimeEnable = 1;
  s.RotDivIndex = 2;
  s.OneSecDivIndex = 1;
  Open();
  EXPECT_TRUE(IsCentredOnScreen(dialog_));
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_LBCLICK_START_STOP), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_THICK_FRAME), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_THICK_FIVE_SECOND_MARKS), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_SHOW_TOTAL_TIME), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_WINDOW_TOPMOST), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_FIT_FONT_TO_WINDOW), BST_CHECKED);
  ASSERT_EQ(SendDlgItemMessageA(dialog_, IDC_ROTATION_LIST, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(Item(IDC_ROTATION_LIST, 0), "1周、60秒");
  EXPECT_EQ(Item(IDC_ROTATION_LIST, 1), "1周、30秒");
  EXPECT_EQ(Item(IDC_ROTATION_LIST, 2), "1周、15秒");
  EXPECT_EQ(Selected(IDC_ROTATION_LIST), 2);
  ASSERT_EQ(SendDlgItemMessageA(dialog_, IDC_SECOND_DIVISION_LIST, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(Item(IDC_SECOND_DIVISION_LIST, 0), "時分割通常");
  EXPECT_EQ(Item(IDC_SECOND_DIVISION_LIST, 1), "24フレーム");
  EXPECT_EQ(Selected(IDC_SECOND_DIVISION_LIST), 1);
  EXPECT_FALSE(Repainted()) << "opening changes nothing";
}

TEST_F(SettingsDialog, AnIndexNoItemHasShowsNoSelectionAndIsKept) {
  for (int32_t stored : {7, -1, -5, 3}) {
    AppSettings.RotDivIndex = stored;
    AppSettings.OneSecDivIndex = stored;
    Open();
    EXPECT_EQ(Selected(IDC_ROTATION_LIST), CB_ERR) << stored;
    EXPECT_EQ(Selected(IDC_SECOND_DIVISION_LIST), CB_ERR) << stored;
    Command(IDOK);
    EXPECT_EQ(AppSettings.RotDivIndex, stored);
    DestroyWindow(dialog_);
    dialog_ = nullptr;
  }
}

struct BoxCase {
  const char* Name;
  int Id;
  int32_t AppSettingsRecord::*Field;
  bool Repaints;
};
class SettingsDialogBox : public SettingsDialog, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(SettingsDialogBox, SetsItsFieldAtOnceAndRepaintsOnlyWhenThePictureShowsIt) {
  const BoxCase& c = GetParam();
  AppSettings.*c.Field = 0;
  Open();
  Click(c.Id);
  EXPECT_EQ(AppSettings.*c.Field, 1);
  EXPECT_EQ(Repainted(), c.Repaints);
  Click(c.Id);
  EXPECT_EQ(AppSettings.*c.Field, 0);
  EXPECT_EQ(Repainted(), c.Repaints);
  EXPECT_EQ(Log.Refits, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsDialogBox,
    ::testing::Values(BoxCase{"LeftClick", IDC_LBCLICK_START_STOP, &AppSettingsRecord::LBClickStartStopEnable, false},
                      BoxCase{"ThickFrame", IDC_THICK_FRAME, &AppSettingsRecord::FrameGraduation, true},
                      BoxCase{"ThickFiveSecondMarks", IDC_THICK_FIVE_SECOND_MARKS,
                              &AppSettingsRecord::FiveSecIntervalMeasure, true},
                      BoxCase{"TotalTime", IDC_SHOW_TOTAL_TIME, &AppSettingsRecord::StopWatchTotalTimeEnable, true},
                      BoxCase{"TopMost", IDC_WINDOW_TOPMOST, &AppSettingsRecord::WindowTopMost, false},
                      BoxCase{"FitFont", IDC_FIT_FONT_TO_WINDOW, &AppSettingsRecord::FontSizeDispFit, true}),
    test::RowName);

TEST_F(SettingsDialog, TheTopMostBoxRaisesTheMainWindowAtOnceAndCancelLowersIt) {
  Open();
  Click(IDC_WINDOW_TOPMOST);
  EXPECT_TRUE(IsTopMost(standIn_));
  Command(IDCANCEL);
  EXPECT_FALSE(IsTopMost(standIn_));
  EXPECT_EQ(AppSettings.WindowTopMost, 0);
}

TEST_F(SettingsDialog, ListsTakeTheChosenItemOnlyWhenTheSelectionChanges) {
  Open();
  SendDlgItemMessageA(dialog_, IDC_ROTATION_LIST, CB_SETCURSEL, 2, 0);
  Command(IDC_ROTATION_LIST, CBN_DROPDOWN);
  EXPECT_EQ(AppSettings.RotDivIndex, 0);
  EXPECT_FALSE(Repainted());
  Command(IDC_ROTATION_LIST, CBN_SELCHANGE);
  EXPECT_EQ(AppSettings.RotDivIndex, 2);
  EXPECT_EQ(AppSettings.RotDivisor, 4) << "one revolution in 15 s";
  EXPECT_TRUE(Repainted());
  Choose(IDC_ROTATION_LIST, 1);
  EXPECT_EQ(AppSettings.RotDivisor, 2);
  Choose(IDC_SECOND_DIVISION_LIST, 1);
  EXPECT_EQ(AppSettings.OneSecDivIndex, 1);
  EXPECT_TRUE(Repainted());
}

TEST_F(SettingsDialog, CancelPutsBackEverythingItEditedRefitsAndRepaints) {
  Open();
  for (int id : {IDC_LBCLICK_START_STOP, IDC_THICK_FRAME, IDC_THICK_FIVE_SECOND_MARKS, IDC_SHOW_TOTAL_TIME,
                 IDC_WINDOW_TOPMOST, IDC_FIT_FONT_TO_WINDOW}) {
    Click(id);
  }
  Choose(IDC_ROTATION_LIST, 2);
  Choose(IDC_SECOND_DIVISION_LIST, 1);
  AppSettingsRecord& s = AppSettings;
  // What the colour dialog and the font chooser would have left behind after OK.
  PutBackClockColors(ClockColors{RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)});
  lstrcpynA(s.Font_Setting.lfFaceName, "Tahoma", LF_FACESIZE);
  s.Font_Setting.lfWeight = FW_BOLD;
  s.FontColor = RGB(255, 0, 0);
  // Not the dialog's to put back.
  s.SecondResolution = 3;
  s.Window_X_Pos = -8;
  Repainted();

  Command(IDCANCEL);
  EXPECT_EQ(s.LBClickStartStopEnable, 1);
  EXPECT_EQ(s.FrameGraduation, 1);
  EXPECT_EQ(s.FiveSecIntervalMeasure, 1);
  EXPECT_EQ(s.StopWatchTotalTimeEnable, 0);
  EXPECT_EQ(s.WindowTopMost, 0);
  EXPECT_FALSE(IsTopMost(standIn_));
  EXPECT_EQ(s.FontSizeDispFit, 1);
  EXPECT_EQ(s.RotDivIndex, 0);
  EXPECT_EQ(s.RotDivisor, 1);
  EXPECT_EQ(s.OneSecDivIndex, 0);
  const LOGFONTA font = DefaultFont();
  EXPECT_EQ(std::memcmp(&s.Font_Setting, &font, sizeof font), 0);
  EXPECT_EQ(s.FontColor, RGB(0, 0, 0));
  EXPECT_EQ(s.BackGroundColor, RGB(128, 128, 255));
  EXPECT_EQ(s.ClockFaceColor, RGB(192, 192, 192));
  EXPECT_EQ(s.SecondHandColor, RGB(128, 128, 255));
  EXPECT_EQ(s.SecondResolution, 3);
  EXPECT_EQ(s.Window_X_Pos, -8);
  ExpectOneRefit();
  EXPECT_TRUE(Repainted());
  EXPECT_FALSE(IsWindowVisible(dialog_)) << "the dialog has ended";
}

TEST_F(SettingsDialog, EveryNestedDialogAndChooserArmsTheRedrawHold) {
  Open();
  bool atColorDialog = false, atColorChooser = false, atFontChooser = false;
  DisarmRedrawHold();
  WhileUserActs([&] { Command(IDC_COLORS_BUTTON); },
                [&] {
                  const HWND colors = WaitForDialogOwnedBy(dialog_);
                  atColorDialog = RedrawHoldFreshlyArmed();
                  DisarmRedrawHold();
                  PressButton(colors, IDC_HAND_COLOR);
                  const HWND chooser = WaitForDialogOwnedBy(colors);
                  atColorChooser = RedrawHoldFreshlyArmed();
                  PressButton(chooser, IDCANCEL);
                  WaitUntilClosed(chooser);
                  PressButton(colors, IDCANCEL);
                });
  DisarmRedrawHold();
  WhileUserActs([&] { Command(IDC_FONT_BUTTON); },
                [&] {
                  const HWND chooser = WaitForDialogOwnedBy(dialog_);
                  atFontChooser = RedrawHoldFreshlyArmed();
                  PressButton(chooser, IDCANCEL);
                });
  EXPECT_TRUE(atColorDialog);
  EXPECT_TRUE(atColorChooser);
  EXPECT_TRUE(atFontChooser);
}

TEST_F(SettingsDialog, CancellingTheFontChooserKeepsFontAndColourButRefitsAndRepaints) {
  AppSettings.FontColor = RGB(10, 20, 30);
  Open();
  const LOGFONTA before = AppSettings.Font_Setting;
  WhileUserActs([&] { Command(IDC_FONT_BUTTON); },
                [&] {
                  const HWND chooser = WaitForDialogOwnedBy(dialog_);
                  // Trying other sizes and colours writes into the font being edited.
                  ChooseAnotherListItem(chooser, FontChooserSizes);
                  ChooseAnotherListItem(chooser, FontChooserColors);
                  PressButton(chooser, IDCANCEL);
                });
  EXPECT_EQ(std::memcmp(&AppSettings.Font_Setting, &before, sizeof before), 0);
  EXPECT_EQ(AppSettings.FontColor, RGB(10, 20, 30));
  ExpectOneRefit();
  EXPECT_TRUE(Repainted());
}

// The colour dialog on its own, as the settings dialog opens it.
class ColorDialog : public SettingsDialog {
 protected:
  // Opens dialog 103 and lets `user` work it; `user` gets the dialog and must close it.
  void Run(const std::function<void(HWND)>& user) {
    WhileUserActs([&] { EditClockColors(standIn_); }, [&] { user(WaitForDialogOwnedBy(standIn_)); });
  }
  // Opens the chooser through `button`, types a colour and cancels.
  static void PickAndCancel(HWND colors, int button) {
    PressButton(colors, button);
    const HWND chooser = WaitForDialogOwnedBy(colors);
    TypeChooserColor(chooser, 9, 9, 9);
    PressButton(chooser, IDCANCEL);
    WaitUntilClosed(chooser);
  }
};

TEST_F(ColorDialog, APickedColourShowsAtOnceAndCancelPutsItBackAndRepaints) {
  bool centred = false, chooserCentred = false, shownAtOnce = false;
  Run([&](HWND colors) {
    centred = IsCentredOnScreen(colors);
    PressButton(colors, IDC_BACKGROUND_COLOR);
    const HWND chooser = WaitForDialogOwnedBy(colors);
    chooserCentred = IsCentredOnScreen(chooser);
    TypeChooserColor(chooser, 200, 30, 40);
    PressButton(chooser, IDOK);
    WaitUntilClosed(chooser);
    shownAtOnce = PollUntil([] { return AppSettings.BackGroundColor == RGB(200, 30, 40) && Log.Paints > 0; });
    Log.Paints = 0;
    PressButton(colors, IDCANCEL);
  });
  EXPECT_TRUE(centred);
  EXPECT_TRUE(chooserCentred);
  EXPECT_TRUE(shownAtOnce) << "stored and repainted while the dialog is open";
  EXPECT_EQ(AppSettings.BackGroundColor, RGB(128, 128, 255));
  EXPECT_TRUE(Repainted());
}

TEST_F(ColorDialog, ACancelledChooserChangesAndRepaintsNothing) {
  Run([](HWND colors) {
    PickAndCancel(colors, IDC_FACE_COLOR);
    PressButton(colors, IDCANCEL);
  });
  EXPECT_EQ(AppSettings.ClockFaceColor, RGB(192, 192, 192));
  EXPECT_FALSE(Repainted());
}

TEST_F(ColorDialog, CustomColoursLastForTheRunWithTheEditedColourInSlotZero) {
  const COLORREF added = RGB(10, 20, 30);
  Run([](HWND colors) {
    PressButton(colors, IDC_BACKGROUND_COLOR);
    const HWND chooser = WaitForDialogOwnedBy(colors);
    TypeChooserColor(chooser, 10, 20, 30);
    // Added twice, so that it also lands in a slot other than the first.
    SendMessageA(chooser, WM_COMMAND, test::ColorChooserAddCustom, 0);
    SendMessageA(chooser, WM_COMMAND, test::ColorChooserAddCustom, 0);
    PressButton(chooser, IDOK);
    WaitUntilClosed(chooser);
    PressButton(colors, IDOK);
  });
  AppSettings.SecondHandColor = RGB(50, 60, 70);
  Run([](HWND colors) {
    PickAndCancel(colors, IDC_HAND_COLOR);
    PressButton(colors, IDCANCEL);
  });
  EXPECT_EQ(CustomColors[0], RGB(50, 60, 70)) << "the colour being edited";
  int kept = 0;
  for (size_t i = 1; i < CustomColors.size(); ++i) {
    if (CustomColors[i] == added) {
      ++kept;
    } else {
      EXPECT_EQ(CustomColors[i], RGB(255, 255, 255)) << "slot " << i;
    }
  }
  EXPECT_EQ(kept, 1) << "the colour added at the first opening is still there";
}

}  // namespace
