// Ctrl+C on the main window: the key and the text.
#include "window/copy_row.h"

namespace uvantic {

bool KeyCopiesRow(int keyCode, int shift) { return keyCode == 'C' && shift == kCtrlMask; }

std::wstring CopiedRowText(std::wstring_view port, std::wstring_view status, std::wstring_view cableId,
                           std::wstring_view words) {
  std::wstring text;
  text.reserve(port.size() + status.size() + cableId.size() + words.size() + 5);
  text.append(port).append(1, L'\t').append(status).append(1, L'\t').append(cableId);
  if (!words.empty()) text.append(1, L'\t').append(words);
  return text.append(L"\r\n");
}

}  // namespace uvantic
