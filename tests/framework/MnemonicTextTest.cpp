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

// The columns that the underline alone adds to a caption drawn in a 73 x 20 button face.
std::pair<int, int> UnderlineColumns(const std::wstring& caption, const wchar_t* face) {
  TBitmap with(73, 20), without(73, 20);
  for (TBitmap* b : {&with, &without}) {
    TCanvas canvas = b->Canvas();
    canvas.Brush.Color = clWhite;
    canvas.FillRect(RECT{0, 0, 73, 20});
    canvas.Font.Assign(face, -13, fsBold, HEBREW_CHARSET);
    canvas.Font.SetColor(clBlack);
    RECT r{0, 0, 73, 20};
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_RTLREADING;
    canvas.DrawText(caption, r, b == &with ? format : format | DT_HIDEPREFIX);
  }
  int first = 73, last = -1;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 73; ++x)
      if (with.Pixel(x, y) != without.Pixel(x, y)) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
  return {first, last};
}

TEST(MnemonicTextTest, UnderlineStandsUnderTheLetterAsShownRightToLeft) {
  // Read right to left, the first letter of "המשך >" is its rightmost glyph and the arrow
  // stands at the left end; the letter is under a third of the caption's width.
  const auto [first, last] = UnderlineColumns(L"&המשך >", L"Arial");
  ASSERT_GE(last, 0) << "no underline drawn";
  const int middle = 73 / 2;
  EXPECT_GT(first, middle);
  EXPECT_LT(last - first, 12);
  // The same text and the marker removed: nothing underlined.
  EXPECT_EQ(UnderlineColumns(L"המשך >", L"Arial").second, -1);
}

}  // namespace
