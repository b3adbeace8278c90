// TJPEGImage: the one object through which the program reads and writes JPEG files. It holds a
// file's compressed bytes (TJPEGData) and, on demand, the decoded raster; it encodes a raster
// into baseline quality-90 JPEG bytes.
//
// (Contract used by the pipeline and the run; the JPEG module completes it.)
#pragma once

#include <string>

#include <QRect>

#include "core/failure.h"
#include "core/raster.h"

namespace snapfolio {

// A fatal error of the JPEG library: "JPEG エラー #%d" with the library's message code.
class EJPEG : public Failure {
 public:
  using Failure::Failure;
};

class TJPEGImage {
 public:
  TJPEGImage();
  ~TJPEGImage();

  void LoadFromFile(const std::string& fileName);
  int ImageWidth() const;
  int ImageHeight() const;
  // Decodes (once) and maps the whole photo onto the whole rectangle of the surface.
  void DrawTo(Raster& canvas, const QRect& rect);
  // Takes a copy of the raster as the image to encode.
  void Assign(const Raster& bitmap);
  // Encodes if needed and writes the file through a temporary file and a rename.
  void SaveToFile(const std::string& fileName);
};

}  // namespace snapfolio
