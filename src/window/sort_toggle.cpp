// The header-click sort toggle.
#include "window/sort_toggle.h"

namespace uvantic {

SortState ToggledSortState(SortState current, int headerIndex) {
  if (headerIndex < 1 || headerIndex > kSortColumnCount) return current;
  const int column = headerIndex - 1;
  if (current.key == column && current.order == kSortAscending) return {column, kSortDescending};
  return {column, kSortAscending};
}

}  // namespace uvantic
