// The wizard window's layout: the frame (title bar, pictures, bevels, side panel, buttons)
// and the five notebook pages with their texts.
#include <initializer_list>

#include "framework/Application.h"
#include "tools/MirpanProduct.h"
#include "wizard/UMirpan4RSetup.h"

using MirpanProduct::MakerWebSite;

namespace {

using namespace WizardColour;

enum TTextKind { tkHeading, tkText, tkStatus };

std::wstring Lines(std::initializer_list<const wchar_t*> lines) {
  std::wstring text;
  bool first = true;
  for (const wchar_t* line : lines) {
    if (!first) text += L"\r\n";
    first = false;
    text += line;
  }
  return text;
}

void SetTextFont(TControl* control, TTextKind kind) {
  switch (kind) {
    case tkHeading:
      control->Font().Assign(L"Narkisim", -21, fsBold, HEBREW_CHARSET);
      break;
    case tkText:
      control->Font().Assign(L"Arial", -15, fsBold, HEBREW_CHARSET);
      break;
    case tkStatus:
      control->Font().Assign(L"Tahoma", -13, fsBold, HEBREW_CHARSET);
      break;
  }
  control->Font().SetColor(PageText);
}

template <class T>
T* Place(T* control, TWinControl* parent, const wchar_t* name, int left, int top, int width,
         int height) {
  control->Name = name;
  control->SetBounds(left, top, width, height);
  control->SetParent(parent);
  return control;
}

// The same with the layout's {left, top, width, height}.
template <class T>
T* Place(T* control, TWinControl* parent, const wchar_t* name, RECT bounds) {
  return Place(control, parent, name, bounds.left, bounds.top, bounds.right, bounds.bottom);
}

TLabel* PageLabel(TComponent* owner, TWinControl* page, const wchar_t* name, TTextKind kind,
                  RECT bounds, const std::wstring& caption) {
  auto* label = Place(new TLabel(owner), page, name, bounds);
  SetTextFont(label, kind);
  label->SetTransparent(true);
  label->SetCaption(caption);
  return label;
}

TCheckBox* PageCheckBox(TComponent* owner, TWinControl* page, const wchar_t* name, RECT bounds,
                        const wchar_t* caption) {
  auto* box = Place(new TCheckBox(owner), page, name, bounds);
  SetTextFont(box, tkText);
  box->SetCaption(caption);
  return box;
}

// The title-bar buttons share everything but caption and face colours.
TShapeButton* TitleButton(TComponent* owner, TWinControl* form, const wchar_t* name, int left,
                          int width, int height, const wchar_t* caption, TColor from, TColor to) {
  auto* button = Place(new TShapeButton(owner), form, name, left, 0, width, height);
  button->SetCaption(caption);
  button->Shape = stRoundRect;
  button->RoundPercent = 40;
  button->BrushColor = from == clRed ? clRed : clBtnFace;
  button->BevelStyle = sbOffset;
  button->Mode = sbmShapeFill;
  button->Style = sbs3D;
  button->ShapeFill.PaletteRealize = true;
  button->ShapeFill.SetColor(from);
  button->ShapeFill.SetEndColor(to);
  button->OffsetX = 1;
  button->OffsetY = 2;
  button->Font().Assign(L"MS Sans Serif", -11, fsBold);
  button->Font().SetColor(clWhite);
  button->AllowMouseOver = true;
  button->EnterColorChange = true;
  button->EnterColor = HoverCaption;
  return button;
}

TWizardButton* NavigationButton(TComponent* owner, TWinControl* form, const wchar_t* name, int left,
                                const wchar_t* caption) {
  auto* button = Place(new TWizardButton(owner), form, name, left, 444, 73, 20);
  button->Font().Assign(L"Arial", -13, fsBold, HEBREW_CHARSET);
  button->Font().SetColor(PageText);
  button->SetCaption(caption);
  return button;
}

TImage* Picture(TComponent* owner, TWinControl* parent, const wchar_t* name, RECT bounds,
                const wchar_t* resource) {
  auto* image = Place(new TImage(owner), parent, name, bounds);
  image->Picture().LoadJpegFromResourceName(Application->Instance(), resource);
  image->PictureChanged();
  return image;
}

TBevel* RaisedBevel(TComponent* owner, TWinControl* parent, const wchar_t* name, RECT bounds) {
  auto* bevel = Place(new TBevel(owner), parent, name, bounds);
  bevel->SetStyle(bsRaised);
  return bevel;
}

}  // namespace

