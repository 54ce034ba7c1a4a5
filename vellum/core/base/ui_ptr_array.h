#pragma once

namespace Vellum {

// A growable array of untyped pointers. The array owns its block, never the objects pointed to.
// Capacities run 11, 22, 44, ...: one entry always stays free after a growth.
class CUIPtrArray {
 public:
  explicit CUIPtrArray(int preallocate = 0);
  // Copies are deep: each array has its own block.
  CUIPtrArray(const CUIPtrArray& other);
  CUIPtrArray& operator=(const CUIPtrArray& other);
  ~CUIPtrArray();

  // Both return false, leaving the array as it was, when the block cannot grow.
  bool Add(void* item);
  // An index equal to the size appends; false for an index below 0 or above the size.
  bool InsertAt(int index, void* item);
  bool Remove(int index);
  // Index of the first equal pointer, else -1.
  int Find(void* item) const;
  // Null for an index outside the array.
  void* GetAt(int index) const;
  // The index is not tested.
  void* operator[](int index) const { return items_[index]; }
  bool SetAt(int index, void* item);

  int GetSize() const { return count_; }
  // Entries the block holds before it must grow.
  int GetCapacity() const { return capacity_; }
  bool IsEmpty() const { return count_ == 0; }
  void Empty();
  // Replaces the contents with n null entries.
  void Resize(int n);

 private:
  // Raises the count by one, growing the block when the new count reaches the capacity.
  bool Grow();

  void** items_;
  int count_;
  int capacity_;
};

}  // namespace Vellum
