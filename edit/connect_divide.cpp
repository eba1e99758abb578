// Connecting further pictures to one side of the picture, and dividing the picture into tiles
// written as BMP files.
#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "base/path.h"
#include "base/text.h"
#include "edit/edit.h"
#include "edit/editor.h"
#include "edit/geometry_dialogs.h"
#include "edit/geometry_edits.h"
#include "edit/geometry_steps.h"
#include "viewer/folder_list.h"

namespace tesmo {
namespace {

constexpr int32_t kNewImage = kKeyBlurTemporary;  // the connected picture while it is built
constexpr int32_t kNewAlpha = kKeyTrimTemporary;  // and its alpha channel

// Where the old picture (work surface 3, f × g) and the added one (surface 4, e × d) go on the
// connected picture, by side: the added picture's corner and the old picture's corner are each
// (0, 0) or shifted past the other picture.
struct Placement {
  int32_t side;
  bool added_first;  // the added picture at (0, 0), the old one shifted past it
  bool vertical;     // one above the other
};
constexpr std::array<Placement, 4> kPlacements = {{
    {kConnectTop, true, true},
    {kConnectBottom, false, true},
    {kConnectLeft, true, false},
    {kConnectRight, false, false},
}};

const Placement* placement_of(int32_t sides) {
  for (const Placement& p : kPlacements) {
    if (sides & p.side) return &p;
  }
  return nullptr;
}

// The pictures to connect: the one file, or the image files of the folder without the shown one.
std::vector<std::u16string> connect_list(const Editor& editor, const ConnectRequest& r) {
  const std::u16string path(r.path, u16_length(r.path, kConnectPathLength));
  if (r.target == 0) return {path};
  std::u16string folder = path;
  if (!folder.empty() && folder.back() != kPathSeparator) folder += kPathSeparator;
  std::vector<std::u16string> files;
  for (const FolderEntry& e : scan_image_folder(folder)) {
    if (!e.directory && e.path != editor.doc.view().path) files.push_back(e.path);
  }
  return files;
}

// Adds the picture of `path` on the placement's side. 1 when it cannot be loaded or the connected
// picture cannot be made; the picture is then as it was before this file.
int connect_one(Editor& editor, const Placement& p, const std::u16string& path, bool alpha) {
  SurfaceTable& t = editor.doc.surfaces();
  const Surface& image = *surface_find(t, kKeyImage);
  const int32_t f = image.width, g = image.height;
  if (surface_duplicate(t, kKeyWork, kKeyImage) != 0) return 1;
  if (alpha) blit(t, kKeyWork, kKeyAlpha, kOpChannelCopy, {.width = f, .height = g, .param1 = 1});
  const auto done = [&t](int result) {
    for (int32_t key : {int32_t{kKeyWork}, int32_t{kKeyEditInput}, kNewImage, kNewAlpha}) surface_remove(t, key);
    return result;
  };
  if (surface_load(t, kKeyEditInput, path, false) != 0) return done(1);
  const Surface& added = *surface_find(t, kKeyEditInput);
  const int32_t e = added.width, d = added.height;
  const int64_t w = p.vertical ? std::max(f, e) : int64_t{f} + e;
  const int64_t h = p.vertical ? int64_t{g} + d : std::max(g, d);
  if (w > std::numeric_limits<int32_t>::max() || h > std::numeric_limits<int32_t>::max()) return done(1);
  const auto nw = static_cast<int32_t>(w), nh = static_cast<int32_t>(h);
  // Both new pictures are made before either old one is given up.
  if (surface_create(t, kNewImage, nw, nh) != 0) return done(1);
  if (alpha && surface_create(t, kNewAlpha, nw, nh) != 0) return done(1);
  surface_fill(t, kNewImage, 0, 0, 0, 0);
  const int32_t shift_x = p.vertical ? 0 : (p.added_first ? e : f);
  const int32_t shift_y = p.vertical ? (p.added_first ? d : g) : 0;
  const int32_t added_x = p.added_first ? 0 : shift_x, added_y = p.added_first ? 0 : shift_y;
  const int32_t old_x = p.added_first ? shift_x : 0, old_y = p.added_first ? shift_y : 0;
  blit(t, kNewImage, kKeyEditInput, kOpCopy, {.dst_x = added_x, .dst_y = added_y, .width = e, .height = d});
  blit(t, kNewImage, kKeyWork, kOpCopy, {.dst_x = old_x, .dst_y = old_y, .width = f, .height = g});
  surface_swap_pixels(t, kKeyImage, kNewImage);
  if (alpha) {
    surface_fill(t, kNewAlpha, 0, 0, 0, 0);
    blit(t, kNewAlpha, kKeyImage, kOpChannelCopy, {.width = nw, .height = nh, .param1 = 2});
    surface_swap_pixels(t, kKeyAlpha, kNewAlpha);
    surface_set_alpha(t, kKeyImage, 0);
  }
  editor.doc.view().image_width = nw;
  editor.doc.view().image_height = nh;
  return done(0);
}

// The shown path up to the last "." of its file name; the whole path when the name has none.
std::u16string tile_base_name(const std::u16string& path) {
  const size_t name_start = path.size() - name_part(path).size();
  const size_t dot = path.rfind(u'.');
  return dot == std::u16string::npos || dot < name_start ? path : path.substr(0, dot);
}

std::u16string tile_name(const std::u16string& base, int32_t n) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "_%02d.bmp", n);
  return base + u16(suffix);
}

}  // namespace

