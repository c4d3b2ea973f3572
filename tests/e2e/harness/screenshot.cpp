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

std::vector<std::uint32_t> WindowPixels(HWND window, int* width, int* height) {
  // The window belongs to another process, which repaints in its own time.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(kPaintSettleMs);
  RECT r{};
  if (!GetWindowRect(window, &r)) return {};
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  if (*width <= 0 || *height <= 0) return {};

  ScreenDc screen;
  MemoryDc memory(screen.dc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = *width;
  info.bmiHeader.biHeight = -*height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const UniqueHBitmap bitmap(CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return {};
  const HGDIOBJ previous = SelectObject(memory.dc, bitmap.get());
  const bool copied = BitBlt(memory.dc, 0, 0, *width, *height, screen.dc, r.left, r.top, SRCCOPY) != FALSE;
  GdiFlush();
  SelectObject(memory.dc, previous);
  if (!copied) return {};
  const auto* first = static_cast<const std::uint32_t*>(bits);
  return {first, first + static_cast<std::size_t>(*width) * *height};
}

bool SaveWindowScreenshot(HWND window, const std::wstring& pngPath) {
  int width = 0, height = 0;
  const std::vector<std::uint32_t> pixels = WindowPixels(window, &width, &height);
  if (pixels.empty()) return false;
  std::vector<std::uint8_t> rgb(pixels.size() * 3);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    rgb[i * 3 + 0] = static_cast<std::uint8_t>(pixels[i] >> 16);
    rgb[i * 3 + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
    rgb[i * 3 + 2] = static_cast<std::uint8_t>(pixels[i]);
  }
  return WriteFileBytes(pngPath, EncodePng(width, height, rgb));
}

}  // namespace uvantic::e2e
