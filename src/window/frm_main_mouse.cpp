// frmMain's mouse: the button presses and releases of its seven controls, turned into
// the button codes the window's handlers take, and the focus moving between them.
#include "window/frm_main.h"

#include <windowsx.h>

#include <cstddef>

#include "window/logo_press.h"

namespace uvantic {
namespace {

bool IsStaticKind(ControlName name) {
  const ControlKind kind = Entry(name).kind;
  return kind == ControlKind::Image || kind == ControlKind::Label;
}

// The button code of a mouse message: the buttons its flags say are down, and the
// button the message is about, which a release's flags no longer include.
int ButtonCodeFromFlags(WPARAM flags, int button) {
  const int held = MouseButtonCode((flags & MK_LBUTTON) != 0, (flags & MK_RBUTTON) != 0, (flags & MK_MBUTTON) != 0,
                                   (flags & (MK_XBUTTON1 | MK_XBUTTON2)) != 0);
  return held | button;
}

int ButtonCodeFromKeyState(int button) {
  const int held = MouseButtonCode(GetKeyState(VK_LBUTTON) < 0, GetKeyState(VK_RBUTTON) < 0,
                                   GetKeyState(VK_MBUTTON) < 0,
                                   GetKeyState(VK_XBUTTON1) < 0 || GetKeyState(VK_XBUTTON2) < 0);
  return held | button;
}

// Which button a mouse message is about, and whether it presses, double-clicks or
// releases it; button 0 for any other message.
struct MouseMessage {
  int button = 0;
  bool press = false;
  bool doubleClick = false;
};

MouseMessage ClassifyMouseMessage(UINT message, WPARAM wParam) {
  const int extra = GET_XBUTTON_WPARAM(wParam) != 0 ? kButtonExtra : 0;
  switch (message) {
    case WM_LBUTTONDOWN: return {kButtonLeft, true, false};
    case WM_RBUTTONDOWN: return {kButtonRight, true, false};
    case WM_MBUTTONDOWN: return {kButtonMiddle, true, false};
    case WM_XBUTTONDOWN: return {extra, true, false};
    case WM_LBUTTONDBLCLK: return {kButtonLeft, true, true};
    case WM_RBUTTONDBLCLK: return {kButtonRight, true, true};
    case WM_MBUTTONDBLCLK: return {kButtonMiddle, true, true};
    case WM_XBUTTONDBLCLK: return {extra, true, true};
    case WM_LBUTTONUP: return {kButtonLeft, false, false};
    case WM_RBUTTONUP: return {kButtonRight, false, false};
    case WM_MBUTTONUP: return {kButtonMiddle, false, false};
    case WM_XBUTTONUP: return {extra, false, false};
    default: return {};
  }
}

}  // namespace

// The controls' messages come to the window first. The control's own procedure is
// replaced directly, not through the common controls' subclass chain: that chain looks
// itself up in the window's properties on every message (Wine's dlls/comctl32/commctrl.c,
// COMCTL32_SubclassProc calls GetPropW), and under Wine GetPropW is a request to the
// wineserver. The hook is found in the control's user data, which controls leave to
// their owner.
void FrmMain::HookControl(ControlName name, HWND control) {
  ControlHook& hook = controlHooks_[static_cast<std::size_t>(name)];
  hook.owner = this;
  hook.name = name;
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&hook));
  hook.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrmMain::ControlProc)));
  if (!hook.original) SetWindowLongPtrW(control, GWLP_USERDATA, 0);
}

LRESULT CALLBACK FrmMain::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* hook = reinterpret_cast<const ControlHook*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!hook || !hook->original) return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    return hook->owner->HandleControlMessage(*hook, hwnd, message, wParam, lParam);
  } catch (...) {
    return CallWindowProcW(hook->original, hwnd, message, wParam, lParam);
  }
}

// Mouse buttons, focus and the end of each control; everything else is the control's own.
LRESULT FrmMain::HandleControlMessage(const ControlHook& hook, HWND control, UINT message, WPARAM wParam,
                                      LPARAM lParam) {
  const ControlName name = hook.name;
  const MouseMessage mouse = ClassifyMouseMessage(message, wParam);
  if (mouse.button != 0) {
    const int code = ButtonCodeFromFlags(wParam, mouse.button);
    if (mouse.press) {
      OnControlMouseDown(name, control, code, mouse.button, mouse.doubleClick);
    } else {
      OnControlMouseRelease(name, control, code, mouse.button, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    }
    return CallWindowProcW(hook.original, control, message, wParam, lParam);
  }
  switch (message) {
    case WM_CAPTURECHANGED: OnControlCaptureLost(name, control, reinterpret_cast<HWND>(lParam)); break;
    case WM_SETFOCUS: OnControlFocus(name); break;
    case WM_NCDESTROY: {
      // The control's last message: hand it back its own procedure, unless something
      // hooked it after us and still sits on top.
      const WNDPROC original = hook.original;
      if (GetWindowLongPtrW(control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&FrmMain::ControlProc)) {
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      }
      SetWindowLongPtrW(control, GWLP_USERDATA, 0);
      return CallWindowProcW(original, control, message, wParam, lParam);
    }
    default: break;
  }
  return CallWindowProcW(hook.original, control, message, wParam, lParam);
}

// A press on the label or a picture holds the mouse, so its release comes back to the
// same control wherever it happens; the list and the buttons do their own holding.
void FrmMain::OnControlMouseDown(ControlName name, HWND control, int buttonCode, int button, bool doubleClick) {
  if (name == ControlName::lvwList) {
    listButtonsDown_ |= button;
    return;
  }
  if (!IsStaticKind(name)) return;
  if (staticButtonsDown_ == 0) {
    SetCapture(control);
    logoClickPending_ = false;
  }
  staticButtonsDown_ |= button;
  // The second press of a double-click is no press of its own and brings no click.
  if (name == ControlName::imgLogo && !doubleClick) {
    logoClickPending_ = true;
    OnLogoMouseDown(buttonCode);
  }
}

void FrmMain::OnControlMouseRelease(ControlName name, HWND control, int buttonCode, int button, POINT at) {
  if (name == ControlName::lvwList) {
    if (!(listButtonsDown_ & button)) return;
    listButtonsDown_ &= ~button;
    OnControlMouseUp(buttonCode, name);
    return;
  }
  if (!IsStaticKind(name)) {
    OnControlMouseUp(buttonCode, name);
    return;
  }
  if (!(staticButtonsDown_ & button)) return;  // pressed somewhere else
  staticButtonsDown_ &= ~button;
  bool click = false;
  if (staticButtonsDown_ == 0) {
    RECT client{};
    GetClientRect(control, &client);
    click = name == ControlName::imgLogo && logoClickPending_ && PtInRect(&client, at);
    logoClickPending_ = false;
    ReleaseCapture();
  }
  OnControlMouseUp(buttonCode, name);
  if (click) OnLogoClick();
}

void FrmMain::OnControlFocus(ControlName name) { ShowDefaultButton(Control(name)); }

// Another window took the mouse (a menu, a dialog): the presses held are forgotten.
void FrmMain::OnControlCaptureLost(ControlName name, HWND control, HWND newCapture) {
  if (!IsStaticKind(name) || newCapture == control) return;
  staticButtonsDown_ = 0;
  logoClickPending_ = false;
}

// The list view reports some releases only as click notifications.
void FrmMain::OnListClickNotification(int button) {
  OnControlMouseRelease(ControlName::lvwList, lvwList, ButtonCodeFromKeyState(button), button, {});
}

}  // namespace uvantic
