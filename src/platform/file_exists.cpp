// One attribute query, which needs no rights on the file itself.
#include "platform/file_exists.h"

#include <windows.h>

namespace uvantic {

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace uvantic
