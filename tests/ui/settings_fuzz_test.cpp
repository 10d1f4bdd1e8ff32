// Settings files generated from fixed seeds, every key of every section given hostile values, each driving the
// real main window: it loads the file, takes a lap, paints every view, closes through its destroy path within a
// bound, and writes back unchanged every value the program keeps as read.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>
#include "app/startup.h"
#include "display/paint.h"
#include "laps/lap_list.h"
#include "records/app_globals.h"
#include "settings/app_settings.h"
#include "settings/settings_file.h"
#include "support/engine_test.h"
#include "support/test_support.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"

namespace {

constexpr int CaseCount = 8;
constexpr int FilesPerCase = 50;
// A file normally takes a few tens of milliseconds; one that takes this long has frozen the program.
constexpr DWORD FileBudgetMs = 5000;

std::string Repeated(const std::string& text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) result += text;
  return result;
}

// The kinds of value every key is given, each drawn at random for each key of each file.
const std::vector<std::vector<std::string>> ValuePools = {
    {"-1", "-7", "-100000", "-65536", "-2147483648"},                 // negative
    {"0", "-0", "1", "2"},                                            // zero, and the flags' own values
    {"32768", "65536", "1000000", "16777215", "2147483647"},          // huge
    {"2147483648", "4294967296", "99999999999999", "-99999999999999", "18446744073709551616"},  // overflowing
    {"abc", "12abc", "0x7fffffff", "+", "1e9", " 42 ", "１２"},        // not a plain number
    {""},                                                             // empty
    {std::string(300, '9'), "1" + std::string(299, '0'), std::string(1000, 'A'), Repeated("ゴ", 200)},  // over-long
    // Shift-JIS text cut in half: at the value's end, or by the 31-byte face name.
    {"ゴシ\x83", "\x82", "１\x82", "ABゴシックゴシックゴシックゴシックゴシッ"},
};

struct IniKey {
  std::string Section;
  std::string Key;
};

// How the program keeps a key's value between reading and writing the file.
enum class Keeping {
  AsRead,
  LowByte,             // a byte field of the font
  Flag,                // anything but 1 is 0
  AsReadUnlessFitted,  // the font height, which a fitting FontSizeDispFit (0 or 1) replaces at every paint
  WholeCharacters,     // the face name: the whole characters within its 31 bytes
  WhileTheFileExists,  // the alarm file: forgotten when it is missing
  WindowCoordinate,    // the position, taken within the 16 bits of window messages, unless it is off every monitor
  FollowsTheWindow,    // the size and state, written from the window as the system made it
};

Keeping KeepingOf(const std::string& key) {
  static const std::map<std::string, Keeping> exceptions = {
      {"Window_X_Pos", Keeping::WindowCoordinate},  {"Window_Y_Pos", Keeping::WindowCoordinate},
      {"Window_Width", Keeping::FollowsTheWindow},  {"Window_Height", Keeping::FollowsTheWindow},
      {"Window_Maximize", Keeping::FollowsTheWindow}, {"Timer_Mode", Keeping::Flag},
      {"Height", Keeping::AsReadUnlessFitted},      {"Italic", Keeping::LowByte},
      {"Underline", Keeping::LowByte},              {"StrikeOut", Keeping::LowByte},
      {"CharSet", Keeping::LowByte},                {"OutPrecision", Keeping::LowByte},
      {"ClipPrecision", Keeping::LowByte},          {"Quality", Keeping::LowByte},
      {"PitchAndFamily", Keeping::LowByte},         {"FontFaceName", Keeping::WholeCharacters},
      {"TimerAlarmSoundFile", Keeping::WhileTheFileExists},
  };
  const auto found = exceptions.find(key);
  return found == exceptions.end() ? Keeping::AsRead : found->second;
}

std::string ReadText(const std::string& path, const IniKey& key, const std::string& fallback = "") {
  char text[4096] = "";
  GetPrivateProfileStringA(key.Section.c_str(), key.Key.c_str(), fallback.c_str(), text, sizeof text, path.c_str());
  return text;
}

// The longest start of `text` that is whole Shift-JIS characters within `maxBytes`.
std::string WholeCharacters(const std::string& text, size_t maxBytes) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t next = end + (IsDBCSLeadByteEx(932, static_cast<BYTE>(text[end])) ? 2 : 1);
    if (next > text.size() || next > maxBytes) break;
    end = next;
  }
  return text.substr(0, end);
}

// Reads the generated file, numbers through the profile calls and texts as bytes, with the program's own defaults
// (those of the file its first run writes), and says what it must write back for each key: nothing for a value that
// follows the window or the fitted read-out. A window that the stored position puts on no monitor is centred in the
// primary screen's work area at the size it was given (`outer`).
class WriteBackOracle {
 public:
  WriteBackOracle(std::string generated, std::string defaults, SIZE outer)
      : generated_(std::move(generated)), defaults_(std::move(defaults)), outer_(outer) {}

