// Packing the entries of a list into the archive: sources read, cleaned, scrambled and blocked.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/file_io.h"
#include "base/path.h"
#include "tools/pack/block.h"
#include "tools/pack/lzss.h"
#include "tools/pack/pack_files.h"
#include "tools/pack/pack_run.h"
#include "tools/pack/pack_text_util.h"

namespace tesmo {
namespace {

constexpr uint32_t kNotFound = 0xFFFFFFFF;

// The text from the last '.' of the whole path, ASCII lower-cased (a dot in a folder name counts).
std::u16string path_extension(const std::u16string& path) {
  size_t dot = path.rfind(u'.');
  std::u16string ext = dot == std::u16string::npos ? std::u16string() : path.substr(dot);
  for (char16_t& c : ext) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return ext;
}

uint64_t padding_for(uint64_t position, uint32_t alignment) {
  uint64_t rest = position % alignment;
  return rest ? alignment - rest : 0;
}

enum class Jab { NotMade, Made, NoWriter };

// A BMP with a JPEG companion "z/<name>.jpg" in its folder becomes "z/<name>.jab" there.
Jab jab_from_bmp(const Packer& packer, const std::u16string& bmp, std::u16string& jab) {
  std::u16string name = name_part(bmp);
  std::u16string stem = name.substr(0, name.rfind(u'.'));
  std::u16string folder = directory_part(bmp) + u"z/";
  std::u16string jpeg = folder + stem + u".jpg";
  if (!file_exists(jpeg)) return Jab::NotMade;
  if (!packer.jab_writer) return Jab::NoWriter;
  jab = folder + stem + u".jab";
  return packer.jab_writer(bmp, jpeg, jab) == 0 ? Jab::Made : Jab::NotMade;
}

// Packs one entry after another; `position` is the next write position.
class EntryPacker {
 public:
  EntryPacker(Packer& packer, const std::u16string& base_dir, uint64_t position, ArchiveFile& archive)
      : p_(packer), base_(base_dir), position_(position), archive_(archive) {}

  // False when the run must stop at once.
  bool pack(PackEntry& e);

 private:
  bool dummy(PackEntry& e);
  bool source(PackEntry& e, const std::u16string& path, const std::u16string& ext);
  std::span<uint8_t> read(const SourceFile& file);
  std::span<uint8_t> output(size_t size);
  int32_t encode(PackEntry& e, std::span<const uint8_t> data, std::span<uint8_t> out);
  bool write(uint64_t padding, std::span<const uint8_t> data);
  bool too_large(const std::u16string& path) {
    p_.add_error(format_message(msg::kArchiveTooLarge, {path, base_}));
    return false;
  }
  void missing(PackEntry& e, const std::u16string& path) {
    e.offset = kNotFound;
    e.size = 0;
    p_.add_error(format_message(msg::kSourceMissing, {path, base_}));
  }

