// The device list on a list view control.
#include "window/list_view_device_list.h"

#include <algorithm>
#include <climits>
#include <string_view>
#include <unordered_map>

#include "window/row_order.h"

namespace uvantic {
namespace {

constexpr int kColumnCount = 3;

// The longest cell text read back, in characters: twice the longest text the registry
// view lets through (64 KiB of data), so every text the refresh pass writes reads back.
constexpr std::size_t kMaxCellChars = 65536;

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

std::optional<int> ListViewDeviceList::IndexOf(RowId row) const {
  if (!keys_.contains(row)) return std::nullopt;
  LVFINDINFOW find{};
  find.flags = LVFI_PARAM;
  find.lParam = static_cast<LPARAM>(row);
  const auto index = static_cast<int>(SendMessageW(list_, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                                   reinterpret_cast<LPARAM>(&find)));
  if (index < 0) return std::nullopt;
  return index;
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
    if (buffer.size() >= kMaxCellChars) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
}

// Whether the cell holds text, read with room for one more character than text has,
// so that a text of any length is compared whole.
bool ListViewDeviceList::ItemTextIs(int index, int column, std::wstring_view text) const {
  std::wstring buffer(text.size() + 2, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(std::min<std::size_t>(buffer.size(), INT_MAX));
  const auto length = static_cast<std::size_t>(
      SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
  return length == text.size() && std::wstring_view(buffer.data(), length) == text;
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
  const auto count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  item.iItem = count;
  item.pszText = const_cast<wchar_t*>(L"");
  item.iImage = I_IMAGENONE;
  item.lParam = static_cast<LPARAM>(id);
  if (SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) < 0) return false;
  ++nextId_;
  keys_.emplace(id, key);
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
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return std::nullopt;
    rows.push_back(static_cast<RowId>(item.lParam));
  }
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
  if (ItemTextIs(*index, column, std::wstring_view(text.c_str()))) return true;
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
}

std::optional<std::wstring> ListViewDeviceList::SelectedItem() const {
  if (!list_) return std::nullopt;
  const auto index =
      static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
  if (index < 0) return std::nullopt;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return std::nullopt;
  return Key(static_cast<RowId>(item.lParam));
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
