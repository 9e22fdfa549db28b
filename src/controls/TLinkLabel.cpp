#include "controls/TLinkLabel.h"

#include <shellapi.h>

namespace {
bool Blank(const std::wstring& text) {
  return text.find_first_not_of(L" \t\r\n") == std::wstring::npos;
}
}  // namespace

TLinkLabel::TLinkLabel(TComponent* Owner) : TLabel(Owner) {
  Cursor = crHandPoint;
  SetTransparent(true);
}

std::wstring TLinkLabel::Target() const {
  if (!Blank(Jump)) return Jump;
  if (FCaption.find(L'@') != std::wstring::npos) return L"mailto:" + FCaption;
  return FCaption;
}

bool TLinkLabel::OpenTarget(const std::wstring& target) {
  HINSTANCE result =
      ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void TLinkLabel::Click() {
  switch (JumpMode) {
    case jmInternet:
      if (!OpenTarget(Target())) {
        JumpMode = jmNone;
        SetEnabled(false);
      }
      break;
    case jmApplication:
      OpenTarget(Target());
      break;
    case jmNone:
    case jmCustom:
      break;
  }
  TLabel::Click();
}

void TLinkLabel::MouseEnter() {
  Font().SetColor(ActiveColor);
  TLabel::MouseEnter();
}

void TLinkLabel::MouseLeave() {
  Font().SetColor(InActiveColor);
  TLabel::MouseLeave();
  if (OnMouseExit) OnMouseExit(this);
}
