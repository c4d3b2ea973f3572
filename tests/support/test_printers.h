// Readable failure messages for the program's own types, in the native and the Windows
// tests alike.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "discovery/device_state.h"
#include "discovery/registry_view.h"
#include "window/properties_command.h"

namespace uvantic {

inline std::string Printable(std::wstring_view text) {
  constexpr std::size_t kShown = 160;
  std::string out = "\"";
  for (const wchar_t c : text.substr(0, kShown)) {
    if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      out += "\\u" + std::to_string(static_cast<unsigned>(c));
    }
  }
  out += "\"";
  if (text.size() > kShown) out += "... (" + std::to_string(text.size()) + " characters)";
  return out;
}

inline void PrintTo(const RegistryData& data, std::ostream* os) {
  switch (data.kind()) {
    case RegistryData::Kind::Empty: *os << "Empty"; break;
    case RegistryData::Kind::Text: *os << "Text(" << Printable(*data.AsText()) << ")"; break;
    case RegistryData::Kind::Number: *os << "Number(" << *data.AsNumber() << ")"; break;
    case RegistryData::Kind::Unreadable: *os << "Unreadable"; break;
  }
}

inline const char* StatusName(CableStatus status) {
  constexpr const char* kNames[] = {"Ok", "NotPresent", "DriverNotLoaded", "Disabled"};
  return kNames[static_cast<int>(status)];
}
inline void PrintTo(CableStatus status, std::ostream* os) { *os << StatusName(status); }

inline void PrintTo(const DeviceState& state, std::ostream* os) {
  *os << "{port " << Printable(state.portName) << ", status " << StatusName(state.status) << ", cable "
      << Printable(state.cableId) << ", icon " << state.icon << (state.ghosted ? ", ghosted}" : "}");
}

inline void PrintTo(const InProcessSheet& sheet, std::ostream* os) {
  *os << "in process: " << Printable(sheet.commandLine);
}

inline void PrintTo(const OutOfProcessSheet& sheet, std::ostream* os) {
  *os << "out of process: " << Printable(sheet.program) << " " << Printable(sheet.commandLine) << " in "
      << Printable(sheet.directory) << " with " << Printable(sheet.library);
}

}  // namespace uvantic
