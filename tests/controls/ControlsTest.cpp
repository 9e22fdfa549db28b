// The styled controls on a real form under Wine, read back from their state and pixels.
#include <gtest/gtest.h>

#include "controls/TLinkLabel.h"
#include "controls/TProgressFill.h"
#include "controls/TShapeButton.h"
#include "controls/UTopicBevel.h"
#include "framework/Application.h"
#include "framework/Form.h"

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Form = new TForm(Application, bsNone);
    Form->SetBounds(100, 100, 688, 467);
    Form->SetColor(clBtnFace);
    Form->Show();
    // Above the windows of tests that run beside this one, so its pixels are its own.
    SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Application->ProcessMessages();
  }
  void TearDown() override { delete Form; }

  // A pixel of the form as it is on the screen now.
  TColor ScreenPixel(int x, int y) {
    Application->ProcessMessages();
    UpdateWindow(Form->Handle());
    HDC dc = GetDC(Form->Handle());
    TColor c = GetPixel(dc, x, y);
    ReleaseDC(Form->Handle(), dc);
    return c;
  }
  void Scribble(const RECT& r, TColor color) {
    HDC dc = GetDC(Form->Handle());
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(Form->Handle(), dc);
  }
  // Sent, not posted, and read before the queue is pumped: where the display's real pointer
  // is (other tests share the display) must not matter.
  void SendMouse(UINT message, int x, int y) {
    SendMessageW(Form->Handle(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(x, y));
  }

  TForm* Form = nullptr;
};

// The wizard's progress bar as its page lays it out.
TProgressFill* WizardProgressBar(TForm* form) {
  auto* bar = new TProgressFill(form);
  bar->SetBounds(42, 221, 449, 25);
  bar->SetParent(form);
  bar->OptionsText = toPercent;
  bar->Direction = mdHorizontalReverse;
  bar->UseFontColor = true;
  bar->BrushBackColor = 11845824;
  bar->Fill.SetColor(8109993);
  bar->Fill.SetEndColor(3348992);
  bar->Bar3D = lsRaisedspb;
  bar->Font().Assign(L"MS Sans Serif", -11, fsBold);
  bar->Font().SetColor(15398129);
  return bar;
}

TEST_F(ControlsTest, ProgressValuesOutsideTheRangeAreIgnoredAndPercentIsCapped) {
  TProgressFill* bar = WizardProgressBar(Form);
  bar->SetUserValue(40);
  bar->SetUserValue(150);
  EXPECT_EQ(bar->UserValue(), 40);
  EXPECT_EQ(bar->Position(), 40);
  bar->SetPosition(250);
  EXPECT_EQ(bar->Position(), 100);
  EXPECT_EQ(bar->UserValue(), 100);
  EXPECT_EQ(bar->Text(), L"100%");
  bar->SetPosition(-3);
  EXPECT_EQ(bar->Position(), 0);

  bar->SetMaxValue(200);
  bar->SetUserValue(101);  // 50.5 percent rounds up
  EXPECT_EQ(bar->Position(), 51);
  bar->SetPosition(37);
  EXPECT_EQ(bar->UserValue(), 74);
  EXPECT_EQ(bar->Text(), L"37%");
  bar->SetMinValue(-50);
  bar->SetMaxValue(50);
  bar->SetUserValue(0);
  EXPECT_EQ(bar->Position(), 50);
}

TEST_F(ControlsTest, ReverseProgressFillsTheRightQuarterAtTwentyFivePercent) {
  TProgressFill* bar = WizardProgressBar(Form);
  const TColor back = 11845824;
  int y = 221 + 3;
  bar->SetPosition(0);
  EXPECT_EQ(ScreenPixel(42 + 440, y), back);
  bar->SetPosition(25);
  // Inner width 447: the right 111 pixels are filled.
  EXPECT_NE(ScreenPixel(42 + 448 - 100, y), back);
  EXPECT_NE(ScreenPixel(42 + 448 - 108, y), back);
  EXPECT_EQ(ScreenPixel(42 + 448 - 116, y), back);
  EXPECT_EQ(ScreenPixel(42 + 10, y), back);
  RECT filled = bar->FilledRect();
  EXPECT_EQ(filled.right, 448);
  EXPECT_EQ(filled.right - filled.left, 111);
}

