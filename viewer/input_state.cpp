// Mouse action sets and hit regions.
#include "viewer/input_state.h"

#include <algorithm>

namespace tesmo {
namespace {

constexpr int kMouseBinding = 1;
constexpr int kMouseActionCount = 14;
constexpr int32_t kFirstButtonAction = 6;  // mouse codes below 6 have no down state
constexpr uint32_t kLeftRepeatDelay = 500;

// Region coordinates are compared with the mouse position after this origin and scale.
constexpr float kHitOriginX = 0.0f, kHitOriginY = 0.0f;
constexpr float kHitScaleX = 1.0f, kHitScaleY = 1.0f;

bool source_down(const InputState& input, int32_t kind, int32_t code) {
  if (kind != kBindingMouse) return false;
  const int32_t byte = code - kFirstButtonAction;
  if (byte < 0 || byte >= static_cast<int32_t>(input.buttons.size())) return false;
  return (input.buttons[byte] & kButtonDown) != 0;
}

// The masks hold 64 bits, so a larger count is cut there.
int action_count(const ActionSet& set) { return std::clamp(set.count, 0, kMaxActions); }

void evaluate_set(ActionSet& set, const InputState& input, int32_t kind, uint32_t now) {
  const uint64_t was_held = set.held;
  set.held = set.pressed = set.released = set.triggered = 0;
  for (int a = 0; a < action_count(set); ++a) {
    Action& action = set.actions[a];
    const uint64_t bit = uint64_t{1} << a;
    if (!source_down(input, kind, action.input_code)) {
      if (was_held & bit) set.released |= bit;
      continue;
    }
    set.held |= bit;
    if (!(was_held & bit)) {
      set.pressed |= bit;
      set.triggered |= bit;
      action.press_time = action.trigger_time = now;
    } else if (now - action.press_time > action.repeat_delay && now - action.trigger_time >= action.interval) {
      set.triggered |= bit;
      action.trigger_time = now;
    }
  }
}

// Index of the set a binding evaluates; −1 when the binding is not configured.
int32_t set_index(const InputState& input, const Binding& b) {
  return b.set_id >= 0 && b.set_id < static_cast<int32_t>(input.sets.size()) ? b.set_id : -1;
}

const ActionSet* mouse_set(const InputState& input) {
  const Binding& b = input.bindings[kMouseBinding];
  const int32_t i = set_index(input, b);
  return b.kind == kBindingMouse && i >= 0 ? &input.sets[i] : nullptr;
}

// Action index of `button` in the mouse set; −1 when there is none.
int button_action(const ActionSet* set, int button) {
  if (set == nullptr || button < 0 || button >= 8) return -1;
  const int a = kFirstButtonAction + button;
  return a < set->count ? a : -1;
}

bool mask_has(const InputState& input, int button, uint64_t ActionSet::*mask) {
  const ActionSet* set = mouse_set(input);
  const int a = button_action(set, button);
  return a >= 0 && ((set->*mask >> a) & 1) != 0;
}

}  // namespace

void init_input_state(InputState& input) {
  input = InputState{};
  input.bindings[kMouseBinding] = Binding{kMouseBinding, kBindingMouse, 0};
  ActionSet& set = input.sets[kMouseBinding];
  set.id = kMouseBinding;
  set.count = kMouseActionCount;
  for (int a = kFirstButtonAction; a < kMouseActionCount; ++a) set.actions[a].input_code = a;
  set.actions[kFirstButtonAction + kLeftButton].repeat_delay = kLeftRepeatDelay;
}

void set_button(InputState& input, int button, bool down) {
  if (button < 0 || button >= static_cast<int>(input.buttons.size())) return;
  input.buttons[button] = down ? kButtonDown : kButtonUp;
}

void evaluate_action_sets(InputState& input, uint32_t now_ms, int32_t hovered_region) {
  for (const Binding& b : input.bindings) {
    const int32_t i = set_index(input, b);
    if (i >= 0) evaluate_set(input.sets[i], input, b.kind, now_ms);
  }
  input.hovered_region = hovered_region;
}

void record_press_regions(InputState& input) {
  for (const Binding& b : input.bindings) {
    const int32_t i = set_index(input, b);
    if (i < 0) continue;
    ActionSet& set = input.sets[i];
    for (int a = 0; a < action_count(set); ++a) {
      const uint64_t bit = uint64_t{1} << a;
      if (set.pressed & bit) set.actions[a].press_region = input.hovered_region;
      if (set.released & bit) set.actions[a].press_region = -1;
    }
  }
}

bool held(const InputState& input, int button) { return mask_has(input, button, &ActionSet::held); }
bool pressed(const InputState& input, int button) { return mask_has(input, button, &ActionSet::pressed); }
bool released(const InputState& input, int button) { return mask_has(input, button, &ActionSet::released); }
bool triggered(const InputState& input, int button) { return mask_has(input, button, &ActionSet::triggered); }

int32_t press_region(const InputState& input, int button) {
  const ActionSet* set = mouse_set(input);
  const int a = button_action(set, button);
  return a >= 0 ? set->actions[a].press_region : -1;
}

int32_t hit_test(std::span<const HitRegion> regions, int32_t x, int32_t y) {
  const float px = (static_cast<float>(x) - kHitOriginX) / kHitScaleX;
  const float py = (static_cast<float>(y) - kHitOriginY) / kHitScaleY;
  for (size_t i = 0; i < regions.size(); ++i) {
    const HitRegion& r = regions[i];
    if (!r.enabled) continue;
    const float left = static_cast<float>(r.x), top = static_cast<float>(r.y);
    if (px >= left && py >= top && px < left + static_cast<float>(r.width) && py < top + static_cast<float>(r.height)) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

}  // namespace tesmo