  std::optional<std::string> Expected(const IniKey& key) const {
    switch (KeepingOf(key.Key)) {
      case Keeping::AsRead: return std::to_string(Number(key));
      case Keeping::LowByte: return std::to_string(Number(key) & 0xFF);
      case Keeping::Flag: return Number(key) == 1 ? "1" : "0";
      case Keeping::AsReadUnlessFitted: {
        const int32_t fit = Number(IniKey{"StopWatch_Setting", "FontSizeDispFit"});
        if (fit == 0 || fit == 1) return std::nullopt;
        return std::to_string(Number(key));
      }
      case Keeping::WholeCharacters: return WholeCharacters(Text(key), LF_FACESIZE - 1);
      case Keeping::WhileTheFileExists: {
        const std::string path = WholeCharacters(Text(key), MAX_PATH - 1);
        return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? "" : path;
      }
      case Keeping::WindowCoordinate: {
        const bool isX = key.Key == "Window_X_Pos";
        const LONG x = std::clamp(Number({key.Section, "Window_X_Pos"}), -32768, 32767);
        const LONG y = std::clamp(Number({key.Section, "Window_Y_Pos"}), -32768, 32767);
        const RECT stored = {x, y, x + outer_.cx, y + outer_.cy};
        RECT work = {};
        if (MonitorFromRect(&stored, MONITOR_DEFAULTTONULL) || !SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
          return std::to_string(isX ? x : y);
        }
        return std::to_string(isX ? work.left + (work.right - work.left - outer_.cx) / 2
                                  : work.top + (work.bottom - work.top - outer_.cy) / 2);
      }
      case Keeping::FollowsTheWindow: return std::nullopt;
    }
    return std::nullopt;
  }

 private:
  int32_t Number(const IniKey& key) const {
    const UINT fallback = GetPrivateProfileIntA(key.Section.c_str(), key.Key.c_str(), 0, defaults_.c_str());
    return static_cast<int32_t>(GetPrivateProfileIntA(key.Section.c_str(), key.Key.c_str(),
                                                      static_cast<INT>(fallback), generated_.c_str()));
  }
  // The value's bytes as the file holds them: the profile functions would turn half a character into another.
  std::string Text(const IniKey& key) const { return BytesOf(generated_, key).value_or(*BytesOf(defaults_, key)); }
  static std::optional<std::string> BytesOf(const std::string& path, const IniKey& key) {
    const std::wstring wide(path.begin(), path.end());  // a scratch path, ASCII
    return FindSettingsValue(ReadSettingsFile(wide.c_str()), key.Section.c_str(), key.Key.c_str());
  }

  std::string generated_;
  std::string defaults_;
  SIZE outer_;
};

// Ends the process with a report when a file takes longer than its budget: a frozen paint never returns to let
// the test fail any other way.
class FreezeWatch {
 public:
  explicit FreezeWatch(std::string report) : report_(std::move(report)) {
    done_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
  }
  ~FreezeWatch() {
    SetEvent(done_);
    WaitForSingleObject(thread_, FileBudgetMs);
    CloseHandle(thread_);
    CloseHandle(done_);
  }
  FreezeWatch(const FreezeWatch&) = delete;
  FreezeWatch& operator=(const FreezeWatch&) = delete;

