#include "vellum/core/base/ui_ptr_array.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace Vellum {

CUIPtrArray::CUIPtrArray(int preallocate) : items_(nullptr), count_(0), capacity_(0) {
  if (preallocate > 0) {
    items_ = static_cast<void**>(std::malloc(static_cast<size_t>(preallocate) * sizeof(void*)));
    if (items_ != nullptr) capacity_ = preallocate;
  }
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& other) : items_(nullptr), count_(0), capacity_(0) {
  for (int i = 0; i < other.count_; ++i) Add(other.items_[i]);
}

CUIPtrArray& CUIPtrArray::operator=(const CUIPtrArray& other) {
  if (this != &other) {
    Empty();
    for (int i = 0; i < other.count_; ++i) Add(other.items_[i]);
  }
  return *this;
}

CUIPtrArray::~CUIPtrArray() { std::free(items_); }

bool CUIPtrArray::Grow() {
  ++count_;
  if (count_ >= capacity_) {
    const int capacity = capacity_ > 0 ? capacity_ * 2 : 11;
    void* block = nullptr;
    if (capacity_ <= INT_MAX / 2 && static_cast<size_t>(capacity) <= SIZE_MAX / sizeof(void*)) {
      block = std::realloc(items_, static_cast<size_t>(capacity) * sizeof(void*));
    }
    if (block == nullptr) {
      --count_;
      return false;
    }
    items_ = static_cast<void**>(block);
    capacity_ = capacity;
  }
  return true;
}

bool CUIPtrArray::Add(void* item) {
  if (!Grow()) return false;
  items_[count_ - 1] = item;
  return true;
}

bool CUIPtrArray::InsertAt(int index, void* item) {
  if (index == count_) return Add(item);
  if (index < 0 || index > count_) return false;
  if (!Grow()) return false;
  std::memmove(&items_[index + 1], &items_[index], static_cast<size_t>(count_ - 1 - index) * sizeof(void*));
  items_[index] = item;
  return true;
}

bool CUIPtrArray::Remove(int index) {
  if (index < 0 || index >= count_) return false;
  if (index < --count_) {
    std::memmove(&items_[index], &items_[index + 1], static_cast<size_t>(count_ - index) * sizeof(void*));
  }
  return true;
}

int CUIPtrArray::Find(void* item) const {
  for (int i = 0; i < count_; ++i) {
    if (items_[i] == item) return i;
  }
  return -1;
}

void* CUIPtrArray::GetAt(int index) const {
  if (index < 0 || index >= count_) return nullptr;
  return items_[index];
}

bool CUIPtrArray::SetAt(int index, void* item) {
  if (index < 0 || index >= count_) return false;
  items_[index] = item;
  return true;
}

void CUIPtrArray::Empty() {
  std::free(items_);
  items_ = nullptr;
  count_ = 0;
  capacity_ = 0;
}

void CUIPtrArray::Resize(int n) {
  Empty();
  if (n <= 0 || static_cast<size_t>(n) > SIZE_MAX / sizeof(void*)) return;
  items_ = static_cast<void**>(std::calloc(static_cast<size_t>(n), sizeof(void*)));
  if (items_ == nullptr) return;
  count_ = n;
  capacity_ = n;
}

}  // namespace Vellum
