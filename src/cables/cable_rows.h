// The installed cables as uvfind and the notifier read them: the rows of the window's
// first refresh pass, in the window's order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "discovery/device_state.h"
#include "discovery/registry_view.h"

namespace uvantic {

struct CableRow {
  std::wstring port{};
  CableStatus status = CableStatus::NotPresent;
  std::wstring cableId{};
  bool served = false;    // the driver lists it: the window does not dim the row
  bool disabled = false;  // the row carries the disabled icon
  std::wstring instancePath{};

  friend bool operator==(const CableRow&, const CableRow&) = default;
};

// Negative, 0 or positive as the first text sorts before, with or after the second.
using TextComparison = std::function<int(const std::wstring&, const std::wstring&)>;

// One refresh pass over an empty list, as the window runs when it opens, then the rows
// in the order the window shows them: by port name under compare, rows with equal
// names in the order the registry enumerates them. Nothing it reads can end it.
std::vector<CableRow> ListCables(const RegistryView& view, const TextComparison& compare);

// The cables whose status is OK.
std::vector<CableRow> OkCables(std::vector<CableRow> cables);

}  // namespace uvantic
