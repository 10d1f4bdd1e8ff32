// The timer alarm: one media control device, opened under a fixed alias, replayed on every completion until a
// stop, a reset or the exit closes it. Everything here runs on the user-interface thread, the hand-over at the
// countdown's expiry too: the wake that finds the countdown at its end is a timer of the main window's.
#include "alarm/alarm_sound.h"
#include <string>
#include "alarm/taskbar_flash.h"
#include "helpers/message_box.h"
#include "helpers/optional_calls.h"
#include "helpers/wide_text.h"
#include "helpers/window_helpers.h"
#include "records/app_globals.h"
#include "records/app_settings_record.h"
#include "records/command_ids.h"

namespace {

// The system's command, winmm's looked up at the first use; without winmm every command fails as a device whose
// driver cannot be loaded, and is reported as any failed command is.
MCIERROR WINAPI SystemMciCommand(MCIDEVICEID device, UINT command, DWORD_PTR flags, DWORD_PTR params) {
  const auto call = SystemDllCalls().mciSendCommandW;
  return call ? call(device, command, flags, params) : MCIERR_CANNOT_LOAD_DRIVER;
}

}  // namespace

AlarmSoundRecord AlarmSound;
MCIERROR(WINAPI* MciCommand)(MCIDEVICEID, UINT, DWORD_PTR, DWORD_PTR) = SystemMciCommand;

namespace {

constexpr const wchar_t* AlarmAlias = L"Tavrilo_User_Mode_TimerAlarmSound";
// One device type plays every admitted file: WAV, WMA, MP3 and MIDI.
constexpr const wchar_t* AlarmDeviceType = L"MPEGVideo";

// Where a failed command is reported from; the command's name completes the location.
constexpr const wchar_t* StartSite = L"OnTimerAlarmSoundStart関数内,";
// "STart", with its capital T, is intended: the error of the close after a failed start reads so, to the letter.
constexpr const wchar_t* CloseAllSite = L"OnTimerAlarmSoundSTart関数内,";
constexpr const wchar_t* NotifySite = L"OnMM_MCINotifyTimerAlarm関数内,";
constexpr const wchar_t* StopCommandSite = L"OnCommand関数内IDM_TIMER_ALARM__SOUND_STOPコマンド,";

MCIERROR SendMci(MCIDEVICEID device, UINT command, DWORD flags, void* params = nullptr) {
  return MciCommand(device, command, flags, reinterpret_cast<DWORD_PTR>(params));
}

// Tells the user which MCI command failed where, with the error's number and text and the device's alias.
void ShowMciError(MCIERROR error, const wchar_t* alias, HWND owner, const wchar_t* location) {
  wchar_t errorText[260] = L"";
  const auto errorString = SystemDllCalls().mciGetErrorStringW;
  if (!errorString || !errorString(error, errorText, 260)) errorText[0] = L'\0';
  const std::wstring message = L"MMSYSTEM Err No." + std::to_wstring(error) + L"\nエラーメッセージは「" + errorText +
                               L"」です。\nMCI関連の構造体のAliasは、「" + (alias ? alias : L"") +
                               L"」です。\nエラー表示場所は「" + location + L"」です。";
  ShowMessageBox(owner, message.c_str(), MB_OK, (std::wstring(AppCaption) + L" MCICommandエラーメッセージ").c_str());
}

// Shows the error of a failed command; true when it failed.
bool Failed(MCIERROR error, HWND window, const wchar_t* site, const wchar_t* command) {
  if (error == 0) return false;
  ShowMciError(error, AlarmSound.OpenParams.lpstrAlias, window, (std::wstring(site) + command).c_str());
  return true;
}

MCIERROR PlayWithNotification(HWND window) {
  MCI_PLAY_PARMS play = {};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(window);
  return SendMci(AlarmSound.OpenParams.wDeviceID, MCI_PLAY, MCI_NOTIFY, &play);
}

void StopAndClose(HWND window, const wchar_t* site) {
  AlarmSound.Active = 0;
  const MCIDEVICEID device = AlarmSound.OpenParams.wDeviceID;
  Failed(SendMci(device, MCI_STOP, MCI_WAIT), window, site, L"MCI_STOP");
  Failed(SendMci(device, MCI_CLOSE, MCI_WAIT), window, site, L"MCI_CLOSE");
}

// A play that ran to its end leaves the position there, and a new play from the end plays nothing and never
// notifies: rewind first, so that the next completion comes back here.
void Replay(HWND window) {
  MCI_SEEK_PARMS seek = {};
  if (Failed(SendMci(AlarmSound.OpenParams.wDeviceID, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &seek), window,
             NotifySite, L"MCI_SEEK")) {
    return;
  }
  Failed(PlayWithNotification(window), window, NotifySite, L"MCI_PLAY");
}

// Whether a completion comes from the alarm's open device. Some MCI drivers (Wine's MPEGVideo among them)
// notify with the identifier 0; since this program opens no other device, that is taken for the alarm's own.
bool IsAlarmDevice(MCIDEVICEID device) {
  const MCIDEVICEID open = AlarmSound.OpenParams.wDeviceID;
  return open != 0 && (device == open || device == 0) && AlarmSound.OpenParams.lpstrAlias &&
         lstrcmpiW(AlarmSound.OpenParams.lpstrAlias, AlarmAlias) == 0;
}

}  // namespace

