// Row order of the sorted device list.
#include "window/row_order.h"

namespace uvantic {

int CompareRows(int textComparison, int sortOrder, std::uint32_t firstId, std::uint32_t secondId) {
  if (textComparison != 0) {
    const int sign = textComparison < 0 ? -1 : 1;
    return sortOrder == 1 ? -sign : sign;
  }
  if (firstId == secondId) return 0;
  return firstId < secondId ? -1 : 1;
}

}  // namespace uvantic
