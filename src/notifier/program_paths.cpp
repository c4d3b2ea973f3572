// Paths built from the notifier's own, with no Windows call.
#include "notifier/program_paths.h"

namespace uvantic {

std::wstring RunValueData(std::wstring_view executablePath) {
  return L"\"" + std::wstring(executablePath) + L"\"";
}

std::wstring FinderPathBeside(std::wstring_view notifierPath) {
  const std::size_t folderEnd = notifierPath.find_last_of(L'\\');
  const std::wstring_view folder = folderEnd == std::wstring_view::npos ? L"" : notifierPath.substr(0, folderEnd + 1);
  return std::wstring(folder) + L"UvanticFinder.exe";
}

}  // namespace uvantic
