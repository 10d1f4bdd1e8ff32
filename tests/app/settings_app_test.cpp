// Tavrilo.exe's settings, colour and version dialogs and the system choosers, used from outside as a user
// would: every change shows at once, Cancel takes it back, OK keeps it for the next start.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <thread>
#include <utility>
#include "app/app_driver.h"
#include "app/dialog_driver.h"
#include "app/program_test.h"
#include "records/command_ids.h"
#include "resources/resource.h"  // the program's control ids, shared with its dialogs
#include "support/chooser_driver.h"
#include "support/files.h"
#include "support/poll.h"

namespace {

using test::ChooseAnotherListItem;
using test::ChooseListItem;
using test::WaitForDialogOwnedBy;
using test::WaitUntilClosed;

constexpr COLORREF DefaultBackground = RGB(128, 128, 255);
constexpr const char* DefaultFace = "ＭＳ Ｐゴシック";

bool IsTopMost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Ticks or unticks a check box as a click would; the dialog has acted on it when this returns. This tests the
// dialog's logic, not input, so it need not come through the input queue.
void ClickBox(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Picks a colour through one of the colour dialog's buttons: the chooser opens, the colour is typed in, OK.
void PickInChooser(HWND colors, int button, int red, int green, int blue) {
  app::PressButton(colors, button);
  const HWND chooser = WaitForDialogOwnedBy(colors);
  ASSERT_NE(chooser, nullptr);
  test::TypeChooserColor(chooser, red, green, blue);
  app::PressButton(chooser, IDOK);
  WaitUntilClosed(chooser);
}

// "Tavrilo Version " and the number the executable's fixed version numbers make: 1.0.0.0 reads 1.000.
std::string ExpectedVersionLine(const std::string& exe) {
  const HMODULE module = LoadLibraryExW(test::Wide(exe).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
  const auto* block = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  // VS_VERSIONINFO: three WORDs and the key L"VS_VERSION_INFO", then the fixed part on a 4-byte boundary.
  VS_FIXEDFILEINFO fixed = {};
  if (block) CopyMemory(&fixed, block + 40, sizeof fixed);
  FreeLibrary(module);
  if (fixed.dwSignature != VS_FFI_SIGNATURE) return "(no fixed version)";
  char line[64];
  wsprintfA(line, "Tavrilo Version %u.%u%u%u", HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
            HIWORD(fixed.dwFileVersionLS), LOWORD(fixed.dwFileVersionLS));
  return line;
}

BOOL CALLBACK TakeLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
  *reinterpret_cast<WORD*>(param) = language;
  return FALSE;
}

// Replaces the version resource of an executable file by four bytes that are no version block. (Wine's
// resource updater does not delete resources.)
bool SpoilVersionResource(const std::string& exe) {
  WORD language = 0;
  const HMODULE module = LoadLibraryExW(test::Wide(exe).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  EnumResourceLanguagesA(module, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO), TakeLanguage,
                         reinterpret_cast<LONG_PTR>(&language));
  FreeLibrary(module);
  const HANDLE update = BeginUpdateResourceW(test::Wide(exe).c_str(), FALSE);
  char junk[] = "junk";
  return update && UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO), language, junk, 4) &&
         EndUpdateResourceA(update, FALSE);
}

