// Hotkeys: start/stop, lap and reset from any program, registered on the main window while the user has them
// on, and the boxes that name the keys that could not be registered.
#pragma once
#include <windows.h>
#include <cstdint>

// The actions, in the order the settings and the dialog list them; each is registered with its position + 1,
// which WM_HOTKEY carries back.
enum class HotKeyAction { StartStop, Lap, Reset };
constexpr int HotKeyActionCount = 3;
constexpr int HotKeyId(HotKeyAction action) { return static_cast<int>(action) + 1; }

// The settings' hotkey fields: whether they are on, and each action's key as a hotkey control gives it (the
// virtual key in the low byte, HOTKEYF_ flags in the next).
struct HotKeyChoice {
  int32_t Enable;
  int32_t Keys[HotKeyActionCount];
};
HotKeyChoice StoredHotKeys();
void StoreHotKeys(const HotKeyChoice& choice);

// Whether a value names a key: a virtual key, with modifiers, within 16 bits. Others are never registered.
bool IsUsableHotKey(int32_t value);
// Whether a choice that is on gives two actions the same key.
bool HasDuplicateHotKeys(const HotKeyChoice& choice);

// Registers the stored hotkeys on `window`, none unless they are on, after taking back those registered before.
// A key another program holds is named in one box, and a key an earlier action already has in another, both
// owned by `owner`; the other keys still work. True when every usable key was registered.
bool RegisterHotKeys(HWND window, HWND owner);
void UnregisterHotKeys(HWND window);
// The box for keys that give two actions the same key.
void ShowDuplicateHotKeys(HWND owner);
