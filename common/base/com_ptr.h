#pragma once

#include <objbase.h>

#include <utility>

// Owns one COM interface reference.
template <typename T>
class com_ptr {
 public:
  com_ptr() = default;
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;
  com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  com_ptr& operator=(com_ptr&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ~com_ptr() { reset(); }

  void reset() {
    if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out-parameters: releases what is held and hands out the slot.
  T** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

  template <typename U>
  HRESULT As(com_ptr<U>* other) const {
    if (p_ == nullptr) return E_POINTER;
    return p_->QueryInterface(__uuidof(U), other->put_void());
  }

 private:
  T* p_ = nullptr;
};

// Joins the calling thread to a COM apartment for the scope when it is not in one yet, and leaves
// only what it joined.
class ScopedComApartment {
 public:
  explicit ScopedComApartment(DWORD model = COINIT_APARTMENTTHREADED) {
    HRESULT hr = CoInitializeEx(nullptr, model);
    // RPC_E_CHANGED_MODE: the thread is already in the other kind of apartment, which serves as well.
    joined_ = SUCCEEDED(hr);
    usable_ = joined_ || hr == RPC_E_CHANGED_MODE;
  }
  ~ScopedComApartment() {
    if (joined_) CoUninitialize();
  }
  ScopedComApartment(const ScopedComApartment&) = delete;
  ScopedComApartment& operator=(const ScopedComApartment&) = delete;

  bool usable() const { return usable_; }

 private:
  bool joined_ = false;
  bool usable_ = false;
};

// Owns a BSTR.
class ScopedBstr {
 public:
  explicit ScopedBstr(const wchar_t* text) : s_(SysAllocString(text)) {}
  ~ScopedBstr() { SysFreeString(s_); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  operator BSTR() const { return s_; }

 private:
  BSTR s_;
};
