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
using UniqueHGlobal = Unique<HGLOBAL, detail::FreeGlobal>;

// A window's DC from GetDC (the screen's for nullptr), released to that window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects a GDI object into a DC for a scope and puts back what it replaced.
class ScopedSelection {
 public:
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;
  ~ScopedSelection() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace uvantic
