// The main of the in-process tests (unit_tests and ui_tests), run under Wine.
#include <gtest/gtest.h>
#include "app/startup.h"
#include "records/app_globals.h"
#include "support/test_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  AppInstance = GetModuleHandleA(nullptr);  // the program's resources are linked into the tests
  InitCommonControlsForDialogs();
  InstallEngineHooks();
  test::StandInMainWindow();
  return RUN_ALL_TESTS();
}
