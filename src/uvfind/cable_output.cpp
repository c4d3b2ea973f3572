// The four output forms: an aligned table, bare port names, RFC 4180 CSV and JSON.
#include "uvfind/cable_output.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cwchar>
#include <iterator>

#include "discovery/state_words.h"

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

// Two spaces after each column but the last, which would only trail spaces; none after
// the last but one either when the last is empty.
template <std::size_t N>
void AppendAligned(std::wstring& text, const std::array<std::wstring, N>& line,
                   const std::array<std::size_t, N - 1>& widths) {
  for (std::size_t column = 0; column + 1 < N; ++column) {
    text += line[column];
    if (column + 2 == N && line[N - 1].empty()) break;
    text.append(std::max(widths[column], Width(line[column])) + 2 - Width(line[column]), L' ');
  }
  text += line[N - 1];
  text += kLineEnd;
}

// The table's last column says in words what the window's icon and dimming show.
constexpr std::wstring_view kNoteHeading = L"Note";

std::wstring Note(const CableRow& cable) { return StateWords(cable.status, cable.disabled, !cable.served); }

std::wstring Table(const std::vector<CableRow>& cables) {
  std::vector<std::array<std::wstring, 4>> lines{{L"COM Number", L"Status", L"USB Cable ID", std::wstring(kNoteHeading)}};
  for (const auto& cable : cables) {
    lines.push_back({Printable(cable.port), Printable(cable.status), Printable(cable.cableId), Note(cable)});
  }
  std::array<std::size_t, 3> widths{};
  for (const auto& line : lines) {
    for (std::size_t column = 0; column < 3; ++column) widths[column] = std::max(widths[column], Width(line[column]));
  }
  std::wstring text;
  for (const auto& line : lines) AppendAligned(text, line, widths);
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

constexpr std::wstring_view kCsvHeader = L"port,status,cable_id,served,disabled,instance_path";

// One row's fields, with no line end.
std::wstring CsvRow(const CableRow& cable) {
  std::wstring text = CsvField(cable.port) + L',' + CsvField(cable.status) + L',' + CsvField(cable.cableId) + L',';
  text += Boolean(cable.served);
  text += L',';
  text += Boolean(cable.disabled);
  return text + L',' + CsvField(cable.instancePath);
}

std::wstring Csv(const std::vector<CableRow>& cables) {
  std::wstring text(kCsvHeader);
  text += kLineEnd;
  for (const auto& cable : cables) text += CsvRow(cable) + std::wstring(kLineEnd);
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

// One row's members, without the braces around them.
std::wstring JsonMembers(const CableRow& cable) {
  std::wstring text = L"\"port\": " + JsonString(cable.port) + L", \"status\": " + JsonString(cable.status) +
                      L", \"cableId\": " + JsonString(cable.cableId) + L", \"served\": ";
  text += Boolean(cable.served);
  text += L", \"disabled\": ";
  text += Boolean(cable.disabled);
  return text + L", \"instancePath\": " + JsonString(cable.instancePath);
}

std::wstring Json(const std::vector<CableRow>& cables) {
  if (cables.empty()) return L"[]" + std::wstring(kLineEnd);
  std::wstring text = L"[";
  text += kLineEnd;
  for (std::size_t i = 0; i < cables.size(); ++i) {
    text += L"  {" + JsonMembers(cables[i]) + L"}";
    if (i + 1 < cables.size()) text += L',';
    text += kLineEnd;
  }
  return text + L"]" + std::wstring(kLineEnd);
}

std::wstring ClockTime(const LocalTime& time) {
  wchar_t text[16];
  std::swprintf(text, std::size(text), L"%02d:%02d:%02d", time.hour, time.minute, time.second);
  return text;
}

// ISO 8601 with milliseconds and the offset, "+00:00" rather than "Z" for UTC: the
// reader sees that it is the local clock.
std::wstring IsoTime(const LocalTime& time) {
  const int offset = time.utcOffsetMinutes < 0 ? -time.utcOffsetMinutes : time.utcOffsetMinutes;
  wchar_t text[48];
  std::swprintf(text, std::size(text), L"%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", time.year, time.month,
                time.day, time.hour, time.minute, time.second, time.millisecond,
                time.utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
  return text;
}

// The event table's columns are as wide as the longest event and status and the usual
// cable identifier, so that the lines of a stream line up without knowing what comes
// later; only a longer port name or identifier pushes the columns after it.
constexpr std::array<std::size_t, 5> kEventWidths{8, 7, 10, 17, 14};

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

std::wstring EventHeader(OutputFormat format) {
  std::wstring text;
  switch (format) {
    case OutputFormat::Json: break;
    case OutputFormat::Csv: text = L"time,event," + std::wstring(kCsvHeader) + std::wstring(kLineEnd); break;
    case OutputFormat::Table:
    case OutputFormat::Ports:
      AppendAligned(text,
                    std::array<std::wstring, 6>{L"Time", L"Event", L"COM Number", L"Status", L"USB Cable ID",
                                                std::wstring(kNoteHeading)},
                    kEventWidths);
  }
  return text;
}

std::wstring FormatEvent(const CableChange& change, const LocalTime& time, OutputFormat format) {
  const CableRow& row = change.row;
  const std::wstring event(EventName(change.event));
  std::wstring text;
  switch (format) {
    case OutputFormat::Json:
      return L"{\"time\": \"" + IsoTime(time) + L"\", \"event\": \"" + event + L"\", " + JsonMembers(row) + L"}" +
             std::wstring(kLineEnd);
    case OutputFormat::Csv: return IsoTime(time) + L',' + event + L',' + CsvRow(row) + std::wstring(kLineEnd);
    case OutputFormat::Table:
    case OutputFormat::Ports:
      AppendAligned(text,
                    std::array<std::wstring, 6>{ClockTime(time), event, Printable(row.port), Printable(row.status),
                                                Printable(row.cableId), Note(row)},
                    kEventWidths);
  }
  return text;
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
