#pragma once
// The component tree and the two kinds of controls the layouts are built from:
// TGraphicControl (no window of its own; its parent paints it and routes the mouse to it)
// and TWinControl (a real window, either of our own class or a standard one, subclassed).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Graphics.h"

class TComponent;
class TWinControl;
class TForm;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;  // the MK_* flags of the mouse message
enum TAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
// Right-to-left reading order without a mirrored layout: controls stay where the layout
// puts them. bdRightToLeft also makes a left-justified text hug the right edge.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TCursor { crDefault, crHandPoint };

using TNotifyEvent = std::function<void(TComponent* Sender)>;
using TMouseEvent =
    std::function<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TComponent* Sender, TShiftState Shift, int X, int Y)>;

// Owns the components created with it as owner and frees them when it goes.
class TComponent {
 public:
  explicit TComponent(TComponent* Owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents[index]; }
  TComponent* FindComponent(const std::wstring& name) const;

  std::wstring Name;
  int Tag = 0;

 private:
  TComponent* FOwner;
  std::vector<TComponent*> FComponents;
};

// What every control has: a place in its parent, visibility, text, font and colour.
class TControl : public TComponent {
 public:
  explicit TControl(TComponent* Owner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);
  TForm* ParentForm() const;

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  virtual int ClientWidth() const { return FWidth; }
  virtual int ClientHeight() const { return FHeight; }

  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible itself and on a parent chain that is visible up to the form.
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);

  const std::wstring& Caption() const { return FCaption; }
  void SetCaption(const std::wstring& caption);

  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool v) { FParentFont = v; }
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  // Until a colour or reading order is set, the control takes its parent's when placed.
  bool ParentColor() const { return FParentColor; }

  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode mode);
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  // DT_* flags with the alignment swapped and DT_RTLREADING added as the mode asks.
  UINT DrawTextBiDiModeFlags(UINT flags) const;

  unsigned Anchors() const { return FAnchors; }
  void SetAnchors(unsigned anchors);
  TCursor Cursor = crDefault;

  virtual void Invalidate() = 0;
  void Repaint();
  virtual void Click();

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;

  // Mouse entry points; the window (own or parent's) calls them with control coordinates.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();

  // The parent's client area changed size: follow the anchors.
  void ParentResized(int clientWidth, int clientHeight);

 protected:
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() { Invalidate(); }
  virtual void EnabledChanged() { Invalidate(); }
  virtual void TextChanged() { Invalidate(); }
  virtual void FontChanged() { Invalidate(); }
  virtual void ColorChanged() { Invalidate(); }
  virtual void BiDiModeChanged() { Invalidate(); }
  void ApplyBounds(int left, int top, int width, int height);

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  std::wstring FCaption;
  TFont FFont;
  TColor FColor = clBtnFace;
  bool FParentFont = true;
  bool FParentColor = true;
  bool FParentBiDiMode = true;

 private:
  void RecordAnchorRule();

  TWinControl* FParent = nullptr;
  TBiDiMode FBiDiMode = bdLeftToRight;
  unsigned FAnchors = akLeft | akTop;
  RECT FAnchorRect{};    // bounds when last placed explicitly
  SIZE FAnchorOrigin{};  // parent's client size at that moment

  friend class TWinControl;
};

// A control without a window: the parent paints it in its own WM_PAINT, in creation order.
class TGraphicControl : public TControl {
 public:
  using TControl::TControl;
  void Invalidate() override;
  // The canvas has its origin at the control's top-left corner and is clipped to it.
  virtual void Paint(TCanvas& canvas) = 0;

 protected:
  void BoundsChanged() override;
  void VisibleChanged() override;
  RECT FLastPainted{};
};

struct TCreateParams {
  const wchar_t* ClassName = nullptr;  // nullptr: our own container class
  DWORD Style = 0;
  DWORD ExStyle = 0;
  HWND WndParent = nullptr;  // owner of a top-level window
};

// A control with a window. Our own windows paint their graphic children and reflect
// WM_COMMAND, WM_DRAWITEM and WM_CTLCOLOR* to the child control that sent them.
class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* Owner);
  ~TWinControl() override;

  HWND Handle() const { return FHandle; }
  static TWinControl* FromHandle(HWND window);

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const { return FControls[index]; }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

  void Invalidate() override;
  void SetFocus();
  bool Focused() const;
  bool TabStop = false;
  int ClientWidth() const override;
  int ClientHeight() const override;

  // The window procedure of this control; unhandled messages go to DefaultHandler.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

  // Notifications reflected from the parent.
  virtual void CommandNotify(WORD /*code*/) {}
  virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  virtual HBRUSH CtlColor(HDC dc);

  void SetParent(TWinControl* parent) override;

 protected:
  void CreateHandle();
  virtual TCreateParams CreateParams();
  // Our own windows: fill the background and paint the graphic children.
  virtual void PaintWindow(TCanvas& canvas);
  void PaintGraphicChildren(TCanvas& canvas, const RECT& dirty);

  void BoundsChanged() override;
  void VisibleChanged() override;
  void EnabledChanged() override;
  void TextChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void BiDiModeChanged() override;
  virtual void Resized();

  HWND FHandle = nullptr;
  WNDPROC FDefProc = nullptr;  // the standard class's own procedure, when subclassed
  HBRUSH FBrush = nullptr;

 private:
  static LRESULT CALLBACK StdWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static void RegisterOwnClass();
  void Detach();
  TControl* GraphicControlAt(int x, int y) const;
  // Steps of the window procedure.
  void PaintBuffered();
  void ReadBoundsFromWindow();
  bool SetHandCursor(HWND over, WORD hitTest);
  void RouteMouse(UINT message, WPARAM wParam, LPARAM lParam);
  void SetHover(TControl* control);

  std::vector<TControl*> FControls;
  TControl* FHover = nullptr;
  TControl* FCaptured = nullptr;
  bool FTrackingLeave = false;

  friend class TControl;
  friend class TGraphicControl;
};
