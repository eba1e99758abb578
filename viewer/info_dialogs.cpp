// The File Information, Exif Information and About dialogs.
#include "viewer/info_dialogs.h"

#include <cmath>
#include <cstdio>
#include <span>

#include "base/text.h"
#include "resources/dialog_templates.h"
#include "shell/dialog_skin.h"
#include "viewer/file_info.h"
#include "viewer/overlays/overlays.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

namespace res = resources;

constexpr char16_t kAlphaName[] = u"α";
constexpr char16_t kUnderDevelopment[] = u"[開発中]";
constexpr char16_t kUnknownTag[] = u"未知のタグ";

// Dialogs that only show: the skin's background, no buttons; Esc and the close box end them.
class ShowingDialog : public SkinnedDialog {
 public:
  using SkinnedDialog::SkinnedDialog;
};

class FileInfoDialog final : public ShowingDialog {
 public:
  FileInfoDialog(Viewer& viewer, std::array<std::u16string, 11> texts)
      : ShowingDialog(viewer.shell, viewer.doc.surfaces(), res::kSkinFileInformation, kSkinModalBase),
        texts_(std::move(texts)) {}
  void init(platform::Dialog& d) override {
    ShowingDialog::init(d);
    for (size_t i = 0; i < texts_.size(); ++i) d.set_text(res::kFileInfoFields[i], texts_[i]);
  }

 private:
  std::array<std::u16string, 11> texts_;
};

class ExifDialog final : public ShowingDialog {
 public:
  ExifDialog(Viewer& viewer, std::vector<ExifListRow> rows)
      : ShowingDialog(viewer.shell, viewer.doc.surfaces(), res::kSkinExifInformation, kSkinModalBase),
        rows_(std::move(rows)),
        icons_(exif_icon_pictures()) {}
  void init(platform::Dialog& d) override {
    ShowingDialog::init(d);
    d.set_columns(res::kExifList, res::kExifColumns);
    std::array<platform::IconPicture, 4> icons;
    for (size_t i = 0; i < icons.size(); ++i) icons[i] = {icons_[i].data(), kExifIconSize, kExifIconSize};
    d.set_icons(res::kExifList, icons);
    for (const ExifListRow& r : rows_) d.add_row(res::kExifList, r.icon, r.cells);
  }

 private:
  std::vector<ExifListRow> rows_;
  std::array<std::vector<uint32_t>, 4> icons_;
};

// --- Icons ------------------------------------------------------------------------------------

struct Point2 {
  double x, y;
};

// Sets the pixels whose centres lie inside the polygon (even-odd rule) to `argb`.
void fill_polygon(Surface& s, std::span<const Point2> poly, uint32_t argb) {
  for (int32_t y = 0; y < s.height; ++y) {
    for (int32_t x = 0; x < s.width; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      bool inside = false;
      for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point2 a = poly[i], b = poly[j];
        if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x) inside = !inside;
      }
      if (inside) s.pixels()[static_cast<size_t>(y) * s.width + x] = argb;
    }
  }
}

// A five-pointed star round the icon's centre, its points `outer` pixels out.
std::vector<Point2> star(double outer) {
  constexpr double kPi = 3.14159265358979323846;
  const double inner = outer * 0.4;
  std::vector<Point2> p;
  for (int k = 0; k < 10; ++k) {
    const double angle = -kPi / 2 + k * kPi / 5;
    const double r = k % 2 == 0 ? outer : inner;
    p.push_back({8 + r * std::cos(angle), 8.5 + r * std::sin(angle)});
  }
  return p;
}

std::vector<Point2> disc(double radius) {
  constexpr double kPi = 3.14159265358979323846;
  std::vector<Point2> p;
  for (int k = 0; k < 32; ++k) p.push_back({8 + radius * std::cos(k * kPi / 16), 8 + radius * std::sin(k * kPi / 16)});
  return p;
}

struct IconRect {
  int32_t x, y, w, h;
};

constexpr uint32_t kStarGold = 0xFFF0B820u, kStarEdge = 0xFF9A6A00u;
constexpr uint32_t kWarnYellow = 0xFFFFD800u, kMarkBlack = 0xFF000000u;
constexpr uint32_t kQuestionBlue = 0xFF2A62C8u, kMarkWhite = 0xFFFFFFFFu;
constexpr IconRect kExclamationMark[] = {{7, 5, 2, 6}, {7, 12, 2, 2}};
constexpr IconRect kQuestionMark[] = {{5, 4, 2, 2}, {6, 3, 4, 1}, {9, 4, 2, 3}, {8, 7, 2, 2}, {7, 8, 2, 2}, {7, 12, 2, 2}};

}  // namespace

