// Whether a file is there before the program hands it to a component that would report
// a missing one with a message of its own (the help control, the property sheet).
#pragma once

#include <string>

namespace uvantic {

// True for an existing file; false for a directory or anything that cannot be read.
bool FileExists(const std::wstring& path);

}  // namespace uvantic
