#include "framework/Control.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Form.h"

namespace {
const wchar_t kObjectProp[] = L"MirpanControl";
const wchar_t kOwnClass[] = L"MirpanWindow";
}  // namespace

// ---- TComponent

TComponent::TComponent(TComponent* Owner) : FOwner(Owner) {
  if (FOwner) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
  while (!FComponents.empty()) delete FComponents.back();
  if (FOwner) {
    auto& list = FOwner->FComponents;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

TComponent* TComponent::FindComponent(const std::wstring& name) const {
  for (TComponent* c : FComponents)
    if (c->Name == name) return c;
  return nullptr;
}

// ---- TControl

TControl::TControl(TComponent* Owner) : TComponent(Owner) {
  FFont.OnChange = [this] {
    FParentFont = false;
    FontChanged();
  };
}

TControl::~TControl() {
  if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (FParent) {
    Invalidate();
    FParent->RemoveControl(this);
  }
  FParent = parent;
  if (!FParent) return;
  FParent->InsertControl(this);
  if (FParentFont) {
    FFont = FParent->Font();
    FParentFont = true;
  }
  if (FParentColor) FColor = FParent->Color();
  if (FParentBiDiMode) FBiDiMode = FParent->BiDiMode();
  RecordAnchorRule();
  Invalidate();
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  ApplyBounds(left, top, width, height);
  RecordAnchorRule();
}

void TControl::ApplyBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  bool resized = width != FWidth || height != FHeight;
  if (!dynamic_cast<TWinControl*>(this)) Invalidate();  // the area it leaves
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  BoundsChanged();
  if (resized && OnResize) OnResize(this);
}

void TControl::RecordAnchorRule() {
  FAnchorRect = BoundsRect();
  FAnchorOrigin = FParent ? SIZE{FParent->ClientWidth(), FParent->ClientHeight()} : SIZE{0, 0};
}

void TControl::SetAnchors(unsigned anchors) {
  FAnchors = anchors;
  RecordAnchorRule();
}

void TControl::ParentResized(int clientWidth, int clientHeight) {
  int dx = clientWidth - FAnchorOrigin.cx;
  int dy = clientHeight - FAnchorOrigin.cy;
  RECT r = FAnchorRect;
  int left = r.left, top = r.top, width = r.right - r.left, height = r.bottom - r.top;
  if (FAnchors & akRight) {
    if (FAnchors & akLeft)
      width += dx;
    else
      left += dx;
  }
  if (FAnchors & akBottom) {
    if (FAnchors & akTop)
      height += dy;
    else
      top += dy;
  }
  ApplyBounds(left, top, width, height);
}

bool TControl::Showing() const { return FVisible && (!FParent || FParent->Showing()); }

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  VisibleChanged();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  EnabledChanged();
}

void TControl::SetCaption(const std::wstring& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  TextChanged();
}

void TControl::SetColor(TColor color) {
  FParentColor = false;
  if (color == FColor) return;
  FColor = color;
  ColorChanged();
}

void TControl::SetBiDiMode(TBiDiMode mode) {
  FParentBiDiMode = false;
  if (mode == FBiDiMode) return;
  FBiDiMode = mode;
  BiDiModeChanged();
}

UINT TControl::DrawTextBiDiModeFlags(UINT flags) const {
  if (UseRightToLeftAlignment()) {
    if (flags & DT_RIGHT)
      flags &= ~DT_RIGHT;
    else if (!(flags & DT_CENTER))
      flags |= DT_RIGHT;
  }
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  return flags;
}

void TControl::Repaint() {
  Invalidate();
  auto* self = dynamic_cast<TWinControl*>(this);
  TWinControl* window = self ? self : FParent;
  if (window && window->Handle()) UpdateWindow(window->Handle());
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

// ---- TGraphicControl

void TGraphicControl::Invalidate() {
  if (!Parent() || !Parent()->Handle()) return;
  RECT r = BoundsRect();
  InvalidateRect(Parent()->Handle(), &r, FALSE);
}

void TGraphicControl::BoundsChanged() { Invalidate(); }
void TGraphicControl::VisibleChanged() { Invalidate(); }

// ---- TWinControl

TWinControl::TWinControl(TComponent* Owner) : TControl(Owner) {}

TWinControl::~TWinControl() {
  for (TControl* c : FControls) c->FParent = nullptr;
  FControls.clear();
  HWND window = FHandle;
  Detach();
  if (window) DestroyWindow(window);
  if (FBrush) DeleteObject(FBrush);
}

void TWinControl::Detach() {
  if (!FHandle) return;
  RemovePropW(FHandle, kObjectProp);
  if (FDefProc) SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefProc));
  FHandle = nullptr;
}

TWinControl* TWinControl::FromHandle(HWND window) {
  return window ? static_cast<TWinControl*>(GetPropW(window, kObjectProp)) : nullptr;
}

void TWinControl::InsertControl(TControl* control) { FControls.push_back(control); }

void TWinControl::RemoveControl(TControl* control) {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
  if (FHover == control) FHover = nullptr;
  if (FCaptured == control) {
    FCaptured = nullptr;
    if (GetCapture() == FHandle) ReleaseCapture();
  }
}

