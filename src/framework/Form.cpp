#include "framework/Form.h"

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/RightToLeftCaption.h"
#include "framework/StdControls.h"

namespace {
BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && IsWindowEnabled(window))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}
}  // namespace

TForm::TForm(TComponent* Owner, TBorderStyle borderStyle)
    : TWinControl(Owner), FBorderStyle(borderStyle) {
  FVisible = false;
  Application->FormCreated(this);
  CreateHandle();
  // The program's icon in the caption and the task bar; a dialog frame shows none.
  if (FBorderStyle != bsDialog) {
    if (HICON icon = LoadIconW(Application->Instance(), L"MAINICON")) {
      SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
      SendMessageW(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
  }
}

TForm::~TForm() {
  Application->FormDestroyed(this);
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      Application->HandleException();
    }
  }
  // The controls go before the window that holds theirs.
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
}

TCreateParams TForm::CreateParams() {
  TCreateParams p;
  switch (FBorderStyle) {
    case bsNone:
      p.Style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX;
      p.ExStyle = WS_EX_APPWINDOW;
      break;
    case bsSingle:
      p.Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
      break;
    case bsDialog:
      p.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
      p.ExStyle = WS_EX_DLGMODALFRAME;
      break;
  }
  p.Style |= WS_CLIPCHILDREN;
  p.ExStyle |= WS_EX_CONTROLPARENT;
  if (TForm* main = Application->MainForm(); main && main != this) p.WndParent = main->Handle();
  return p;
}

void TForm::SetClientSize(int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_EXSTYLE)));
  SetBounds(FLeft, FTop, r.right - r.left, r.bottom - r.top);
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::VisibleChanged() {
  if (!FHandle) return;
  if (!FVisible) {
    ShowWindow(FHandle, SW_HIDE);
    return;
  }
  DoShow();
  // Centred when first shown only: a window the user moved stays put when shown again.
  if (Position == poScreenCenter && !FPlaced) {
    FPlaced = true;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    SetBounds((sw - FWidth) / 2, (sh - FHeight) / 2, FWidth, FHeight);
  }
  ShowWindow(FHandle, SW_SHOW);
  SetForegroundWindow(FHandle);
  // The focus is set here as well, not only on activation: when another program holds the
  // foreground, the window may not be activated, and Enter must still reach the right button.
  if (ActiveControl && ActiveControl->Handle() && ActiveControl->Visible() &&
      ActiveControl->Enabled())
    ActiveControl->SetFocus();
  else
    FocusFirstControl();
}

void TForm::FocusFirstControl() {
  for (int i = 0; i < ControlCount(); ++i) {
    auto* w = dynamic_cast<TWinControl*>(Controls(i));
    if (w && w->TabStop && w->Visible() && w->Enabled()) {
      w->SetFocus();
      return;
    }
  }
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide) {
    Hide();
  } else {
    Release();
  }
}

void TForm::Release() { Application->ReleaseForm(this); }

int TForm::ShowModal() {
  if (FVisible) throw Exception("Cannot make a visible window modal");
  if (GetCapture()) ReleaseCapture();
  HWND previous = GetActiveWindow();
  // Every other window of the program stays disabled while this one is up.
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow,
                    reinterpret_cast<LPARAM>(&disabled));
  for (HWND window : disabled) EnableWindow(window, FALSE);
  FModal = true;
  FModalResult = mrNone;
  try {
    Show();
    while (true) {
      Application->HandleMessage();
      if (Application->Terminated()) {
        // The outer loop has to see the quit request as well.
        PostQuitMessage(0);
        if (FModalResult == mrNone) FModalResult = mrCancel;
      }
      if (FModalResult != mrNone) {
        if (CloseQuery()) break;
        FModalResult = mrNone;
      }
    }
  } catch (...) {
    for (HWND window : disabled) EnableWindow(window, TRUE);
    FModal = false;
    Hide();
    throw;
  }
  for (HWND window : disabled) EnableWindow(window, TRUE);
  FModal = false;
  Hide();
  if (previous && IsWindow(previous)) SetActiveWindow(previous);
  return FModalResult;
}

LRESULT TForm::DefaultButtonId() {
  // A form that is disabled (behind a modal dialog) presses nothing: a key posted to it must
  // not click a button the user cannot reach.
  if (!IsWindowEnabled(FHandle)) return 0;
  auto pressable = [](TButton* b) {
    return b && b->Handle() && IsWindowVisible(b->Handle()) && IsWindowEnabled(b->Handle());
  };
  // Enter presses the focused push button, or else the form's default button. While the
  // form is not the active window the system reports no focus; the form's own record of
  // its focused control stands in.
  TWinControl* focused = FromHandle(GetFocus());
  if (!focused || focused->ParentForm() != this) focused = ActiveControl;
  if (auto* button = dynamic_cast<TButton*>(focused); pressable(button))
    return MAKELONG(GetDlgCtrlID(button->Handle()), DC_HASDEFID);
  for (int i = 0; i < ControlCount(); ++i) {
    auto* b = dynamic_cast<TButton*>(Controls(i));
    if (b && b->Default && pressable(b)) return MAKELONG(GetDlgCtrlID(b->Handle()), DC_HASDEFID);
  }
  return 0;
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case DM_GETDEFID:
      return DefaultButtonId();
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        if (ActiveControl && ActiveControl->Handle() && ActiveControl->Visible() &&
            ActiveControl->Enabled())
          ActiveControl->SetFocus();
        else
          FocusFirstControl();
        return 0;
      }
      break;
    case WM_NCPAINT:
    case WM_NCACTIVATE:
    case WM_SETTEXT:
      if (UseRightToLeftAlignment()) {
        const LRESULT result = TWinControl::WndProc(message, wParam, lParam);
        const bool active =
            message == WM_NCACTIVATE ? wParam != FALSE : GetActiveWindow() == FHandle;
        RedrawRightToLeftCaption(FHandle, active);
        return result;
      }
      break;
    default:
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}