void TFrmSetUp::CreateLayout() {
  Name = L"FrmSetUp";
  SetClientSize(688, 467);
  Position = poScreenCenter;
  SetBiDiMode(bdRightToLeft);
  CreateFrame();
  CreatePageMain(nbSetupWiz->AddPage(L"Main"));
  CreatePageSetupType(nbSetupWiz->AddPage(L"SetupType"));
  CreatePageSelectDrive(nbSetupWiz->AddPage(L"SelectDrive"));
  CreatePageInstallation(nbSetupWiz->AddPage(L"Installation"));
  CreatePageFinal(nbSetupWiz->AddPage(L"PrintReport"));
  const int helpContexts[] = {0, 2, 3, 5, 6};
  for (int i = 0; i < nbSetupWiz->PageCount(); ++i)
    nbSetupWiz->Pages(i)->HelpContext = helpContexts[i];
}

void TFrmSetUp::CreateFrame() {
  // Graphic controls paint in creation order: the frames first, the header picture over
  // them, the title bar on top of the picture's upper edge.
  Bevel1 = RaisedBevel(this, this, L"Bevel1", {-8, -1, 697, 438});
  Bevel4 = RaisedBevel(this, this, L"Bevel4", {-7, 35, 697, 98});
  Bevel3 = RaisedBevel(this, this, L"Bevel3", {-7, 440, 697, 27});
  Image1 = Picture(this, this, L"Image1", {0, 16, 697, 114}, L"WIZARD_HEADER");

  TopicBevel1 = Place(new TTopicBevel(this), this, L"TopicBevel1", 0, 0, 651, 20);
  TopicBevel1->SetStyle(bsRaised);
  TopicBevel1->SetColor(TitleBar);
  imgSubImage = Picture(this, this, L"imgSubImage", {1, 0, 16, 17}, L"WIZARD_TITLEICON");
  ShapeButton3 = TitleButton(this, this, L"ShapeButton3", 17, 634, 19, L"", TitleBar, TitleBar);
  ShapeButton3->AllowMouseOver = false;
  ShapeButton2 = TitleButton(this, this, L"ShapeButton2", 652, 20, 20, L"_", TitleBar, TitleBar);
  ShapeButton1 = TitleButton(this, this, L"ShapeButton1", 670, 20, 20, L"X", clRed, 213);
  ShapeButton1->Cursor = crHandPoint;

  nbSetupWiz = Place(new TNotebook(this), this, L"nbSetupWiz", 0, 118, 504, 318);

  Panel1 = Place(new TPanel(this), this, L"Panel1", 504, 19, 183, 418);
  Panel1->SetColor(SidePanel);
  Image2 = Picture(this, Panel1, L"Image2", {8, 8, 167, 360}, L"WIZARD_SIDEPANEL");
  LinkLabel1 = Place(new TLinkLabel(this), Panel1, L"LinkLabel1", 8, 380, 167, 18);
  LinkLabel1->Font().Assign(L"Arial", -13, fsBold | fsUnderline);
  LinkLabel1->Font().SetColor(clWindow);
  LinkLabel1->SetAlignment(taCenter);
  LinkLabel1->SetCaption(MakerWebSite);
  LinkLabel1->Jump = std::wstring(L"http://") + MakerWebSite;
  LinkLabel1->ActiveColor = LinkHover;
  LinkLabel1->InActiveColor = clWindow;
  lblApplicationName = Place(new TLabel(this), Panel1, L"lblApplicationName", 8, 400, 60, 13);
  lblApplicationName->SetCaption(L"Mirpan");
  lblApplicationName->Hide();

  btnNext = NavigationButton(this, this, L"btnNext", 5, L"&המשך >");
  btnBack = NavigationButton(this, this, L"btnBack", 432, L"< &חזור");
  btnExit = NavigationButton(this, this, L"btnExit", 560, L"&יציאה");

  Timer = new TTimer(this);
  Timer->Name = L"Timer";
  Timer->SetEnabled(false);
}