TEST_F(ControlsTest, EachDirectionAnchorsTheFillAtItsOwnEdge) {
  auto* bar = new TProgressFill(Form);
  bar->SetBounds(10, 300, 102, 52);  // inner 100 x 50
  bar->SetParent(Form);
  bar->SetPosition(30);
  struct Case {
    TProgressDirection direction;
    RECT expected;
  } cases[] = {{mdHorizontal, {1, 1, 31, 51}},
               {mdHorizontalReverse, {71, 1, 101, 51}},
               {mdVertical, {1, 1, 101, 16}},
               {mdVerticalReverse, {1, 36, 101, 51}}};
  for (const Case& c : cases) {
    bar->Direction = c.direction;
    RECT r = bar->FilledRect();
    EXPECT_TRUE(EqualRect(&r, &c.expected)) << "direction " << c.direction << ": " << r.left << ","
                                            << r.top << "," << r.right << "," << r.bottom;
  }
}

TEST_F(ControlsTest, ProgressRepaintsOnlyWhenTheWholePercentChanges) {
  TProgressFill* bar = WizardProgressBar(Form);
  bar->SetMaxValue(1000);
  bar->SetUserValue(250);
  const TColor back = 11845824, marker = 0x00FF00FF;
  RECT r{42 + 10, 221 + 2, 42 + 20, 221 + 6};
  EXPECT_EQ(ScreenPixel(52, 224), back);
  Scribble(r, marker);
  bar->SetUserValue(251);  // still 25 percent: left as it is
  EXPECT_EQ(ScreenPixel(52, 224), marker);
  bar->SetUserValue(262);  // 26 percent: painted again
  EXPECT_EQ(ScreenPixel(52, 224), back);
}

TEST_F(ControlsTest, TopicBevelPaintsBlackUntilColouredAndRepaintsWhenColoured) {
  auto* strip = new TTopicBevel(Form);
  strip->SetBounds(0, 0, 651, 20);
  strip->SetParent(Form);
  strip->SetStyle(bsRaised);
  EXPECT_EQ(strip->Color(), clBlack);
  EXPECT_EQ(ScreenPixel(300, 10), clBlack);
  strip->SetColor(13821149);
  EXPECT_EQ(ScreenPixel(300, 10), TColor(13821149));
  EXPECT_EQ(ScreenPixel(0, 10), ColorToRGB(clBtnHighlight));  // the raised edge on top
}

TEST_F(ControlsTest, ShapeButtonIsRoundedFilledAndTracksThePointer) {
  auto* close = new TShapeButton(Form);
  close->SetBounds(670, 0, 20, 20);
  close->SetParent(Form);
  close->SetCaption(L"X");
  close->ShapeFill.SetColor(clRed);
  close->ShapeFill.SetEndColor(213);
  close->ShapeFill.PaletteRealize = true;
  close->OffsetX = 1;
  close->OffsetY = 2;
  close->Font().Assign(L"MS Sans Serif", -11, fsBold);
  close->Font().SetColor(clWhite);
  close->EnterColor = 8172701;
  int clicks = 0, downX = -1;
  close->OnClick = [&](TComponent*) { ++clicks; };
  close->OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int x, int) { downX = x; };

  TBitmap picture(20, 20);
  TCanvas canvas = picture.Canvas();
  canvas.Brush.Color = 0x00FF00FF;
  canvas.FillRect(RECT{0, 0, 20, 20});
  close->Paint(canvas);
  EXPECT_EQ(picture.Pixel(0, 0), TColor(0x00FF00FF));  // the corner lies outside the shape
  TColor face = picture.Pixel(3, 10);
  EXPECT_GT(face & 0xFF, 150u);
  EXPECT_LT((face >> 8) & 0xFF, 60u);

  EXPECT_EQ(close->CaptionColor(), clWhite);
  SendMouse(WM_MOUSEMOVE, 675, 5);
  EXPECT_EQ(close->CaptionColor(), TColor(8172701));
  SendMouse(WM_LBUTTONDOWN, 675, 5);
  SendMouse(WM_LBUTTONUP, 676, 6);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(downX, 5);
  SendMouse(WM_MOUSEMOVE, 300, 300);
  EXPECT_EQ(close->CaptionColor(), clWhite);
  close->AllowMouseOver = false;
  SendMouse(WM_MOUSEMOVE, 675, 5);
  EXPECT_EQ(close->CaptionColor(), clWhite);
}

