#include "framework/StdControls.h"

#include "framework/Form.h"
#include "framework/GdiGuards.h"

// ---- TLabel

TLabel::TLabel(TComponent* Owner) : TGraphicControl(Owner) {}

void TLabel::SetAutoSize(bool v) {
  FAutoSize = v;
  AdjustBounds();
}
void TLabel::SetWordWrap(bool v) {
  FWordWrap = v;
  AdjustBounds();
  Invalidate();
}
void TLabel::SetTransparent(bool v) {
  FTransparent = v;
  Invalidate();
}
void TLabel::SetAlignment(TAlignment v) {
  FAlignment = v;
  Invalidate();
}

void TLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

UINT TLabel::TextFlags() const {
  UINT flags = DT_EXPANDTABS | DT_NOPREFIX;
  if (FWordWrap) flags |= DT_WORDBREAK;
  if (FAlignment == taRightJustify) flags |= DT_RIGHT;
  if (FAlignment == taCenter) flags |= DT_CENTER;
  return DrawTextBiDiModeFlags(flags);
}

int TLabel::TextHeight() const {
  TWindowDC screen;
  TCanvas canvas(screen);
  canvas.Font = FFont;
  RECT r{0, 0, FWidth, 0};
  canvas.DrawText(FCaption.empty() ? L" " : FCaption, r, TextFlags() | DT_CALCRECT);
  return r.bottom - r.top;
}

void TLabel::AdjustBounds() {
  if (!FAutoSize) return;
  TWindowDC screen;
  TCanvas canvas(screen);
  canvas.Font = FFont;
  RECT r{0, 0, FWordWrap ? FWidth : 32767, 0};
  canvas.DrawText(FCaption.empty() ? L" " : FCaption, r, TextFlags() | DT_CALCRECT);
  SetBounds(FLeft, FTop, FWordWrap ? FWidth : r.right - r.left, r.bottom - r.top);
}

void TLabel::Paint(TCanvas& canvas) {
  RECT r{0, 0, FWidth, FHeight};
  if (!FTransparent) {
    canvas.Brush.Color = FColor;
    canvas.FillRect(r);
  }
  canvas.Font = FFont;
  if (!FEnabled) canvas.Font.SetColor(clGrayText);
  canvas.DrawText(FCaption, r, TextFlags());
}

// ---- TButton

TButton::TButton(TComponent* Owner) : TWinControl(Owner) { TabStop = true; }

TCreateParams TButton::CreateParams() {
  TCreateParams p;
  p.ClassName = L"BUTTON";
  p.Style = WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON;
  return p;
}

void TButton::Click() {
  if (ModalResult != mrNone)
    if (TForm* form = ParentForm()) form->SetModalResult(ModalResult);
  TWinControl::Click();
}

void TButton::CommandNotify(WORD code) {
  if (code == BN_CLICKED) Click();
}

// ---- TComboBox

namespace {
const int kDroppedListHeight = 200;
}

TComboBox::TComboBox(TComponent* Owner, TComboBoxStyle style) : TWinControl(Owner), FStyle(style) {
  TabStop = true;
  FColor = clWindow;
  FParentColor = false;
}

TCreateParams TComboBox::CreateParams() {
  TCreateParams p;
  p.ClassName = L"COMBOBOX";
  p.Style = WS_CHILD | WS_TABSTOP | WS_VSCROLL |
            (FStyle == csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
  return p;
}

void TComboBox::BoundsChanged() {
  FClosedHeight = FHeight;
  PlaceWindow();
}

void TComboBox::PlaceWindow() {
  if (!FHandle) return;
  // The window's height includes the list that drops down; the layout gives the closed box.
  SetWindowPos(FHandle, nullptr, FLeft, FTop, FWidth, FClosedHeight + kDroppedListHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // The system sizes the closed box from its font, taller than the layout's box for the
  // page font; its selection field is given the height that leaves the box as laid out.
  // What the field's height counts differs between systems, so the box is measured after
  // each change and corrected by the difference.
  int field = static_cast<int>(SendMessageW(FHandle, CB_GETITEMHEIGHT, -1, 0));
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT r;
    GetWindowRect(FHandle, &r);
    const int excess = (r.bottom - r.top) - FClosedHeight;
    if (excess == 0 || field - excess <= 0) break;
    field -= excess;
    SendMessageW(FHandle, CB_SETITEMHEIGHT, -1, field);
  }
}

LRESULT TComboBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = TWinControl::WndProc(message, wParam, lParam);
  if (message == WM_SETFONT) PlaceWindow();
  return result;
}

