// Resolution-dependent sizes, with the per-monitor functions loaded when the system
// has them (Windows 10 onwards, the monitor's resolution from Windows 8.1) and
// system-wide values otherwise.
#include "window/win_dpi.h"

#include <optional>

#include "platform/handles.h"
#include "platform/system_directory.h"
#include "window/layout.h"

namespace uvantic {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

template <typename Fn>
Fn User32Function(const char* name) {
  // user32 is loaded in every program with a window, so it is looked up, not loaded.
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

// The effective resolution of the monitor the window is on, through shcore.dll
// (Windows 8.1 onwards) from the system directory, loaded once on first use.
std::optional<int> MonitorDpi(HWND hwnd) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  static const UniqueHModule shcore = LoadSystemLibrary(L"shcore.dll");
  static const auto getDpiForMonitor =
      shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                   reinterpret_cast<void*>(GetProcAddress(shcore.get(), "GetDpiForMonitor")))
             : nullptr;
  if (!hwnd || !getDpiForMonitor) return std::nullopt;
  HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
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

int WindowDpi(HWND hwnd) {
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  return ChooseWindowDpi(
      [&]() -> std::optional<int> {
        if (!hwnd || !getDpiForWindow) return std::nullopt;
        return static_cast<int>(getDpiForWindow(hwnd));
      },
      [&] { return MonitorDpi(hwnd); }, [] { return std::optional<int>(SystemDpi()); });
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  static const auto adjustForDpi = User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  if (adjustForDpi) return adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)) != FALSE;
  return AdjustWindowRectEx(&rect, style, FALSE, exStyle) != FALSE;
}

UniqueHFont CreateMessageFont(int dpi) {
  static const auto parametersForDpi = User32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
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

int SmallIconSize(int dpi) {
  using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
  static const auto metricsForDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (metricsForDpi) {
    const int size = metricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi));
    if (size > 0) return size;
  }
  return MulDiv(GetSystemMetrics(SM_CXSMICON), dpi, SystemDpi());
}

}  // namespace uvantic
