// The machine formats' words.
#include "uvfind/machine_words.h"

namespace uvantic {

std::wstring_view StatusToken(CableStatus status) {
  switch (status) {
    case CableStatus::NotPresent: return L"Not present";
    case CableStatus::DriverNotLoaded: return L"Driver not loaded";
    case CableStatus::Disabled: return L"Disabled";
    case CableStatus::Ok: break;
  }
  return L"OK";
}

std::wstring_view EventToken(CableEvent event) {
  switch (event) {
    case CableEvent::Removed: return L"removed";
    case CableEvent::Changed: return L"changed";
    case CableEvent::Added: break;
  }
  return L"added";
}

std::wstring_view BooleanToken(bool value) { return value ? L"true" : L"false"; }

}  // namespace uvantic