  Packer& p_;
  const std::u16string& base_;
  uint64_t position_;
  ArchiveFile& archive_;
  std::vector<uint8_t> own_input_;   // sources larger than the reused buffer
  std::vector<uint8_t> own_output_;  // blocks larger than the reused buffer
  std::vector<uint8_t> cleaned_;
  BlockStream stream_;
  std::unique_ptr<LzssWork> lzss_;
};

bool EntryPacker::pack(PackEntry& e) {
  if (e.dummy) return dummy(e);
  std::u16string path = pack_source_path(base_, e.name);
  std::u16string ext = path_extension(path);
  if (ext == u".jpg") {
    e.level = kLevelRaw;
    return source(e, path, ext);
  }
  std::u16string jab;
  Jab made = e.make_jab && ext == u".bmp" ? jab_from_bmp(p_, path, jab) : Jab::NotMade;
  if (made == Jab::NoWriter) {
    e.offset = kNotFound;
    e.size = 0;
    p_.add_error(format_message(msg::kJabMissing, {path}));
    return true;
  }
  if (made == Jab::NotMade) return source(e, path, ext);
  e.level = kLevelRaw;
  bool go_on = source(e, jab, path_extension(jab));
  if (p_.delete_made_jab) std::remove(to_fs_path(jab).c_str());
  return go_on;
}

// A dummy has no data: its offset is the aligned position, which the next entry starts from.
bool EntryPacker::dummy(PackEntry& e) {
  uint64_t offset = position_ + padding_for(position_, e.alignment);
  if (offset > p_.archive_limit) return too_large(pack_source_path(base_, e.name));
  e.offset = static_cast<uint32_t>(offset);
  e.size = 0;
  position_ = offset;
  return true;
}

bool EntryPacker::source(PackEntry& e, const std::u16string& path, const std::u16string& ext) {
  SourceFile file;
  if (file.open(path) != SourceFile::Open::Ok) {
    missing(e, path);
    return true;
  }
  if (file.size() > p_.archive_limit) return too_large(path);  // no block can hold it
  std::span<uint8_t> data = read(file);
  if (e.clean_text && ext == u".txt") {
    cleaned_ = text_clean(data);
    data = cleaned_;
  }
  if (e.key) scramble_xor(data, e.key);
  std::span<const uint8_t> stored = data;
  if (e.level != kLevelRaw) {
    std::span<uint8_t> out = output(data.size());
    int32_t size = encode(e, data, out);
    if (size < 0) {
      p_.add_error(format_message(msg::kEncodeFailed, {path}));
      return false;
    }
    stored = out.first(static_cast<size_t>(size));
  }
  uint64_t padding = padding_for(position_, e.alignment);
  if (position_ + padding + stored.size() > p_.archive_limit) return too_large(path);
  if (!write(padding, stored)) return false;
  e.offset = static_cast<uint32_t>(position_ + padding);
  e.size = static_cast<uint32_t>(stored.size());
  position_ += padding + stored.size();
  return true;
}

// The source's bytes, in the reused input buffer when they fit.
std::span<uint8_t> EntryPacker::read(const SourceFile& file) {
  auto size = static_cast<size_t>(file.size());
  uint8_t* buffer;
  if (size <= kPackInputBuffer) {
    if (!p_.input_buffer) p_.input_buffer = std::make_unique_for_overwrite<uint8_t[]>(kPackInputBuffer);
    buffer = p_.input_buffer.get();
  } else {
    own_input_.resize(size);
    buffer = own_input_.data();
  }
  std::span<uint8_t> data(buffer, size);
  return data.first(file.read_at(0, data));  // a file that shrank meanwhile gives what it has
}

// Room for a block of `size` input bytes: the reused output buffer, or one of the block's size.
std::span<uint8_t> EntryPacker::output(size_t size) {
  size_t need = kBlockHeaderSize + size;
  if (need <= kPackOutputBuffer) {
    if (!p_.output_buffer) p_.output_buffer = std::make_unique_for_overwrite<uint8_t[]>(kPackOutputBuffer);
    return {p_.output_buffer.get(), need};
  }
  own_output_.resize(need);
  return own_output_;
}

int32_t EntryPacker::encode(PackEntry& e, std::span<const uint8_t> data, std::span<uint8_t> out) {
  if (e.level != kLevelLzss) return block_deflate(stream_, out, data, e.level);
  if (!lzss_) lzss_ = std::make_unique<LzssWork>();
  return block_lzss(*lzss_, out, data);
}

bool EntryPacker::write(uint64_t padding, std::span<const uint8_t> data) {
  static const std::vector<uint8_t> zeros(64 * 1024, 0);
  uint64_t at = position_;
  bool ok = true;
  for (uint64_t left = padding; ok && left > 0;) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
    ok = archive_.write_at(at, std::span(zeros).first(n));
    at += n;
    left -= n;
  }
  if (ok) ok = archive_.write_at(at, data);
  if (!ok) p_.add_error(format_message(msg::kArchiveOpen, {archive_.target()}));
  return ok;
}

}  // namespace

int pack_entries(Packer& packer, const std::u16string& base_dir, uint32_t start_position, ArchiveFile& archive) {
  const size_t errors_before = packer.errors.size();
  const size_t count = packer.entries.size();
  if (packer.progress.start) packer.progress.start(base_dir, count);
  EntryPacker entries(packer, base_dir, start_position, archive);
  for (size_t i = 0; i < count; ++i) {
    PackEntry& e = packer.entries[i];
    if (packer.progress.entry) packer.progress.entry(e, i + 1, count);
    if (!entries.pack(e)) return 1;
  }
  return packer.errors.size() > errors_before ? 1 : 0;
}

}  // namespace tesmo
