// The text uvfind prints for a list of cables, in each of its output forms, and the
// UTF-8 it becomes on a pipe or in a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "uvfind/cable_rows.h"
#include "uvfind/command_line.h"

namespace uvantic {

// Every line ends in CR LF. The table and the port list show a control character in a
// name as U+FFFD, so that a name can neither break a line nor send the terminal a
// command; the CSV quotes such a field and the JSON escapes it.
std::wstring FormatCables(const std::vector<CableRow>& cables, OutputFormat format);

// UTF-8 without a byte-order mark; a UTF-16 surrogate without its partner becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);

}  // namespace uvantic
