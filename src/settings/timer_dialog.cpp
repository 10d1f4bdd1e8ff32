// The timer settings dialog (template 107): the countdown's hours, minutes and seconds, checked on OK, and the
// alarm file, chosen or cleared at once; Cancel puts back what the dialog found.
#include "settings/timer_dialog.h"
#include <commctrl.h>
#include <commdlg.h>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include "helpers/file_paths.h"
#include "helpers/window_helpers.h"
#include "records/app_globals.h"
#include "resources/resource.h"
#include "settings/app_settings.h"

namespace {

// One countdown value: its edit, the up-down beside it, its setting, its largest value and its refusal.
struct CountdownField {
  int EditId;
  int SpinId;
  int32_t AppSettingsRecord::*Value;
  UINT Maximum;
  const char* Refusal;
};

// In the order they are checked.
const CountdownField CountdownFields[] = {
    {IDC_TIMER_HOURS, IDC_TIMER_HOURS_SPIN, &AppSettingsRecord::TimerSettingHour, 23, "時間の設定は0～23迄です。"},
    {IDC_TIMER_MINUTES, IDC_TIMER_MINUTES_SPIN, &AppSettingsRecord::TimerSettingMinute, 59, "分の設定は0～59迄です。"},
    {IDC_TIMER_SECONDS, IDC_TIMER_SECONDS_SPIN, &AppSettingsRecord::TimerSettingSecond, 59, "秒の設定は0～59迄です。"},
};

void TakeSnapshot(TimerSettingsSnapshot& snapshot) {
  const AppSettingsRecord& s = AppSettings;
  snapshot.Hour = s.TimerSettingHour;
  snapshot.Minute = s.TimerSettingMinute;
  snapshot.Second = s.TimerSettingSecond;
  lstrcpynA(snapshot.AlarmSoundFile, s.TimerAlarmSoundFile, MAX_PATH);
  lstrcpynA(snapshot.AlarmSoundDisplayName, s.AlarmSoundDisplayName, MAX_PATH);
}

void PutBackSnapshot(const TimerSettingsSnapshot& snapshot) {
  AppSettingsRecord& s = AppSettings;
  s.TimerSettingHour = snapshot.Hour;
  s.TimerSettingMinute = snapshot.Minute;
  s.TimerSettingSecond = snapshot.Second;
  lstrcpynA(s.TimerAlarmSoundFile, snapshot.AlarmSoundFile, MAX_PATH);
  lstrcpynA(s.AlarmSoundDisplayName, snapshot.AlarmSoundDisplayName, MAX_PATH);
}

// An empty edit reads 0; a negative value comes back as a large unsigned one, so a range check refuses it.
UINT ReadField(HWND dialog, const CountdownField& field) {
  return GetDlgItemInt(dialog, field.EditId, nullptr, TRUE);
}

void ShowAlarmName(HWND dialog) { SetDlgItemTextA(dialog, IDC_ALARM_FILE, AppSettings.AlarmSoundDisplayName); }

void OnInitDialog(HWND dialog, TimerSettingsSnapshot* snapshot) {
  KeepDialogState(dialog, snapshot);
  CenterWindowOnScreen(dialog);
  TakeSnapshot(*snapshot);
  for (const CountdownField& field : CountdownFields) {
    SendDlgItemMessageA(dialog, field.EditId, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageA(dialog, field.SpinId, UDM_SETRANGE, 0, MAKELPARAM(field.Maximum, 0));
    // The 32-bit form: a value from an edited file is not cut to 16 bits before the control limits it.
    SendDlgItemMessageA(dialog, field.SpinId, UDM_SETPOS32, 0, AppSettings.*field.Value);
  }
  ShowAlarmName(dialog);
}

// Checks hours, minutes and seconds in that order; at the first value out of range it tells the user, selects
// the value's text and returns false. Returns true when all three are in range.
bool TimerSettingsAreValid(HWND dialog) {
  for (const CountdownField& field : CountdownFields) {
    if (ReadField(dialog, field) <= field.Maximum) continue;
    MessageBoxA(dialog, field.Refusal, AppCaption, MB_OK);
    const HWND edit = GetDlgItem(dialog, field.EditId);
    SetFocus(edit);
    const LRESULT length = SendMessageA(edit, EM_LINELENGTH, 0, 0);
    SendMessageA(edit, EM_SETSEL, 0, length);
    return false;
  }
  return true;
}

void OnOk(HWND dialog) {
  if (!TimerSettingsAreValid(dialog)) return;
  for (const CountdownField& field : CountdownFields) {
    AppSettings.*field.Value = static_cast<int32_t>(ReadField(dialog, field));
  }
  EndDialog(dialog, IDOK);
}

void OnCancel(HWND dialog) {
  PutBackSnapshot(DialogState<TimerSettingsSnapshot>(dialog));
  EndDialog(dialog, IDCANCEL);
}

void ClearAlarmFile(char* path, char* displayName) {
  path[0] = '\0';
  displayName[0] = '\0';
}

bool IsPlayableExtension(const char* extension) {
  for (const char* playable : {".wav", ".wma", ".mp3", ".mid", ".midi", ".rmi"}) {
    if (lstrcmpiA(extension, playable) == 0) return true;
  }
  return false;
}

}  // namespace

bool EditTimerSettings(HWND owner) {
  TimerSettingsSnapshot snapshot = {};
  return RunDialogWithSnapshot(AppInstance, IDD_TIMER_SETTINGS, owner, TimerSettingsDialogProc, &snapshot) == IDOK;
}

INT_PTR CALLBACK TimerSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    OnInitDialog(dialog, reinterpret_cast<TimerSettingsSnapshot*>(lParam));
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK: OnOk(dialog); return TRUE;
    case IDCANCEL: OnCancel(dialog); return TRUE;
    case IDC_ALARM_BROWSE:
      BrowseAlarmSoundFile(AppSettings.TimerAlarmSoundFile, AppSettings.AlarmSoundDisplayName, dialog);
      ShowAlarmName(dialog);
      return TRUE;
    case IDC_ALARM_CLEAR:
      ClearAlarmFile(AppSettings.TimerAlarmSoundFile, AppSettings.AlarmSoundDisplayName);
      ShowAlarmName(dialog);
      return TRUE;
    default: return FALSE;
  }
}