class SettingsProgram : public app::ProgramTest {
 protected:
  std::string Exe() const { return app_.Folder + "\\Tavrilo.exe"; }
  HWND OpenSettings() { return app::OpenDialogFromMenu(app_, 'e', "各種設定"); }
  // The settings dialog and the font chooser it opens; the chooser is null when either did not appear.
  struct FontChooserOpened {
    HWND Settings;
    HWND Chooser;
  };
  FontChooserOpened OpenFontChooser() {
    const HWND settings = OpenSettings();
    if (!settings) return {};
    app::PressButton(settings, IDC_FONT_BUTTON);
    return {settings, WaitForDialogOwnedBy(settings)};
  }
  HWND OpenVersion() { return app::OpenDialogFromMenu(app_, 'a', "ﾊﾞｰｼﾞｮﾝ情報"); }
  HWND ReopenVersion() { return app::ReopenDialog(app_, IDM_VERSION, "ﾊﾞｰｼﾞｮﾝ情報"); }
  bool EndDialogWith(HWND dialog, int button) { return app::EndDialogWith(app_, dialog, button); }
  int Stored(const char* section, const char* key) const {
    const std::string value = app::StoredSetting(app_, section, key);
    return value.empty() ? -999 : std::atoi(value.c_str());
  }
  void ExpectStopwatchSettings(std::initializer_list<std::pair<const char*, int>> expected) const {
    for (const auto& [key, value] : expected) EXPECT_EQ(Stored("StopWatch_Setting", key), value) << key;
  }
  std::string StoredText(const char* section, const char* key) const { return app::StoredSetting(app_, section, key); }
  // The window's opacity as its alpha: 255 while it is not layered.
  int Alpha() const {
    BYTE value = 0;
    DWORD flags = 0;
    return GetLayeredWindowAttributes(app_.Window, nullptr, &value, &flags) && (flags & LWA_ALPHA) ? value : 255;
  }
  // Waits until the background (a corner of the client area) shows `color`.
  bool BackgroundBecomes(COLORREF color) {
    return test::PollUntil([&] { return app::Capture(app_).At(2, 2) == color; });
  }
  bool PictureBecomes(const app::Picture& expected) {
    return test::PollUntil([&] { return app::Capture(app_) == expected; });
  }
};

// Keys are typed into the hotkey dialog as a user would, also those the program has registered; two actions on one
// key are refused, and so is a key another program holds, after which Cancel brings the keys from before back; the
// key chosen with OK works at once from another program and is stored.
TEST_F(SettingsProgram, TheHotKeyDialogTakesTypedKeysRefusesAKeyForTwoActionsAndItsChoiceWorksAtOnce) {
  Start("[HotKey_Setting]\r\nHotKeyEnable=1\r\n");
  HWND dialog = app::OpenDialogFromMenu(app_, 'h', "ホットキーの設定");
  ASSERT_NE(dialog, nullptr);
  HWND startStop = GetDlgItem(dialog, IDC_HOTKEY_START_STOP);
  ClickBox(dialog, IDC_HOTKEYS_ON);
  EXPECT_FALSE(IsWindowEnabled(startStop)) << "no key is chosen while the hotkeys are off";
  ClickBox(dialog, IDC_HOTKEYS_ON);
  // Wine takes the X focus's return to the root window after a closed dialog late, and may then make the desktop
  // the foreground window just after the new dialog was brought to the front: keys typed then are lost, so a key
  // that did not arrive is typed again, at most three times.
  const auto typeStartStop = [&](WORD key) {
    const auto arrived = [&] { return SendMessageA(startStop, HKM_GETHOTKEY, 0, 0) == (0x600 | key); };
    for (int attempt = 0; attempt < 3 && !arrived(); ++attempt) {
      ASSERT_TRUE(app::BringToFront(dialog));
      app::PressKeys({VK_MENU, 'S'});  // the label's mnemonic
      app::PressKeys({VK_CONTROL, VK_MENU, key});
      test::PollUntil(arrived, 3000);
    }
    EXPECT_TRUE(arrived());
  };
  typeStartStop('L');  // the lap's key
  app::PressButton(dialog, IDOK);
  EXPECT_EQ(app::AnswerMessageBox(app_, IDOK).Text, "同じホットキーが複数の操作に設定されています。");
  EXPECT_TRUE(test::PollUntil([&] { return IsWindowEnabled(dialog) != FALSE; })) << "the dialog stays open";
  typeStartStop('K');
  app::OtherProgram front;
  ASSERT_TRUE(front.HoldHotKey(MOD_CONTROL | MOD_ALT, 'K'));
  app::PressButton(dialog, IDOK);
  EXPECT_EQ(app::AnswerMessageBox(app_, IDOK).Text,
            "次のホットキーは他のプログラムが使用しているため登録できませんでした。\nControl + Alt + K");
  EXPECT_TRUE(test::PollUntil([&] { return IsWindowEnabled(dialog) != FALSE; })) << "the dialog stays open";
  ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
  ASSERT_TRUE(front.PressCtrlAlt('S'));
  EXPECT_TRUE(app::KeepsChanging(app_)) << "after Cancel, Ctrl+Alt+S starts again";
  ASSERT_TRUE(front.PressCtrlAlt('S'));
  ASSERT_TRUE(app::Settles(app_));

  dialog = app::ReopenDialog(app_, IDM_HOTKEY_SETTING, "ホットキーの設定");
  ASSERT_NE(dialog, nullptr);
  startStop = GetDlgItem(dialog, IDC_HOTKEY_START_STOP);
  typeStartStop('J');
  ASSERT_TRUE(EndDialogWith(dialog, IDOK));
  ASSERT_TRUE(front.PressCtrlAlt('J'));
  EXPECT_TRUE(app::KeepsChanging(app_)) << "Ctrl+Alt+J starts";
  ASSERT_EQ(app::CloseApp(app_), 0u);
  EXPECT_EQ(Stored("HotKey_Setting", "HotKeyStartStop"), 0x600 | 'J');
  EXPECT_EQ(Stored("HotKey_Setting", "HotKeyLap"), 1612);
}

