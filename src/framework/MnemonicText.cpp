#include "framework/MnemonicText.h"

#include <vector>

#include "framework/GdiGuards.h"

TMnemonicCaption SplitMnemonic(const std::wstring& Caption) {
  TMnemonicCaption result;
  for (std::size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == L'&' && i + 1 < Caption.size()) {
      ++i;
      if (Caption[i] != L'&' && result.Letter < 0)
        result.Letter = static_cast<int>(result.Shown.size());
    }
    result.Shown += Caption[i];
  }
  return result;
}

namespace {

const wchar_t kRightToLeftMark = 0x200F;

// Left edge and width of the glyph of logical character Index once the text is laid out right
// to left, relative to the text's left end; false when the system cannot tell. The placement
// call is not told the paragraph's direction on every system (some order the neutral " >" of
// "המשך >" as in a left-to-right paragraph), so the text is framed by two right-to-left marks,
// which make it one right-to-left run either way; their own places are left out.
bool GlyphSpan(HDC dc, const std::wstring& text, int index, int& left, int& width) {
  const std::wstring framed = kRightToLeftMark + text + kRightToLeftMark;
  const int n = static_cast<int>(framed.size());
  std::vector<UINT> order(n);
  std::vector<int> dx(n);
  std::vector<wchar_t> visual(n + 1);
  GCP_RESULTSW results = {};
  results.lStructSize = sizeof results;
  results.lpOutString = visual.data();
  results.lpOrder = order.data();
  results.lpDx = dx.data();
  results.nGlyphs = n;
  const UINT oldAlign = SetTextAlign(dc, GetTextAlign(dc) | TA_RTLREADING);
  const DWORD size = GetCharacterPlacementW(dc, framed.c_str(), n, 0, &results, GCP_REORDER);
  SetTextAlign(dc, oldAlign);
  const UINT target = order[index + 1], firstMark = order[0], lastMark = order[n - 1];
  if (!size || target >= static_cast<UINT>(n)) return false;
  // lpOrder maps logical to visual positions; lpDx is in visual order.
  left = 0;
  for (UINT v = 0; v < target; ++v)
    if (v != firstMark && v != lastMark) left += dx[v];
  width = dx[target];
  return width > 0;
}

}  // namespace

int DrawRightToLeftMnemonic(HDC DC, const std::wstring& Caption, RECT& R, UINT Format) {
  const TMnemonicCaption caption = SplitMnemonic(Caption);
  const UINT plain = (Format & ~(DT_HIDEPREFIX | DT_PREFIXONLY)) | DT_NOPREFIX;
  const int n = static_cast<int>(caption.Shown.size());
  const int height = DrawTextW(DC, caption.Shown.c_str(), n, &R, plain);
  if (caption.Letter < 0 || (Format & DT_HIDEPREFIX)) return height;

  RECT extent = R;
  DrawTextW(DC, caption.Shown.c_str(), n, &extent, plain | DT_CALCRECT);
  const int w = extent.right - extent.left, h = extent.bottom - extent.top;
  int x = R.left, y = R.top;
  if (Format & DT_CENTER)
    x = R.left + (R.right - R.left - w) / 2;
  else if (Format & DT_RIGHT)
    x = R.right - w;
  if (Format & DT_VCENTER)
    y = R.top + (R.bottom - R.top - h) / 2;
  else if (Format & DT_BOTTOM)
    y = R.bottom - h;

  int left = 0, width = 0;
  if (!GlyphSpan(DC, caption.Shown, caption.Letter, left, width)) return height;
  TEXTMETRICW metrics = {};
  GetTextMetricsW(DC, &metrics);
  RECT underline{x + left, y + metrics.tmAscent + 1, x + left + width, y + metrics.tmAscent + 2};
  TGdiObject<HBRUSH> brush(CreateSolidBrush(GetTextColor(DC)));
  FillRect(DC, &underline, brush);
  return height;
}