 private:
  static DWORD WINAPI Watch(void* param) {
    const FreezeWatch& watch = *static_cast<const FreezeWatch*>(param);
    if (WaitForSingleObject(watch.done_, FileBudgetMs) == WAIT_TIMEOUT) {
      fprintf(stderr, "FROZEN: no load, lap, paints and close within %lu ms: %s\n", FileBudgetMs,
              watch.report_.c_str());
      fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
  }
  std::string report_;
  HANDLE done_;
  HANDLE thread_;
};

// The views a settings file can ask for; each file's fonts and colours are painted in all of them.
struct View {
  int32_t TimerMode;
  int32_t Analog;
  int32_t Digital;
  int32_t DigitalOnly;
};
constexpr View Views[] = {
    {0, 1, 1, 0},  // the dial with its read-outs
    {0, 0, 1, 1},  // the digital read-out only
    {1, 1, 1, 0},  // the countdown
    {0, 0, 0, 0},  // both views off
};

class SettingsFuzz : public test::EngineTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    folder_ = test::ScratchFolder();
    // The class may be registered by an earlier test of this process; one registered here is removed again.
    registeredClass_ = RegisterMainWindowClass(AppInstance);
    keys_ = FirstRunKeys();
    ASSERT_FALSE(keys_.empty());
  }
  void TearDown() override {
    if (registeredClass_) UnregisterClassA(MAKEINTATOM(registeredClass_), AppInstance);
    EngineTest::TearDown();
  }

  // Every section and key of the file a first run writes, in its order; that file stays as the defaults.
  std::vector<IniKey> FirstRunKeys() {
    IniPath = test::Wide(DefaultsPath());
    LoadWindowPosition();
    LoadSettings(test::StandInMainWindow());
    SaveSettings();
    const std::string file = test::ReadBytes(DefaultsPath());
    std::vector<IniKey> keys;
    std::string section;
    for (size_t start = 0, end; start < file.size(); start = end + 2) {
      end = file.find("\r\n", start);
      if (end == std::string::npos) end = file.size();
      const std::string line = file.substr(start, end - start);
      if (line.empty()) continue;
      if (line[0] == '[') {
        section = line.substr(1, line.size() - 2);
      } else {
        keys.push_back(IniKey{section, line.substr(0, line.find('='))});
      }
    }
    return keys;
  }

  std::string DefaultsPath() const { return folder_ + "\\first-run.ini"; }

  std::string Generate(uint32_t seed) const {
    std::mt19937 random(seed);
    std::string file, section;
    for (const IniKey& key : keys_) {
      if (key.Section != section) {
        section = key.Section;
        file += "[" + section + "]\r\n";
      }
      const std::vector<std::string>& pool = ValuePools[random() % ValuePools.size()];
      file += key.Key + "=" + pool[random() % pool.size()] + "\r\n";
    }
    return file;
  }

  // The real main window, placed and sized as the file says (OpenRealMainWindow would put it off-screen and leave
  // the position keys untried). The screen lock keeps the program's own tests from running meanwhile.
  static HWND OpenMainWindow(const std::string& path) {
    IniPath = test::Wide(path);
    LoadWindowPosition();
    return CreateMainWindow(AppInstance, SW_SHOWNOACTIVATE) ? static_cast<HWND>(MainWindow) : nullptr;
  }

  // Runs the stopwatch on the held clock up to the refresh boundary at which a requested lap is recorded; the
  // lap counts as saved, so that the close asks nothing.
  static void TakeALap() {
    test::RunStopwatchFor(0);
    RequestLap();
    test::MoveClock(StopwatchClock.RefreshDivisor);
    StopStopwatch();
    LapList.Unsaved = 0;
  }

  static void SetView(const View& view) {
    AppSettingsRecord& s = AppSettings;
    s.Timer_Mode = view.TimerMode;
    s.AnalogModeOnOff = view.Analog;
    s.DisitalModeOnOff = view.Digital;
    s.DigitalOnly = view.DigitalOnly;
  }

  // Composes every view, then puts back the view fields as they were read.
  static void PaintEveryView() {
    const AppSettingsRecord& s = AppSettings;
    const View asRead = {s.Timer_Mode, s.AnalogModeOnOff, s.DisitalModeOnOff, s.DigitalOnly};
    for (const View& view : Views) {
      SetView(view);
      ComposeView();
    }
    SetView(asRead);
  }

  // WM_CLOSE posts the WM_DESTROY whose handler releases the display and saves the settings.
  static void CloseThroughTheDestroyPath(HWND window) {
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::WaitUntil([] { return BackBufferDC() == nullptr; }));
    DestroyWindow(window);
  }

  void RunFile(uint32_t seed) {
    const std::string path = folder_ + "\\Tavrilo.ini";
    const std::string content = Generate(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    const FreezeWatch watch("seed " + std::to_string(seed) + ":\n" + content);
    test::ResetEngineState();
    test::WriteBytes(path, content);
    const HWND window = OpenMainWindow(path);  // which writes nothing until it is closed
    ASSERT_NE(window, nullptr);
    RECT outer = {};
    GetWindowRect(window, &outer);
    const WriteBackOracle oracle(path, DefaultsPath(), SIZE{outer.right - outer.left, outer.bottom - outer.top});
    std::vector<std::optional<std::string>> expected;
    for (const IniKey& key : keys_) expected.push_back(oracle.Expected(key));
    TakeALap();
    EXPECT_EQ(LapList.Count, 1);
    PaintEveryView();
    CloseThroughTheDestroyPath(window);

    for (size_t i = 0; i < keys_.size(); ++i) {
      if (!expected[i]) continue;
      EXPECT_EQ(ReadText(path, keys_[i]), *expected[i]) << keys_[i].Section << " " << keys_[i].Key;
    }
  }

  std::vector<IniKey> keys_;
  std::string folder_;
  ATOM registeredClass_ = 0;
};

TEST_P(SettingsFuzz, EveryFileLoadsPaintsLapsAndClosesAndKeepsWhatItRead) {
  for (int file = 0; file < FilesPerCase; ++file) {
    RunFile(static_cast<uint32_t>(GetParam() * FilesPerCase + file));
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SettingsFuzz, ::testing::Range(0, CaseCount), [](const auto& info) {
  const int first = info.param * FilesPerCase;
  return "Seeds" + std::to_string(first) + "To" + std::to_string(first + FilesPerCase - 1);
});

}  // namespace
