#pragma once

// The readable name of a hot-key combination: the names of Ctrl, Shift and Alt (in that order) as
// the keyboard layout gives them, each followed by " + ", then the key's name.

#include <windows.h>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

// The argument GetKeyNameTextW takes for a virtual key: its scan code in the current thread's
// layout in bits 16 to 23, with the extended-key bit for the navigation keys whose plain scan
// codes name the keypad keys.
LONG KeyNameParam(WORD virtual_key);
// The layout's name of a virtual key.
CUIString KeyName(WORD virtual_key);
// Empty when key and modifiers (HOTKEYF_ bits) are both 0.
CUIString HotKeyName(WORD virtual_key, WORD modifiers);

}  // namespace Vellum
