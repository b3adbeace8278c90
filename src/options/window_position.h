// WindowPosition: where the main window stands. A plain value.
#pragma once

namespace snapfolio {

// The main window's top-left corner, screen pixels ("Snapfolio"/"TOP", "LEFT").
struct WindowPosition {
  int top = 0;
  int left = 0;
};

}  // namespace snapfolio
