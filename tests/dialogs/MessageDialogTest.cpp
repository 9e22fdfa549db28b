// The message dialogs as real windows: layout arithmetic, icons, captions, buttons and answers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "dialogs/UInstError.h"
#include "dialogs/UInstMirpanError.h"
#include "framework/GdiGuards.h"
#include "support/DialogAnswerer.h"

using namespace TestDialogs;

namespace {

const std::wstring kCaption = L"יציאה מהתקנה";
const std::wstring kTwoLines = JoinLines({L"ההתקנה עדין לא סיימה.", L"האם לצאת בכל מקרה ?"});

// Whether the dialog's icon shows picture `index` of its image list.
bool ShowsIcon(TMessageDialogForm& form, int index) {
  TBitmap expected;
  if (!form.ImageList->GetBitmap(index, expected)) return false;
  const TBitmap& shown = form.Image->Picture();
  if (shown.Width() != 32 || shown.Height() != 32) return false;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (shown.Pixel(x, y) != expected.Pixel(x, y)) return false;
  return true;
}

// The control's place within the form's client area, read from its window.
RECT WindowPlace(const TWinControl& control) {
  RECT r;
  GetWindowRect(control.Handle(), &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(control.Handle()), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The span of caption-bar columns that carry text: between the frame and the close box, a
// column carries text where it differs from the bar's top row. Read from the window's DC, so
// it is what the frame shows after both the system and the program painted it.
struct TInkSpan {
  int Left = -1, Right = -1, AreaWidth = 0;
};

TInkSpan CaptionInk(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  const int frame = client.left - outer.left, barBottom = client.top - outer.top - 1;
  const int width = outer.right - outer.left;
  TBitmap shot(width, barBottom + 1);
  TWindowDC dc(window, true);
  BitBlt(shot.DC(), 0, 0, width, barBottom + 1, dc, 0, 0, SRCCOPY);
  GdiFlush();
  auto differs = [](std::uint32_t a, std::uint32_t b) {
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8)
      sum +=
          std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return sum > 96;
  };
  TInkSpan span;
  const int left = frame + 2, right = width - frame - GetSystemMetrics(SM_CXSIZE) - 2;
  span.AreaWidth = right - left;
  for (int x = left; x < right; ++x) {
    const std::uint32_t bar = shot.Bits()[frame * width + x];
    for (int y = frame + 1; y < barBottom; ++y) {
      if (!differs(shot.Bits()[y * width + x], bar)) continue;
      if (span.Left < 0) span.Left = x - left;
      span.Right = x - left;
      break;
    }
  }
  return span;
}

class MessageDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    UInstMirpanError::StyledLook = false;
  }
  void TearDown() override {
    UInstMirpanError::StyledLook = false;
    Application->ProcessMessages();  // the released dialogs go
  }
};

TEST_F(MessageDialogTest, JoinLinesEndsEveryLineAndCountsOneMore) {
  EXPECT_EQ(JoinLines({L"a", L"b"}), L"a\r\nb\r\n");
  EXPECT_EQ(JoinLines({}), L"");
  EXPECT_EQ(TMessageDialogForm::CountLines(JoinLines({L"a", L"b"})), 3);
  EXPECT_EQ(TMessageDialogForm::CountLines(L"no line break"), 1);
}

TEST_F(MessageDialogTest, UnknownLanguageModesBecomeHebrew) {
  EXPECT_EQ(TMessageDialogForm::NormalLanguageMode(7), 2);
  EXPECT_EQ(TMessageDialogForm::NormalLanguageMode(-1), 2);
  EXPECT_EQ(TMessageDialogForm::NormalLanguageMode(0), 0);
  EXPECT_EQ(TMessageDialogForm::NormalLanguageMode(1), 1);
  // Taken as a signed byte: 256 is 0, 258 is 2.
  EXPECT_EQ(TMessageDialogForm::NormalLanguageMode(256), 0);
  EXPECT_EQ(TMessageDialogForm::NormalLanguageMode(258), 2);
}

TEST_F(MessageDialogTest, LabelHeightGrowsTenPixelsPerCountedLine) {
  int twoLines = 0, oneLine = 0;
  WhenDialogShows([&](TMessageDialogForm& form) {
    twoLines = form.LMemText->Height();
    PressKey(form, VK_RETURN);
  });
  UInstMirpanError::ShowInfoDialog(kCaption, kTwoLines, 2);
  WhenDialogShows([&](TMessageDialogForm& form) {
    oneLine = form.LMemText->Height();
    PressKey(form, VK_RETURN);
  });
  UInstMirpanError::ShowInfoDialog(kCaption, L"הודעה קצרה", 2);
  EXPECT_EQ(twoLines, 90);
  EXPECT_EQ(oneLine, 70);
}