int OnTimerAlarmSoundStart(HWND window) {
  AlarmSound.OpenParams = MCI_OPEN_PARMSW{};
  AlarmSound.OpenParams.lpstrDeviceType = AlarmDeviceType;
  lstrcpynW(AlarmSound.Element, FromShiftJis(AlarmSound.PlayPath).c_str(), MAX_PATH);
  AlarmSound.OpenParams.lpstrElementName = AlarmSound.Element;
  AlarmSound.OpenParams.lpstrAlias = AlarmAlias;
  MCIERROR error =
      SendMci(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_OPEN_ALIAS | MCI_WAIT, &AlarmSound.OpenParams);
  if (error == 0) {
    AlarmSound.Active = 1;
    error = PlayWithNotification(window);
    if (error == 0) return 1;
  }
  Failed(error, window, StartSite, L"MCI_OPENまたはMCI_PLAY");
  Failed(SendMci(MCI_ALL_DEVICE_ID, MCI_CLOSE, 0), window, CloseAllSite, L"MCI_ALL_DEVICE_ID,MCI_CLOSE");
  AlarmSound = AlarmSoundRecord{};  // nothing is open, nothing plays
  return 0;
}

// Closes the device whatever mode it reports. Between the end of one play and its replay, or after a failed
// play, it reports "stopped"; a stop that acted only on a playing device would leave it open there, and the
// alarm would sound on after a reset or the exit.
void OnTimerAlarmSoundStop(HWND window) {
  StopFlashing(window);
  if (!AlarmSound.Active) return;
  StopAndClose(window, StopCommandSite);
  AlarmSound.OpenParams = MCI_OPEN_PARMSW{};
}

void OnMM_MCINotifyTimerAlarm(HWND window, WPARAM flags, LPARAM deviceId) {
  switch (flags) {
    case MCI_NOTIFY_SUPERSEDED: ShowMessageBox(window, L"MCI_NOTIFY_SUPERSEDED"); return;
    case MCI_NOTIFY_ABORTED: return;  // what a stop brings
    case MCI_NOTIFY_FAILURE: ShowMessageBox(window, L"MCI_NOTIFY_FAILURE"); return;
    default: break;
  }
  // A play of the alarm ran to its end. The device's mode is not asked: a driver may notify before it has
  // stopped and still report "playing" (Wine's does), which must not end the alarm.
  if (AlarmSound.Active && IsAlarmDevice(static_cast<MCIDEVICEID>(deviceId))) Replay(window);
}

void HandOverAlarmAtExpiry() {
  lstrcpynA(AlarmSound.PlayPath, AppSettings.TimerAlarmSoundFile, MAX_PATH);
  if (AlarmSound.PlayPath[0] == '\0') return;
  if (AlarmSound.Active) SendCommand(MainWindow, IDM_TIMER_ALARM__SOUND_STOP);
  SendCommand(MainWindow, IDM_TIMER_ALARM__SOUND_START);
}
