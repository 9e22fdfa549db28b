#pragma once
// Guards for COM: the apartment of one call and the interface pointers it takes.
#include <objbase.h>

// COM for the length of one call; a thread that has it already keeps it as it was.
class TComScope {
 public:
  TComScope() : FInitialized(SUCCEEDED(CoInitialize(nullptr))) {}
  ~TComScope() {
    if (FInitialized) CoUninitialize();
  }
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;

 private:
  bool FInitialized;
};

// Releases an interface pointer on every path.
template <typename T>
class TComPtr {
 public:
  TComPtr() = default;
  ~TComPtr() {
    if (FPtr) FPtr->Release();
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  T* operator->() const { return FPtr; }
  T* Get() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  // For a call that hands out an interface: the pointer is empty before it.
  T** Put() { return &FPtr; }
  void** Out() { return reinterpret_cast<void**>(&FPtr); }

 private:
  T* FPtr = nullptr;
};
