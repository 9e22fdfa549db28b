// Shortcut letters of right-to-left captions: the underline stands under the letter where the
// reordered text shows it.
#include <gtest/gtest.h>

#include "framework/Graphics.h"
#include "framework/MnemonicText.h"

namespace {

TEST(MnemonicTextTest, MarkersAreRemovedAndTheFirstLetterKept) {
  const TMnemonicCaption next = SplitMnemonic(L"&המשך >");
  EXPECT_TRUE(next.Shown == L"המשך >" && next.Letter == 0);
  const TMnemonicCaption back = SplitMnemonic(L"< &חזור");
  EXPECT_TRUE(back.Shown == L"< חזור" && back.Letter == 2);
  const TMnemonicCaption doubled = SplitMnemonic(L"a&&b&c&d");
  EXPECT_TRUE(doubled.Shown == L"a&bcd" && doubled.Letter == 3);
  EXPECT_EQ(SplitMnemonic(L"X&").Letter, -1);
}

// The columns of ink of a caption drawn in a 73 x 20 button face, and those that its
// underline alone adds.
struct TInk {
  int TextLeft = 73, TextRight = -1, LineLeft = 73, LineRight = -1;
};

TInk CaptionInk(const std::wstring& caption) {
  TBitmap with(73, 20), without(73, 20);
  for (TBitmap* b : {&with, &without}) {
    TCanvas canvas = b->Canvas();
    canvas.Brush.Color = clWhite;
    canvas.FillRect(RECT{0, 0, 73, 20});
    canvas.Font.Assign(L"Arial", -13, fsBold, HEBREW_CHARSET);
    canvas.Font.SetColor(clBlack);
    RECT r{0, 0, 73, 20};
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_RTLREADING;
    canvas.DrawText(caption, r, b == &with ? format : format | DT_HIDEPREFIX);
  }
  TInk ink;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 73; ++x) {
      if ((without.Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
        ink.TextLeft = std::min(ink.TextLeft, x);
        ink.TextRight = std::max(ink.TextRight, x);
      }
      if (with.Pixel(x, y) != without.Pixel(x, y)) {
        ink.LineLeft = std::min(ink.LineLeft, x);
        ink.LineRight = std::max(ink.LineRight, x);
      }
    }
  return ink;
}

TEST(MnemonicTextTest, UnderlineStandsUnderTheLetterAsShownRightToLeft) {
  // Read right to left, the first letter is the rightmost glyph; the arrow of "המשך >" stands
  // at the left end. The underline ends where the letter ends and spans one letter.
  for (const wchar_t* caption : {L"&המשך >", L"&יציאה"}) {
    const TInk ink = CaptionInk(caption);
    ASSERT_GE(ink.LineRight, 0) << "no underline drawn";
    EXPECT_GE(ink.LineRight, ink.TextRight - 1);
    EXPECT_LT(ink.LineRight - ink.LineLeft, 12);
  }
  // The same text with the marker removed: nothing underlined.
  EXPECT_EQ(CaptionInk(L"המשך >").LineRight, -1);
}

}  // namespace