bool BrowseAlarmSoundFile(char* path, char* displayName, HWND owner) {
  // The dialog offers the current file by name, in its own folder. Room for a whole path: a longer name than
  // the buffer holds makes the dialog fail.
  char file[MAX_PATH];
  lstrcpynA(file, displayName, sizeof file);
  char folder[MAX_PATH];
  snprintf(folder, sizeof folder, "%.*s", static_cast<int>(SplitPath(path).FolderLength), path);

  OPENFILENAMEA request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter =
      "Sound Files(*.wav,*.mp3,*.wma)\0*.wav;*.mp3;*.wma\0MP3 Files(*.mp3)\0*.mp3\0"
      "MIDI Files(*.midi,*.mid,*.rmi)\0*.midi;*.mid;*.rmi\0";
  request.lpstrFile = file;
  request.nMaxFile = sizeof file;
  request.lpstrInitialDir = folder;
  request.lpstrTitle = "ファイルの選択";
  request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  request.lpstrDefExt = "wav";
  if (GetOpenFileNameA(&request) != TRUE) {
    ClearAlarmFile(path, displayName);
    return false;
  }
  lstrcpynA(path, file, MAX_PATH);
  lstrcpynA(displayName, FileNamePart(path), MAX_PATH);
  const PathParts parts = SplitPath(path);
  if (IsPlayableExtension(path + parts.FolderLength + parts.NameLength)) return true;
  ClearAlarmFile(path, displayName);
  char caption[64];
  if (LoadStringA(AppInstance, IDS_APP_CAPTION, caption, sizeof caption) <= 0) lstrcpynA(caption, AppCaption, 64);
  MessageBoxA(owner, "再生可能なオーディオファイルではありません。", caption, MB_OK);
  return false;
}
