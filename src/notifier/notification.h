// What the notifier tells the user: one notification for the cables that became OK or
// stopped being OK in one pass, the icon's tooltip, and texts cut to what the
// notification area holds.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cables/cable_rows.h"

namespace uvantic {

// The buffers of NOTIFYICONDATAW, in characters with the terminating zero.
inline constexpr std::size_t kTooltipCapacity = 128;           // szTip
inline constexpr std::size_t kNotificationTextCapacity = 256;  // szInfo
inline constexpr std::size_t kNotificationTitleCapacity = 64;  // szInfoTitle

struct Notification {
  std::wstring title;
  std::wstring text;
  bool warning = false;  // shown with the warning icon instead of the information icon

  friend bool operator==(const Notification&, const Notification&) = default;
};

// text whole when it fits a buffer of capacity characters with its terminating zero;
// otherwise cut to fit and ending with "…", never between the two halves of a
// surrogate pair.
std::wstring FitText(std::wstring_view text, std::size_t capacity);

// The notification for what changed between two passes: cables that became OK, and OK
// cables that were unplugged or uninstalled, disabled, or whose driver was not loaded.
// All of one pass's changes make one notification. nullopt when no cable became or
// stopped being OK. Title and text fit their buffers.
std::optional<Notification> NotificationFor(const std::vector<CableRow>& before, const std::vector<CableRow>& after);

// "Uvantic Finder: 2 cables, 1 OK", fitted to the tooltip's buffer.
std::wstring TooltipText(const std::vector<CableRow>& cables);

// Remembers the last pass's cables. The first pass only learns what is there, so the
// cables plugged in before the notifier started give no notification.
class CableNotices {
 public:
  std::optional<Notification> Pass(std::vector<CableRow> cables);

 private:
  std::optional<std::vector<CableRow>> previous_;
};

}  // namespace uvantic
