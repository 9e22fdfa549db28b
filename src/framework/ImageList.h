#pragma once
// A list of pictures of one size, filled from a strip bitmap of the resources; a picture is
// copied out by index.
#include <memory>
#include <string>
#include <vector>

#include "framework/Control.h"

class TImageList : public TComponent {
 public:
  TImageList(TComponent* Owner, int width, int height);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int Count() const { return static_cast<int>(FImages.size()); }
  TColor BkColor = clNone;
  bool Masked = false;

  void Add(const TBitmap& picture);
  // Cuts a horizontal strip of Width x Height cells into pictures, left to right.
  void AddStrip(const TBitmap& strip);
  void AddStripFromResource(HINSTANCE instance, const std::wstring& name);
  // Copies picture `index` into `target`; false when there is no such picture.
  bool GetBitmap(int index, TBitmap& target) const;

 private:
  int FWidth, FHeight;
  std::vector<std::unique_ptr<TBitmap>> FImages;
};
