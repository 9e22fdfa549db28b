// The wizard's frame, its five pages and both message-dialog units as the layout tables give
// them, read back from the live windows: place and size, font, colours, caption, visibility.
// Then every text of the pages measured in the font it is shown in: none may need more room
// than its box.
#include <gtest/gtest.h>

#include <vector>

#include "../wizard/WizardFixture.h"
#include "LayoutReadBack.h"
#include "dialogs/UInstError.h"
#include "dialogs/UInstMirpanError.h"
#include "framework/Text.h"

namespace WizardTest {
namespace {

constexpr TColor kPageText = 5581568;
constexpr TColor N = kAnyColor;
const wchar_t* const kArial = L"Arial";
const wchar_t* const kHeading = L"Narkisim";
const wchar_t* const kStatus = L"Tahoma";
const wchar_t* const kSans = L"MS Sans Serif";

std::string Utf8(const std::wstring& text) {
  return Utf8FromU16(std::u16string(text.begin(), text.end()));
}

// One control a row, as the layout tables have them.
// clang-format off
// The window frame: form client coordinates.
const TLayoutRow kFrame[] = {
    {L"TopicBevel1", 0, 0, 651, 20, nullptr, 0, false, N, 13821149, nullptr, true},
    {L"imgSubImage", 1, 0, 16, 17, nullptr, 0, false, N, N, nullptr, true},
    {L"ShapeButton3", 17, 0, 634, 19, nullptr, 0, false, N, N, L"", true},
    {L"ShapeButton2", 652, 0, 20, 20, kSans, -11, true, clWhite, N, L"_", true},
    {L"ShapeButton1", 670, 0, 20, 20, kSans, -11, true, clWhite, N, L"X", true},
    {L"Image1", 0, 16, 697, 114, nullptr, 0, false, N, N, nullptr, true},
    {L"Bevel1", -8, -1, 697, 438, nullptr, 0, false, N, N, nullptr, true},
    {L"Bevel4", -7, 35, 697, 98, nullptr, 0, false, N, N, nullptr, true},
    {L"Bevel3", -7, 440, 697, 27, nullptr, 0, false, N, N, nullptr, true},
    {L"nbSetupWiz", 0, 118, 504, 318, nullptr, 0, false, N, N, nullptr, true},
    {L"Panel1", 504, 19, 183, 418, nullptr, 0, false, N, 6898949, nullptr, true},
    {L"lblApplicationName", -1, -1, -1, -1, nullptr, 0, false, N, N, L"Mirpan", false},
    {L"btnNext", 5, 444, 73, 20, kArial, -13, true, kPageText, N, L"&המשך >", true},
    {L"btnBack", 432, 444, 73, 20, kArial, -13, true, kPageText, N, L"< &חזור", true},
    {L"btnExit", 560, 444, 73, 20, kArial, -13, true, kPageText, N, L"&יציאה", true},
};

// The pages: coordinates within the notebook page.
const TLayoutRow kPages[] = {
    {L"Label4", 37, 13, 446, 216, kArial, -15, true, kPageText, N, L"תודה שבחרתם להתקין את תוכנת מירפן, ", true},
    {L"LinkLabel2", 122, 32, 135, 18, kArial, -15, true, kPageText, N, L"___________________", true},
    {L"Label2", 151, 241, 332, 18, kArial, -15, true, kPageText, N, L"על מנת לעזוב את תוכנת ההתקנה  יש להקיש על יציאה.", true},
    {L"Label7", 287, 19, 199, 20, kHeading, -21, true, kPageText, N, L"שלב א' : תצורת התקנה", true},
    {L"Label8", 55, 73, 431, 108, kArial, -15, true, kPageText, N, L"תוכנת ההתקנה מכוונת את תצורת ההתקנה באופן אוטומטי למצב ", true},
    {L"Label9", 281, 14, 207, 20, kHeading, -21, true, kPageText, N, L"שלב ב' : מיקום ההתקנה", true},
    {L"LStandAlon", 63, 47, 426, 72, kArial, -15, true, kPageText, N, L"כעת,  עליכם לבחור על איזה כונן (C, D וכד') במחשבכם, תותקן התוכנה.", true},
    {L"Bevel2", 0, 129, 503, 3, nullptr, 0, false, N, N, nullptr, true},
    {L"EDrivesCombo", 224, 135, 73, 21, nullptr, 0, false, N, N, L"C:\\", true},
    {L"LSerchLable", 336, 137, 152, 18, kArial, -15, true, kPageText, N, L"רשימת הכוננים במחשב :", true},
    {L"LInstPlace", 350, 174, 138, 18, kArial, -15, true, kPageText, N, L"ההתקנה התתבצע אל :", true},
    {L"LPath", 17, 195, -1, -1, kArial, -15, true, kPageText, N, L"C:\\Norvasto\\Mirpan", true},
    {L"CBAddShortCut", 192, 267, 297, 17, kArial, -15, true, kPageText, N, L"ברצוני ליצור קיצור דרך על שולחן העבודה.", true},
    {L"cbSetWallPaper", 96, 283, 393, 17, kArial, -15, true, kPageText, N, L"ברצוני להתקין את הטפט (תמונת שולחן עבודה) של נורבסטו.", true},
    {L"LinstallMsg", 86, 12, 403, 169, kArial, -15, true, kPageText, N, L"תוכנת ההתקנה מתקינה את מירפן", false},
    {L"LDownLoadMsg", 86, 12, 403, 180, kArial, -15, true, kPageText, N, L"תוכנת ההתקנה מתקינה את מירפן", false},
    {L"LSubject", 50, 203, 441, 16, kStatus, -13, true, kPageText, N, L"מתקין", true},
    {L"pbProgress", 42, 221, 449, 25, kSans, -11, true, 15398129, N, nullptr, true},
    {L"Label21", 50, 246, 441, 16, kStatus, -13, true, kPageText, N, L"כותב את הקובץ :", true},
    {L"LFileName", 45, 266, 445, 16, kStatus, -13, true, kPageText, N, L"מתקין", true},
    {L"Label10", 136, 17, 245, 266, kArial, -15, true, kPageText, N, L"חברת נורבסטו סופטוור בע\"מ", true},
    {L"LLAstProgName", 220, 64, 60, 22, kArial, -15, true, kPageText, N, L"Mirpan", true},
};

// Both dialog units right to left, as constructed: the table's places with the right-to-left
// moves of the text and the icon.
const TLayoutRow kDialog[] = {
    {L"ImgBackGround", 0, 0, 421, 121, nullptr, 0, false, N, N, nullptr, true},
    {L"Image", 383, 8, 32, 32, nullptr, 0, false, N, N, nullptr, true},
    {L"LMemText", 25, 8, 346, 70, kArial, -13, true, clWhite, N, L"גוף ההודעה", true},
    {L"MemText", 8, 8, 345, 70, kArial, -13, true, N, N, nullptr, false},
    {L"Btn1", 268, 91, 51, 25, L"Wingdings", -19, true, N, N, nullptr, true},
    {L"Btn2", 96, 91, 51, 25, L"Wingdings", -19, true, N, N, nullptr, true},
};
// clang-format on

void ExpectRows(const TComponent& owner, const TLayoutRow* rows, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const TLayoutRow& row = rows[i];
    auto* control = dynamic_cast<TControl*>(owner.FindComponent(row.Name));
    if (!control) {
      ADD_FAILURE() << Utf8(row.Name) << ": no such control";
      continue;
    }
    TLayoutRow given = row;
    if (row.Left < 0 && row.Width < 0) {  // only caption and visibility given
      const RECT b = ReadBack(*control).Bounds;
      given.Left = b.left;
      given.Top = b.top;
    }
    EXPECT_EQ(Utf8(Compare(given, ReadBack(*control))), "") << Utf8(row.Name);
  }
}

TEST_F(WizardFormTest, FrameAndPagesAreAsLaidOut) {
  RECT client;
  GetClientRect(Form->Handle(), &client);
  EXPECT_EQ(client.right, 688);
  EXPECT_EQ(client.bottom, 467);
  ExpectRows(*Form, kFrame, std::size(kFrame));
  ExpectRows(*Form, kPages, std::size(kPages));
}

TEST(DialogLayoutTest, BothDialogUnitsAreAsLaidOut) {
  Application->Initialize();
  UInstMirpanError::StyledLook = true;
  auto check = [](TMessageDialogForm* dialog, const char* unit, bool styled) {
    SCOPED_TRACE(unit);
    RECT outer;
    GetWindowRect(dialog->Handle(), &outer);
    EXPECT_EQ(outer.right - outer.left, 428);
    EXPECT_EQ(outer.bottom - outer.top, 154);
    EXPECT_EQ(Utf8(dialog->Caption()), Utf8(L"מסך הודעות שגיאה"));
    std::vector<TLayoutRow> rows(std::begin(kDialog), std::end(kDialog));
    if (!styled) {  // no background picture, so the text keeps the window text colour
      rows[0].Visible = false;
      rows[2].TextColor = clWindowText;
    }
    ExpectRows(*dialog, rows.data(), rows.size());
    delete dialog;
  };
  check(new UInstMirpanError::TFrmInstMirpanError(Application, false, 2), "UInstMirpanError", true);
  check(new UInstError::TFrmInstError(Application, false, 2), "UInstError", false);
  UInstMirpanError::StyledLook = false;
}

// The check boxes of page 2 read right to left: box at the right end, the sentence's closing
// "." at the far left; a click toggles them as the system's check box would.
TEST_F(WizardFormTest, CheckBoxesReadRightToLeft) {
  Press(Form->btnNext);
  Press(Form->btnNext);
  ASSERT_EQ(Page(), 2);
  Pump(200);
  TWindowPixels pixels(Form->Handle());
  const POINT page{0, 118};
  for (TCheckBox* box : {Form->CBAddShortCut, Form->cbSetWallPaper}) {
    const int left = page.x + box->Left(), top = page.y + box->Top();
    const int width = box->Width(), height = box->Height();
    auto ink = [&](int x, int y) {
      const COLORREF c = pixels.At(left + x, top + y);
      return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
    };
    int leftmost = -1;
    for (int x = 0; x < width && leftmost < 0; ++x)
      for (int y = 0; y < height; ++y)
        if (ink(x, y)) leftmost = x;
    ASSERT_GE(leftmost, 0) << Utf8(box->Name);
    // The full stop sits on the baseline, below the tops of the letters.
    int highest = height;
    for (int y = 0; y < height; ++y)
      if (ink(leftmost, y) || ink(leftmost + 1, y)) highest = std::min(highest, y);
    EXPECT_GT(highest, height / 2) << Utf8(box->Name) << ": the leftmost glyph is no full stop";
    int boxInk = 0;
    for (int x = width - 13; x < width; ++x) boxInk += ink(x, height / 2);
    EXPECT_GT(boxInk, 0) << Utf8(box->Name) << ": no box at the right end";
  }
  EXPECT_TRUE(Form->CBAddShortCut->Checked());
  SendMessageW(Form->CBAddShortCut->Handle(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_FALSE(Form->CBAddShortCut->Checked());
  EXPECT_EQ(SendMessageW(Form->CBAddShortCut->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// Every text of every page in the font it is shown in fits its box, so no sentence loses
// its end to a substitute font or a longer caption.
TEST_F(WizardFormTest, EveryTextFitsItsBox) {
  for (int i = 0; i < Form->ComponentCount(); ++i) {
    auto* control = dynamic_cast<TControl*>(Form->Components(i));
    // The link's underscores only underline words of the welcome text beneath them, and the
    // path label grows with its text.
    if (!control || control == Form->LPath || control == Form->lblApplicationName ||
        control == Form->LinkLabel2)
      continue;
    if (!dynamic_cast<TLabel*>(control) && !dynamic_cast<TCheckBox*>(control) &&
        !dynamic_cast<TButton*>(control))
      continue;
    const SIZE over = Overflow(*control);
    EXPECT_TRUE(over.cx == 0 && over.cy == 0) << Utf8(control->Name) << " needs " << over.cx
                                              << " more pixels across and " << over.cy << " down";
  }
}

}  // namespace
}  // namespace WizardTest
