// Every user choice, and the INI file beside the executable that keeps them between runs.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "records/app_settings_record.h"

// The settings file: the executable's path with the extension ".ini"; empty when the path is unknown.
extern std::wstring IniPath;

void BuildIniPath();
// Section Window_Position, before the main window exists; derives WindowShowCommand. The start-up's first read:
// a file that is there but cannot be read, even after about a second of trying again, leaves this run with the
// defaults and keeps it from writing the file.
void LoadWindowPosition();
// The other sections, in the order the main window's creation loads them (LoadSettings of the clock's run
// control). They only fill AppSettings.
void LoadTimerMode();
void LoadStopwatchSettings();
void LoadFontSettings();
void LoadDrawColors();
void LoadTimerSettings();
void LoadHotKeySettings();
void LoadExtraSettings();
// Writes every section, every key; false when the file could not be written, or could not be read to keep what
// else it holds, which the caller says. A run that could not read the file at start-up writes nothing.
bool SaveSettings();
// At start-up, once the main window is shown: a box owned by it when the settings file could not be read (the
// run keeps the defaults and leaves the file alone), or else when a save could not write it, so that the user
// can move the program before changing anything.
void WarnIfSettingsCannotBeSaved(HWND owner);
// At exit, after SaveSettings failed.
void SaySettingsNotSaved(HWND owner);

// The rules that turn stored values into settings, which the dialogs and the view toggles apply too.
int32_t RotDivisorFor(int32_t rotDivIndex);
int32_t DigitalOnlyFor(int32_t digitalOnOff, int32_t analogOnOff);
int32_t OpacityPercentFor(int32_t windowOpacity);
