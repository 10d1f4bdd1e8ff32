// Every user choice, and the INI file beside the executable that keeps them between runs. The file is read
// and written only through the private-profile functions, one table of keys per section, so that loading and
// saving can never disagree about a key, its order or its default.
#include "settings/app_settings.h"
#include <cstdio>
#include <variant>
#include "helpers/file_paths.h"
#include "timing/run_control.h"

char IniPath[MAX_PATH];

namespace {

struct TextField {
  char* Buffer;
  int Size;
};
using SettingField = std::variant<int32_t*, Shared<int32_t>*, LONG*, BYTE*, COLORREF*, TextField>;

struct SettingKey {
  const char* Key;
  SettingField Field;
  int32_t DefaultNumber;
  const char* DefaultText;
};

struct Section {
  const char* Name;
  const SettingKey* Keys;
  size_t Count;
};

template <size_t N>
constexpr Section MakeSection(const char* name, const SettingKey (&keys)[N]) {
  return Section{name, keys, N};
}

AppSettingsRecord& S = AppSettings;
LOGFONTA& F = AppSettings.Font_Setting;

const SettingKey WindowPositionKeys[] = {
    {"Window_X_Pos", &S.Window_X_Pos, 100, nullptr},
    {"Window_Y_Pos", &S.Window_Y_Pos, 100, nullptr},
    {"Window_Width", &S.Window_Width, 240, nullptr},
    {"Window_Height", &S.Window_Height, 240, nullptr},
    {"Window_Maximize", &S.Window_Maximize, 0, nullptr},
    {"WindowTopMost", &S.WindowTopMost, 0, nullptr},
};

const SettingKey StopwatchKeys[] = {
    {"AnalogModeOnOff", &S.AnalogModeOnOff, 1, nullptr},
    {"DisitalModeOnOff", &S.DisitalModeOnOff, 1, nullptr},
    {"SecondResolution", &S.SecondResolution, 9, nullptr},
    {"FrameGraduation", &S.FrameGraduation, 1, nullptr},
    {"5SecIntervalMeasure", &S.FiveSecIntervalMeasure, 1, nullptr},
    {"LBClickStartStopEnable", &S.LBClickStartStopEnable, 1, nullptr},
    {"FontSizeDispFit", &S.FontSizeDispFit, 1, nullptr},
    {"StopWatchTotalTimeEnable", &S.StopWatchTotalTimeEnable, 0, nullptr},
    {"RotDivIndex", &S.RotDivIndex, 0, nullptr},
    {"1SecDivIndex", &S.OneSecDivIndex, 0, nullptr},
};

const SettingKey TimerModeKeys[] = {
    {"Timer_Mode", &S.Timer_Mode, 0, nullptr},
};

const SettingKey TimerSettingKeys[] = {
    {"TimerSettingHour", &S.TimerSettingHour, 0, nullptr},
    {"TimerSettingMinute", &S.TimerSettingMinute, 5, nullptr},
    {"TimerSettingSecond", &S.TimerSettingSecond, 0, nullptr},
    {"TimerSecondResolutionIndex", &S.TimerSecondResolutionIndex, 0, nullptr},
    {"TimerAlarmSoundFile", TextField{S.TimerAlarmSoundFile, MAX_PATH}, 0, ""},
};

const SettingKey FontKeys[] = {
    {"Height", &F.lfHeight, 14, nullptr},
    {"Width", &F.lfWidth, 0, nullptr},
    {"Escapement", &F.lfEscapement, 0, nullptr},
    {"Orientation", &F.lfOrientation, 0, nullptr},
    {"Weight", &F.lfWeight, FW_NORMAL, nullptr},
    {"Italic", &F.lfItalic, 0, nullptr},
    {"Underline", &F.lfUnderline, 0, nullptr},
    {"StrikeOut", &F.lfStrikeOut, 0, nullptr},
    {"CharSet", &F.lfCharSet, SHIFTJIS_CHARSET, nullptr},
    {"OutPrecision", &F.lfOutPrecision, OUT_STROKE_PRECIS, nullptr},
    {"ClipPrecision", &F.lfClipPrecision, CLIP_STROKE_PRECIS, nullptr},
    {"Quality", &F.lfQuality, DRAFT_QUALITY, nullptr},
    {"PitchAndFamily", &F.lfPitchAndFamily, FF_MODERN | FIXED_PITCH, nullptr},
    {"FontFaceName", TextField{F.lfFaceName, LF_FACESIZE}, 0, "ＭＳ Ｐゴシック"},
    {"FontColor", &S.FontColor, 0, nullptr},
};

const SettingKey DrawColorKeys[] = {
    {"SecondHandColor", &S.SecondHandColor, static_cast<int32_t>(RGB(128, 128, 255)), nullptr},
    {"ClockFaceColor", &S.ClockFaceColor, static_cast<int32_t>(RGB(192, 192, 192)), nullptr},
    {"BackGroundColor", &S.BackGroundColor, static_cast<int32_t>(RGB(128, 128, 255)), nullptr},
};

const Section WindowPositionSection = MakeSection("Window_Position", WindowPositionKeys);
const Section StopwatchSection = MakeSection("StopWatch_Setting", StopwatchKeys);
const Section TimerModeSection = MakeSection("Timer_Mode", TimerModeKeys);
const Section TimerSettingSection = MakeSection("Timer_Setting", TimerSettingKeys);
const Section FontSection = MakeSection("Font_Setting", FontKeys);
const Section DrawColorSection = MakeSection("Draw_Color", DrawColorKeys);

// A text cut to its buffer may end in the first byte of a double-byte character; drop that half character
// so that the name stays valid text when it is used and written back.
void TrimHalfCharacter(char* text) {
  for (char* p = text; *p; ++p) {
    if (IsDBCSLeadByte(static_cast<BYTE>(*p))) {
      if (p[1] == '\0') {
        *p = '\0';
        return;
      }
      ++p;
    }
  }
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

void LoadKey(const char* section, const SettingKey& key) {
  if (const TextField* text = std::get_if<TextField>(&key.Field)) {
    // Wine may leave a byte of the old content behind a cut text; start from an empty buffer.
    ZeroMemory(text->Buffer, text->Size);
    GetPrivateProfileStringA(section, key.Key, key.DefaultText, text->Buffer, text->Size, IniPath);
    TrimHalfCharacter(text->Buffer);
    return;
  }
  const auto value = static_cast<int32_t>(GetPrivateProfileIntA(section, key.Key, key.DefaultNumber, IniPath));
  std::visit(Overloaded{
                 [&](int32_t* field) { *field = value; },
                 [&](Shared<int32_t>* field) { *field = value; },
                 [&](LONG* field) { *field = value; },
                 [&](BYTE* field) { *field = static_cast<BYTE>(value & 0xFF); },
                 [&](COLORREF* field) { *field = static_cast<COLORREF>(value); },
                 [&](TextField) {},
             },
             key.Field);
}

void SaveKey(const char* section, const SettingKey& key) {
  if (const TextField* text = std::get_if<TextField>(&key.Field)) {
    WritePrivateProfileStringA(section, key.Key, text->Buffer, IniPath);
    return;
  }
  const int32_t value = std::visit(Overloaded{
                                       [](int32_t* field) { return *field; },
                                       [](Shared<int32_t>* field) { return field->get(); },
                                       [](LONG* field) { return static_cast<int32_t>(*field); },
                                       [](BYTE* field) { return static_cast<int32_t>(*field); },
                                       [](COLORREF* field) { return static_cast<int32_t>(*field); },
                                       [](TextField) { return 0; },
                                   },
                                   key.Field);
  char number[16];
  wsprintfA(number, "%d", value);
  WritePrivateProfileStringA(section, key.Key, number, IniPath);
}

void LoadSection(const Section& section) {
  for (size_t i = 0; i < section.Count; ++i) LoadKey(section.Name, section.Keys[i]);
}

void SaveSection(const Section& section) {
  for (size_t i = 0; i < section.Count; ++i) SaveKey(section.Name, section.Keys[i]);
}

// An alarm file that is gone since the last run is forgotten. The test is a directory search, as the open
// dialog's own existence check would be.
void ForgetMissingAlarmFile() {
  char* path = AppSettings.TimerAlarmSoundFile;
  if (path[0] == '\0') return;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) {
    path[0] = '\0';
  } else {
    FindClose(search);
  }
}

}  // namespace

