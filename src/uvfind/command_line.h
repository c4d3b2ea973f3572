// What uvfind is asked to do, read from its command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "texts/texts.h"

namespace uvantic {

enum class OutputFormat { Table, Ports, Csv, Json };
enum class Request { List, Help, Version };

struct CommandLine {
  Request request = Request::List;
  OutputFormat format = OutputFormat::Table;
  bool okOnly = false;
  bool wait = false;
  std::optional<std::uint32_t> waitSeconds{};  // none: wait without limit
  bool watch = false;
  std::optional<std::uint32_t> watchSeconds{};  // --for: none, watch until stopped

  friend bool operator==(const CommandLine&, const CommandLine&) = default;
};

struct ParsedCommandLine {
  CommandLine options{};
  std::optional<TextId> error{};  // the problem's text (Error...); none when the line is good
  std::wstring errorSubject{};    // the argument, value or option the text names
};

// arguments leaves out the program's own name. Options start with "--" or "/", in any
// letter case; "-h" and "/?" ask for help too.
ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);

// A console's control events, numbered as the console handler receives them.
enum class ConsoleControl : unsigned long { CtrlC = 0, CtrlBreak = 1, Close = 2, Logoff = 5, Shutdown = 6 };

// Whether the event asks a watch to end after the line it is writing, with exit code
// 0. The others are left to the system, which ends the process itself when the
// console closes, the user logs off or Windows shuts down.
bool StopsWatch(ConsoleControl control);

// The error as one line, without its line end; empty when the line is good.
std::wstring ErrorText(const ParsedCommandLine& parsed, const Texts& texts);

// The help, each line ending in CR LF.
std::wstring UsageText(const Texts& texts);
std::wstring VersionText();

}  // namespace uvantic
