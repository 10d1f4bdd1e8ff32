// Files for the tests: whole-file reads and writes, and removing a scratch folder.
#pragma once
#include <string>

namespace test {

void WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes, or an empty string when it cannot be read; the file may be open for writing elsewhere.
std::string ReadBytes(const std::string& path);
// The folder of this test executable, where the build puts what the tests read.
std::string ExecutableFolder();
// Deletes the folder's files and then the folder.
void RemoveFolder(const std::string& folder);

}  // namespace test
