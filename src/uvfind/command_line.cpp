// uvfind's options: each spelled with "--" or "/", letter case ignored, one output form.
#include "uvfind/command_line.h"

#include <string_view>

#include "resources/version.h"

namespace uvantic {
namespace {

// Longer than anyone waits or watches, and small enough that the deadline never
// overflows.
constexpr std::uint32_t kLongestWaitSeconds = 999'999'999;

std::wstring Lower(std::wstring_view text) {
  std::wstring lower(text);
  for (auto& c : lower) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return lower;
}

std::optional<std::uint32_t> WholeSeconds(std::wstring_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t seconds = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    seconds = seconds * 10 + static_cast<std::uint64_t>(c - L'0');
    if (seconds > kLongestWaitSeconds) return std::nullopt;
  }
  return static_cast<std::uint32_t>(seconds);
}

std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& arguments) {
  ParsedCommandLine parsed;
  CommandLine& options = parsed.options;
  bool help = false;
  bool version = false;
  std::optional<OutputFormat> format;
  const auto fail = [&](std::wstring message) {
    parsed.error = L"uvfind: " + std::move(message) + L"; uvfind --help lists the options";
    return parsed;
  };

  for (const std::wstring& argument : arguments) {
    const std::wstring lower = Lower(argument);
    if (lower == L"-h" || lower == L"/?") {
      help = true;
      continue;
    }
    std::wstring_view option = lower;
    if (option.starts_with(L"--")) {
      option.remove_prefix(2);
    } else if (option.starts_with(L"/")) {
      option.remove_prefix(1);
    } else {
      return fail(L"unknown option " + Quoted(argument));
    }
    const std::size_t equals = option.find(L'=');
    const std::wstring_view name = option.substr(0, equals);
    const bool hasValue = equals != std::wstring_view::npos;
    // The value as it was typed, not lowered.
    const std::wstring_view value =
        hasValue ? std::wstring_view(argument).substr(argument.size() - (option.size() - equals - 1))
                 : std::wstring_view();

    if (name == L"wait") {
      if (options.wait) return fail(L"--wait is given twice");
      options.wait = true;
      if (hasValue) {
        options.waitSeconds = WholeSeconds(value);
        if (!options.waitSeconds) return fail(L"--wait takes a whole number of seconds, not " + Quoted(value));
      }
      continue;
    }
    if (name == L"for") {
      if (options.watchSeconds) return fail(L"--for is given twice");
      options.watchSeconds = WholeSeconds(value);
      if (!options.watchSeconds) return fail(L"--for takes a whole number of seconds, not " + Quoted(value));
      continue;
    }
    if (hasValue) {
      if (name == L"ok" || name == L"watch" || name == L"ports" || name == L"csv" || name == L"json" ||
          name == L"help" || name == L"version") {
        return fail(L"--" + std::wstring(name) + L" takes no value");
      }
      return fail(L"unknown option " + Quoted(argument));
    }
    std::optional<OutputFormat> chosen;
    if (name == L"ok") {
      options.okOnly = true;
    } else if (name == L"watch") {
      options.watch = true;
    } else if (name == L"ports") {
      chosen = OutputFormat::Ports;
    } else if (name == L"csv") {
      chosen = OutputFormat::Csv;
    } else if (name == L"json") {
      chosen = OutputFormat::Json;
    } else if (name == L"help") {
      help = true;
    } else if (name == L"version") {
      version = true;
    } else {
      return fail(L"unknown option " + Quoted(argument));
    }
    if (chosen) {
      if (format && *format != *chosen) return fail(L"--ports, --csv and --json cannot be combined");
      format = chosen;
    }
  }
  if (format) options.format = *format;
  // A watch goes on until it is stopped, and its lines are events, not bare ports.
  if (options.watch && options.wait) return fail(L"--watch and --wait cannot be combined");
  if (options.watch && options.format == OutputFormat::Ports) return fail(L"--watch and --ports cannot be combined");
  if (options.watchSeconds && !options.watch) return fail(L"--for works only with --watch");
  if (help) {
    options.request = Request::Help;
  } else if (version) {
    options.request = Request::Version;
  }
  return parsed;
}

bool StopsWatch(ConsoleControl control) {
  return control == ConsoleControl::CtrlC || control == ConsoleControl::CtrlBreak;
}

std::wstring UsageText() {
  return L"Usage: uvfind [--ok] [--ports | --csv | --json] [--wait[=SECONDS]]\r\n"
         L"       uvfind --watch [--ok] [--csv | --json] [--for=SECONDS]\r\n"
         L"       uvfind --help | --version\r\n"
         L"\r\n"
         L"Lists the Uvantic USB instrument cables installed on this computer with the COM\r\n"
         L"port, status and cable ID that the Uvantic Finder window shows.\r\n"
         L"\r\n"
         L"  --ok              only the cables whose status is OK: those a program can open now\r\n"
         L"  --ports           only the port names, one a line\r\n"
         L"  --csv             comma-separated values with a header line\r\n"
         L"  --json            a JSON array of objects; with --watch, one object a line\r\n"
         L"  --wait[=SECONDS]  wait until at least one cable is listed, without limit or for\r\n"
         L"                    SECONDS at most\r\n"
         L"  --watch           list every cable as \"added\", then write a line the moment a\r\n"
         L"                    cable is added or removed, or its port, status, served or\r\n"
         L"                    disabled state changes (\"changed\"), until Ctrl+C; with --ok,\r\n"
         L"                    \"added\" when a cable becomes OK, \"removed\" when it stops\r\n"
         L"                    being OK, \"changed\" when its port changes\r\n"
         L"  --for=SECONDS     end the watch after SECONDS\r\n"
         L"  --help, -h, /?    show this help\r\n"
         L"  --version         show the version\r\n"
         L"\r\n"
         L"Options may start with / instead of --, in any letter case: /OK /PORTS.\r\n"
         L"Exit code: 0 when at least one cable was listed, 1 when none was or the wait ran\r\n"
         L"out, 2 for a bad command line. A watch ends with 0 on Ctrl+C, Ctrl+Break or at\r\n"
         L"the end of --for, and with 1 when its output is closed.\r\n";
}

std::wstring VersionText() {
  const std::string_view version = UVANTIC_VERSION_TEXT;
  return L"uvfind " + std::wstring(version.begin(), version.end()) + L"\r\n";
}

}  // namespace uvantic
