// Builds the property-sheet command line from a row's key, and the request around it.
#include "window/properties_command.h"

namespace uvantic {

namespace {
constexpr std::wstring_view kCommandLineStart = L"/MachineName \"\" /DeviceID \"";
constexpr std::wstring_view kNativeRundll32 = L"\\Sysnative\\rundll32.exe";
constexpr std::wstring_view kRundll32Entry = L"devmgr.dll,DeviceProperties_RunDLL ";
}  // namespace

std::optional<std::wstring> PropertiesCommandLine(std::wstring_view key) {
  if (key.empty() || key.find_first_of(std::wstring_view(L"\"\0", 2)) != std::wstring_view::npos) {
    return std::nullopt;
  }
  std::wstring line;
  line.reserve(kCommandLineStart.size() + key.size() + 1);
  line.append(kCommandLineStart).append(key).push_back(L'"');
  return line;
}

std::optional<PropertySheetRequest> PropertySheetRequestFor(std::wstring_view key, bool wow64,
                                                            std::wstring_view windowsDirectory) {
  auto commandLine = PropertiesCommandLine(key);
  if (!commandLine) return std::nullopt;
  if (!wow64) return PropertySheetRequest{{}, std::move(*commandLine), {}};
  if (windowsDirectory.empty() || windowsDirectory.find(L'"') != std::wstring_view::npos) return std::nullopt;
  PropertySheetRequest request{std::wstring(windowsDirectory).append(kNativeRundll32), {},
                               std::wstring(windowsDirectory)};
  request.commandLine.append(L"\"").append(request.program).append(L"\" ").append(kRundll32Entry).append(*commandLine);
  return request;
}

}  // namespace uvantic
