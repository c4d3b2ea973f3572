// Wide text to the system's ANSI code page, for the functions that take only that.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace uvantic {

// nullopt when some character has no exact ANSI form: a best-fit or default
// character would hand a different text to the function than the one we hold.
std::optional<std::string> ToAnsi(std::wstring_view text);

// The same for a given code page; nullopt also for text that is not valid UTF-16.
std::optional<std::string> ToCodePage(std::wstring_view text, unsigned codePage);

}  // namespace uvantic
