// The clipboard: Unicode text in movable global memory, which the clipboard owns once
// it has taken it.
#include "platform/clipboard.h"

#include <cstring>

#include "platform/handles.h"

namespace uvantic {
namespace {

// Closes the clipboard when the copy is done, whatever happened.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  explicit operator bool() const { return open_; }

 private:
  bool open_;
};

UniqueHGlobal GlobalText(const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  UniqueHGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return memory;
  void* data = GlobalLock(memory.get());
  if (!data) return UniqueHGlobal();
  std::memcpy(data, text.c_str(), bytes);
  GlobalUnlock(memory.get());
  return memory;
}

}  // namespace

bool CopyTextToClipboard(HWND window, const std::wstring& text) {
  UniqueHGlobal memory = GlobalText(text);
  if (!memory) return false;
  const OpenedClipboard clipboard(window);
  if (!clipboard || !EmptyClipboard()) return false;
  if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
  memory.release();  // the clipboard frees it from now on
  return true;
}

}  // namespace uvantic