TEST_F(SettingsProgram, EachOptionShowsAtOnceAndTheNextStartShowsTheSamePicture) {
  Start();
  const app::Picture atStart = app::Capture(app_);
  const HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  app::Picture last = atStart;
  for (int id : {IDC_THICK_FRAME, IDC_THICK_FIVE_SECOND_MARKS, IDC_SHOW_TOTAL_TIME}) {
    ClickBox(dialog, id);
    EXPECT_TRUE(app::WaitForChange(app_, last)) << "box " << id;
    ASSERT_TRUE(app::Settles(app_));
    last = app::Capture(app_);
  }
  ChooseListItem(dialog, IDC_ROTATION_LIST, 2);
  EXPECT_TRUE(app::WaitForChange(app_, last)) << "a dial of 15 seconds per revolution";
  ClickBox(dialog, IDC_LBCLICK_START_STOP);
  ClickBox(dialog, IDC_FIT_FONT_TO_WINDOW);
  ChooseListItem(dialog, IDC_SECOND_DIVISION_LIST, 1);
  ASSERT_TRUE(EndDialogWith(dialog, IDOK));
  ASSERT_TRUE(app::Settles(app_));
  const app::Picture changed = app::Capture(app_);

  const RECT client = app::ClientRect(app_);
  app::Click(app_, client.right / 2, client.bottom / 2);
  EXPECT_TRUE(app::Settles(app_, 400));
  EXPECT_EQ(app::Capture(app_), changed) << "a left click no longer starts";

  ASSERT_EQ(app::CloseApp(app_), 0u);
  ExpectStopwatchSettings({{"LBClickStartStopEnable", 0}, {"FrameGraduation", 0}, {"5SecIntervalMeasure", 0},
                           {"StopWatchTotalTimeEnable", 1}, {"FontSizeDispFit", 0}, {"RotDivIndex", 2},
                           {"1SecDivIndex", 1}});
  Restart();
  EXPECT_EQ(app::Capture(app_), changed);
}

TEST_F(SettingsProgram, CancelTakesBackEveryOptionAndThePicture) {
  Start();
  const app::Picture before = app::Capture(app_);
  const HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  for (int id : {IDC_LBCLICK_START_STOP, IDC_THICK_FRAME, IDC_THICK_FIVE_SECOND_MARKS, IDC_SHOW_TOTAL_TIME,
                 IDC_WINDOW_TOPMOST, IDC_FIT_FONT_TO_WINDOW}) {
    ClickBox(dialog, id);
  }
  ChooseListItem(dialog, IDC_ROTATION_LIST, 2);
  ChooseListItem(dialog, IDC_SECOND_DIVISION_LIST, 1);
  EXPECT_TRUE(app::WaitForChange(app_, before));
  ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
  EXPECT_TRUE(PictureBecomes(before)) << "the 60-second dial with thick marks and no total";
  EXPECT_FALSE(IsTopMost(app_.Window));
  ASSERT_EQ(app::CloseApp(app_), 0u);
  ExpectStopwatchSettings({{"LBClickStartStopEnable", 1}, {"FrameGraduation", 1}, {"5SecIntervalMeasure", 1},
                           {"StopWatchTotalTimeEnable", 0}, {"FontSizeDispFit", 1}, {"RotDivIndex", 0},
                           {"1SecDivIndex", 0}});
  EXPECT_EQ(Stored("Window_Position", "WindowTopMost"), 0);
}

