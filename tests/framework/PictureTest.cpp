// JPEG pictures from the resources, bitmaps and the image list.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/ImageList.h"
#include "framework/Jpeg.h"

namespace {

std::vector<std::uint8_t> ResourceBytes(const wchar_t* name) {
  HRSRC info = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));
  if (!info) return {};
  auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, info)));
  return std::vector<std::uint8_t>(data, data + SizeofResource(nullptr, info));
}

int Red(TColor c) { return c & 0xFF; }
int Green(TColor c) { return (c >> 8) & 0xFF; }
int Blue(TColor c) { return (c >> 16) & 0xFF; }

TEST(PictureTest, DialogBackgroundDecodesAsOliveDarkerTowardsTheBottom) {
  TBitmap picture;
  picture.LoadJpegFromResourceName(nullptr, L"DIALOGBACK_MIRPAN");
  ASSERT_EQ(picture.Width(), 421);
  ASSERT_EQ(picture.Height(), 121);
  TColor top = picture.Pixel(200, 4), bottom = picture.Pixel(200, 116);
  EXPECT_GT(Green(top), Blue(top) + 30);
  EXPECT_GT(Green(top), Red(top));
  EXPECT_LT(Green(bottom) + 30, Green(top));
}

TEST(PictureTest, DataThatIsNoJpegRaisesAnException) {
  std::vector<std::uint8_t> garbage(512, 0x5A);
  EXPECT_THROW(DecodeJpeg(garbage.data(), garbage.size()), Exception);
  EXPECT_THROW(DecodeJpeg(nullptr, 0), Exception);
  try {
    DecodeJpeg(garbage.data(), garbage.size());
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message().rfind("JPEG error #", 0), 0u) << e.Message();
  }
  EXPECT_THROW(TBitmap().LoadJpegFromResourceName(nullptr, L"NO_SUCH_PICTURE"), Exception);
}

TEST(PictureTest, TruncatedJpegDecodesWhatThereIsOrFailsCleanly) {
  std::vector<std::uint8_t> bytes = ResourceBytes(L"DIALOGBACK_MIRPAN");
  ASSERT_GT(bytes.size(), 1000u);
  for (std::size_t cut : {std::size_t(20), std::size_t(400), bytes.size() / 2}) {
    try {
      TJpegPixels pixels = DecodeJpeg(bytes.data(), cut);
      EXPECT_EQ(pixels.Width, 421) << "cut at " << cut;
      EXPECT_EQ(pixels.Rgb.size(), std::size_t(421) * 121 * 3);
    } catch (const Exception&) {
      EXPECT_LT(cut, 400u) << "a header that is whole should decode";
    }
  }
}

TEST(PictureTest, ImageListCutsTheIconStripIntoSevenPictures) {
  TImageList list(nullptr, 32, 32);
  list.AddStripFromResource(GetModuleHandleW(nullptr), L"DIALOGICONS");
  ASSERT_EQ(list.Count(), 7);
  TBitmap noEntry, warning, missing;
  ASSERT_TRUE(list.GetBitmap(2, noEntry));
  ASSERT_TRUE(list.GetBitmap(0, warning));
  EXPECT_FALSE(list.GetBitmap(7, missing));
  TColor disc = noEntry.Pixel(16, 8);
  EXPECT_GT(Red(disc), 150);
  EXPECT_LT(Green(disc), 80);
  EXPECT_EQ(warning.Pixel(0, 31), clSilver);
  TColor triangle = warning.Pixel(9, 25);
  EXPECT_GT(Red(triangle), 200);
  EXPECT_GT(Green(triangle), 150);
}

TEST(PictureTest, TransparentDrawingLeavesTheCornerColourOut) {
  TImageList list(nullptr, 32, 32);
  list.AddStripFromResource(GetModuleHandleW(nullptr), L"DIALOGICONS");
  TBitmap icon, target(40, 40);
  list.GetBitmap(1, icon);
  TCanvas canvas = target.Canvas();
  canvas.Brush.Color = 0x00FF0000;  // blue
  canvas.FillRect(RECT{0, 0, 40, 40});
  canvas.DrawTransparent(4, 4, icon);
  EXPECT_EQ(target.Pixel(4, 35), TColor(0x00FF0000));
  EXPECT_NE(target.Pixel(20, 16), TColor(0x00FF0000));
}

}  // namespace
