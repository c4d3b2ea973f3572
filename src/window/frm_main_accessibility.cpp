// What a screen reader learns of the window beyond the controls' own texts: the logo's
// name and role, and for each row of the list what its icon and dimming show.
#include "window/frm_main.h"

#include <oleacc.h>

#include <algorithm>

#include "discovery/device_state.h"
#include "texts/state_words.h"

namespace uvantic {
namespace {

// A cell's whole text: the buffer grows until the text leaves room to spare, up to
// far beyond the longest text the registry lets through.
std::wstring CellAt(HWND list, int index, int column) {
  constexpr std::size_t kMaxChars = std::size_t{1} << 20;
  std::wstring text(64, L'\0');
  for (;;) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const auto length = static_cast<std::size_t>(
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < text.size() || text.size() >= kMaxChars) {
      text.resize(std::min(length, text.size() - 1));
      return text;
    }
    text.assign(text.size() * 2, L'\0');
  }
}

}  // namespace

// The logo is an owner-drawn picture whose text is never shown: its text is the name
// the standard accessible object of a static control reports, on every system. It says
// where a click leads, where the tooltip only shows the address. The annotations add the
// role of a picture and the rows' descriptions where the system supports them. Not a
// link: the logo stays out of the Tab order and no key opens it, so a screen reader
// must not offer an action the keyboard cannot take.
void FrmMain::MakeAccessible() {
  SetWindowTextW(imgLogo, texts_.Text(TextId::LogoName).c_str());
  annotations_.SetRole(imgLogo, ROLE_SYSTEM_GRAPHIC);
  annotations_.DescribeChildren(lvwList, [this](long childId) { return DescribeRow(static_cast<int>(childId - 1)); });
}

// The row at index as the control shows it now; nullopt when there is none.
std::optional<FrmMain::ShownRow> FrmMain::ShownRowAt(int index) const {
  if (!lvwList || index < 0) return std::nullopt;
  LVITEMW item{};
  item.mask = LVIF_IMAGE | LVIF_STATE;
  item.stateMask = LVIS_CUT;
  item.iItem = index;
  if (!SendMessageW(lvwList, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return std::nullopt;
  ShownRow row{CellAt(lvwList, index, static_cast<int>(Cell::Text)),
               CellAt(lvwList, index, static_cast<int>(Cell::Status)),
               CellAt(lvwList, index, static_cast<int>(Cell::CableId)),
               std::nullopt,
               item.iImage == kIconDisabled - 1,
               (item.state & LVIS_CUT) != 0};
  row.statusShown = list_.StatusShownAs(row.status);
  return row;
}

std::wstring FrmMain::StateWordsOf(const ShownRow& row) const {
  return StateWordsText(texts_, StateWords(row.statusShown, row.disabledIcon, row.ghosted));
}

// Read when a client asks, so the description follows the row wherever sorting puts it
// and whatever a refresh pass has changed. The list view's accessible children are its
// items in display order, child id 1 being index 0.
std::optional<std::wstring> FrmMain::DescribeRow(int index) const {
  const auto row = ShownRowAt(index);
  if (!row) return std::nullopt;
  return RowDescription(texts_, row->status, StateWords(row->statusShown, row->disabledIcon, row->ghosted),
                        row->cableId);
}

}  // namespace uvantic