TEST_F(ControlsTest, GradientHasSixteenStepsFromColourToEndColour) {
  TGradient g;
  g.SetColor(8109993);
  g.SetEndColor(3348992);
  ASSERT_EQ(g.StepColors().size(), 16u);
  EXPECT_EQ(g.StepColors().front(), COLORREF(8109993));
  EXPECT_EQ(g.StepColors().back(), COLORREF(3348992));
  g.SetEndColor(clWhite);
  EXPECT_EQ(g.StepColors().back(), COLORREF(0xFFFFFF));
}

TEST_F(ControlsTest, LinkTargetFallsBackToTheCaptionAndMailto) {
  auto* link = new TLinkLabel(Form);
  link->SetCaption(L"info@norvasto.co.il");
  EXPECT_EQ(link->Target(), L"mailto:info@norvasto.co.il");
  link->Jump = L"   ";
  link->SetCaption(L"www.norvasto.co.il");
  EXPECT_EQ(link->Target(), L"www.norvasto.co.il");
  link->Jump = L"http://www.norvasto.co.il/uploads/MirpanUsageAgreement.pdf";
  EXPECT_EQ(link->Target(), link->Jump);
}

TEST_F(ControlsTest, LinkThatCannotBeOpenedTurnsInertAndGreyed) {
  auto* link = new TLinkLabel(Form);
  link->SetBounds(122, 32, 135, 18);
  link->SetParent(Form);
  link->SetCaption(L"___________________");
  link->Jump = L"Z:\\mirpan-no-such-folder\\agreement.qqq";
  link->JumpMode = jmApplication;
  int clicks = 0, exits = 0;
  link->OnClick = [&](TComponent*) { ++clicks; };
  link->OnMouseExit = [&](TComponent*) { ++exits; };
  link->ActiveColor = 3063277;
  link->InActiveColor = 5581568;

  SendMouse(WM_MOUSEMOVE, 130, 40);
  EXPECT_EQ(link->Font().Color(), TColor(3063277));
  SendMouse(WM_LBUTTONDOWN, 130, 40);
  SendMouse(WM_LBUTTONUP, 130, 40);
  EXPECT_EQ(link->JumpMode, jmApplication);  // an application link stays as it is
  EXPECT_TRUE(link->Enabled());

  link->JumpMode = jmInternet;
  SendMouse(WM_LBUTTONDOWN, 130, 40);
  SendMouse(WM_LBUTTONUP, 130, 40);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(link->JumpMode, jmNone);
  EXPECT_FALSE(link->Enabled());
  SendMouse(WM_LBUTTONDOWN, 130, 40);
  SendMouse(WM_LBUTTONUP, 130, 40);
  EXPECT_EQ(clicks, 2);  // inert now

  SendMouse(WM_MOUSEMOVE, 400, 300);
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(link->Font().Color(), TColor(5581568));
}

// The installer runs elevated: what a link opens is started by the desktop's shell, which runs
// as the user, and not as a child of the program.
TEST_F(ControlsTest, LinkOpensItsTargetThroughTheDesktopNotAsAChild) {
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring target = self;
  target = target.substr(0, target.rfind(L'\\') + 1) + L"controls_parent_recorder.exe";
  const std::wstring record = target + L".parent";
  DeleteFileW(record.c_str());
  auto* link = new TLinkLabel(Form);
  link->SetBounds(122, 32, 135, 18);
  link->SetParent(Form);
  link->SetCaption(L"___________________");
  link->Jump = target;
  SendMouse(WM_LBUTTONDOWN, 130, 40);
  SendMouse(WM_LBUTTONUP, 130, 40);
  EXPECT_EQ(link->JumpMode, jmInternet);

  std::string parent;
  for (int waited = 0; waited < 30000 && parent.empty(); waited += 100) {
    Sleep(100);
    HANDLE file = CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    char text[32] = "";
    DWORD read = 0;
    ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    parent.assign(text, read);
  }
  DeleteFileW(record.c_str());
  ASSERT_FALSE(parent.empty()) << "the link's target did not start";
  EXPECT_NE(std::stoul(parent), GetCurrentProcessId());
}

}  // namespace
