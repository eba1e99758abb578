// The small commands of the viewer that have no subsystem of their own: New, Calibrate Monitor,
// Close All, Background [Setting] and Key Assignment. The logic here takes the results of the
// dialogs in viewer_dialogs.h.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tesmo {

class Viewer;
struct SystemSettings;

// The New picture dialog's values: size in pixels and 24 or 32 bits.
struct NewPictureChoice {
  int32_t width = 1280;
  int32_t height = 720;
  int32_t bits = 32;
  bool operator==(const NewPictureChoice&) const = default;
};
inline constexpr int32_t kNewPictureMaxSide = 32768;

// What the dialog starts with: the clipboard bitmap's size when there is one (each side clamped
// like an answer), else 1280 × 720; 32 bits.
NewPictureChoice new_picture_initial(std::optional<std::pair<int32_t, int32_t>> clipboard_size);
// Each side clamped to 1 … 32768; any depth other than 24 becomes 32.
NewPictureChoice clamp_new_picture(NewPictureChoice choice);

// The seven mouse and wheel slots, in the dialog's order: middle, X1, X2, wheel forward, wheel
// backward, Control + wheel forward, Control + wheel backward. Values are action codes 0–14.
using KeyAssignment = std::array<int32_t, 7>;
inline constexpr int kActionCount = 15;
// The action names of the combo boxes, codes 0–14.
extern const std::array<std::u16string_view, kActionCount> kActionNames;

KeyAssignment key_assignment_of(const SystemSettings& s);
// Stores `a` in the settings; true when something changed (only then is the file written).
bool store_key_assignment(SystemSettings& s, const KeyAssignment& a);

// The display names of the generated pictures.
inline constexpr char16_t kNewPictureName[] = u"<新規作成>";
inline constexpr char16_t kCalibrationName[] = u"<モニターの調整>";

// The commands. Each returns 0 when done, 2 when the user cancelled, 1 on failure.
int new_picture(Viewer& viewer);
// New's picture without the dialog, for a viewer showing nothing: `choice` clamped as an answer,
// surface 1 black (alpha 0), for 32 bits a white alpha channel, shown as "<新規作成>" and marked
// modified with Save left greyed. 1 when memory runs out.
int create_new_picture(Viewer& viewer, const NewPictureChoice& choice);
int calibrate_monitor(Viewer& viewer);
int close_all(Viewer& viewer);
int background_setting(Viewer& viewer);
int key_assignment(Viewer& viewer);
// The open dialog for a background picture; loads it into surface 19 and stores its path. 0 when
// a picture was loaded; a cancelled dialog or an unreadable file changes nothing.
int choose_background_picture(Viewer& viewer);

}  // namespace tesmo