int32_t FlagExactlyOne(int32_t stored) { return stored == 1 ? 1 : 0; }

int32_t ShowCommandFor(int32_t windowMaximize) { return windowMaximize == 1 ? SW_SHOWMAXIMIZED : SW_SHOW; }

int32_t RotDivisorFor(int32_t rotDivIndex) {
  switch (rotDivIndex) {
    case 1: return 2;
    case 2: return 4;
    default: return 1;
  }
}

int32_t DigitalOnlyFor(int32_t digitalOnOff, int32_t analogOnOff) {
  return digitalOnOff == 1 && analogOnOff == 0 ? 1 : 0;
}

void UpdateAlarmSoundDisplayName() {
  const char* path = AppSettings.TimerAlarmSoundFile;
  lstrcpynA(AppSettings.AlarmSoundDisplayName, path + SplitPath(path).FolderLength, MAX_PATH);
}

void BuildIniPath() { PathBesideProgram(".ini", IniPath); }

void LoadWindowPosition() {
  LoadSection(WindowPositionSection);
  AppSettings.Window_Maximize = FlagExactlyOne(AppSettings.Window_Maximize);
  AppSettings.WindowShowCommand = ShowCommandFor(AppSettings.Window_Maximize);
}

void LoadTimerMode() {
  LoadSection(TimerModeSection);
  AppSettings.Timer_Mode = FlagExactlyOne(AppSettings.Timer_Mode);
}

void LoadStopwatchSettings(HWND window) {
  LoadSection(StopwatchSection);
  AppSettings.DigitalOnly = DigitalOnlyFor(AppSettings.DisitalModeOnOff, AppSettings.AnalogModeOnOff);
  SelectStopwatchResolution(AppSettings.SecondResolution, window);
  AppSettings.RotDivisor = RotDivisorFor(AppSettings.RotDivIndex);
}

void LoadFontSettings() { LoadSection(FontSection); }

void LoadDrawColors() { LoadSection(DrawColorSection); }

void LoadTimerSettings(HWND window) {
  LoadSection(TimerSettingSection);
  SelectTimerResolution(AppSettings.TimerSecondResolutionIndex, window);
  ForgetMissingAlarmFile();
  UpdateAlarmSoundDisplayName();
}

void LoadSettings(HWND window) {
  LoadTimerMode();
  LoadStopwatchSettings(window);
  LoadFontSettings();
  LoadDrawColors();
  LoadTimerSettings(window);
}

void SaveSettings() {
  SaveSection(StopwatchSection);
  SaveSection(TimerModeSection);
  SaveSection(TimerSettingSection);
  SaveSection(FontSection);
  SaveSection(DrawColorSection);
  SaveSection(WindowPositionSection);
}