// Wine will not raise a window to topmost while it owns a dialog: the choice holds once the dialog has closed,
// as OK left it or as Cancel put it back.
TEST_F(SettingsProgram, TheTopMostChoiceHoldsOnceTheDialogClosesAndCancelPutsItBack) {
  const auto becomesTopMost = [this](bool wanted) {
    return test::PollUntil([this, wanted] { return IsTopMost(app_.Window) == wanted; });
  };
  Start();
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ClickBox(dialog, IDC_WINDOW_TOPMOST);
  ASSERT_TRUE(EndDialogWith(dialog, IDOK));
  EXPECT_TRUE(becomesTopMost(true)) << "OK";
  // Each further dialog is opened after a fresh start: right after the window is raised, Wine under load has
  // been seen to close the next pop-up menu before its key arrived.
  Restart();
  dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_WINDOW_TOPMOST, BM_GETCHECK, 0, 0), BST_CHECKED);
  ClickBox(dialog, IDC_WINDOW_TOPMOST);
  EXPECT_FALSE(IsTopMost(app_.Window));
  ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
  EXPECT_TRUE(becomesTopMost(true)) << "Cancel";
  Restart();
  EXPECT_TRUE(IsTopMost(app_.Window));
  dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ClickBox(dialog, IDC_WINDOW_TOPMOST);
  ASSERT_TRUE(EndDialogWith(dialog, IDOK));
  EXPECT_TRUE(becomesTopMost(false));
  ASSERT_EQ(app::CloseApp(app_), 0u);
  EXPECT_EQ(Stored("Window_Position", "WindowTopMost"), 0);
}

TEST_F(SettingsProgram, APickedBackgroundShowsAtOnceAndEitherCancelTakesItBack) {
  Start();
  ASSERT_EQ(app::Capture(app_).At(2, 2), DefaultBackground);
  const HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  app::PressButton(dialog, IDC_COLORS_BUTTON);
  HWND colors = app::WaitForDialog(app_, "時計の色を設定");
  ASSERT_NE(colors, nullptr);
  PickInChooser(colors, IDC_BACKGROUND_COLOR, 10, 200, 10);
  EXPECT_TRUE(BackgroundBecomes(RGB(10, 200, 10))) << "at once";
  app::PressButton(colors, IDCANCEL);
  EXPECT_TRUE(BackgroundBecomes(DefaultBackground)) << "cancelling the colour dialog restores at once";
  ASSERT_TRUE(WaitUntilClosed(colors));

  app::PressButton(dialog, IDC_COLORS_BUTTON);
  colors = app::WaitForDialog(app_, "時計の色を設定");
  ASSERT_NE(colors, nullptr);
  PickInChooser(colors, IDC_BACKGROUND_COLOR, 200, 30, 40);
  EXPECT_TRUE(BackgroundBecomes(RGB(200, 30, 40)));
  app::PressButton(colors, IDOK);
  ASSERT_TRUE(WaitUntilClosed(colors));
  ASSERT_TRUE(app::Settles(app_));
  EXPECT_EQ(app::Capture(app_).At(2, 2), RGB(200, 30, 40)) << "OK in the colour dialog keeps it";
  ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
  EXPECT_TRUE(BackgroundBecomes(DefaultBackground)) << "cancelling the settings restores the colour from before";
  ASSERT_EQ(app::CloseApp(app_), 0u);
  EXPECT_EQ(Stored("Draw_Color", "BackGroundColor"), 16744576);
}

