#include "DialogAnswerer.h"

#include <memory>

#include "framework/Application.h"

namespace TestDialogs {

namespace {

TDialogAnswerer* Active = nullptr;

// The one-shot answerer of WhenDialogShows, until it has answered.
std::unique_ptr<TDialogAnswerer>& Pending() {
  static std::unique_ptr<TDialogAnswerer> pending;
  return pending;
}

// A dialog stays up until its modal loop sees the answer; the mark keeps the next polls
// from answering it again, and a new dialog at the same address starts unmarked.
constexpr int AnsweredTag = 0x4E5741;

void Click(TWinControl& Button) { PostMessageW(Button.Handle(), BM_CLICK, 0, 0); }

}  // namespace

void PressKey(TMessageDialogForm& Form, WPARAM Key) {
  HWND target = GetFocus();
  if (!target || GetAncestor(target, GA_ROOT) != Form.Handle())
    target = Form.ActiveControl ? Form.ActiveControl->Handle() : Form.Handle();
  PostMessageW(target, WM_KEYDOWN, Key, 1);
  PostMessageW(target, WM_KEYUP, Key, 0xC0000001);
}

void PressCloseBox(TMessageDialogForm& Form) {
  PostMessageW(Form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

TDialogAnswerer::TDialogAnswerer(TAnswer Answer)
    : TDialogAnswerer([Answer](TMessageDialogForm& Form) {
        switch (Answer) {
          case PressEnter:
            PressKey(Form, VK_RETURN);
            break;
          case Confirm:
            Click(*Form.Btn1);
            break;
          case Cancel:
            Click(*Form.Btn2);
            break;
          case CloseBox:
            PressCloseBox(Form);
            break;
        }
      }) {}

TDialogAnswerer::TDialogAnswerer(TDialogAction Action)
    : FAction(std::move(Action)), FOuter(Active), FTimer(SetTimer(nullptr, 0, 30, Poll)) {
  Active = this;
}

TDialogAnswerer::~TDialogAnswerer() {
  KillTimer(nullptr, FTimer);
  Active = FOuter;
}

void CALLBACK TDialogAnswerer::Poll(HWND, UINT, UINT_PTR, DWORD) {
  for (int i = 0; Active && i < Application->ComponentCount(); ++i) {
    auto* form = dynamic_cast<TMessageDialogForm*>(Application->Components(i));
    if (!form || !form->Modal() || !form->Handle() || !IsWindowVisible(form->Handle()) ||
        form->Tag == AnsweredTag)
      continue;
    form->Tag = AnsweredTag;
    TDialogAnswerer* answerer = Active;
    answerer->Answer(*form);
    // The one-shot answerer goes after its one answer; nothing of it is touched after this.
    if (answerer == Pending().get()) Pending().reset();
  }
}

void TDialogAnswerer::Answer(TMessageDialogForm& Form) {
  FSeen.push_back({Form.Caption(), Form.LMemText->Caption()});
  FAction(Form);
}

void WhenDialogShows(TDialogAction Action) {
  Application->Initialize();
  Pending().reset();
  Pending() = std::make_unique<TDialogAnswerer>(std::move(Action));
}

}  // namespace TestDialogs
