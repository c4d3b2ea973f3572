// The order of two rows of the device list while it is sorted by one column.
#pragma once

#include <cstdint>

namespace uvantic {

// textComparison is the comparison of the two rows' texts in the sort column
// (negative, 0, positive as the first text sorts before, with or after the second);
// sortOrder is 0 for ascending, 1 for descending. Rows with equal texts keep the
// order they were added in (the lower id first) whichever way the list runs, so
// re-sorting never shuffles them. Negative when the first row goes first.
int CompareRows(int textComparison, int sortOrder, std::uint32_t firstId, std::uint32_t secondId);

}  // namespace uvantic
