#include "dialogs/MessageDialog.h"

#include <algorithm>

#include "framework/Application.h"

namespace {
// Symbol fonts take their characters at U+F000 + code.
const wchar_t kCheckGlyph[] = L"\xF0FC";  // Wingdings 0xFC: check mark
const wchar_t kCrossGlyph[] = L"\xF0FB";  // Wingdings 0xFB: cross
const wchar_t kHebrewCaption[] = L"מסך הודעות שגיאה";
const wchar_t kEnglishCaption[] = L"Error Messages Screen";
const wchar_t kDesignText[] = L"גוף ההודעה";
// Room kept between the last line of the text and the buttons.
const int kTextMargin = 4;
}  // namespace

int TMessageDialogForm::CountLines(const std::wstring& text) {
  return 1 + static_cast<int>(std::count(text.begin(), text.end(), L'\r'));
}

int TMessageDialogForm::NormalLanguageMode(int LanguageMode) {
  auto mode = static_cast<signed char>(LanguageMode & 0xFF);
  return (mode < 0 || mode > 2) ? 2 : mode;
}

TMessageDialogForm::TMessageDialogForm(TComponent* Owner, bool DefaultNo, int LanguageMode,
                                       const TMessageDialogLook& look)
    : TForm(Owner, bsDialog), FIconGap(look.IconGap) {
  CreateLayout(look);
  this->LanguageMode = NormalLanguageMode(LanguageMode);
  this->DefaultNo = DefaultNo;
  if (look.Styled) {
    ImgBackGround->Show();
    QuestionImage = 5;
    InfoImage = 4;
    ErrorImage = 6;
  } else {
    ImgBackGround->Hide();
    QuestionImage = 1;
    InfoImage = 0;
    ErrorImage = 2;
    // White text was chosen for the picture; on the bare button face it would vanish.
    LMemText->Font().SetColor(clWindowText);
  }
  MemText->SetAlignment(taLeftJustify);
  LMemText->SetAlignment(taLeftJustify);
  if (this->LanguageMode == 2) {
    SetBiDiMode(bdRightToLeft);
    MemText->SetBiDiMode(bdRightToLeft);
    LMemText->SetBiDiMode(bdRightToLeft);
    SetCaption(kHebrewCaption);
    Image->SetLeft(383);
    MemText->SetLeft(8);
    LMemText->SetLeft(Image->Left() - LMemText->Width() - 12);
  } else {
    SetBiDiMode(bdLeftToRight);
    MemText->SetBiDiMode(bdLeftToRight);
    LMemText->SetBiDiMode(bdLeftToRight);
    SetCaption(kEnglishCaption);
    Image->SetLeft(8);
    MemText->SetLeft(64);
    LMemText->SetLeft(MemText->Left() + 12);
  }
  LMemText->SetHeight(MemText->Height());
}

void TMessageDialogForm::CreateLayout(const TMessageDialogLook& look) {
  SetBounds(0, 0, 428, 154);
  Position = poScreenCenter;
  SetColor(clBtnFace);
  Font().Assign(L"MS Sans Serif", -11);
  SetCaption(kHebrewCaption);
  OnShow = [this](TComponent* sender) { FormShow(sender); };

  ImgBackGround = new TImage(this);
  ImgBackGround->Name = L"ImgBackGround";
  ImgBackGround->SetBounds(0, 0, 421, 121);
  ImgBackGround->SetParent(this);
  ImgBackGround->SetAnchors(akTop | akRight);
  ImgBackGround->Stretch = true;
  ImgBackGround->Transparent = true;
  ImgBackGround->Hide();
  ImgBackGround->Picture().LoadJpegFromResourceName(Application->Instance(),
                                                    look.BackgroundResource);

  Image = new TImage(this);
  Image->Name = L"Image";
  Image->SetBounds(380, 8, 32, 32);
  Image->SetParent(this);
  Image->SetAnchors(akTop | akRight);
  Image->Transparent = true;

  LMemText = new TLabel(this);
  LMemText->Name = L"LMemText";
  LMemText->SetBounds(24, 8, 346, 16);
  LMemText->SetParent(this);
  LMemText->SetAutoSize(false);
  LMemText->SetWordWrap(true);
  LMemText->SetTransparent(true);
  LMemText->SetBiDiMode(bdRightToLeftReadingOnly);
  LMemText->Font().Assign(L"Arial", -13, fsBold, HEBREW_CHARSET);
  LMemText->Font().SetColor(clWhite);
  LMemText->SetCaption(kDesignText);

  MemText = new TMemo(this);
  MemText->Name = L"MemText";
  MemText->SetBounds(24, 8, 345, 70);
  MemText->TabStop = false;
  MemText->SetVisible(false);
  MemText->SetParent(this);
  MemText->SetAnchors(akLeft | akTop | akRight | akBottom);
  MemText->SetReadOnly(true);
  MemText->SetBorder(false);
  MemText->Font().Assign(L"Arial", -13, fsBold, HEBREW_CHARSET);

  auto makeButton = [this](const wchar_t* name, int left, int modalResult, unsigned anchors) {
    auto* button = new TSymbolButton(this);
    button->Name = name;
    button->SetBounds(left, 91, 51, 25);
    button->SetParent(this);
    button->SetAnchors(anchors);
    button->Default = true;
    button->ModalResult = modalResult;
    button->Font().Assign(L"Wingdings", -19, fsBold, SYMBOL_CHARSET);
    return button;
  };
  Btn1 = makeButton(L"Btn1", 268, mrYes, akRight | akBottom);
  Btn2 = makeButton(L"Btn2", 96, mrNo, akLeft | akBottom);

  ImageList = new TImageList(this, 32, 32);
  ImageList->Name = L"ImageList";
  ImageList->BkColor = clSilver;
  ImageList->Masked = false;
  ImageList->AddStripFromResource(Application->Instance(), L"DIALOGICONS");
}

