// The settings file: defaults, the written file, the rules that normalise stored values, and bad input.
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>
#include "helpers/file_handle.h"
#include "helpers/wide_text.h"
#include "settings/app_settings.h"
#include "settings/settings_file.h"
#include "support/engine_test.h"
#include "support/files.h"
#include "support/test_support.h"
#include "timing/countdown.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"

namespace {

// The file a first run writes when nothing was changed.
const char* const DefaultFile =
    "[StopWatch_Setting]\r\nAnalogModeOnOff=1\r\nDisitalModeOnOff=1\r\nSecondResolution=9\r\nFrameGraduation=1\r\n"
    "5SecIntervalMeasure=1\r\nLBClickStartStopEnable=1\r\nFontSizeDispFit=1\r\nStopWatchTotalTimeEnable=0\r\n"
    "RotDivIndex=0\r\n1SecDivIndex=0\r\n"
    "[Timer_Mode]\r\nTimer_Mode=0\r\n"
    "[Timer_Setting]\r\nTimerSettingHour=0\r\nTimerSettingMinute=5\r\nTimerSettingSecond=0\r\n"
    "TimerSecondResolutionIndex=0\r\nTimerAlarmSoundFile=\r\n"
    "[Font_Setting]\r\nHeight=14\r\nWidth=0\r\nEscapement=0\r\nOrientation=0\r\nWeight=400\r\nItalic=0\r\n"
    "Underline=0\r\nStrikeOut=0\r\nCharSet=128\r\nOutPrecision=3\r\nClipPrecision=2\r\nQuality=1\r\n"
    "PitchAndFamily=49\r\nFontFaceName=ＭＳ Ｐゴシック\r\nFontColor=0\r\n"
    "[Draw_Color]\r\nSecondHandColor=16744576\r\nClockFaceColor=12632256\r\nBackGroundColor=16744576\r\n"
    "[Window_Position]\r\nWindow_X_Pos=100\r\nWindow_Y_Pos=100\r\nWindow_Width=240\r\nWindow_Height=240\r\n"
    "Window_Maximize=0\r\nWindowTopMost=0\r\n"
    "[HotKey_Setting]\r\nHotKeyEnable=0\r\nHotKeyStartStop=1619\r\nHotKeyLap=1612\r\nHotKeyReset=1618\r\n"
    "[Extra_Setting]\r\nTimerOvertime=0\r\nCaptionTimeWhenMinimized=1\r\nWindowOpacity=100\r\nResumeAfterExit=0\r\n";

// Section headers and key names of a file, in order.
std::vector<std::string> Layout(const std::string& file) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < file.size()) {
    size_t end = file.find("\r\n", start);
    if (end == std::string::npos) end = file.size();
    const std::string line = file.substr(start, end - start);
    if (!line.empty()) names.push_back(line[0] == '[' ? line : line.substr(0, line.find('=')));
    start = end + 2;
  }
  return names;
}

class SettingsFile : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartAfresh();
  }
  // What each case of a test starts from: a clean engine and a settings file of its own.
  void StartAfresh() {
    test::ResetEngineState();
    path_ = test::ScratchFolder() + "\\Tavrilo.ini";
    IniPath = test::Wide(path_);
  }
  // Writes the file, then loads it as start-up does.
  void LoadFrom(const std::string& bytes) {
    test::WriteBytes(path_, bytes);
    Load();
  }
  void Load() {
    LoadWindowPosition();
    LoadSettings(test::StandInMainWindow());
  }
  std::string SaveAndRead() {
    SaveSettings();
    return test::ReadBytes(path_);
  }
  std::string path_;
};

TEST_F(SettingsFile, PathIsTheExecutablesOwnWithTheIniExtension) {
  char module[MAX_PATH];
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  BuildIniPath();
  std::string expected(module);
  expected.replace(expected.size() - 4, 4, ".ini");
  EXPECT_EQ(test::Narrow(IniPath), expected);
}

