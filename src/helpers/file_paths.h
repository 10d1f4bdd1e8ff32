// Paths, wide so that a folder whose name the system's code page cannot hold still works: the file name within a
// path, the executable's own path and folder, files beside it, and whether a file exists.
#pragma once
#include <cstddef>

// The file name within a path: what follows its folder.
const wchar_t* FileNamePart(const wchar_t* path);
// Fills `path` (MAX_PATH characters) with the executable's own path and returns true, or empties it and returns
// false when the path does not fit.
bool GetExecutablePath(wchar_t* path);
// The same for the executable's folder, with its trailing separator.
bool GetExecutableFolder(wchar_t* folder);
bool FileExists(const wchar_t* path);
// Fills `path` (MAX_PATH characters) with the executable's own path, its extension replaced by `extension`
// (".ini", ".laps"), and returns true; empties it and returns false when that does not fit.
bool PathBesideProgram(const wchar_t* extension, wchar_t* path);
