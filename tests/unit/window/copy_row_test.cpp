// Ctrl+C on the main window: which presses copy, and the line they copy.
#include <gtest/gtest.h>

#include "discovery/state_words.h"
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

// The copied row and what a screen reader hears of it say the same: the words for the
// icon and the dimming follow the status.
TEST(CopyRow, CellsAreTabSeparatedAndTheLineEndsInCrLf) {
  const struct {
    std::wstring_view port, status, cableId, words, copied, description;
  } cases[] = {
      {L"COM3", L"Driver not loaded", L"7&2A1B3C4D&0&0", L"", L"COM3\tDriver not loaded\t7&2A1B3C4D&0&0\r\n",
       L"Status: Driver not loaded, USB Cable ID: 7&2A1B3C4D&0&0"},
      {L"COM3", L"Driver not loaded", L"7&2A1B3C4D&0&0", L"not served by its driver",
       L"COM3\tDriver not loaded\t7&2A1B3C4D&0&0\tnot served by its driver\r\n",
       L"Status: Driver not loaded (not served by its driver), USB Cable ID: 7&2A1B3C4D&0&0"},
      {L"", L"Not present", L"", L"disabled, not served by its driver",
       L"\tNot present\t\tdisabled, not served by its driver\r\n",
       L"Status: Not present (disabled, not served by its driver), USB Cable ID: "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CopiedRowText(c.port, c.status, c.cableId, c.words), c.copied);
    EXPECT_EQ(RowDescription(c.status, c.words, c.cableId), c.description);
  }
}

}  // namespace
}  // namespace uvantic
