#pragma once

#include <cstring>

#include "vellum/core/base/ui_ptr_array.h"

namespace Vellum {

// A callback attached to an event source. The function word identifies the callback for Equals; it
// is wide enough for a member-function pointer, which on this ABI is two machine words and does not
// fit in a void*.
class CDelegateBase {
 public:
  struct FunctionWord {
    void* words[2];
    bool operator==(const FunctionWord& other) const {
      return words[0] == other.words[0] && words[1] == other.words[1];
    }
  };

  // Any callable pointer type (member or plain function) up to two words.
  template <typename Fn>
  static FunctionWord MakeFunctionWord(Fn fn) {
    static_assert(sizeof(Fn) <= sizeof(FunctionWord), "function pointer too wide for a delegate");
    FunctionWord word = {{nullptr, nullptr}};
    std::memcpy(&word, &fn, sizeof(Fn));
    return word;
  }

  CDelegateBase(void* object, const FunctionWord& fn) : object_(object), fn_(fn) {}
  CDelegateBase(const CDelegateBase& other) = default;
  virtual ~CDelegateBase() = default;

  virtual CDelegateBase* Copy() const = 0;
  virtual FunctionWord GetFn() const { return fn_; }
  virtual bool Invoke(void* param) = 0;

  bool operator()(void* param) { return Invoke(param); }
  bool Equals(const CDelegateBase& other) const { return object_ == other.object_ && GetFn() == other.GetFn(); }

 protected:
  void* GetObject() const { return object_; }

 private:
  void* object_;
  FunctionWord fn_;
};

// A member function bool (T::*)(void*) called on its object.
template <typename T>
class CDelegate : public CDelegateBase {
 public:
  using Fn = bool (T::*)(void*);

  CDelegate(T* object, Fn fn) : CDelegateBase(object, MakeFunctionWord(fn)), fn_(fn) {}

  CDelegateBase* Copy() const override { return new CDelegate(*this); }
  bool Invoke(void* param) override { return (static_cast<T*>(GetObject())->*fn_)(param); }

 private:
  Fn fn_;
};

// An event source: owned copies of the attached delegates, fired in the order they were added.
class CDelegateList {
 public:
  CDelegateList() = default;
  ~CDelegateList();
  CDelegateList(const CDelegateList&) = delete;
  CDelegateList& operator=(const CDelegateList&) = delete;

  // Attaches a copy unless an equal delegate is already attached.
  CDelegateList& operator+=(const CDelegateBase& delegate);
  // Detaches the attached copy equal to the delegate, if there is one.
  CDelegateList& operator-=(const CDelegateBase& delegate);
  // Fires every delegate; the first that answers false stops the firing and the list answers false.
  bool operator()(void* param);
  explicit operator bool() const { return !delegates_.IsEmpty(); }

 private:
  CUIPtrArray delegates_;
};

}  // namespace Vellum
