// Resolution-dependent sizes, with the per-monitor functions loaded when the system
// has them (Windows 10 onwards, the monitor's resolution from Windows 8.1) and
// system-wide values otherwise.
#include "platform/win_dpi.h"

#include <optional>

#include "platform/dpi_choice.h"
#include "platform/handles.h"
#include "platform/system_function.h"

namespace uvantic {
namespace {

// The effective resolution of the monitor the window is on, through shcore.dll
// (Windows 8.1 onwards).
std::optional<int> MonitorDpi(HWND hwnd, SystemExportLookup lookup) {
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  if (!hwnd) return std::nullopt;
  const auto getDpiForMonitor = SystemFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor", lookup);
  HMONITOR monitor = getDpiForMonitor ? MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST) : nullptr;
  UINT dpiX = 0;
  UINT dpiY = 0;
  if (!monitor || FAILED(getDpiForMonitor(monitor, kEffectiveDpi, &dpiX, &dpiY))) return std::nullopt;
  return static_cast<int>(dpiX);
}

}  // namespace

int SystemDpi() {
  const WindowDc screen(nullptr);
  if (!screen) return USER_DEFAULT_SCREEN_DPI;
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int WindowDpi(HWND hwnd, SystemExportLookup lookup) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  return ChooseWindowDpi(
      [&]() -> std::optional<int> {
        const auto getDpiForWindow = SystemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow", lookup);
        if (!hwnd || !getDpiForWindow) return std::nullopt;
        return static_cast<int>(getDpiForWindow(hwnd));
      },
      [&] { return MonitorDpi(hwnd, lookup); }, [] { return std::optional<int>(SystemDpi()); });
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi =
      SystemFunction<AdjustWindowRectExForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
  if (adjustForDpi) return adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)) != FALSE;
  return AdjustWindowRectEx(&rect, style, FALSE, exStyle) != FALSE;
}

UniqueHFont CreateMessageFont(int dpi) {
  using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  static const auto parametersForDpi =
      SystemFunction<SystemParametersInfoForDpiFunction>(L"user32.dll", "SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (parametersForDpi &&
      parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi))) {
    return UniqueHFont(CreateFontIndirectW(&metrics.lfMessageFont));
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return {};
  // The system-wide metrics are for the system's resolution.
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
  return UniqueHFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

int FontEmPixels(HFONT font) {
  LOGFONTW description{};
  if (!font || GetObjectW(font, sizeof(description), &description) != sizeof(description)) return 0;
  if (description.lfHeight < 0) return -description.lfHeight;
  // A positive height is the cell's, internal leading included: ask the font itself.
  const WindowDc screen(nullptr);
  if (!screen) return 0;
  const ScopedSelection selected(screen.get(), font);
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(screen.get(), &metrics)) return 0;
  return static_cast<int>(metrics.tmHeight - metrics.tmInternalLeading);
}

int SmallIconSize(int dpi) {
  using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
  static const auto metricsForDpi =
      SystemFunction<GetSystemMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi");
  if (metricsForDpi) {
    const int size = metricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi));
    if (size > 0) return size;
  }
  return MulDiv(GetSystemMetrics(SM_CXSMICON), dpi, SystemDpi());
}

}  // namespace uvantic
