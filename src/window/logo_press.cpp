// The logo's press-then-click state.
#include "window/logo_press.h"

namespace uvantic {

int MouseButtonCode(bool left, bool right, bool middle, bool extra) {
  return (left ? kButtonLeft : 0) | (right ? kButtonRight : 0) | (middle ? kButtonMiddle : 0) |
         (extra ? kButtonExtra : 0);
}

void LogoPress::Press(int buttonCode) {
  if (buttonCode == kButtonLeft) armed_ = true;
}

bool LogoPress::Click() {
  const bool wasArmed = armed_;
  armed_ = false;
  return wasArmed;
}

}  // namespace uvantic
