// The main of the in-process tests (unit_tests and ui_tests), run under Wine.
#include <gtest/gtest.h>
#include <cstdio>
#include "app/startup.h"
#include "records/app_globals.h"
#include "support/files.h"
#include "support/test_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GetACP() != test::ExpectedCodePage()) {  // a run meant for another code page must not pass in this one
    std::fprintf(stderr, "the system code page is %u, not %u\n", GetACP(), test::ExpectedCodePage());
    return 1;
  }
  AppInstance = GetModuleHandleA(nullptr);  // the program's resources are linked into the tests
  InitCommonControlsForDialogs();
  InstallEngineHooks();
  test::StandInMainWindow();
  return RUN_ALL_TESTS();
}
