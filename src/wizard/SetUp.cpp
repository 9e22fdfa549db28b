// The program's main block. The wizard form takes the placeholder's place.
#include <windows.h>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/StdControls.h"

namespace {

// Stands for the wizard window until it exists: the frame's size and a way out.
class TFrmPlaceholder : public TForm {
public:
  explicit TFrmPlaceholder(TComponent* Owner) : TForm(Owner, bsSingle) {
    SetClientSize(688, 467);
    Position = poScreenCenter;
    SetBiDiMode(bdRightToLeft);
    SetCaption(L"ברוכים הבאים");
    auto* exit = new TButton(this);
    exit->SetBounds(560, 444, 73, 20);
    exit->SetParent(this);
    exit->Font().Assign(L"Arial", -13, fsBold, HEBREW_CHARSET);
    exit->SetCaption(L"&יציאה");
    exit->OnClick = [this](TComponent*) { Close(); };
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Application->Initialize();
  Application->SetTitle(L"SetUp");
  Application->CreateForm<TFrmPlaceholder>();
  Application->Run();
  return 0;
}
