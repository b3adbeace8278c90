// The album site's run from the window: the engine that the command line's album command runs
// (site::buildSite), on the run's worker thread, telling the main window through its RunPort:
// each photo converted advances the overall gauge and shows its name in the status line, the
// engine's messages come in the window's boxes, BreakButton1's stop request ends the
// conversions, and the status line says at the end what the run did.
#pragma once

#include <string>

#include "run/run_port.h"
#include "settings/options.h"
#include "site/site_build.h"

namespace snapfolio {

// The request of a run over `fields`, in `language`, with the album's image options.
site::SiteRequest keptAlbumRequest(const KeptAlbumFields& fields, bool rebuild,
                                   const std::string& language);

struct KeptAlbumOutcome {
  bool finished = false;  // the run went to its end (not stopped, no failure that ended it)
  site::SiteSummary summary;
};

// Runs the site of `request`, creating its folder when missing. Never throws: a failure that
// ends the run is shown in the window's "ERROR" box.
KeptAlbumOutcome runKeptAlbum(const site::SiteRequest& request, RunPort& port);

}  // namespace snapfolio
