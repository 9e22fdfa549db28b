#pragma once
// A push button showing one character of a symbol font (the dialogs' check mark and cross).
// It draws itself; a font that lacks the character (Wine's Wingdings has the check mark but
// not the cross) gets the same mark drawn with lines, so the button never shows an empty box.
#include "framework/OwnerDrawButton.h"

class TSymbolButton : public TOwnerDrawButton {
 public:
  using TOwnerDrawButton::TOwnerDrawButton;
  // Whether the button's font has a glyph for its caption.
  bool FontHasGlyph() const;

 protected:
  void DrawFace(HDC dc, const RECT& Face, UINT ItemState) override;

 private:
  void DrawMark(HDC dc, const RECT& r) const;
};
