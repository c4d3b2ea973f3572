// Reads a list view that lives in another process: columns, rows, icons and states.
// Messages that carry a pointer get their structures and buffers in the list's own
// process; a pointer into this process would make them fail without a word.
#pragma once

#include <windows.h>

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace uvantic::e2e {

struct ListRow {
  std::wstring port;
  std::wstring status;
  std::wstring cableId;
  int image = -1;  // 0-based image list index, -1 for none
  bool selected = false;
  bool focused = false;
  bool cut = false;  // drawn dimmed
  friend bool operator==(const ListRow&, const ListRow&) = default;
};

std::ostream& operator<<(std::ostream& out, const ListRow& row);

// Memory in another process, freed with the object.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, std::size_t size);
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  ~RemoteBuffer();

  char* address() const { return static_cast<char*>(address_); }
  void Write(const void* data, std::size_t size, std::size_t offset = 0);
  void Read(void* data, std::size_t size, std::size_t offset = 0) const;

 private:
  HANDLE process_;
  void* address_;
};

class ListViewProbe {
 public:
  explicit ListViewProbe(HWND list);

  int ColumnCount() const;
  std::vector<std::wstring> HeaderTexts() const;
  std::vector<int> ColumnWidths() const;
  int ItemCount() const;
  std::wstring ItemText(int item, int subItem) const;
  int ItemImage(int item) const;
  UINT ItemState(int item, UINT mask) const;
  ListRow Row(int item) const;
  std::vector<ListRow> Rows() const;
  // Index of the first selected row, or -1.
  int SelectedIndex() const;

  // Changes a row as another program could, behind its owner's back: one cell's text,
  // the icon and the cut state.
  void ChangeRow(int item, int subItem, const std::wstring& text, int image, bool cut) const;

 private:
  LRESULT Send(HWND target, UINT message, WPARAM wParam, LPARAM lParam) const;

  HWND list_;
  UniqueHandle process_;
};

}  // namespace uvantic::e2e
