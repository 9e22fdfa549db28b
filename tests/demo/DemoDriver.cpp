// Drives the built SetUp.exe through one scenario and saves its states as OUTDIR\NAME.bmp:
//   demo_driver.exe SETUP.EXE OUTDIR SCENARIO [NAME_PREFIX]
// tour      the exit question (cancelled), the five pages with drive D:, closing
// walk      pointer over the links and the title-bar boxes, a pressed button, page 2 at start,
//           its open drive list and unticked boxes, then an installation onto D:
// userdata  D: holds earlier user data: page 3 waiting under the backup question, the
//           question, page 3 part-way, the exit question during the installation (cancelled)
// damaged   the second part is damaged: its notice, then "not all installed"
// fulldisk  drive T: has no room: the full-disk notice, then leaving
// download  download mode: page 3 part-way through the first part
// errorbox  a folder stands where the maker folder's desktop.ini goes: the standard error box
//           of the finishing step that cannot write it, the page left behind, then leaving
// Buttons are found by caption, as the end-to-end tests do; the pointer is real input.
#include <cstdio>
#include <functional>
#include <string>

#include "../e2e/SetUpDriver.h"
#include "ScreenShot.h"

namespace {

std::wstring OutDir, NamePrefix;
int Failures = 0;

void Note(const std::wstring& text) {
  std::printf("demo: %s\n", Utf8(text).c_str());
  std::fflush(stdout);
}

std::wstring PathOf(const std::wstring& name) { return OutDir + L"\\" + NamePrefix + name; }

void Shoot(HWND window, const std::wstring& name, int margin = 0) {
  if (!window) {
    Note(L"no window for " + name);
    ++Failures;
    return;
  }
  Sleep(600);  // let it finish painting
  if (RequestShot(window, PathOf(name), margin)) {
    Note(L"saved " + name);
  } else {
    Note(L"no picture came for " + name);
    ++Failures;
  }
}

bool Titled(HWND window, const wchar_t* title) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  return IsWindow(window) && lstrcmpW(text, title) == 0;
}

// Real pointer input at a point of the window's client area.
void PointerAt(HWND window, int x, int y, DWORD buttons = 0) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  in.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  SendInput(1, &in, sizeof in);
  Sleep(400);
}

struct TClassSearch {
  const wchar_t* Class;
  HWND Found;
};

BOOL CALLBACK VisitChild(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TClassSearch*>(param);
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  if (lstrcmpiW(name, search->Class) != 0) return TRUE;
  search->Found = window;
  return FALSE;
}

