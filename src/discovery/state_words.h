// What a row's icon and dimming tell, in words, for those who cannot see them: screen
// readers, the copied row and uvfind's table.
#pragma once

#include <string>
#include <string_view>

namespace uvantic {

inline constexpr std::wstring_view kWordsNotServed = L"not served by its driver";
inline constexpr std::wstring_view kWordsDisabled = L"disabled";

// "disabled" for a row with the disabled icon, unless its status already says
// "Disabled"; "not served by its driver" for a dimmed row (its instance is not in the
// driver's list); both, in that order, separated by a comma; empty when the icon and the
// dimming tell nothing the status does not. The words never say "not plugged in": a
// disabled cable and a plugged cable whose driver failed are dimmed too, and no status
// the registry holds proves a cable unplugged.
std::wstring StateWords(std::wstring_view status, bool disabledIcon, bool ghosted);

// A list row as a screen reader describes it: the status, with the row's state words
// in brackets after it, and the cable identifier, each after its column's heading.
std::wstring RowDescription(std::wstring_view status, std::wstring_view words, std::wstring_view cableId);

}  // namespace uvantic
