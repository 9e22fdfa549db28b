#include "framework/RightToLeftCaption.h"

#include <string>

#include "framework/GdiGuards.h"
#include "framework/SystemLibrary.h"

namespace {

// A composited desktop draws the frames itself, following the window's extended styles.
bool Composited() {
  using TIsCompositionEnabled = HRESULT(WINAPI*)(BOOL*);
  static const auto isEnabled =
      SystemProc<TIsCompositionEnabled>(L"dwmapi.dll", "DwmIsCompositionEnabled");
  BOOL enabled = FALSE;
  return isEnabled && SUCCEEDED(isEnabled(&enabled)) && enabled;
}

// The caption bar's text area in window coordinates: between the frame and the close box.
RECT CaptionTextArea(HWND window) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  const int frame = client.left - outer.left;
  const int width = outer.right - outer.left;
  RECT area{frame, frame, width - frame, client.top - outer.top - 1};
  if (GetWindowLongW(window, GWL_STYLE) & WS_SYSMENU) area.right -= GetSystemMetrics(SM_CXSIZE) + 2;
  area.left += 2;
  return area;
}

void FillCaptionBar(HDC dc, HWND window, const RECT& area, bool active) {
  const COLORREF from = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  BOOL gradient = FALSE;
  SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
  if (!gradient) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(from));
    FillRect(dc, &area, brush);
    return;
  }
  // The gradient runs across the whole bar; only the text area is painted again.
  const COLORREF to =
      GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
  RECT outer;
  GetWindowRect(window, &outer);
  const int width = outer.right - outer.left;
  for (int x = area.left; x < area.right; ++x) {
    auto mix = [&](int shift) {
      const int a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
      return a + (b - a) * x / (width > 1 ? width - 1 : 1);
    };
    TGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(mix(0), mix(8), mix(16))));
    RECT column{x, area.top, x + 1, area.bottom};
    FillRect(dc, &column, brush);
  }
}

}  // namespace

void RedrawRightToLeftCaption(HWND Window, bool Active) {
  if (Composited() || !(GetWindowLongW(Window, GWL_STYLE) & WS_CAPTION) || IsIconic(Window)) return;
  const RECT area = CaptionTextArea(Window);
  if (area.right <= area.left || area.bottom <= area.top) return;
  const int length = GetWindowTextLengthW(Window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(Window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));

  TWindowDC dc(Window, true);
  FillCaptionBar(dc, Window, area, Active);
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  TGdiObject<HFONT> font(CreateFontIndirectW(&metrics.lfCaptionFont));
  TSelection selection(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  RECT r = area;
  r.right -= 2;
  DrawTextW(dc, text.c_str(), length, &r,
            DT_RIGHT | DT_RTLREADING | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}
