// The falling object simulation: spawning, the per-frame step and the draw list.
//
// Parameters typed outside their ranges are used as typed, so every modulus and divisor that
// comes from them is guarded: a remainder by 0 is 0 (the random number is still drawn, so the
// order of draws never changes), a negative modulus keeps the C remainder (the sign of the
// dividend, which is never negative here), and a fall time of 0 or less draws grains at their
// start (t = 0) instead of dividing by it. Float-to-integer cuts saturate instead of overflowing.
#include "tools/falling_objects.h"

#include <cmath>
#include <limits>

namespace tesmo {
namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr int32_t kDepthRange = 4096;  // z outside 0…4095 is not drawn

int32_t remainder_of(int32_t r, int32_t m) { return m == 0 ? 0 : r % m; }

// The whole part of `v`, held to the 32-bit range (NaN gives 0).
int32_t whole(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483520.0f) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// Nearest integer, halves away from zero.
int32_t rounded(float v) { return whole(std::round(v)); }

int16_t cut16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v))); }
int32_t cut32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// The start row: from the source rectangle's edge into the rectangle, away from the destination,
// then jittered by up to a grain height around it.
int32_t spawn_y(const FixedParams& p, const RandomSource& rnd) {
  int32_t y = p[kSourceY];
  const int32_t spread = remainder_of(rnd(), p[kSourceHeight]);
  y = p[kTargetY] < p[kSourceY] ? y - spread : y + spread;
  return y + remainder_of(rnd(), p[kGrainHeight]) - p[kGrainHeight] / 2;
}

struct Target {
  int32_t x, y;
};

// Path type 1 drifts from the start column with the wind; type 0 aims into the destination
// rectangle, entering it from the side the grain comes from.
Target spawn_target(const FallingObjects& f, int16_t x) {
  const FixedParams& p = f.fixed;
  const RandomSource& rnd = f.random;
  Target t{x, p[kTargetY]};
  if (p[kPathType] == 1) {
    const int32_t wind = rounded(f.variable[kWind]);
    if (wind != 0) {
      const int32_t w = remainder_of(rnd(), wind < 0 ? -wind : wind);
      t.x = x + (f.variable[kWind] < 0 ? -w : w);
    }
    if (p[kTargetHeight] != 0) t.y += remainder_of(rnd(), p[kTargetHeight]);
    return t;
  }
  if (p[kTargetWidth] != 0) t.x = p[kTargetX] + remainder_of(rnd(), p[kTargetWidth]);
  if (p[kTargetHeight] != 0) {
    const int32_t spread = remainder_of(rnd(), p[kTargetHeight]);
    t.y = p[kTargetY] < p[kSourceY] ? t.y - spread : t.y + spread;
  }
  return t;
}

// Waiting grains start falling once the delay has passed.
void advance_waiting(Grain& g, float dt) {
  g.elapsed += dt;
  if (g.elapsed > g.delay) {
    g.elapsed = 0;
    g.state = kGrainFalling;
  }
}

// Falling grains step their animation row and progress; true when the fall is over.
bool advance_falling(const FallingObjects& f, Grain& g, float dt) {
  g.timer += dt;
  if (whole(g.timer) > f.fixed[kAnimationSpeed]) {
    g.timer = 0;
    g.v = cut16(int32_t{g.v} + 1);
    if (g.v >= f.fixed[kFramesDown]) g.v = 0;
  }
  g.elapsed += f.variable[kFallSpeed] * dt;
  return g.elapsed > f.variable[kFallTime];
}

// Fade by type: 0 none, 1 over the whole fall, 2 over the last fifth.
int32_t fade_of(int32_t type, float t) {
  if (type == 1) return whole(t * -255.0f);
  if (type == 2 && !(t < 0.8f)) return whole((t - 0.8f) * 5.0000005f * -255.0f);
  return 0;
}

}  // namespace

