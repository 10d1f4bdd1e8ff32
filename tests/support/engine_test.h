// The base fixture of the in-process tests that use the engine: each test starts from a clean engine and leaves
// the settings, the settings file's path and the lap history window as it found them.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include "laps/lap_list.h"
#include "settings/app_settings.h"
#include "support/test_support.h"

namespace test {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEngineState();
    savedSettings_ = AppSettings;
    lstrcpynW(savedIniPath_, IniPath, MAX_PATH);
  }
  void TearDown() override {
    if (IsWindow(LapList.LapHistoryWindow)) SendMessageA(LapList.LapHistoryWindow, WM_COMMAND, IDCANCEL, 0);
    AppSettings = savedSettings_;
    lstrcpynW(IniPath, savedIniPath_, MAX_PATH);
    ResetEngineState();
  }

 private:
  AppSettingsRecord savedSettings_;
  wchar_t savedIniPath_[MAX_PATH] = L"";
};

}  // namespace test
