#pragma once
// The message dialog both dialog units share: an icon, a bold multi-line text and one or
// two buttons showing a check mark and a cross in the Wingdings symbol font. The two twin
// form classes differ only in the gap between text and icon and in their background picture.
#include <string>

#include "dialogs/SymbolButton.h"
#include "framework/Application.h"
#include "framework/ExtControls.h"
#include "framework/Form.h"
#include "framework/ImageList.h"
#include "framework/StdControls.h"

struct TMessageDialogLook {
  bool Styled;                        // background picture and the second icon set
  int IconGap;                        // pixels between the text's right edge and the icon
  const wchar_t* BackgroundResource;  // JPEG picture behind the text in the styled look
};

enum TMessageDialogMode { mdInfo, mdError, mdQuestion };

class TMessageDialogForm : public TForm {
 public:
  TMessageDialogForm(TComponent* Owner, bool DefaultNo, int LanguageMode,
                     const TMessageDialogLook& look);

  void ShowError(const std::wstring& Caption, const std::wstring& Text);
  void ShowInfo(const std::wstring& Caption, const std::wstring& Text);
  // True when the check-mark button closed the dialog; the close box counts as a cancel.
  bool AskYesNo(const std::wstring& Caption, const std::wstring& Text);

  // 1 + the number of CR characters: a text from JoinLines counts one line more than it shows.
  static int CountLines(const std::wstring& text);
  // Values outside 0..2 of the argument taken as a signed byte become 2 (Hebrew).
  static int NormalLanguageMode(int LanguageMode);

  TImage* ImgBackGround;
  TImage* Image;
  TLabel* LMemText;
  TMemo* MemText;
  TSymbolButton* Btn1;
  TSymbolButton* Btn2;
  TImageList* ImageList;

  bool DefaultNo;
  int LanguageMode;
  int QuestionImage;
  int InfoImage;
  int ErrorImage;

 private:
  void CreateLayout(const TMessageDialogLook& look);
  void PrepareMode(const std::wstring& Caption, const std::wstring& Text, int imageIndex,
                   bool twoButtons);
  void FormShow(TComponent* Sender);

  int FIconGap;
};

// The body of every dialog routine: create the form with the application as owner, show
// it in the given mode, release it (also when showing fails) and hand back the answer.
template <class TDialog>
bool RunMessageDialog(TMessageDialogMode mode, const std::wstring& Caption,
                      const std::wstring& Text, int LanguageMode, bool DefaultNo) {
  struct TReleaseGuard {
    TForm* Form;
    ~TReleaseGuard() { Form->Release(); }
  } guard{new TDialog(Application, DefaultNo, LanguageMode)};
  auto* dialog = static_cast<TDialog*>(guard.Form);
  switch (mode) {
    case mdInfo:
      dialog->ShowInfo(Caption, Text);
      return false;
    case mdError:
      dialog->ShowError(Caption, Text);
      return false;
    case mdQuestion:
      break;
  }
  return dialog->AskYesNo(Caption, Text);
}
