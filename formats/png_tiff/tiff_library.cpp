// Silent open options for the TIFF library.
#include "formats/png_tiff/tiff_library.h"

#include <cstdarg>

namespace tesmo::tiff {
namespace {

// Returning 1 stops the library from calling its global (printing) handlers.
int drop_message(TIFF*, void*, const char*, const char*, va_list) { return 1; }

}  // namespace

Options::Options() : options_(TIFFOpenOptionsAlloc()) {
  if (!options_) return;
  TIFFOpenOptionsSetErrorHandlerExtR(options_, drop_message, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options_, drop_message, nullptr);
}

Options::~Options() {
  if (options_) TIFFOpenOptionsFree(options_);
}

}  // namespace tesmo::tiff
