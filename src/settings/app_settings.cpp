// Every user choice, and the INI file beside the executable that keeps them between runs. The file is read
// and written as bytes through the settings file module, one table of keys per section, so that loading and
// saving can never disagree about a key, its order or its default.
#include "settings/app_settings.h"
#include <commctrl.h>
#include <cstdio>
#include <string>
#include "helpers/file_paths.h"
#include "helpers/message_box.h"
#include "helpers/wide_text.h"
#include "settings/settings_file.h"

std::wstring IniPath;

namespace {

// What a key's field is, which says how its value is read from the file and written back. Numbers are stored
// as 32-bit decimal integers; a byte keeps the low 8 bits of what was stored.
enum class KeyKind { Int32, Long, Byte, Colour, Text };

struct SettingKey {
  const char* Name;
  KeyKind Kind;
  void* Field;  // points to a field of the type its kind names
  int32_t DefaultNumber;
  const char* DefaultText;
  int TextSize;  // a text's buffer size in bytes
};

// One maker per field type, so that a key's kind always matches its field.
SettingKey Number(const char* name, int32_t* field, int32_t byDefault) {
  return {name, KeyKind::Int32, field, byDefault, nullptr, 0};
}
SettingKey Number(const char* name, LONG* field, int32_t byDefault) {
  return {name, KeyKind::Long, field, byDefault, nullptr, 0};
}
SettingKey Number(const char* name, BYTE* field, int32_t byDefault) {
  return {name, KeyKind::Byte, field, byDefault, nullptr, 0};
}
SettingKey Number(const char* name, COLORREF* field, COLORREF byDefault) {
  return {name, KeyKind::Colour, field, static_cast<int32_t>(byDefault), nullptr, 0};
}
SettingKey Text(const char* name, char* buffer, int size, const char* byDefault) {
  return {name, KeyKind::Text, buffer, 0, byDefault, size};
}

struct Section {
  const char* Name;
  const SettingKey* Keys;
  size_t Count;
};

template <size_t N>
constexpr Section MakeSection(const char* name, const SettingKey (&keys)[N]) {
  return Section{name, keys, N};
}

// "ＭＳ Ｐゴシック" as the file stores it, in Shift-JIS.
constexpr char DefaultFaceName[] = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";

AppSettingsRecord& S = AppSettings;
LOGFONTA& F = AppSettings.Font_Setting;

const SettingKey WindowPositionKeys[] = {
    Number("Window_X_Pos", &S.Window_X_Pos, 100),
    Number("Window_Y_Pos", &S.Window_Y_Pos, 100),
    Number("Window_Width", &S.Window_Width, 240),
    Number("Window_Height", &S.Window_Height, 240),
    Number("Window_Maximize", &S.Window_Maximize, 0),
    Number("WindowTopMost", &S.WindowTopMost, 0),
};

const SettingKey StopwatchKeys[] = {
    Number("AnalogModeOnOff", &S.AnalogModeOnOff, 1),
    Number("DisitalModeOnOff", &S.DisitalModeOnOff, 1),
    Number("SecondResolution", &S.SecondResolution, 9),
    Number("FrameGraduation", &S.FrameGraduation, 1),
    Number("5SecIntervalMeasure", &S.FiveSecIntervalMeasure, 1),
    Number("LBClickStartStopEnable", &S.LBClickStartStopEnable, 1),
    Number("FontSizeDispFit", &S.FontSizeDispFit, 1),
    Number("StopWatchTotalTimeEnable", &S.StopWatchTotalTimeEnable, 0),
    Number("RotDivIndex", &S.RotDivIndex, 0),
    Number("1SecDivIndex", &S.OneSecDivIndex, 0),
};

const SettingKey TimerModeKeys[] = {
    Number("Timer_Mode", &S.Timer_Mode, 0),
};

const SettingKey TimerSettingKeys[] = {
    Number("TimerSettingHour", &S.TimerSettingHour, 0),
    Number("TimerSettingMinute", &S.TimerSettingMinute, 5),
    Number("TimerSettingSecond", &S.TimerSettingSecond, 0),
    Number("TimerSecondResolutionIndex", &S.TimerSecondResolutionIndex, 0),
    Text("TimerAlarmSoundFile", S.TimerAlarmSoundFile, MAX_PATH, ""),
};

const SettingKey FontKeys[] = {
    Number("Height", &F.lfHeight, 14),
    Number("Width", &F.lfWidth, 0),
    Number("Escapement", &F.lfEscapement, 0),
    Number("Orientation", &F.lfOrientation, 0),
    Number("Weight", &F.lfWeight, FW_NORMAL),
    Number("Italic", &F.lfItalic, 0),
    Number("Underline", &F.lfUnderline, 0),
    Number("StrikeOut", &F.lfStrikeOut, 0),
    Number("CharSet", &F.lfCharSet, SHIFTJIS_CHARSET),
    Number("OutPrecision", &F.lfOutPrecision, OUT_STROKE_PRECIS),
    Number("ClipPrecision", &F.lfClipPrecision, CLIP_STROKE_PRECIS),
    Number("Quality", &F.lfQuality, DRAFT_QUALITY),
    Number("PitchAndFamily", &F.lfPitchAndFamily, FF_MODERN | FIXED_PITCH),
    Text("FontFaceName", F.lfFaceName, LF_FACESIZE, DefaultFaceName),
    Number("FontColor", &S.FontColor, 0),
};

const SettingKey DrawColorKeys[] = {
    Number("SecondHandColor", &S.SecondHandColor, RGB(128, 128, 255)),
    Number("ClockFaceColor", &S.ClockFaceColor, RGB(192, 192, 192)),
    Number("BackGroundColor", &S.BackGroundColor, RGB(128, 128, 255)),
};

const SettingKey HotKeyKeys[] = {
    Number("HotKeyEnable", &S.HotKeyEnable, 0),
    Number("HotKeyStartStop", &S.HotKeyStartStop, (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'S'),
    Number("HotKeyLap", &S.HotKeyLap, (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'L'),
    Number("HotKeyReset", &S.HotKeyReset, (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'R'),
};

const SettingKey ExtraKeys[] = {
    Number("TimerOvertime", &S.TimerOvertime, 0),
    Number("CaptionTimeWhenMinimized", &S.CaptionTimeWhenMinimized, 1),
    Number("WindowOpacity", &S.WindowOpacity, 100),
    Number("ResumeAfterExit", &S.ResumeAfterExit, 0),
};

const Section WindowPositionSection = MakeSection("Window_Position", WindowPositionKeys);
const Section StopwatchSection = MakeSection("StopWatch_Setting", StopwatchKeys);
const Section TimerModeSection = MakeSection("Timer_Mode", TimerModeKeys);
const Section TimerSettingSection = MakeSection("Timer_Setting", TimerSettingKeys);
const Section FontSection = MakeSection("Font_Setting", FontKeys);
const Section DrawColorSection = MakeSection("Draw_Color", DrawColorKeys);
const Section HotKeySection = MakeSection("HotKey_Setting", HotKeyKeys);
const Section ExtraSection = MakeSection("Extra_Setting", ExtraKeys);

void StoreNumber(const SettingKey& key, int32_t value) {
  switch (key.Kind) {
    case KeyKind::Int32: *static_cast<int32_t*>(key.Field) = value; break;
    case KeyKind::Long: *static_cast<LONG*>(key.Field) = value; break;
    case KeyKind::Byte: *static_cast<BYTE*>(key.Field) = static_cast<BYTE>(value & 0xFF); break;
    case KeyKind::Colour: *static_cast<COLORREF*>(key.Field) = static_cast<COLORREF>(value); break;
    case KeyKind::Text: break;
  }
}

int32_t StoredNumber(const SettingKey& key) {
  switch (key.Kind) {
    case KeyKind::Int32: return *static_cast<const int32_t*>(key.Field);
    case KeyKind::Long: return static_cast<int32_t>(*static_cast<const LONG*>(key.Field));
    case KeyKind::Byte: return *static_cast<const BYTE*>(key.Field);
    case KeyKind::Colour: return static_cast<int32_t>(*static_cast<const COLORREF*>(key.Field));
    case KeyKind::Text: break;
  }
  return 0;
}

// A settings file that is there but cannot be read is tried again for this long: sync clients, backups and virus
// scanners hold a file without sharing for moments.
constexpr DWORD UnreadRetryMillis = 1000;
constexpr DWORD UnreadRetryStep = 100;

// Whether this run found the file there but could not read it: the run then keeps the defaults and never writes
// the file, whose values it does not know. Each start-up finds out afresh.
bool FileUnread = false;

SettingsDocument ReadIniFile() {
  SettingsDocument file = ReadSettingsFile(IniPath);
  for (DWORD waited = 0; file.Unread && waited < UnreadRetryMillis; waited += UnreadRetryStep) {
    Sleep(UnreadRetryStep);
    file = ReadSettingsFile(IniPath);
  }
  return file;
}

void LoadKey(const SettingsDocument& file, const char* section, const SettingKey& key) {
  if (key.Kind == KeyKind::Text) {
    char* text = static_cast<char*>(key.Field);
    const std::optional<std::string> value = FindSettingsValue(file, section, key.Name);
    lstrcpynA(text, value ? value->c_str() : key.DefaultText, key.TextSize);
    DropHalfShiftJisCharacter(text);
    return;
  }
  StoreNumber(key, static_cast<int32_t>(ReadSettingsNumber(file, section, key.Name, key.DefaultNumber)));
}

void SaveKey(SettingsDocument& file, const char* section, const SettingKey& key) {
  if (key.Kind == KeyKind::Text) {
    SetSettingsValue(file, section, key.Name, static_cast<const char*>(key.Field));
    return;
  }
  char number[16];
  wsprintfA(number, "%d", StoredNumber(key));
  SetSettingsValue(file, section, key.Name, number);
}

void LoadSection(const Section& section) {
  const SettingsDocument file = FileUnread ? SettingsDocument{} : ReadIniFile();
  if (file.Unread) FileUnread = true;
  for (size_t i = 0; i < section.Count; ++i) LoadKey(file, section.Name, section.Keys[i]);
}

void SaveSection(SettingsDocument& file, const Section& section) {
  for (size_t i = 0; i < section.Count; ++i) SaveKey(file, section.Name, section.Keys[i]);
}

// An alarm file that is gone since the last run is forgotten.
void ForgetMissingAlarmFile() {
  char* path = AppSettings.TimerAlarmSoundFile;
  if (path[0] != '\0' && !FileExists(FromShiftJis(path).c_str())) path[0] = '\0';
}

// The rules that turn stored flags into settings.
int32_t FlagExactlyOne(int32_t stored) { return stored == 1 ? 1 : 0; }

int32_t ShowCommandFor(int32_t windowMaximize) { return windowMaximize == 1 ? SW_SHOWMAXIMIZED : SW_SHOW; }

// File name and extension of TimerAlarmSoundFile into AlarmSoundDisplayName: a short path stored for a name
// Shift-JIS cannot hold is shown by its long name.
void UpdateAlarmSoundDisplayName() {
  const std::wstring stored = FromShiftJis(AppSettings.TimerAlarmSoundFile);
  wchar_t longPath[MAX_PATH];
  const DWORD length = GetLongPathNameW(stored.c_str(), longPath, MAX_PATH);
  const wchar_t* const shown = length > 0 && length < MAX_PATH ? longPath : stored.c_str();
  lstrcpynW(AppSettings.AlarmSoundDisplayName, FileNamePart(shown), MAX_PATH);
}

}  // namespace

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

void BuildIniPath() { IniPath = PathBesideProgram(L".ini"); }

void LoadWindowPosition() {
  FileUnread = false;
  LoadSection(WindowPositionSection);
  AppSettings.Window_Maximize = FlagExactlyOne(AppSettings.Window_Maximize);
  AppSettings.WindowShowCommand = ShowCommandFor(AppSettings.Window_Maximize);
}

void LoadTimerMode() {
  LoadSection(TimerModeSection);
  AppSettings.Timer_Mode = FlagExactlyOne(AppSettings.Timer_Mode);
}

void LoadStopwatchSettings() {
  LoadSection(StopwatchSection);
  AppSettings.DigitalOnly = DigitalOnlyFor(AppSettings.DisitalModeOnOff, AppSettings.AnalogModeOnOff);
  AppSettings.RotDivisor = RotDivisorFor(AppSettings.RotDivIndex);
}

void LoadFontSettings() { LoadSection(FontSection); }

void LoadDrawColors() { LoadSection(DrawColorSection); }

void LoadTimerSettings() {
  LoadSection(TimerSettingSection);
  ForgetMissingAlarmFile();
  UpdateAlarmSoundDisplayName();
}

void LoadHotKeySettings() { LoadSection(HotKeySection); }

void LoadExtraSettings() { LoadSection(ExtraSection); }

int32_t OpacityPercentFor(int32_t stored) { return stored >= 20 && stored <= 100 ? stored : 100; }

bool SaveSettings() {
  if (FileUnread) return true;  // the file stays as the user left it, which the start-up said
  SettingsDocument file = ReadIniFile();
  if (file.Unread) return false;  // never written over what could not be read
  for (const Section* section : {&StopwatchSection, &TimerModeSection, &TimerSettingSection, &FontSection,
                                 &DrawColorSection, &WindowPositionSection, &HotKeySection, &ExtraSection}) {
    SaveSection(file, *section);
  }
  // A file that already holds every value is left as it is, blank lines and all.
  return !file.Changed || WriteSettingsFile(IniPath, file);
}

void WarnIfSettingsCannotBeSaved(HWND owner) {
  if (FileUnread) {
    const std::wstring text = std::wstring(L"設定ファイル「") + IniPath +
                              L"」を読み込めませんでした。今回は初期設定で起動し、終了時に設定ファイルは書き換えません。";
    ShowMessageBox(owner, text.c_str());
    return;
  }
  if (CanReplaceSettingsFile(IniPath)) return;
  const std::wstring text = std::wstring(L"設定ファイル「") + IniPath +
                            L"」に書き込めません。このままでは設定は保存されません。書き込めるフォルダーに"
                            L"プログラムを移してください。";
  ShowMessageBox(owner, text.c_str());
}

void SaySettingsNotSaved(HWND owner) {
  const std::wstring text =
      std::wstring(L"設定ファイル「") + IniPath + L"」に書き込めなかったため、設定は保存されませんでした。";
  ShowMessageBox(owner, text.c_str());
}
