#pragma once
// The form base: a top-level window built in code from a layout table, shown modeless or
// modal; a modal form runs its own message loop until a modal result is set.
#include <functional>

#include "framework/Control.h"

enum TBorderStyle { bsNone, bsSingle, bsDialog };
enum TPosition { poDesigned, poScreenCenter };
enum TCloseAction { caNone, caHide, caFree };

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

class TForm : public TWinControl {
 public:
  // The window exists from here on (hidden); the layout then places the controls in it.
  TForm(TComponent* Owner, TBorderStyle borderStyle);
  ~TForm() override;

  TBorderStyle BorderStyle() const { return FBorderStyle; }
  TPosition Position = poDesigned;
  void SetClientSize(int width, int height);
  void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
  void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }

  int ModalResult() const { return FModalResult; }
  void SetModalResult(int result) { FModalResult = result; }
  bool Modal() const { return FModal; }
  int ShowModal();
  // As the close box does: asks OnCloseQuery, then hides, frees or ends the program.
  void Close();
  // Frees the form once the messages now queued for it have been handled.
  void Release();

  // The control that has (or last had) the keyboard focus within the form.
  TWinControl* ActiveControl = nullptr;

  TNotifyEvent OnShow;
  TNotifyEvent OnDestroy;
  std::function<void(TComponent* Sender, bool& CanClose)> OnCloseQuery;
  std::function<void(TComponent* Sender, TCloseAction& Action)> OnClose;

  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  TCreateParams CreateParams() override;
  void VisibleChanged() override;
  virtual void DoShow();
  bool CloseQuery();

 private:
  void FocusFirstControl();
  LRESULT DefaultButtonId();

  TBorderStyle FBorderStyle;
  int FModalResult = mrNone;
  bool FModal = false;
  bool FPlaced = false;
};
