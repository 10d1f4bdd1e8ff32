// Paths: splitting one into its folder, base name and extension, aware of double-byte characters (a Shift-JIS
// trail byte may be a backslash); the executable's own path and folder; whether a file exists.
#pragma once
#include <cstddef>

struct PathParts {
  size_t FolderLength;  // drive and directory, with the trailing separator
  size_t NameLength;    // base name without the extension
  size_t ExtensionLength;  // from the last dot of the file name, dot included; 0 when there is none
};

PathParts SplitPath(const char* path);
// The file name within a path: what follows its folder.
const char* FileNamePart(const char* path);
// Fills `path` (MAX_PATH bytes) with the executable's own path and returns true, or empties it and returns false
// when the path does not fit.
bool GetExecutablePath(char* path);
// The same for the executable's folder, with its trailing separator.
bool GetExecutableFolder(char* folder);
bool FileExists(const char* path);
// The same for wide paths.
const wchar_t* FileNamePart(const wchar_t* path);
bool FileExists(const wchar_t* path);
// Fills `path` (MAX_PATH bytes) with the executable's own path, its extension replaced by `extension` (".ini",
// ".laps"), and returns true; empties it and returns false when that does not fit.
bool PathBesideProgram(const char* extension, char* path);