void TFrmSetUp::CreatePageMain(TPage* page) {
  Label4 = PageLabel(
      this, page, L"Label4", tkText, {37, 13, 446, 216},
      Lines({L"תודה שבחרתם להתקין את תוכנת מירפן, ",
             L"בלחיצה על המשך הנכם מאשרים את הסכם השימוש בתוכנה  ",
             L"ומתחילים בתהליך ההתקנה של התוכנה על מחשבכם.",
             L"ההתקנה אורכת מספר דקות אך עם זאת מהירותה תלויה במשאבי המחשב.", L"",
             L"לפני התחלת ההתקנה, מומלץ לסגור את כל התוכנות הפעילות,",
             L"כמו כן יש לאשר כל ביטול חסימה שמתקבל במהלך ההתקנה כאשר ", L"מתבקשים לכך.", L"",
             L"נשמח לעמוד לשרותכם בכל שאלה,", L"טלפון: 03-5550142   דוא\"ל: info@norvasto.co.il"}));
  // Underscores laid over the words of the usage agreement in the welcome text.
  LinkLabel2 = Place(new TLinkLabel(this), page, L"LinkLabel2", 122, 32, 135, 18);
  SetTextFont(LinkLabel2, tkText);
  LinkLabel2->SetCaption(std::wstring(19, L'_'));
  LinkLabel2->Jump = std::wstring(L"http://") + MakerWebSite + L"/uploads/MirpanUsageAgreement.pdf";
  LinkLabel2->ActiveColor = LinkHover;
  LinkLabel2->InActiveColor = PageText;
  Label2 = PageLabel(this, page, L"Label2", tkText, {151, 241, 332, 18},
                     L"על מנת לעזוב את תוכנת ההתקנה  יש להקיש על יציאה.");
}

void TFrmSetUp::CreatePageSetupType(TPage* page) {
  Label7 = PageLabel(this, page, L"Label7", tkHeading, {287, 19, 199, 20}, L"שלב א' : תצורת התקנה");
  Label8 = PageLabel(
      this, page, L"Label8", tkText, {55, 73, 431, 108},
      Lines({L"תוכנת ההתקנה מכוונת את תצורת ההתקנה באופן אוטומטי למצב ", L"המתאים ביותר למחשבך.",
             L"", L"במידה ועל מחשבך מותקנת גירסה קודמת של התוכנה, יש לעקוב אחרי",
             L"הוראות על מנת לאפשר לתוכנת ההתקנה להתאים את הנתונים מהגירסה", L"הקודמת לנוכחית."}));
  // Kept hidden: no step of the installation installs a database engine.
  cbInstallEng1 = PageCheckBox(this, page, L"cbInstallEng1", {136, 200, 350, 17},
                               L"ברצוני להתקין גם את מנוע בסיס הנתונים.");
  cbInstallEng1->Hide();
}

void TFrmSetUp::CreatePageSelectDrive(TPage* page) {
  Label9 =
      PageLabel(this, page, L"Label9", tkHeading, {281, 14, 207, 20}, L"שלב ב' : מיקום ההתקנה");
  LStandAlon = PageLabel(
      this, page, L"LStandAlon", tkText, {63, 47, 426, 72},
      Lines({L"כעת,  עליכם לבחור על איזה כונן (C, D וכד') במחשבכם, תותקן התוכנה.", L"",
             L"עליכם לבחור את הכונן הרצוי מרשימת הכוננים שניתנה לכם ע\"י", L"תוכנת ההתקנה."}));
  Bevel2 = RaisedBevel(this, page, L"Bevel2", {0, 129, 503, 3});
  Bevel2->SetShape(bsTopLine);
  Bevel2->SetStyle(bsLowered);
  // Restricted to its list: every later step takes its text for a drive root.
  EDrivesCombo =
      Place(new TComboBox(this, csDropDownList), page, L"EDrivesCombo", 224, 135, 73, 21);
  EDrivesCombo->SetBiDiMode(bdLeftToRight);
  SetTextFont(EDrivesCombo, tkText);
  LSerchLable =
      PageLabel(this, page, L"LSerchLable", tkText, {336, 137, 152, 18}, L"רשימת הכוננים במחשב :");
  LInstPlace =
      PageLabel(this, page, L"LInstPlace", tkText, {350, 174, 138, 18}, L"ההתקנה התתבצע אל :");
  LPath = PageLabel(this, page, L"LPath", tkText, {17, 195, 0, 18}, L"");
  LPath->SetBiDiMode(bdLeftToRight);
  LPath->SetAutoSize(true);
  CBAddShortCut = PageCheckBox(this, page, L"CBAddShortCut", {192, 267, 297, 17},
                               L"ברצוני ליצור קיצור דרך על שולחן העבודה.");
  CBAddShortCut->SetChecked(true);
  cbSetWallPaper = PageCheckBox(this, page, L"cbSetWallPaper", {96, 283, 393, 17},
                                L"ברצוני להתקין את הטפט (תמונת שולחן עבודה) של נורבסטו.");
  cbSetWallPaper->SetChecked(true);
}

