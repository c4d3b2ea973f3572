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

// Checks the index the row was last seen at with one message. Only when another row
// stands there (the list was reordered behind our back) is the list walked, once,
// and every row's index learnt afresh.
std::optional<int> ListViewDeviceList::IndexOf(RowId row) const {
  const auto known = indexes_.find(row);
  if (known == indexes_.end()) return std::nullopt;
  if (RowAt(known->second) == row) return known->second;
  const auto rows = Rows();
  if (!rows) return std::nullopt;
  const auto at = std::find(rows->begin(), rows->end(), row);
  if (at == rows->end()) return std::nullopt;
  return static_cast<int>(at - rows->begin());
}

std::optional<RowId> ListViewDeviceList::RowAt(int index) const {
  if (index < 0) return std::nullopt;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return std::nullopt;
  return static_cast<RowId>(item.lParam);
}

// rows is the whole list, top to bottom.
void ListViewDeviceList::RememberIndexes(const std::vector<RowId>& rows) const {
  for (std::size_t index = 0; index < rows.size(); ++index) {
    const auto known = indexes_.find(rows[index]);
    if (known != indexes_.end()) known->second = static_cast<int>(index);
  }
}

std::optional<std::wstring> ListViewDeviceList::ItemText(int index, int column) const {
  std::wstring buffer(64, L'\0');
  for (;;) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = static_cast<std::size_t>(
        SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    if (buffer.size() >= 32768) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
}

bool ListViewDeviceList::Add(const std::wstring& key) {
  if (!list_ || rowsByKey_.contains(key)) return false;
  const RowId id = nextId_;
  const auto count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  item.iItem = count;
  item.pszText = const_cast<wchar_t*>(L"");
  item.iImage = I_IMAGENONE;
  item.lParam = static_cast<LPARAM>(id);
  const auto index = static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return false;
  ++nextId_;
  keys_.emplace(id, key);
  indexes_.emplace(id, index);
  rowsByKey_.emplace(key, id);
  mayBeUnsorted_ = true;
  return true;
}

std::optional<std::size_t> ListViewDeviceList::Count() const {
  if (!list_) return std::nullopt;
  return static_cast<std::size_t>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::optional<std::vector<RowId>> ListViewDeviceList::Rows() const {
  if (!list_) return std::nullopt;
  const auto count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  std::vector<RowId> rows;
  rows.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int index = 0; index < count; ++index) {
    const auto row = RowAt(index);
    if (!row) return std::nullopt;
    rows.push_back(*row);
  }
  RememberIndexes(rows);
  return rows;
}

std::optional<std::wstring> ListViewDeviceList::Key(RowId row) const {
  const auto found = keys_.find(row);
  if (found == keys_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::wstring> ListViewDeviceList::CellText(RowId row, Cell cell) const {
  const auto index = IndexOf(row);
  if (!index) return std::nullopt;
  return ItemText(*index, static_cast<int>(cell));
}

bool ListViewDeviceList::SetCellText(RowId row, Cell cell, const std::wstring& text) {
  const auto index = IndexOf(row);
  if (!index) return false;
  const int column = static_cast<int>(cell);
  // The control keeps a text only up to its first zero, so that is what is compared:
  // registry text with a zero inside would otherwise be rewritten on every pass.
  if (ItemText(*index, column) == std::wstring_view(text.c_str())) return true;
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  if (!SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(*index), reinterpret_cast<LPARAM>(&item))) {
    return false;
  }
  if (column == sortKey_) mayBeUnsorted_ = true;
  return true;
}

bool ListViewDeviceList::SetIcon(RowId row, int icon) {
  const auto index = IndexOf(row);
  if (!index) return false;
  const int image = icon >= 1 ? icon - 1 : I_IMAGENONE;
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = *index;
  if (SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) && item.iImage == image) return true;
  item.iImage = image;
  return SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

bool ListViewDeviceList::SetGhosted(RowId row, bool ghosted) {
  const auto index = IndexOf(row);
  if (!index) return false;
  const UINT wanted = ghosted ? LVIS_CUT : 0;
  const auto current =
      static_cast<UINT>(SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(*index), LVIS_CUT));
  if (current == wanted) return true;
  LVITEMW item{};
  item.stateMask = LVIS_CUT;
  item.state = wanted;
  return SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(*index), reinterpret_cast<LPARAM>(&item)) !=
         FALSE;
}

bool ListViewDeviceList::Remove(RowId row) {
  const auto index = IndexOf(row);
  if (!index) return false;
  if (!SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(*index), 0)) return false;
  rowsByKey_.erase(keys_.at(row));
  keys_.erase(row);
  indexes_.erase(row);
  // The rows below move up one; counting that here spares the next lookups a walk.
  for (auto& [other, otherIndex] : indexes_) {
    if (otherIndex > *index) --otherIndex;
  }
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
  const auto rows = Rows();
  if (!rows) return;
  std::unordered_map<RowId, std::wstring> texts;
  texts.reserve(rows->size());
  for (std::size_t index = 0; index < rows->size(); ++index) {
    texts[(*rows)[index]] = ItemText(static_cast<int>(index), sortKey_).value_or(std::wstring());
  }
  SortContext context{&texts, sortOrder_};
  bool inOrder = true;
  for (std::size_t index = 1; index < rows->size() && inOrder; ++index) {
    inOrder = CompareByRowId(static_cast<LPARAM>((*rows)[index - 1]), static_cast<LPARAM>((*rows)[index]),
                             reinterpret_cast<LPARAM>(&context)) <= 0;
  }
  if (inOrder) return;
  SendMessageW(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context), reinterpret_cast<LPARAM>(&CompareByRowId));
  // The order is total, so sorting the ids here gives the control's new order without
  // reading it back.
  std::vector<RowId> sorted = *rows;
  std::sort(sorted.begin(), sorted.end(), [&](RowId first, RowId second) {
    return CompareByRowId(static_cast<LPARAM>(first), static_cast<LPARAM>(second),
                          reinterpret_cast<LPARAM>(&context)) < 0;
  });
  RememberIndexes(sorted);
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
