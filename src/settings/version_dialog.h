// The version dialog (template 104): the program's icon and the version of its own version resource.
#pragma once
#include <windows.h>
#include <cstddef>

// Room for the displayed version number: 15 characters and the terminator.
constexpr size_t VersionNumberSize = 16;

// Runs dialog 104 modally, owned by `owner`; true when the user ended it with OK.
bool ShowVersionDialog(HWND owner);

// For the tests only: nothing outside this module calls these.
// Turns a FileVersion text into the number shown: digits are kept, the first space becomes a point, every
// other character is dropped ("1, 0, 0, 0" gives "1.000"). Writes at most `outSize` characters with the
// terminator, so a number too long for `out` is cut short.
void FormatVersionNumber(wchar_t* out, size_t outSize, const wchar_t* in);
