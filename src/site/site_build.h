// buildSite: makes or updates a kept album (a site folder of album pages) from source folders
// and photos named alone, doing only what changed since the last run.
//
// The catalogue (site/catalogue.h) says what the site holds. The run walks the sources (stat
// only), compares each photo with its record by size and modification time and, where they
// differ, by its fingerprint; converts new and changed photos and remakes images whose options
// changed (site/site_job.h, on the run's workers); moves the images of a photo moved or renamed
// inside its source; removes the images of a photo that is gone; and rewrites an album page only
// where its bytes change. Every photo done is committed to the catalogue before the next, so a
// kill loses at most the photos being converted.
//
// A source folder becomes an album (the first one given to a new site the top album, others
// an album each under it), each of its subfolders with photos an album of its own; a photo named
// alone joins the top album. Sources are remembered: a later run takes them again besides those
// it is given. A source folder that is not there (an unplugged card) keeps its albums.
//
// Runs on the calling thread (the run's), with worker threads for the conversions.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ports.h"
#include "site/site_job.h"

namespace snapfolio::site {

struct SiteRequest {
  std::string siteDir;                // absolute
  std::vector<std::string> folders;   // source folders given, absolute
  std::vector<std::string> photos;    // photos named alone, absolute
  std::string title;                  // the top album's; empty: kept from the last run, else the
                                      // site folder's name
  std::string baseUrl;                // empty: kept from the last run
  std::string language = "ja";        // of the pages' own texts
  std::optional<bool> copyOriginals;  // copy each photo into the site (_orig/); unset: as the
                                      // last run did (at first: no)
  bool rebuild = false;               // the catalogue made anew from the sources
  int jobs = 0;                       // worker threads; 0: one per core
  SiteJobPlan plan;
  // Called once before the first conversion, so that a run with nothing to convert starts
  // nothing it does not need.
  std::function<void()> beforeConverting;
};

// What the run tells its surroundings besides the pipeline's messages (MessagePort).
class SitePort : public MessagePort {
 public:
  virtual void showWarning(const std::string& text) = 0;
  // Before photo `done` + 1 of `total` to convert.
  virtual void converting(int done, int total, const std::string& photo) = 0;
  virtual bool stopRequested() = 0;
};

struct SiteSummary {
  int photos = 0;     // in the site after the run
  int converted = 0;  // photos converted (new or changed)
  int remade = 0;     // photos whose images were remade for changed options or missing files
  int adopted = 0;    // photos whose images were found in the site (a rebuilt catalogue)
  int moved = 0;      // photos moved or renamed inside a source
  int removed = 0;    // photos gone from their source
  int failed = 0;     // photos that could not be converted
  int damaged = 0;    // photos converted from damaged data
  int pagesWritten = 0;
  bool stopped = false;  // the stop request ended the conversions early
};

// Whether `path` is `folder` or lies inside it (both absolute, without a trailing "/").
bool liesInside(const std::string& path, const std::string& folder);

// Throws SiteBusy, CatalogueError, or FileWriteError when a page cannot be written.
SiteSummary buildSite(const SiteRequest& request, SitePort& port);

}  // namespace snapfolio::site
