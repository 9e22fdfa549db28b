#pragma once
// Colours, fonts, bitmaps and the canvas that the controls paint with.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// 0x00BBGGRR as the layouts give it; 0x80000000 | COLOR_xxx names a system colour.
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clGray = 0x808080;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBtnFace = 0x80000000 | COLOR_BTNFACE;
constexpr TColor clBtnShadow = 0x80000000 | COLOR_BTNSHADOW;
constexpr TColor clBtnHighlight = 0x80000000 | COLOR_BTNHIGHLIGHT;
constexpr TColor clWindow = 0x80000000 | COLOR_WINDOW;
constexpr TColor clWindowText = 0x80000000 | COLOR_WINDOWTEXT;
constexpr TColor clGrayText = 0x80000000 | COLOR_GRAYTEXT;

COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A logical font; the GDI handle is made on first use and remade after a change.
class TFont {
 public:
  TFont() = default;
  TFont(const TFont& other);
  TFont& operator=(const TFont& other);

  const std::wstring& Name() const { return FName; }
  int Height() const { return FHeight; }
  unsigned Style() const { return FStyle; }
  BYTE Charset() const { return FCharset; }
  TColor Color() const { return FColor; }
  int Size() const;  // points at the screen's resolution

  void SetName(const std::wstring& name);
  void SetHeight(int height);
  void SetStyle(unsigned style);
  void SetCharset(BYTE charset);
  void SetColor(TColor color);
  // Name, height, style and charset in one step, as the layout tables state them.
  void Assign(const std::wstring& name, int height, unsigned style = 0,
              BYTE charset = DEFAULT_CHARSET);

  HFONT Handle() const;
  std::function<void()> OnChange;

 private:
  void Changed();

  std::wstring FName = L"MS Sans Serif";
  int FHeight = -11;
  unsigned FStyle = 0;
  BYTE FCharset = DEFAULT_CHARSET;
  TColor FColor = clWindowText;
  mutable std::shared_ptr<std::remove_pointer_t<HFONT>> FHandle;
};

class TBitmap;

enum TBrushStyle { bsSolid, bsClear };

// Drawing on a device context with the current brush, pen and font, in the manner of the
// layouts: colours are TColor, rectangles include their left/top and exclude right/bottom.
class TCanvas {
 public:
  explicit TCanvas(HDC dc) : FDC(dc) {}
  HDC Handle() const { return FDC; }

  struct {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
  } Brush;
  struct {
    TColor Color = clBlack;
    int Width = 1;
  } Pen;
  TFont Font;

  void FillRect(const RECT& r);
  void Rectangle(int left, int top, int right, int bottom);
  void FrameRect(const RECT& r, TColor color);
  void Line(int x1, int y1, int x2, int y2, TColor color);
  // Raised or lowered 3-D frame of one pixel, as bevels and panels draw it.
  void Frame3D(RECT& r, TColor topLeft, TColor bottomRight);
  // DrawTextW with the canvas font and colour on a transparent background; DT_CALCRECT
  // answers in r.
  int DrawText(const std::wstring& text, RECT& r, UINT format);
  SIZE TextExtent(const std::wstring& text);
  void Draw(int x, int y, const TBitmap& bitmap);
  void StretchDraw(const RECT& r, const TBitmap& bitmap);
  // Draws with the colour of the bitmap's bottom-left pixel left out.
  void DrawTransparent(int x, int y, const TBitmap& bitmap);
  TColor Pixel(int x, int y) const;

 private:
  HDC FDC;
};

// A 32-bit top-down DIB section with its own memory device context.
class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height) { SetSize(width, height); }
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  void SetSize(int width, int height);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FBitmap == nullptr; }
  HDC DC() const { return FDC; }
  HBITMAP Handle() const { return FBitmap; }
  // Pixels as 0x00RRGGBB words, rows top to bottom.
  std::uint32_t* Bits() const { return FBits; }
  TColor Pixel(int x, int y) const;
  TCanvas Canvas() const { return TCanvas(FDC); }

  void Assign(const TBitmap& source);
  // Copies the rectangle (x, y, w, h) of source into this bitmap, resized to w x h.
  void AssignPart(const TBitmap& source, int x, int y, int w, int h);
  // A BITMAP resource of the module (RT_BITMAP).
  void LoadFromResourceName(HINSTANCE instance, const std::wstring& name);
  // A JPEG picture stored as RCDATA in the module.
  void LoadJpegFromResourceName(HINSTANCE instance, const std::wstring& name);
  void LoadJpegFromMemory(const std::uint8_t* data, std::size_t size);

 private:
  void Clear();

  int FWidth = 0;
  int FHeight = 0;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  HDC FDC = nullptr;
  std::uint32_t* FBits = nullptr;
};

// The screen's resolution in dots per inch (96 unless the system is set otherwise).
int ScreenPixelsPerInch();
