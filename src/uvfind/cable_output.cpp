// The four output forms: an aligned table, bare port names, RFC 4180 CSV and JSON.
#include "uvfind/cable_output.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace uvantic {
namespace {

constexpr std::wstring_view kLineEnd = L"\r\n";
constexpr wchar_t kReplacement = 0xFFFD;

bool IsControl(wchar_t c) { return c < 0x20 || c == 0x7F; }

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::wstring Printable(std::wstring_view text) {
  std::wstring printable(text);
  std::replace_if(printable.begin(), printable.end(), IsControl, kReplacement);
  return printable;
}

// Characters as a console shows them: a surrogate pair is one.
std::size_t Width(std::wstring_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](wchar_t c) {
    return !IsLowSurrogate(static_cast<char32_t>(c));
  }));
}

std::wstring Table(const std::vector<CableRow>& cables) {
  std::vector<std::array<std::wstring, 3>> lines{{L"COM Number", L"Status", L"USB Cable ID"}};
  for (const auto& cable : cables) {
    lines.push_back({Printable(cable.port), Printable(cable.status), Printable(cable.cableId)});
  }
  std::array<std::size_t, 3> widths{};
  for (const auto& line : lines) {
    for (std::size_t column = 0; column < 3; ++column) widths[column] = std::max(widths[column], Width(line[column]));
  }
  // Two spaces after each column but the last, which would only trail spaces.
  std::wstring text;
  for (const auto& line : lines) {
    for (std::size_t column = 0; column < 2; ++column) {
      text += line[column];
      text.append(widths[column] + 2 - Width(line[column]), L' ');
    }
    text += line[2];
    text += kLineEnd;
  }
  return text;
}

std::wstring Ports(const std::vector<CableRow>& cables) {
  std::wstring text;
  for (const auto& cable : cables) {
    text += Printable(cable.port);
    text += kLineEnd;
  }
  return text;
}

std::wstring CsvField(std::wstring_view field) {
  if (field.find_first_of(L",\"\r\n") == std::wstring_view::npos) return std::wstring(field);
  std::wstring quoted = L"\"";
  for (const wchar_t c : field) {
    if (c == L'"') quoted += L'"';
    quoted += c;
  }
  return quoted + L'"';
}

std::wstring_view Boolean(bool value) { return value ? L"true" : L"false"; }

std::wstring Csv(const std::vector<CableRow>& cables) {
  std::wstring text = L"port,status,cable_id,served,disabled,instance_path";
  text += kLineEnd;
  for (const auto& cable : cables) {
    text += CsvField(cable.port) + L',' + CsvField(cable.status) + L',' + CsvField(cable.cableId) + L',';
    text += Boolean(cable.served);
    text += L',';
    text += Boolean(cable.disabled);
    text += L',' + CsvField(cable.instancePath) + std::wstring(kLineEnd);
  }
  return text;
}

std::wstring JsonString(std::wstring_view text) {
  std::wstring escaped = L"\"";
  for (const wchar_t c : text) {
    switch (c) {
      case L'"': escaped += L"\\\""; break;
      case L'\\': escaped += L"\\\\"; break;
      case L'\b': escaped += L"\\b"; break;
      case L'\f': escaped += L"\\f"; break;
      case L'\n': escaped += L"\\n"; break;
      case L'\r': escaped += L"\\r"; break;
      case L'\t': escaped += L"\\t"; break;
      default:
        if (const auto code = static_cast<std::uint32_t>(c); code < 0x20) {
          constexpr wchar_t kHex[] = L"0123456789abcdef";
          escaped += L"\\u00";
          escaped += kHex[code >> 4];
          escaped += kHex[code & 0xF];
        } else {
          escaped += c;
        }
    }
  }
  return escaped + L'"';
}

std::wstring Json(const std::vector<CableRow>& cables) {
  if (cables.empty()) return L"[]" + std::wstring(kLineEnd);
  std::wstring text = L"[";
  text += kLineEnd;
  for (std::size_t i = 0; i < cables.size(); ++i) {
    const CableRow& cable = cables[i];
    text += L"  {\"port\": " + JsonString(cable.port) + L", \"status\": " + JsonString(cable.status) +
            L", \"cableId\": " + JsonString(cable.cableId) + L", \"served\": ";
    text += Boolean(cable.served);
    text += L", \"disabled\": ";
    text += Boolean(cable.disabled);
    text += L", \"instancePath\": " + JsonString(cable.instancePath) + L"}";
    if (i + 1 < cables.size()) text += L',';
    text += kLineEnd;
  }
  return text + L"]" + std::wstring(kLineEnd);
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::wstring FormatCables(const std::vector<CableRow>& cables, OutputFormat format) {
  switch (format) {
    case OutputFormat::Ports: return Ports(cables);
    case OutputFormat::Csv: return Csv(cables);
    case OutputFormat::Json: return Json(cables);
    case OutputFormat::Table: break;
  }
  return Table(cables);
}

std::string ToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace uvantic
