// Every user choice, as the settings file keeps it; loaded and saved by the settings, read everywhere.
#pragma once
#include <windows.h>
#include <cstdint>

// One field per INI key, named after it. Two keys begin with a digit, which no C++ name may:
// "5SecIntervalMeasure" is FiveSecIntervalMeasure and "1SecDivIndex" is OneSecDivIndex.
struct AppSettingsRecord {
  // [Window_Position]
  int32_t Window_X_Pos;
  int32_t Window_Y_Pos;
  int32_t Window_Width;
  int32_t Window_Height;
  int32_t Window_Maximize;  // 0 or 1
  int32_t WindowTopMost;
  // [StopWatch_Setting]
  int32_t AnalogModeOnOff;
  int32_t DisitalModeOnOff;
  int32_t SecondResolution;  // index into ResolutionTable, kept as read even when no row holds it
  int32_t FrameGraduation;
  int32_t FiveSecIntervalMeasure;
  int32_t LBClickStartStopEnable;
  int32_t FontSizeDispFit;
  int32_t StopWatchTotalTimeEnable;
  int32_t RotDivIndex;
  int32_t OneSecDivIndex;
  // [Timer_Mode]
  int32_t Timer_Mode;  // 0 stopwatch, 1 timer
  // [Timer_Setting]
  int32_t TimerSettingHour;
  int32_t TimerSettingMinute;
  int32_t TimerSettingSecond;
  int32_t TimerSecondResolutionIndex;
  char TimerAlarmSoundFile[MAX_PATH];
  // [Font_Setting]
  LOGFONTA Font_Setting;
  COLORREF FontColor;
  // [Draw_Color]
  COLORREF SecondHandColor;
  COLORREF ClockFaceColor;
  COLORREF BackGroundColor;
  // [HotKey_Setting]
  int32_t HotKeyEnable;  // 1: the hotkeys below are registered; anything else: none is
  // Hotkey control values: the virtual key in the low byte, HOTKEYF_ flags in the next; 0 is no key.
  int32_t HotKeyStartStop;
  int32_t HotKeyLap;
  int32_t HotKeyReset;
  // [Extra_Setting]
  int32_t TimerOvertime;             // 1: the countdown counts on past zero; anything else: it stops there
  int32_t CaptionTimeWhenMinimized;  // 1: the minimised window's caption shows the running time
  int32_t WindowOpacity;             // percent, 20 to 100; other values count as 100
  int32_t ResumeAfterExit;           // 1: a normal exit keeps the measurement for the next start
  // Derived while loading, never stored.
  int32_t WindowShowCommand;
  int32_t DigitalOnly;
  int32_t RotDivisor;
  wchar_t AlarmSoundDisplayName[MAX_PATH];
};

extern AppSettingsRecord AppSettings;

// Which of the two modes is on display.
inline bool InTimerMode() { return AppSettings.Timer_Mode == 1; }
