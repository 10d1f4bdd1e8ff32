// The extended-length form that file calls are given: only full paths that Windows would refuse as too long.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "helpers/file_paths.h"

namespace {

// A path of `length` characters: `start` and then folder names.
std::wstring PathOf(const std::wstring& start, size_t length) {
  std::wstring path = start;
  while (path.size() < length) path += path.size() % 60 == 0 ? L'\\' : L'd';
  return path;
}

TEST(ExtendedLengthPath, PrefixesOnlyFullPathsOfMaxPathCharactersOrMore) {
  const std::wstring longest = PathOf(L"C:\\", MAX_PATH - 1), tooLong = PathOf(L"C:\\", MAX_PATH);
  const std::wstring share = PathOf(L"\\\\server\\share\\", MAX_PATH);
  const struct {
    std::wstring Path, Given;
  } rows[] = {
      {L"C:\\Tavrilo\\Tavrilo.ini", L"C:\\Tavrilo\\Tavrilo.ini"},
      {longest, longest},
      {tooLong, L"\\\\?\\" + tooLong},
      {L"\\\\server\\share\\Tavrilo.ini", L"\\\\server\\share\\Tavrilo.ini"},
      {share, L"\\\\?\\UNC\\server\\share\\" + share.substr(15)},
      {L"\\\\?\\" + tooLong, L"\\\\?\\" + tooLong},
      {PathOf(L"Tavrilo\\", 400), PathOf(L"Tavrilo\\", 400)},
      {PathOf(L"C:Tavrilo\\", 400), PathOf(L"C:Tavrilo\\", 400)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.Path.size() << " characters");
    EXPECT_EQ(ExtendedLengthPath(row.Path), row.Given);
  }
}

}  // namespace