TEST_F(SettingsFile, FirstRunUsesEveryDefaultAndWritesTheCompleteFile) {
  Load();
  EXPECT_EQ(AppSettings.Window_X_Pos, 100);
  EXPECT_EQ(AppSettings.Window_Width, 240);
  EXPECT_EQ(AppSettings.WindowShowCommand, SW_SHOW);
  EXPECT_EQ(AppSettings.AnalogModeOnOff, 1);
  EXPECT_EQ(AppSettings.DigitalOnly, 0);
  EXPECT_EQ(AppSettings.RotDivisor, 1);
  EXPECT_EQ(AppSettings.Timer_Mode, 0);
  EXPECT_EQ(StopwatchClock.RefreshDivisor, 10);
  EXPECT_EQ(StopwatchClock.TimerStep, 1000);
  EXPECT_STREQ(AppSettings.Font_Setting.lfFaceName, "ＭＳ Ｐゴシック");
  EXPECT_EQ(AppSettings.Font_Setting.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(AppSettings.SecondHandColor, RGB(128, 128, 255));
  EXPECT_EQ(AppSettings.ClockFaceColor, RGB(192, 192, 192));
  EXPECT_STREQ(AppSettings.TimerAlarmSoundFile, "");
  EXPECT_STREQ(AppSettings.AlarmSoundDisplayName, L"");
  LoadCountdown(nullptr);
  EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 300000);

  EXPECT_EQ(SaveAndRead(), DefaultFile);  // the face name in Shift-JIS bytes
}

TEST_F(SettingsFile, ReadsBackWhatItWrote) {
  test::WriteBytes(path_, DefaultFile);
  Load();
  AppSettings.Window_X_Pos = -8;
  AppSettings.Timer_Mode = 1;
  AppSettings.OneSecDivIndex = 1;
  AppSettings.Font_Setting.lfItalic = 1;
  AppSettings.BackGroundColor = RGB(1, 2, 3);
  lstrcpyA(AppSettings.Font_Setting.lfFaceName, "ＭＳ ゴシック");
  AppSettings.HotKeyEnable = 1;
  AppSettings.HotKeyReset = 0x0170;  // Shift+F1
  SaveSettings();
  AppSettings = AppSettingsRecord{};
  Load();
  EXPECT_EQ(AppSettings.Window_X_Pos, -8);
  EXPECT_EQ(AppSettings.Timer_Mode, 1);
  EXPECT_EQ(AppSettings.OneSecDivIndex, 1);
  EXPECT_EQ(AppSettings.Font_Setting.lfItalic, 1);
  EXPECT_EQ(AppSettings.BackGroundColor, RGB(1, 2, 3));
  EXPECT_STREQ(AppSettings.Font_Setting.lfFaceName, "ＭＳ ゴシック");
  EXPECT_EQ(AppSettings.Font_Setting.lfHeight, 14);
  EXPECT_EQ(AppSettings.HotKeyEnable, 1);
  EXPECT_EQ(AppSettings.HotKeyReset, 0x0170);
}

struct StoredValueCase {
  const char* Stored;  // file content
  std::function<void()> Check;
  const char* WrittenBack;  // a line the saved file must hold
};

