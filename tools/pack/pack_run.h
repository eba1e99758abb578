// The packing run: a pack list becomes a pack archive and, on request, header texts (identifier
// list, offsets, sizes, definitions) and a compiled definition module. Every problem becomes a
// message in packer.errors; a run with any message fails.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "tools/pack/pack_list.h"

namespace tesmo {

class ArchiveFile;

// The number of cores, at least 1: the threads a run uses unless told otherwise.
unsigned pack_default_jobs();

// Packs the entries in list order from `start_position` into `archive`, filling each entry's
// offset and size (and level, forced to −1 for ".jpg" sources and made JAB files). A missing
// source is reported and the rest still packed; an encoder failure or passing packer.archive_limit
// stops at once. Entries are prepared on packer.jobs threads and written in list order: the
// archive, the messages and the progress reports are those of a run on one thread. Returns 1 when
// any message arose or the run was cancelled, else 0.
int pack_entries(Packer& packer, const std::u16string& base_dir, uint32_t start_position, ArchiveFile& archive);

// Writes the archive for the entries already read (nothing with PackNoArchive): entry data, then
// for PackIndependent the header, index and (PackTimeTable) time table. The archive replaces
// the old file only when complete; on failure no archive is left at `archive_path` (neither a
// partial one nor the previous run's). 0 or 1.
int archive_assemble(Packer& packer, const std::u16string& archive_path, const std::u16string& base_dir,
                     uint32_t options);

// The two halves of the up-to-date test. The list is unchanged when the archive's list time
// matches the list file's to the second (an unreadable list time counts as unchanged; a missing
// or short archive as changed). The files are current when the archive has a time table for
// exactly these entries and every non-dummy source's time matches to the second.
bool archive_list_unchanged(const std::u16string& archive_path, const std::u16string& list_path);
bool archive_files_current(const std::u16string& archive_path, const std::u16string& base_dir,
                           std::span<const PackEntry> entries);
// Both halves: packing may be skipped.
bool archive_is_current(const std::u16string& archive_path, const std::u16string& list_path,
                        const std::u16string& base_dir, std::span<const PackEntry> entries);

enum class PackText { Identifiers = 0, Offsets = 1, Sizes = 2, Definitions = 3 };

// The CP932 text of one header output, every line ending in "\r\n".
std::string pack_text(const Packer& packer, PackText kind);
// Its file name in the text folder: "fid_<base>_id.txt", "_offset.txt", "_size.txt" or
// "fid_<base>.txt", <base> being the archive's file name without its extension.
std::u16string pack_text_name(const std::u16string& archive_path, PackText kind);
// Replaces `path` with the text; a failure appends the export message. 0 or 1.
int pack_write_text(Packer& packer, const std::u16string& path, PackText kind);

// A ".txt" source cleaned: lines split as in lists, empty lines and lines starting "//" dropped,
// spaces (0x20 only) trimmed at both ends, every kept line ended with "\r\n". The result can be
// longer than the input (lines that ended in a bare "\n").
std::vector<uint8_t> text_clean(std::span<const uint8_t> text);

// "%3d%% (%d/%d)" with (done × 100 / count), done and count: the progress window's text.
std::u16string pack_progress_text(size_t done, size_t count);

// The whole run: the list-time test (PackSkipIfCurrent), the list, nothing more for an empty
// list, the file-time test, the archive (from 2048 when independent, else 0), the header texts
// in the order identifiers, offsets, sizes, definitions, then the compile step. The sources
// lie in the list's folder; `text_dir` and `script_dir` are prefixes of the output names.
// Returns 0 (also when skipped as current) or 1.
int pack_run(Packer& packer, const std::u16string& archive_path, const std::u16string& list_path,
             const std::u16string& script_dir, const std::u16string& text_dir, uint32_t options,
             const std::string& prefix);

// The windowless run of "LIST /vardo OPTIONS PREFIX" with `packer` (whose hooks the caller has
// set): the archive is the list path with ".dat" as extension and every folder is the list's.
// Writes "[error] %s.\n" per message, then the complete/failed line, to `out` in UTF-8.
// Returns 0 or 1.
int pack_run_windowless(Packer& packer, const std::u16string& list_path, uint32_t options,
                        const std::u16string& prefix, std::FILE* out);

}  // namespace tesmo
