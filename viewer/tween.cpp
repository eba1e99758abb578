// Animation slots: curve values, the built-in keyframe lists and the per-frame advance.
//
// Precision: elapsed, t and the polynomial curves are single-precision, as the curve's fields are
// typed. The two sine curves are evaluated in double and rounded to float once: the 270° form,
// sin(t × 90° + 270°) + 1, cancels almost to zero near t = 0, where float would keep only three or
// four significant digits of the result.
#include "viewer/tween.h"

#include <cmath>
#include <numbers>

namespace tesmo {
namespace {

// The fades of the overlays (slots 0–4), the grid (6) and the hyper-list (7).
constexpr Keyframe kPanelFadeIn[] = {{-255, 0, 15, kCurveSineOut}};
constexpr Keyframe kGridFadeIn[] = {{0, 100, 15, kCurveSineOut}};
constexpr Keyframe kListFadeOut[] = {{100, 0, 15, kCurveSineOut}};

struct TweenTrack {
  std::span<const Keyframe> keyframes;  // empty: the slot is never started
  int32_t end_mode;
};

constexpr std::array<TweenTrack, kTweenSlotCount> kTracks = {{
    {kPanelFadeIn, kTweenStop},  // 0 cursor information
    {kPanelFadeIn, kTweenStop},  // 1 picture-in-picture
    {kPanelFadeIn, kTweenStop},  // 2 histogram
    {kPanelFadeIn, kTweenStop},  // 3 file information
    {kPanelFadeIn, kTweenStop},  // 4 Exif information
    {{}, kTweenStop},            // 5 unused
    {kGridFadeIn, kTweenStop},   // 6 grid
    {kListFadeOut, kTweenStop},  // 7 hyper-list
    {{}, kTweenStop},            // 8 unused
    {{}, kTweenStop},            // 9 unused
}};

constexpr double kQuarterTurn = std::numbers::pi / 2.0;
constexpr uint8_t kUnknownCurve = 255;

bool valid_slot(int n) { return n >= 0 && n < kTweenSlotCount; }

void enter_keyframe(TweenSlot& slot, int32_t index) {
  const Keyframe& k = slot.keyframes[index];
  slot.index = index;
  // A kind that does not fit the byte must not wrap onto a known curve.
  const uint8_t kind = k.curve >= 0 && k.curve < kUnknownCurve ? static_cast<uint8_t>(k.curve) : kUnknownCurve;
  slot.curve = TweenCurve{static_cast<float>(k.from), static_cast<float>(k.to) - static_cast<float>(k.from),
                          k.duration, kind, 0, 0.0f, 0.0f};
}

void finish_curve(TweenCurve& c) {
  c.elapsed = c.duration > 0 ? static_cast<float>(c.duration) : 0.0f;
  c.progress = 1.0f;
  c.flags |= kTweenFinished;
}

void make_idle(TweenSlot& slot) {
  slot.keyframes = nullptr;
  slot.count = 0;
  slot.index = 0;
}

// Takes the keyframe after the finished one. Zero-length keyframes are finished on entry and
// passed through; the pass is bounded so that a looping list of them cannot spin for ever.
void next_keyframe(TweenSlot& slot) {
  for (int32_t taken = 0; taken <= slot.count; ++taken) {
    int32_t next = slot.index + 1;
    if (next >= slot.count) {
      if (slot.end_mode == kTweenStop) return make_idle(slot);
      if (slot.end_mode != kTweenLoop) {  // hold; an unknown mode holds too
        slot.index = slot.count;
        slot.curve.flags |= kTweenHeld;
        return;
      }
      next = 0;
    }
    enter_keyframe(slot, next);
    if (slot.curve.duration > 0) return;
    finish_curve(slot.curve);
  }
}

}  // namespace

float tween_value(const TweenCurve& c) {
  if (c.duration <= 0) return c.start + c.change;
  const float t = c.elapsed / static_cast<float>(c.duration);
  float p = 0.0f;
  switch (c.kind) {
    case kCurveLinear: p = t; break;
    case kCurveSineOut: p = static_cast<float>(std::sin(t * kQuarterTurn)); break;
    case kCurveSineIn: p = static_cast<float>(std::sin(t * kQuarterTurn + 3.0 * kQuarterTurn) + 1.0); break;
    case kCurveQuadOut: p = 2.0f * t - t * t; break;
    case kCurveSmooth: p = t * t * (3.0f - 2.0f * t); break;
    case kCurveSmoother: p = t * t * t * (t * (6.0f * t - 15.0f) + 10.0f); break;
    default: return 0.0f;
  }
  return c.start + c.change * p;
}

void start_keyframes(TweenSlot& slot, std::span<const Keyframe> keyframes, int32_t end_mode) {
  if (keyframes.empty()) return make_idle(slot);
  slot.keyframes = keyframes.data();
  slot.count = static_cast<int32_t>(keyframes.size());
  slot.end_mode = end_mode;
  enter_keyframe(slot, 0);
}

void start_tween(TweenSlots& slots, int n) {
  if (!valid_slot(n) || kTracks[n].keyframes.empty()) return;
  start_keyframes(slots[n], kTracks[n].keyframes, kTracks[n].end_mode);
}

void stop_tween(TweenSlots& slots, int n) {
  if (valid_slot(n)) make_idle(slots[n]);
}

void advance_tween(TweenSlot& slot, float step) {
  if (slot.keyframes == nullptr || slot.index >= slot.count) return;
  TweenCurve& c = slot.curve;
  c.elapsed += step;
  // The curve ends once the whole part of elapsed reaches the duration; for a whole duration and a
  // non-negative elapsed that is elapsed >= duration.
  if (c.elapsed < static_cast<float>(c.duration)) {
    c.progress = c.elapsed / static_cast<float>(c.duration);
    return;
  }
  finish_curve(c);
  next_keyframe(slot);
}

void advance_tweens(TweenSlots& slots, float step) {
  for (TweenSlot& slot : slots) advance_tween(slot, step);
}

}  // namespace tesmo
