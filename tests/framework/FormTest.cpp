// Forms, controls and the application object as real windows under Wine.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/ExtControls.h"
#include "framework/Form.h"
#include "framework/StdControls.h"
#include "framework/Timer.h"

namespace {

// Runs `action` once from a thread timer, i.e. from inside whatever loop is running.
std::function<void()> PendingAction;
void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto action = std::move(PendingAction);
  PendingAction = nullptr;
  if (action) action();
}
void Soon(std::function<void()> action) {
  PendingAction = std::move(action);
  SetTimer(nullptr, 0, 20, RunPending);
}

// The message box of this thread with the given title: other programs on the same display
// may show boxes of their own.
struct TBoxSearch {
  const wchar_t* Title;
  HWND Found;
};
BOOL CALLBACK MatchBox(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TBoxSearch*>(data);
  wchar_t cls[16] = L"", text[64] = L"";
  GetClassNameW(window, cls, 16);
  GetWindowTextW(window, text, 64);
  if (std::wstring(cls) == L"#32770" && std::wstring(text) == search->Title) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}
HWND OwnMessageBox(const wchar_t* title) {
  TBoxSearch search{title, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchBox, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// Dispatches messages until `done` or a few seconds have passed.
template <class F>
bool PumpUntil(F done) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > 5000) return false;
    Application->ProcessMessages();
    Sleep(5);
  }
  return true;
}

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Application->SetTitle(L"SetUp");
    Application->OnException = nullptr;
    Form = new TForm(Application, bsSingle);
    Form->SetClientSize(300, 200);
  }
  void TearDown() override {
    delete Form;
    Application->OnException = nullptr;
  }
  TForm* Form = nullptr;
};

TEST_F(FormTest, ModalFormEndsWithTheButtonsResultOrCancelWhenClosed) {
  auto* ok = new TButton(Form);
  ok->SetBounds(10, 10, 75, 25);
  ok->SetParent(Form);
  ok->ModalResult = mrOk;
  Soon([ok] { PostMessageW(ok->Handle(), BM_CLICK, 0, 0); });
  EXPECT_EQ(Form->ShowModal(), mrOk);
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
  Soon([this] { PostMessageW(Form->Handle(), WM_CLOSE, 0, 0); });
  EXPECT_EQ(Form->ShowModal(), mrCancel);
}