TEST_F(SettingsFile, NormalisesOnlyWhatItMustAndWritesOddValuesBack) {
  const StoredValueCase cases[] = {
      {"[Timer_Mode]\r\nTimer_Mode=2\r\n", [] { EXPECT_EQ(AppSettings.Timer_Mode, 0); }, "Timer_Mode=0"},
      {"[Window_Position]\r\nWindow_Maximize=2\r\n",
       [] { EXPECT_EQ(AppSettings.WindowShowCommand, SW_SHOW); }, "Window_Maximize=0"},
      {"[Window_Position]\r\nWindow_Maximize=1\r\n",
       [] { EXPECT_EQ(AppSettings.WindowShowCommand, SW_SHOWMAXIMIZED); }, "Window_Maximize=1"},
      {"[Window_Position]\r\nWindow_X_Pos=-8\r\n", [] { EXPECT_EQ(AppSettings.Window_X_Pos, -8); },
       "Window_X_Pos=-8"},
      {"[StopWatch_Setting]\r\nRotDivIndex=7\r\n", [] { EXPECT_EQ(AppSettings.RotDivisor, 1); }, "RotDivIndex=7"},
      {"[StopWatch_Setting]\r\nRotDivIndex=1\r\n", [] { EXPECT_EQ(AppSettings.RotDivisor, 2); }, "RotDivIndex=1"},
      {"[StopWatch_Setting]\r\nRotDivIndex=2\r\n", [] { EXPECT_EQ(AppSettings.RotDivisor, 4); }, "RotDivIndex=2"},
      {"[StopWatch_Setting]\r\nSecondResolution=42\r\n",
       [] { EXPECT_EQ(StopwatchClock.RefreshDivisor, 1000); }, "SecondResolution=42"},
      {"[StopWatch_Setting]\r\nSecondResolution=11\r\n",
       [] { EXPECT_EQ(StopwatchClock.RefreshDivisor, 1); }, "SecondResolution=11"},
      {"[Timer_Setting]\r\nTimerSecondResolutionIndex=-5\r\n",
       [] { EXPECT_EQ(StopwatchClock.TimerStep, 1000); }, "TimerSecondResolutionIndex=-5"},
      {"[StopWatch_Setting]\r\nAnalogModeOnOff=0\r\nDisitalModeOnOff=1\r\n",
       [] { EXPECT_EQ(AppSettings.DigitalOnly, 1); }, "AnalogModeOnOff=0"},
      {"[StopWatch_Setting]\r\nAnalogModeOnOff=0\r\nDisitalModeOnOff=0\r\n",
       [] { EXPECT_EQ(AppSettings.DigitalOnly, 0); }, "DisitalModeOnOff=0"},
      {"[Font_Setting]\r\nItalic=257\r\n", [] { EXPECT_EQ(AppSettings.Font_Setting.lfItalic, 1); }, "Italic=1"},
      {"[Font_Setting]\r\nCharSet=-1\r\n", [] { EXPECT_EQ(AppSettings.Font_Setting.lfCharSet, 255); },
       "CharSet=255"},
      {"[Timer_Setting]\r\nTimerSettingMinute=75\r\n",
       [] {
         LoadCountdown(nullptr);
         EXPECT_EQ(StopwatchClock.TimerRemaining.Ticks, 75 * 60000);
       },
       "TimerSettingMinute=75"},
      {"[Draw_Color]\r\nBackGroundColor=255\r\n", [] { EXPECT_EQ(AppSettings.BackGroundColor, RGB(255, 0, 0)); },
       "BackGroundColor=255"},
      {"[HotKey_Setting]\r\nHotKeyEnable=2\r\n", [] { EXPECT_EQ(AppSettings.HotKeyEnable, 2); }, "HotKeyEnable=2"},
      {"[HotKey_Setting]\r\nHotKeyLap=70000\r\n", [] { EXPECT_EQ(AppSettings.HotKeyLap, 70000); },
       "HotKeyLap=70000"},
      {"[Extra_Setting]\r\nTimerOvertime=5\r\nWindowOpacity=55\r\n",
       [] { EXPECT_EQ(OpacityPercentFor(AppSettings.WindowOpacity), 55); }, "TimerOvertime=5"},
      {"[Extra_Setting]\r\nWindowOpacity=150\r\n",
       [] { EXPECT_EQ(OpacityPercentFor(AppSettings.WindowOpacity), 100); }, "WindowOpacity=150"},
      {"[Extra_Setting]\r\nWindowOpacity=20\r\n",
       [] { EXPECT_EQ(OpacityPercentFor(AppSettings.WindowOpacity), 20); }, "WindowOpacity=20"},
      {"[Extra_Setting]\r\nWindowOpacity=19\r\n",
       [] { EXPECT_EQ(OpacityPercentFor(AppSettings.WindowOpacity), 100); }, "WindowOpacity=19"},
      // Unknown sections and keys stay where they were; a missing key ends its section.
      {"[Timer_Mode]\r\nTimer_Mode=1\r\n[Extra]\r\nMine=1\r\n[Font_Setting]\r\n;note\r\n",
       [] { EXPECT_EQ(AppSettings.Timer_Mode, 1); },
       "Timer_Mode=1\r\n[Extra]\r\nMine=1\r\n[Font_Setting]\r\n;note\r\nHeight=14"},
      // The bytes of a cut character are the file's own, not the code page's stand-in for them.
      {"[Font_Setting]\r\nFontFaceName=\"ゴシ\x83\"\r\n",
       [] { EXPECT_STREQ(AppSettings.Font_Setting.lfFaceName, "ゴシ"); }, "FontFaceName=ゴシ"},
  };
  for (const StoredValueCase& c : cases) {
    SCOPED_TRACE(c.Stored);
    StartAfresh();
    LoadFrom(c.Stored);
    c.Check();
    const std::string saved = SaveAndRead();
    EXPECT_NE(saved.find(std::string("\r\n") + c.WrittenBack + "\r\n"), std::string::npos) << saved;
  }
}

