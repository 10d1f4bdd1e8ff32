// Conversions with code page 932 only, never the system's.
#include "helpers/wide_text.h"
#include <cstddef>
#include <cstring>

namespace {
constexpr UINT ShiftJis = 932;
}

std::wstring FromShiftJis(const char* text) {
  const int length = MultiByteToWideChar(ShiftJis, 0, text, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(ShiftJis, 0, text, -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length) - 1);
  return wide;
}

void DropHalfShiftJisCharacter(char* text) {
  for (char* p = text; *p; ++p) {
    if (IsDBCSLeadByteEx(ShiftJis, static_cast<BYTE>(*p))) {
      if (p[1] == '\0') {
        *p = '\0';
        return;
      }
      ++p;
    }
  }
}

std::wstring WidenAscii(const char* text, int length) {
  return std::wstring(text, text + (length < 0 ? 0 : length));
}

// The two structures differ only in the face name, their last member.
static_assert(offsetof(LOGFONTA, lfFaceName) == offsetof(LOGFONTW, lfFaceName), "the same leading members");

LOGFONTW WideFont(const LOGFONTA& stored) {
  LOGFONTW font = {};
  std::memcpy(&font, &stored, offsetof(LOGFONTA, lfFaceName));
  char face[LF_FACESIZE + 1] = "";
  std::memcpy(face, stored.lfFaceName, LF_FACESIZE);  // a stored face may lack its terminator
  lstrcpynW(font.lfFaceName, FromShiftJis(face).c_str(), LF_FACESIZE);
  return font;
}

bool StoreFont(const LOGFONTW& font, LOGFONTA& stored) {
  char face[LF_FACESIZE];
  if (!ToShiftJis(font.lfFaceName, face, LF_FACESIZE)) return false;
  std::memcpy(&stored, &font, offsetof(LOGFONTA, lfFaceName));
  std::memcpy(stored.lfFaceName, face, LF_FACESIZE);
  return true;
}

bool ToShiftJis(const wchar_t* text, char* buffer, size_t size) {
  buffer[0] = '\0';
  BOOL lost = FALSE;
  const int needed = WideCharToMultiByte(ShiftJis, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &lost);
  if (needed <= 0 || lost) return false;
  if (static_cast<size_t>(needed) > size) return false;
  WideCharToMultiByte(ShiftJis, WC_NO_BEST_FIT_CHARS, text, -1, buffer, needed, nullptr, nullptr);
  return true;
}
