#pragma once

// Interface and attribute names are ASCII and compared without regard to case. The CRT's
// comparison takes the locale for every call, which a tree of thousands of nodes pays dozens of
// times per node while it is built; this one gives the same answers for such names.

namespace Vellum {
namespace tree_names {

inline bool SameName(const wchar_t* a, const wchar_t* b) {
  for (;; ++a, ++b) {
    wchar_t x = *a;
    wchar_t y = *b;
    if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
    if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
    if (x != y) return false;
    if (x == 0) return true;
  }
}

}  // namespace tree_names
}  // namespace Vellum
