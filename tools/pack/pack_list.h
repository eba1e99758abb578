// Pack lists (".lst") and the run object. A list names the files to pack, one per line as
// "name", in index order, with "//#X:value" directives (A alignment, C level, D identifier form,
// E scrambling key, F user value, J JAB conversion, S strip "bin\\", T text cleaning, Z dummies)
// and "/*" ... "*/" comment blocks. Names, lines and identifiers are CP932 bytes with '\\' as the
// folder separator; they become native paths only when a file is opened.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/pack/archive.h"

namespace tesmo {

// The option bits of a packing run; other bits are ignored.
enum PackOption : uint32_t {
  PackIndependent = 0x1,       // header and index
  PackTimeTable = 0x2,         // with PackIndependent: the time table
  PackOffsetFile = 0x10,
  PackSizeFile = 0x20,
  PackIdFile = 0x40,           // this or PackDefineFile also turns on the strict file-name check
  PackDefineFile = 0x80,
  PackCompileDefine = 0x100,   // with PackDefineFile: compile the definitions into a module
  PackSkipIfCurrent = 0x1000,
  PackNoArchive = 0x2000,
};

inline constexpr size_t kPackMaxEntries = 32768;
inline constexpr size_t kPackMaxMessage = 1024;  // error-list entries are cut to this many units

struct PackEntry {
  std::string line;        // the list line as read
  std::string name;        // between the quotes, '/' turned into '\\'; relative to the base folder
  std::string identifier;  // prefix + identifier
  uint32_t offset = 0;     // 0xFFFFFFFF when the source was not found
  uint32_t size = 0;
  uint32_t alignment = kArchiveDefaultAlignment;
  int32_t level = kLevelRaw;  // −1 raw, 0–9 deflate, 10 LZSS
  uint32_t key = 0;           // scrambling key, 0 = none
  int32_t user_value = 0;
  bool make_jab = false;
  bool strip_bin = false;
  bool clean_text = false;
  bool dummy = false;
};

// Writes a JAB file from a BMP and its JPEG companion; 0 when `jab_path` was made.
using JabWriter = std::function<int(const std::u16string& bmp_path, const std::u16string& jpeg_path,
                                    const std::u16string& jab_path)>;
// Compiles the definition header `source` into the module `module` with `base_dir` as the
// compiler's base folder; 0 on success, else 1 with the compiler's own text in `error_text`.
using DefineCompiler = std::function<int(const std::u16string& source, const std::u16string& module,
                                         const std::u16string& base_dir, std::u16string& error_text)>;

// What a window shows while entries are packed: the base folder and count once, then each entry.
struct PackProgress {
  std::function<void(const std::u16string& base_dir, size_t count)> start;
  std::function<void(const PackEntry& entry, size_t done, size_t count)> entry;
};

// One packing run: entries in list order (the list index is the entry index), the error list
// in the order the messages arose, and the hooks its caller fills (the JAB writer, the define
// compiler, the progress view, the cancel test). The hooks are called on the thread that runs
// pack_run; only the JAB writer is called on the preparing threads, one call at a time.
struct Packer {
  std::vector<PackEntry> entries;
  std::vector<std::u16string> errors;
  std::string prefix;  // CP932
  size_t longest_identifier = 0;
  PackTime list_time;  // taken when the list is read
  bool delete_made_jab = true;
  JabWriter jab_writer;            // empty: a JAB conversion fails with its message
  DefineCompiler define_compiler;  // empty: compiling the definitions fails with its message
  PackProgress progress;
  uint64_t archive_limit = kArchiveMaxSize;  // the largest archive; lowered only by tests
  unsigned jobs = 0;  // threads that prepare entries; 0: one per core (pack_default_jobs)
  // Asked between entries and while an entry is awaited: true stops the run, which then fails
  // without a message (and leaves no archive, as any failed run).
  std::function<bool()> cancelled;

  void add_error(std::u16string message);  // cut to kPackMaxMessage units
};

// Reads the list at `list_path` into packer.entries (replacing them) and notes its last-write
// time. The first problem appends its message and ends the read: returns 1, else 0. The strict
// file-name check is on when `options` holds PackIdFile or PackDefineFile.
int pack_list_read(Packer& packer, const std::u16string& list_path, uint32_t options);

// The identifier of `name` (CP932, '\\'-separated) by form 0–7, without the prefix: the chosen
// part, "bin\\" dropped when `strip_bin`, then '\\' '-' '.' '/' turned into '_' and a–z upper-cased.
// Double-byte characters are stepped over and kept.
std::string pack_identifier(std::string_view name, int form, bool strip_bin);

// A list name as the user sees it (the progress window): '\\' becomes the platform's separator
// (double-byte characters stepped over) and CP932 becomes UTF-16. Stored and packed names keep '\\'.
std::u16string pack_display_name(std::string_view name);

// The native path of a list name below `base_dir`: base_dir + pack_display_name(name).
std::u16string pack_source_path(const std::u16string& base_dir, std::string_view name);

}  // namespace tesmo
