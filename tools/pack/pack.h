// The pack tools, the map of tools/pack:
//   block.h      compressed blocks: header, deflate with stored fallback, expand, scrambling
//   lzss.h       LZSS blocks: the binary-tree encoder and a decoder
//   archive.h    pack archive records, file times, the archive reader
//   pack_list.h  pack lists, entries, the run object with its hooks
//   pack_run.h   packing entries, assembling, the up-to-date test, header texts, the whole run
//   pack_project.h       the file pack module's project file
//   pack_folder_lines.h  list lines for the files of a folder
#pragma once

#include "tools/pack/archive.h"
#include "tools/pack/block.h"
#include "tools/pack/lzss.h"
#include "tools/pack/pack_list.h"
#include "tools/pack/pack_folder_lines.h"
#include "tools/pack/pack_project.h"
#include "tools/pack/pack_run.h"
