#include "vellum/core/base/ui_delegate.h"

namespace Vellum {

CDelegateList::~CDelegateList() {
  for (int i = 0; i < delegates_.GetSize(); ++i) delete static_cast<CDelegateBase*>(delegates_[i]);
}

CDelegateList& CDelegateList::operator+=(const CDelegateBase& delegate) {
  for (int i = 0; i < delegates_.GetSize(); ++i) {
    const auto* attached = static_cast<const CDelegateBase*>(delegates_[i]);
    if (attached != nullptr && attached->Equals(delegate)) return *this;
  }
  CDelegateBase* copy = delegate.Copy();
  if (!delegates_.Add(copy)) delete copy;
  return *this;
}

CDelegateList& CDelegateList::operator-=(const CDelegateBase& delegate) {
  for (int i = 0; i < delegates_.GetSize(); ++i) {
    auto* attached = static_cast<CDelegateBase*>(delegates_[i]);
    if (attached != nullptr && attached->Equals(delegate)) {
      delegates_.Remove(i);
      delete attached;
      break;
    }
  }
  return *this;
}

bool CDelegateList::operator()(void* param) {
  for (int i = 0; i < delegates_.GetSize(); ++i) {
    auto* delegate = static_cast<CDelegateBase*>(delegates_[i]);
    if (delegate != nullptr && !(*delegate)(param)) return false;
  }
  return true;
}

}  // namespace Vellum
