// The notifier's icon in the notification area and the news waiting for it, without
// Windows: when to add the icon, when to bring it up to date, what to keep while the
// shell cannot show it, and how soon to try again.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "notifier/notification.h"

namespace uvantic {

// The shell's calls for the notifier's one icon; each true when the shell took it. The
// icon's image is the one the caller last gave the implementation.
class TrayShell {
 public:
  virtual bool Add(const std::wstring& tooltip) = 0;     // image, tooltip and callbacks
  virtual bool Modify(const std::wstring& tooltip) = 0;  // the same, for an icon the shell has
  virtual void UseVersion4() = 0;
  virtual void Delete() = 0;
  virtual bool SetImage() = 0;
  virtual bool SetTooltip(const std::wstring& tooltip) = 0;
  virtual bool Notify(const Notification& notification) = 0;

 protected:
  ~TrayShell() = default;
};

class TrayPresence {
 public:
  // The first try again comes soon, as a shell busy at sign-in is ready a moment
  // later; each next one waits twice as long, up to kLongestRetry.
  static constexpr std::chrono::milliseconds kFirstRetry{1000};
  static constexpr std::chrono::milliseconds kLongestRetry{4000};

  TrayPresence(TrayShell& shell, const Texts& texts) : shell_(shell), texts_(texts) {}
  TrayPresence(const TrayPresence&) = delete;
  TrayPresence& operator=(const TrayPresence&) = delete;

  // Adds the icon when the shell does not have it, and shows the news kept.
  void Show();
  // One pass: its news are kept until shown, and the tooltip follows its cables.
  void OnPass(const std::vector<CableNotice>& news, const std::wstring& tooltip);
  // The image changed (another resolution): the icon takes it.
  void ImageChanged();
  // The shell was restarted and knows the icon no more.
  void Forget() { added_ = false; }
  // The session ends: the icon goes, and comes back only after Resume.
  void EndSession();
  void Resume() { ended_ = false; }
  // The window is destroyed: the icon goes, and nothing adds or changes it again.
  void Close();

  // The timer's call: tries again to add the icon and show the news kept.
  void Retry();
  // How long to wait before the next Retry; nullopt when the icon is there and nothing
  // is kept, or no icon may be shown.
  std::optional<std::chrono::milliseconds> RetryAfter() const;

  bool added() const { return added_; }
  const std::vector<CableNotice>& kept() const { return kept_; }

 private:
  bool Blocked() const { return ended_ || closed_; }
  void AddAndTell();
  void ShowKeptNews();

  TrayShell& shell_;
  const Texts& texts_;
  std::wstring tooltip_ = TooltipText({}, texts_);
  // News no icon could show yet (none added, or the shell refused them).
  std::vector<CableNotice> kept_;
  bool added_ = false;
  bool ended_ = false;
  bool closed_ = false;
  int retries_ = 0;  // tries since the icon or the news last got through
};

}  // namespace uvantic