int connect_images(Editor& editor, const ConnectRequest* request) {
  SurfaceTable& t = editor.doc.surfaces();
  if (!surface_find(t, kKeyImage)) return 1;
  ConnectRequest r;
  if (request) {
    r = *request;
  } else if (auto asked = ask_connect(editor)) {
    r = *asked;
  } else {
    return 2;
  }
  const Placement* p = placement_of(r.sides);
  if (!p) return 1;
  const std::vector<std::u16string> files = connect_list(editor, r);
  if (files.empty()) return 0;
  begin_edit(editor, u"結合と分割 - 結合");
  const ImageInfo info = surface_find(t, kKeyImage)->info;
  const bool alpha = edit_has_alpha(editor);
  int connected = 0;
  int result = 0;
  for (const std::u16string& file : files) {
    if (connect_one(editor, *p, file, alpha) != 0) {
      result = 1;
      break;
    }
    ++connected;
  }
  // What was connected before a failing file stays, shown and marked like any finished edit.
  if (connected == 0) return result;
  Surface& image = *surface_find(t, kKeyImage);
  image.info = info;
  finish_size_change(editor, image.width, image.height);
  return result;
}

std::vector<TileSpan> tile_spans(int32_t side, int32_t tile, int32_t limit) {
  std::vector<TileSpan> spans;
  if (tile < 1) return spans;
  for (int64_t start = 0; start < side;) {
    const bool last = start + tile > side || (limit != 0 && std::ssize(spans) + 1 == limit);
    const int64_t length = last ? side - start : tile;
    spans.push_back({static_cast<int32_t>(start), static_cast<int32_t>(length)});
    if (last) break;
    start += length;
  }
  return spans;
}

int divide_image(Editor& editor, const DivideRequest* request) {
  SurfaceTable& t = editor.doc.surfaces();
  const Surface* image = surface_find(t, kKeyImage);
  if (!image) return 1;
  DivideRequest r;
  if (request) {
    r = *request;
  } else if (auto asked = ask_divide(editor)) {
    r = *asked;
  } else {
    return 2;
  }
  if (r.tile_width < 1 || r.tile_height < 1 || (r.bits != 24 && r.bits != 32) || r.limit_x < 0 || r.limit_y < 0) {
    return 1;
  }
  const bool alpha = r.bits == 32 && edit_has_alpha(editor);
  const std::u16string base =
      tile_base_name(editor.batch_output.empty() ? editor.doc.view().path : editor.batch_output);
  const std::vector<TileSpan> columns = tile_spans(image->width, r.tile_width, r.limit_x);
  const std::vector<TileSpan> rows = tile_spans(image->height, r.tile_height, r.limit_y);
  int32_t n = 0;
  for (const TileSpan& row : rows) {
    for (const TileSpan& column : columns) {
      if (surface_create(t, kKeyWork, column.length, row.length) == 0) {
        surface_fill(t, kKeyWork, 0, 0, 0, 0);
        blit(t, kKeyWork, kKeyImage, kOpCopy,
             {.src_x = column.start, .src_y = row.start, .width = column.length, .height = row.length});
        if (alpha) {
          blit(t, kKeyWork, kKeyAlpha, kOpChannelCopy,
               {.src_x = column.start, .src_y = row.start, .width = column.length, .height = row.length, .param1 = 1});
        }
        surface_save(t, kKeyWork, tile_name(base, n), r.bits, nullptr);  // a failed tile is not reported
        surface_remove(t, kKeyWork);
      }
      ++n;
    }
  }
  return 0;
}

}  // namespace tesmo