void falling_start(FallingObjects& f, const FixedParams& fixed, const VariableParams& variable) {
  f.fixed = fixed;
  // The rectangle is held in 16 bits.
  for (int i = kSourceX; i <= kTargetHeight; ++i) f.fixed[static_cast<size_t>(i)] = cut16(fixed[static_cast<size_t>(i)]);
  for (int i = 0; i < kVariableParamCount; ++i) falling_set_variable(f, i, variable[static_cast<size_t>(i)]);
  for (Grain& g : f.grains) g = Grain{};
  const int32_t n = rounded(f.variable[kMaxGrain]);
  for (int i = 0; i < kGrainCount && i < n; ++i) falling_spawn(f, i);
  f.running = true;
}

void falling_stop(FallingObjects& f) { f.running = false; }

void falling_set_variable(FallingObjects& f, int index, int32_t value) {
  if (index >= 0 && index < kVariableParamCount) f.variable[static_cast<size_t>(index)] = static_cast<float>(value);
}

void falling_spawn(FallingObjects& f, int i) {
  const FixedParams& p = f.fixed;
  const RandomSource& rnd = f.random;
  Grain& g = f.grains[static_cast<size_t>(i)];
  g.x = cut16(int64_t{p[kSourceX]} + remainder_of(rnd(), p[kSourceWidth]));
  g.y = cut16(spawn_y(p, rnd));
  const Target t = spawn_target(f, g.x);
  g.delay = static_cast<float>(remainder_of(rnd(), rounded(f.variable[kFallTime])));
  g.elapsed = 0;
  g.phase = static_cast<float>(rnd() % 360);
  g.z = cut16(rnd() % kDepthRange);
  g.dz = cut16(rnd() % 1024 - 512);
  const int r = rnd();
  g.u = cut16(remainder_of(r, p[kFramesAcross]));
  g.v = cut16(remainder_of(r, p[kFramesDown]));
  g.timer = 0;
  g.state = kGrainWaiting;
  g.dx = cut16(int64_t{t.x} - g.x);
  g.dy = cut16(int64_t{t.y} - g.y);
}

void falling_step(FallingObjects& f, float dt) {
  if (!f.running) return;
  const int32_t n = rounded(f.variable[kMaxGrain]);
  for (int i = 0; i < kGrainCount; ++i) {
    Grain& g = f.grains[static_cast<size_t>(i)];
    const bool wanted = i < n;
    switch (g.state) {
      case kGrainFree:
        if (wanted) falling_spawn(f, i);
        break;
      case kGrainWaiting:
        // Grains beyond a lowered Max Grain that have not started are dropped at once.
        if (wanted) advance_waiting(g, dt);
        else g.state = kGrainFree;
        break;
      case kGrainFalling:
        if (!advance_falling(f, g, dt)) break;
        if (wanted) falling_spawn(f, i);
        else g.state = kGrainFree;
        break;
    }
  }
}

void falling_draw(const FallingObjects& f, const std::function<void(const GrainBlit&)>& draw) {
  if (!f.running) return;
  const FixedParams& p = f.fixed;
  const int32_t sway = rounded(f.variable[kSway]);
  const int32_t sign = rounded(f.variable[kWind]) < 0 ? -1 : 1;
  const float time = f.variable[kFallTime];
  for (const Grain& g : f.grains) {
    if (g.state != kGrainFalling) continue;
    const float t = time > 0 ? g.elapsed / time : 0.0f;
    const int64_t z = int64_t{g.z} + whole(static_cast<float>(g.dz) * t);
    if (z < 0 || z >= kDepthRange) continue;
    GrainBlit b;
    int64_t x = int64_t{g.x} + whole(static_cast<float>(g.dx) * t);
    b.y = cut32(int64_t{g.y} + whole(static_cast<float>(g.dy) * t));
    if (sway != 0) {
      const float angle = (static_cast<float>(b.y) + g.phase) * kDegreesToRadians;
      x += int64_t{whole(std::cos(angle) * static_cast<float>(sway))} * sign;
    }
    b.x = cut32(x);
    b.src_x = cut32(int64_t{g.u} * p[kGrainWidth]);
    b.src_y = cut32(int64_t{g.v} * p[kGrainHeight]);
    b.width = p[kGrainWidth];
    b.height = p[kGrainHeight];
    const int32_t fade = fade_of(p[kFadeType], t);
    b.alpha_offset = fade < 0 ? fade : 0;
    draw(b);
  }
}

}  // namespace tesmo
