#pragma once
// Drives a modal message dialog from inside its own message loop: a thread timer waits for
// the dialog to show, hands it to the test, and the test reads it and answers it.
#include <windows.h>

#include <functional>

#include "dialogs/MessageDialog.h"
#include "framework/Application.h"

namespace DialogDriver {

inline std::function<void(TMessageDialogForm&)>& PendingAction() {
  static std::function<void(TMessageDialogForm&)> action;
  return action;
}

inline TMessageDialogForm* ShowingDialog() {
  for (int i = 0; i < Application->ComponentCount(); ++i) {
    auto* form = dynamic_cast<TMessageDialogForm*>(Application->Components(i));
    if (form && form->Modal() && form->Handle() && IsWindowVisible(form->Handle())) return form;
  }
  return nullptr;
}

inline void CALLBACK Poll(HWND, UINT, UINT_PTR id, DWORD) {
  TMessageDialogForm* form = ShowingDialog();
  if (!form) return;
  KillTimer(nullptr, id);
  auto action = std::move(PendingAction());
  PendingAction() = nullptr;
  if (action) action(*form);
}

// `action` runs once the next dialog is up; it must close the dialog.
inline void WhenDialogShows(std::function<void(TMessageDialogForm&)> action) {
  Application->Initialize();
  PendingAction() = std::move(action);
  SetTimer(nullptr, 0, 30, Poll);
}

// Sends a key press to the dialog's focused control. Tests of other programs may hold the
// display's focus meanwhile; then it goes to the control the dialog keeps as focused.
inline void PressKey(TMessageDialogForm& form, WPARAM key) {
  HWND target = GetFocus();
  if (!target || GetAncestor(target, GA_ROOT) != form.Handle())
    target = form.ActiveControl ? form.ActiveControl->Handle() : form.Handle();
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

inline void PressCloseBox(TMessageDialogForm& form) {
  PostMessageW(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

// The control's place within the form's client area, read from its window.
inline RECT WindowPlace(const TWinControl& control) {
  RECT r;
  GetWindowRect(control.Handle(), &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(control.Handle()), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace DialogDriver
