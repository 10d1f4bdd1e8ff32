// Files for the tests.
#include "support/files.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdlib>

namespace test {

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadBytes(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

std::wstring Wide(const std::string& text) {
  wchar_t wide[2048] = L"";
  MultiByteToWideChar(932, 0, text.c_str(), -1, wide, 2048);
  return wide;
}

std::string Narrow(const std::wstring& text) {
  char narrow[4096] = "";
  WideCharToMultiByte(932, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

unsigned ExpectedCodePage() {
  const char* const expected = std::getenv("TAVRILO_EXPECT_CODE_PAGE");
  return expected ? static_cast<unsigned>(std::atoi(expected)) : GetACP();
}

std::string ExecutableFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

std::string MakeFreshFolder(const std::string& prefix) {
  static int serial = 0;
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  std::string folder;
  do {
    folder = std::string(base) + prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
  } while (!CreateDirectoryW(Wide(folder).c_str(), nullptr));
  return folder;
}

void RemoveFolder(const std::string& folder) {
  const std::wstring wide = Wide(folder);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((wide + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((wide + L"\\" + name).c_str());
      else if (name != L"." && name != L"..") RemoveFolder(Narrow(wide + L"\\" + name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(wide.c_str());
}

}  // namespace test
