#include "controls/TLinkLabel.h"

#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "framework/ComGuards.h"

namespace {
bool Blank(const std::wstring& text) {
  return text.find_first_not_of(L" \t\r\n") == std::wstring::npos;
}

class TBstr {
 public:
  explicit TBstr(const std::wstring& text) : FText(SysAllocString(text.c_str())) {}
  ~TBstr() { SysFreeString(FText); }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;
  operator BSTR() const { return FText; }

 private:
  BSTR FText;
};

enum class TDesktopOpen { Opened, Refused, NoDesktop };

// The program runs elevated; a page opened by a child of it would run with its rights. The
// desktop's shell runs as the user, so it is asked to open the target: desktop window, its
// browser, its view, the view's shell object.
TDesktopOpen OpenFromDesktop(const std::wstring& target) {
  TComScope com;
  TComPtr<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              windows.Out())))
    return TDesktopOpen::NoDesktop;
  VARIANT none, desktopFolder;
  VariantInit(&none);
  VariantInit(&desktopFolder);
  desktopFolder.vt = VT_I4;
  desktopFolder.lVal = CSIDL_DESKTOP;
  long window = 0;
  TComPtr<IDispatch> desktop;
  if (windows->FindWindowSW(&desktopFolder, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                            desktop.Put()) != S_OK ||
      !desktop)
    return TDesktopOpen::NoDesktop;
  TComPtr<IServiceProvider> services;
  TComPtr<IShellBrowser> browser;
  TComPtr<IShellView> view;
  TComPtr<IDispatch> background;
  TComPtr<IShellFolderViewDual> folderView;
  TComPtr<IDispatch> application;
  TComPtr<IShellDispatch2> shell;
  if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.Out())) ||
      FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.Out())) ||
      FAILED(browser->QueryActiveShellView(view.Put())) || !view ||
      FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.Out())) ||
      FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.Out())) ||
      FAILED(folderView->get_Application(application.Put())) || !application ||
      FAILED(application->QueryInterface(IID_IShellDispatch2, shell.Out())))
    return TDesktopOpen::NoDesktop;

  TBstr file(target), verb(L"open");
  VARIANT operation, show;
  VariantInit(&operation);
  operation.vt = VT_BSTR;
  operation.bstrVal = verb;
  VariantInit(&show);
  show.vt = VT_I4;
  show.lVal = SW_SHOWNORMAL;
  // S_FALSE is how the shell says it could not open the target.
  return shell->ShellExecute(file, none, none, operation, show) == S_OK ? TDesktopOpen::Opened
                                                                        : TDesktopOpen::Refused;
}
}  // namespace

TLinkLabel::TLinkLabel(TComponent* Owner) : TLabel(Owner) {
  Cursor = crHandPoint;
  SetTransparent(true);
}

std::wstring TLinkLabel::Target() const {
  if (!Blank(Jump)) return Jump;
  if (FCaption.find(L'@') != std::wstring::npos) return L"mailto:" + FCaption;
  return FCaption;
}

bool TLinkLabel::OpenTarget(const std::wstring& target) {
  switch (OpenFromDesktop(target)) {
    case TDesktopOpen::Opened:
      return true;
    case TDesktopOpen::Refused:
      return false;
    case TDesktopOpen::NoDesktop:
      break;
  }
  // No desktop shell to ask (none running, or another shell): the program opens it itself.
  HINSTANCE result =
      ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void TLinkLabel::Click() {
  switch (JumpMode) {
    case jmInternet:
      if (!OpenTarget(Target())) {
        JumpMode = jmNone;
        SetEnabled(false);
      }
      break;
    case jmApplication:
      OpenTarget(Target());
      break;
    case jmNone:
    case jmCustom:
      break;
  }
  TLabel::Click();
}

void TLinkLabel::MouseEnter() {
  Font().SetColor(ActiveColor);
  TLabel::MouseEnter();
}

void TLinkLabel::MouseLeave() {
  Font().SetColor(InActiveColor);
  TLabel::MouseLeave();
  if (OnMouseExit) OnMouseExit(this);
}
