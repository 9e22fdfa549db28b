// The wizard's frame and styled controls as painted and driven in the real window: the
// start state, the title-bar drag, the link colours, the progress bar's value model read
// from pixels, an inert link and the title-bar strip.
#include <cstdio>
#include <filesystem>

#include "WizardFixture.h"
#include "framework/Text.h"
#include "http/NetHTTP.h"

namespace WizardTest {
namespace {

constexpr COLORREF kPageText = 5581568;
constexpr COLORREF kLinkHover = 3063277;
constexpr COLORREF kTitleBar = 13821149;
constexpr COLORREF kProgressBack = 11845824;

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

TEST_F(WizardFormTest, StartStateTargetsTheSystemDriveAndClearsTheRecords) {
  EXPECT_EQ(Page(), 0);
  EXPECT_EQ(Form->EDrivesCombo->Text(), L"C:\\");  // Wine's system folder is on C:
  EXPECT_EQ(Form->LPath->Caption(), L"C:\\Norvasto\\Mirpan");
  EXPECT_EQ(Form->LastDriveIndex, 1);
  EXPECT_TRUE(Form->InstallRec.MainDirectory.empty());
  std::wstring program = ProgramPath();
  EXPECT_EQ(WideFromCp1255(Form->PathRec.SetupFolder), program.substr(0, program.rfind(L'\\')));
}

// Only the marker file selects the local mode; the archive parts alone do not.
TEST(WizardMarkerTest, OnlyTheMarkerFileSelectsLocalInstallation) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::filesystem::path folder =
      std::filesystem::path(temp) / (L"wizard-marker-" + std::to_wstring(GetCurrentProcessId()));
  std::filesystem::create_directories(folder);
  auto touch = [&](const wchar_t* name) {
    std::FILE* f = _wfopen((folder / name).c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  };
  touch(L"MirpanN1.zip");
  touch(L"MirpanN2.zip");
  EXPECT_FALSE(TFrmSetUp::HasMarkerFile(folder.wstring()));
  std::filesystem::create_directory(folder / L"MirpanN.zip");
  EXPECT_FALSE(TFrmSetUp::HasMarkerFile(folder.wstring()));  // a folder of that name
  std::filesystem::remove(folder / L"MirpanN.zip");
  touch(L"MirpanN.zip");
  EXPECT_TRUE(TFrmSetUp::HasMarkerFile(folder.wstring()));
  std::filesystem::remove_all(folder);
}

// Real pointer input: the window follows the pointer exactly, and any released button ends
// the drag.
TEST_F(WizardFormTest, DraggingTheTitleBarMovesByThePointersMovement) {
  // Other programs' windows may share the display while tests run side by side.
  SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RECT before;
  GetWindowRect(Form->Handle(), &before);
  // Each input is awaited by what it must cause, so a busy machine only makes it slower.
  auto input = [](DWORD flags, int x, int y, const std::function<bool()>& effect, int wait = 3000) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
      in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
      in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
      in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    SendInput(1, &in, sizeof(in));
    PumpUntil(effect, wait);
  };
  auto moved = [&](int dx, int dy) {
    return [=] {
      RECT r;
      GetWindowRect(Form->Handle(), &r);
      return r.left - before.left == dx && r.top - before.top == dy;
    };
  };
  auto pointerAt = [](int x, int y) {
    return [=] {
      POINT p;
      GetCursorPos(&p);
      return p.x == x && p.y == y;
    };
  };
  int x = before.left + 300, y = before.top + 9;
  input(MOUSEEVENTF_MOVE, x, y, pointerAt(x, y));
  input(MOUSEEVENTF_LEFTDOWN, 0, 0, [&] { return Form->Dragging; });
  ASSERT_TRUE(Form->Dragging);
  for (int step = 1; step <= 4; ++step)
    input(MOUSEEVENTF_MOVE, x + 10 * step, y + 6 * step, moved(10 * step, 6 * step));
  EXPECT_TRUE(moved(40, 24)());
  input(
      MOUSEEVENTF_RIGHTDOWN, 0, 0, [] { return false; }, 200);
  input(MOUSEEVENTF_RIGHTUP, 0, 0, [&] { return !Form->Dragging; });
  EXPECT_FALSE(Form->Dragging);
  // Released: moving on no longer drags.
  input(MOUSEEVENTF_MOVE, x + 80, y + 30, pointerAt(x + 80, y + 30));
  input(
      MOUSEEVENTF_LEFTUP, 0, 0, [] { return false; }, 200);
  EXPECT_TRUE(moved(40, 24)());
}

TEST_F(WizardFormTest, LinksTakeTheHoverColourAndGiveItBack) {
  struct {
    const char* Name;
    TLinkLabel* Link;
    COLORREF Rest;
  } links[] = {{"side panel", Form->LinkLabel1, static_cast<COLORREF>(GetSysColor(COLOR_WINDOW))},
               {"usage agreement", Form->LinkLabel2, kPageText}};
  for (auto& l : links) {
    SCOPED_TRACE(l.Name);
    HWND parent = l.Link->Parent()->Handle();
    PostMessageW(parent, WM_MOUSEMOVE, 0, MAKELPARAM(l.Link->Left() + 5, l.Link->Top() + 5));
    Pump(50);
    EXPECT_EQ(ColorToRGB(l.Link->Font().Color()), kLinkHover);
    EXPECT_EQ(ColorToRGB(l.Link->InActiveColor), kLinkHover);
    PostMessageW(parent, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    Pump(50);
    EXPECT_EQ(ColorToRGB(l.Link->Font().Color()), l.Rest);
    EXPECT_EQ(ColorToRGB(l.Link->InActiveColor), l.Rest);
  }
}

TEST_F(WizardFormTest, LinkThatCannotBeOpenedTurnsInertAndGrey) {
  TLinkLabel* link = Form->LinkLabel2;
  link->Jump = L"Z:\\no\\such\\folder\\MirpanUsageAgreement.pdf";
  HWND page = CurrentPage()->Handle();
  RECT area = link->BoundsRect();
  COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  TWindowPixels before(page);

  ClickAt(page, link->Left() + 60, link->Top() + 9);
  UpdateWindow(page);
  EXPECT_EQ(link->JumpMode, jmNone);
  EXPECT_FALSE(link->Enabled());
  TWindowPixels after(page);
  EXPECT_EQ(before.Count(area, grey), 0);
  EXPECT_GT(after.Count(area, grey), 40);
  EXPECT_LT(after.Count(area, kPageText), before.Count(area, kPageText) - 40);
}

// The bar of page 3, read from the window while the installation page shows.
TEST_F(WizardFormTest, ProgressBarValueModelAsPainted) {
  TProgressFill* bar = Form->pbProgress;
  struct TReading {
    int Position = -1;
    std::int32_t UserValue = -1;
    std::wstring Text;
    int FirstFilledColumn = -1;  // within the bar, on a row clear of the text
  };
  auto read = [&] {
    TReading r{bar->Position(), bar->UserValue(), bar->Text()};
    TWindowPixels pixels(bar->Parent()->Handle());
    for (int x = 1; x < bar->Width() - 1; ++x) {
      if (pixels.At(bar->Left() + x, bar->Top() + 4) != kProgressBack) {
        r.FirstFilledColumn = x;
        break;
      }
    }
    return r;
  };
  TReading quarter, outOfRange, full;
  Form->WhileInstalling = [&] {
    bar->SetUserValue(25);
    quarter = read();
    bar->SetUserValue(150);
    outOfRange = read();
    bar->SetPosition(250);
    full = read();
  };
  for (int i = 0; i < 3; ++i) Press(Form->btnNext);

  EXPECT_EQ(quarter.Position, 25);
  EXPECT_EQ(quarter.Text, L"25%");
  // Filling from the right: the inner width is 447 pixels, a quarter of it 111.
  EXPECT_NEAR(quarter.FirstFilledColumn, 1 + 447 - 111, 1);
  EXPECT_EQ(outOfRange.UserValue, 25);
  EXPECT_EQ(outOfRange.Position, 25);
  EXPECT_EQ(outOfRange.FirstFilledColumn, quarter.FirstFilledColumn);
  EXPECT_EQ(full.Position, 100);
  EXPECT_EQ(full.UserValue, 100);
  EXPECT_EQ(full.Text, L"100%");
  EXPECT_EQ(full.FirstFilledColumn, 1);
}

// The download's work events drive the same bar and the file-name line; a download of
// unknown length shows the amount so far in both, and the bar keeps moving.
TEST_F(WizardFormTest, DownloadProgressShowsPercentAndKilobytes) {
  TProgressFill* bar = Form->pbProgress;
  Form->HttpClientWorkBegin(nullptr, wkRead, 102400);
  Form->HttpClientWork(nullptr, wkRead, 51200);
  EXPECT_EQ(bar->Position(), 50);
  EXPECT_EQ(bar->Text(), L"50%");
  EXPECT_EQ(Form->LFileName->Caption(), L"הורדו 50 (KB) מתוך 100 (KB)");

  Form->HttpClientWorkBegin(nullptr, wkRead, 0);
  Form->HttpClientWork(nullptr, wkRead, 3000);
  EXPECT_EQ(Form->LFileName->Caption(), L"הורדו 3 (KB)");
  EXPECT_EQ(bar->Text(), L"הורדו 3 (KB)");
  // Events faster than the screen are shown by their latest count when the work ends.
  Form->HttpClientWork(nullptr, wkRead, 600 * 1024);
  Form->HttpClient->OnWorkEnd(nullptr, wkRead);
  EXPECT_EQ(bar->Position(), 58);  // 600 KB of the megabyte the bar fills
  EXPECT_EQ(bar->Text(), L"הורדו 600 (KB)");

  // The next download with a total shows percent again.
  Form->HttpClientWorkBegin(nullptr, wkRead, 2048);
  Form->HttpClientWork(nullptr, wkRead, 1024);
  EXPECT_EQ(bar->Text(), L"50%");
}

TEST_F(WizardFormTest, TitleBarStripPaintsBlackUntilColouredThenAtOnce) {
  // The wizard's own strip shows its colour between the icon and the bevel's lower edge.
  EXPECT_EQ(TWindowPixels(Form->Handle()).At(8, 18), kTitleBar);

  auto* strip = new TTopicBevel(Form);
  strip->SetBounds(10, 280, 60, 20);
  strip->SetParent(CurrentPage());
  UpdateWindow(CurrentPage()->Handle());
  EXPECT_EQ(TWindowPixels(CurrentPage()->Handle()).At(40, 290), 0u);
  strip->SetColor(kTitleBar);
  UpdateWindow(CurrentPage()->Handle());
  EXPECT_EQ(TWindowPixels(CurrentPage()->Handle()).At(40, 290), kTitleBar);
}

}  // namespace
}  // namespace WizardTest
