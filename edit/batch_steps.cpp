// The batch's step list as data.
#include "edit/batch_steps.h"

#include <algorithm>
#include <filesystem>

#include "base/bytes.h"
#include "base/path.h"
#include "base/zuk.h"
#include "edit/effects.h"

namespace tesmo {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::u16string_view, kBatchFirstEffect> kOwnNames = {
    u"ファイルの保存",
    u"画像解像度",
    u"キャンバス サイズ",
    u"切り抜き",
    u"トリミング",
    u"キャンバスの回転 - 左に 90 度",
    u"キャンバスの回転 - 180 度",
    u"キャンバスの回転 - 右に 90 度",
    u"キャンバスの回転 - 左右に反転",
    u"キャンバスの回転 - 上下に反転",
    u"キャンバスの回転 - 角度を指定",
    u"結合と分割 - 結合",
    u"結合と分割 - 分割",
    u"αチャンネル操作 - 新規作成",
    u"αチャンネル操作 - 削除",
    u"αチャンネル操作 - インポート",
    u"αチャンネル操作 - RGB チャンネルと入れ替え",
    u"αチャンネル操作 - 階調の反転",
    u"ロスレス回転",
};

// List position → operation: the name table's order with "角度を指定" moved before the flips.
constexpr std::array<int32_t, kBatchOperationCount> kListOrder = [] {
  std::array<int32_t, kBatchOperationCount> order{};
  for (int32_t p = 0; p < kBatchOperationCount; ++p) order[static_cast<size_t>(p)] = p;
  order[8] = kBatchRotateAngle;
  order[9] = kBatchFlipLeftRight;
  order[10] = kBatchFlipTopBottom;
  return order;
}();

constexpr uint32_t kBatchVersion = 256;
constexpr size_t kBatchHeaderBytes = 16;

char16_t lower_ascii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool ends_with_suffix(std::u16string_view name, std::u16string_view suffix) {
  if (suffix.size() > name.size()) return false;
  const std::u16string_view tail = name.substr(name.size() - suffix.size());
  return std::equal(tail.begin(), tail.end(), suffix.begin(),
                    [](char16_t a, char16_t b) { return lower_ascii(a) == lower_ascii(b); });
}

// One folder's entries by name (ordinal UTF-16), split into files and folders.
void list_folder(const fs::path& folder, std::vector<fs::path>& files, std::vector<fs::path>& folders) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code kind;
    if (it->is_directory(kind)) folders.push_back(it->path());
    else if (it->is_regular_file(kind)) files.push_back(it->path());
  }
  auto by_name = [](const fs::path& a, const fs::path& b) {
    return from_fs_path(a.filename()) < from_fs_path(b.filename());
  };
  std::sort(files.begin(), files.end(), by_name);
  std::sort(folders.begin(), folders.end(), by_name);
}

void collect(const fs::path& folder, std::span<const std::u16string> suffixes, bool subfolders,
             std::vector<std::u16string>& out) {
  std::vector<fs::path> files, folders;
  list_folder(folder, files, folders);
  for (const fs::path& f : files) {
    const std::u16string name = from_fs_path(f.filename());
    if (std::any_of(suffixes.begin(), suffixes.end(),
                    [&](const std::u16string& s) { return ends_with_suffix(name, s); })) {
      out.push_back(from_fs_path(f));
    }
  }
  if (!subfolders) return;
  for (const fs::path& sub : folders) {
    std::error_code ec;
    if (!fs::is_symlink(sub, ec)) collect(sub, suffixes, true, out);  // a linked folder could loop
  }
}

}  // namespace

std::u16string batch_operation_name(int32_t operation) {
  if (operation < 0 || operation >= kBatchOperationCount) return {};
  if (operation < kBatchFirstEffect) return std::u16string(kOwnNames[static_cast<size_t>(operation)]);
  return effect_name(operation - kBatchFirstEffect);
}

int32_t batch_operation_at(int32_t list_position) {
  if (list_position < 0 || list_position >= kBatchOperationCount) return -1;
  return kListOrder[static_cast<size_t>(list_position)];
}

int32_t batch_list_position(int32_t operation) {
  const auto it = std::find(kListOrder.begin(), kListOrder.end(), operation);
  return it == kListOrder.end() ? -1 : static_cast<int32_t>(it - kListOrder.begin());
}

int32_t BatchStep::field(size_t index) const {
  return static_cast<int32_t>(load_u32le(request, index * 4));
}

void BatchStep::set_field(size_t index, int32_t value) { store_u32le(request, index * 4, static_cast<uint32_t>(value)); }

std::u16string BatchStep::text(size_t field, size_t units) const {
  return load_u16_field(request, field * 4, units * 2);
}

void BatchStep::set_text(size_t field, size_t units, std::u16string_view value) {
  store_u16_field(request, field * 4, units * 2, value);
}

std::vector<uint8_t> batch_file_bytes(std::span<const BatchStep> steps) {
  std::vector<uint8_t> out;
  out.reserve(kBatchHeaderBytes + steps.size() * kBatchStepBytes);
  ByteWriter w(out);
  w.bytes(kZukSignature.data(), kZukSignature.size());
  w.u32le(kBatchVersion);
  w.u32le(kBatchVersion);
  w.u32le(static_cast<uint32_t>(steps.size()));
  for (const BatchStep& s : steps) {
    w.u32le(static_cast<uint32_t>(s.operation));
    w.bytes(s.request.data(), s.request.size());
  }
  return out;
}

std::optional<std::vector<BatchStep>> read_batch_file(std::span<const uint8_t> bytes) {
  ByteReader r(bytes);
  if (!has_zuk_signature(bytes) || !r.skip(4)) return std::nullopt;
  const uint32_t second = r.u32le();
  const uint32_t third = r.u32le();
  const uint32_t count = r.u32le();
  if (!r.ok() || second != kBatchVersion || static_cast<int32_t>(third) <= 255 || count == 0) return std::nullopt;
  if (count > r.remaining() / kBatchStepBytes) return std::nullopt;
  std::vector<BatchStep> steps(count);
  for (BatchStep& s : steps) {
    s.operation = r.i32le();
    r.bytes(s.request.data(), s.request.size());
    if (s.operation < 0 || s.operation >= kBatchOperationCount) return std::nullopt;
  }
  return steps;
}

std::vector<std::u16string> batch_suffixes(std::u16string_view extensions) {
  std::vector<std::u16string> out;
  size_t start = 0;
  while (start <= extensions.size()) {
    size_t end = extensions.find(u';', start);
    if (end == std::u16string_view::npos) end = extensions.size();
    const std::u16string_view pattern = extensions.substr(start, end - start);
    if (pattern.size() > 1) out.emplace_back(pattern.substr(1));
    start = end + 1;
  }
  return out;
}

std::vector<std::u16string> batch_files(const std::u16string& folder, std::span<const std::u16string> suffixes,
                                        bool subfolders) {
  std::vector<std::u16string> out;
  if (!folder.empty() && !suffixes.empty()) collect(to_fs_path(folder), suffixes, subfolders, out);
  return out;
}

}  // namespace tesmo
