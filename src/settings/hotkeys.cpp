// Hotkeys: start/stop, lap and reset from any program. The settings keep the hotkey control's values; here they
// become registrations of the main window.
#include "settings/hotkeys.h"
#include <commctrl.h>
#include <string>
#include "helpers/message_box.h"
#include "records/app_settings_record.h"

namespace {

constexpr int32_t AppSettingsRecord::*KeyFields[HotKeyActionCount] = {
    &AppSettingsRecord::HotKeyStartStop, &AppSettingsRecord::HotKeyLap, &AppSettingsRecord::HotKeyReset};

constexpr BYTE ModifierFlags = HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT;

int IdAt(int index) { return HotKeyId(static_cast<HotKeyAction>(index)); }

BYTE VirtualKey(int32_t value) { return LOBYTE(value); }
BYTE Modifiers(int32_t value) { return HIBYTE(value) & ModifierFlags; }

// The modifiers as RegisterHotKey takes them; a held key does not repeat the action.
UINT RegistrationModifiers(int32_t value) {
  const BYTE flags = Modifiers(value);
  return MOD_NOREPEAT | ((flags & HOTKEYF_SHIFT) ? MOD_SHIFT : 0) | ((flags & HOTKEYF_CONTROL) ? MOD_CONTROL : 0) |
         ((flags & HOTKEYF_ALT) ? MOD_ALT : 0);
}

// A key's name, as the keyboard driver spells it.
std::wstring KeyName(BYTE key, bool extended) {
  const LONG scan = static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16 | (extended ? 1L << 24 : 0);
  wchar_t name[64] = L"";
  GetKeyNameTextW(scan, name, 64);
  return name;
}

// Whether two values register the same key (the extended-key flag is no part of it).
bool SameHotKey(int32_t a, int32_t b) { return VirtualKey(a) == VirtualKey(b) && Modifiers(a) == Modifiers(b); }

// The key as the hotkey control shows it, e.g. "Ctrl + Alt + L".
std::wstring HotKeyName(int32_t value) {
  std::wstring name;
  const BYTE flags = Modifiers(value);
  const struct {
    BYTE Flag, Key;
  } modifiers[] = {{HOTKEYF_CONTROL, VK_CONTROL}, {HOTKEYF_SHIFT, VK_SHIFT}, {HOTKEYF_ALT, VK_MENU}};
  for (const auto& modifier : modifiers) {
    if (flags & modifier.Flag) name += KeyName(modifier.Key, false) + L" + ";
  }
  return name + KeyName(VirtualKey(value), (HIBYTE(value) & HOTKEYF_EXT) != 0);
}

bool RegisterAction(HWND window, int index, int32_t value) {
  return RegisterHotKey(window, IdAt(index), RegistrationModifiers(value), VirtualKey(value)) != FALSE;
}

// Whether the key at `index` is usable and an earlier action of the choice already has it.
bool TakenBefore(const HotKeyChoice& choice, int index) {
  if (!IsUsableHotKey(choice.Keys[index])) return false;
  for (int earlier = 0; earlier < index; ++earlier) {
    if (IsUsableHotKey(choice.Keys[earlier]) && SameHotKey(choice.Keys[earlier], choice.Keys[index])) return true;
  }
  return false;
}

}  // namespace

HotKeyChoice StoredHotKeys() {
  HotKeyChoice choice = {AppSettings.HotKeyEnable, {}};
  for (int i = 0; i < HotKeyActionCount; ++i) choice.Keys[i] = AppSettings.*KeyFields[i];
  return choice;
}

void StoreHotKeys(const HotKeyChoice& choice) {
  AppSettings.HotKeyEnable = choice.Enable;
  for (int i = 0; i < HotKeyActionCount; ++i) AppSettings.*KeyFields[i] = choice.Keys[i];
}

bool IsUsableHotKey(int32_t value) { return value > 0 && value <= 0xFFFF && VirtualKey(value) != 0; }

bool HasDuplicateHotKeys(const HotKeyChoice& choice) {
  if (choice.Enable != 1) return false;
  for (int i = 1; i < HotKeyActionCount; ++i) {
    if (TakenBefore(choice, i)) return true;
  }
  return false;
}

bool RegisterHotKeys(HWND window, HWND owner) {
  UnregisterHotKeys(window);
  const HotKeyChoice choice = StoredHotKeys();
  if (choice.Enable != 1) return true;
  std::wstring failed = L"次のホットキーは他のプログラムが使用しているため登録できませんでした。";
  bool anyFailed = false;
  bool anyDuplicate = false;
  for (int i = 0; i < HotKeyActionCount; ++i) {
    const int32_t value = choice.Keys[i];
    if (!IsUsableHotKey(value)) continue;
    if (TakenBefore(choice, i)) {
      anyDuplicate = true;
    } else if (!RegisterAction(window, i, value)) {
      failed += L"\n" + HotKeyName(value);
      anyFailed = true;
    }
  }
  if (anyFailed) ShowMessageBox(owner, failed.c_str());
  if (anyDuplicate) ShowDuplicateHotKeys(owner);
  return !anyFailed && !anyDuplicate;
}

void UnregisterHotKeys(HWND window) {
  for (int i = 0; i < HotKeyActionCount; ++i) UnregisterHotKey(window, IdAt(i));
}

void ShowDuplicateHotKeys(HWND owner) {
  ShowMessageBox(owner, L"同じホットキーが複数の操作に設定されています。");
}
