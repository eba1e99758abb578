// The error manager and the owning wrappers of the JPEG library objects.
#include "formats/jpeg/jpeg_library.h"

#include <cstdlib>
#include <cstring>

#include <jerror.h>

namespace tesmo::jpeg {
namespace {

[[noreturn]] void error_exit(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
  cinfo->err->format_message(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

// Level −1 is a warning. Running out of coded data is remembered; other warnings (corrupt data the
// library can step over) and trace messages are dropped.
void emit_message(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_HIT_MARKER) {
    reinterpret_cast<ErrorManager*>(cinfo->err)->data_ran_out = true;
  }
}
void output_message(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* install_error_manager(ErrorManager& errors) {
  jpeg_error_mgr* pub = jpeg_std_error(&errors.pub);
  pub->error_exit = error_exit;
  pub->emit_message = emit_message;
  pub->output_message = output_message;
  return pub;
}

Decompressor::Decompressor() {
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = install_error_manager(errors);
}

Decompressor::~Decompressor() { jpeg_destroy_decompress(&cinfo); }

bool Decompressor::create() {
  if (setjmp(errors.jump)) return false;
  jpeg_create_decompress(&cinfo);
  return true;
}

Compressor::Compressor() {
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = install_error_manager(errors);
}

Compressor::~Compressor() {
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);  // the memory destination allocates with malloc
}

bool Compressor::create() {
  if (setjmp(errors.jump)) return false;
  jpeg_create_compress(&cinfo);
  return true;
}

}  // namespace tesmo::jpeg