TEST_F(MessageDialogTest, StyledWizardDialogsShowPictureAndTiledIcons) {
  UInstMirpanError::StyledLook = true;
  struct Case {
    TMessageDialogMode mode;
    int icon;
  } cases[] = {{mdError, 6}, {mdInfo, 4}, {mdQuestion, 5}};
  for (const Case& c : cases) {
    bool icon = false, background = false;
    WhenDialogShows([&](TMessageDialogForm& form) {
      icon = ShowsIcon(form, c.icon);
      background = form.ImgBackGround->Visible() && !form.ImgBackGround->Picture().Empty();
      PressKey(form, VK_RETURN);
    });
    RunMessageDialog<UInstMirpanError::TFrmInstMirpanError>(c.mode, kCaption, kTwoLines, 2, false);
    EXPECT_TRUE(icon) << "mode " << c.mode;
    EXPECT_TRUE(background) << "mode " << c.mode;
  }
}

TEST_F(MessageDialogTest, PlainToolsDialogsShowNoPictureAndPlainIcons) {
  UInstMirpanError::StyledLook = true;  // the wizard's switch does not reach the tools' unit
  bool errorIcon = false, questionIcon = false, background = true;
  WhenDialogShows([&](TMessageDialogForm& form) {
    errorIcon = ShowsIcon(form, 2);
    background = form.ImgBackGround->Visible();
    PressKey(form, VK_RETURN);
  });
  UInstError::ShowErrorDialog(kCaption, kTwoLines, 2);
  WhenDialogShows([&](TMessageDialogForm& form) {
    questionIcon = ShowsIcon(form, 1);
    PressKey(form, VK_RETURN);
  });
  UInstError::AskYesNoDialog(kCaption, kTwoLines, 2, false);
  EXPECT_TRUE(errorIcon);
  EXPECT_TRUE(questionIcon);
  EXPECT_FALSE(background);
}

TEST_F(MessageDialogTest, SingleButtonModesCentreTheCheckMark) {
  RECT btn1{};
  bool btn2Visible = true;
  int formWidth = 0;
  WhenDialogShows([&](TMessageDialogForm& form) {
    btn1 = WindowPlace(*form.Btn1);
    btn2Visible = IsWindowVisible(form.Btn2->Handle()) != FALSE;
    formWidth = form.Width();
    PressKey(form, VK_RETURN);
  });
  UInstMirpanError::ShowErrorDialog(kCaption, kTwoLines, 2);
  EXPECT_EQ(formWidth, 428);
  EXPECT_EQ(btn1.left, (428 - 51) / 2);
  EXPECT_EQ(btn1.right - btn1.left, 51);
  EXPECT_FALSE(btn2Visible);
}

TEST_F(MessageDialogTest, QuestionPlacesCrossLeftAndCheckRightTwoWidthsApart) {
  RECT btn1{}, btn2{};
  WhenDialogShows([&](TMessageDialogForm& form) {
    btn1 = WindowPlace(*form.Btn1);
    btn2 = WindowPlace(*form.Btn2);
    PressKey(form, VK_RETURN);
  });
  UInstMirpanError::AskYesNoDialog(kCaption, kTwoLines, 2, false);
  int x = (428 - 4 * 51) / 2;
  EXPECT_EQ(btn2.left, x);
  EXPECT_EQ(btn1.left, x + 3 * 51);
  EXPECT_EQ(btn1.top, btn2.top);
}

TEST_F(MessageDialogTest, EnterAnswersWithTheDefaultButton) {
  WhenDialogShows([](TMessageDialogForm& form) { PressKey(form, VK_RETURN); });
  EXPECT_FALSE(UInstMirpanError::AskYesNoDialog(kCaption, kTwoLines, 2, true));
  WhenDialogShows([](TMessageDialogForm& form) { PressKey(form, VK_RETURN); });
  EXPECT_TRUE(UInstMirpanError::AskYesNoDialog(kCaption, kTwoLines, 2, false));
  WhenDialogShows([](TMessageDialogForm& form) { PressKey(form, VK_RETURN); });
  EXPECT_FALSE(UInstError::AskYesNoDialog(kCaption, kTwoLines, 2, true));
}

TEST_F(MessageDialogTest, CloseBoxAnswersNo) {
  WhenDialogShows([](TMessageDialogForm& form) { PressCloseBox(form); });
  EXPECT_FALSE(UInstMirpanError::AskYesNoDialog(kCaption, kTwoLines, 2, false));
  WhenDialogShows([](TMessageDialogForm& form) { PressCloseBox(form); });
  EXPECT_FALSE(UInstError::AskYesNoDialog(kCaption, kTwoLines, 2, false));
}

