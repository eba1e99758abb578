// The embedded resource archive and the dialog skins: pictures of the archive ("Binary" 135,
// resources/skin_pictures.h) decoded into surfaces, dialog backgrounds and owner-drawn buttons
// painted from them, and the skinned dialog lifecycle (load and centre on init, paint on erase,
// draw OK / Cancel / "..." buttons, free on destroy). A missing or bad archive leaves dialogs
// unskinned: the plain background and buttons of the window system, never a broken dialog.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "platform/dialog.h"
#include "platform/platform.h"
#include "resources/skin_pictures.h"
#include "surface/surface.h"
#include "text/glyph_text.h"

namespace tesmo {

class Shell;

// Surface bases of the dialog pictures and the two work surfaces of each (background, button).
enum SkinKey : int32_t {
  kSkinModalBase = 40,   // modal dialogs
  kSkinBatchBase = 44,   // the batch dialog
  kSkinEffectBase = 52,  // the effect parameter dialog (modeless, may be open with a modal one)
};
// The background work surface of `base` (70, 72, 74); the button work surface is the next key.
int32_t skin_work_key(int32_t base);

inline constexpr uint16_t kSkinOkId = 1097;      // the OK button of skinned dialogs
inline constexpr uint16_t kSkinCancelId = 1098;  // and their Cancel button
inline constexpr size_t kSkinWorkBuffer = 0x200000;  // one decoded BMP at a time; the largest fits

// The embedded archive's bytes; empty when the program carries none.
std::span<const uint8_t> load_resource_archive();

// Decodes entries first_entry … first_entry + count − 1 of `archive` into surfaces key … key +
// count − 1. 0, or 1 when the archive cannot be opened or an entry fails to expand or decode: the
// entries from the failing one on are then not loaded.
int load_dialog_pictures(SurfaceTable& t, int32_t key, int32_t count, int32_t first_entry,
                         std::span<const uint8_t> archive = load_resource_archive());
// Removes surfaces key … key + count − 1 and the two work surfaces of base `key`.
void free_dialog_pictures(SurfaceTable& t, int32_t key, int32_t count);
// Entries 0 and 1 into surfaces 15 and 16 when either is missing; 0, or 1 when they could not be
// had (the stars are then left out).
int load_marker_stars(SurfaceTable& t, std::span<const uint8_t> archive = load_resource_archive());

// A caption to write into the title band of a background drawn without a title, with the renderer
// and the font of the skins' titles.
struct BandCaption {
  std::u16string_view text;
  GlyphTextRenderer& renderer;
  platform::GlyphFont* font = nullptr;  // null: nothing is written
};

// The erase handler: the background picture `picture_key` copied (or scaled with OpScale when the
// client size differs) into work surface `work_key` of the client size, `caption` (when given)
// written into its title band, then drawn on `canvas`. false when the picture is missing or the
// work surface cannot be made (nothing drawn).
bool paint_dialog_background(SurfaceTable& t, const platform::Dialog& d, platform::Canvas& canvas,
                             int32_t work_key, int32_t picture_key, const BandCaption* caption = nullptr);
// The owner-draw handler: the state's third of button picture `picture_key` (row 0 normal or
// disabled, 1 focused, 2 pressed) in work surface `work_key` of the button's size, a disabled
// button brightened by OpBrightness (96, 96, 96, 0), drawn on the item's canvas. false when the
// picture is missing (nothing drawn).
bool draw_skin_button(SurfaceTable& t, const platform::DrawItem& item, int32_t work_key, int32_t picture_key);

// A dialog handler with the skin's lifecycle; dialogs derive from it and call its init and
// destroy from their own. Controls `dots_ids` are drawn with the group's "..." picture.
class SkinnedDialog : public platform::DialogHandler {
 public:
  // The skin pictures are loaded into `surfaces` (the document's table) while the dialog is up.
  SkinnedDialog(Shell& shell, SurfaceTable& surfaces, const resources::SkinGroup& group, int32_t base,
                std::span<const uint16_t> dots_ids = {});
  void init(platform::Dialog& d) override;
  bool erase(platform::Dialog& d, platform::Canvas& canvas) override;
  bool draw_item(platform::Dialog& d, const platform::DrawItem& item) override;
  void destroy(platform::Dialog& d) override;

 protected:
  Shell& shell_;

 private:
  SurfaceTable& surfaces_;
  resources::SkinGroup group_;
  int32_t base_;
  std::span<const uint16_t> dots_ids_;
};

// Runs a modal dialog with the modal flag set, so that commands are ignored meanwhile; returns the
// end code (kDialogFailed when there is no platform or the dialog cannot be made).
int run_modal_dialog(Shell& shell, const platform::DialogTemplate& t, platform::DialogHandler& handler);

}  // namespace tesmo
