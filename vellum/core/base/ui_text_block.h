#pragma once

#include <memory>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

// Texts that most controls never set (images of states nobody styles, tool tips, user data), kept
// in one block made by the first non-empty one. Every CUIString carries its inline buffer, so a
// long list or tree whose thousands of row parts set none of these texts pays one pointer each
// instead. Until the block exists each text reads empty, and clearing one makes no block.
template <typename Block>
class CUITextBlock {
 public:
  using Field = CUIString Block::*;

  const CUIString& Get(Field field) const { return block_ ? (*block_).*field : Empty(); }

  // Where text is to be stored, making the block when text is not empty; null when the text is
  // empty and there is no block, so there is nothing to store.
  CUIString* Slot(Field field, const wchar_t* text) {
    if (!block_) {
      if (text == nullptr || text[0] == L'\0') return nullptr;
      block_.reset(new Block());
    }
    return &((*block_).*field);
  }

  // False when nothing was stored (see Slot).
  bool Store(Field field, const wchar_t* text) {
    CUIString* slot = Slot(field, text);
    if (slot == nullptr) return false;
    *slot = text;
    return true;
  }

  // The block, or null while no text has been set.
  Block* Find() { return block_.get(); }
  const Block* Find() const { return block_.get(); }

 private:
  static const CUIString& Empty() {
    static const CUIString empty;
    return empty;
  }

  std::unique_ptr<Block> block_;
};

}  // namespace Vellum
