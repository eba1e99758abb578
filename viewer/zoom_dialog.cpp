// The Arbitrary zoom dialog.
#include "viewer/zoom_dialog.h"

#include <charconv>
#include <cmath>

#include "resources/dialog_templates.h"
#include "shell/dialog_skin.h"
#include "viewer/viewer.h"
#include "viewer/zoom.h"

namespace tesmo {
namespace {

constexpr double kMinPercent = 1.0;
constexpr double kMaxPercent = 1600.0;

std::u16string widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

class ZoomDialog final : public SkinnedDialog {
 public:
  explicit ZoomDialog(Viewer& viewer)
      : SkinnedDialog(viewer.shell, viewer.doc.surfaces(), resources::kSkinZoom, kSkinModalBase), viewer_(viewer) {}

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    d.set_text(resources::kZoomField, zoom_field_text(viewer_.doc.view().zoom_x));
    d.set_focus(resources::kZoomField);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == kSkinOkId && notification == platform::kClicked) {
      double percent = parse_zoom_field(d.text(resources::kZoomField));
      // A value that is not a number (a typed "nan") is held like one below the range.
      if (!(percent >= kMinPercent)) {
        percent = kMinPercent;
        d.set_text(resources::kZoomField, u"1.00");
      } else if (percent > kMaxPercent) {
        percent = kMaxPercent;
        d.set_text(resources::kZoomField, u"1600.00");
      }
      zoom = static_cast<int32_t>(percent * 256);
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  int32_t zoom = 0;

 private:
  Viewer& viewer_;
};

}  // namespace

std::u16string zoom_field_text(int32_t zoom) {
  char text[32];
  std::to_chars_result r;
  if (zoom % 256 < 2) r = std::to_chars(text, text + sizeof text, zoom / 256);
  else r = std::to_chars(text, text + sizeof text, zoom / 256.0, std::chars_format::fixed, 2);
  return widen(std::string_view(text, static_cast<size_t>(r.ptr - text)));
}

double parse_zoom_field(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  if (i < text.size() && text[i] == u'+') ++i;  // from_chars takes no plus sign
  std::string ascii;
  for (; i < text.size() && text[i] < 0x80; ++i) ascii.push_back(static_cast<char>(text[i]));
  double value = 0;
  auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  return r.ec == std::errc() ? value : 0.0;
}

int zoom_arbitrary(Viewer& viewer) {
  ZoomDialog handler(viewer);
  if (run_modal_dialog(viewer.shell, resources::zoom_dialog(), handler) != platform::kDialogOk) return 2;
  set_zoom(viewer, handler.zoom, handler.zoom);
  return 0;
}

}  // namespace tesmo
