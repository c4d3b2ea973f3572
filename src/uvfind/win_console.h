// Text to a standard handle: to a console as Unicode, to a pipe or a file as UTF-8.
#pragma once

#include <windows.h>

#include <string_view>

namespace uvantic {

// False when the text could not all be written. A process started without the handle
// has nowhere to write: that is not a failure.
bool WriteStandard(DWORD standardHandle, std::wstring_view text);

}  // namespace uvantic
