// What the notifier tells the user: each cable's news once its state has settled, one
// notification for the news of one moment, the news kept while no icon can show them,
// the icon's tooltip, and texts cut to what the notification area holds.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cables/cable_rows.h"
#include "texts/texts.h"

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

// What a cable is: ready (OK), or why it is not.
enum class CableNews { Ready, Unplugged, Disabled, DriverNotLoaded };

// One cable's news, with the row it is told with.
struct CableNotice {
  CableNews news = CableNews::Ready;
  CableRow row{};

  friend bool operator==(const CableNotice&, const CableNotice&) = default;
};

// text whole when it fits a buffer of capacity characters with its terminating zero;
// otherwise cut to fit and ending with "…", never between the two halves of a
// surrogate pair.
std::wstring FitText(std::wstring_view text, std::size_t capacity);

// The news a cable's row stands for; nullptr (the cable is no longer installed) is
// Unplugged.
CableNews NewsOf(const CableRow* row);

// One notification for several cables' news, grouped by kind (ready, unplugged,
// disabled, driver not loaded), each kind in the order given, each group a whole
// sentence of texts. nullopt for none. Title and text fit their buffers.
std::optional<Notification> NotificationFor(const std::vector<CableNotice>& notices, const Texts& texts);

// Adds later news to news not shown yet: the latest per cable (matched by instance
// path) replaces the earlier one in its place; a cable new to kept goes last.
void KeepLatest(std::vector<CableNotice>& kept, const std::vector<CableNotice>& later);

// "Uvantic Finder: 2 cables, 1 OK", fitted to the tooltip's buffer.
std::wstring TooltipText(const std::vector<CableRow>& cables, const Texts& texts);

// Decides what to tell from pass to pass. The first pass only learns what is there, so
// cables plugged in before the notifier started give no news. A cable that becomes OK
// is told at once: it is OK only once every key is written. A cable that stops being OK
// is told once its state has held still for kSettleTime, with the reason it settled
// on: Windows writes a device's keys in several steps, tens of milliseconds apart, and
// a pass between two of them sees a reason that is not the final one ("driver not
// loaded" for a cable being unplugged). A cable that is OK again within that time is
// not told at all. A cable told as not OK whose reason later settles otherwise is told
// again. Only cables that were OK while watched are told as not OK. A cable whose reason
// keeps changing holds the others' news back for kLongestHold at most.
class CableNotices {
 public:
  using Clock = std::chrono::steady_clock;
  // Several times the gap between two of Windows' writes, and short beside the time a
  // notification takes to come up.
  static constexpr std::chrono::milliseconds kSettleTime{300};
  // Long enough for a hub's cables to go one after the other, short beside a user's wait.
  static constexpr std::chrono::milliseconds kLongestHold{2000};

  // One pass's cables, read at now: the news to tell now, in the list's order (cables
  // gone from the list last).
  std::vector<CableNotice> Pass(const std::vector<CableRow>& cables, Clock::time_point now);
  // When a pass must run for news still settling to be told; nullopt when none is.
  std::optional<Clock::time_point> NextDue() const;

 private:
  struct Cable {
    CableRow row;  // in the last pass; for a cable gone from the list, the last it had
    bool listed = true;
    Clock::time_point changed{};        // when a pass first saw the row as it is
    std::optional<CableNews> told;      // what the user knows of it; nothing when never OK
    std::optional<Clock::time_point> pendingSince;  // when its news began to wait
  };
  std::optional<CableNews> Pending(const Cable& cable) const;
  // When the news of every cable waiting may be told: each has settled, or has held the
  // others back for kLongestHold.
  std::optional<Clock::time_point> GroupDue() const;

  bool started_ = false;
  std::vector<Cable> cables_;
};

}  // namespace uvantic
