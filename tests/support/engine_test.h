// The base fixture of the in-process tests that use the engine: each test starts from a clean engine and leaves
// the settings, the settings file's path and the lap history window as it found them.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "laps/lap_list.h"
#include "settings/app_settings.h"
#include "support/test_support.h"

namespace test {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEngineState();
    savedSettings_ = AppSettings;
    savedIniPath_ = IniPath;
  }
  void TearDown() override {
    if (IsWindow(LapList.LapHistoryWindow)) SendMessageA(LapList.LapHistoryWindow, WM_COMMAND, IDCANCEL, 0);
    AppSettings = savedSettings_;
    IniPath = savedIniPath_;
    ResetEngineState();
  }

 private:
  AppSettingsRecord savedSettings_;
  std::wstring savedIniPath_;
};

}  // namespace test
