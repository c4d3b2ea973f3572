// Screen capture with BitBlt from the screen's device context.
#include "screenshot.h"

#include <cstdint>
#include <vector>

#include "platform/handles.h"
#include "png_writer.h"

namespace uvantic::e2e {
namespace {

constexpr DWORD kPaintSettleMs = 150;

struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ~ScreenDc() { ReleaseDC(nullptr, dc); }
};

struct MemoryDc {
  HDC dc;
  explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
  ~MemoryDc() { DeleteDC(dc); }
};

bool WriteFileBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  const HANDLE raw =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return false;
  const UniqueHandle file(raw);
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

std::optional<Pixels> CaptureWindow(HWND window) {
  // The window belongs to another process, which repaints in its own time.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(kPaintSettleMs);
  RECT r{};
  if (!GetWindowRect(window, &r)) return std::nullopt;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return std::nullopt;

  ScreenDc screen;
  MemoryDc memory(screen.dc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const UniqueHBitmap bitmap(CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return std::nullopt;
  const HGDIOBJ previous = SelectObject(memory.dc, bitmap.get());
  const bool copied = BitBlt(memory.dc, 0, 0, width, height, screen.dc, r.left, r.top, SRCCOPY) != FALSE;
  GdiFlush();
  SelectObject(memory.dc, previous);
  if (!copied) return std::nullopt;

  const auto* bgrx = static_cast<const std::uint8_t*>(bits);
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i) {
    rgb[i * 3 + 0] = bgrx[i * 4 + 2];
    rgb[i * 3 + 1] = bgrx[i * 4 + 1];
    rgb[i * 3 + 2] = bgrx[i * 4 + 0];
  }
  return Pixels{width, height, std::move(rgb)};
}

bool SaveWindowScreenshot(HWND window, const std::wstring& pngPath) {
  const auto pixels = CaptureWindow(window);
  return pixels && WriteFileBytes(pngPath, EncodePng(pixels->width, pixels->height, pixels->rgb));
}

}  // namespace uvantic::e2e
