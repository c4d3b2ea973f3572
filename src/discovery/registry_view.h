// The read-only registry operations that device discovery needs, in types of our own
// so that the logic builds and runs without Windows.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace uvantic {

// The data of one registry value, as the discovery logic reads it: text, a 32-bit
// number, empty, or data of a type that can be read as neither.
class RegistryData {
 public:
  enum class Kind { Empty, Text, Number, Unreadable };

  static RegistryData Empty() { return RegistryData(Kind::Empty, {}, 0); }
  static RegistryData Text(std::wstring text) { return RegistryData(Kind::Text, std::move(text), 0); }
  static RegistryData Number(std::uint32_t number) { return RegistryData(Kind::Number, {}, number); }
  static RegistryData Unreadable() { return RegistryData(Kind::Unreadable, {}, 0); }

  Kind kind() const { return kind_; }

  // Replaces this data, keeping the text storage this object holds: a walk over many
  // values decodes each into one object and allocates only when a text outgrows the
  // longest before it. Throws std::bad_alloc when the text cannot be copied.
  void Assign(Kind kind, std::wstring_view text, std::uint32_t number);

  // As text: a number becomes its decimal text, empty data becomes "".
  // Unreadable data has no text.
  std::optional<std::wstring> AsText() const;

  // As a number: empty data is 0, text counts when it is a whole decimal number
  // that fits 32 bits. Anything else has no number.
  std::optional<std::uint32_t> AsNumber() const;

  // Whether the data, read as text as AsText does, equals text exactly (letter case
  // included). Unreadable data equals nothing. Copies nothing.
  bool TextEquals(std::wstring_view text) const;

  friend bool operator==(const RegistryData&, const RegistryData&) = default;

 private:
  RegistryData(Kind kind, std::wstring text, std::uint32_t number)
      : kind_(kind), text_(std::move(text)), number_(number) {}

  Kind kind_;
  std::wstring text_;
  std::uint32_t number_;
};

// One open registry key. Every operation may fail.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // The key's own name, its last path component; nullopt when it cannot be read.
  virtual std::optional<std::wstring> Name() const = 0;

  // The subkey with this name; nullptr when there is none or it cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenSubkey(std::wstring_view name) const = 0;

  // Calls visit with each subkey's name in enumeration order; a name that cannot be
  // read is passed as nullopt. False when the subkeys cannot be enumerated at all.
  virtual bool ForEachSubkeyName(
      const std::function<void(const std::optional<std::wstring>&)>& visit) const = 0;

  // The data of the value with this name; nullopt when there is no such value or it
  // cannot be queried. Data of a type that is neither text nor number is Unreadable.
  virtual std::optional<RegistryData> ReadValue(std::wstring_view name) const = 0;

  // Calls visit with each value's data in enumeration order until visit returns false.
  // False when the values cannot be enumerated at all.
  virtual bool ForEachValueData(const std::function<bool(const RegistryData&)>& visit) const = 0;
};

// The registry, opened by full path in the form "\HKEY_LOCAL_MACHINE\SYSTEM\...".
class RegistryView {
 public:
  virtual ~RegistryView() = default;

  // nullptr when the key does not exist or cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenKey(std::wstring_view path) const = 0;
};

}  // namespace uvantic
