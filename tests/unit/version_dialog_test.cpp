// The version number shown in the version dialog, made from a FileVersion text, within its buffer whatever
// the text holds.
#include "settings/version_dialog.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include "support/case_names.h"

namespace {

std::wstring NumberOf(const std::wstring& fileVersion) {
  wchar_t out[VersionNumberSize];
  FormatVersionNumber(out, VersionNumberSize, fileVersion.c_str());
  return out;
}

struct VersionCase {
  const char* Name;
  const wchar_t* FileVersion;
  const wchar_t* Number;
};
class VersionNumber : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionNumber, KeepsTheDigitsAndTurnsOnlyTheFirstSpaceIntoAPoint) {
  EXPECT_EQ(NumberOf(GetParam().FileVersion), GetParam().Number) << GetParam().FileVersion;
}

INSTANTIATE_TEST_SUITE_P(Version, VersionNumber,
                         ::testing::Values(VersionCase{"OneDigitParts", L"1, 0, 0, 0", L"1.000"},
                                           VersionCase{"TwoDigitParts", L"2, 10, 3, 0", L"2.1030"},
                                           VersionCase{"Dotted", L"2.10.3.0", L"21030"}, VersionCase{"Empty", L"", L""},
                                           VersionCase{"LeadingSpace", L" 1 2", L".12"},
                                           VersionCase{"NonDigitsDropped", L"v1 beta \u3042 2", L"1.2"}),
                         test::RowName);

TEST(VersionNumberBuffer, AnOverlongValueIsCutToTheBufferAndNothingBeyondItIsWritten) {
  wchar_t out[VersionNumberSize + 8];
  std::fill(out, out + VersionNumberSize + 8, L'#');
  FormatVersionNumber(out, VersionNumberSize, std::wstring(1000, L'7').c_str());
  EXPECT_EQ(std::wstring(out), std::wstring(VersionNumberSize - 1, L'7'));
  for (size_t i = VersionNumberSize; i < VersionNumberSize + 8; ++i) EXPECT_EQ(out[i], L'#') << i;

  EXPECT_EQ(NumberOf(L"65535, 65535, 65535, 65535"), L"65535.655356553") << "the largest version resource";
  std::fill(out, out + VersionNumberSize + 8, L'#');
  FormatVersionNumber(out, 1, L"1, 0");
  EXPECT_EQ(out[0], L'\0');
  EXPECT_EQ(out[1], L'#');
  out[0] = L'#';
  FormatVersionNumber(out, 0, L"1, 0");
  EXPECT_EQ(out[0], L'#') << "a buffer of no bytes is left alone";
}

}  // namespace
