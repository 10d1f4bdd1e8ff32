// The timer settings dialog (template 107): the countdown's hours, minutes and seconds, checked on OK, and the
// alarm file, chosen or cleared at once; Cancel puts back what the dialog found.
#include "settings/timer_dialog.h"
#include <commctrl.h>
#include <commdlg.h>
#include <cstdint>
#include <initializer_list>
#include <string>
#include "helpers/file_paths.h"
#include "helpers/message_box.h"
#include "helpers/wide_text.h"
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
  const wchar_t* Refusal;
};

// In the order they are checked.
const CountdownField CountdownFields[] = {
    {IDC_TIMER_HOURS, IDC_TIMER_HOURS_SPIN, &AppSettingsRecord::TimerSettingHour, 23, L"時間の設定は0～23迄です。"},
    {IDC_TIMER_MINUTES, IDC_TIMER_MINUTES_SPIN, &AppSettingsRecord::TimerSettingMinute, 59, L"分の設定は0～59迄です。"},
    {IDC_TIMER_SECONDS, IDC_TIMER_SECONDS_SPIN, &AppSettingsRecord::TimerSettingSecond, 59, L"秒の設定は0～59迄です。"},
};

void TakeSnapshot(TimerSettingsSnapshot& snapshot) {
  const AppSettingsRecord& s = AppSettings;
  snapshot.Hour = s.TimerSettingHour;
  snapshot.Minute = s.TimerSettingMinute;
  snapshot.Second = s.TimerSettingSecond;
  lstrcpynA(snapshot.AlarmSoundFile, s.TimerAlarmSoundFile, MAX_PATH);
  lstrcpynW(snapshot.AlarmSoundDisplayName, s.AlarmSoundDisplayName, MAX_PATH);
}

void PutBackSnapshot(const TimerSettingsSnapshot& snapshot) {
  AppSettingsRecord& s = AppSettings;
  s.TimerSettingHour = snapshot.Hour;
  s.TimerSettingMinute = snapshot.Minute;
  s.TimerSettingSecond = snapshot.Second;
  lstrcpynA(s.TimerAlarmSoundFile, snapshot.AlarmSoundFile, MAX_PATH);
  lstrcpynW(s.AlarmSoundDisplayName, snapshot.AlarmSoundDisplayName, MAX_PATH);
}

// An empty edit reads 0; a negative value comes back as a large unsigned one, so a range check refuses it.
UINT ReadField(HWND dialog, const CountdownField& field) {
  return GetDlgItemInt(dialog, field.EditId, nullptr, TRUE);
}

void ShowAlarmName(HWND dialog) { SetDlgItemTextW(dialog, IDC_ALARM_FILE, AppSettings.AlarmSoundDisplayName); }

void OnInitDialog(HWND dialog, TimerSettingsSnapshot* snapshot) {
  KeepDialogState(dialog, snapshot);
  CenterWindowOnScreen(dialog);
  TakeSnapshot(*snapshot);
  for (const CountdownField& field : CountdownFields) {
    SendDlgItemMessageW(dialog, field.EditId, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageW(dialog, field.SpinId, UDM_SETRANGE, 0, MAKELPARAM(field.Maximum, 0));
    // The 32-bit form: a value from an edited file is not cut to 16 bits before the control limits it.
    SendDlgItemMessageW(dialog, field.SpinId, UDM_SETPOS32, 0, AppSettings.*field.Value);
  }
  ShowAlarmName(dialog);
}

// Checks hours, minutes and seconds in that order; at the first value out of range it tells the user, selects
// the value's text and returns false. Returns true when all three are in range.
bool TimerSettingsAreValid(HWND dialog) {
  for (const CountdownField& field : CountdownFields) {
    if (ReadField(dialog, field) <= field.Maximum) continue;
    ShowMessageBox(dialog, field.Refusal);
    const HWND edit = GetDlgItem(dialog, field.EditId);
    SetFocus(edit);
    const LRESULT length = SendMessageW(edit, EM_LINELENGTH, 0, 0);
    SendMessageW(edit, EM_SETSEL, 0, length);
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

void ClearAlarmFile(char* path, wchar_t* displayName) {
  path[0] = '\0';
  displayName[0] = '\0';
}

bool IsPlayableExtension(const wchar_t* path) {
  const wchar_t* const dot = wcsrchr(FileNamePart(path), L'.');
  for (const wchar_t* playable : {L".wav", L".wma", L".mp3", L".mid", L".midi", L".rmi"}) {
    if (dot && lstrcmpiW(dot, playable) == 0) return true;
  }
  return false;
}

// The form of a chosen file's path that the settings file keeps in Shift-JIS: the path itself, or its short form
// when it holds characters Shift-JIS lacks. False when neither has a Shift-JIS form that fits.
bool StorablePath(const wchar_t* chosen, char* path) {
  if (ToShiftJis(chosen, path, MAX_PATH)) return true;
  wchar_t shortPath[MAX_PATH];
  const DWORD length = GetShortPathNameW(chosen, shortPath, MAX_PATH);
  return length > 0 && length < MAX_PATH && ToShiftJis(shortPath, path, MAX_PATH);
}

void TellUser(HWND owner, const wchar_t* message) {
  wchar_t caption[64];
  if (LoadStringW(AppInstance, IDS_APP_CAPTION, caption, 64) <= 0) lstrcpynW(caption, AppCaption, 64);
  ShowMessageBox(owner, message, MB_OK, caption);
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

bool BrowseAlarmSoundFile(char* path, wchar_t* displayName, HWND owner) {
  // The dialog offers the current file by name, in its own folder. Room for a whole path: a longer name than
  // the buffer holds makes the dialog fail.
  wchar_t file[MAX_PATH];
  lstrcpynW(file, displayName, MAX_PATH);
  const std::wstring current = FromShiftJis(path);
  const std::wstring folder = current.substr(0, static_cast<size_t>(FileNamePart(current.c_str()) - current.c_str()));

  OPENFILENAMEW request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter =
      L"Sound Files(*.wav,*.mp3,*.wma)\0*.wav;*.mp3;*.wma\0MP3 Files(*.mp3)\0*.mp3\0"
      L"MIDI Files(*.midi,*.mid,*.rmi)\0*.midi;*.mid;*.rmi\0";
  request.lpstrFile = file;
  request.nMaxFile = MAX_PATH;
  request.lpstrInitialDir = folder.c_str();
  request.lpstrTitle = L"ファイルの選択";
  request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  request.lpstrDefExt = L"wav";
  const bool chosen = GetOpenFileNameW(&request) == TRUE;
  ClearAlarmFile(path, displayName);
  if (!chosen) return false;
  if (!IsPlayableExtension(file)) {
    TellUser(owner, L"再生可能なオーディオファイルではありません。");
    return false;
  }
  if (!StorablePath(file, path)) {
    TellUser(owner, L"このファイルのパスは保存できません。別のフォルダーのファイルを選んでください。");
    return false;
  }
  lstrcpynW(displayName, FileNamePart(file), MAX_PATH);
  return true;
}
