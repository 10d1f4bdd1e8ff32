// The modeless lap history window. It lists "LAP %04d : record" lines, newest at the top. A recorded lap sends it
// a message, and it lists every lap it does not show yet, so no lap is lost or listed twice.
#include "laps/lap_history.h"
#include <algorithm>
#include <cstdio>
#include <string>
#include "helpers/message_box.h"
#include "helpers/wide_text.h"
#include "helpers/window_helpers.h"
#include "records/app_globals.h"
#include "records/lap_list_record.h"
#include "records/window_messages.h"
#include "resources/resource.h"

namespace {

void ShowNewLaps(HWND dialog) {
  const HWND list = GetDlgItem(dialog, IDC_LAP_HISTORY_LIST);
  const int32_t count = LapList.Count;
  for (LRESULT shown = SendMessageW(list, LB_GETCOUNT, 0, 0); shown >= 0 && shown < count; ++shown) {
    char line[1024];
    const int length =
        snprintf(line, sizeof line, "LAP %04d : %s", static_cast<int>(shown + 1), LapList.Records[shown].Text);
    const std::wstring wide = WidenAscii(line, length < 0 ? 0 : std::min<int>(length, sizeof line - 1));
    SendMessageW(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
}

INT_PTR CALLBACK LapHistoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CenterWindowOnScreen(dialog);
      // Known before the first line is listed, so that every later lap is sent here.
      LapList.LapHistoryWindow = dialog;
      ShowNewLaps(dialog);
      return TRUE;
    case WM_SHOW_NEW_LAPS:
      ShowNewLaps(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        LapList.LapHistoryWindow = nullptr;
        DestroyWindow(dialog);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void OpenLapHistory(HWND owner) {
  if (LapList.LapHistoryWindow) return;
  const HWND dialog =
      CreateDialogParamW(AppInstance, MAKEINTRESOURCEW(IDD_LAP_HISTORY), owner, LapHistoryDialogProc, 0);
  if (!dialog) {
    ShowMessageBox(owner, L"ラップタイム表示ダイアログが作成できませんでした。");
    return;
  }
  ShowWindow(dialog, SW_SHOW);
}
