// Whether the logo was last pressed with the left button alone and not yet clicked:
// only such a press lets the following click open the web site.
#pragma once

namespace uvantic {

// Mouse-button codes as the window's press and release handlers see them: one bit per
// button held down when the event arrived.
inline constexpr int kButtonLeft = 1;
inline constexpr int kButtonRight = 2;
inline constexpr int kButtonMiddle = 4;
inline constexpr int kButtonExtra = 8;  // either of the side buttons

int MouseButtonCode(bool left, bool right, bool middle, bool extra);

class LogoPress {
 public:
  // A press over the logo: exactly the left button arms it, any other code leaves the
  // state as it is.
  void Press(int buttonCode);

  // A click on the logo: true when it was armed (the web site is to be opened); the
  // click always leaves it disarmed.
  bool Click();

  // The context-help popup disarms it, so a right click never opens the site.
  void Clear() { armed_ = false; }

 private:
  bool armed_ = false;
};

}  // namespace uvantic
