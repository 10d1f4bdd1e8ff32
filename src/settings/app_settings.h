// Every user choice, and the INI file beside the executable that keeps them between runs.
#pragma once
#include <windows.h>
#include <cstdint>
#include "timing/shared_value.h"

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
  Shared<int32_t> OneSecDivIndex;  // the tick reads it when it writes a lap
  // [Timer_Mode]
  Shared<int32_t> Timer_Mode;  // 0 stopwatch, 1 timer; both ticks read it
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
  // Derived while loading, never stored.
  int32_t WindowShowCommand;
  int32_t DigitalOnly;
  int32_t RotDivisor;
  char AlarmSoundDisplayName[MAX_PATH];
};

extern AppSettingsRecord AppSettings;
// The settings file: the executable's path with the extension ".ini"; empty when the path is unknown.
extern char IniPath[MAX_PATH];

void BuildIniPath();
// Section Window_Position, before the main window exists; derives WindowShowCommand.
void LoadWindowPosition();
// The other sections, in the order the main window's creation loads them. They only fill AppSettings: the
// caller gives the clock the stored resolutions.
void LoadTimerMode();
void LoadStopwatchSettings();
void LoadFontSettings();
void LoadDrawColors();
void LoadTimerSettings();
void LoadSettings();
// Writes all six sections, every key.
void SaveSettings();

// The rules that turn stored values into settings.
int32_t FlagExactlyOne(int32_t stored);
int32_t ShowCommandFor(int32_t windowMaximize);
int32_t RotDivisorFor(int32_t rotDivIndex);
int32_t DigitalOnlyFor(int32_t digitalOnOff, int32_t analogOnOff);
// File name and extension of TimerAlarmSoundFile into AlarmSoundDisplayName.
void UpdateAlarmSoundDisplayName();
