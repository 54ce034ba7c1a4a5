#include "vellum/core/base/ui_string_map.h"

#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <new>

namespace Vellum {

unsigned int UIStringHash(const wchar_t* key) {
  unsigned int hash = 0;
  for (size_t i = std::wcslen(key); i > 0; --i) hash = hash * 33 + static_cast<unsigned int>(key[i - 1]);
  return hash;
}

CUIStringMap::CUIStringMap(int bucket_count) : buckets_(nullptr), bucket_count_(0), count_(0) {
  Resize(bucket_count < 16 ? 16 : bucket_count);
}

CUIStringMap::CUIStringMap(const CUIStringMap& other) : buckets_(nullptr), bucket_count_(0), count_(0) {
  CopyFrom(other);
}

CUIStringMap& CUIStringMap::operator=(const CUIStringMap& other) {
  if (this != &other) {
    FreeAll();
    CopyFrom(other);
  }
  return *this;
}

CUIStringMap::~CUIStringMap() { FreeAll(); }

void CUIStringMap::CopyFrom(const CUIStringMap& other) {
  Resize(other.bucket_count_);
  if (buckets_ == nullptr) return;
  for (int b = 0; b < bucket_count_; ++b) {
    // Inserting at the head in reverse chain order rebuilds the same chain.
    const Node* tail = other.buckets_[b];
    while (tail != nullptr && tail->next != nullptr) tail = tail->next;
    for (const Node* node = tail; node != nullptr; node = node->prev) Insert(node->key.GetData(), node->data);
  }
}

void CUIStringMap::FreeAll() {
  if (buckets_ != nullptr) {
    for (int b = 0; b < bucket_count_; ++b) {
      Node* node = buckets_[b];
      while (node != nullptr) {
        Node* next = node->next;
        delete node;
        node = next;
      }
    }
    std::free(buckets_);
  }
  buckets_ = nullptr;
  bucket_count_ = 0;
  count_ = 0;
}

void CUIStringMap::Resize(int n) {
  FreeAll();
  if (n <= 0 || static_cast<size_t>(n) > SIZE_MAX / sizeof(Node*)) return;
  buckets_ = static_cast<Node**>(std::calloc(static_cast<size_t>(n), sizeof(Node*)));
  if (buckets_ != nullptr) bucket_count_ = n;
}

void CUIStringMap::RemoveAll() { Resize(bucket_count_); }

CUIStringMap::Node* CUIStringMap::FindNode(const wchar_t* key, unsigned int* bucket) const {
  *bucket = UIStringHash(key) % static_cast<unsigned int>(bucket_count_);
  for (Node* node = buckets_[*bucket]; node != nullptr; node = node->next) {
    if (node->key == key) return node;
  }
  return nullptr;
}

void* CUIStringMap::Find(const wchar_t* key, bool optimize) const {
  if (key == nullptr || buckets_ == nullptr || count_ == 0) return nullptr;
  unsigned int bucket = 0;
  Node* node = FindNode(key, &bucket);
  if (node == nullptr) return nullptr;
  if (optimize && node->prev != nullptr) {
    node->prev->next = node->next;
    if (node->next != nullptr) node->next->prev = node->prev;
    node->prev = nullptr;
    node->next = buckets_[bucket];
    buckets_[bucket]->prev = node;
    buckets_[bucket] = node;
  }
  return node->data;
}

bool CUIStringMap::Insert(const wchar_t* key, void* data) {
  if (key == nullptr || buckets_ == nullptr) return false;
  unsigned int bucket = 0;
  if (FindNode(key, &bucket) != nullptr) return false;
  Node* node = new (std::nothrow) Node{CUIString(key), data, nullptr, buckets_[bucket]};
  if (node == nullptr) return false;
  if (node->next != nullptr) node->next->prev = node;
  buckets_[bucket] = node;
  ++count_;
  return true;
}

void* CUIStringMap::Set(const wchar_t* key, void* data) {
  if (key == nullptr || buckets_ == nullptr) return data;
  unsigned int bucket = 0;
  if (Node* node = FindNode(key, &bucket)) {
    void* old = node->data;
    node->data = data;
    return old;
  }
  Insert(key, data);
  return nullptr;
}

bool CUIStringMap::Remove(const wchar_t* key) {
  if (key == nullptr || buckets_ == nullptr) return false;
  unsigned int bucket = 0;
  Node* node = FindNode(key, &bucket);
  if (node == nullptr) return false;
  if (node->prev != nullptr) {
    node->prev->next = node->next;
  } else {
    buckets_[bucket] = node->next;
  }
  if (node->next != nullptr) node->next->prev = node->prev;
  delete node;
  --count_;
  return true;
}

const wchar_t* CUIStringMap::GetAt(int index) const {
  if (buckets_ == nullptr || index < 0) return nullptr;
  int position = 0;
  for (int b = bucket_count_ - 1; b >= 0; --b) {
    for (const Node* node = buckets_[b]; node != nullptr; node = node->next) {
      if (position++ == index) return node->key.GetData();
    }
  }
  return nullptr;
}

}  // namespace Vellum
