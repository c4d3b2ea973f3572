// A cable's state in words: its status, and what a row's icon and dimming tell for
// those who cannot see them (screen readers, the copied row and uvfind's table).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "discovery/device_state.h"
#include "texts/texts.h"

namespace uvantic {

// The status column's text for a status.
TextId StatusText(CableStatus status);

// "disabled" for a row with the disabled icon, unless its status already says
// Disabled; "not served by its driver" for a dimmed row; both for a row that is both;
// nullopt when the icon and the dimming tell nothing the status does not. The dimming
// says only that the driver does not list the cable, which is true of a cable unplugged,
// disabled or whose driver failed, so the words claim no more than that.
std::optional<TextId> StateWords(std::optional<CableStatus> status, bool disabledIcon, bool ghosted);

// The words, or nothing.
std::wstring StateWordsText(const Texts& texts, std::optional<TextId> words);

// A list row as a screen reader describes it: the status, with the row's state words
// in brackets after it, and the cable identifier, each after its column's heading.
std::wstring RowDescription(const Texts& texts, std::wstring_view status, std::optional<TextId> words,
                            std::wstring_view cableId);

}  // namespace uvantic
