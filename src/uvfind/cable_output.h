// The text uvfind prints for a list of cables and for the events of a watch, in each of
// its output forms, and the UTF-8 it becomes on a pipe or in a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cables/cable_events.h"
#include "cables/cable_rows.h"
#include "texts/texts.h"
#include "uvfind/command_line.h"

namespace uvantic {

// The table speaks the user's language (texts): its headings, the statuses and a last
// column, "Note", with the words for what the window's icon and dimming show
// (StateWords). The CSV and the JSON speak their own vocabulary (machine_words.h) and
// carry those words as served and disabled.
// Every line ends in CR LF. The table and the port list show a control character in a
// name as U+FFFD, so that a name can neither break a line nor send the terminal a
// command; the CSV quotes such a field and the JSON escapes it.
std::wstring FormatCables(const std::vector<CableRow>& cables, OutputFormat format, const Texts& texts);

// A moment as the local clock shows it, and that clock's offset from UTC (east of
// Greenwich positive).
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
  int utcOffsetMinutes = 0;
};

// What a watch writes before its first event: the column headings of the table and of
// the CSV, which adds "time,event," to the list's; nothing for JSON Lines.
std::wstring EventHeader(OutputFormat format, const Texts& texts);

// One event as one line of the watch's output. The table shows the clock time and the
// event in the user's language; the CSV and the JSON give ISO 8601 with milliseconds
// and the offset from UTC, and the event's token.
std::wstring FormatEvent(const CableChange& change, const LocalTime& time, OutputFormat format, const Texts& texts);

// UTF-8 without a byte-order mark; a UTF-16 surrogate without its partner becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);

}  // namespace uvantic
