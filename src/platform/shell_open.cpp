// Opens documents and addresses through the shell.
#include "platform/shell_open.h"

#include <shellapi.h>

#include "platform/ansi_text.h"

namespace uvantic {

bool ShellOpen(HWND owner, std::wstring_view fileOrAddress) {
  const auto file = ToAnsi(fileOrAddress);
  if (!file || file->empty()) return false;
  // Show command 0: the program the shell starts decides how its own window appears.
  ShellExecuteA(owner, nullptr, file->c_str(), nullptr, nullptr, 0);
  return true;
}

}  // namespace uvantic
