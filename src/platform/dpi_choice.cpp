// The order of preference between the system's resolution readings.
#include "platform/dpi_choice.h"

namespace uvantic {

int ChooseWindowDpi(const DpiReading& window, const DpiReading& monitor, const DpiReading& system) {
  for (const DpiReading* reading : {&window, &monitor, &system}) {
    if (const std::optional<int> dpi = (*reading)(); dpi && *dpi > 0) return *dpi;
  }
  return kDesignDpi;
}

}  // namespace uvantic
