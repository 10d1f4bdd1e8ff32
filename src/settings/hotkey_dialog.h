// The hotkey dialog (template 109): turns the hotkeys on or off and chooses each action's key.
#pragma once
#include <windows.h>

// Runs dialog 109 modally, owned by `owner`; true when the user ended it with OK. The program's hotkeys are not
// registered while it is open, so that any key reaches its hotkey controls.
bool EditHotKeys(HWND owner);