TEST_F(SettingsProgram, TheFontChooserGivesTheReadoutItsFaceAndColourForThisRunAndTheNext) {
  Start();
  const app::Picture before = app::Capture(app_);
  const auto [dialog, chooser] = OpenFontChooser();
  ASSERT_NE(chooser, nullptr);
  ChooseAnotherListItem(chooser, test::FontChooserFaces);
  ChooseListItem(chooser, test::FontChooserSizes, 0);
  const LRESULT colorItem = ChooseAnotherListItem(chooser, test::FontChooserColors);
  const auto color = static_cast<int>(
      SendDlgItemMessageA(chooser, test::FontChooserColors, CB_GETITEMDATA, static_cast<WPARAM>(colorItem), 0));
  app::PressButton(chooser, IDOK);
  EXPECT_TRUE(app::WaitForChange(app_, before));
  ASSERT_TRUE(EndDialogWith(dialog, IDOK));
  ASSERT_TRUE(app::Settles(app_));
  const app::Picture changed = app::Capture(app_);
  ASSERT_EQ(app::CloseApp(app_), 0u);
  EXPECT_NE(StoredText("Font_Setting", "FontFaceName"), DefaultFace);
  EXPECT_EQ(Stored("Font_Setting", "FontColor"), color);
  EXPECT_NE(color, 0);
  Restart();
  EXPECT_EQ(app::Capture(app_), changed);
}

TEST_F(SettingsProgram, ARefitAfterTheFontChooserLeavesAMaximisedWindowStoredAsMaximised) {
  Start("[Window_Position]\r\nWindow_Maximize=1\r\n");
  ASSERT_TRUE(IsZoomed(app_.Window));
  const auto [dialog, chooser] = OpenFontChooser();
  ASSERT_NE(chooser, nullptr);
  ChooseAnotherListItem(chooser, test::FontChooserFaces);  // tried, then cancelled
  ChooseAnotherListItem(chooser, test::FontChooserSizes);
  app::PressButton(chooser, IDCANCEL);
  ASSERT_TRUE(WaitUntilClosed(chooser));
  ASSERT_TRUE(EndDialogWith(dialog, IDOK));
  // No picture is compared: a maximised window lies under the dialogs that tests running beside this one
  // open in the middle of the screen.
  EXPECT_TRUE(IsZoomed(app_.Window)) << "still maximised on screen";
  ASSERT_EQ(app::CloseApp(app_), 0u);
  EXPECT_EQ(Stored("Window_Position", "Window_Maximize"), 1);
  EXPECT_EQ(StoredText("Font_Setting", "FontFaceName"), DefaultFace);
}

