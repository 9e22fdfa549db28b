#pragma once
// The real wizard form inside the test process: created and shown like the program does,
// driven with window messages, read back from its controls and from its painted pixels.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "support/DialogAnswerer.h"
#include "wizard/UMirpan4RSetup.h"

namespace WizardTest {

using TestDialogs::TDialogAnswerer;

// The installation steps of page 3 replaced by a record of their calls, so that navigation
// can be watched without touching the machine.
class TRecordingSetUp : public TFrmSetUp {
 public:
  using TFrmSetUp::TFrmSetUp;
  std::vector<std::string> Steps;
  std::function<void()> WhileInstalling;
  bool Installed = true;  // whether the archive steps leave a product folder

  void ApplyTargetDrive() override { Steps.push_back("ApplyTargetDrive"); }
  void InstallFromLocalArchives() override { Install("InstallFromLocalArchives"); }
  void DownloadAndInstallArchives() override { Install("DownloadAndInstallArchives"); }
  void RunFinishingSteps() override { Steps.push_back("RunFinishingSteps"); }
  bool ProductFolderExists() override { return Installed; }

 private:
  void Install(const char* step) {
    Steps.push_back(step);
    if (WhileInstalling) WhileInstalling();
  }
};

inline void Pump(int milliseconds = 0) {
  DWORD end = GetTickCount() + milliseconds;
  do {
    Application->ProcessMessages();
    if (milliseconds) Sleep(10);
  } while (milliseconds && GetTickCount() < end);
}

// Dispatches messages until `done` holds or the time is up; answers `done()` at the end.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 3000) {
  DWORD end = GetTickCount() + milliseconds;
  while (!done() && GetTickCount() < end) Pump(10);
  return done();
}

// Presses a push button as a click does.
inline void Press(TWinControl* button) {
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  Pump();
}

// Left click at a point of a window's client area, as the mouse sends it.
inline void ClickAt(HWND window, int x, int y) {
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  Pump();
}

// ---- pixels

// A copy of a window's client area as it is painted now.
class TWindowPixels {
 public:
  explicit TWindowPixels(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    FBitmap.SetSize(r.right, r.bottom);
    HDC dc = GetDC(window);
    BitBlt(FBitmap.DC(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
  }
  // As COLORREF, comparable with the layout's plain colours.
  COLORREF At(int x, int y) const { return FBitmap.Pixel(x, y) & 0x00FFFFFF; }
  // How many pixels of the rectangle have exactly this colour.
  int Count(const RECT& r, COLORREF color) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == color;
    return n;
  }

 private:
  TBitmap FBitmap;
};

// ---- the fixture

class WizardFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Form = new TRecordingSetUp(Application);
    Form->Show();
    Pump(100);
  }
  void TearDown() override {
    delete Form;
    Pump();
  }
  int Page() const { return Form->nbSetupWiz->PageIndex(); }
  TPage* CurrentPage() const { return Form->nbSetupWiz->Pages(Page()); }

  TRecordingSetUp* Form = nullptr;
};

}  // namespace WizardTest
