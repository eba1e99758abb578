// Private to formats/png_tiff: opening TIFF files with the library's messages silenced. Errors and
// warnings go to handlers of the open options, which drop them; the library's return values say
// what failed.
#pragma once

#include <tiffio.h>

namespace tesmo::tiff {

// Options with silent error and warning handlers.
struct Options {
  Options();
  ~Options();
  Options(const Options&) = delete;
  Options& operator=(const Options&) = delete;
  TIFFOpenOptions* get() const { return options_; }

 private:
  TIFFOpenOptions* options_;
};

// An open TIFF handle, closed with its owner.
struct Handle {
  explicit Handle(TIFF* t) : tif(t) {}
  ~Handle() {
    if (tif) TIFFClose(tif);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  TIFF* tif;
};

}  // namespace tesmo::tiff