// At logoff or shutdown the system ends the process once WM_ENDSESSION is answered: no WM_DESTROY comes.
TEST_F(SettingsProgram, TheEndOfAWindowsSessionStoresWhatWasConfirmedAndTheNormalPlacement) {
  Start("[Window_Position]\r\nWindow_Width=300\r\nWindow_Height=320\r\n");
  ASSERT_TRUE(app::ChooseFromMenu(app_, 'p'));  // the read-out off
  ShowWindowAsync(app_.Window, SW_MAXIMIZE);
  ASSERT_TRUE(test::PollUntil([this] { return IsZoomed(app_.Window) != FALSE; }));
  const HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ClickBox(dialog, IDC_THICK_FRAME);  // shown at once, never confirmed
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(app_.Window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  ASSERT_TRUE(SendMessageTimeoutA(app_.Window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
  EXPECT_EQ(app::FindAnyDialog(app_), nullptr) << "the dialog was cancelled and no box came";
  ASSERT_TRUE(TerminateProcess(app_.Process.hProcess, 0));
  ASSERT_EQ(WaitForSingleObject(app_.Process.hProcess, 10000), WAIT_OBJECT_0);
  ExpectStopwatchSettings({{"DisitalModeOnOff", 0}, {"FrameGraduation", 1}});
  EXPECT_EQ(Stored("Window_Position", "Window_Maximize"), 1);
  EXPECT_EQ(Stored("Window_Position", "Window_Width"), 300);
  EXPECT_EQ(Stored("Window_Position", "Window_Height"), 320);
}

// A settings file another program holds is read at start-up all the same, also when held as an editor holds it
// (reading and writing, shared both ways). Neither hold shares the file's deletion, so a box owned by the window
// says at start-up and again at exit that it cannot be written, none at the end of a Windows session, and the file
// keeps its bytes.
TEST_F(SettingsProgram, ASettingsFileThatCannotBeWrittenIsSaidAtStartAndAtExitAndKept) {
  const std::string ini = "[StopWatch_Setting]\r\nSecondResolution=11\r\n[Extra_Setting]\r\nWindowOpacity=55\r\n";
  app_ = app::PrepareApp(ini);
  const std::string path = app::IniPathOf(app_);
  struct Hold {
    DWORD Access, Sharing;
    bool SessionEnds;
  };
  const Hold holds[] = {{GENERIC_READ, FILE_SHARE_READ, false},
                        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, true}};
  for (const auto& [access, sharing, sessionEnds] : holds) {
    const HANDLE held = CreateFileW(test::Wide(path).c_str(), access, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    LaunchPrepared();
    const HWND box = test::PollForWindow([this] { return test::FindMessageBoxOf(app_.Process.dwProcessId); });
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), app_.Window);
    EXPECT_EQ(test::ReadAndAnswer(box, IDOK).Text, "設定ファイル「" + path +
                                                       "」に書き込めません。このままでは設定は保存されません。"
                                                       "書き込めるフォルダーにプログラムを移してください。");
    ASSERT_TRUE(app::Settles(app_));
    EXPECT_EQ(Alpha(), 140) << "the file's opacity, read at start-up";
    if (sessionEnds) {
      DWORD_PTR answer = 0;
      ASSERT_TRUE(SendMessageTimeoutA(app_.Window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &answer));
      EXPECT_EQ(app::FindAnyDialog(app_), nullptr) << "no box at the end of a session";
      TerminateProcess(app_.Process.hProcess, 0);
    } else {
      PostMessageA(app_.Window, WM_CLOSE, 0, 0);
      const app::MessageBoxText atExit = app::AnswerMessageBox(app_, IDOK);
      EXPECT_EQ(atExit.Caption, "Tavrilo");
      EXPECT_EQ(atExit.Text, "設定ファイル「" + path + "」に書き込めなかったため、設定は保存されませんでした。");
    }
    ASSERT_EQ(WaitForSingleObject(app_.Process.hProcess, 10000), WAIT_OBJECT_0);
    CloseHandle(app_.Process.hThread);
    CloseHandle(app_.Process.hProcess);
    app_.Process = {};
    CloseHandle(held);
  }
  EXPECT_EQ(test::ReadBytes(path), ini);
}

// A settings file held without sharing at start-up, as a sync client or a virus scanner holds one for a moment, is
// tried again for about a second: let go within it, it is read; held longer, the program starts with the defaults,
// says so once its window is shown, and at exit leaves the file as it was, with no box.
TEST_F(SettingsProgram, ASettingsFileHeldWithoutSharingIsWaitedForAndNeverWrittenOverUnread) {
  const std::string ini = "[StopWatch_Setting]\r\nSecondResolution=11\r\n[Extra_Setting]\r\nWindowOpacity=55\r\n";
  app_ = app::PrepareApp(ini);
  const std::string path = app::IniPathOf(app_);
  for (const DWORD heldMs : {300, 2500}) {
    test::WriteBytes(path, ini);
    const HANDLE held = CreateFileW(test::Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held, heldMs] { Sleep(heldMs), CloseHandle(held); });
    LaunchPrepared();
    if (heldMs < 1000) {
      ASSERT_TRUE(app::Settles(app_));
      EXPECT_EQ(Alpha(), 140) << "read once let go";
      EXPECT_EQ(test::FindMessageBoxOf(app_.Process.dwProcessId), nullptr);
    } else {
      const app::MessageBoxText box = app::AnswerMessageBox(app_, IDOK);
      EXPECT_EQ(box.Text, "設定ファイル「" + path + "」を読み込めませんでした。今回は初期設定で起動し、"
                                                     "終了時に設定ファイルは書き換えません。");
      EXPECT_EQ(box.Caption, "Tavrilo");
      EXPECT_EQ(Alpha(), 255) << "the defaults";
    }
    release.join();
    EXPECT_EQ(app::CloseApp(app_), 0u) << "no box at exit";
    CloseHandle(app_.Process.hThread);
    CloseHandle(app_.Process.hProcess);
    app_.Process = {};
    if (heldMs < 1000) {
      EXPECT_NE(test::ReadBytes(path), ini) << "saved at exit";
    }
  }
  EXPECT_EQ(test::ReadBytes(path), ini) << "never written over unread";
}

