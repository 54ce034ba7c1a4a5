#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vellum/core/base/ui_geometry.h"
#include "vellum/core/base/ui_ptr_array.h"
#include "vellum/core/base/ui_string_map.h"

using Vellum::CUIPtrArray;
using Vellum::CUIRect;
using Vellum::CUIStringMap;

namespace {

void* P(int n) { return reinterpret_cast<void*>(static_cast<intptr_t>(n)); }

std::vector<intptr_t> Items(const CUIPtrArray& array) {
  std::vector<intptr_t> items;
  for (int i = 0; i < array.GetSize(); ++i) items.push_back(reinterpret_cast<intptr_t>(array[i]));
  return items;
}

std::vector<std::wstring> Keys(const CUIStringMap& map) {
  std::vector<std::wstring> keys;
  for (int i = 0; map.GetAt(i) != nullptr; ++i) keys.push_back(map[i]);
  return keys;
}

}  // namespace

TEST(UIPtrArray, GrowsToElevenThenDoublesKeepingOneEntryFree) {
  CUIPtrArray array;
  EXPECT_EQ(0, array.GetCapacity());
  std::vector<int> capacities;
  for (int i = 1; i <= 45; ++i) {
    ASSERT_TRUE(array.Add(P(i)));
    if (capacities.empty() || capacities.back() != array.GetCapacity()) capacities.push_back(array.GetCapacity());
  }
  EXPECT_EQ((std::vector<int>{11, 22, 44, 88}), capacities);
  EXPECT_EQ(45, array.GetSize());
  EXPECT_EQ(P(45), array.GetAt(44));

  CUIPtrArray preallocated(5);
  EXPECT_EQ(5, preallocated.GetCapacity());
  for (int i = 0; i < 4; ++i) preallocated.Add(P(i));
  EXPECT_EQ(5, preallocated.GetCapacity());
  preallocated.Add(P(4));
  EXPECT_EQ(10, preallocated.GetCapacity());
}

TEST(UIPtrArray, IndexedOperationsReportOutOfRange) {
  CUIPtrArray array;
  EXPECT_TRUE(array.IsEmpty());
  EXPECT_TRUE(array.InsertAt(0, P(2)));  // index equal to the size appends
  EXPECT_TRUE(array.InsertAt(0, P(1)));
  EXPECT_TRUE(array.InsertAt(2, P(4)));
  EXPECT_TRUE(array.InsertAt(2, P(3)));
  EXPECT_FALSE(array.InsertAt(5, P(9)));  // size + 1
  EXPECT_FALSE(array.InsertAt(-1, P(9)));
  EXPECT_EQ((std::vector<intptr_t>{1, 2, 3, 4}), Items(array));

  EXPECT_EQ(2, array.Find(P(3)));
  EXPECT_EQ(-1, array.Find(P(7)));
  EXPECT_EQ(nullptr, array.GetAt(4));
  EXPECT_EQ(nullptr, array.GetAt(-1));
  EXPECT_TRUE(array.SetAt(3, P(5)));
  EXPECT_FALSE(array.SetAt(4, P(5)));
  EXPECT_FALSE(array.Remove(4));
  EXPECT_FALSE(array.Remove(-1));
  EXPECT_TRUE(array.Remove(1));
  EXPECT_EQ((std::vector<intptr_t>{1, 3, 5}), Items(array));
  EXPECT_TRUE(array.Remove(2));
  EXPECT_EQ((std::vector<intptr_t>{1, 3}), Items(array));

  array.Resize(3);
  EXPECT_EQ(3, array.GetSize());
  EXPECT_EQ(3, array.GetCapacity());
  EXPECT_EQ(nullptr, array.GetAt(2));
  array.Empty();
  EXPECT_EQ(0, array.GetSize());
  EXPECT_EQ(0, array.GetCapacity());
}

TEST(UIPtrArray, CopiesOwnTheirBlocks) {
  auto original = std::make_unique<CUIPtrArray>();
  for (int i = 0; i < 30; ++i) original->Add(P(i));
  CUIPtrArray copy(*original);
  CUIPtrArray assigned;
  assigned.Add(P(99));
  assigned = *original;
  original->SetAt(0, P(-1));
  original.reset();  // frees the original block; the copies must still be intact
  EXPECT_EQ(30, copy.GetSize());
  EXPECT_EQ(P(0), copy[0]);
  EXPECT_EQ(P(29), copy[29]);
  EXPECT_EQ(30, assigned.GetSize());
  EXPECT_EQ(P(0), assigned[0]);
  assigned = assigned;
  EXPECT_EQ(30, assigned.GetSize());
}

TEST(UIStringMap, HashRunsFromTheLastCharacterToTheFirst) {
  EXPECT_EQ(0u, Vellum::UIStringHash(L""));
  EXPECT_EQ(98u * 33 + 97, Vellum::UIStringHash(L"ab"));
  // Wraps around in 32 bits: 7 characters of 0xFFFF overflow the product.
  unsigned long long h = 0;
  for (int i = 0; i < 7; ++i) h = (h * 33 + 0xFFFF) & 0xFFFFFFFFull;
  EXPECT_EQ(static_cast<unsigned int>(h), Vellum::UIStringHash(L"\xFFFF\xFFFF\xFFFF\xFFFF\xFFFF\xFFFF\xFFFF"));
}

