#include "framework/ImageList.h"

TImageList::TImageList(TComponent* Owner, int width, int height)
    : TComponent(Owner), FWidth(width), FHeight(height) {}

void TImageList::Add(const TBitmap& picture) {
  auto image = std::make_unique<TBitmap>(FWidth, FHeight);
  TCanvas canvas = image->Canvas();
  canvas.Brush.Color = BkColor == clNone ? clBlack : BkColor;
  canvas.FillRect(RECT{0, 0, FWidth, FHeight});
  canvas.Draw(0, 0, picture);
  FImages.push_back(std::move(image));
}

void TImageList::AddStrip(const TBitmap& strip) {
  for (int x = 0; x + FWidth <= strip.Width(); x += FWidth) {
    TBitmap cell;
    cell.AssignPart(strip, x, 0, FWidth, FHeight);
    Add(cell);
  }
}

void TImageList::AddStripFromResource(HINSTANCE instance, const std::wstring& name) {
  TBitmap strip;
  strip.LoadFromResourceName(instance, name);
  AddStrip(strip);
}

bool TImageList::GetBitmap(int index, TBitmap& target) const {
  if (index < 0 || index >= Count()) return false;
  target.Assign(*FImages[index]);
  return true;
}
