// Read-only registry access over RegOpenKeyExW, RegEnumKeyExW, RegEnumValueW and
// RegQueryValueExW. Registry data is untrusted: sizes come from the registry itself,
// strings need not be terminated, nothing is read past what the registry returned,
// values above a size cap are not read, and no exception leaves a read.
#include "platform/win_registry_view.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <stdexcept>
#include <vector>

#include "platform/handles.h"

namespace uvantic {
namespace {

// Registry data changes under us; a value that keeps outgrowing the buffer after this
// many attempts is treated as unreadable.
constexpr int kMaxAttempts = 4;

// The most data a value may hold to be read: far above any port name, driver-list
// entry or service name, and small enough that a hostile value can neither stall the
// program nor exhaust its memory. A larger value is unreadable.
constexpr DWORD kMaxValueBytes = 64 * 1024;

// Key names are at most 255 characters and the values the program reads are short:
// the first try of every call fits on the stack.
constexpr std::size_t kInlineNameChars = 256;
constexpr std::size_t kInlineDataBytes = 512;

// A buffer that starts on the stack and moves to the heap when the registry reports
// that it needs more room. Both are aligned for text, which value data may hold.
template <typename T, std::size_t kInline>
class Buffer {
 public:
  T* data() { return heap_.empty() ? inline_ : heap_.data(); }
  DWORD capacity() const { return heap_.empty() ? kInline : static_cast<DWORD>(heap_.size()); }

  // Makes room for at least count elements; false when the memory cannot be had, so
  // that a huge size claimed by the registry fails the read instead of the program.
  bool Fit(DWORD count) {
    if (count <= capacity()) return true;
    try {
      heap_.resize(count);
    } catch (const std::bad_alloc&) {
      return false;
    } catch (const std::length_error&) {
      return false;
    }
    return true;
  }

 private:
  alignas(wchar_t) T inline_[kInline];
  std::vector<T> heap_;
};

// A zero-terminated copy of a name or path for the Win32 calls. A name with a zero
// inside would be cut short by them and so name another key or value: it is refused.
class ZeroTerminated {
 public:
  // A name that cannot be copied (no memory) is refused too.
  explicit ZeroTerminated(std::wstring_view text) : valid_(text.find(L'\0') == std::wstring_view::npos) {
    if (text.size() < std::size(inline_)) {
      std::copy(text.begin(), text.end(), inline_);
      inline_[text.size()] = L'\0';
      text_ = inline_;
      return;
    }
    try {
      heap_.assign(text);
      text_ = heap_.c_str();
    } catch (const std::exception&) {
      valid_ = false;
      text_ = L"";
    }
  }
  ZeroTerminated(const ZeroTerminated&) = delete;
  ZeroTerminated& operator=(const ZeroTerminated&) = delete;

  explicit operator bool() const { return valid_; }
  const wchar_t* get() const { return text_; }