TEST_F(SettingsFile, BadFilesGiveDefaultsAndAreWrittenBackComplete) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919 + 13) % 256);
  const std::string defaults(DefaultFile);
  const std::string cases[] = {
      "",
      defaults.substr(0, defaults.find("ClockFaceColor") + 7),  // cut in the middle of a key
      garbage,
      "[StopWatch_Setting\r\nAnalogModeOnOff==\r\n=5\r\n[]\r\n[Timer_Mode\r\n",
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string& content = cases[i];
    SCOPED_TRACE(i);
    StartAfresh();
    LoadFrom(content);
    EXPECT_EQ(AppSettings.TimerSettingMinute, 5);
    EXPECT_EQ(AppSettings.Window_Width, 240);
    EXPECT_STREQ(AppSettings.Font_Setting.lfFaceName, "ＭＳ Ｐゴシック");
    // A file's own stray sections stay where they are; ours are complete after the next save.
    const std::vector<std::string> saved = Layout(SaveAndRead());
    for (const std::string& name : Layout(DefaultFile)) {
      EXPECT_NE(std::find(saved.begin(), saved.end(), name), saved.end()) << name;
    }
    if (i == 0) {  // nothing of its own to keep: the file is exactly a first run's
      EXPECT_EQ(SaveAndRead(), DefaultFile);
    }
  }
}

TEST_F(SettingsFile, AbsurdNumbersNeitherCrashNorOverflow) {
  for (const char* value : {"2147483647", "-2147483648", "abc", "99999999999999"}) {
    SCOPED_TRACE(value);
    StartAfresh();
    std::string file;
    for (const std::string& name : Layout(DefaultFile)) {
      file += name[0] == '[' ? name + "\r\n" : name + "=" + value + "\r\n";
    }
    LoadFrom(file);
    EXPECT_EQ(AppSettings.Timer_Mode, 0);
    EXPECT_EQ(AppSettings.Window_Maximize, 0);
    LoadCountdown(nullptr);
    EXPECT_GE(StopwatchClock.TimerRemaining.Ticks, 0);
    EXPECT_LE(StopwatchClock.TimerRemaining.Ticks, MaxCountdownTicks);
    EXPECT_TRUE(StopwatchClock.RefreshDivisor == 1000 || StopwatchClock.RefreshDivisor == 10);
    EXPECT_EQ(Layout(SaveAndRead()), Layout(DefaultFile));
  }
}