TEST_F(MessageDialogTest, LanguageModeSevenLaysOutAsHebrew) {
  struct Layout {
    int imageLeft, labelLeft;
    bool rightToLeft;
    std::wstring caption;
  };
  auto layoutOf = [](int mode) {
    Layout l{};
    WhenDialogShows([&](TMessageDialogForm& form) {
      l = {form.Image->Left(), form.LMemText->Left(), form.LMemText->UseRightToLeftReading(),
           form.Caption()};
      PressKey(form, VK_RETURN);
    });
    UInstMirpanError::ShowErrorDialog(kCaption, kTwoLines, mode);
    return l;
  };
  Layout hebrew = layoutOf(2), seven = layoutOf(7);
  EXPECT_EQ(seven.imageLeft, hebrew.imageLeft);
  EXPECT_EQ(seven.labelLeft, hebrew.labelLeft);
  EXPECT_TRUE(seven.rightToLeft);
  EXPECT_EQ(seven.caption, kCaption);
  // Icon to the right of the text: one pixel apart in the wizard's dialog.
  EXPECT_EQ(hebrew.labelLeft, 5);
  EXPECT_EQ(hebrew.imageLeft, 5 + 346 + 1);
}

TEST_F(MessageDialogTest, ToolsDialogKeepsTwoPixelsBetweenTextAndIcon) {
  int imageLeft = 0;
  WhenDialogShows([&](TMessageDialogForm& form) {
    imageLeft = form.Image->Left();
    PressKey(form, VK_RETURN);
  });
  UInstError::ShowErrorDialog(kCaption, kTwoLines, 2);
  EXPECT_EQ(imageLeft, 5 + 346 + 2);
}

TEST_F(MessageDialogTest, EnglishModeOneReadsLeftToRightAndWidensOnlyANarrowDialog) {
  int imageLeft = 0, labelLeft = 0, clientWidth = 0;
  bool rightToLeft = true;
  WhenDialogShows([&](TMessageDialogForm& form) {
    imageLeft = form.Image->Left();
    labelLeft = form.LMemText->Left();
    clientWidth = form.ClientWidth();
    rightToLeft = form.LMemText->UseRightToLeftReading();
    PressKey(form, VK_RETURN);
  });
  UInstMirpanError::ShowErrorDialog(L"Error", JoinLines({L"Cannot open the archive."}), 1);
  EXPECT_FALSE(rightToLeft);
  // The text's right edge as the constructor leaves it is 76 + 346; a client area narrower
  // than that (it depends on the frame the system draws) widens the dialog.
  if (clientWidth == 32 + 49 + 346 + 17) {
    EXPECT_EQ(imageLeft, 5);
    EXPECT_EQ(labelLeft, 32 + 17);
  } else {
    EXPECT_GE(clientWidth, 76 + 346);
    EXPECT_EQ(labelLeft, 5);
    EXPECT_EQ(imageLeft, 5 + 346 + 1);
  }
}

TEST_F(MessageDialogTest, LongTextGrowsTheDialogAboveTheButtons) {
  std::vector<std::wstring> lines;
  for (int i = 1; i <= 14; ++i)
    lines.push_back(L"שורה " + std::to_wstring(i) + L" של הודעה ארוכה שנכתבה כדי לבדוק את החלון.");
  std::wstring wrapped(60, L'x');
  for (int i = 0; i < 8; ++i) wrapped += L" מילים רבות מאוד בשורה אחת ארוכה";
  for (const std::wstring& text : {JoinLines(lines), wrapped}) {
    int textBottom = 0, labelBottom = 0, buttonTop = 0, buttonBottom = 0, clientHeight = 0;
    WhenDialogShows([&](TMessageDialogForm& form) {
      textBottom = form.LMemText->Top() + form.LMemText->TextHeight();
      labelBottom = form.LMemText->Top() + form.LMemText->Height();
      RECT b = WindowPlace(*form.Btn1);
      buttonTop = b.top;
      buttonBottom = b.bottom;
      clientHeight = form.ClientHeight();
      PressKey(form, VK_RETURN);
    });
    UInstMirpanError::ShowInfoDialog(kCaption, text, 2);
    EXPECT_LE(textBottom, buttonTop);
    EXPECT_LE(textBottom, labelBottom);
    EXPECT_LE(buttonBottom, clientHeight);
    EXPECT_GT(clientHeight, 127);
  }
}

TEST_F(MessageDialogTest, CaptionTextStandsRightInHebrewAndLeftInEnglish) {
  TInkSpan hebrew, english;
  WhenDialogShows([&](TMessageDialogForm& form) {
    hebrew = CaptionInk(form.Handle());
    PressKey(form, VK_RETURN);
  });
  UInstMirpanError::ShowErrorDialog(kCaption, kTwoLines, 2);
  WhenDialogShows([&](TMessageDialogForm& form) {
    english = CaptionInk(form.Handle());
    PressKey(form, VK_RETURN);
  });
  UInstMirpanError::ShowErrorDialog(L"Error", JoinLines({L"Cannot open the archive."}), 1);
  ASSERT_GE(hebrew.Left, 0) << "no caption text drawn";
  ASSERT_GE(english.Left, 0) << "no caption text drawn";
  EXPECT_GT(hebrew.Left, hebrew.AreaWidth / 2);
  EXPECT_GT(hebrew.Right, hebrew.AreaWidth - 12);
  EXPECT_LT(english.Right, english.AreaWidth / 2);
  EXPECT_LT(english.Left, 12);
}

}  // namespace
