// Files for the tests: whole-file reads and writes, and making and removing scratch folders.
#pragma once
#include <string>

namespace test {

void WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes, or an empty string when it cannot be read; the file may be open for writing elsewhere.
std::string ReadBytes(const std::string& path);
// The folder of this test executable, where the build puts what the tests read.
std::string ExecutableFolder();
// A new empty folder under the temporary directory: `prefix`, this process's id and a serial number.
std::string MakeFreshFolder(const std::string& prefix);
// Deletes the folder's files and folders and then the folder.
void RemoveFolder(const std::string& folder);
// The tests' Shift-JIS texts as the program's wide paths take them, and back (code page 932, whatever the
// system's: the files above are reached through the wide API this way).
std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);
// The system code page a run in another locale was started for (TAVRILO_EXPECT_CODE_PAGE), or that of this process.
unsigned ExpectedCodePage();

}  // namespace test
