// Reading registry data as text or as a number, the way the discovery logic compares it.
#include "registry_view.h"

#include <iterator>

namespace uvantic {

namespace {

// A 32-bit number's decimal text, written into buf; returns the view on it.
std::wstring_view DecimalText(std::uint32_t number, wchar_t (&buf)[10]) {
  wchar_t* end = buf + std::size(buf);
  wchar_t* p = end;
  do {
    *--p = static_cast<wchar_t>(L'0' + number % 10);
    number /= 10;
  } while (number != 0);
  return {p, static_cast<std::size_t>(end - p)};
}

}  // namespace

void RegistryData::Assign(Kind kind, std::wstring_view text, std::uint32_t number) {
  text_.assign(text);
  kind_ = kind;
  number_ = number;
}

std::optional<std::wstring> RegistryData::AsText() const {
  switch (kind_) {
    case Kind::Empty:
      return std::wstring();
    case Kind::Text:
      return text_;
    case Kind::Number: {
      wchar_t buf[10];
      return std::wstring(DecimalText(number_, buf));
    }
    case Kind::Unreadable:
      break;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> RegistryData::AsNumber() const {
  switch (kind_) {
    case Kind::Empty:
      return 0u;
    case Kind::Number:
      return number_;
    case Kind::Text: {
      if (text_.empty()) return std::nullopt;
      std::uint64_t value = 0;
      for (wchar_t c : text_) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
        if (value > 0xFFFFFFFFu) return std::nullopt;
      }
      return static_cast<std::uint32_t>(value);
    }
    case Kind::Unreadable:
      break;
  }
  return std::nullopt;
}

bool RegistryData::TextEquals(std::wstring_view text) const {
  switch (kind_) {
    case Kind::Empty:
      return text.empty();
    case Kind::Text:
      return text_ == text;
    case Kind::Number: {
      wchar_t buf[10];
      return DecimalText(number_, buf) == text;
    }
    case Kind::Unreadable:
      break;
  }
  return false;
}

}  // namespace uvantic