TEST_F(FormTest, EnterReachesNoButtonOfAFormBehindAModalOne) {
  auto* exit = new TButton(Form);
  exit->SetBounds(10, 10, 75, 25);
  exit->SetParent(Form);
  int clicks = 0;
  exit->OnClick = [&](TComponent*) { ++clicks; };
  Form->Show();
  exit->SetFocus();
  auto post = [&](HWND target) {
    PostMessageW(target, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(target, WM_KEYUP, VK_RETURN, 0xC0000001);
    Application->ProcessMessages();
  };
  post(exit->Handle());
  EXPECT_EQ(clicks, 1);
  Form->SetEnabled(false);  // as while a modal dialog is up
  post(exit->Handle());
  post(Form->Handle());
  EXPECT_EQ(clicks, 1);
  Form->SetEnabled(true);
  exit->Hide();
  post(Form->Handle());
  EXPECT_EQ(clicks, 1);
}

TEST_F(FormTest, ScreenCentredFormStaysWhereItWasMovedWhenShownAgain) {
  Form->Position = poScreenCenter;
  Form->Show();
  int sw = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_EQ(Form->Left(), (sw - Form->Width()) / 2);
  Form->SetLeft(7);
  Form->Hide();
  Form->Show();
  EXPECT_EQ(Form->Left(), 7);
}

TEST_F(FormTest, CloseQueryCanKeepAModalFormOpen) {
  int asked = 0;
  Form->OnCloseQuery = [&](TComponent*, bool& canClose) { canClose = ++asked > 1; };
  Soon([this] {
    PostMessageW(Form->Handle(), WM_CLOSE, 0, 0);
    Soon([this] { PostMessageW(Form->Handle(), WM_CLOSE, 0, 0); });
  });
  EXPECT_EQ(Form->ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
}

TEST_F(FormTest, AnchoredControlsFollowTheClientArea) {
  auto* corner = new TButton(Form);
  corner->SetBounds(250, 170, 40, 20);
  corner->SetParent(Form);
  corner->SetAnchors(akRight | akBottom);
  auto* stretched = new TLabel(Form);
  stretched->SetBounds(10, 10, 280, 16);
  stretched->SetParent(Form);
  stretched->SetAnchors(akLeft | akTop | akRight);
  Form->SetClientSize(400, 260);
  EXPECT_EQ(corner->Left(), 350);
  EXPECT_EQ(corner->Top(), 230);
  RECT r;
  GetWindowRect(corner->Handle(), &r);
  MapWindowPoints(HWND_DESKTOP, Form->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 350);
  EXPECT_EQ(r.top, 230);
  EXPECT_EQ(stretched->Width(), 380);
  EXPECT_EQ(stretched->Left(), 10);
}

TEST_F(FormTest, NotebookShowsOnePageAndReportsEachChange) {
  auto* book = new TNotebook(Form);
  book->SetBounds(0, 0, 200, 150);
  book->SetParent(Form);
  for (const wchar_t* name : {L"Main", L"SetupType", L"SelectDrive"}) book->AddPage(name);
  int changes = 0;
  book->OnPageChanged = [&](TComponent*) { ++changes; };
  book->SetPageIndex(2);
  book->SetPageIndex(2);
  book->SetPageIndex(3);
  book->SetPageIndex(-1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(book->PageIndex(), 2);
  EXPECT_TRUE(IsWindowVisible(book->Pages(2)->Handle()) || !Form->Visible());
  EXPECT_TRUE(book->Pages(2)->Visible());
  EXPECT_FALSE(book->Pages(0)->Visible());
  EXPECT_EQ(book->Pages(1)->Width(), 200);
}

TEST_F(FormTest, ExceptionsInEventHandlersReachTheApplicationAndTheLoopGoesOn) {
  auto* button = new TButton(Form);
  button->SetBounds(10, 10, 75, 25);
  button->SetParent(Form);
  button->OnClick = [](TComponent*) { throw Exception("Stream read error"); };
  std::string shown;
  Application->OnException = [&](const std::string& message) { shown = message; };
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(shown, "Stream read error");
  button->OnClick = [](TComponent*) { throw std::runtime_error("plain"); };
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(shown, "plain");
}

TEST_F(FormTest, DefaultHandlerShowsTheErrorBoxTitledWithTheApplicationTitle) {
  auto* button = new TButton(Form);
  button->SetBounds(10, 10, 75, 25);
  button->SetParent(Form);
  button->OnClick = [](TComponent*) { throw Exception("Cannot open file C:\\x.zip"); };
  std::wstring boxText;
  bool found = false;
  Soon([&] {
    HWND box = OwnMessageBox(L"SetUp");
    found = box != nullptr;
    if (!box) return;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t text[256] = L"";
      GetWindowTextW(child, text, 256);
      if (std::wstring(text).find(L"Cannot open") != std::wstring::npos) boxText = text;
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(found);
  EXPECT_EQ(boxText, L"Cannot open file C:\\x.zip");
}

TEST_F(FormTest, TimerTicksOnTheLoopAndItsExceptionsAreHandled) {
  auto* timer = new TTimer(Form);
  timer->SetInterval(15);
  int ticks = 0;
  std::string shown;
  Application->OnException = [&](const std::string& message) { shown = message; };
  timer->OnTimer = [&](TComponent*) {
    if (++ticks == 3) {
      timer->SetEnabled(false);
      throw Exception("third tick");
    }
  };
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  Sleep(60);
  Application->ProcessMessages();
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(shown, "third tick");
}

// Work that waits for something only the window's thread can do finishes only when that
// thread keeps dispatching; what the work raises reaches the caller.
TEST_F(FormTest, WorkBesideTheLoopLetsItDispatchAndRaisesWhatItRaised) {
  std::atomic<bool> ticked{false};
  Soon([&] { ticked = true; });
  Application->RunWhileAnswering([&] {
    for (int i = 0; i < 500 && !ticked; ++i) Sleep(10);
  });
  PendingAction = nullptr;  // never run later, in another test
  EXPECT_TRUE(ticked);
  EXPECT_THROW(Application->RunWhileAnswering([] { throw std::runtime_error("no room"); }),
               std::runtime_error);
}

TEST_F(FormTest, GraphicControlsGetTheMouseFromTheirParent) {
  Form->Show();
  auto* label = new TLabel(Form);
  label->SetBounds(20, 20, 60, 20);
  label->SetParent(Form);
  int clicks = 0, enters = 0, downX = -1, downY = -1;
  label->OnClick = [&](TComponent*) { ++clicks; };
  label->OnMouseEnter = [&](TComponent*) { ++enters; };
  label->OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int x, int y) {
    downX = x;
    downY = y;
  };
  auto post = [&](UINT message, int x, int y) {
    PostMessageW(Form->Handle(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(x, y));
  };
  post(WM_MOUSEMOVE, 30, 25);
  post(WM_LBUTTONDOWN, 30, 25);
  post(WM_LBUTTONUP, 31, 26);
  post(WM_LBUTTONDOWN, 150, 150);  // beside it
  post(WM_LBUTTONUP, 150, 150);
  post(WM_LBUTTONDOWN, 30, 25);  // pressed on it, released beside it
  post(WM_LBUTTONUP, 150, 150);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(downX, 10);
  EXPECT_EQ(downY, 5);
}

TEST_F(FormTest, RightToLeftReadingKeepsTheLayoutAndSwapsOnlyAlignment) {
  auto* label = new TLabel(Form);
  label->SetBounds(40, 10, 200, 16);
  label->SetParent(Form);
  label->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(label->TextFlags() & (DT_RIGHT | DT_RTLREADING), UINT(DT_RIGHT | DT_RTLREADING));
  label->SetAlignment(taRightJustify);
  EXPECT_EQ(label->TextFlags() & DT_RIGHT, 0u);
  label->SetBiDiMode(bdRightToLeftReadingOnly);
  label->SetAlignment(taLeftJustify);
  EXPECT_EQ(label->TextFlags() & (DT_RIGHT | DT_RTLREADING), UINT(DT_RTLREADING));
  EXPECT_EQ(label->Left(), 40);
  Form->SetBiDiMode(bdRightToLeft);
  EXPECT_FALSE(GetWindowLongPtrW(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
  auto* child = new TCheckBox(Form);
  child->SetBounds(10, 50, 150, 17);
  child->SetParent(Form);
  EXPECT_TRUE(child->UseRightToLeftReading());  // taken from the form when placed
  EXPECT_TRUE(GetWindowLongPtrW(child->Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING);
}

TEST_F(FormTest, AutoSizeLabelTakesTheSizeOfItsText) {
  auto* label = new TLabel(Form);
  label->SetBounds(17, 195, 10, 10);
  label->SetParent(Form);
  label->Font().Assign(L"Arial", -15, fsBold, HEBREW_CHARSET);
  label->SetAutoSize(true);
  label->SetCaption(L"C:\\Norvasto\\Mirpan");
  int shortWidth = label->Width();
  label->SetCaption(L"C:\\Norvasto\\Mirpan\\and\\a\\longer\\path");
  EXPECT_GT(shortWidth, 60);
  EXPECT_GT(label->Width(), shortWidth);
  EXPECT_GE(label->Height(), 15);
  EXPECT_LE(label->Height(), 24);
}

TEST_F(FormTest, StandardControlsKeepTheirValues) {
  Form->Show();  // a click reaches only a shown check box
  auto* combo = new TComboBox(Form);
  combo->SetBounds(224, 135, 73, 21);
  combo->SetParent(Form);
  for (const wchar_t* drive : {L"C:\\", L"D:\\", L"E:\\"}) combo->AddItem(drive);
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), L"D:\\");
  EXPECT_EQ(combo->ItemCount(), 3);
  EXPECT_EQ(combo->Item(2), L"E:\\");
  EXPECT_EQ(combo->Item(7), L"");
  RECT r;
  GetWindowRect(combo->Handle(), &r);
  EXPECT_LT(r.bottom - r.top, 40);  // the closed box, not the dropped list

  auto* check = new TCheckBox(Form);
  check->SetBounds(192, 150, 97, 17);
  check->SetParent(Form);
  check->SetChecked(true);
  EXPECT_TRUE(check->Checked());
  int clicks = 0;
  check->OnClick = [&](TComponent*) { ++clicks; };
  SendMessageW(check->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(clicks, 1);

  auto* memo = new TMemo(Form);
  memo->SetBounds(10, 10, 200, 70);
  memo->SetParent(Form);
  memo->SetReadOnly(true);
  memo->SetText(L"שורה\r\nשנייה\r\n");
  EXPECT_EQ(memo->Text(), L"שורה\r\nשנייה\r\n");
  EXPECT_TRUE(GetWindowLongPtrW(memo->Handle(), GWL_STYLE) & ES_READONLY);
}

}  // namespace