 private:
  bool valid_;
  wchar_t inline_[128];
  std::wstring heap_;
  const wchar_t* text_ = nullptr;
};

// Value data as the registry returned it into a buffer aligned for text: an odd
// trailing byte is not a character, and only terminating zeros are dropped. Decoded
// into an object that a walk over values reuses; text whose copy cannot be made (no
// memory) is unreadable.
void DecodeInto(RegistryData& into, DWORD type, const BYTE* data, DWORD size) {
  using Kind = RegistryData::Kind;
  if (size == 0) return into.Assign(Kind::Empty, {}, 0);
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
      std::wstring_view text(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
      while (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
      try {
        return into.Assign(Kind::Text, text, 0);
      } catch (const std::exception&) {
        return into.Assign(Kind::Unreadable, {}, 0);
      }
    }
    case REG_DWORD:
      if (size == sizeof(std::uint32_t)) {
        std::uint32_t number = 0;
        std::memcpy(&number, data, sizeof(number));
        return into.Assign(Kind::Number, {}, number);
      }
      return into.Assign(Kind::Unreadable, {}, 0);
    default:
      return into.Assign(Kind::Unreadable, {}, 0);
  }
}

RegistryData Decode(DWORD type, const BYTE* data, DWORD size) {
  RegistryData decoded = RegistryData::Empty();
  DecodeInto(decoded, type, data, size);
  return decoded;
}

// A path relative to an open key: one or more non-empty names joined by backslashes.
bool IsRelativePath(std::wstring_view path) {
  return !path.empty() && path.front() != L'\\' && path.back() != L'\\' &&
         path.find(L"\\\\") == std::wstring_view::npos;
}

std::wstring_view LastComponent(std::wstring_view path) {
  const auto slash = path.rfind(L'\\');
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

HKEY RootKey(std::wstring_view name) {
  static const struct {
    std::wstring_view name;
    HKEY key;
  } kRoots[] = {
      {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {L"HKEY_USERS", HKEY_USERS},
      {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
  };
  for (const auto& root : kRoots) {
    if (CompareStringOrdinal(name.data(), static_cast<int>(name.size()), root.name.data(),
                             static_cast<int>(root.name.size()), TRUE) == CSTR_EQUAL) {
      return root.key;
    }
  }
  return nullptr;
}

struct KeyMaxima {
  DWORD subkeyNameChars = 0;
  DWORD valueNameChars = 0;
  DWORD valueDataBytes = 0;
};

// The longest subkey name, value name and value data the key holds now; names
// without their terminating zero.
std::optional<KeyMaxima> QueryMaxima(HKEY key) {
  KeyMaxima maxima;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &maxima.subkeyNameChars, nullptr, nullptr,
                       &maxima.valueNameChars, &maxima.valueDataBytes, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return maxima;
}

class WinRegistryKey final : public RegistryKey {
 public:
  WinRegistryKey(UniqueHKey key, std::wstring name) : key_(std::move(key)), name_(std::move(name)) {}

  std::optional<std::wstring> Name() const override { return name_; }

  std::unique_ptr<RegistryKey> OpenSubkey(std::wstring_view name) const override;
  bool ForEachSubkeyName(const std::function<void(const std::optional<std::wstring>&)>& visit) const override;
  std::optional<RegistryData> ReadValue(std::wstring_view name) const override;
  bool ForEachValueData(const std::function<bool(const RegistryData&)>& visit) const override;

 private:
  UniqueHKey key_;
  std::wstring name_;
};

// Opens subkey (a relative path, or empty for parent itself) for reading; the key is
// called name from then on. nullptr also when there is no memory for the key.
std::unique_ptr<RegistryKey> Open(HKEY parent, std::wstring_view subkey, std::wstring_view name) {
  const ZeroTerminated path(subkey);
  if (!path) return nullptr;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(parent, path.get(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return nullptr;
  UniqueHKey key(opened);
  try {
    return std::make_unique<WinRegistryKey>(std::move(key), std::wstring(name));
  } catch (const std::exception&) {
    return nullptr;
  }
}

// A name the registry returned, copied into name, which a walk over subkeys reuses;
// nullopt when there is no memory for the copy.
const std::optional<std::wstring>& CopyName(std::optional<std::wstring>& name, const wchar_t* text,
                                            std::size_t length) {
  try {
    if (!name) name.emplace();
    name->assign(text, length);
  } catch (const std::exception&) {
    name.reset();
  }
  return name;
}

std::unique_ptr<RegistryKey> WinRegistryKey::OpenSubkey(std::wstring_view name) const {
  if (!IsRelativePath(name)) return nullptr;
  return Open(key_.get(), name, LastComponent(name));
}

bool WinRegistryKey::ForEachSubkeyName(
    const std::function<void(const std::optional<std::wstring>&)>& visit) const {
  Buffer<wchar_t, kInlineNameChars> name;
  std::optional<std::wstring> copy;
  for (DWORD index = 0;; ++index) {
    DWORD length = name.capacity();
    LSTATUS status = RegEnumKeyExW(key_.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    for (int attempt = 0; status == ERROR_MORE_DATA && attempt < kMaxAttempts; ++attempt) {
      const auto maxima = QueryMaxima(key_.get());
      if (!maxima || !name.Fit(maxima->subkeyNameChars + 1)) break;
      length = name.capacity();
      status = RegEnumKeyExW(key_.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    }
    switch (status) {
      case ERROR_SUCCESS:
        visit(CopyName(copy, name.data(), std::min(length, name.capacity())));
        break;
      case ERROR_MORE_DATA:
        visit(std::nullopt);
        break;
      case ERROR_NO_MORE_ITEMS:
        return true;
      default:
        return false;
    }
  }
}

std::optional<RegistryData> WinRegistryKey::ReadValue(std::wstring_view name) const {
  const ZeroTerminated valueName(name);
  if (!valueName) return std::nullopt;
  Buffer<BYTE, kInlineDataBytes> data;
  DWORD type = REG_NONE;
  DWORD size = data.capacity();
  LSTATUS status = RegQueryValueExW(key_.get(), valueName.get(), nullptr, &type, data.data(), &size);
  for (int attempt = 0; status == ERROR_MORE_DATA && attempt < kMaxAttempts; ++attempt) {
    if (size > kMaxValueBytes) return RegistryData::Unreadable();
    if (!data.Fit(size)) return std::nullopt;
    size = data.capacity();
    status = RegQueryValueExW(key_.get(), valueName.get(), nullptr, &type, data.data(), &size);
  }
  if (status != ERROR_SUCCESS) return std::nullopt;
  return Decode(type, data.data(), std::min(size, data.capacity()));
}

bool WinRegistryKey::ForEachValueData(const std::function<bool(const RegistryData&)>& visit) const {
  Buffer<wchar_t, kInlineNameChars> name;
  Buffer<BYTE, kInlineDataBytes> data;
  RegistryData current = RegistryData::Empty();
  for (DWORD index = 0;; ++index) {
    DWORD type = REG_NONE;
    DWORD nameLength = name.capacity();
    DWORD size = data.capacity();
    LSTATUS status =
        RegEnumValueW(key_.get(), index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
    for (int attempt = 0; status == ERROR_MORE_DATA && attempt < kMaxAttempts; ++attempt) {
      // Either the name or the data did not fit; the call does not say which. When
      // the data did not, size is what it needs.
      if (size > data.capacity() && size > kMaxValueBytes) break;
      const auto maxima = QueryMaxima(key_.get());
      if (!maxima || !name.Fit(maxima->valueNameChars + 1) ||
          !data.Fit(std::min(std::max(maxima->valueDataBytes, size), kMaxValueBytes))) {
        break;
      }
      nameLength = name.capacity();
      size = data.capacity();
      status = RegEnumValueW(key_.get(), index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
    }
    switch (status) {
      case ERROR_SUCCESS:
        DecodeInto(current, type, data.data(), std::min(size, data.capacity()));
        if (!visit(current)) return true;
        break;
      case ERROR_MORE_DATA:
        if (!visit(RegistryData::Unreadable())) return true;
        break;
      case ERROR_NO_MORE_ITEMS:
        return true;
      default:
        return false;
    }
  }
}

}  // namespace

std::unique_ptr<RegistryKey> WinRegistryView::OpenKey(std::wstring_view path) const {
  if (path.empty() || path.front() != L'\\') return nullptr;
  path.remove_prefix(1);
  const auto slash = path.find(L'\\');
  const std::wstring_view rootName = path.substr(0, slash);
  const HKEY root = RootKey(rootName);
  if (root == nullptr) return nullptr;
  if (slash == std::wstring_view::npos) return Open(root, {}, rootName);
  const std::wstring_view subkey = path.substr(slash + 1);
  if (!IsRelativePath(subkey)) return nullptr;
  return Open(root, subkey, LastComponent(subkey));
}

}  // namespace uvantic