void TWinControl::RegisterOwnClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = StdWndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kOwnClass;
  RegisterClassExW(&wc);
  registered = true;
}

TCreateParams TWinControl::CreateParams() {
  TCreateParams p;
  p.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  return p;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  static int nextId = 100;
  TCreateParams p = CreateParams();
  HWND parentWindow = p.WndParent ? p.WndParent : (Parent() ? Parent()->Handle() : nullptr);
  if (p.Style & WS_CHILD && !parentWindow) return;  // made when the parent has a window
  if (FVisible) p.Style |= WS_VISIBLE;
  if (!FEnabled) p.Style |= WS_DISABLED;
  if (UseRightToLeftReading()) p.ExStyle |= WS_EX_RTLREADING;
  // A caption that reads right to left also starts at the right.
  if (UseRightToLeftAlignment() && !(p.Style & WS_CHILD)) p.ExStyle |= WS_EX_RIGHT;
  HMENU id =
      (p.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)) : nullptr;
  const wchar_t* className = p.ClassName;
  if (!className) {
    RegisterOwnClass();
    className = kOwnClass;
  }
  HWND window = CreateWindowExW(p.ExStyle, className, FCaption.c_str(), p.Style, FLeft, FTop,
                                FWidth, FHeight, parentWindow, id, GetModuleHandleW(nullptr), this);
  if (!window) throw Exception("Error creating window");
  if (p.ClassName) {
    FHandle = window;
    SetPropW(window, kObjectProp, this);
    FDefProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StdWndProc)));
  }
  SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), FALSE);
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreateHandle();
}

void TWinControl::SetParent(TWinControl* parent) {
  TControl::SetParent(parent);
  if (FHandle && parent && parent->Handle())
    ::SetParent(FHandle, parent->Handle());
  else if (!FHandle)
    CreateHandle();
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWinControl* self = FromHandle(window);
  if (!self && message == WM_NCCREATE) {
    self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (self) {
      self->FHandle = window;
      SetPropW(window, kObjectProp, self);
    }
  }
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  // No exception may unwind into the system's code that called us.
  try {
    LRESULT result = self->WndProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) self->Detach();
    return result;
  } catch (...) {
    Application->HandleException();
    return 0;
  }
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  if (FDefProc) return CallWindowProcW(FDefProc, FHandle, message, wParam, lParam);
  return DefWindowProcW(FHandle, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      if (FDefProc) break;
      PaintBuffered();
      return 0;
    case WM_ERASEBKGND:
      if (!FDefProc) return 1;
      break;
    case WM_COMMAND:
      if (TWinControl* child = lParam ? FromHandle(reinterpret_cast<HWND>(lParam)) : nullptr) {
        child->CommandNotify(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (TWinControl* child = FromHandle(item->hwndItem))
        if (child->DrawItem(*item)) return TRUE;
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(child->CtlColor(reinterpret_cast<HDC>(wParam)));
      break;
    case WM_WINDOWPOSCHANGED:
      ReadBoundsFromWindow();
      break;
    case WM_SIZE:
      Resized();
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      RouteMouse(message, wParam, lParam);
      break;
    case WM_SETFOCUS:
      if (TForm* form = ParentForm(); form && form != static_cast<TControl*>(this))
        form->ActiveControl = this;
      break;
    case WM_MOUSELEAVE:
      FTrackingLeave = false;
      if (!FCaptured) SetHover(nullptr);
      break;
    case WM_CAPTURECHANGED:
      FCaptured = nullptr;
      break;
    case WM_SETCURSOR:
      if (SetHandCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
      break;
    default:
      break;
  }
  return DefaultHandler(message, wParam, lParam);
}

void TWinControl::PaintBuffered() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  RECT client;
  GetClientRect(FHandle, &client);
  if (client.right > 0 && client.bottom > 0) {
    // Painted off-screen and copied at once, so nothing flickers.
    TBitmap buffer(client.right, client.bottom);
    TCanvas canvas(buffer.DC());
    canvas.Font = FFont;
    IntersectClipRect(buffer.DC(), ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right,
                      ps.rcPaint.bottom);
    PaintWindow(canvas);
    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
           ps.rcPaint.bottom - ps.rcPaint.top, buffer.DC(), ps.rcPaint.left, ps.rcPaint.top,
           SRCCOPY);
  }
  EndPaint(FHandle, &ps);
}

void TWinControl::ReadBoundsFromWindow() {
  RECT r;
  GetWindowRect(FHandle, &r);
  if (Parent() && Parent()->Handle())
    MapWindowPoints(HWND_DESKTOP, Parent()->Handle(), reinterpret_cast<POINT*>(&r), 2);
  FLeft = r.left;
  FTop = r.top;
  FWidth = r.right - r.left;
  FHeight = r.bottom - r.top;
}

