#include "LayoutReadBack.h"

#include <algorithm>

#include "controls/UTopicBevel.h"
#include "framework/MnemonicText.h"
#include "framework/StdControls.h"

namespace {

void ReadFont(HFONT font, TSeen& seen) {
  LOGFONTW log = {};
  if (!font || !GetObjectW(font, sizeof log, &log)) return;
  seen.Face = log.lfFaceName;
  seen.FontHeight = log.lfHeight;
  seen.Bold = log.lfWeight >= FW_BOLD;
}

std::wstring FirstLine(const std::wstring& text) { return text.substr(0, text.find(L"\r\n")); }

}  // namespace

TSeen ReadBack(const TControl& control) {
  TSeen seen;
  seen.TextColor = control.Font().Color();
  auto* bevel = dynamic_cast<const TTopicBevel*>(&control);
  seen.FillColor = bevel ? bevel->Color() : control.Color();
  auto* window = dynamic_cast<const TWinControl*>(&control);
  if (window && window->Handle()) {
    HWND handle = window->Handle();
    GetWindowRect(handle, &seen.Bounds);
    HWND parent = GetAncestor(handle, GA_PARENT);
    if (GetWindowLongW(handle, GWL_STYLE) & WS_CHILD)
      MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&seen.Bounds), 2);
    ReadFont(reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)), seen);
    wchar_t text[1024] = L"";
    GetWindowTextW(handle, text, 1024);
    seen.Caption = text;
    seen.Visible = GetWindowLongW(handle, GWL_STYLE) & WS_VISIBLE;
    return seen;
  }
  seen.Bounds = control.BoundsRect();
  ReadFont(control.Font().Handle(), seen);
  seen.Caption = control.Caption();
  seen.Visible = control.Visible();
  return seen;
}

std::wstring Compare(const TLayoutRow& row, const TSeen& seen) {
  std::wstring out;
  auto check = [&](bool same, const wchar_t* what, const std::wstring& expected,
                   const std::wstring& found) {
    if (!same) out += std::wstring(what) + L": expected " + expected + L", found " + found + L"\n";
  };
  auto number = [](long v) { return std::to_wstring(v); };
  const RECT& b = seen.Bounds;
  check(b.left == row.Left, L"left", number(row.Left), number(b.left));
  check(b.top == row.Top, L"top", number(row.Top), number(b.top));
  if (row.Width >= 0)
    check(b.right - b.left == row.Width, L"width", number(row.Width), number(b.right - b.left));
  if (row.Height >= 0)
    check(b.bottom - b.top == row.Height, L"height", number(row.Height), number(b.bottom - b.top));
  if (row.Face) {
    check(seen.Face == row.Face, L"font", row.Face, seen.Face);
    check(seen.FontHeight == row.FontHeight, L"font height", number(row.FontHeight),
          number(seen.FontHeight));
    check(seen.Bold == row.Bold, L"bold", number(row.Bold), number(seen.Bold));
  }
  if (row.TextColor != kAnyColor)
    check(seen.TextColor == row.TextColor, L"text colour", number(row.TextColor),
          number(seen.TextColor));
  if (row.FillColor != kAnyColor)
    check(seen.FillColor == row.FillColor, L"colour", number(row.FillColor),
          number(seen.FillColor));
  if (row.Caption)
    check(FirstLine(seen.Caption) == row.Caption, L"caption", row.Caption, seen.Caption);
  check(seen.Visible == row.Visible, L"visible", number(row.Visible), number(seen.Visible));
  return out;
}

SIZE Overflow(const TControl& control) {
  std::wstring text = control.Caption();
  UINT flags = control.DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  int room = control.Width();
  if (auto* label = dynamic_cast<const TLabel*>(&control)) {
    flags = label->TextFlags();
  } else if (dynamic_cast<const TCheckBox*>(&control)) {
    text = SplitMnemonic(text).Shown;
    room -= 13 + 4;  // the box and the gap beside it
    flags = control.DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  } else {
    text = SplitMnemonic(text).Shown;
    room -= 4;  // a button's frame
    flags |= DT_NOPREFIX;
  }
  // Drawn unclipped in the middle of a larger white field: ink outside the box is text lost.
  const int margin = 40, height = control.Height();
  TBitmap field(room + 2 * margin, height + 2 * margin);
  TCanvas canvas = field.Canvas();
  canvas.Brush.Color = clWhite;
  canvas.FillRect(RECT{0, 0, field.Width(), field.Height()});
  canvas.Font = control.Font();
  canvas.Font.SetColor(clBlack);
  RECT box{margin, margin, margin + room, margin + height};
  canvas.DrawText(text, box, flags | DT_NOCLIP);
  SIZE over{0, 0};
  for (int y = 0; y < field.Height(); ++y)
    for (int x = 0; x < field.Width(); ++x) {
      if ((field.Pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) continue;
      over.cx = std::max<LONG>(over.cx, std::max(box.left - x, x + 1 - box.right));
      over.cy = std::max<LONG>(over.cy, std::max(box.top - y, y + 1 - box.bottom));
    }
  return over;
}
