// The description texts of the shown picture.
#include "viewer/file_info.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <optional>

#include "base/path.h"
#include "base/text.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

constexpr char16_t kBytes[] = u"バイト";
constexpr char16_t kSeconds[] = u"秒";
constexpr char16_t kFrames[] = u"フレーム";
constexpr int32_t kFramesPerSecond = 60;

// The file's size and last-write time; nothing when it cannot be read.
struct FileFacts {
  uint64_t size = 0;
  std::filesystem::file_time_type written;
};

std::optional<FileFacts> file_facts(const std::u16string& path) {
  std::error_code ec;
  const std::filesystem::path p = to_fs_path(path);
  if (!std::filesystem::is_regular_file(p, ec)) return std::nullopt;
  FileFacts facts;
  facts.size = std::filesystem::file_size(p, ec);
  if (ec) return std::nullopt;
  facts.written = std::filesystem::last_write_time(p, ec);
  if (ec) return std::nullopt;
  return facts;
}

}  // namespace

std::string format_detail_text(const ImageInfo& info) {
  if (info.extra_text.empty()) return info.pixel_text;
  return info.pixel_text + " / " + info.extra_text;
}

std::string decoded_size_text(const ViewState& v) {
  char text[96];
  std::snprintf(text, sizeof text, "%d x %d x %d", v.decoded_width, v.decoded_height, v.decoded_bits);
  return text;
}

std::u16string file_size_text(uint64_t bytes) {
  // 64-bit numbers: a file beyond 2 GiB shows its real size, not a wrapped one.
  char text[64];
  std::snprintf(text, sizeof text, "%llu ", static_cast<unsigned long long>(bytes));
  char kb[32];
  std::snprintf(kb, sizeof kb, " (%llu KB)", static_cast<unsigned long long>(bytes / 1024));
  return u16(text) + kBytes + u16(kb);
}

std::u16string file_time_text(std::filesystem::file_time_type written) {
  const auto system = std::chrono::file_clock::to_sys(written);
  const std::time_t seconds = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
  std::tm local{};
  if (!localtime_r(&seconds, &local)) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return u16(text);
}

std::u16string load_time_text(uint32_t milliseconds) {
  const double seconds = milliseconds / 1000.0;
  // A point whatever the process locale (the window system sets it from the environment).
  char number[32];
  const auto r = std::to_chars(number, number + sizeof number, seconds, std::chars_format::fixed, 3);
  char frames[32];
  std::snprintf(frames, sizeof frames, " (%d ", static_cast<int>(seconds * kFramesPerSecond));
  return u16(std::string_view(number, static_cast<size_t>(r.ptr - number))) + u" " + kSeconds + u16(frames) +
         kFrames + u")";
}

FileInfoTexts file_info_texts(Viewer& viewer, bool count_colours) {
  const ViewState& v = viewer.doc.view();
  FileInfoTexts t;
  if (v.display_name.empty()) {
    t.name = name_part(v.path);
    t.folder = directory_part(v.path);
  } else {
    t.name = t.folder = v.display_name;
  }
  const Surface* image = surface_find(viewer.doc.surfaces(), kKeyImage);
  const ImageInfo info = image ? image->info : ImageInfo{};
  t.image_count = std::max(info.image_count, 1);
  t.format_name = cp932_to_utf16(info.format_name);
  t.format_detail = cp932_to_utf16(format_detail_text(info));
  t.compression = cp932_to_utf16(info.compression_text);
  t.size_and_depth = u16(decoded_size_text(v));
  if (count_colours) {
    t.colours = surface_count_colours(viewer.doc.surfaces(), kKeyImage);
    t.alpha_colours = surface_count_colours(viewer.doc.surfaces(), kKeyAlpha);
  }
  if (v.display_name.empty()) {
    if (std::optional<FileFacts> facts = file_facts(v.path)) {
      t.file_size = file_size_text(facts->size);
      t.file_time = file_time_text(facts->written);
    }
  }
  t.load_time = load_time_text(v.load_time);
  return t;
}

}  // namespace tesmo
