// Ready-made sets of cables for demonstrations and measurements.
#pragma once

#include <vector>

#include "scenario_registry.h"

namespace uvantic::e2e {

// One cable in each setup, and a second working one.
std::vector<Cable> DemoCables();

// count working cables on COM3, COM4, ...
std::vector<Cable> StartedCables(int count);

}  // namespace uvantic::e2e
