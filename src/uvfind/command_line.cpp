// uvfind's options: each spelled with "--" or "/", letter case ignored, one output form.
#include "uvfind/command_line.h"

#include <string_view>

#include "resources/version.h"
#include "texts/language.h"

namespace uvantic {
namespace {

// Longer than anyone waits or watches, and small enough that the deadline never
// overflows.
constexpr std::uint32_t kLongestWaitSeconds = 999'999'999;

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

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& arguments) {
  ParsedCommandLine parsed;
  CommandLine& options = parsed.options;
  bool help = false;
  bool version = false;
  std::optional<OutputFormat> format;
  const auto fail = [&](TextId error, std::wstring_view subject = {}) {
    parsed.error = error;
    parsed.errorSubject = subject;
    return parsed;
  };

  for (const std::wstring& argument : arguments) {
    const std::wstring lower = AsciiLower(argument);
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
      return fail(TextId::ErrorUnknownOption, argument);
    }
    const std::size_t equals = option.find(L'=');
    const std::wstring_view name = option.substr(0, equals);
    const bool hasValue = equals != std::wstring_view::npos;
    // The value as it was typed, not lowered.
    const std::wstring_view value =
        hasValue ? std::wstring_view(argument).substr(argument.size() - (option.size() - equals - 1))
                 : std::wstring_view();

    if (name == L"wait") {
      if (options.wait) return fail(TextId::ErrorWaitTwice);
      options.wait = true;
      if (hasValue) {
        options.waitSeconds = WholeSeconds(value);
        if (!options.waitSeconds) return fail(TextId::ErrorWaitValue, value);
      }
      continue;
    }
    if (name == L"for") {
      if (options.watchSeconds) return fail(TextId::ErrorForTwice);
      options.watchSeconds = WholeSeconds(value);
      if (!options.watchSeconds) return fail(TextId::ErrorForValue, value);
      continue;
    }
    if (hasValue) {
      if (name == L"ok" || name == L"watch" || name == L"ports" || name == L"csv" || name == L"json" ||
          name == L"help" || name == L"version") {
        return fail(TextId::ErrorTakesNoValue, L"--" + std::wstring(name));
      }
      return fail(TextId::ErrorUnknownOption, argument);
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
      return fail(TextId::ErrorUnknownOption, argument);
    }
    if (chosen) {
      if (format && *format != *chosen) return fail(TextId::ErrorFormatsCombined);
      format = chosen;
    }
  }
  if (format) options.format = *format;
  // A watch goes on until it is stopped, and its lines are events, not bare ports.
  if (options.watch && options.wait) return fail(TextId::ErrorWatchAndWait);
  if (options.watch && options.format == OutputFormat::Ports) return fail(TextId::ErrorWatchAndPorts);
  if (options.watchSeconds && !options.watch) return fail(TextId::ErrorForWithoutWatch);
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

std::wstring ErrorText(const ParsedCommandLine& parsed, const Texts& texts) {
  if (!parsed.error) return {};
  return FillIn(texts.Text(*parsed.error), {{L"option", parsed.errorSubject}, {L"value", parsed.errorSubject}});
}

std::wstring UsageText(const Texts& texts) {
  std::wstring text;
  for (const wchar_t c : texts.Text(TextId::UsageText)) {
    if (c == L'\n') text += L'\r';
    text += c;
  }
  return text;
}

std::wstring VersionText() {
  const std::string_view version = UVANTIC_VERSION_TEXT;
  return L"uvfind " + std::wstring(version.begin(), version.end()) + L"\r\n";
}

}  // namespace uvantic
