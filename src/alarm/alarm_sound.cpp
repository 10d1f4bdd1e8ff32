// The timer alarm: one media control device, opened under a fixed alias, replayed on every completion until a
// stop, a reset or the exit closes it. Everything here but the hand-over at the countdown's expiry runs on the
// user-interface thread.
#include "alarm/alarm_sound.h"
#include <cstdio>
#include "alarm/taskbar_flash.h"
#include "helpers/window_helpers.h"
#include "records/app_globals.h"
#include "records/app_settings_record.h"
#include "records/command_ids.h"

Shared<int32_t> AlarmSoundActive;
char AlarmPlayPath[MAX_PATH];

namespace {

constexpr const char* AlarmAlias = "Tavrilo_User_Mode_TimerAlarmSound";
// One device type plays every admitted file: WAV, WMA, MP3 and MIDI.
constexpr const char* AlarmDeviceType = "MPEGVideo";

// Where a failed command is reported from; the command's name completes the location.
constexpr const char* StartSite = "OnTimerAlarmSoundStart関数内,";
constexpr const char* CloseAllSite = "OnTimerAlarmSoundSTart関数内,";
constexpr const char* NotifySite = "OnMM_MCINotifyTimerAlarm関数内,";
constexpr const char* StopCommandSite = "OnCommand関数内IDM_TIMER_ALARM__SOUND_STOPコマンド,";

// The open request, kept while the device is open: its identifier and alias identify our notifications.
MCI_OPEN_PARMSA AlarmOpenParams;

MCIERROR SendMci(MCIDEVICEID device, UINT command, DWORD flags, void* params = nullptr) {
  return mciSendCommandA(device, command, flags, reinterpret_cast<DWORD_PTR>(params));
}

// Tells the user which MCI command failed where, with the error's number and text and the device's alias.
void ShowMciError(MCIERROR error, const char* alias, HWND owner, const char* location) {
  char errorText[520] = "";
  if (!mciGetErrorStringA(error, errorText, sizeof errorText)) errorText[0] = '\0';
  char message[1024];
  snprintf(message, sizeof message,
           "MMSYSTEM Err No.%d\nエラーメッセージは「%s」です。\nMCI関連の構造体のAliasは、「%s」です。\n"
           "エラー表示場所は「%s」です。",
           static_cast<int>(error), errorText, alias ? alias : "", location);
  char caption[64];
  snprintf(caption, sizeof caption, "%s MCICommandエラーメッセージ", AppCaption);
  MessageBoxA(owner, message, caption, MB_OK);
}

// Shows the error of a failed command; true when it failed.
bool Failed(MCIERROR error, HWND window, const char* site, const char* command) {
  if (error == 0) return false;
  char location[160];
  snprintf(location, sizeof location, "%s%s", site, command);
  ShowMciError(error, AlarmOpenParams.lpstrAlias, window, location);
  return true;
}

MCIERROR PlayWithNotification(HWND window) {
  MCI_PLAY_PARMS play = {};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(window);
  return SendMci(AlarmOpenParams.wDeviceID, MCI_PLAY, MCI_NOTIFY, &play);
}

void StopAndClose(HWND window, const char* site) {
  AlarmSoundActive = 0;
  const MCIDEVICEID device = AlarmOpenParams.wDeviceID;
  Failed(SendMci(device, MCI_STOP, MCI_WAIT), window, site, "MCI_STOP");
  Failed(SendMci(device, MCI_CLOSE, MCI_WAIT), window, site, "MCI_CLOSE");
}

// A play that ran to its end leaves the position there, and a new play from the end plays nothing and never
// notifies: rewind first, so that the next completion comes back here.
void Replay(HWND window) {
  MCI_SEEK_PARMS seek = {};
  if (Failed(SendMci(AlarmOpenParams.wDeviceID, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &seek), window, NotifySite,
             "MCI_SEEK")) {
    return;
  }
  Failed(PlayWithNotification(window), window, NotifySite, "MCI_PLAY");
}

// Whether a completion comes from the alarm's open device. Some MCI drivers (Wine's MPEGVideo among them)
// notify with the identifier 0; since this program opens no other device, that is taken for the alarm's own.
bool IsAlarmDevice(MCIDEVICEID device) {
  const MCIDEVICEID open = AlarmOpenParams.wDeviceID;
  return open != 0 && (device == open || device == 0) && AlarmOpenParams.lpstrAlias &&
         lstrcmpiA(AlarmOpenParams.lpstrAlias, AlarmAlias) == 0;
}

}  // namespace

int OnTimerAlarmSoundStart(HWND window) {
  AlarmOpenParams = MCI_OPEN_PARMSA{};
  AlarmOpenParams.lpstrDeviceType = AlarmDeviceType;
  AlarmOpenParams.lpstrElementName = AlarmPlayPath;
  AlarmOpenParams.lpstrAlias = AlarmAlias;
  MCIERROR error =
      SendMci(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_OPEN_ALIAS | MCI_WAIT, &AlarmOpenParams);
  if (error == 0) {
    AlarmSoundActive = 1;
    error = PlayWithNotification(window);
    if (error == 0) return 1;
  }
  Failed(error, window, StartSite, "MCI_OPENまたはMCI_PLAY");
  Failed(SendMci(MCI_ALL_DEVICE_ID, MCI_CLOSE, 0), window, CloseAllSite, "MCI_ALL_DEVICE_ID,MCI_CLOSE");
  AlarmOpenParams = MCI_OPEN_PARMSA{};
  AlarmSoundActive = 0;
  AlarmPlayPath[0] = '\0';
  return 0;
}

// Closes the device whatever mode it reports. Between the end of one play and its replay, or after a failed
// play, it reports "stopped"; a stop that acted only on a playing device would leave it open there, and the
// alarm would sound on after a reset or the exit.
void OnTimerAlarmSoundStop(HWND window) {
  StopFlashing(window);
  if (!AlarmSoundActive) return;
  StopAndClose(window, StopCommandSite);
  AlarmOpenParams = MCI_OPEN_PARMSA{};
}

void OnMM_MCINotifyTimerAlarm(HWND window, WPARAM flags, LPARAM deviceId) {
  switch (flags) {
    case MCI_NOTIFY_SUPERSEDED: MessageBoxA(window, "MCI_NOTIFY_SUPERSEDED", AppCaption, MB_OK); return;
    case MCI_NOTIFY_ABORTED: return;  // what a stop brings
    case MCI_NOTIFY_FAILURE: MessageBoxA(window, "MCI_NOTIFY_FAILURE", AppCaption, MB_OK); return;
    default: break;
  }
  // A play of the alarm ran to its end. The device's mode is not asked: a driver may notify before it has
  // stopped and still report "playing" (Wine's does), which must not end the alarm.
  if (AlarmSoundActive && IsAlarmDevice(static_cast<MCIDEVICEID>(deviceId))) Replay(window);
}

void HandOverAlarmAtExpiry() {
  lstrcpynA(AlarmPlayPath, AppSettings.TimerAlarmSoundFile, MAX_PATH);
  if (AlarmPlayPath[0] == '\0') return;
  if (AlarmSoundActive) SendCommand(MainWindow, IDM_TIMER_ALARM__SOUND_STOP);
  SendCommand(MainWindow, IDM_TIMER_ALARM__SOUND_START);
}
