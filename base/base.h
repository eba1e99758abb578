// The base library, the bottom of every dependency arrow:
//   text.h     UTF-16 strings, UTF-8 and CP932 (Shift JIS) conversion, lead-byte test
//   path.h     program folder, directory / name parts, lower-cased extensions
//   bytes.h    ByteReader (bounded, little- and big-endian, sticky failure), ByteWriter, fixed fields
//   file_io.h  whole-file reads (FileBytes: uninitialised, huge-page advised), file_replace
//              (temporary file + rename), read-only attribute
//   aligned_block.h  32-byte aligned raw blocks, huge pages for large ones
//   trash.h    the user's trash folder and moving a file into it
//   zuk.h      the ZUK signature and the name hash
#pragma once

#include "base/aligned_block.h"
#include "base/bytes.h"
#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "base/trash.h"
#include "base/zuk.h"
