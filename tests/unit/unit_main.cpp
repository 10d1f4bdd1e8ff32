// Unit tests of the library, run in-process under Wine.
#include <gtest/gtest.h>
#include "support/test_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  test::StandInMainWindow();
  return RUN_ALL_TESTS();
}
