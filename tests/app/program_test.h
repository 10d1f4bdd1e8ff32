// The base fixture of the tests that drive Tavrilo.exe: a copy started in a fresh folder beside a planted winmm.dll,
// started again with the settings it wrote, checked never to have loaded that DLL, ended and removed with its folder.
#pragma once
#include <gtest/gtest.h>
#include <cctype>
#include <string>
#include <vector>
#include "app/app_driver.h"
#include "support/files.h"
#include "support/poll.h"

namespace app {

class ProgramTest : public ::testing::Test {
 protected:
  // The journal and the lap files are written within moments.
  static constexpr DWORD FileWaitMs = 5000;

  // A run meant for another code page (TAVRILO_EXPECT_CODE_PAGE) first makes sure it has it: the program started
  // from here inherits the same locale.
  void SetUp() override { ASSERT_EQ(GetACP(), test::ExpectedCodePage()) << "the system code page"; }
  void TearDown() override {
    ExpectPlantedDllsUnloaded();
    Dispose(app_);
  }

  // Starts a fresh copy with `ini` as its settings file and waits until its first paint is done.
  void Start(const std::string& ini = "") {
    app_ = PrepareApp(ini);
    StartPrepared();
  }
  // Starts the copy prepared in app_ and waits until its first paint is done.
  void StartPrepared() {
    ASSERT_NO_FATAL_FAILURE(LaunchPrepared());
    ASSERT_TRUE(Settles(app_));
  }
  // Starts the copy prepared in app_, the planted DLLs beside it, and waits only for its window.
  void LaunchPrepared() {
    for (const char* dll : PlantedDlls) {
      ASSERT_TRUE(CopyFileW(test::Wide(test::ExecutableFolder() + "\\planted\\" + dll).c_str(),
                            test::Wide(app_.Folder + "\\" + dll).c_str(), FALSE));
    }
    ASSERT_TRUE(NoCopyRuns()) << "an earlier copy still holds the single-instance mutex";
    ASSERT_TRUE(Launch(app_)) << "no main window appeared";
  }
  // Under Wine a copy started at once after another ended has been seen to end at once, as a second copy does:
  // the ended copy's single-instance mutex may outlast the signal of its process for a moment.
  static bool NoCopyRuns() {
    return test::PollUntil([] {
      const HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"Tavrilo_Application_UserMode");
      return !mutex || !CloseHandle(mutex);
    });
  }
  // Stand-ins for system DLLs outside Windows' known list (tests/app/planted_dll.cpp), beside the copy as if planted
  // in a Downloads folder; the Wine environment prefers them to its own, as Windows does. Loaded, each leaves
  // "<name>.loaded" beside itself. (A version.dll cannot be planted so: Wine's own user32 imports it.)
  static constexpr const char* PlantedDlls[] = {"winmm.dll", "mciqtz32.dll"};
  void ExpectPlantedDllsUnloaded() const {
    for (const char* dll : PlantedDlls) {
      EXPECT_EQ(GetFileAttributesW(test::Wide(app_.Folder + "\\" + dll + ".loaded").c_str()), INVALID_FILE_ATTRIBUTES)
          << "the program loaded its " << dll;
    }
  }
  // Closes the program and starts a fresh copy with the settings file it wrote.
  void Restart() {
    ASSERT_EQ(CloseApp(app_), 0u);
    const std::string ini = test::ReadBytes(IniPathOf(app_));
    ExpectPlantedDllsUnloaded();
    Dispose(app_);
    Start(ini);
  }
  // Ends the copy as a crash or Task Manager would and starts it again in its folder, waiting only for its window.
  void KillAndRestart() {
    ASSERT_TRUE(TerminateProcess(app_.Process.hProcess, 1));
    ASSERT_EQ(WaitForSingleObject(app_.Process.hProcess, 15000), WAIT_OBJECT_0);
    CloseHandle(app_.Process.hThread);
    CloseHandle(app_.Process.hProcess);
    app_.Process = {};
    LaunchPrepared();
  }
  // Answers the question that a measurement left by a killed copy brings at the next start.
  void AnswerTheInterruption(int answer) {
    const MessageBoxText box = AnswerMessageBox(app_, answer);
    EXPECT_EQ(box.Caption, "Tavrilo");
    EXPECT_EQ(box.Text, "前回の計測が途中で中断されました。続けて計測しますか？");
  }
  // A file in the program's folder, or an empty string.
  std::string File(const std::string& name) const { return test::ReadBytes(app_.Folder + "\\" + name); }
  // The journal's lap lines, CRLF included, as written so far.
  std::vector<std::string> JournalLaps() const {
    std::vector<std::string> laps;
    const std::string bytes = File("Tavrilo.laps");
    for (size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
      if (isdigit(static_cast<unsigned char>(bytes[start]))) laps.push_back(bytes.substr(start, end + 2 - start));
    }
    return laps;
  }
  // Takes `count` laps with L while the stopwatch runs, each awaited in the journal: an L typed before the tick
  // has taken the one before would ask for the same lap.
  void TakeLaps(int count) {
    for (int i = 0; i < count; ++i) {
      const size_t before = JournalLaps().size();
      TypeChar(app_, 'L');
      ASSERT_TRUE(test::PollUntil([&] { return JournalLaps().size() == before + 1; }, FileWaitMs))
          << "lap " << before + 1;
    }
  }

  RunningApp app_;
};

}  // namespace app
