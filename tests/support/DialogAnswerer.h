#pragma once
// Answers the program's modal message dialogs from inside their own modal loop: a thread
// timer finds a dialog once it shows, records it and answers it as a user would.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/MessageDialog.h"

namespace TestDialogs {

using TDialogAction = std::function<void(TMessageDialogForm&)>;

// Sends a key press to the dialog's focused control. Tests of other programs may hold the
// display's focus meanwhile; then it goes to the control the dialog keeps as focused.
void PressKey(TMessageDialogForm& Form, WPARAM Key);
void PressCloseBox(TMessageDialogForm& Form);

// One dialog as it showed.
struct TSeenDialog {
  std::wstring Caption;
  std::wstring Text;
};

// While it lives, every message dialog that shows is recorded and answered once: with Enter
// (its default button), a click on the check mark (Confirm) or the cross (Cancel), its close
// box, or an action of the test's own, which must close it.
class TDialogAnswerer {
 public:
  enum TAnswer { PressEnter, Confirm, Cancel, CloseBox };
  explicit TDialogAnswerer(TAnswer Answer = PressEnter);
  explicit TDialogAnswerer(TDialogAction Action);
  ~TDialogAnswerer();
  TDialogAnswerer(const TDialogAnswerer&) = delete;
  TDialogAnswerer& operator=(const TDialogAnswerer&) = delete;

  const std::vector<TSeenDialog>& Seen() const { return FSeen; }

 private:
  static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD);
  void Answer(TMessageDialogForm& Form);

  TDialogAction FAction;
  std::vector<TSeenDialog> FSeen;
  TDialogAnswerer* FOuter;  // the answerer this one stands in for while it lives
  UINT_PTR FTimer;
};

// `Action` runs once, when the next dialog shows, and must close it; for a test that starts
// a dialog and then looks inside it.
void WhenDialogShows(TDialogAction Action);

}  // namespace TestDialogs
