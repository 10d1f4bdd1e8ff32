// The version dialog (template 104): shows "Tavrilo Version " and the number made of the FileVersion in the
// executable's own version resource; any failure to read it leaves the template's text.
#include "settings/version_dialog.h"
#include <memory>
#include <new>
#include <string>
#include "helpers/file_paths.h"
#include "helpers/optional_calls.h"
#include "helpers/window_helpers.h"
#include "records/app_globals.h"
#include "resources/resource.h"

namespace {

using VerQueryValueCall = decltype(SystemDllCallTable::VerQueryValueW);

// The FileVersion text of the first translation in a version block, or null when there is none.
const wchar_t* FileVersionText(VerQueryValueCall query, const void* block) {
  void* value = nullptr;
  UINT length = 0;
  if (!query(block, L"\\VarFileInfo\\Translation", &value, &length) || length < 2 * sizeof(WORD)) {
    return nullptr;
  }
  const WORD* translation = static_cast<const WORD*>(value);
  wchar_t name[64];
  wsprintfW(name, L"\\StringFileInfo\\%04x%04x\\FileVersion", translation[0], translation[1]);
  if (!query(block, name, &value, &length) || length == 0) return nullptr;
  const wchar_t* text = static_cast<const wchar_t*>(value);
  return text[0] != L'\0' ? text : nullptr;
}

void ShowVersionText(HWND dialog) {
  const SystemDllCallTable& calls = SystemDllCalls();  // without version.dll the template's text stays
  if (!calls.GetFileVersionInfoSizeW || !calls.GetFileVersionInfoW || !calls.VerQueryValueW) return;
  const std::wstring path = GetExecutablePath();
  if (path.empty()) return;
  const DWORD size = calls.GetFileVersionInfoSizeW(ExtendedLengthPath(path).c_str(), nullptr);
  if (size == 0) return;
  const std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]());
  if (!block || !calls.GetFileVersionInfoW(ExtendedLengthPath(path).c_str(), 0, size, block.get())) return;
  const wchar_t* fileVersion = FileVersionText(calls.VerQueryValueW, block.get());
  if (!fileVersion) return;
  wchar_t number[VersionNumberSize];
  FormatVersionNumber(number, VersionNumberSize, fileVersion);
  wchar_t prefix[128] = L"";
  LoadStringW(AppInstance, IDS_VERSION_PREFIX, prefix, 128);
  SetDlgItemTextW(dialog, IDC_VERSION_TEXT, (std::wstring(prefix) + number).c_str());
}

INT_PTR CALLBACK VersionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CenterWindowOnScreen(dialog);
      ShowVersionText(dialog);
      return TRUE;  // the system puts the focus on OK
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id != IDOK && id != IDCANCEL) return FALSE;
      EndDialog(dialog, id);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

void FormatVersionNumber(wchar_t* out, size_t outSize, const wchar_t* in) {
  if (outSize == 0) return;
  size_t used = 0;
  bool pointWritten = false;
  for (const wchar_t* c = in; *c && used + 1 < outSize; ++c) {
    if (*c >= L'0' && *c <= L'9') {
      out[used++] = *c;
    } else if (*c == L' ' && !pointWritten) {
      out[used++] = L'.';
      pointWritten = true;
    }
  }
  out[used] = L'\0';
}

bool ShowVersionDialog(HWND owner) {
  return DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_VERSION), owner, VersionDialogProc, 0) == IDOK;
}
