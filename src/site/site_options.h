// The options the kept album's images are made with, the same from the command line and from the
// window: every settings key at its default except the album's choices (150-pixel thumbnails,
// 1280-pixel view images, no correction, no stamp, the date taken, small photos never enlarged),
// then the settings given for the run (the command line's --set) in their order.
//
// Plain functions; any thread.
#pragma once

#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "settings/options.h"
#include "site/site_job.h"

namespace snapfolio::site {

// The album's choices of settings: output images of 150 and 1280 pixels named t_NAME and
// NAME_l, the album page index.html from the shipped template, photos dated by when they were
// taken. Sets them in `ini`, in memory only (the file is not changed): the window starts with
// them where there is no settings file yet.
void applyAlbumChoices(TIniFile& ini);

// What the site's jobs are made with: the pipeline inputs of the thumbnails (output image 1) and
// of the view image (output image 2), and each one's options as a key that changes exactly when
// a setting that concerns the image changes.
SiteJobPlan albumPlan(const std::vector<SettingOverride>& overrides);

}  // namespace snapfolio::site
