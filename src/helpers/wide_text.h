// Text between the program's byte strings and the wide API: the settings file and stored paths keep Shift-JIS
// bytes (code page 932) whatever the system's code page, and the program's own short texts (times, laps, ids)
// are ASCII.
#pragma once
#include <windows.h>
#include <cstddef>
#include <string>

// Shift-JIS bytes as UTF-16; an invalid byte becomes U+30FB, as Windows decodes it.
std::wstring FromShiftJis(const char* text);
// UTF-16 as Shift-JIS bytes in `buffer` (`size` bytes, at least 1); false, with `buffer` empty, when a
// character has no Shift-JIS form (the look-alike code page 932 would put in its place, e for é, is none) or the
// bytes do not fit.
bool ToShiftJis(const wchar_t* text, char* buffer, size_t size);
// A Shift-JIS text cut to its buffer may end in the first byte of a double-byte character; drop that half
// character so that the text stays valid when it is used and written back.
void DropHalfShiftJisCharacter(char* text);
// An ASCII text (a time, a lap line) as the wide API takes it.
std::wstring WidenAscii(const char* text, int length);
// A stored font (its face name in Shift-JIS) as the wide API takes it, and back; false when the face name has no
// Shift-JIS form, and `stored` is then left as it was.
LOGFONTW WideFont(const LOGFONTA& stored);
bool StoreFont(const LOGFONTW& font, LOGFONTA& stored);
