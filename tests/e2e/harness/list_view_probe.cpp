// Cross-process list view reads.
#include "list_view_probe.h"

#include <commctrl.h>

#include <ostream>
#include <stdexcept>

#include "window_probe.h"

namespace uvantic::e2e {
namespace {

constexpr UINT kMessageTimeoutMs = 5000;
constexpr int kTextCapacity = 512;

struct RemoteItem {
  LVITEMW item;
  wchar_t text[kTextCapacity];
};

struct RemoteHeaderItem {
  HDITEMW item;
  wchar_t text[kTextCapacity];
};

}  // namespace

std::ostream& operator<<(std::ostream& out, const ListRow& row) {
  return out << "{" << Narrow(row.port) << " | " << Narrow(row.status) << " | " << Narrow(row.cableId)
             << " | image " << row.image << (row.selected ? " | selected" : "") << (row.focused ? " | focused" : "")
             << (row.cut ? " | cut" : "") << "}";
}

RemoteBuffer::RemoteBuffer(HANDLE process, std::size_t size)
    : process_(process),
      address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
  if (address_ == nullptr) {
    throw std::runtime_error("VirtualAllocEx failed (error " + std::to_string(GetLastError()) + ")");
  }
}

RemoteBuffer::~RemoteBuffer() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }

void RemoteBuffer::Write(const void* data, std::size_t size, std::size_t offset) {
  SIZE_T written = 0;
  if (!WriteProcessMemory(process_, address() + offset, data, size, &written) || written != size) {
    throw std::runtime_error("WriteProcessMemory failed");
  }
}

void RemoteBuffer::Read(void* data, std::size_t size, std::size_t offset) const {
  SIZE_T read = 0;
  if (!ReadProcessMemory(process_, address() + offset, data, size, &read) || read != size) {
    throw std::runtime_error("ReadProcessMemory failed");
  }
}

ListViewProbe::ListViewProbe(HWND list) : list_(list) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                             FALSE, processId));
  if (!process_) throw std::runtime_error("cannot open the list view's process");
}

LRESULT ListViewProbe::Send(HWND target, UINT message, WPARAM wParam, LPARAM lParam) const {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(target, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result)) {
    throw std::runtime_error("the list view did not answer message " + std::to_string(message));
  }
  return static_cast<LRESULT>(result);
}

int ListViewProbe::ColumnCount() const {
  const auto header = reinterpret_cast<HWND>(Send(list_, LVM_GETHEADER, 0, 0));
  return header == nullptr ? 0 : static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0));
}

std::vector<std::wstring> ListViewProbe::HeaderTexts() const {
  const auto header = reinterpret_cast<HWND>(Send(list_, LVM_GETHEADER, 0, 0));
  std::vector<std::wstring> texts;
  if (header == nullptr) return texts;
  RemoteBuffer remote(process_.get(), sizeof(RemoteHeaderItem));
  const int count = static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0));
  for (int column = 0; column < count; ++column) {
    RemoteHeaderItem local{};
    local.item.mask = HDI_TEXT;
    local.item.pszText = reinterpret_cast<wchar_t*>(remote.address() + offsetof(RemoteHeaderItem, text));
    local.item.cchTextMax = kTextCapacity;
    remote.Write(&local, sizeof local);
    Send(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(remote.address()));
    remote.Read(&local, sizeof local);
    local.text[kTextCapacity - 1] = L'\0';
    texts.emplace_back(local.text);
  }
  return texts;
}

std::vector<int> ListViewProbe::ColumnWidths() const {
  std::vector<int> widths;
  const int count = ColumnCount();
  for (int column = 0; column < count; ++column) {
    widths.push_back(static_cast<int>(Send(list_, LVM_GETCOLUMNWIDTH, column, 0)));
  }
  return widths;
}

int ListViewProbe::ItemCount() const { return static_cast<int>(Send(list_, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ListViewProbe::ItemText(int item, int subItem) const {
  RemoteBuffer remote(process_.get(), sizeof(RemoteItem));
  RemoteItem local{};
  local.item.iSubItem = subItem;
  local.item.pszText = reinterpret_cast<wchar_t*>(remote.address() + offsetof(RemoteItem, text));
  local.item.cchTextMax = kTextCapacity;
  remote.Write(&local, sizeof local);
  Send(list_, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(remote.address()));
  remote.Read(&local, sizeof local);
  local.text[kTextCapacity - 1] = L'\0';
  return local.text;
}

int ListViewProbe::ItemImage(int item) const {
  RemoteBuffer remote(process_.get(), sizeof(LVITEMW));
  LVITEMW local{};
  local.mask = LVIF_IMAGE;
  local.iItem = item;
  local.iImage = -2;
  remote.Write(&local, sizeof local);
  if (!Send(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.address()))) return -2;
  remote.Read(&local, sizeof local);
  return local.iImage;
}

UINT ListViewProbe::ItemState(int item, UINT mask) const {
  return static_cast<UINT>(Send(list_, LVM_GETITEMSTATE, item, mask));
}

ListRow ListViewProbe::Row(int item) const {
  ListRow row;
  row.port = ItemText(item, 0);
  row.status = ItemText(item, 1);
  row.cableId = ItemText(item, 2);
  row.image = ItemImage(item);
  const UINT state = ItemState(item, LVIS_SELECTED | LVIS_FOCUSED | LVIS_CUT);
  row.selected = (state & LVIS_SELECTED) != 0;
  row.focused = (state & LVIS_FOCUSED) != 0;
  row.cut = (state & LVIS_CUT) != 0;
  return row;
}

std::vector<ListRow> ListViewProbe::Rows() const {
  std::vector<ListRow> rows;
  const int count = ItemCount();
  for (int item = 0; item < count; ++item) rows.push_back(Row(item));
  return rows;
}

int ListViewProbe::SelectedIndex() const {
  return static_cast<int>(Send(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListViewProbe::ChangeRow(int item, int subItem, const std::wstring& text, int image, bool cut) const {
  RemoteBuffer remote(process_.get(), sizeof(RemoteItem));
  RemoteItem local{};
  local.item.iItem = item;
  local.item.state = cut ? LVIS_CUT : 0;
  local.item.stateMask = LVIS_CUT;
  local.item.pszText = reinterpret_cast<wchar_t*>(remote.address() + offsetof(RemoteItem, text));
  local.item.iImage = image;
  text.copy(local.text, kTextCapacity - 1);
  for (const UINT mask : {LVIF_TEXT, LVIF_IMAGE | LVIF_STATE}) {
    local.item.mask = mask;
    local.item.iSubItem = mask == LVIF_TEXT ? subItem : 0;
    remote.Write(&local, sizeof local);
    if (!Send(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(remote.address()))) {
      throw std::runtime_error("the list view refused a change");
    }
  }
}

}  // namespace uvantic::e2e