void TMessageDialogForm::PrepareMode(const std::wstring& Caption, const std::wstring& Text,
                                     int imageIndex, bool twoButtons) {
  SetCaption(Caption);
  MemText->SetText(Text);
  LMemText->SetCaption(MemText->Text());
  Btn1->SetCaption(kCheckGlyph);
  if (twoButtons) {
    Btn2->SetCaption(kCrossGlyph);
  } else {
    Btn1->SetLeft((Width() - Btn1->Width()) / 2);
    Btn2->Hide();
  }
  ImageList->GetBitmap(imageIndex, Image->Picture());
  Image->PictureChanged();
}

void TMessageDialogForm::ShowError(const std::wstring& Caption, const std::wstring& Text) {
  PrepareMode(Caption, Text, ErrorImage, false);
  ShowModal();
}

void TMessageDialogForm::ShowInfo(const std::wstring& Caption, const std::wstring& Text) {
  PrepareMode(Caption, Text, InfoImage, false);
  ShowModal();
}

bool TMessageDialogForm::AskYesNo(const std::wstring& Caption, const std::wstring& Text) {
  PrepareMode(Caption, Text, QuestionImage, true);
  return ShowModal() == mrYes;
}

void TMessageDialogForm::FormShow(TComponent*) {
  LMemText->SetTop(Image->Top());
  int lines = CountLines(LMemText->Caption());
  int height = (lines - 1) * LMemText->Font().Size() + LMemText->Height();
  // The buttons follow the bottom edge and end up over the label's last pixels; a text
  // that wraps or whose lines are taller than the point size must still end above them.
  int buttonsBottomGap = ClientHeight() - (Btn1->Top() + Btn1->Height());
  height = std::max(height, LMemText->TextHeight() + buttonsBottomGap + kTextMargin);
  LMemText->SetHeight(height);

  if (LanguageMode == 1 && ClientWidth() < LMemText->Left() + LMemText->Width()) {
    Image->SetLeft(5);
    LMemText->SetLeft(Image->Width() + 17);
    int w = Image->Width() + LMemText->Left() + LMemText->Width() + 17;
    SetClientWidth(w);
    ImgBackGround->SetWidth(w + LMemText->Left() + 12);
  } else {
    LMemText->SetLeft(5);
    Image->SetLeft(LMemText->Left() + LMemText->Width() + FIconGap);
  }

  int clientHeight = LMemText->Top() + LMemText->Height() + Btn1->Height();
  SetClientHeight(clientHeight);
  ImgBackGround->SetBounds(0, 0, ImgBackGround->Width(), clientHeight);
  MessageBeep(MB_OK);

  if (Btn2->Visible()) {
    int x = (Width() - 4 * Btn1->Width()) / 2;
    Btn2->SetLeft(x);
    Btn1->SetLeft(Btn2->Left() + 3 * Btn2->Width());
    ActiveControl = DefaultNo ? Btn2 : Btn1;
  } else {
    Btn1->SetLeft((Width() - Btn1->Width()) / 2);
    ActiveControl = Btn1;
  }
}
