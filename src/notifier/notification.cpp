// The notification texts, grouped by what happened, in the order the list shows ports,
// and the settling of each cable's news from pass to pass.
#include "notifier/notification.h"

#include <algorithm>
#include <array>
#include <map>

#include "discovery/device_state.h"
#include "discovery/registry_name.h"

namespace uvantic {
namespace {

constexpr std::array kNewsOrder{CableNews::Ready, CableNews::Unplugged, CableNews::Disabled,
                                CableNews::DriverNotLoaded};

// A port name as a line of the notification can show it: a control character would
// break the line, so it becomes U+FFFD.
std::wstring ShownPort(const std::wstring& port) {
  std::wstring shown = port;
  for (wchar_t& c : shown) {
    if (c < 0x20 || c == 0x7F) c = L'\uFFFD';
  }
  return shown;
}

// The texts of one kind of news: for one cable, for one without a port name, for
// several, and the titles for one and for several.
struct NewsTexts {
  TextId one, oneWithoutPort, several, titleOne, titleSeveral;
};

NewsTexts TextsOf(CableNews news) {
  switch (news) {
    case CableNews::Unplugged:
      return {TextId::NotifyUnplugged, TextId::NotifyUnpluggedNoPort, TextId::NotifyUnpluggedOther,
              TextId::TitleUnpluggedOne, TextId::TitleUnpluggedOther};
    case CableNews::Disabled:
      return {TextId::NotifyDisabled, TextId::NotifyDisabledNoPort, TextId::NotifyDisabledOther,
              TextId::TitleDisabledOne, TextId::TitleDisabledOther};
    case CableNews::DriverNotLoaded:
      return {TextId::NotifyDriverNotLoaded, TextId::NotifyDriverNotLoadedNoPort, TextId::NotifyDriverNotLoadedOther,
              TextId::TitleDriverNotLoadedOne, TextId::TitleDriverNotLoadedOther};
    case CableNews::Ready: break;
  }
  return {TextId::NotifyReady, TextId::NotifyReadyNoPort, TextId::NotifyReadyOther, TextId::TitleReadyOne,
          TextId::TitleReadyOther};
}

std::wstring OneCable(const NewsTexts& news, const CableRow& row, const Texts& texts) {
  const std::wstring cable = ShownPort(row.cableId);
  if (row.port.empty()) return FillIn(texts.Text(news.oneWithoutPort), {{L"cable", cable}});
  return FillIn(texts.Text(news.one), {{L"port", ShownPort(row.port)}, {L"cable", cable}});
}

std::wstring SeveralCables(const NewsTexts& news, const std::vector<const CableRow*>& rows, const Texts& texts) {
  const std::wstring separator = texts.Text(TextId::PortSeparator);
  std::wstring ports;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i > 0) ports += separator;
    ports += rows[i]->port.empty() ? texts.Text(TextId::PortUnknown) : ShownPort(rows[i]->port);
  }
  return FillIn(texts.Text(news.several), {{L"count", std::to_wstring(rows.size())}, {L"ports", ports}});
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

CableNews NewsOf(const CableRow* row) {
  if (row == nullptr) return CableNews::Unplugged;
  if (row->status == CableStatus::Ok) return CableNews::Ready;
  // A cable disabled in Device Manager also stops being served: the disabling is the news.
  if (row->disabled || row->status == CableStatus::Disabled) return CableNews::Disabled;
  if (!row->served) return CableNews::Unplugged;
  if (row->status == CableStatus::DriverNotLoaded) return CableNews::DriverNotLoaded;
  return CableNews::Unplugged;
}

std::optional<Notification> NotificationFor(const std::vector<CableNotice>& notices, const Texts& texts) {
  std::array<std::vector<const CableRow*>, kNewsOrder.size()> groups;
  for (const CableNotice& notice : notices) groups[static_cast<std::size_t>(notice.news)].push_back(&notice.row);

  Notification notification;
  int kinds = 0;
  for (const CableNews news : kNewsOrder) {
    const auto& rows = groups[static_cast<std::size_t>(news)];
    if (rows.empty()) continue;
    if (kinds++ > 0) notification.text += L'\n';
    const NewsTexts newsTexts = TextsOf(news);
    notification.text += rows.size() == 1 ? OneCable(newsTexts, *rows.front(), texts) : SeveralCables(newsTexts, rows, texts);
    notification.title = texts.Text(rows.size() == 1 ? newsTexts.titleOne : newsTexts.titleSeveral);
    notification.warning = notification.warning || news == CableNews::DriverNotLoaded;
  }
  if (kinds == 0) return std::nullopt;
  if (kinds > 1) notification.title = texts.Text(TextId::TitleChanged);
  notification.title = FitText(notification.title, kNotificationTitleCapacity);
  notification.text = FitText(notification.text, kNotificationTextCapacity);
  return notification;
}

void KeepLatest(std::vector<CableNotice>& kept, const std::vector<CableNotice>& later) {
  for (const CableNotice& notice : later) {
    const auto same = std::find_if(kept.begin(), kept.end(), [&](const CableNotice& earlier) {
      return SameRegistryName(earlier.row.instancePath, notice.row.instancePath);
    });
    if (same == kept.end()) {
      kept.push_back(notice);
    } else {
      *same = notice;
    }
  }
}

std::wstring TooltipText(const std::vector<CableRow>& cables, const Texts& texts) {
  std::size_t ok = 0;
  for (const CableRow& cable : cables) ok += cable.status == CableStatus::Ok ? 1 : 0;
  std::wstring text;
  if (cables.empty()) {
    text = texts.Text(TextId::TooltipNoCables);
  } else if (cables.size() == 1) {
    text = texts.Text(ok == 0 ? TextId::TooltipOneCableNoneOk : TextId::TooltipOneCableOk);
  } else {
    text = FillIn(texts.Text(ok == 0 ? TextId::TooltipCablesNoneOk : TextId::TooltipCablesOther),
                  {{L"count", std::to_wstring(cables.size())}, {L"ok", std::to_wstring(ok)}});
  }
  return FitText(text, kTooltipCapacity);
}

// The news a cable waits to have told once it has settled: it stopped being OK, or its
// told reason is no longer the one it has.
std::optional<CableNews> CableNotices::Pending(const Cable& cable) const {
  const CableNews news = NewsOf(cable.listed ? &cable.row : nullptr);
  if (news == CableNews::Ready || !cable.told || *cable.told == news) return std::nullopt;
  return news;
}

std::vector<CableNotice> CableNotices::Pass(const std::vector<CableRow>& cables, Clock::time_point now) {
  // Each row finds the cable it was in the last pass, by instance path. The map owns its
  // keys, as the cables' paths are moved out while it is read.
  std::map<std::wstring, std::size_t, RegistryNameLess> known;
  for (std::size_t i = 0; i < cables_.size(); ++i) known.emplace(cables_[i].row.instancePath, i);
  std::vector<bool> found(cables_.size(), false);
  std::vector<Cable> next;
  next.reserve(cables.size());
  for (const CableRow& row : cables) {
    const auto match = known.find(row.instancePath);
    if (match == known.end() || found[match->second]) {
      const bool ready = !started_ && NewsOf(&row) == CableNews::Ready;
      next.push_back({row, true, now, ready ? std::optional(CableNews::Ready) : std::nullopt, std::nullopt});
      continue;
    }
    found[match->second] = true;
    Cable cable = std::move(cables_[match->second]);
    if (!cable.listed || cable.row != row) cable.changed = now;
    cable.row = row;
    cable.listed = true;
    next.push_back(std::move(cable));
  }
  // A cable gone from the list stays while the user has still to hear it was unplugged.
  for (std::size_t i = 0; i < cables_.size(); ++i) {
    Cable& gone = cables_[i];
    if (found[i] || !gone.told || *gone.told == CableNews::Unplugged) continue;
    if (gone.listed) gone.changed = now;
    gone.listed = false;
    next.push_back(std::move(gone));
  }
  cables_ = std::move(next);
  for (Cable& cable : cables_) {
    cable.pendingSince = Pending(cable) ? std::optional(cable.pendingSince.value_or(now)) : std::nullopt;
  }
  if (!started_) {
    started_ = true;
    return {};
  }

  // The news of cables that stopped being OK wait until every such cable has held
  // still, so that a hub's cables, unplugged over several passes, make one notification.
  const auto due = GroupDue();
  const bool groupDue = !due || *due <= now;
  std::vector<CableNotice> notices;
  for (Cable& cable : cables_) {
    const CableNews news = NewsOf(cable.listed ? &cable.row : nullptr);
    const bool settled = groupDue && cable.changed + kSettleTime <= now;
    const bool tell = news == CableNews::Ready ? cable.told != CableNews::Ready : settled && Pending(cable);
    if (!tell) continue;
    notices.push_back({news, cable.row});
    cable.told = news;
  }
  std::erase_if(cables_, [](const Cable& cable) { return !cable.listed && cable.told == CableNews::Unplugged; });
  return notices;
}

std::optional<CableNotices::Clock::time_point> CableNotices::GroupDue() const {
  std::optional<Clock::time_point> due;
  for (const Cable& cable : cables_) {
    if (!Pending(cable)) continue;
    Clock::time_point held = cable.changed + kSettleTime;
    if (cable.pendingSince) held = std::min(held, *cable.pendingSince + kLongestHold);
    if (!due || *due < held) due = held;
  }
  return due;
}

// Once the group is due, each cable still waiting is told when it has settled itself.
std::optional<CableNotices::Clock::time_point> CableNotices::NextDue() const {
  const auto group = GroupDue();
  if (!group) return std::nullopt;
  std::optional<Clock::time_point> first;
  for (const Cable& cable : cables_) {
    if (Pending(cable) && (!first || cable.changed + kSettleTime < *first)) first = cable.changed + kSettleTime;
  }
  return std::max(*group, *first);
}

}  // namespace uvantic
