// Readable failure messages for the discovery types in tests.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "discovery/device_state.h"
#include "discovery/registry_view.h"

namespace uvantic {

inline std::string Printable(std::wstring_view text) {
  constexpr std::size_t kShown = 80;
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

inline void PrintTo(const DeviceState& state, std::ostream* os) {
  *os << "{port " << Printable(state.portName) << ", status " << Printable(state.status) << ", cable "
      << Printable(state.cableId) << ", icon " << state.icon << (state.ghosted ? ", ghosted}" : "}");
}

}  // namespace uvantic
