// The notification texts, grouped by what happened, in the order the list shows ports.
#include "notifier/notification.h"

#include <array>

#include "cables/cable_events.h"
#include "discovery/device_state.h"
#include "discovery/registry_name.h"

namespace uvantic {
namespace {

enum class News { Ready, Unplugged, Disabled, DriverNotLoaded };
constexpr std::array kNewsOrder{News::Ready, News::Unplugged, News::Disabled, News::DriverNotLoaded};

// What became of an OK cable, from its row in the later pass (none: uninstalled).
News Stopped(const CableRow* now) {
  if (now == nullptr) return News::Unplugged;
  // A cable disabled in Device Manager also stops being served: the disabling is the news.
  if (now->disabled || now->status == kStatusDisabled) return News::Disabled;
  if (!now->served) return News::Unplugged;
  if (now->status == kStatusDriverNotLoaded) return News::DriverNotLoaded;
  return News::Unplugged;
}

// A port name as a line of the notification can show it: a control character would
// break the line, so it becomes U+FFFD.
std::wstring ShownPort(const std::wstring& port) {
  std::wstring shown = port;
  for (wchar_t& c : shown) {
    if (c < 0x20 || c == 0x7F) c = L'\uFFFD';
  }
  return shown;
}

std::wstring OneCable(News news, const CableRow& row) {
  const std::wstring port = row.port.empty() ? L"A cable" : ShownPort(row.port);
  const std::wstring cable = L" (cable " + ShownPort(row.cableId) + L")";
  switch (news) {
    case News::Ready: return port + L" is ready" + cable;
    case News::Unplugged: return port + L" was unplugged" + cable;
    case News::Disabled: return port + L" was disabled" + cable;
    case News::DriverNotLoaded: break;
  }
  return port + L": driver not loaded" + cable;
}

std::wstring SeveralCables(News news, const std::vector<const CableRow*>& rows) {
  std::wstring text = std::to_wstring(rows.size());
  switch (news) {
    case News::Ready: text += L" cables ready: "; break;
    case News::Unplugged: text += L" cables unplugged: "; break;
    case News::Disabled: text += L" cables disabled: "; break;
    case News::DriverNotLoaded: text += L" cables, driver not loaded: "; break;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i > 0) text += L", ";
    text += rows[i]->port.empty() ? L"?" : ShownPort(rows[i]->port);
  }
  return text;
}

std::wstring Title(News news, bool several) {
  switch (news) {
    case News::Ready: return several ? L"Cables ready" : L"Cable ready";
    case News::Unplugged: return several ? L"Cables unplugged" : L"Cable unplugged";
    case News::Disabled: return several ? L"Cables disabled" : L"Cable disabled";
    case News::DriverNotLoaded: break;
  }
  return L"Driver not loaded";
}

}  // namespace

std::wstring FitText(std::wstring_view text, std::size_t capacity) {
  if (capacity == 0) return {};
  if (text.size() < capacity) return std::wstring(text);
  if (capacity == 1) return {};
  std::size_t keep = capacity - 2;  // room for the ellipsis and the terminating zero
  if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) --keep;
  return std::wstring(text.substr(0, keep)) + L'\u2026';
}

std::optional<Notification> NotificationFor(const std::vector<CableRow>& before, const std::vector<CableRow>& after) {
  std::array<std::vector<const CableRow*>, kNewsOrder.size()> groups;
  const auto changes = CompareCables(before, after, true);
  for (const CableChange& change : changes) {
    if (change.event == CableEvent::Added) {
      groups[static_cast<std::size_t>(News::Ready)].push_back(&change.row);
    } else if (change.event == CableEvent::Removed) {
      const CableRow* now = nullptr;
      for (const CableRow& row : after) {
        if (SameRegistryName(row.instancePath, change.row.instancePath)) now = &row;
      }
      groups[static_cast<std::size_t>(Stopped(now))].push_back(&change.row);
    }
  }

  Notification notification;
  int kinds = 0;
  for (const News news : kNewsOrder) {
    const auto& rows = groups[static_cast<std::size_t>(news)];
    if (rows.empty()) continue;
    if (kinds++ > 0) notification.text += L'\n';
    notification.text += rows.size() == 1 ? OneCable(news, *rows.front()) : SeveralCables(news, rows);
    notification.title = Title(news, rows.size() > 1);
    notification.warning = notification.warning || news == News::DriverNotLoaded;
  }
  if (kinds == 0) return std::nullopt;
  if (kinds > 1) notification.title = L"Cables changed";
  notification.title = FitText(notification.title, kNotificationTitleCapacity);
  notification.text = FitText(notification.text, kNotificationTextCapacity);
  return notification;
}

std::wstring TooltipText(const std::vector<CableRow>& cables) {
  if (cables.empty()) return L"Uvantic Finder: no cables";
  std::size_t ok = 0;
  for (const CableRow& cable : cables) ok += cable.status == kStatusOk ? 1 : 0;
  std::wstring text = L"Uvantic Finder: " + std::to_wstring(cables.size()) +
                      (cables.size() == 1 ? L" cable, " : L" cables, ") +
                      (ok == 0 ? std::wstring(L"none") : std::to_wstring(ok)) + L" OK";
  return FitText(text, kTooltipCapacity);
}

std::optional<Notification> CableNotices::Pass(std::vector<CableRow> cables) {
  std::optional<Notification> notification;
  if (previous_) notification = NotificationFor(*previous_, cables);
  previous_ = std::move(cables);
  return notification;
}

}  // namespace uvantic