void TComboBox::Clear() {
  if (FHandle) SendMessageW(FHandle, CB_RESETCONTENT, 0, 0);
}

void TComboBox::AddItem(const std::wstring& item) {
  if (FHandle) SendMessageW(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int TComboBox::ItemCount() const {
  return FHandle ? static_cast<int>(SendMessageW(FHandle, CB_GETCOUNT, 0, 0)) : 0;
}

std::wstring TComboBox::Item(int index) const {
  if (!FHandle || index < 0 || index >= ItemCount()) return L"";
  LRESULT length = SendMessageW(FHandle, CB_GETLBTEXTLEN, index, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(FHandle, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

int TComboBox::ItemIndex() const {
  return FHandle ? static_cast<int>(SendMessageW(FHandle, CB_GETCURSEL, 0, 0)) : -1;
}

void TComboBox::SetItemIndex(int index) {
  if (FHandle) SendMessageW(FHandle, CB_SETCURSEL, index, 0);
}

std::wstring TComboBox::Text() const {
  if (!FHandle) return L"";
  int length = GetWindowTextLengthW(FHandle);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(FHandle, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void TComboBox::CommandNotify(WORD code) {
  if (code == CBN_SELCHANGE && OnChange) OnChange(this);
}

// ---- TMemo

TMemo::TMemo(TComponent* Owner) : TWinControl(Owner) {
  TabStop = true;
  FColor = clWindow;
  FParentColor = false;
}

TCreateParams TMemo::CreateParams() {
  TCreateParams p;
  p.ClassName = L"EDIT";
  p.Style = WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (TabStop) p.Style |= WS_TABSTOP;
  if (FBorder) p.Style |= WS_BORDER;
  if (FReadOnly) p.Style |= ES_READONLY;
  return p;
}

void TMemo::UpdateStyle() {
  if (!FHandle) return;
  LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
  style &= ~(ES_RIGHT | ES_CENTER | WS_BORDER | WS_TABSTOP);
  if (FBorder) style |= WS_BORDER;
  if (TabStop) style |= WS_TABSTOP;
  TAlignment a = FAlignment;
  if (UseRightToLeftAlignment() && a != taCenter)
    a = a == taLeftJustify ? taRightJustify : taLeftJustify;
  if (a == taRightJustify) style |= ES_RIGHT;
  if (a == taCenter) style |= ES_CENTER;
  SetWindowLongPtrW(FHandle, GWL_STYLE, style);
  SendMessageW(FHandle, EM_SETREADONLY, FReadOnly, 0);
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Invalidate();
}

void TMemo::SetReadOnly(bool readOnly) {
  FReadOnly = readOnly;
  UpdateStyle();
}

void TMemo::SetBorder(bool border) {
  FBorder = border;
  UpdateStyle();
}

void TMemo::SetAlignment(TAlignment v) {
  FAlignment = v;
  UpdateStyle();
}

void TMemo::BiDiModeChanged() {
  TWinControl::BiDiModeChanged();
  UpdateStyle();
}

std::wstring TMemo::Text() const {
  if (!FHandle) return FCaption;
  int length = GetWindowTextLengthW(FHandle);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(FHandle, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void TMemo::SetText(const std::wstring& text) {
  FCaption = text;
  TextChanged();
}
