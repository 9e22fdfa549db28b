#include "framework/Graphics.h"

#include "framework/Exception.h"
#include "framework/GdiGuards.h"
#include "framework/Jpeg.h"
#include "framework/MnemonicText.h"
#include "framework/Text.h"

COLORREF ColorToRGB(TColor color) {
  if (color & 0x80000000) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFF;
}

int ScreenPixelsPerInch() {
  const int ppi = GetDeviceCaps(TWindowDC(), LOGPIXELSY);
  return ppi > 0 ? ppi : 96;
}

// ---- TFont

TFont::TFont(const TFont& other)
    : FName(other.FName),
      FHeight(other.FHeight),
      FStyle(other.FStyle),
      FCharset(other.FCharset),
      FColor(other.FColor),
      FHandle(other.FHandle) {}

TFont& TFont::operator=(const TFont& other) {
  if (this == &other) return *this;
  FName = other.FName;
  FHeight = other.FHeight;
  FStyle = other.FStyle;
  FCharset = other.FCharset;
  FColor = other.FColor;
  FHandle = other.FHandle;
  if (OnChange) OnChange();
  return *this;
}

int TFont::Size() const { return MulDiv(-FHeight, 72, ScreenPixelsPerInch()); }

void TFont::SetName(const std::wstring& name) {
  FName = name;
  Changed();
}
void TFont::SetHeight(int height) {
  FHeight = height;
  Changed();
}
void TFont::SetStyle(unsigned style) {
  FStyle = style;
  Changed();
}
void TFont::SetCharset(BYTE charset) {
  FCharset = charset;
  Changed();
}
void TFont::SetColor(TColor color) {
  FColor = color;
  if (OnChange) OnChange();
}

void TFont::Assign(const std::wstring& name, int height, unsigned style, BYTE charset) {
  FName = name;
  FHeight = height;
  FStyle = style;
  FCharset = charset;
  Changed();
}

void TFont::Changed() {
  FHandle.reset();
  if (OnChange) OnChange();
}

HFONT TFont::Handle() const {
  if (!FHandle) {
    LOGFONTW lf{};
    lf.lfHeight = FHeight;
    lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (FStyle & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (FStyle & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (FStyle & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = FCharset;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    FHandle.reset(font, [](HFONT f) { DeleteObject(f); });
  }
  return FHandle.get();
}

// ---- TCanvas

void TCanvas::FillRect(const RECT& r) {
  if (Brush.Style == bsClear) return;
  TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Brush.Color)));
  ::FillRect(FDC, &r, brush);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  TGdiObject<HPEN> pen(CreatePen(PS_SOLID, Pen.Width, ColorToRGB(Pen.Color)));
  // A stock brush is not ours to delete.
  TGdiObject<HBRUSH> brush(Brush.Style == bsClear ? nullptr
                                                  : CreateSolidBrush(ColorToRGB(Brush.Color)));
  TSelection penSelection(FDC, pen);
  TSelection brushSelection(
      FDC, Brush.Style == bsClear ? GetStockObject(NULL_BRUSH) : static_cast<HGDIOBJ>(brush));
  ::Rectangle(FDC, left, top, right, bottom);
}

void TCanvas::FrameRect(const RECT& r, TColor color) {
  TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(color)));
  ::FrameRect(FDC, &r, brush);
}

void TCanvas::Line(int x1, int y1, int x2, int y2, TColor color) {
  TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ColorToRGB(color)));
  TSelection selection(FDC, pen);
  MoveToEx(FDC, x1, y1, nullptr);
  LineTo(FDC, x2, y2);
}

void TCanvas::Frame3D(RECT& r, TColor topLeft, TColor bottomRight) {
  Line(r.left, r.bottom - 1, r.left, r.top, topLeft);
  Line(r.left, r.top, r.right - 1, r.top, topLeft);
  Line(r.right - 1, r.top, r.right - 1, r.bottom - 1, bottomRight);
  Line(r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1, bottomRight);
  InflateRect(&r, -1, -1);
}

