// Ctrl+C on the main window: which presses copy, and the line they copy.
#include <gtest/gtest.h>

#include "window/copy_row.h"

namespace uvantic {
namespace {

TEST(CopyRow, OnlyCtrlWithCAloneCopies) {
  const struct {
    int keyCode;
    int shift;
    bool copies;
  } cases[] = {
      {'C', kCtrlMask, true},
      {'C', 0, false},
      {'C', kShiftMask, false},
      {'C', kCtrlMask | kShiftMask, false},
      {'C', kCtrlMask | kAltMask, false},  // AltGr
      {'V', kCtrlMask, false},
      {'c', kCtrlMask, false},  // a character code, never a key code
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeyCopiesRow(c.keyCode, c.shift), c.copies) << c.keyCode << " with " << c.shift;
  }
}

TEST(CopyRow, CellsAreTabSeparatedAndTheLineEndsInCrLf) {
  EXPECT_EQ(CopiedRowText(L"COM3", L"Driver not loaded", L"7&2A1B3C4D&0&0"),
            L"COM3\tDriver not loaded\t7&2A1B3C4D&0&0\r\n");
  EXPECT_EQ(CopiedRowText(L"", L"Not present", L""), L"\tNot present\t\r\n");
}

}  // namespace
}  // namespace uvantic
