#pragma once
// The standard controls of the layouts: label, push button, check box, drop-down box, memo.
#include <string>
#include <vector>

#include "framework/Control.h"

// A text painted by its parent: word wrap, alignment, transparency and reading order as
// the layout sets them. With AutoSize the label takes the size of its text (the width is
// kept when WordWrap is on).
class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* Owner);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);

  void Paint(TCanvas& canvas) override;
  // The flags DrawText gets for this label's text.
  UINT TextFlags() const;
  // Height of the caption drawn at the current width.
  int TextHeight() const;

 protected:
  void TextChanged() override;
  void FontChanged() override;
  void AdjustBounds();

 private:
  bool FAutoSize = false;
  bool FWordWrap = false;
  bool FTransparent = false;
  TAlignment FAlignment = taLeftJustify;
};

// A push button. A click sets the form's modal result to ModalResult when that is not 0.
class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* Owner);
  int ModalResult = 0;
  bool Default = false;
  void Click() override;
  void CommandNotify(WORD code) override;

 protected:
  TCreateParams CreateParams() override;
};

// A check box that draws itself: the system's check box lays its text out left to right
// whatever the window's reading order, so a Hebrew sentence would end at the box. Read right
// to left, the box stands at the right and the text reads from it leftwards. It answers
// BM_GETCHECK and BM_SETCHECK like the system's one.
class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* Owner);
  bool Checked() const { return FChecked; }
  void SetChecked(bool checked);
  void CommandNotify(WORD code) override;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  TCreateParams CreateParams() override;

 private:
  bool FChecked = false;
};

enum TComboBoxStyle { csDropDown, csDropDownList };

// A drop-down box; the height given is the closed box, the list drops below it.
class TComboBox : public TWinControl {
 public:
  TComboBox(TComponent* Owner, TComboBoxStyle style = csDropDownList);
  void Clear();
  void AddItem(const std::wstring& item);
  int ItemCount() const;
  std::wstring Item(int index) const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::wstring Text() const;
  TNotifyEvent OnChange;
  void CommandNotify(WORD code) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  TCreateParams CreateParams() override;
  void BoundsChanged() override;

 private:
  void PlaceWindow();

  TComboBoxStyle FStyle;
  int FClosedHeight = 0;
};

// A multi-line edit box; the dialogs use it read-only and borderless.
class TMemo : public TWinControl {
 public:
  explicit TMemo(TComponent* Owner);
  void SetReadOnly(bool readOnly);
  void SetBorder(bool border);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  std::wstring Text() const;
  void SetText(const std::wstring& text);

 protected:
  TCreateParams CreateParams() override;
  void BiDiModeChanged() override;

 private:
  void UpdateStyle();

  bool FReadOnly = false;
  bool FBorder = true;
  TAlignment FAlignment = taLeftJustify;
};
