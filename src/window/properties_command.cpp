// Builds the property-sheet command line from a row's key.
#include "window/properties_command.h"

namespace uvantic {

namespace {
constexpr std::wstring_view kCommandLineStart = L"/MachineName \"\" /DeviceID \"";
}

std::optional<std::wstring> PropertiesCommandLine(std::wstring_view key) {
  if (key.empty() || key.find_first_of(std::wstring_view(L"\"\0", 2)) != std::wstring_view::npos) {
    return std::nullopt;
  }
  std::wstring line;
  line.reserve(kCommandLineStart.size() + key.size() + 1);
  line.append(kCommandLineStart).append(key).push_back(L'"');
  return line;
}

}  // namespace uvantic
