// Preparing an entry: the source read, converted, cleaned, scrambled and blocked.
#include "tools/pack/pack_prepare.h"

#include <cstdio>

#include "base/file_io.h"
#include "base/path.h"
#include "tools/pack/pack_files.h"
#include "tools/pack/pack_run.h"

namespace tesmo {
namespace {

using Outcome = PreparedEntry::Outcome;

// The text from the last '.' of the whole path, ASCII lower-cased (a dot in a folder name counts).
std::u16string path_extension(const std::u16string& path) {
  size_t dot = path.rfind(u'.');
  std::u16string ext = dot == std::u16string::npos ? std::u16string() : path.substr(dot);
  for (char16_t& c : ext) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return ext;
}

enum class Jab { NotMade, Made, NoWriter };

// A BMP with a JPEG companion "z/<name>.jpg" in its folder becomes "z/<name>.jab" there.
Jab jab_from_bmp(const PrepareShared& shared, const std::u16string& bmp, std::u16string& jab) {
  std::u16string name = name_part(bmp);
  std::u16string stem = name.substr(0, name.rfind(u'.'));
  std::u16string folder = directory_part(bmp) + u"z/";
  std::u16string jpeg = folder + stem + u".jpg";
  if (!file_exists(jpeg)) return Jab::NotMade;
  if (!shared.jab_writer) return Jab::NoWriter;
  jab = folder + stem + u".jab";
  return shared.jab_writer(bmp, jpeg, jab) == 0 ? Jab::Made : Jab::NotMade;
}

int32_t encode(PrepareWork& work, int32_t level, std::span<const uint8_t> data, std::span<uint8_t> out) {
  if (level != kLevelLzss) return block_deflate(work.stream, out, data, level);
  if (!work.lzss) work.lzss = std::make_unique<LzssWork>();
  return block_lzss(*work.lzss, out, data);
}

// Reads the source at `path` and makes what the archive stores of it.
void prepare_source(const PackEntry& e, const PrepareShared& shared, PrepareWork& work, const std::u16string& path,
                    PreparedEntry& out) {
  out.path = path;
  SourceFile file;
  if (file.open(path) != SourceFile::Open::Ok) {
    out.outcome = Outcome::Missing;
    return;
  }
  if (file.size() > shared.archive_limit) {  // no block can hold it
    out.outcome = Outcome::SourceTooLarge;
    return;
  }
  out.input.resize(static_cast<size_t>(file.size()));
  out.input.resize(file.read_at(0, out.input));  // a file that shrank meanwhile gives what it has
  if (e.clean_text && path_extension(path) == u".txt") out.input = text_clean(out.input);
  if (e.key) scramble_xor(out.input, e.key);
  out.outcome = Outcome::Data;
  out.stored_size = out.input.size();
  out.stored_in_output = false;
  if (out.level == kLevelRaw) return;
  out.output.resize(kBlockHeaderSize + out.input.size());
  const int32_t size = encode(work, out.level, out.input, out.output);
  if (size < 0) {
    out.outcome = Outcome::EncodeFailed;
    return;
  }
  out.stored_size = static_cast<size_t>(size);
  out.stored_in_output = true;
}

}  // namespace

void prepare_entry(const PackEntry& e, PrepareShared& shared, PrepareWork& work, PreparedEntry& out) {
  out.outcome = Outcome::Dummy;
  out.level = e.level;
  out.path.clear();
  out.stored_size = 0;
  if (e.dummy) return;
  const std::u16string path = pack_source_path(shared.base_dir, e.name);
  const std::u16string ext = path_extension(path);
  if (ext == u".jpg") out.level = kLevelRaw;
  if (!e.make_jab || ext != u".bmp") return prepare_source(e, shared, work, path, out);

  // The made JAB file lives only while it is read (it is stored raw), under the lock, so no other
  // entry's conversion can overwrite or delete it meanwhile.
  std::u16string jab;
  std::unique_lock lock(shared.jab_lock);
  const Jab made = jab_from_bmp(shared, path, jab);
  if (made == Jab::Made) {
    out.level = kLevelRaw;
    prepare_source(e, shared, work, jab, out);
    if (shared.delete_made_jab) std::remove(to_fs_path(jab).c_str());
    return;
  }
  lock.unlock();
  if (made == Jab::NotMade) return prepare_source(e, shared, work, path, out);
  out.outcome = Outcome::NoJabWriter;
  out.path = path;
}

}  // namespace tesmo
