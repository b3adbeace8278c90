// ImageOptions: the main window's options of one output image, as the run and the settings file
// see them. A plain value; the window (or the command line) fills it when a run starts.
#pragma once

#include <string>

#include "options/pixel_width.h"

namespace snapfolio {

// The options of one output image as the main window holds them.
struct ImageOptions {
  bool produce = true;      // Gazou1 / Gazou2
  PixelWidth widthText;     // Width1 / Width2, read as it is taken from the control or file
  std::string prefix;       // PriFileName1 / PriFileName2
  std::string suffix;       // AftFileName1 / AftFileName2
  bool autoAdjust = false;  // AutoAdjust1 / AutoAdjust2
  bool timeStamp = false;   // CheckTimeStmp1 / CheckTimeStmp2
};

}  // namespace snapfolio
