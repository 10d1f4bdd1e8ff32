// The test environment itself: the program's texts are Shift-JIS, so everything else here depends on Wine
// running in code page 932.
#include <gtest/gtest.h>
#include <windows.h>

TEST(Environment, RunsInTheJapaneseAnsiCodePage) {
  EXPECT_EQ(GetACP(), 932u);
  wchar_t wide[8] = {};
  ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, "ゴ", -1, wide, 8), 0);
  EXPECT_EQ(wide[0], 0x30B4);
}
