// The timer alarm: the sound file played again and again through the media control interface until stopped.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <cstdint>

// The alarm's state.
struct AlarmSoundRecord {
  // 1 from just before the first play until the device is stopped and closed.
  int32_t Active;
  // The file being played: the countdown's expiry copies the alarm file here.
  char PlayPath[MAX_PATH];
  // The open request, kept while the device is open: its identifier and alias identify our notifications. Only
  // this module touches it and the element it points to.
  MCI_OPEN_PARMSW OpenParams;
  // The file being opened, as the wide call takes it.
  wchar_t Element[MAX_PATH];
};
extern AlarmSoundRecord AlarmSound;

// At the countdown's expiry: copies the alarm file to AlarmSound.PlayPath and, if one is set, has the main window
// stop any alarm still sounding and start it, by synchronous commands.
void HandOverAlarmAtExpiry();
// Opens the alarm file and plays it with completion notification to the window; 1 when it plays. On failure
// it reports the error, closes every device of the process and returns 0.
int OnTimerAlarmSoundStart(HWND window);
// Stops and closes a sounding alarm and ends the taskbar's flashing; the window owns any error box.
void OnTimerAlarmSoundStop(HWND window);
// MM_MCINOTIFY: a finished play starts the next one from the beginning until the alarm is stopped.
void OnMM_MCINotifyTimerAlarm(HWND window, WPARAM flags, LPARAM deviceId);

// For the tests only: nothing outside this module calls these.
// Every media control command goes through here; tests put a device here that fails where they want.
extern MCIERROR(WINAPI* MciCommand)(MCIDEVICEID device, UINT command, DWORD_PTR flags, DWORD_PTR params);
