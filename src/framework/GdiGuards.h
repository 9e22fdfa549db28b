#pragma once
// Small guards for GDI: each gives back what it took when it goes, on every path, so drawing
// code creates and selects without closing by hand.
#include <windows.h>

// Owns a pen, brush, font, palette or bitmap and deletes it.
template <class THandle>
class TGdiObject {
 public:
  explicit TGdiObject(THandle handle) : FHandle(handle) {}
  ~TGdiObject() {
    if (FHandle) DeleteObject(FHandle);
  }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  operator THandle() const { return FHandle; }

 private:
  THandle FHandle;
};

// Selects an object into a device context and the previous one back. Declared after the
// object it selects, it goes first.
class TSelection {
 public:
  TSelection(HDC dc, HGDIOBJ object) : FDC(dc), FOld(SelectObject(dc, object)) {}
  ~TSelection() { SelectObject(FDC, FOld); }
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

// The device context of a window's client area (of the screen for none) or, with Whole, of
// the whole window; released when it goes.
class TWindowDC {
 public:
  explicit TWindowDC(HWND window = nullptr, bool whole = false)
      : FWindow(window), FDC(whole ? GetWindowDC(window) : GetDC(window)) {}
  ~TWindowDC() { ReleaseDC(FWindow, FDC); }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  operator HDC() const { return FDC; }

 private:
  HWND FWindow;
  HDC FDC;
};

// A memory device context compatible with the screen, deleted when it goes.
class TMemoryDC {
 public:
  TMemoryDC() : FDC(CreateCompatibleDC(nullptr)) {}
  ~TMemoryDC() { DeleteDC(FDC); }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  operator HDC() const { return FDC; }

 private:
  HDC FDC;
};
