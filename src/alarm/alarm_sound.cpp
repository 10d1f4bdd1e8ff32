// The timer alarm.
#include "alarm/alarm_sound.h"

Shared<int32_t> AlarmSoundActive;
char AlarmPlayPath[MAX_PATH];

// TODO: playing the alarm is not built yet (no device is ever opened, so AlarmSoundActive stays 0); stopping
// and closing the media control device comes with it.
void OnTimerAlarmSoundStop(HWND) {}

// TODO: playing the alarm file through the media control interface is not built yet; nothing plays.
int OnTimerAlarmSoundStart(HWND) { return 0; }

// TODO: replaying on completion comes with the alarm playback.
void OnMM_MCINotifyTimerAlarm(HWND, WPARAM, LPARAM) {}
