// The application help file: registered once at start, read by the window's context
// help. It lives for the whole program and is handed to the window when it is made.
#pragma once

#include <string>
#include <utility>

namespace uvantic {

class AppHelpFile {
 public:
  void Set(std::wstring path) { path_ = std::move(path); }

  // The full path of the help file; empty when none was registered.
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

}  // namespace uvantic
