// What a click on a column header does to the list's sort column and order.
#pragma once

namespace uvantic {

inline constexpr int kSortAscending = 0;
inline constexpr int kSortDescending = 1;
inline constexpr int kSortColumnCount = 3;

struct SortState {
  int key = 0;  // 0-based sort column
  int order = kSortAscending;

  friend bool operator==(const SortState&, const SortState&) = default;
};

// The state after a click on the header with 1-based index headerIndex: the
// ascending sort column turns descending, any other click sorts that column
// ascending. A header index outside the list's columns leaves the state alone.
SortState ToggledSortState(SortState current, int headerIndex);

// Reads the list's sort column and order afresh and writes the toggled state back:
// the column first, then the order, each only when it changes, so the list reorders
// only when something moved. List needs SortKey(), SortOrder(), SetSortKey(int) and
// SetSortOrder(int).
template <typename List>
void ToggleSort(List& list, int headerIndex) {
  const SortState current{static_cast<int>(list.SortKey()), static_cast<int>(list.SortOrder())};
  const SortState next = ToggledSortState(current, headerIndex);
  if (next.key != current.key) list.SetSortKey(next.key);
  if (next.order != current.order) list.SetSortOrder(next.order);
}

}  // namespace uvantic