// Lines of odd but well-formed Shift-JIS files, for reading them as the profile functions do.
const std::string OddLines[] = {
    "[Font_Setting]", "  [ font_setting ]\x1a", "[Timer_Mode]junk", "[Extra]", "[Timer_Mode", "[Draw_Color]]",
    "Height=7", " HEIGHT\t= -3 ", "Width=\"12\"", "Width='0x1F'", "Weight=\"", "Weight=\"\"", "Italic=0b101",
    "FontFaceName=\"ＭＳ ゴシック\"", "FontFaceName = ゼ]ゾ ", "Timer_Mode", "=5", "=", ";Timer_Mode=1", "Quality=\x1a 9",
    "Escapement=12abc", "Orientation=4294967297", "CharSet=-0x80", "Underline=\x01" "3", "Weight=0X10",
    "StrikeOut=\"" + std::string(27, '0') + "12\"", "Width=" + std::string(28, '0') + "12", {"Height=4\0 5", 10}};
const char* const LineBreaks[] = {"\r\n", "\n", "\r", "\r\n \r\n"};

TEST_F(SettingsFile, ReadsAndWritesAnyFileAsTheProfileFunctionsDo) {
  const char* const sections[] = {"Font_Setting", "Timer_Mode", "Draw_Color]", "Extra", ""};
  const char* const keys[] = {"Height", "Width", "Weight", "Italic", "FontFaceName", "Timer_Mode", "Quality",
                              "Escapement", "Orientation", "CharSet", "Underline", "StrikeOut", "", "[Timer_Mode"};
  const std::string oldPath = path_ + ".old";
  const std::wstring path(path_.begin(), path_.end()), oldWay(oldPath.begin(), oldPath.end());
  std::mt19937 random(7);
  for (int i = 0; i < 60; ++i) {
    std::string content;
    for (int line = 0; line < 12; ++line) {
      content += OddLines[random() % std::size(OddLines)] + LineBreaks[random() % std::size(LineBreaks)];
    }
    SCOPED_TRACE(content);
    test::WriteBytes(path_, content);
    SettingsDocument file = ReadSettingsFile(path.c_str());
    for (const char* section : sections) {
      for (const char* key : keys) {
        char text[4096];
        const DWORD length = GetPrivateProfileStringA(section, key, "?none", text, sizeof text, path_.c_str());
        EXPECT_EQ(FindSettingsValue(file, section, key).value_or("?none"), std::string(text, length)) << key;
        EXPECT_EQ(ReadSettingsNumber(file, section, key, -7), GetPrivateProfileIntA(section, key, -7, path_.c_str()));
      }
    }
    // Writing keys one by one, some with the values they have, leaves what one write of the document leaves.
    CopyFileW(path.c_str(), oldWay.c_str(), FALSE);
    for (const char* key : {"Height", "FontFaceName", "Timer_Mode"}) {
      for (const char* section : {"Font_Setting", "Timer_Mode", "Added"}) {
        const std::optional<std::string> now = FindSettingsValue(file, section, key);
        if (!now && i % 3 == 0) continue;  // every third file is given the values it has, which needs no write
        const std::string value = now && (i % 3 == 0 || random() % 2) ? *now : " ゴシ 7";
        SetSettingsValue(file, section, key, value);
        WritePrivateProfileStringA(section, key, value.c_str(), oldPath.c_str());
      }
    }
    EXPECT_TRUE(!file.Changed || WriteSettingsFile(path.c_str(), file));
    EXPECT_EQ(test::ReadBytes(path_), test::ReadBytes(oldPath));
  }
}

