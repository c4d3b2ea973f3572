// One owning wrapper for every kind of Win32 handle the program holds.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace uvantic {

// Owns a handle and releases it with Closer; non-copyable, movable. A handle equal
// to Invalid (nullptr for most kinds) is treated as empty.
template <typename Handle, auto Closer, Handle Invalid = Handle{}>
class Unique {
 public:
  Unique() = default;
  explicit Unique(Handle handle) : handle_(handle) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : handle_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~Unique() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Invalid; }

  Handle release() { return std::exchange(handle_, Invalid); }
  void reset(Handle handle = Invalid) {
    if (handle_ != Invalid) Closer(handle_);
    handle_ = handle;
  }
  // For APIs that return a handle through a pointer: releases the old one first.
  Handle* put() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Invalid;
};

namespace detail {
inline void CloseKey(HKEY key) { RegCloseKey(key); }
inline void CloseModule(HMODULE module) { FreeLibrary(module); }
inline void CloseHandleChecked(HANDLE handle) { CloseHandle(handle); }
inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }
inline void DeleteDcHandle(HDC dc) { DeleteDC(dc); }
inline void DestroyIconHandle(HICON icon) { DestroyIcon(icon); }
inline void DestroyMenuHandle(HMENU menu) { DestroyMenu(menu); }
inline void DestroyImageList(HIMAGELIST list) { ImageList_Destroy(list); }
inline void DestroyCursorHandle(HCURSOR cursor) { DestroyCursor(cursor); }
inline void FreeGlobal(HGLOBAL memory) { GlobalFree(memory); }
}  // namespace detail

using UniqueHKey = Unique<HKEY, detail::CloseKey>;
using UniqueHModule = Unique<HMODULE, detail::CloseModule>;
using UniqueHandle = Unique<HANDLE, detail::CloseHandleChecked>;
using UniqueHFont = Unique<HFONT, detail::DeleteGdiObject>;
using UniqueHBitmap = Unique<HBITMAP, detail::DeleteGdiObject>;
// A DC of CreateCompatibleDC.
using UniqueMemoryDc = Unique<HDC, detail::DeleteDcHandle>;
using UniqueHIcon = Unique<HICON, detail::DestroyIconHandle>;
using UniqueHMenu = Unique<HMENU, detail::DestroyMenuHandle>;
using UniqueHImageList = Unique<HIMAGELIST, detail::DestroyImageList>;
using UniqueHCursor = Unique<HCURSOR, detail::DestroyCursorHandle>;
using UniqueHGlobal = Unique<HGLOBAL, detail::FreeGlobal>;

}  // namespace uvantic
