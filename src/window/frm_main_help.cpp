// Context help of the window: the keyboard's context-menu key, right-button releases
// on the controls, the "What's This?" item and the title bar's help mode. The key
// preview that leads to it also hands Ctrl+C to the copy command.
#include "window/frm_main.h"

#include "platform/file_exists.h"
#include "resources/resource.h"
#include "window/whats_this.h"

namespace uvantic {
namespace {

static_assert(kWhatsThisPopupFlags == TPM_RIGHTBUTTON);
static_assert(kApplicationsKey == VK_APPS);

PixelRect ToPixelRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

PixelRect ScreenRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return ToPixelRect(rect);
}

// The window's rectangle in its parent's client coordinates.
PixelRect RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return ToPixelRect(rect);
}

}  // namespace

void FrmMain::OnKeyPreview(int keyCode, int shift) {
  if (KeyCopiesRow(keyCode, shift)) {
    OnCopyKey();
    return;
  }
  if (!KeyOpensWhatsThis(keyCode)) return;
  const std::optional<ControlName> control = ControlOf(GetFocus());
  if (!control) return;
  const PixelPoint centre = KeyboardPopupPoint(RectInParent(Control(*control)));
  POINT at{centre.x, centre.y};
  ClientToScreen(hwnd_, &at);
  ShowWhatsThisPopup(*control, at);
}

void FrmMain::OnControlMouseUp(int buttonCode, ControlName control) {
  if (!WhatsThisPopup(buttonCode, blnLogoPressed)) return;
  POINT at{};
  GetCursorPos(&at);
  ShowWhatsThisPopup(control, at);
}

// Returns when the menu has closed; a chosen item arrives afterwards as WM_COMMAND.
void FrmMain::ShowWhatsThisPopup(ControlName control, POINT at) {
  ctlWhatsThis = control;
  whatsThisAt_ = at;
  if (!mnuWhatsThis) {
    UniqueHMenu menu(CreatePopupMenu());
    if (!menu || !AppendMenuW(menu.get(), MF_STRING, IDM_WHATSTHIS_HELP, texts_.Text(TextId::MenuWhatsThis).c_str())) {
      return;
    }
    mnuWhatsThis = std::move(menu);
  }
  TrackPopupMenu(mnuWhatsThis.get(), kWhatsThisPopupFlags, at.x, at.y, 0, hwnd_, nullptr);
}

void FrmMain::OnWhatsThisHelp() {
  if (ctlWhatsThis) ShowWhatsThis(*ctlWhatsThis, whatsThisAt_);
}

// The title bar's help button, then a click on a control; also F1.
void FrmMain::OnHelp(const HELPINFO& info) {
  if (info.iContextType != HELPINFO_WINDOW) return;
  const std::optional<ControlName> control = ControlOf(static_cast<HWND>(info.hItemHandle));
  if (!control) return;
  const PixelPoint at = HelpPopupAnchor({info.MousePos.x, info.MousePos.y}, ScreenRectOf(Control(*control)));
  ShowWhatsThis(*control, {at.x, at.y});
}

// The control's short text where the help control offers text popups; its page in the
// help viewer where it does not (Wine's HtmlHelpW has no HH_DISPLAY_TEXT_POPUP case).
// Without a help file nothing is shown.
void FrmMain::ShowWhatsThis(ControlName control, POINT at) {
  const std::wstring helpFile = HelpFilePath();
  if (helpFile.empty() || !FileExists(helpFile)) return;
  const std::optional<HelpTopicLocation> topic = LocateHelpTopic(helpFile, HelpTopic(control));
  if (!topic) return;
  if (helpDisplay_.ShowTextPopup(hwnd_, topic->textPopupSource, topic->topic, at)) return;
  helpDisplay_.ShowPage(hwnd_, topic->pageAddress);
}

std::wstring FrmMain::HelpFilePath() const {
  return HelpFileFor(language_, helpFile_.Path(), [](const std::wstring& path) { return FileExists(path); });
}

// The control a window belongs to: the control itself or a window inside it, such as
// the list's header.
std::optional<ControlName> FrmMain::ControlOf(HWND window) const {
  for (HWND candidate = window; candidate && candidate != hwnd_; candidate = GetParent(candidate)) {
    for (const ControlEntry& entry : kControls) {
      if (Control(entry.name) == candidate) return entry.name;
    }
  }
  return std::nullopt;
}

}  // namespace uvantic
