#pragma once

#include "vellum/core/base/ui_string.h"

namespace Vellum {

// The map's hash: over the characters from the last to the first, h = h * 33 + code, in unsigned
// 32-bit arithmetic.
unsigned int UIStringHash(const wchar_t* key);

// A hash map from case-sensitive string keys to untyped pointers, chained per bucket. The map owns
// its nodes and keys, never the data pointers. New keys go to the head of their bucket; iteration
// (GetAt) runs the buckets from the last to the first, each chain from its head.
class CUIStringMap {
 public:
  // The framework builds its maps with 83 buckets; fewer than 16 are never used.
  explicit CUIStringMap(int bucket_count = 83);
  // Copies are deep and keep the iteration order.
  CUIStringMap(const CUIStringMap& other);
  CUIStringMap& operator=(const CUIStringMap& other);
  ~CUIStringMap();

  // With optimize, a hit moves to the head of its bucket so repeated lookups get cheaper.
  void* Find(const wchar_t* key, bool optimize = true) const;
  // False when the key is present or the map has no buckets.
  bool Insert(const wchar_t* key, void* data);
  // Returns the old data of a present key (null for a new key); a map without buckets hands the
  // new data back unchanged.
  void* Set(const wchar_t* key, void* data);
  bool Remove(const wchar_t* key);
  int GetSize() const { return count_; }
  int GetBucketCount() const { return bucket_count_; }
  // The key of the index-th entry in iteration order, or null past the end.
  const wchar_t* GetAt(int index) const;
  const wchar_t* operator[](int index) const { return GetAt(index); }
  // Frees every entry; then n empty buckets, or none when n <= 0.
  void Resize(int n);
  void RemoveAll();

 private:
  struct Node {
    CUIString key;
    void* data;
    Node* prev;
    Node* next;
  };

  Node* FindNode(const wchar_t* key, unsigned int* bucket) const;
  void FreeAll();
  void CopyFrom(const CUIStringMap& other);

  Node** buckets_;
  int bucket_count_;
  int count_;
};

}  // namespace Vellum
