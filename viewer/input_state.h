// Mouse input for the frame: button bytes, action sets rebuilt every frame (held, pressed, released,
// triggered with auto-repeat), the hit region under the cursor. Times are milliseconds of the
// system clock, compared modulo 2^32 so the clock may wrap.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tesmo {

// Button bytes, in the order of the mouse button codes the window reports; 5–7 are spare.
enum ButtonIndex : int { kLeftButton = 0, kRightButton, kMiddleButton, kX1Button, kX2Button };
constexpr uint8_t kButtonDown = 128;
constexpr uint8_t kButtonUp = 0;

constexpr int kMaxActions = 64;

struct Action {
  int32_t input_code = -1;    // the source; in a mouse set, codes 6–13 are button bytes 0–7
  uint32_t repeat_delay = 0;  // ms held before the action triggers again
  uint32_t press_time = 0;
  uint32_t interval = 0;      // least ms between repeated triggers
  uint32_t trigger_time = 0;
  int32_t press_region = -1;  // hit region hovered when pressed; −1 none (or released since)
};

// Bit a of each mask belongs to action a.
struct ActionSet {
  int32_t id = -1;  // −1: unused
  int32_t count = 0;
  std::array<Action, kMaxActions> actions{};
  uint64_t held = 0;
  uint64_t pressed = 0;    // went down this frame
  uint64_t released = 0;   // went up this frame
  uint64_t triggered = 0;  // pressed this frame, or repeating while held
};

enum BindingKind : int32_t { kBindingMouse = 2 };

struct Binding {
  int32_t set_id = -1;  // index of the evaluated set in InputState::sets; −1: not configured
  int32_t kind = 0;
  int32_t spare = 0;
};

struct InputState {
  std::array<uint8_t, 8> buttons{};  // kButtonDown / kButtonUp, written by the window's events
  std::array<Binding, 4> bindings{};
  std::array<ActionSet, 4> sets{};
  int32_t hovered_region = -1;
  bool any_release_ends_drag = false;  // never set: a drag ends on a release over its own region
};

// The configured input: binding slot 1 is the mouse set (kind 2) of 14 actions, whose actions 6–13
// follow button bytes 0–7; the left button repeats after 500 ms, every frame (interval 0). All
// buttons up, every press region −1.
void init_input_state(InputState& input);

// Writes a button byte: kButtonDown or kButtonUp. Ignores indices outside 0–7.
void set_button(InputState& input, int button, bool down);

// Rebuilds every configured set's masks from the sources at `now_ms` and stores `hovered_region`.
// Down and not held last frame: held, pressed, triggered, press and trigger time := now. Down and
// held: triggered again when more than the repeat delay has passed since the press and at least
// the interval since the last trigger. Up and held last frame: released.
void evaluate_action_sets(InputState& input, uint32_t now_ms, int32_t hovered_region);

// After the frame's reactions: actions pressed this frame remember the hovered region, released
// ones forget theirs (−1). Run it after reading press_region for this frame's release.
void record_press_regions(InputState& input);

// The mouse set's view of one button (kLeftButton … kX2Button) this frame; false / −1 for other
// indices or an unconfigured mouse set.
bool held(const InputState& input, int button);
bool pressed(const InputState& input, int button);
bool released(const InputState& input, int button);
bool triggered(const InputState& input, int button);
int32_t press_region(const InputState& input, int button);

struct HitRegion {
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool enabled = false;
  int32_t cursor_kind = 0;  // which of the window's cursors shows over the region
};

// Index of the first enabled region containing (x, y) (left and top edges inside, right and bottom
// outside), with the point taken relative to origin (0, 0) at scale (1.0, 1.0); −1 when none.
int32_t hit_test(std::span<const HitRegion> regions, int32_t x, int32_t y);

}  // namespace tesmo