// The window is see-through at the stored opacity; dialog 110 changes it at once, down to 20 % and shown again as
// that, Cancel puts it back, and OK keeps what it changed for the next start.
TEST_F(SettingsProgram, TheOtherSettingsDialogSetsTheOpacityAtOnceAndKeepsOnlyWhatOkConfirms) {
  Start("[Extra_Setting]\r\nWindowOpacity=55\r\n");
  EXPECT_EQ(Alpha(), 140);
  HWND dialog = app::OpenDialogFromMenu(app_, 'w', "その他の設定");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(app::ControlText(dialog, IDC_OPACITY_LIST), "55 %") << "a value between the steps is kept";
  ChooseListItem(dialog, IDC_OPACITY_LIST, 5);  // 50 %
  EXPECT_TRUE(test::PollUntil([&] { return Alpha() == 127; }));
  ClickBox(dialog, IDC_TIMER_OVERTIME);
  ClickBox(dialog, IDC_CAPTION_TIME);
  ClickBox(dialog, IDC_RESUME_AFTER_EXIT);
  ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
  EXPECT_EQ(Alpha(), 140);
  dialog = app::ReopenDialog(app_, IDM_EXTRA_SETTING, "その他の設定");
  ASSERT_NE(dialog, nullptr);
  ClickBox(dialog, IDC_TIMER_OVERTIME);
  ChooseListItem(dialog, IDC_OPACITY_LIST, 8);  // 20 %, the last step
  ASSERT_TRUE(EndDialogWith(dialog, IDOK));
  EXPECT_EQ(Alpha(), 51);
  dialog = app::ReopenDialog(app_, IDM_EXTRA_SETTING, "その他の設定");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(app::ControlText(dialog, IDC_OPACITY_LIST), "20 %");
  ChooseListItem(dialog, IDC_OPACITY_LIST, 0);  // 100 %: opaque, not layered
  ASSERT_TRUE(EndDialogWith(dialog, IDOK));
  EXPECT_EQ(Alpha(), 255);
  ASSERT_EQ(app::CloseApp(app_), 0u);
  EXPECT_EQ(Stored("Extra_Setting", "TimerOvertime"), 1);
  EXPECT_EQ(Stored("Extra_Setting", "CaptionTimeWhenMinimized"), 1);
  EXPECT_EQ(Stored("Extra_Setting", "WindowOpacity"), 100);
  EXPECT_EQ(Stored("Extra_Setting", "ResumeAfterExit"), 0);
}

TEST_F(SettingsProgram, TheVersionDialogShowsTheFileVersionAndClosesWithEnterOrEscape) {
  Start();
  for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
    const HWND version = key == VK_ESCAPE ? OpenVersion() : ReopenVersion();
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(app::ControlText(version, IDC_VERSION_TEXT), ExpectedVersionLine(Exe()));
    ASSERT_TRUE(app::BringToFront(version));
    app::PressKeys({static_cast<WORD>(key)});
    EXPECT_TRUE(app::WaitForNoDialog(app_)) << "key " << key;
  }
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

TEST_F(SettingsProgram, AnExecutableWithAnUnreadableVersionResourceShowsTheTemplateText) {
  app_ = app::PrepareApp();
  ASSERT_TRUE(SpoilVersionResource(Exe()));
  LaunchPrepared();
  const HWND version = OpenVersion();
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(app::ControlText(version, IDC_VERSION_TEXT), "Tavrilo Version X.XX");
  EXPECT_TRUE(EndDialogWith(version, IDOK));
  EXPECT_EQ(app::CloseApp(app_), 0u);
}

}  // namespace
