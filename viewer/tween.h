// Animation slots: ten values that move along eased curves through constant keyframe lists, advanced
// once per frame in nominal 60 Hz frames. The overlays fade in and the grid appears with them.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tesmo {

// One step of a keyframe list: the value goes from `from` to `to` over `duration` nominal frames
// along curve `curve`.
struct Keyframe {
  int32_t from;
  int32_t to;
  int32_t duration;
  int32_t curve;
};

// Curve kinds, p as a function of t = elapsed / duration; value = start + change × p.
enum TweenCurveKind : uint8_t {
  kCurveLinear = 0,     // t
  kCurveSineOut = 1,    // sin(t × 90°)
  kCurveSineIn = 2,     // sin(t × 90° + 270°) + 1
  kCurveQuadOut = 3,    // 2t − t²
  kCurveSmooth = 4,     // 3t² − 2t³
  kCurveSmoother = 5,   // 6t⁵ − 15t⁴ + 10t³
};

enum TweenFlag : uint16_t {
  kTweenFinished = 1u << 0,  // elapsed has reached the duration
  kTweenHeld = 1u << 1,      // the list ended in hold mode and keeps its last value
};

enum TweenEndMode : int32_t { kTweenStop = 0, kTweenLoop = 1, kTweenHold = 2 };

struct TweenCurve {
  float start = 0.0f;
  float change = 0.0f;
  int32_t duration = 0;  // nominal frames; 0 (or less) jumps to start + change
  uint8_t kind = kCurveLinear;
  uint16_t flags = 0;
  float elapsed = 0.0f;   // nominal frames
  float progress = 0.0f;  // t, the fraction of the duration elapsed (1 once finished)
};

struct TweenSlot {
  TweenCurve curve;
  const Keyframe* keyframes = nullptr;  // null: the slot is idle
  int32_t count = 0;
  int32_t index = 0;  // current keyframe; equals count once a held list has ended
  int32_t end_mode = kTweenStop;
};

// The slots by what they animate: the overlays' fades, the grid's and the hyper-list's.
enum TweenSlotId : int {
  kTweenCursorInfo = 0,
  kTweenPictureInPicture = 1,
  kTweenHistogram = 2,
  kTweenFileInfo = 3,
  kTweenExifInfo = 4,
  kTweenGrid = 6,
  kTweenHyperList = 7,
};
constexpr int kTweenSlotCount = 10;
using TweenSlots = std::array<TweenSlot, kTweenSlotCount>;

// The curve's value at its elapsed time: start + change × p(t); start + change when the duration is
// 0 or less; 0 for an unknown curve kind. Never reads the keyframe list.
float tween_value(const TweenCurve& curve);
inline float tween_value(const TweenSlot& slot) { return tween_value(slot.curve); }

// Starts slot `n` with its built-in keyframe list (slots 0–4 fade −255 → 0, slot 6 goes 0 → 100,
// slot 7 100 → 0; each over 15 frames on curve 1, ending in stop mode), replacing whatever it did.
// Slots 5, 8 and 9 have no list, and numbers outside 0–9 are ignored: nothing changes.
void start_tween(TweenSlots& slots, int n);

// Starts `slot` on `keyframes` (which must outlive the run) with `end_mode`, at keyframe 0.
// An empty list leaves the slot idle.
void start_keyframes(TweenSlot& slot, std::span<const Keyframe> keyframes, int32_t end_mode);

// Makes slot `n` idle (its list cleared); the curve keeps its value. Ignores numbers outside 0–9.
void stop_tween(TweenSlots& slots, int n);

// One frame of animation: every slot with a list whose index has not reached the count advances
// by `step` nominal frames. A finished curve moves on to the next keyframe; past the last one the
// end mode clears the list (stop), restarts at keyframe 0 (loop) or keeps the last value (hold).
// Keyframes of duration 0 are passed through in the same frame, at most once round the list.
void advance_tweens(TweenSlots& slots, float step);
void advance_tween(TweenSlot& slot, float step);

}  // namespace tesmo
