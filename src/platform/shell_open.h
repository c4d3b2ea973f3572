// Hands a document or an address to the program the system associates with it.
#pragma once

#include <windows.h>

#include <string_view>

namespace uvantic {

// ShellExecuteA with the default verb, no parameters, no directory and show command
// 0, owned by owner. The shell's result is not examined: any message comes from the
// shell itself. False only when the text has no ANSI form and nothing was started.
bool ShellOpen(HWND owner, std::wstring_view fileOrAddress);

}  // namespace uvantic
