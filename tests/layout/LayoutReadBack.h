#pragma once
// What a control shows, read back from its window where it has one (rectangle in the parent's
// client area, the font the window was given, its text and style bits) and from the framework
// where its parent paints it.
#include <string>

#include "framework/Control.h"

// One row of a layout table. Negative sizes, a null face or caption and kAnyColor mean "not
// given by the table".
constexpr TColor kAnyColor = 0xFFFFFFFF;
struct TLayoutRow {
  const wchar_t* Name;
  int Left, Top, Width, Height;
  const wchar_t* Face;
  int FontHeight;
  bool Bold;
  TColor TextColor;
  TColor FillColor;
  const wchar_t* Caption;  // the first line of a multi-line text
  bool Visible;
};

struct TSeen {
  RECT Bounds{};
  std::wstring Face;
  int FontHeight = 0;
  bool Bold = false;
  TColor TextColor = 0;
  TColor FillColor = 0;
  std::wstring Caption;
  bool Visible = false;
};

TSeen ReadBack(const TControl& control);

// The differences between a row and what the control shows, one per line; empty when none.
std::wstring Compare(const TLayoutRow& row, const TSeen& seen);

// The text of a label, check box or button drawn in its own font: how many pixels of ink fall
// outside its box across and down (0, 0 when it fits).
SIZE Overflow(const TControl& control);
