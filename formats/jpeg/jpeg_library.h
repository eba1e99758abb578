// Private to formats/jpeg: the JPEG library objects with an error manager that returns to the
// operation instead of ending the process.
//
// Each library call runs inside a small function that first sets the jump target with setjmp and
// holds no objects with destructors: a library error jumps back there and the function returns
// false. The owning wrappers below release the library objects afterwards.
#pragma once

#include <csetjmp>
#include <cstdio>  // the library header needs FILE

#include <jpeglib.h>

namespace tesmo::jpeg {

// The library's error fields and the jump target of the call in progress. No message is ever
// shown: an error's text is kept for the caller, and of the warnings only the one that says the
// coded data ended before the decoder had what it needed is remembered (the library then invents
// the rest of the picture); other warnings (extra bytes, a missing end marker) are dropped.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = {};
  bool data_ran_out = false;
};

// Fills the standard fields and installs the system's handlers; returns &errors.pub.
jpeg_error_mgr* install_error_manager(ErrorManager& errors);

// A decompressor; destroyed with its owner. create() is false when the library cannot make one.
struct Decompressor {
  Decompressor();
  ~Decompressor();
  bool create();
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  ErrorManager errors;
  jpeg_decompress_struct cinfo;
};

// A compressor into a library-allocated memory buffer; the buffer is freed with its owner.
struct Compressor {
  Compressor();
  ~Compressor();
  bool create();
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;

  ErrorManager errors;
  jpeg_compress_struct cinfo;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
};

}  // namespace tesmo::jpeg
