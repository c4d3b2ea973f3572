// The device list on a list view control.
#include "window/list_view_device_list.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/handles.h"
#include "window/high_contrast.h"
#include "window/row_order.h"

namespace uvantic {
namespace {

constexpr int kColumnCount = 3;

// Reads of a cell start with room for this many characters, or for the text last
// written there, and grow until the text fits.
constexpr std::size_t kFirstReadChars = 64;
// The longest cell text read, in characters: far beyond the longest text the registry
// lets through (32K characters), so every text the pass writes reads back. A longer
// cell reads as failed, and the pass writes it, as it must: it cannot be equal.
constexpr std::size_t kMaxCellChars = std::size_t{1} << 20;
// Fills a buffer before a read, so that a read that failed, which leaves the buffer as
// it was, is told from one that returned an empty text.
constexpr wchar_t kUnread = L'\xFFFF';

// Each row's place in the sorted order, by id.
using SortRanks = std::unordered_map<RowId, std::size_t>;

// Compares rows by item data (their ids) through the places worked out before the sort
// began, so the list view is never queried while it is rearranging its items, and each
// pair costs two lookups rather than a comparison of texts by the user's locale. A row
// without a place (none should be) goes last, by id, so the order stays total.
int CALLBACK CompareByRank(LPARAM first, LPARAM second, LPARAM context) {
  const auto& ranks = *reinterpret_cast<const SortRanks*>(context);
  const auto rankOf = [&](LPARAM row) {
    const auto found = ranks.find(static_cast<RowId>(row));
    return std::pair(found != ranks.end() ? found->second : ranks.size(), static_cast<RowId>(row));
  };
  const auto a = rankOf(first);
  const auto b = rankOf(second);
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Reads a cell into buffer, as much of it as fits; returns the length read, or nullopt
// when the read failed.
std::optional<std::size_t> ReadCell(HWND list, int index, int column, std::wstring& buffer) {
  std::fill(buffer.begin(), buffer.end(), kUnread);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  const auto length = static_cast<std::size_t>(
      SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
  if (length >= buffer.size() || buffer[length] != L'\0') return std::nullopt;
  return length;
}

}  // namespace

// Checks the index the row was last seen at with one message, once an epoch, and reads
// the item's icon and cut state with the same message: within a pass nothing but the
// pass moves rows, and it keeps the indexes as it goes. Only when another row stands
// there (the list was reordered behind our back) is the control's order read again,
// once, and every row's index learnt afresh.
std::optional<int> ListViewDeviceList::IndexOf(RowId row) {
  const auto known = shown_.find(row);
  if (known == shown_.end()) return std::nullopt;
  Shown& shown = known->second;
  if (shown.checkedInEpoch == epoch_ || added_.contains(row)) return shown.index;
  if (const auto item = ReadItem(shown.index); item && item->row == row) {
    shown.image = item->image;
    shown.ghosted = item->ghosted;
    shown.checkedInEpoch = epoch_;
    return shown.index;
  }
  const auto items = ReadItems();
  if (!items) return std::nullopt;
  order_.clear();
  for (const Item& item : *items) {
    order_.push_back(item.row);
    if (const auto other = shown_.find(item.row); other != shown_.end()) {
      other->second.image = item.image;
      other->second.ghosted = item.ghosted;
      other->second.checkedInEpoch = epoch_;
    }
  }
  RememberIndexes(0);
  const auto at = std::find(order_.begin(), order_.end(), row);
  if (at == order_.end()) return std::nullopt;
  return static_cast<int>(at - order_.begin());
}

std::optional<ListViewDeviceList::Item> ListViewDeviceList::ReadItem(int index) const {
  if (index < 0) return std::nullopt;
  LVITEMW item{};
  item.mask = LVIF_PARAM | LVIF_IMAGE | LVIF_STATE;
  item.stateMask = LVIS_CUT;
  item.iItem = index;
  if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return std::nullopt;
  return Item{static_cast<RowId>(item.lParam), item.iImage, (item.state & LVIS_CUT) != 0};
}

// The items in the control's own order.
std::optional<std::vector<ListViewDeviceList::Item>> ListViewDeviceList::ReadItems() const {
  if (!list_) return std::nullopt;
  const auto count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  std::vector<Item> items;
  items.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int index = 0; index < count; ++index) {
    const auto item = ReadItem(index);
    if (!item) return std::nullopt;
    items.push_back(*item);
  }
  return items;
}

// The cell's whole text, up to its first zero; nullopt when it cannot be read.
std::optional<std::wstring> ListViewDeviceList::ItemText(int index, int column, std::size_t expectedLength) const {
  std::wstring buffer(std::max(kFirstReadChars, expectedLength + 2), kUnread);
  for (;;) {
    const auto length = ReadCell(list_, index, column, buffer);
    if (!length) return std::nullopt;
    if (*length + 1 < buffer.size()) {
      buffer.resize(*length);
      return buffer;
    }
    if (buffer.size() >= kMaxCellChars) return std::nullopt;
    buffer.resize(std::min(buffer.size() * 2, kMaxCellChars));
  }
}

// Whether the cell holds text, read with room for one character more than text has, so
// that a text of any length is compared whole with one message. nullopt when the cell
// cannot be read.
std::optional<bool> ListViewDeviceList::ItemTextIs(int index, int column, std::wstring_view text) const {
  if (text.size() >= kMaxCellChars) return std::nullopt;
  std::wstring buffer(text.size() + 2, kUnread);
  const auto length = ReadCell(list_, index, column, buffer);
  if (!length) return std::nullopt;
  return std::wstring_view(buffer.data(), *length) == text;
}

// Gives the rows from position from down their place in order_.
void ListViewDeviceList::RememberIndexes(std::size_t from) {
  for (std::size_t index = from; index < order_.size(); ++index) {
    const auto known = shown_.find(order_[index]);
    if (known != shown_.end()) known->second.index = static_cast<int>(index);
  }
}

// Called before every change to a row. While few rows change, the control repaints
// each one's rectangle; past that, or while the list is hidden, drawing stops until
// DrawChanges.
void ListViewDeviceList::BeforeChange(RowId row) {
  if (drawingStopped_) return;
  if (row != lastChanged_) {
    lastChanged_ = row;
    ++rowsChanged_;
  }
  if (rowsChanged_ <= kRowsRepaintedOneByOne && IsWindowVisible(list_)) return;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  drawingStopped_ = true;
}

void ListViewDeviceList::DrawChanges() {
  ++epoch_;
  added_.clear();
  rowsChanged_ = 0;
  lastChanged_ = 0;
  if (!drawingStopped_) return;
  drawingStopped_ = false;
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(list_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool ListViewDeviceList::KeyLess::operator()(std::wstring_view a, std::wstring_view b) const {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_LESS_THAN;
}

bool ListViewDeviceList::Add(const std::wstring& key) {
  if (!list_) return false;
  if (const auto existing = rowsByKey_.find(key); existing != rowsByKey_.end()) {
    // The instance's key was re-created in another letter case: the row follows the
    // spelling the registry gives now.
    if (existing->first != key) {
      std::wstring mapKey(key);  // copied before anything changes, as copying may fail
      std::wstring rowKey(key);
      auto entry = rowsByKey_.extract(existing);
      entry.key() = std::move(mapKey);
      keys_.at(entry.mapped()) = std::move(rowKey);
      rowsByKey_.insert(std::move(entry));
    }
    return false;
  }
  const RowId id = nextId_;
  BeforeChange(id);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  item.iItem = static_cast<int>(order_.size());
  item.pszText = const_cast<wchar_t*>(L"");
  item.iImage = I_IMAGENONE;
  item.lParam = static_cast<LPARAM>(id);
  const auto index = static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return false;
  ++nextId_;
  keys_.emplace(id, key);
  rowsByKey_.emplace(key, id);
  added_.insert(id);
  const auto position = std::min(static_cast<std::size_t>(index), order_.size());
  Shown shown;
  if (position == static_cast<std::size_t>(index)) shown.checkedInEpoch = epoch_;  // the control said where
  shown_.emplace(id, std::move(shown));
  order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(position), id);
  RememberIndexes(position);
  mayBeUnsorted_ = true;
  return true;
}

std::optional<std::size_t> ListViewDeviceList::Count() const {
  if (!list_) return std::nullopt;
  return static_cast<std::size_t>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
}

// A walk over the rows starts a new epoch, so that a pass reads every row it writes
// afresh, whatever was read between passes.
std::optional<std::vector<RowId>> ListViewDeviceList::Rows() const {
  if (!list_) return std::nullopt;
  ++epoch_;
  return order_;
}

std::optional<std::wstring> ListViewDeviceList::Key(RowId row) const {
  const auto found = keys_.find(row);
  if (found == keys_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::wstring> ListViewDeviceList::CellText(RowId row, Cell cell) {
  const int column = static_cast<int>(cell);
  if (column < 0 || column >= kColumnCount) return std::nullopt;
  const auto index = IndexOf(row);
  if (!index) return std::nullopt;
  const std::wstring& known = shown_.at(row).texts[static_cast<std::size_t>(column)];
  if (added_.contains(row)) return known;
  return ItemText(*index, column, known.size());
}

std::optional<CableStatus> ListViewDeviceList::StatusShownAs(std::wstring_view text) const {
  for (std::size_t status = 0; status < statusTexts_.size(); ++status) {
    if (statusTexts_[status] == text) return static_cast<CableStatus>(status);
  }
  return std::nullopt;
}

std::optional<CableStatus> ListViewDeviceList::Status(RowId row) {
  const std::optional<std::wstring> text = CellText(row, Cell::Status);
  return text ? StatusShownAs(*text) : std::nullopt;
}

bool ListViewDeviceList::SetStatus(RowId row, CableStatus status) {
  const auto index = static_cast<std::size_t>(status);
  return index < statusTexts_.size() && SetCellText(row, Cell::Status, statusTexts_[index]);
}

// Compares with the cell itself, so that a caller that could not read it, or that reads
// a text with a zero inside as different, writes only what differs.
bool ListViewDeviceList::SetCellText(RowId row, Cell cell, const std::wstring& text) {
  const int column = static_cast<int>(cell);
  if (column < 0 || column >= kColumnCount) return false;
  const auto index = IndexOf(row);
  if (!index) return false;
  // The control keeps a text only up to its first zero, so that is what is compared:
  // registry text with a zero inside would otherwise be rewritten on every pass.
  const std::wstring_view kept(text.c_str());
  std::wstring& shown = shown_.at(row).texts[static_cast<std::size_t>(column)];
  if (added_.contains(row) ? shown == kept : ItemTextIs(*index, column, kept).value_or(false)) {
    if (shown != kept) {
      shown = kept;
      if (column == sortKey_) mayBeUnsorted_ = true;
    }
    return true;
  }
  BeforeChange(row);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  if (!SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(*index), reinterpret_cast<LPARAM>(&item))) {
    return false;
  }
  shown = kept;
  if (column == sortKey_) mayBeUnsorted_ = true;
  return true;
}

bool ListViewDeviceList::SetIcon(RowId row, int icon) {
  const auto index = IndexOf(row);
  if (!index) return false;
  const auto found = shown_.find(row);
  const int image = icon >= 1 ? icon - 1 : I_IMAGENONE;
  if (found->second.image == image) return true;
  BeforeChange(row);
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = *index;
  item.iImage = image;
  if (!SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return false;
  found->second.image = image;
  return true;
}

bool ListViewDeviceList::SetGhosted(RowId row, bool ghosted) {
  const auto index = IndexOf(row);
  if (!index) return false;
  const auto found = shown_.find(row);
  if (found->second.ghosted == ghosted) return true;
  BeforeChange(row);
  LVITEMW item{};
  item.stateMask = LVIS_CUT;
  item.state = ghosted ? LVIS_CUT : 0;
  if (!SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(*index), reinterpret_cast<LPARAM>(&item))) {
    return false;
  }
  found->second.ghosted = ghosted;
  return true;
}

bool ListViewDeviceList::Remove(RowId row) {
  const auto index = IndexOf(row);
  if (!index) return false;
  BeforeChange(row);
  if (!SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(*index), 0)) return false;
  rowsByKey_.erase(keys_.at(row));
  keys_.erase(row);
  shown_.erase(row);
  added_.erase(row);
  const auto position = static_cast<std::size_t>(*index);
  order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(position));
  RememberIndexes(position);  // the rows below moved up one
  return true;
}

void ListViewDeviceList::SetSortKey(int key) {
  if (key < 0 || key >= kColumnCount) return;
  sortKey_ = key;
  Sort();
}

void ListViewDeviceList::SetSortOrder(int order) {
  if (order != 0 && order != 1) return;
  sortOrder_ = order;
  Sort();
}

void ListViewDeviceList::SortIfNeeded() {
  if (!mayBeUnsorted_) return;
  Sort();
}

// Sorts only when two neighbouring rows are out of order: sorting repaints the whole
// list, which the refresh pass must not do when nothing moved.
void ListViewDeviceList::Sort() {
  if (!list_) return;
  mayBeUnsorted_ = false;
  const auto textOf = [&](RowId row) {
    const auto found = shown_.find(row);
    return found != shown_.end() ? found->second.texts[static_cast<std::size_t>(sortKey_)].c_str() : L"";
  };
  const auto before = [&](RowId first, RowId second) {
    return CompareRows(lstrcmpW(textOf(first), textOf(second)), sortOrder_, first, second) < 0;
  };
  if (std::is_sorted(order_.begin(), order_.end(), before)) return;
  // The texts are compared here, once; the order is total, so this is the control's
  // order after its sort, without reading it back.
  std::vector<RowId> sorted(order_);
  std::sort(sorted.begin(), sorted.end(), before);
  SortRanks ranks;
  ranks.reserve(sorted.size());
  for (std::size_t place = 0; place < sorted.size(); ++place) ranks.emplace(sorted[place], place);
  SendMessageW(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&ranks), reinterpret_cast<LPARAM>(&CompareByRank));
  order_ = std::move(sorted);
  RememberIndexes(0);
  ++epoch_;
}

std::optional<std::wstring> ListViewDeviceList::SelectedItem() const {
  if (!list_) return std::nullopt;
  const auto index =
      static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
  const auto item = ReadItem(index);
  if (!item) return std::nullopt;
  return Key(item->row);
}

// Wine's list view works out its rows' size and sets its scroll bars on its first paint
// (dlls/comctl32/listview.c, LISTVIEW_Paint while bNoItemMetrics is set); on screen that
// draws the scroll bars twice over. Painting into a memory DC while the window is hidden
// does that work where nothing is drawn on screen; elsewhere nobody sees the paint.
void ListViewDeviceList::PaintOffScreen() const {
  if (!list_) return;
  const UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
  if (memory) SendMessageW(list_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
}

bool ListViewDeviceList::SelectFirstRow() {
  if (!list_ || SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0) <= 0) return false;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  return SendMessageW(list_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

LRESULT DrawGhostedRows(NMLVCUSTOMDRAW& draw, bool highContrast) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const auto state = SendMessageW(draw.nmcd.hdr.hwndFrom, LVM_GETITEMSTATE,
                                      static_cast<WPARAM>(draw.nmcd.dwItemSpec), LVIS_CUT | LVIS_SELECTED);
      switch (LookOfRow((state & LVIS_CUT) != 0, (state & LVIS_SELECTED) != 0, highContrast)) {
        case RowLook::GreyText:
          draw.clrText = GetSysColor(COLOR_GRAYTEXT);
          break;
        case RowLook::SelectionColours:
          // The row is drawn as not selected, in the selection's own colours: a list
          // view draws a selected row's background its own way (the theme's, or the
          // face colour without the focus) and may keep the text colour given here,
          // which would put one system colour on another that need not go with it.
          draw.nmcd.uItemState &= ~CDIS_SELECTED;
          draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
          draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
          break;
        case RowLook::AsTheList:
          break;
      }
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

}  // namespace uvantic
