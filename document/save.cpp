// Save, Save As, the save options dialog and the save job.
#include "document/save.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "document/document.h"
#include "document/modified_mark.h"
#include "formats/registry.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "shell/dialog_skin.h"
#include "shell/modal.h"
#include "shell/shell.h"
#include "surface/compositor.h"

namespace tesmo {
namespace {

constexpr int32_t kFullQuality = 100;
constexpr char16_t kDefaultExtension[] = u"bmp";

// The alpha of a picture lives in surface 2 while it has one (the Alpha channel item is enabled
// with it).
bool alpha_channel_enabled(Document& doc) { return surface_find(doc.surfaces(), kKeyAlpha) != nullptr; }

// Step 1 of the job: the alpha view's grey (its blue byte) into the picture's alpha bytes. True when
// something was merged (the alpha bytes must be cleared again afterwards).
bool merge_alpha(Document& doc) {
  if (!alpha_channel_enabled(doc)) return false;
  SurfaceTable& t = doc.surfaces();
  const Surface* image = surface_find(t, kKeyImage);
  const Surface* alpha = surface_find(t, kKeyAlpha);
  if (!image || !alpha) return false;
  // Both have the picture's size; the smaller of the two keeps a mismatch inside both.
  const int32_t w = std::min(image->width, alpha->width), h = std::min(image->height, alpha->height);
  constexpr int32_t kBlueIntoAlpha = 1;
  blit(t, kKeyImage, kKeyAlpha, kOpChannelCopy, {.width = w, .height = h, .param1 = kBlueIntoAlpha});
  return true;
}

// Step 1 for either path: the alpha channel merged, or without one the picture made opaque. Its
// alpha bytes may still be 0 (a new picture, a deleted channel, a canvas border, an effect), which a
// 32-bit layout would write as fully transparent; they become 255, as a decoder leaves them for a
// picture without alpha. True when something was merged.
bool merge_alpha_or_opaque(Document& doc) {
  const bool merged = merge_alpha(doc);
  if (!merged) surface_set_alpha(doc.surfaces(), kKeyImage, 255);
  return merged;
}

// The alpha stays in surface 2: the picture's alpha bytes go back to 0.
void clear_merged_alpha(Document& doc, bool merged) {
  if (merged) surface_set_alpha(doc.surfaces(), kKeyImage, 0);
}

SaveRequest build_request(Document& doc) {
  const ViewState& v = doc.view();
  const SaveSettings& s = v.save_settings;
  SaveRequest r;
  r.format = s.format;
  r.pixel_format = s.pixel_format;
  if (s.format == kFormatJpeg) {
    r.quality = s.quality;
    r.exif_source = v.path;
  } else {
    r.compress = s.compress;
  }
  if (s.format == kFormatFnt) {
    if (const Surface* image = surface_find(doc.surfaces(), kKeyImage)) r.fnt_header_text = image->info.extra_text;
  }
  return r;
}

int write_picture(const SurfaceTable& t, const std::u16string& path, int32_t bits, const SaveRequest& request) {
  return surface_save(t, kKeyImage, path, bits, &request) == 0 ? 0 : 1;
}

// Step 5 of the job: a successful save wrote the shown file unless Save As chose another path.
void record_result(Document& doc, int result) {
  ViewState& v = doc.view();
  v.saved_current = result == 0 && (v.save_mode == kSaveModeSave || v.save_path == v.path);
}

// The end of a background save, on the frame that collects it.
void finish_background_save(Document& doc, bool merged, int result) {
  clear_merged_alpha(doc, merged);
  record_result(doc, result);
  save_report(doc, result);
}

// Starts the save of the current view state. Synchronous: the whole job and the report, 1 exactly
// when the job failed. Otherwise the alpha is merged here and only the write runs on the worker, so
// that the frames going on never race the worker over surface 1's bytes; the frame that collects
// the result clears the alpha and reports. A worker that cannot be started writes here instead.
int run_save(Document& doc, int32_t mode, bool synchronous) {
  ViewState& v = doc.view();
  v.save_mode = mode;
  v.saved_current = false;
  if (synchronous) {
    const int result = save_job(doc);
    save_report(doc, result);
    return result;
  }
  const bool merged = merge_alpha_or_opaque(doc);
  const SaveRequest request = build_request(doc);
  const SurfaceTable* table = &doc.surfaces();
  const std::u16string path = v.save_path;
  const int32_t bits = v.save_settings.bits;
  doc.start_background_job(
      mode, [table, path, bits, request](intptr_t) { return write_picture(*table, path, bits, request); },
      [&doc, merged](int, int result) { finish_background_save(doc, merged, result); });
  if (!doc.job_running()) finish_background_save(doc, merged, write_picture(*table, path, bits, request));
  return 0;
}

// The shown file's name without its extension (from the name's last '.').
std::u16string name_without_extension(const std::u16string& path) {
  std::u16string name = name_part(path);
  const size_t dot = name.rfind(u'.');
  return dot == std::u16string::npos ? name : name.substr(0, dot);
}

class SaveOptionsDialog final : public SkinnedDialog {
 public:
  SaveOptionsDialog(Document& doc, SaveSettings& settings)
      : SkinnedDialog(doc.shell, doc.surfaces(), resources::kSkinSaveOptions, kSkinModalBase), settings_(settings) {}

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    int select = 0;
    for (int k = 0; format_at(k) != -1; ++k) {
      const int32_t format = format_at(k);
      if (format_save_options(format).count <= 0) continue;
      if (format == settings_.format) select = static_cast<int>(positions_.size());
      positions_.push_back(k);
      d.add_item(resources::kSaveFormatCombo, cp932_to_utf16(format_filter_text(format)));
    }
    d.set_selection(resources::kSaveFormatCombo, select);
    fill_pixel_formats(d);
    d.set_focus(resources::kSaveFormatCombo);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == resources::kSaveFormatCombo && notification == platform::kSelectionChanged) {
      fill_pixel_formats(d);
      return;
    }
    if (id == kSkinOkId && notification == platform::kClicked) {
      accept(d);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

 private:
  int32_t selected_format(const platform::Dialog& d) const {
    const int item = d.selection(resources::kSaveFormatCombo);
    if (positions_.empty()) return kFormatNone;
    return format_at(positions_[static_cast<size_t>(std::clamp(item, 0, static_cast<int>(positions_.size()) - 1))]);
  }

  // The bit-depth part for the chosen format: its savable layouts with the default selected, and the
  // compress box, quality field and OK as the format's options say.
  void fill_pixel_formats(platform::Dialog& d) {
    const int32_t format = selected_format(d);
    const SaveOptions options = format_save_options(format);
    d.clear_items(resources::kSaveBitsCombo);
    bits_.clear();
    for (int32_t i = 0; i < options.count; ++i) {
      const auto [text, bits] = format_pixel_format(format, i);
      d.add_item(resources::kSaveBitsCombo, cp932_to_utf16(text ? text : ""));
      bits_.push_back(bits);
    }
    d.set_selection(resources::kSaveBitsCombo, options.default_index);
    d.set_enabled(resources::kSaveCompressCheck, options.flags & kSaveCompressAvailable);
    d.set_checked(resources::kSaveCompressCheck, options.flags & kSaveCompressChecked);
    d.set_enabled(resources::kSaveQualityField, options.flags & kSaveQualityAvailable);
    d.set_text(resources::kSaveQualityField, u"100");
    d.set_enabled(kSkinOkId, options.count > 0);
  }

  void accept(platform::Dialog& d) {
    const int32_t format = selected_format(d);
    const SaveOptions options = format_save_options(format);
    if (options.count <= 0) return;
    int pixel_format = d.selection(resources::kSaveBitsCombo);
    if (pixel_format < 0 || pixel_format >= static_cast<int>(bits_.size())) pixel_format = options.default_index;
    bool changed = false;
    const int32_t quality = quality_from_field(d.text(resources::kSaveQualityField), changed);
    if (changed) d.set_text(resources::kSaveQualityField, utf8_to_utf16(std::to_string(quality)));
    settings_.format = format;
    settings_.pixel_format = pixel_format;
    settings_.bits = bits_[static_cast<size_t>(pixel_format)];
    settings_.compress = d.checked(resources::kSaveCompressCheck) ? 1 : 0;
    settings_.quality = quality;
    d.end(platform::kDialogOk);
  }

  SaveSettings& settings_;
  std::vector<int> positions_;  // each format item's position in format_order
  std::vector<int32_t> bits_;   // each pixel-format item's bit count
};

}  // namespace

int save_command(Document& doc, const SaveSettings* settings, bool synchronous) {
  ViewState& v = doc.view();
  if (settings) {
    v.save_settings = *settings;
  } else {
    const Surface* image = surface_find(doc.surfaces(), kKeyImage);
    if (!image) return 1;
    const ImageInfo& info = image->info;
    SaveSettings s;
    s.format = info.format;
    // A format without a writer of its own (PSD, JAB) cannot take the picture back either.
    s.pixel_format = format_save_options(info.format).count > 0
                         ? pixel_format_for_alpha(info, alpha_channel_enabled(doc))
                         : -1;
    s.bits = info.bits;
    s.compress = 0;
    s.quality = kFullQuality;
    if (s.pixel_format == -1) {
      show_warning(doc.shell, kUnsavablePixelFormat);
      return 1;
    }
    v.save_settings = s;
  }
  v.save_path = v.path;
  return run_save(doc, kSaveModeSave, synchronous);
}

int save_command_to(Document& doc, const SaveSettings& settings, const std::u16string& path) {
  ViewState& v = doc.view();
  v.save_settings = settings;
  v.save_path = path;
  return run_save(doc, kSaveModeSave, true);
}

int save_as_command(Document& doc, bool synchronous) {
  ViewState& v = doc.view();
  if (!doc.shell.platform || !surface_find(doc.surfaces(), kKeyImage)) return 1;
  SaveSettings settings;
  platform::SaveFileRequest request;
  request.title = kSaveAsTitle;
  request.filter = build_file_filter(true);
  request.filter_index = 1;
  request.default_extension = kDefaultExtension;
  // A generated picture ("<新規作成>", "<モニターの調整>") has no file to start from.
  if (v.display_name.empty()) {
    request.initial_folder = directory_part(v.path);
    request.initial_name = name_without_extension(v.path);
  }
  std::optional<platform::SaveFileChoice> chosen =
      modal(doc.shell, [&] { return doc.shell.platform->choose_save_file(request); });
  if (!chosen || chosen->path.empty()) return 2;

  settings.format = format_for_file_name(name_part(chosen->path));
  if (save_options_dialog(doc, settings) != 0) return 2;
  // The chooser asked before replacing the name it returned; a file that only the format's own
  // extension leads to ("photo.png" saved as TGA) is not replaced without asking too.
  const std::u16string target = save_target_path(chosen->path, settings.format);
  if (target != chosen->path && file_exists(target) &&
      show_message(doc.shell, name_part(target) + kReplaceOtherFile, platform::MessageIcon::Question,
                   platform::MessageButtons::YesNo) != platform::MessageAnswer::Yes)
    return 2;
  v.save_settings = settings;
  v.save_path = target;
  return run_save(doc, kSaveModeSaveAs, synchronous);
}

int save_options_dialog(Document& doc, SaveSettings& settings) {
  SaveSettings chosen = settings;
  SaveOptionsDialog handler(doc, chosen);
  if (run_modal_dialog(doc.shell, resources::save_options_dialog(), handler) != platform::kDialogOk) return 1;
  settings = chosen;
  return 0;
}

int save_job(Document& doc) {
  const bool merged = merge_alpha_or_opaque(doc);
  const SaveRequest request = build_request(doc);
  const ViewState& v = doc.view();
  const int result = write_picture(doc.surfaces(), v.save_path, v.save_settings.bits, request);
  clear_merged_alpha(doc, merged);
  record_result(doc, result);
  return result;
}

void save_report(Document& doc, int result) {
  if (result != 0) show_warning(doc.shell, kSaveFailed);
  ViewState& v = doc.view();
  if (!v.saved_current) return;
  v.saved_current = false;
  set_modified(doc, 0);
}

std::u16string save_target_path(const std::u16string& chosen, int32_t format) {
  const std::string first = format_extensions(format, 0);  // "*.bmp"
  const std::u16string extension = cp932_to_utf16(first.empty() ? std::string_view() : std::string_view(first).substr(1));
  const size_t name_start = chosen.size() - name_part(chosen).size();
  const size_t dot = chosen.rfind(u'.');
  if (dot == std::u16string::npos || dot < name_start) return chosen + extension;
  return chosen.substr(0, dot) + extension;
}

int32_t quality_from_field(std::u16string_view text, bool& changed) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  int64_t value = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    digits = true;
    value = std::min<int64_t>(value * 10 + (text[i] - u'0'), std::numeric_limits<int32_t>::max());
  }
  if (negative) value = -value;
  const int64_t held = std::clamp<int64_t>(value, 1, kFullQuality);
  changed = !digits || held != value || i != text.size();
  return static_cast<int32_t>(held);
}

}  // namespace tesmo
