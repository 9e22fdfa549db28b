#pragma once
// The further controls of the layouts: bevel, picture, panel, notebook with its pages.
#include <string>
#include <vector>

#include "framework/Control.h"

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

// A raised or lowered frame or line, painted by the parent.
class TBevel : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape shape);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle style);
  void Paint(TCanvas& canvas) override;

 private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// A picture: drawn at the top-left corner or stretched over the control; when Transparent,
// the colour of its bottom-left pixel is left out.
class TImage : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  TBitmap& Picture() { return FPicture; }
  // After drawing into Picture() or loading it.
  void PictureChanged() { Invalidate(); }
  bool Stretch = false;
  bool Transparent = false;
  void Paint(TCanvas& canvas) override;

 private:
  TBitmap FPicture;
};

enum TPanelBevel { bvNone, bvLowered, bvRaised };

// A coloured container window with an optional raised or lowered edge and a centred caption.
class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* Owner);
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel bevel);

 protected:
  void PaintWindow(TCanvas& canvas) override;

 private:
  TPanelBevel FBevelOuter = bvRaised;
};

// One page of a notebook: a container window filling the notebook.
class TPage : public TWinControl {
 public:
  TPage(TComponent* Owner, const std::wstring& name);
  int HelpContext = 0;
};

// Pages of which one is shown at a time. Setting PageIndex to another valid page shows it
// and fires OnPageChanged; an index outside the pages is ignored.
class TNotebook : public TWinControl {
 public:
  explicit TNotebook(TComponent* Owner);
  TPage* AddPage(const std::wstring& name);
  int PageCount() const { return static_cast<int>(FPages.size()); }
  TPage* Pages(int index) const { return FPages[index]; }
  int PageIndex() const { return FPageIndex; }
  void SetPageIndex(int index);
  TNotifyEvent OnPageChanged;

 protected:
  void Resized() override;

 private:
  std::vector<TPage*> FPages;
  int FPageIndex = -1;
};
