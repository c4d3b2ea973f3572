// Two passes' rows compared by instance path, whose letter case the registry ignores.
#include "cables/cable_events.h"

#include <map>
#include <string>

#include "discovery/registry_name.h"

namespace uvantic {
namespace {

bool RowChanged(const CableRow& before, const CableRow& after) {
  return before.port != after.port || before.status != after.status || before.served != after.served ||
         before.disabled != after.disabled;
}

std::vector<CableChange> Compare(const std::vector<CableRow>& before, const std::vector<CableRow>& after) {
  std::map<std::wstring_view, const CableRow*, RegistryNameLess> earlier;
  for (const CableRow& row : before) earlier.emplace(row.instancePath, &row);
  std::map<std::wstring_view, const CableRow*, RegistryNameLess> later;
  for (const CableRow& row : after) later.emplace(row.instancePath, &row);

  std::vector<CableChange> changes;
  for (const CableRow& row : before) {
    if (!later.contains(row.instancePath)) changes.push_back({CableEvent::Removed, row});
  }
  for (const CableRow& row : after) {
    const auto found = earlier.find(row.instancePath);
    if (found == earlier.end()) {
      changes.push_back({CableEvent::Added, row});
    } else if (RowChanged(*found->second, row)) {
      changes.push_back({CableEvent::Changed, row});
    }
  }
  return changes;
}

}  // namespace

// Among OK cables only the port can differ: an OK row is always served and never
// disabled, so the general comparison gives the --ok rules.
std::vector<CableChange> CompareCables(const std::vector<CableRow>& before, const std::vector<CableRow>& after,
                                       bool okOnly) {
  if (!okOnly) return Compare(before, after);
  return Compare(OkCables(before), OkCables(after));
}

}  // namespace uvantic
