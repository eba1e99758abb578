// Private to formats/png_tiff: opening TIFF files with the library's messages silenced. Errors and
// warnings go to handlers of the open options, which print nothing (an error's text is kept for
// the reason of a refusal); the library's return values say what failed.
#pragma once

#include <cstdarg>
#include <string>

#include <tiffio.h>

namespace tesmo::tiff {

// Options with silent error and warning handlers; the text of the last error is kept.
struct Options {
  Options();
  ~Options();
  Options(const Options&) = delete;
  Options& operator=(const Options&) = delete;
  TIFFOpenOptions* get() const { return options_; }
  const std::string& last_error() const { return last_error_; }

 private:
  static int keep_error(TIFF*, void* options, const char* module, const char* format, va_list args);
  TIFFOpenOptions* options_;
  std::string last_error_;
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
