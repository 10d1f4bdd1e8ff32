// The version number shown in the version dialog, made from a FileVersion text, within its buffer whatever
// the text holds.
#include "settings/version_dialog.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

std::string NumberOf(const std::string& fileVersion) {
  char out[VersionNumberSize];
  FormatVersionNumber(out, sizeof out, fileVersion.c_str());
  return out;
}

struct VersionCase {
  const char* FileVersion;
  const char* Number;
};
class VersionNumber : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionNumber, KeepsTheDigitsAndTurnsOnlyTheFirstSpaceIntoAPoint) {
  EXPECT_EQ(NumberOf(GetParam().FileVersion), GetParam().Number) << GetParam().FileVersion;
}

INSTANTIATE_TEST_SUITE_P(Version, VersionNumber,
                         ::testing::Values(VersionCase{"1, 0, 0, 0", "1.000"}, VersionCase{"2, 10, 3, 0", "2.1030"},
                                           VersionCase{"2.10.3.0", "21030"}, VersionCase{"", ""},
                                           VersionCase{" 1 2", ".12"},
                                           VersionCase{"v1 beta \x82\xa0 2", "1.2"}));  // Shift-JIS bytes dropped

TEST(VersionNumberBuffer, AnOverlongValueIsCutToTheBufferAndNothingBeyondItIsWritten) {
  char out[VersionNumberSize + 8];
  std::memset(out, '#', sizeof out);
  FormatVersionNumber(out, VersionNumberSize, std::string(1000, '7').c_str());
  EXPECT_EQ(std::string(out), std::string(VersionNumberSize - 1, '7'));
  for (size_t i = VersionNumberSize; i < sizeof out; ++i) EXPECT_EQ(out[i], '#') << i;

  EXPECT_EQ(NumberOf("65535, 65535, 65535, 65535"), "65535.655356553") << "the largest version resource";
  std::memset(out, '#', sizeof out);
  FormatVersionNumber(out, 1, "1, 0");
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(out[1], '#');
  out[0] = '#';
  FormatVersionNumber(out, 0, "1, 0");
  EXPECT_EQ(out[0], '#') << "a buffer of no bytes is left alone";
}

}  // namespace