HWND ChildOfClass(HWND parent, const wchar_t* className) {
  TClassSearch search{className, nullptr};
  EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// The share of the progress bar that is filled in a picture of the window: the bar fills
// from the right in colours far darker than its light background.
double BarFilled(const TBitmap& picture, HWND window) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  RECT outer;
  GetWindowRect(window, &outer);
  const int left = origin.x - outer.left + 44, top = origin.y - outer.top + 118 + 221 + 5;
  if (picture.Width() < left + 445 || picture.Height() <= top) return 0;
  int filled = 0;
  for (int x = 0; x < 445; ++x) {
    const TColor c = picture.Pixel(left + x, top);
    filled += (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 3 * 150;
  }
  return filled / 445.0;
}

// Pictures of page 3 until its bar is well under way but far from full; that one is kept.
bool ShootPartWay(HWND window, const std::wstring& name) {
  for (DWORD end = GetTickCount() + 180000;
       GetTickCount() < end && Titled(window, SetUpText::Installing);) {
    TBitmap picture;
    if (!RequestShot(window, PathOf(name)) || !LoadShot(PathOf(name), picture)) continue;
    const double share = BarFilled(picture, window);
    if (share > 0.15 && share < 0.7) {
      Note(L"saved " + name);
      return true;
    }
  }
  DeleteFileW((PathOf(name) + L".bmp").c_str());
  Note(L"the bar never stood part-way for " + name);
  ++Failures;
  return false;
}

HWND Dialog(const TSetUpDriver& setup, const std::wstring& caption, DWORD wait = 90000) {
  HWND dialog = setup.WaitForWindow(caption, wait);
  if (!dialog) Note(L"no dialog '" + caption + L"'; showing: " + setup.VisibleTitles());
  return dialog;
}

const int kDialogMargin = 8;

void Tour(const TSetUpDriver& setup) {
  HWND window = setup.WaitForWindow(SetUpText::Welcome);
  if (!window) return;
  setup.Click(window, SetUpText::Exit);
  HWND question = Dialog(setup, SetUpText::ExitQuestionCaption);
  Shoot(question, L"exit-question");
  if (question) setup.Click(question, SetUpText::Cross);
  const wchar_t* pages[] = {SetUpText::Welcome, SetUpText::SetupType, SetUpText::SelectDrive};
  for (int page = 0; page < 3; ++page) {
    window = setup.WaitForWindow(pages[page]);
    if (page == 2) setup.ChooseDrive(window, L"D:\\");
    Shoot(window, L"page" + std::to_wstring(page));
    setup.Click(window, SetUpText::Next);
  }
  // The installation runs inside page 3: pictures are taken while it runs, and the last one
  // made wholly within the page is kept.
  window = setup.WaitForWindow(SetUpText::Installing, 20000);
  const std::wstring page3 = PathOf(L"page3"), probe = PathOf(L"page3-probe");
  bool kept = false;
  while (window && Titled(window, SetUpText::Installing)) {
    if (RequestShot(window, probe) && Titled(window, SetUpText::Installing))
      kept = MoveFileExW((probe + L".bmp").c_str(), (page3 + L".bmp").c_str(),
                         MOVEFILE_REPLACE_EXISTING) != 0 ||
             kept;
  }
  DeleteFileW((probe + L".bmp").c_str());
  Note(kept ? L"saved page3" : L"the installation page was over before its picture was taken");
  window = setup.WaitForWindow(SetUpText::Finished, 300000);
  if (window && setup.WaitUntilHidden(window, SetUpText::Next)) Shoot(window, L"page4");
  if (!window || !setup.Click(window, SetUpText::Close) || !setup.Exited(20000)) {
    Note(L"the tour did not end with the final page's close button");
    ++Failures;
  }
}

void Walk(const TSetUpDriver& setup) {
  HWND window = setup.WaitForWindow(SetUpText::Welcome);
  if (!window) return;
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  PointerAt(window, 122 + 60, 118 + 32 + 9);  // LinkLabel2 over the agreement's words
  Shoot(window, L"hover-agreement-link");
  PointerAt(window, 504 + 8 + 83, 19 + 380 + 9);  // LinkLabel1, the web site
  Shoot(window, L"hover-website-link");
  PointerAt(window, 652 + 10, 10);  // the minimise box
  Shoot(window, L"hover-minimise");
  PointerAt(window, 670 + 9, 10);  // the close box
  Shoot(window, L"hover-close");
  // Pressed and held; released away from the button, which then does not click.
  PointerAt(window, 5 + 36, 444 + 10, MOUSEEVENTF_LEFTDOWN);
  Shoot(window, L"pressed-next");
  PointerAt(window, 300, 300);
  PointerAt(window, 300, 300, MOUSEEVENTF_LEFTUP);

  setup.Click(window, SetUpText::Next);
  window = setup.WaitForWindow(SetUpText::SetupType);
  setup.Click(window, SetUpText::Next);
  window = setup.WaitForWindow(SetUpText::SelectDrive);
  Shoot(window, L"page2-start");
  HWND box = ChildOfClass(window, L"ComboBox");
  PostMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
  Shoot(window, L"page2-drive-list");
  PostMessageW(box, CB_SHOWDROPDOWN, FALSE, 0);
  setup.Click(window, L"ברצוני ליצור קיצור דרך על שולחן העבודה.");
  setup.Click(window, L"ברצוני להתקין את הטפט (תמונת שולחן עבודה) של נורבסטו.");
  Shoot(window, L"page2-unticked");
  setup.ChooseDrive(window, L"D:\\");
  setup.Click(window, SetUpText::Next);
  if (!setup.FinishAndClose()) Note(L"the walk did not end on the final page");
}

// Pages 0 and 1 passed, D: chosen and the installation started; false when the drive page
// did not come.
bool InstallOntoD(const TSetUpDriver& setup) {
  HWND window = setup.WalkToTheDrivePage();
  if (!window) return false;
  setup.ChooseDrive(window, L"D:\\");
  return setup.Click(window, SetUpText::Next);
}

void UserData(const TSetUpDriver& setup) {
  if (!InstallOntoD(setup)) return;
  HWND question = Dialog(setup, L"גיבוי נתוני חברה לעבודה");
  if (!question) return;
  Shoot(question, L"dialog-user-data", kDialogMargin);
  // The page behind it, with the question moved out of the way.
  SetWindowPos(question, nullptr, 0, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Shoot(setup.WaitForWindow(SetUpText::Installing), L"page3-waiting");
  setup.PressEnter(question);  // the default, the cross: the data stays
  HWND window = setup.WaitForWindow(SetUpText::Installing);
  if (ShootPartWay(window, L"page3-partway")) {
    setup.ClickTitleBarClose(window);
    HWND exit = Dialog(setup, SetUpText::ExitQuestionCaption);
    Shoot(exit, L"dialog-exit-during-installation", kDialogMargin);
    if (exit) setup.Click(exit, SetUpText::Cross);
  }
  if (!setup.FinishAndClose()) Note(L"the installation did not end on the final page");
}

void Damaged(const TSetUpDriver& setup) {
  if (!InstallOntoD(setup)) return;
  for (const wchar_t* name : {L"dialog-damaged-part", L"dialog-not-all-installed"}) {
    HWND notice = Dialog(setup, L"התקנת Mirpan");
    Shoot(notice, name, kDialogMargin);
    if (notice) setup.AnswerDialog(L"התקנת Mirpan");
  }
  setup.FinishAndClose();
}

void FullDisk(const TSetUpDriver& setup) {
  HWND window = setup.WalkToTheDrivePage();
  if (!window) return;
  setup.ChooseDrive(window, L"T:\\");
  HWND notice = Dialog(setup, L"דיסק מלא", 20000);
  Shoot(notice, L"dialog-full-disk", kDialogMargin);
  if (notice) setup.AnswerDialog(L"דיסק מלא");
  setup.Click(window, SetUpText::Exit);
  setup.AnswerDialog(SetUpText::ExitQuestionCaption, true);
}

void ErrorBox(const TSetUpDriver& setup) {
  if (!InstallOntoD(setup)) return;
  HWND box = Dialog(setup, L"SetUp", 180000);
  Shoot(box, L"error-box", kDialogMargin);
  if (!box) return;
  setup.PressEnter(box);
  for (int i = 0; i < 200 && IsWindowVisible(box); ++i) Sleep(50);
  Shoot(setup.WaitForWindow(SetUpText::Installing), L"page3-after-error");
  setup.LeaveDuringInstallation();
  if (!setup.Exited(20000)) {
    Note(L"the program did not end after the exit question");
    ++Failures;
  }
}

void Download(const TSetUpDriver& setup) {
  if (!InstallOntoD(setup)) return;
  ShootPartWay(setup.WaitForWindow(SetUpText::Installing), L"download-partway");
  setup.FinishAndClose(300000);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::printf("usage: demo_driver SETUP.EXE OUTDIR SCENARIO [NAME_PREFIX]\n");
    return 2;
  }
  OutDir = argv[2];
  if (argc > 4) NamePrefix = argv[4];
  const std::wstring scenario = argv[3];
  const std::function<void(const TSetUpDriver&)> run = scenario == L"tour"       ? Tour
                                                       : scenario == L"walk"     ? Walk
                                                       : scenario == L"userdata" ? UserData
                                                       : scenario == L"damaged"  ? Damaged
                                                       : scenario == L"fulldisk" ? FullDisk
                                                       : scenario == L"errorbox" ? ErrorBox
                                                                                 : Download;
  TSetUpDriver setup(argv[1]);
  if (!setup.Started()) {
    Note(L"SetUp.exe did not start");
    return 1;
  }
  run(setup);
  return Failures == 0 ? 0 : 1;
}