std::array<std::vector<uint32_t>, 4> exif_icon_pictures() {
  SurfaceTable t(0);
  std::array<std::vector<uint32_t>, 4> out;
  for (int icon = 0; icon < 4; ++icon) {
    if (surface_create(t, icon, kExifIconSize, kExifIconSize) != 0) continue;
    surface_fill(t, icon, 0, 0, 0, 0);  // transparent round the shape
    Surface& s = *surface_find(t, icon);
    switch (icon) {
      case kExifIconStarSmall:
        fill_polygon(s, star(6.0), kStarEdge);
        fill_polygon(s, star(4.8), kStarGold);
        break;
      case kExifIconStar:
        fill_polygon(s, star(8.0), kStarEdge);
        fill_polygon(s, star(6.6), kStarGold);
        break;
      case kExifIconExclamation: {
        const Point2 triangle[] = {{8, 0.5}, {15.5, 15}, {0.5, 15}};
        fill_polygon(s, triangle, kWarnYellow);
        for (const IconRect& r : kExclamationMark) fill_rect(t, icon, r.x, r.y, r.w, r.h, kMarkBlack);
        break;
      }
      default:
        fill_polygon(s, disc(7.5), kQuestionBlue);
        for (const IconRect& r : kQuestionMark) fill_rect(t, icon, r.x, r.y, r.w, r.h, kMarkWhite);
        break;
    }
    out[static_cast<size_t>(icon)].assign(s.pixels(), s.pixels() + s.pixel_count());
  }
  return out;
}

ExifListRow exif_list_row(const ExifRow& row) {
  ExifListRow r;
  r.cells[1] = cp932_to_utf16(row.item);
  r.cells[2] = cp932_to_utf16(row.value);
  if (row.offset != 0) {
    char offset[48];
    std::snprintf(offset, sizeof offset, "0x%08X (%d)", static_cast<unsigned>(row.offset), row.offset);
    r.cells[3] = u16(offset);
  }
  if (row.is_header) r.icon = kExifIconStar;
  else if (row.tag == 0 && row.item.empty()) r.icon = -1;
  else if (r.cells[1].find(kUnderDevelopment) != std::u16string::npos) r.icon = kExifIconExclamation;
  else if (r.cells[1].find(kUnknownTag) != std::u16string::npos) r.icon = kExifIconQuestion;
  else r.icon = kExifIconStarSmall;
  return r;
}

std::u16string file_index_text(const Viewer& viewer, int32_t image_count) {
  char text[96];
  const ViewState& v = viewer.doc.view();
  const bool listed = viewer.has_folder_list && viewer.shown_index >= 0 &&
                      static_cast<size_t>(viewer.shown_index) < viewer.folder_list.size() &&
                      viewer.folder_list[static_cast<size_t>(viewer.shown_index)].path == v.path;
  if (listed) {
    std::snprintf(text, sizeof text, "%d / %d (frame: %d / %d)", viewer.shown_index + 1,
                  static_cast<int>(viewer.folder_list.size()), 1, image_count);
  } else {
    std::snprintf(text, sizeof text, "(frame: %d / %d)", 1, image_count);
  }
  return u16(text);
}

std::u16string colour_count_text(int32_t colours, int32_t alpha_colours) {
  char rgb[32], alpha[32];
  std::snprintf(rgb, sizeof rgb, "RGB: %d / ", colours);
  std::snprintf(alpha, sizeof alpha, ": %d", alpha_colours);
  return u16(rgb) + kAlphaName + u16(alpha);
}

int file_information_dialog(Viewer& viewer) {
  if (!(viewer.doc.view().flags & kImageShown) || !surface_find(viewer.doc.surfaces(), kKeyImage)) return 1;
  const FileInfoTexts t = file_info_texts(viewer);
  FileInfoDialog handler(
      viewer, {t.name, t.folder, file_index_text(viewer, t.image_count), t.format_name, t.format_detail, t.compression,
               t.size_and_depth, colour_count_text(t.colours, t.alpha_colours), t.file_size, t.file_time, t.load_time});
  run_modal_dialog(viewer.shell, res::file_info_dialog(), handler);
  return 0;
}

int exif_information_dialog(Viewer& viewer) {
  if (!(viewer.doc.view().flags & kImageShown)) return 1;
  std::vector<ExifRow> rows;
  if (viewer.doc.view().display_name.empty()) exif_read(viewer.doc.view().path, rows);
  std::vector<ExifListRow> list;
  list.reserve(rows.size());
  for (const ExifRow& r : rows) list.push_back(exif_list_row(r));
  ExifDialog handler(viewer, std::move(list));
  run_modal_dialog(viewer.shell, res::exif_dialog(), handler);
  return 0;
}

int about_dialog(Viewer& viewer) {
  ShowingDialog handler(viewer.shell, viewer.doc.surfaces(), res::kSkinAbout, kSkinModalBase);
  run_modal_dialog(viewer.shell, res::about_dialog(), handler);
  return 0;
}

}  // namespace tesmo
