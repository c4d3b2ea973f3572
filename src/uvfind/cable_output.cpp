// The four output forms: an aligned table, bare port names, RFC 4180 CSV and JSON.
#include "uvfind/cable_output.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cwchar>
#include <iterator>

#include "texts/state_words.h"
#include "uvfind/machine_words.h"

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

// The wide characters of the scripts we print, which a console gives two columns: Hangul
// Jamo, CJK punctuation to Yi, Hangul syllables, CJK compatibility ideographs and forms,
// and fullwidth forms.
bool IsWide(wchar_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6);
}

// Columns as a console shows them: a surrogate pair is one character, and a wide one
// takes two columns.
std::size_t Width(std::wstring_view text) {
  std::size_t width = 0;
  for (const wchar_t c : text) {
    if (!IsLowSurrogate(static_cast<char32_t>(c))) width += IsWide(c) ? 2 : 1;
  }
  return width;
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
std::wstring Note(const CableRow& cable, const Texts& texts) {
  return StateWordsText(texts, StateWords(cable.status, cable.disabled, !cable.served));
}

std::wstring Status(const CableRow& cable, const Texts& texts) { return texts.Text(StatusText(cable.status)); }

std::wstring Table(const std::vector<CableRow>& cables, const Texts& texts) {
  std::vector<std::array<std::wstring, 4>> lines{{texts.Text(TextId::ColumnPort), texts.Text(TextId::ColumnStatus),
                                                  texts.Text(TextId::ColumnCableId), texts.Text(TextId::TableNote)}};
  for (const auto& cable : cables) {
    lines.push_back({Printable(cable.port), Status(cable, texts), Printable(cable.cableId), Note(cable, texts)});
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

// One row's fields, with no line end.
std::wstring CsvRow(const CableRow& cable) {
  std::wstring text = CsvField(cable.port) + L',' + CsvField(StatusToken(cable.status)) + L',' +
                     CsvField(cable.cableId) + L',';
  text += BooleanToken(cable.served);
  text += L',';
  text += BooleanToken(cable.disabled);
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
  std::wstring text = L"\"port\": " + JsonString(cable.port) + L", \"status\": " + JsonString(StatusToken(cable.status)) +
                      L", \"cableId\": " + JsonString(cable.cableId) + L", \"served\": ";
  text += BooleanToken(cable.served);
  text += L", \"disabled\": ";
  text += BooleanToken(cable.disabled);
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

// The event table's columns are as wide as their headings, the clock time, the longest
// event and status and the usual cable identifier, so that the lines of a stream line
// up without knowing what comes later; only a longer port name or identifier pushes the
// columns after it.
constexpr std::size_t kClockWidth = 8;
constexpr std::size_t kUsualCableIdWidth = 14;

std::array<std::wstring, 6> EventHeadings(const Texts& texts) {
  return {texts.Text(TextId::TableTime),    texts.Text(TextId::TableEvent),    texts.Text(TextId::ColumnPort),
          texts.Text(TextId::ColumnStatus), texts.Text(TextId::ColumnCableId), texts.Text(TextId::TableNote)};
}

std::array<std::size_t, 5> EventWidths(const Texts& texts) {
  const std::array<std::wstring, 6> headings = EventHeadings(texts);
  std::array<std::size_t, 5> widths{kClockWidth, 0, 0, 0, kUsualCableIdWidth};
  for (std::size_t column = 0; column < widths.size(); ++column) {
    widths[column] = std::max(widths[column], Width(headings[column]));
  }
  for (const TextId event : {TextId::EventAdded, TextId::EventRemoved, TextId::EventChanged}) {
    widths[1] = std::max(widths[1], Width(texts.Text(event)));
  }
  for (const CableStatus status :
       {CableStatus::Ok, CableStatus::NotPresent, CableStatus::DriverNotLoaded, CableStatus::Disabled}) {
    widths[3] = std::max(widths[3], Width(texts.Text(StatusText(status))));
  }
  return widths;
}

TextId EventText(CableEvent event) {
  switch (event) {
    case CableEvent::Removed: return TextId::EventRemoved;
    case CableEvent::Changed: return TextId::EventChanged;
    case CableEvent::Added: break;
  }
  return TextId::EventAdded;
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

std::wstring FormatCables(const std::vector<CableRow>& cables, OutputFormat format, const Texts& texts) {
  switch (format) {
    case OutputFormat::Ports: return Ports(cables);
    case OutputFormat::Csv: return Csv(cables);
    case OutputFormat::Json: return Json(cables);
    case OutputFormat::Table: break;
  }
  return Table(cables, texts);
}

std::wstring EventHeader(OutputFormat format, const Texts& texts) {
  std::wstring text;
  switch (format) {
    case OutputFormat::Json: break;
    case OutputFormat::Csv:
      text = std::wstring(kCsvWatchFields) + std::wstring(kCsvHeader) + std::wstring(kLineEnd);
      break;
    case OutputFormat::Table:
    case OutputFormat::Ports: AppendAligned(text, EventHeadings(texts), EventWidths(texts));
  }
  return text;
}

std::wstring FormatEvent(const CableChange& change, const LocalTime& time, OutputFormat format, const Texts& texts) {
  const CableRow& row = change.row;
  const std::wstring event(EventToken(change.event));
  std::wstring text;
  switch (format) {
    case OutputFormat::Json:
      return L"{\"time\": \"" + IsoTime(time) + L"\", \"event\": \"" + event + L"\", " + JsonMembers(row) + L"}" +
             std::wstring(kLineEnd);
    case OutputFormat::Csv: return IsoTime(time) + L',' + event + L',' + CsvRow(row) + std::wstring(kLineEnd);
    case OutputFormat::Table:
    case OutputFormat::Ports:
      AppendAligned(text,
                    std::array<std::wstring, 6>{ClockTime(time), texts.Text(EventText(change.event)),
                                                Printable(row.port), Status(row, texts), Printable(row.cableId),
                                                Note(row, texts)},
                    EventWidths(texts));
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
