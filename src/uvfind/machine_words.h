// The vocabulary of uvfind's machine formats (--csv, --json and --watch in those forms):
// field names and values that scripts match. They are the same whatever language the
// user reads, and never pass through the translated texts.
#pragma once

#include <string_view>

#include "cables/cable_events.h"
#include "discovery/device_state.h"

namespace uvantic {

// The CSV's header line, without its line end; a watch's CSV puts its own two before it.
inline constexpr std::wstring_view kCsvHeader = L"port,status,cable_id,served,disabled,instance_path";
inline constexpr std::wstring_view kCsvWatchFields = L"time,event,";

// "OK", "Not present", "Driver not loaded" or "Disabled".
std::wstring_view StatusToken(CableStatus status);

// "added", "removed" or "changed".
std::wstring_view EventToken(CableEvent event);

// "true" or "false".
std::wstring_view BooleanToken(bool value);

}  // namespace uvantic