void TFrmSetUp::CreatePageInstallation(TPage* page) {
  LinstallMsg = PageLabel(
      this, page, L"LinstallMsg", tkText, {86, 12, 403, 169},
      Lines({L"תוכנת ההתקנה מתקינה את מירפן", L"על מחשבך. ורושמת אותו במערכת החלונות שברשותך.", L"",
             L"התקנת התוכנה תארך מספר דקות.", L"", L"אנא המתן בזמן ביצוע ההתקנה במחשב.", L"",
             L"תודה רבה."}));
  LinstallMsg->SetWordWrap(true);
  LinstallMsg->Hide();
  LDownLoadMsg = PageLabel(
      this, page, L"LDownLoadMsg", tkText, {86, 12, 403, 180},
      Lines({L"תוכנת ההתקנה מתקינה את מירפן", L"על מחשבך. ורושמת אותו במערכת החלונות שברשותך.", L"",
             L"הורדת התוכנה מהאינטרנט תארך בין 5 ל- 30 דקות.",
             L"(בתלות במהירות חיבור האינטרנט שברשותך)", L"", L"אנא המתן בזמן ביצוע ההתקנה במחשב.",
             L"", L"תודה רבה."}));
  LDownLoadMsg->SetWordWrap(true);
  LDownLoadMsg->Hide();
  LSubject = PageLabel(this, page, L"LSubject", tkStatus, {50, 203, 441, 16}, L"מתקין");

  pbProgress = Place(new TProgressFill(this), page, L"pbProgress", 42, 221, 449, 25);
  pbProgress->BrushBackColor = ProgressBack;
  pbProgress->Fill.SetColor(ProgressFrom);
  pbProgress->Fill.SetEndColor(ProgressTo);
  pbProgress->Bar3D = lsRaisedspb;
  pbProgress->OptionsText = toPercent;
  pbProgress->Direction = mdHorizontalReverse;
  pbProgress->UseFontColor = true;
  pbProgress->Font().Assign(L"MS Sans Serif", -11, fsBold);
  pbProgress->Font().SetColor(ProgressText);

  Label21 = PageLabel(this, page, L"Label21", tkStatus, {50, 246, 441, 16}, L"כותב את הקובץ :");
  LFileName = PageLabel(this, page, L"LFileName", tkStatus, {45, 266, 445, 16}, L"מתקין");
}

void TFrmSetUp::CreatePageFinal(TPage* page) {
  Label10 = PageLabel(this, page, L"Label10", tkText, {136, 17, 245, 266},
                      Lines({L"חברת נורבסטו סופטוור בע\"מ", L"מודה לכם שבחרתם להתקין את תוכנת", L"",
                             L"", L"אנחנו לשירותכם :", L"טלפון : 03-5550142", L"פקס : 03-5550143",
                             L"דוא\"ל : info@norvasto.co.il", L"", L"עבודה נעימה !"}));
  Label10->SetAlignment(taCenter);
  Label10->SetWordWrap(true);
  LLAstProgName = PageLabel(this, page, L"LLAstProgName", tkText, {220, 64, 60, 22}, L"Mirpan");
  LLAstProgName->SetAlignment(taCenter);
}
