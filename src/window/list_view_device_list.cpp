// The device list on a list view control.
#include "window/list_view_device_list.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "window/row_order.h"

namespace uvantic {
namespace {

constexpr int kColumnCount = 3;

struct SortContext {
  const std::unordered_map<RowId, std::wstring>* texts;
  int order;
};

const wchar_t* TextOf(const SortContext& sort, RowId row) {
  const auto found = sort.texts->find(row);
  return found != sort.texts->end() ? found->second.c_str() : L"";
}

// Compares rows by item data (their ids) using texts read before the sort began, so
// the list view is never queried while it is rearranging its items.
int CALLBACK CompareByRowId(LPARAM first, LPARAM second, LPARAM context) {
  const auto& sort = *reinterpret_cast<const SortContext*>(context);
  const auto firstId = static_cast<RowId>(first);
  const auto secondId = static_cast<RowId>(second);
  return CompareRows(lstrcmpW(TextOf(sort, firstId), TextOf(sort, secondId)), sort.order, firstId, secondId);
}

}  // namespace

// Checks the index the row was last seen at with one message, once an epoch: within a
// pass nothing but the pass moves rows, and it keeps the indexes as it goes.
// Only when another row stands there (the list was reordered behind our back) is the
// control's order read again, once, and every row's index learnt afresh.
std::optional<int> ListViewDeviceList::IndexOf(RowId row) {
  const auto known = shown_.find(row);
  if (known == shown_.end()) return std::nullopt;
  Shown& shown = known->second;
  if (shown.checkedInEpoch == epoch_) return shown.index;
  if (RowAt(shown.index) == row) {
    shown.checkedInEpoch = epoch_;
    return shown.index;
  }
  auto rows = ReadRows();
  if (!rows) return std::nullopt;
  order_ = std::move(*rows);
  RememberIndexes(0);
  for (const RowId found : order_) {
    if (const auto other = shown_.find(found); other != shown_.end()) other->second.checkedInEpoch = epoch_;
  }
  const auto at = std::find(order_.begin(), order_.end(), row);
  if (at == order_.end()) return std::nullopt;
  return static_cast<int>(at - order_.begin());
}

std::optional<RowId> ListViewDeviceList::RowAt(int index) const {
  if (index < 0) return std::nullopt;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return std::nullopt;
  return static_cast<RowId>(item.lParam);
}

// The rows in the control's own order.
std::optional<std::vector<RowId>> ListViewDeviceList::ReadRows() const {
  if (!list_) return std::nullopt;
  const auto count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  std::vector<RowId> rows;
  rows.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int index = 0; index < count; ++index) {
    const auto row = RowAt(index);
    if (!row) return std::nullopt;
    rows.push_back(*row);
  }
  return rows;
}

// Gives the rows from position from down their place in order_.
void ListViewDeviceList::RememberIndexes(std::size_t from) {
  for (std::size_t index = from; index < order_.size(); ++index) {
    const auto known = shown_.find(order_[index]);
    if (known != shown_.end()) known->second.index = static_cast<int>(index);
  }
}

void ListViewDeviceList::StopDrawing() {
  if (drawingStopped_) return;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  drawingStopped_ = true;
}

void ListViewDeviceList::DrawChanges() {
  ++epoch_;
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
  StopDrawing();
  const RowId id = nextId_;
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

std::optional<std::vector<RowId>> ListViewDeviceList::Rows() const {
  if (!list_) return std::nullopt;
  return order_;
}

std::optional<std::wstring> ListViewDeviceList::Key(RowId row) const {
  const auto found = keys_.find(row);
  if (found == keys_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::wstring> ListViewDeviceList::CellText(RowId row, Cell cell) const {
  const auto column = static_cast<std::size_t>(cell);
  const auto found = shown_.find(row);
  if (found == shown_.end() || column >= kColumnCount) return std::nullopt;
  return found->second.texts[column];
}

bool ListViewDeviceList::SetCellText(RowId row, Cell cell, const std::wstring& text) {
  const int column = static_cast<int>(cell);
  const auto found = shown_.find(row);
  if (found == shown_.end() || column < 0 || column >= kColumnCount) return false;
  // The control keeps a text only up to its first zero, so that is what is compared:
  // registry text with a zero inside would otherwise be rewritten on every pass.
  const std::wstring_view kept(text.c_str());
  std::wstring& shown = found->second.texts[static_cast<std::size_t>(column)];
  if (shown == kept) return true;
  const auto index = IndexOf(row);
  if (!index) return false;
  StopDrawing();
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
  const auto found = shown_.find(row);
  if (found == shown_.end()) return false;
  const int image = icon >= 1 ? icon - 1 : I_IMAGENONE;
  if (found->second.image == image) return true;
  const auto index = IndexOf(row);
  if (!index) return false;
  StopDrawing();
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = *index;
  item.iImage = image;
  if (!SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return false;
  found->second.image = image;
  return true;
}

bool ListViewDeviceList::SetGhosted(RowId row, bool ghosted) {
  const auto found = shown_.find(row);
  if (found == shown_.end()) return false;
  if (found->second.ghosted == ghosted) return true;
  const auto index = IndexOf(row);
  if (!index) return false;
  StopDrawing();
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
  StopDrawing();
  if (!SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(*index), 0)) return false;
  rowsByKey_.erase(keys_.at(row));
  keys_.erase(row);
  shown_.erase(row);
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
  std::unordered_map<RowId, std::wstring> texts;
  texts.reserve(shown_.size());
  for (const auto& [row, shown] : shown_) texts.emplace(row, shown.texts[static_cast<std::size_t>(sortKey_)]);
  SortContext context{&texts, sortOrder_};
  const auto before = [&](RowId first, RowId second) {
    return CompareByRowId(static_cast<LPARAM>(first), static_cast<LPARAM>(second),
                          reinterpret_cast<LPARAM>(&context)) < 0;
  };
  if (std::is_sorted(order_.begin(), order_.end(), before)) return;
  SendMessageW(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context), reinterpret_cast<LPARAM>(&CompareByRowId));
  // The order is total, so sorting the ids here gives the control's new order without
  // reading it back.
  std::sort(order_.begin(), order_.end(), before);
  RememberIndexes(0);
  ++epoch_;
}

std::optional<std::wstring> ListViewDeviceList::SelectedItem() const {
  if (!list_) return std::nullopt;
  const auto index =
      static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
  const auto row = RowAt(index);
  if (!row) return std::nullopt;
  return Key(*row);
}

bool ListViewDeviceList::SelectFirstRow() {
  if (!list_ || SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0) <= 0) return false;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  return SendMessageW(list_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

LRESULT DrawGhostedRowsGrey(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const auto state =
          SendMessageW(draw.nmcd.hdr.hwndFrom, LVM_GETITEMSTATE, static_cast<WPARAM>(draw.nmcd.dwItemSpec), LVIS_CUT);
      if (state & LVIS_CUT) draw.clrText = GetSysColor(COLOR_GRAYTEXT);
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

}  // namespace uvantic