int TCanvas::DrawText(const std::wstring& text, RECT& r, UINT format) {
  TSelection font(FDC, Font.Handle());
  SetBkMode(FDC, TRANSPARENT);
  SetTextColor(FDC, ColorToRGB(Font.Color()));
  const bool ownUnderline = (format & DT_RTLREADING) && (format & DT_SINGLELINE) &&
                            !(format & (DT_NOPREFIX | DT_CALCRECT)) &&
                            text.find(L'&') != std::wstring::npos;
  return ownUnderline ? DrawRightToLeftMnemonic(FDC, text, r, format)
                      : ::DrawTextW(FDC, text.c_str(), static_cast<int>(text.size()), &r, format);
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
  TSelection font(FDC, Font.Handle());
  SIZE size{};
  GetTextExtentPoint32W(FDC, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  BitBlt(FDC, x, y, bitmap.Width(), bitmap.Height(), bitmap.DC(), 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const RECT& r, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  int oldMode = SetStretchBltMode(FDC, HALFTONE);
  StretchBlt(FDC, r.left, r.top, r.right - r.left, r.bottom - r.top, bitmap.DC(), 0, 0,
             bitmap.Width(), bitmap.Height(), SRCCOPY);
  SetStretchBltMode(FDC, oldMode);
}

void TCanvas::DrawTransparent(int x, int y, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  TColor key = bitmap.Pixel(0, bitmap.Height() - 1);
  // GDI32's own entry: MSIMG32's TransparentBlt forwards to it, and MSIMG32 is no KnownDLL.
  GdiTransparentBlt(FDC, x, y, bitmap.Width(), bitmap.Height(), bitmap.DC(), 0, 0, bitmap.Width(),
                    bitmap.Height(), key);
}

TColor TCanvas::Pixel(int x, int y) const { return GetPixel(FDC, x, y); }

// ---- TBitmap

TBitmap::~TBitmap() { Clear(); }

void TBitmap::Clear() {
  if (FDC) {
    SelectObject(FDC, FOldBitmap);
    DeleteDC(FDC);
  }
  if (FBitmap) DeleteObject(FBitmap);
  FDC = nullptr;
  FBitmap = nullptr;
  FBits = nullptr;
  FWidth = FHeight = 0;
}

void TBitmap::SetSize(int width, int height) {
  Clear();
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!FBitmap) throw Exception("Out of system resources");
  FBits = static_cast<std::uint32_t*>(bits);
  FDC = CreateCompatibleDC(nullptr);
  FOldBitmap = SelectObject(FDC, FBitmap);
  FWidth = width;
  FHeight = height;
}

TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return clNone;
  GdiFlush();
  std::uint32_t p = FBits[y * FWidth + x];
  return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}

void TBitmap::Assign(const TBitmap& source) {
  AssignPart(source, 0, 0, source.Width(), source.Height());
}

void TBitmap::AssignPart(const TBitmap& source, int x, int y, int w, int h) {
  SetSize(w, h);
  if (!Empty()) BitBlt(FDC, 0, 0, w, h, source.DC(), x, y, SRCCOPY);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::wstring& name) {
  TGdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
      LoadImageW(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!loaded) throw Exception("Resource " + Cp1255FromWide(name) + " not found");
  BITMAP info{};
  GetObjectW(loaded, sizeof(info), &info);
  SetSize(info.bmWidth, info.bmHeight);
  TMemoryDC source;
  TSelection selection(source, loaded);
  BitBlt(FDC, 0, 0, FWidth, FHeight, source, 0, 0, SRCCOPY);
}

void TBitmap::LoadJpegFromResourceName(HINSTANCE instance, const std::wstring& name) {
  HRSRC info = FindResourceW(instance, name.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL data = info ? LoadResource(instance, info) : nullptr;
  if (!data) throw Exception("Resource " + Cp1255FromWide(name) + " not found");
  LoadJpegFromMemory(static_cast<const std::uint8_t*>(LockResource(data)),
                     SizeofResource(instance, info));
}

void TBitmap::LoadJpegFromMemory(const std::uint8_t* data, std::size_t size) {
  TJpegPixels pixels = DecodeJpeg(data, size);
  SetSize(pixels.Width, pixels.Height);
  GdiFlush();
  const std::uint8_t* p = pixels.Rgb.data();
  for (int i = 0; i < FWidth * FHeight; ++i, p += 3)
    FBits[i] = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
}
