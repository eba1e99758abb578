// The pack tools, the map of tools/pack:
//   block.h      compressed blocks: header, deflate with stored fallback, expand, scrambling
//   lzss.h       LZSS blocks: the binary-tree encoder and a decoder
//   archive.h    pack archive records, file times, the archive reader
//   pack_list.h  pack lists, entries, the run object with its hooks
//   pack_run.h   packing entries, assembling, the up-to-date test, header texts, the whole run
#pragma once

#include "tools/pack/archive.h"
#include "tools/pack/block.h"
#include "tools/pack/lzss.h"
#include "tools/pack/pack_list.h"
#include "tools/pack/pack_run.h"
