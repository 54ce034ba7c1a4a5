#pragma once

// Tells a method whether its own object was destroyed while it called out. A native window sends
// notifications whose handlers may delete the control, and the control's destruction destroys the
// window and with it the window object, while the window's procedure is still running: after such
// a call the method must touch neither.
//
// The watched object holds a TDestructionMark; a CDestructionWatch on the stack of the method
// watches that mark for as long as it lives. Watches nest (a notification may come back into the
// same window): the destruction reaches every watch still open.

namespace Vellum {

class TDestructionMark {
 public:
  TDestructionMark() = default;
  TDestructionMark(const TDestructionMark&) = delete;
  TDestructionMark& operator=(const TDestructionMark&) = delete;
  ~TDestructionMark() {
    if (destroyed_ != nullptr) *destroyed_ = true;
  }

 private:
  friend class CDestructionWatch;
  bool* destroyed_ = nullptr;
};

class CDestructionWatch {
 public:
  explicit CDestructionWatch(TDestructionMark& mark) : mark_(mark), outer_(mark.destroyed_) {
    mark.destroyed_ = &destroyed_;
  }
  CDestructionWatch(const CDestructionWatch&) = delete;
  CDestructionWatch& operator=(const CDestructionWatch&) = delete;
  ~CDestructionWatch() {
    if (destroyed_) {
      // The mark is gone: only the outer watch is told.
      if (outer_ != nullptr) *outer_ = true;
    } else {
      mark_.destroyed_ = outer_;
    }
  }

  bool IsDestroyed() const { return destroyed_; }

 private:
  TDestructionMark& mark_;
  bool* outer_;
  bool destroyed_ = false;
};

}  // namespace Vellum
