// The paths the notifier starts programs by: itself at sign-in, and Uvantic Finder
// beside it.
#pragma once

#include <string>
#include <string_view>

namespace uvantic {

// The data of the Run value that starts the notifier at sign-in: the executable's full
// path in double quotes, so that a path with spaces is not read as a shorter program
// with arguments.
std::wstring RunValueData(std::wstring_view executablePath);

// Uvantic Finder's path in the folder of the program at notifierPath.
std::wstring FinderPathBeside(std::wstring_view notifierPath);

}  // namespace uvantic
