#include "vellum/core/base/ui_delegate.h"

#include <gtest/gtest.h>

#include <string>

using Vellum::CDelegate;
using Vellum::CDelegateList;

namespace {

class Recorder {
 public:
  explicit Recorder(bool answer) : answer_(answer) {}
  std::string calls;

 protected:
  bool Record(const char* name, void* param) {
    calls += name;
    calls += "(" + std::to_string(*static_cast<int*>(param)) + ")";
    return answer_;
  }

 private:
  bool answer_;
};

struct FirstBase {
  virtual ~FirstBase() = default;
  virtual bool OnFirst(void* param) = 0;
};

struct SecondBase {
  virtual ~SecondBase() = default;
  virtual bool OnSecond(void* param) = 0;
};

// OnFirst and OnSecond sit in the same vtable slot of their bases, so their member pointers differ
// only in the second word, the this-adjustment: a delegate that kept one word would mix them up.
class Watcher : public FirstBase, public SecondBase, public Recorder {
 public:
  explicit Watcher(bool answer = true) : Recorder(answer) {}
  bool OnFirst(void* param) override { return Record("first", param); }
  bool OnSecond(void* param) override { return Record("second", param); }
  bool OnPlain(void* param) { return Record("plain", param); }
};

}  // namespace

TEST(Delegates, MemberFunctionPointersAreStoredAndComparedWhole) {
  static_assert(sizeof(&Watcher::OnFirst) > sizeof(void*), "member pointers are wider than void* here");
  Watcher watcher;
  CDelegate<Watcher> first(&watcher, &FirstBase::OnFirst);
  CDelegate<Watcher> second(&watcher, &SecondBase::OnSecond);
  ASSERT_EQ(first.GetFn().words[0], second.GetFn().words[0]);  // the fixture's premise
  CDelegate<Watcher> plain(&watcher, &Watcher::OnPlain);
  EXPECT_TRUE(first.Equals(CDelegate<Watcher>(&watcher, &FirstBase::OnFirst)));
  EXPECT_FALSE(first.Equals(second));
  EXPECT_FALSE(first.Equals(plain));
  Watcher other;
  EXPECT_FALSE(first.Equals(CDelegate<Watcher>(&other, &Watcher::OnFirst)));

  int value = 5;
  EXPECT_TRUE(second(&value));
  Vellum::CDelegateBase* copy = first.Copy();
  EXPECT_TRUE(copy->Equals(first));
  EXPECT_TRUE(copy->Invoke(&value));
  delete copy;
  EXPECT_EQ("second(5)first(5)", watcher.calls);
}

TEST(Delegates, EventSourceFiresInOrderAndStopsAtTheFirstRefusal) {
  CDelegateList empty;
  int value = 1;
  EXPECT_FALSE(static_cast<bool>(empty));
  EXPECT_TRUE(empty(&value));

  Watcher a, refuses(false), c;
  CDelegateList list;
  list += CDelegate<Watcher>(&a, &Watcher::OnFirst);
  list += CDelegate<Watcher>(&a, &Watcher::OnFirst);  // attached once
  list += CDelegate<Watcher>(&a, &Watcher::OnSecond);
  EXPECT_TRUE(static_cast<bool>(list));
  EXPECT_TRUE(list(&value));
  EXPECT_EQ("first(1)second(1)", a.calls);

  CDelegateList stopping;
  stopping += CDelegate<Watcher>(&a, &Watcher::OnPlain);
  stopping += CDelegate<Watcher>(&refuses, &Watcher::OnPlain);
  stopping += CDelegate<Watcher>(&c, &Watcher::OnPlain);
  value = 2;
  EXPECT_FALSE(stopping(&value));
  EXPECT_EQ("first(1)second(1)plain(2)", a.calls);
  EXPECT_EQ("plain(2)", refuses.calls);
  EXPECT_EQ("", c.calls);
}
