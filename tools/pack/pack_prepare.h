// Preparing one entry of a packing run (private to tools/pack): the source read, converted to JAB,
// cleaned, scrambled and blocked, ready to be written. Preparing touches nothing but the entry's
// own result and the source files, so entries are prepared on several threads while the archive
// is written in list order.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "tools/pack/block.h"
#include "tools/pack/lzss.h"
#include "tools/pack/pack_list.h"

namespace tesmo {

struct PreparedEntry {
  enum class Outcome {
    Dummy,           // no data
    Data,            // stored() goes into the archive
    Missing,         // the source (or the made JAB file) cannot be opened
    NoJabWriter,     // a JAB file was wanted but this build cannot make one
    SourceTooLarge,  // larger than the whole archive may be
    EncodeFailed,    // the block could not be made
  };
  Outcome outcome = Outcome::Dummy;
  int32_t level = kLevelRaw;  // the entry's level, −1 for ".jpg" sources and made JAB files
  std::u16string path;        // the file the outcome concerns, for the messages
  std::vector<uint8_t> input;   // the source's bytes, cleaned and scrambled
  std::vector<uint8_t> output;  // the block made of them
  size_t stored_size = 0;
  bool stored_in_output = false;

  std::span<const uint8_t> stored() const {
    return std::span<const uint8_t>(stored_in_output ? output : input).first(stored_size);
  }
};

// What all preparing threads of one run share; read-only but for the JAB lock, which keeps one
// JAB file made, read and deleted at a time (two entries may name the same BMP).
struct PrepareShared {
  const std::u16string& base_dir;
  const JabWriter& jab_writer;
  bool delete_made_jab;
  uint64_t archive_limit;
  std::mutex jab_lock;
};

// One thread's compressor state.
struct PrepareWork {
  BlockStream stream;
  std::unique_ptr<LzssWork> lzss;  // made on first use
};

// Prepares `entry` into `out`, whose buffers may hold room from earlier entries.
void prepare_entry(const PackEntry& entry, PrepareShared& shared, PrepareWork& work, PreparedEntry& out);

}  // namespace tesmo
