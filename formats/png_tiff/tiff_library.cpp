// Silent open options for the TIFF library.
#include "formats/png_tiff/tiff_library.h"

#include <cstdarg>
#include <cstdio>

namespace tesmo::tiff {
namespace {

// Returning 1 stops the library from calling its global (printing) handlers.
int drop_message(TIFF*, void*, const char*, const char*, va_list) { return 1; }

}  // namespace

int Options::keep_error(TIFF*, void* options, const char*, const char* format, va_list args) {
  char text[256];
  std::vsnprintf(text, sizeof text, format, args);
  static_cast<Options*>(options)->last_error_ = text;
  return 1;
}

Options::Options() : options_(TIFFOpenOptionsAlloc()) {
  if (!options_) return;
  TIFFOpenOptionsSetErrorHandlerExtR(options_, keep_error, this);
  TIFFOpenOptionsSetWarningHandlerExtR(options_, drop_message, nullptr);
}

Options::~Options() {
  if (options_) TIFFOpenOptionsFree(options_);
}

}  // namespace tesmo::tiff
