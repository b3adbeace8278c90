// The date and time of a photo, the one source of the stamps' text and of the album page's
// "$FILEDATE": the file's modification time (to two seconds), or the date the photo was taken
// (to the second, as the camera recorded it), falling back to the file time for a photo
// without one.
//
// Plain function; any thread.
#pragma once

#include <string>

#include "options/photo_options.h"
#include "timestamp/date_time.h"

namespace snapfolio {

// Throws Failure when the date is the file time and the file's time cannot be read (a file
// that does not exist).
DateTime photoDateTime(const std::string& path, DateSource source);

}  // namespace snapfolio
