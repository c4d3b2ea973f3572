// What changed between two refresh passes: the events that uvfind --watch prints and
// that the notifier turns into notifications.
#pragma once

#include <string_view>
#include <vector>

#include "cables/cable_rows.h"

namespace uvantic {

enum class CableEvent { Added, Removed, Changed };

struct CableChange {
  CableEvent event = CableEvent::Added;
  CableRow row{};  // the row's new values; for Removed, the last ones it had

  friend bool operator==(const CableChange&, const CableChange&) = default;
};

// The events that turn one pass's rows (before) into the next pass's (after), rows
// matched by instance path: Added and Removed for rows that came and went, Changed for
// a row whose port, status, served or disabled state differs. Removed events come
// first, in before's order, then the others in after's order, so that a port given up
// and taken in one burst is free again before it is taken. With okOnly only the
// cables whose status is OK count: one that becomes OK is added, one that stops being
// OK is removed, and an OK cable whose port changes is changed.
std::vector<CableChange> CompareCables(const std::vector<CableRow>& before, const std::vector<CableRow>& after,
                                       bool okOnly);

}  // namespace uvantic
