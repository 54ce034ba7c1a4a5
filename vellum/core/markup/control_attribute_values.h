#pragma once

// The value syntaxes of control attributes, as pure functions. Values come from skin files and are
// never rejected: text that is no number reads as 0, and a list that ends early leaves its missing
// numbers at 0 (the parse never steps past the end of the text).

#include <windows.h>

#include <utility>
#include <vector>

#include "vellum/core/manager/control.h"
#include "vellum/core/base/ui_string.h"

namespace Vellum {

// Optional blanks and sign, decimal digits, the rest ignored; no digits gives 0.
int ParseAttributeInt(const wchar_t* value);
// Four decimal integers l, t, r, b; exactly one separator character is skipped after each.
RECT ParseAttributeRect(const wchar_t* value);
// Two decimal integers cx, cy with one separator character between them.
SIZE ParseAttributeSize(const wchar_t* value);
// The same parses held within [low, high] per number: for values that size memory, loops or
// platform calls (window and border sizes, radii, paddings), where a skin's out-of-range number
// must not reach an allocation or a drawing call.
int ParseAttributeIntIn(const wchar_t* value, int low, int high);
RECT ParseAttributeRectIn(const wchar_t* value, int low, int high);
SIZE ParseAttributeSizeIn(const wchar_t* value, int low, int high);

// Bounds no real skin reaches. A window side before DPI scaling.
constexpr int kMaxWindowExtent = 8192;
// A border's width and a corner's diameter.
constexpr int kMaxBorderExtent = 1024;
// Paddings, insets and gaps between children, either sign.
constexpr int kMaxPaddingExtent = 8192;
// A font size, points or (negative) pixels.
constexpr int kMaxFontSize = 512;

// True exactly for "true" in any letter case.
bool ParseAttributeBool(const wchar_t* value);
// Hexadecimal AARRGGBB after one optional "#". With skip_controls, characters with codes 1 to 32
// before the "#" or the digits are skipped first; without it only a "#" in the very first
// position is.
DWORD ParseAttributeColor(const wchar_t* value, bool skip_controls);
// Four decimal fractions with one separator character after each.
TFloatPercent ParseFloatPercent(const wchar_t* value);
// Applies the words of a "floatalign" value (separated by commas or blanks) to the bits.
UINT ApplyFloatAlignWords(UINT bits, const wchar_t* words);
// The system cursor id of a cursor word ("hand" -> 32649); 0 for an unknown word.
WORD CursorIdOfWord(const wchar_t* word);

using AttributePairs = std::vector<std::pair<CUIString, CUIString>>;
// The name="value" pairs of an attribute list up to the first malformed one. "&quot;" stands for a
// double quote; CR, LF and TAB count as blanks; one blank or comma separates pairs, further blanks
// are allowed.
AttributePairs SplitAttributeList(const wchar_t* list);

}  // namespace Vellum
