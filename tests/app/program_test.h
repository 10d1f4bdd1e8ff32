// The base fixture of the tests that drive Tavrilo.exe: a copy started in a fresh folder, started again with the
// settings it wrote, and always ended and removed with its folder.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include "app/app_driver.h"
#include "support/files.h"

namespace app {

class ProgramTest : public ::testing::Test {
 protected:
  void TearDown() override { Dispose(app_); }

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
  // Starts the copy prepared in app_ and waits only for its window.
  void LaunchPrepared() { ASSERT_TRUE(Launch(app_)) << "no main window appeared"; }
  // Closes the program and starts a fresh copy with the settings file it wrote.
  void Restart() {
    ASSERT_EQ(CloseApp(app_), 0u);
    const std::string ini = test::ReadBytes(IniPathOf(app_));
    Dispose(app_);
    Start(ini);
  }
  // A file in the program's folder, or an empty string.
  std::string File(const std::string& name) const { return test::ReadBytes(app_.Folder + "\\" + name); }

  RunningApp app_;
};

}  // namespace app
