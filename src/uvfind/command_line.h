// What uvfind is asked to do, read from its command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace uvantic {

enum class OutputFormat { Table, Ports, Csv, Json };
enum class Request { List, Help, Version };

struct CommandLine {
  Request request = Request::List;
  OutputFormat format = OutputFormat::Table;
  bool okOnly = false;
  bool wait = false;
  std::optional<std::uint32_t> waitSeconds{};  // none: wait without limit

  friend bool operator==(const CommandLine&, const CommandLine&) = default;
};

struct ParsedCommandLine {
  CommandLine options{};
  std::wstring error{};  // one line naming the problem; empty when the line is good
};

// arguments leaves out the program's own name. Options start with "--" or "/", in any
// letter case; "-h" and "/?" ask for help too.
ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);

std::wstring UsageText();
std::wstring VersionText();

}  // namespace uvantic