TEST(UIStringMap, KeepsUniqueKeysAndHandsBackReplacedData) {
  CUIStringMap map(5);
  EXPECT_EQ(16, map.GetBucketCount());
  EXPECT_EQ(83, CUIStringMap().GetBucketCount());
  int a = 1, b = 2, c = 3;
  EXPECT_EQ(nullptr, map.Find(L"a"));
  EXPECT_TRUE(map.Insert(L"a", &a));
  EXPECT_FALSE(map.Insert(L"a", &b));
  EXPECT_EQ(&a, map.Find(L"a"));
  EXPECT_EQ(nullptr, map.Find(L"A"));  // case-sensitive
  EXPECT_EQ(&a, map.Set(L"a", &b));
  EXPECT_EQ(&b, map.Find(L"a"));
  EXPECT_EQ(nullptr, map.Set(L"c", &c));
  EXPECT_EQ(2, map.GetSize());
  EXPECT_TRUE(map.Remove(L"a"));
  EXPECT_FALSE(map.Remove(L"a"));
  EXPECT_EQ(1, map.GetSize());
  EXPECT_EQ(nullptr, map.Find(L"a"));
  map.RemoveAll();
  EXPECT_EQ(0, map.GetSize());
  EXPECT_EQ(16, map.GetBucketCount());

  map.Resize(0);  // a map without buckets refuses everything
  EXPECT_FALSE(map.Insert(L"a", &a));
  EXPECT_EQ(&c, map.Set(L"a", &c));
  EXPECT_EQ(nullptr, map.Find(L"a"));
  EXPECT_FALSE(map.Remove(L"a"));
  EXPECT_EQ(nullptr, map.GetAt(0));
  EXPECT_EQ(0, map.GetSize());
}

TEST(UIStringMap, IteratesBucketsBackwardsAndMovesOptimizedHitsToTheFront) {
  // With 16 buckets a one-character key lands in bucket code % 16: "a" and "q" share bucket 1,
  // "b" is alone in bucket 2.
  CUIStringMap map(16);
  map.Insert(L"a", P(1));
  map.Insert(L"q", P(2));
  map.Insert(L"b", P(3));
  EXPECT_EQ((std::vector<std::wstring>{L"b", L"q", L"a"}), Keys(map));
  EXPECT_EQ(nullptr, map.GetAt(3));
  EXPECT_EQ(P(1), map.Find(L"a", false));
  EXPECT_EQ((std::vector<std::wstring>{L"b", L"q", L"a"}), Keys(map));
  EXPECT_EQ(P(1), map.Find(L"a", true));
  EXPECT_EQ((std::vector<std::wstring>{L"b", L"a", L"q"}), Keys(map));
  // The chain stays intact in both directions after the move.
  EXPECT_TRUE(map.Remove(L"q"));
  EXPECT_EQ((std::vector<std::wstring>{L"b", L"a"}), Keys(map));
  EXPECT_EQ(P(1), map.Find(L"a"));
}

TEST(UIStringMap, CopiesOwnTheirNodesAndKeepTheOrder) {
  auto original = std::make_unique<CUIStringMap>(16);
  const wchar_t* keys[] = {L"a", L"q", L"b", L"long key that lives on the heap: 0123456789012345678901234567890"};
  for (int i = 0; i < 4; ++i) original->Insert(keys[i], P(i));
  const std::vector<std::wstring> order = Keys(*original);
  CUIStringMap copy(*original);
  CUIStringMap assigned(16);
  assigned.Insert(L"x", P(9));
  assigned = *original;
  original.reset();
  EXPECT_EQ(order, Keys(copy));
  EXPECT_EQ(order, Keys(assigned));
  EXPECT_EQ(P(3), copy.Find(keys[3]));
  EXPECT_EQ(nullptr, assigned.Find(L"x"));
}

TEST(UIGeometry, RectanglesWorkAsWin32Rectangles) {
  CUIRect r(10, 20, 110, 70);
  EXPECT_EQ(100, r.GetWidth());
  EXPECT_EQ(50, r.GetHeight());
  RECT other = {50, 0, 200, 40};
  RECT both;
  ASSERT_TRUE(IntersectRect(&both, &r, &other));  // passes where a RECT is expected
  EXPECT_EQ(CUIRect(50, 20, 110, 40).left, both.left);
  EXPECT_EQ(40, both.bottom);

  CUIRect joined = r;
  joined.Join(CUIRect());  // an empty rectangle at the origin still stretches the result
  EXPECT_EQ(0, joined.left);
  EXPECT_EQ(0, joined.top);
  EXPECT_EQ(110, joined.right);

  CUIRect moved = r;
  moved.Offset(-5, 5);
  EXPECT_EQ(5, moved.left);
  EXPECT_EQ(75, moved.bottom);
  moved.ResetOffset();
  EXPECT_EQ(0, moved.left);
  EXPECT_EQ(0, moved.top);
  EXPECT_EQ(100, moved.right);
  EXPECT_EQ(50, moved.bottom);
  moved.Deflate(10, 5);
  EXPECT_EQ(10, moved.left);
  EXPECT_EQ(5, moved.top);
  EXPECT_EQ(90, moved.right);
  EXPECT_EQ(45, moved.bottom);

  POINT pt = {3, 4};
  Vellum::CUIPoint point(pt);
  EXPECT_EQ(4, point.y);
  Vellum::CUISize size(7, 8);
  SIZE& as_size = size;
  EXPECT_EQ(8, as_size.cy);
}