TEST_F(SettingsFile, FaceNamesAreCutToWholeCharactersAndStoredOnlyInShiftJis) {
  LoadFrom("[Font_Setting]\r\nFontFaceName=0123456789012345678901234567890123456789\r\n");
  EXPECT_STREQ(AppSettings.Font_Setting.lfFaceName, "0123456789012345678901234567890");
  EXPECT_NE(SaveAndRead().find("FontFaceName=0123456789012345678901234567890\r\n"), std::string::npos);

  StartAfresh();
  LoadFrom("[Font_Setting]\r\nFontFaceName=ABゴシックゴシックゴシックゴシックゴシッ\r\n");  // 40 bytes
  // 30 bytes: the 31st would be the first half of a character.
  EXPECT_STREQ(AppSettings.Font_Setting.lfFaceName, "ABゴシックゴシックゴシックゴシ");

  // The wide API gets the face decoded from Shift-JIS; a chosen face Shift-JIS cannot name is not stored, nor one
  // that code page 932 would turn into a look-alike (é into e).
  LOGFONTW chosen = WideFont(AppSettings.Font_Setting);
  EXPECT_STREQ(chosen.lfFaceName, L"ABゴシックゴシックゴシックゴシ");
  for (const wchar_t* face : {L"맑은 고딕", L"Caf\u00e9", L"M\u00fcnchen", L"Espa\u00f1a"}) {
    lstrcpyW(chosen.lfFaceName, face);
    EXPECT_FALSE(StoreFont(chosen, AppSettings.Font_Setting)) << face;
  }
  EXPECT_STREQ(AppSettings.Font_Setting.lfFaceName, "ABゴシックゴシックゴシックゴシ");
}

// A save that fails part way (the disk filled up) or at the final move (another program holds the file without
// sharing its deletion) leaves the old bytes whole and no new file beside them.
TEST_F(SettingsFile, ASaveThatFailsPartWayOrAtTheMoveLeavesTheOldFileWhole) {
  LoadFrom("[StopWatch_Setting]\r\nSecondResolution=3\r\n");
  const std::string before = test::ReadBytes(path_);
  for (const bool moveFails : {false, true}) {
    SCOPED_TRACE(moveFails ? "the move" : "part way");
    FileHandle held;
    if (moveFails) {
      held = FileHandle(CreateFileW(IniPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(held.IsOpen());
    } else {
      WriteSettingsBytes = [](HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED) -> BOOL {
        WriteFile(file, bytes, size / 2, written, nullptr);
        return FALSE;
      };
    }
    EXPECT_FALSE(SaveSettings());
    WriteSettingsBytes = WriteFile;
    EXPECT_EQ(test::ReadBytes(path_), before);
    EXPECT_EQ(GetFileAttributesW(test::Wide(path_ + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
  }
  EXPECT_TRUE(SaveSettings());
  EXPECT_NE(test::ReadBytes(path_).find("SecondResolution=3\r\nAnalogModeOnOff=1\r\n"), std::string::npos);
}

// A first run in a folder that takes no new file (here one that is not there) is told it cannot save, though no
// file is there to be held.
TEST_F(SettingsFile, AFirstRunInAFolderThatTakesNoNewFileCannotSave) {
  ASSERT_EQ(GetFileAttributesW(IniPath.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(CanReplaceSettingsFile(IniPath));
  EXPECT_FALSE(CanReplaceSettingsFile(test::Wide(path_ + "-missing\\Tavrilo.ini").c_str()));
}

TEST_F(SettingsFile, AlarmFileIsKeptOnlyWhileItExists) {
  const std::string folder = test::ScratchFolder();
  const std::string sound = folder + "\\beep.wav";
  test::WriteBytes(sound, "RIFF");
  LoadFrom("[Timer_Setting]\r\nTimerAlarmSoundFile=" + sound + "\r\n");
  EXPECT_EQ(std::string(AppSettings.TimerAlarmSoundFile), sound);
  EXPECT_STREQ(AppSettings.AlarmSoundDisplayName, L"beep.wav");

  DeleteFileA(sound.c_str());
  StartAfresh();
  LoadFrom("[Timer_Setting]\r\nTimerAlarmSoundFile=" + sound + "\r\n");
  EXPECT_STREQ(AppSettings.TimerAlarmSoundFile, "");
  EXPECT_STREQ(AppSettings.AlarmSoundDisplayName, L"");
  EXPECT_NE(SaveAndRead().find("\r\nTimerAlarmSoundFile=\r\n"), std::string::npos);

  StartAfresh();
  LoadFrom("[Timer_Setting]\r\nTimerAlarmSoundFile=C:\\" + std::string(300, 'a') + ".wav\r\n");
  EXPECT_STREQ(AppSettings.TimerAlarmSoundFile, "");
}

}  // namespace
