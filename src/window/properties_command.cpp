// Builds the property-sheet command line from a row's key, and the request around it.
#include "window/properties_command.h"

namespace uvantic {

namespace {
constexpr std::wstring_view kCommandLineStart = L"/MachineName \"\" /DeviceID \"";
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

std::optional<PropertySheetRequest> PropertySheetRequestFor(std::wstring_view key, Machine program, Machine native,
                                                            std::wstring_view windowsDirectory) {
  auto commandLine = PropertiesCommandLine(key);
  if (!commandLine) return std::nullopt;
  if (program == native) return InProcessSheet{std::move(*commandLine)};
  if (windowsDirectory.empty() || windowsDirectory.find(L'"') != std::wstring_view::npos) return std::nullopt;
  const std::wstring system =
      std::wstring(windowsDirectory).append(program == Machine::x86 ? L"\\Sysnative\\" : L"\\System32\\");
  OutOfProcessSheet sheet{system + L"rundll32.exe", {}, std::wstring(windowsDirectory), system + L"devmgr.dll"};
  sheet.commandLine.append(L"\"").append(sheet.program).append(L"\" ").append(kRundll32Entry).append(*commandLine);
  return sheet;
}

}  // namespace uvantic
