#include "vellum/controls/hot_key/hot_key_name.h"

#include <commctrl.h>

namespace Vellum {
namespace {

constexpr LONG kExtendedKeyBit = 0x100;
constexpr int kKeyNameLength = 260;

bool IsExtendedNavigationKey(WORD virtual_key) {
  return (virtual_key >= VK_PRIOR && virtual_key <= VK_DOWN) || virtual_key == VK_INSERT ||
         virtual_key == VK_DELETE;
}

}  // namespace

LONG KeyNameParam(WORD virtual_key) {
  LONG scan = static_cast<LONG>(
      ::MapVirtualKeyExW(virtual_key, MAPVK_VK_TO_VSC, ::GetKeyboardLayout(0)));
  if (IsExtendedNavigationKey(virtual_key)) scan |= kExtendedKeyBit;
  return scan << 16;
}

CUIString KeyName(WORD virtual_key) {
  wchar_t name[kKeyNameLength] = {};
  ::GetKeyNameTextW(KeyNameParam(virtual_key), name, kKeyNameLength);
  return CUIString(name);
}

CUIString HotKeyName(WORD virtual_key, WORD modifiers) {
  CUIString text;
  if (virtual_key == 0 && modifiers == 0) return text;
  const struct {
    WORD bit;
    WORD key;
  } kModifiers[] = {{HOTKEYF_CONTROL, VK_CONTROL}, {HOTKEYF_SHIFT, VK_SHIFT}, {HOTKEYF_ALT, VK_MENU}};
  for (const auto& modifier : kModifiers) {
    if ((modifiers & modifier.bit) == 0) continue;
    text += KeyName(modifier.key);
    text += L" + ";
  }
  text += KeyName(virtual_key);
  return text;
}

}  // namespace Vellum
