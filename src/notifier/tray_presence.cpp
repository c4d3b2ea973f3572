// The icon's life in the notification area: added, refused, forgotten, tried again.
#include "notifier/tray_presence.h"

#include <algorithm>

namespace uvantic {

// A shell restarted has forgotten the icon; one that kept it refuses a second add, and
// then the icon is brought up to date instead. A message that ends the session or
// destroys the window can come while the shell is asked: what it added then goes.
void TrayPresence::Show() {
  AddAndTell();
  if (!RetryAfter()) retries_ = 0;
}

void TrayPresence::AddAndTell() {
  if (Blocked()) return;
  if (!added_) {
    const bool added = shell_.Add(tooltip_) || shell_.Modify(tooltip_);
    if (added && Blocked()) {
      shell_.Delete();
      return;
    }
    added_ = added;
    if (!added_) return;
    shell_.UseVersion4();
  }
  ShowKeptNews();
}

// A refusal means the icon is gone: it is added again, here or at the next try.
void TrayPresence::OnPass(const std::vector<CableNotice>& news, const std::wstring& tooltip) {
  KeepLatest(kept_, news);
  if (tooltip != tooltip_) {
    tooltip_ = tooltip;
    if (added_ && !Blocked() && !shell_.SetTooltip(tooltip_)) added_ = false;
  }
  Show();
}

void TrayPresence::ImageChanged() {
  if (added_ && !Blocked() && !shell_.SetImage()) added_ = false;
  Show();
}

// Also when the icon does not count as added: the end can come while Add waits for the
// shell's answer, before added_ is set.
void TrayPresence::EndSession() {
  ended_ = true;
  shell_.Delete();
  added_ = false;
}

void TrayPresence::Close() {
  if (closed_) return;
  closed_ = true;
  shell_.Delete();
  added_ = false;
}

// A notification the shell refuses stays kept: the icon is gone, and is added again.
void TrayPresence::ShowKeptNews() {
  if (kept_.empty() || !added_) return;
  const auto notification = NotificationFor(kept_, texts_);
  if (notification && !shell_.Notify(*notification)) {
    added_ = false;
    return;
  }
  kept_.clear();
}

void TrayPresence::Retry() {
  ++retries_;
  Show();
}

std::optional<std::chrono::milliseconds> TrayPresence::RetryAfter() const {
  if (Blocked() || (added_ && kept_.empty())) return std::nullopt;
  return std::min(kFirstRetry * (1 << std::min(retries_, 3)), kLongestRetry);
}

}  // namespace uvantic
