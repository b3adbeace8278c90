// RunOptions: the main window's options of a conversion run, as the run and the settings file
// see them. A plain value; the window (or the command line) fills it when a run starts.
#pragma once

#include <string>

#include "options/album_options.h"
#include "options/image_options.h"
#include "options/photo_options.h"

namespace snapfolio {

struct RunOptions {
  ImageOptions image[2];  // output image 1 and 2
  AlbumOptions album;
  std::string outputDir;  // the current directory of DirectoryListBox1
  PhotoOptions photo;     // the 詳細設定 dialog's options (both images)
  int jobs = 0;           // photos made at once; 0: one per core (the command line's --jobs)
};

}  // namespace snapfolio
