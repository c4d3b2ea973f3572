// A GUI program with no console has nowhere to print why it ended: replacing the
// runtime's verbose terminate handler, which names the exception's type, keeps the
// runtime's symbol demangler out of the executable.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler();

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
