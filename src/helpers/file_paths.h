// Paths, wide so that a folder whose name the system's code page cannot hold still works, and of any length the
// system allows: the file name within a path, the executable's own path and folder, files beside it, whether a
// file exists, and the form in which file calls take a long path.
#pragma once
#include <string>

// The file name within a path: what follows its folder.
const wchar_t* FileNamePart(const wchar_t* path);
// The executable's own path; empty when it cannot be had whole.
std::wstring GetExecutablePath();
// The executable's folder, with its trailing separator; empty when unknown.
std::wstring GetExecutableFolder();
// The executable's own path with its extension replaced by `extension` (".ini", ".laps"); empty when unknown.
std::wstring PathBesideProgram(const wchar_t* extension);
bool FileExists(const wchar_t* path);
// What every file call is given for `path`: a full path of MAX_PATH characters or more in its extended-length
// form ("\\?\C:\…", "\\?\UNC\server\share\…"), which Windows opens at any length even where long paths are not
// enabled; any other path as it is. The prefix turns off the system's processing of "." and "..", so it is only
// for the full, backslashed paths the program builds or the system hands it.
std::wstring ExtendedLengthPath(const std::wstring& path);