bool TWinControl::SetHandCursor(HWND over, WORD hitTest) {
  // Only for the pointer over this window itself, not over a child window of it.
  if (hitTest != HTCLIENT || over != FHandle) return false;
  TControl* control = FHover ? FHover : this;
  if (control->Cursor != crHandPoint) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

TControl* TWinControl::GraphicControlAt(int x, int y) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (!dynamic_cast<TGraphicControl*>(c) || !c->Visible() || !c->Enabled()) continue;
    POINT p{x, y};
    RECT r = c->BoundsRect();
    if (PtInRect(&r, p)) return c;
  }
  return nullptr;
}

void TWinControl::SetHover(TControl* control) {
  if (control == FHover) return;
  TControl* old = FHover;
  FHover = control;
  if (old) old->MouseLeave();
  if (control) control->MouseEnter();
}

void TWinControl::RouteMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  TControl* hit = GraphicControlAt(x, y);
  TControl* target = FCaptured ? FCaptured : (hit ? hit : this);
  int cx = target == this ? x : x - target->Left();
  int cy = target == this ? y : y - target->Top();
  TMouseButton button = mbLeft;
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) button = mbRight;
  if (message == WM_MBUTTONDOWN || message == WM_MBUTTONUP) button = mbMiddle;
  switch (message) {
    case WM_MOUSEMOVE:
      if (!FTrackingLeave) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, FHandle, 0};
        FTrackingLeave = TrackMouseEvent(&track) != FALSE;
      }
      if (!FCaptured) SetHover(hit ? hit : this);
      target->MouseMove(static_cast<TShiftState>(wParam), cx, cy);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (target != this) {
        FCaptured = target;
        SetCapture(FHandle);
      }
      target->MouseDown(button, static_cast<TShiftState>(wParam), cx, cy);
      break;
    default: {
      bool graphic = target != this;
      bool inside = graphic && cx >= 0 && cy >= 0 && cx < target->Width() && cy < target->Height();
      if (FCaptured) {
        FCaptured = nullptr;
        ReleaseCapture();
      }
      target->MouseUp(button, static_cast<TShiftState>(wParam), cx, cy);
      if (inside && button == mbLeft) target->Click();
      break;
    }
  }
}

void TWinControl::PaintWindow(TCanvas& canvas) {
  RECT client{0, 0, ClientWidth(), ClientHeight()};
  canvas.Brush.Color = FColor;
  canvas.FillRect(client);
  RECT dirty;
  GetClipBox(canvas.Handle(), &dirty);
  PaintGraphicChildren(canvas, dirty);
}

void TWinControl::PaintGraphicChildren(TCanvas& canvas, const RECT& dirty) {
  for (TControl* c : FControls) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (!g || !g->Visible()) continue;
    RECT bounds = g->BoundsRect(), overlap;
    if (!IntersectRect(&overlap, &bounds, &dirty)) continue;
    HDC dc = canvas.Handle();
    int saved = SaveDC(dc);
    IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    SetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
    TCanvas child(dc);
    child.Font = g->Font();
    g->Paint(child);
    RestoreDC(dc, saved);
  }
}

HBRUSH TWinControl::CtlColor(HDC dc) {
  SetTextColor(dc, ColorToRGB(FFont.Color()));
  SetBkColor(dc, ColorToRGB(FColor));
  if (!FBrush) FBrush = CreateSolidBrush(ColorToRGB(FColor));
  return FBrush;
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::SetFocus() {
  if (FHandle) ::SetFocus(FHandle);
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

int TWinControl::ClientWidth() const {
  RECT r{0, 0, FWidth, FHeight};
  if (FHandle) GetClientRect(FHandle, &r);
  return r.right;
}

int TWinControl::ClientHeight() const {
  RECT r{0, 0, FWidth, FHeight};
  if (FHandle) GetClientRect(FHandle, &r);
  return r.bottom;
}

void TWinControl::Resized() {
  int w = ClientWidth(), h = ClientHeight();
  for (TControl* c : FControls) c->ParentResized(w, h);
}

void TWinControl::BoundsChanged() {
  if (FHandle)
    SetWindowPos(FHandle, nullptr, FLeft, FTop, FWidth, FHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::VisibleChanged() {
  if (FHandle) ShowWindow(FHandle, FVisible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::EnabledChanged() {
  if (FHandle) EnableWindow(FHandle, FEnabled);
}

void TWinControl::TextChanged() {
  if (FHandle) SetWindowTextW(FHandle, FCaption.c_str());
}

void TWinControl::FontChanged() {
  if (FHandle) SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), TRUE);
}

void TWinControl::ColorChanged() {
  if (FBrush) DeleteObject(FBrush);
  FBrush = nullptr;
  Invalidate();
}

void TWinControl::BiDiModeChanged() {
  if (!FHandle) return;
  LONG_PTR ex = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
  ex = UseRightToLeftReading() ? (ex | WS_EX_RTLREADING) : (ex & ~WS_EX_RTLREADING);
  if (!Parent()) ex = UseRightToLeftAlignment() ? (ex | WS_EX_RIGHT) : (ex & ~WS_EX_RIGHT);
  SetWindowLongPtrW(FHandle, GWL_EXSTYLE, ex);
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Invalidate();
}
