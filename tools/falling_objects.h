// The falling object preview: up to 256 grains fall from a source rectangle to a destination
// rectangle with frame animation, wind, sway and fading; and the four-line project text that
// stores its parameters (falling_project.h). No window here: drawing goes out as one GrainBlit per visible grain.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace tesmo {

inline constexpr int kGrainCount = 256;
inline constexpr int kFixedParamCount = 15;
inline constexpr int kVariableParamCount = 5;

// Indices of the fixed parameters (P) and the variable ones (V).
enum FixedParam : int {
  kGrainWidth, kGrainHeight, kFramesAcross, kFramesDown, kAnimationSpeed, kPathType,
  kSourceX, kSourceY, kSourceWidth, kSourceHeight, kTargetX, kTargetY, kTargetWidth, kTargetHeight, kFadeType,
};
enum VariableParam : int { kMaxGrain, kFallSpeed, kFallTime, kWind, kSway };

using FixedParams = std::array<int32_t, kFixedParamCount>;
using VariableParams = std::array<int32_t, kVariableParamCount>;
inline constexpr FixedParams kFixedDefaults = {1, 1, 1, 1, 1, 0, 0, 0, 800, 1, 0, 504, 800, 96, 0};
inline constexpr VariableParams kVariableDefaults = {1, 1, 1, 0, 0};

enum GrainState : uint8_t { kGrainFree = 0, kGrainWaiting = 1, kGrainFalling = 2 };

struct Grain {
  uint8_t state = kGrainFree;
  int16_t x = 0, y = 0, z = 0;     // start position; z only decides visibility (0…4095)
  int16_t dx = 0, dy = 0, dz = 0;  // movement over the whole fall
  float delay = 0;                 // frames to wait before falling
  float elapsed = 0;               // frames waited, or fall progress
  float phase = 0;                 // sway phase in degrees
  int16_t u = 0, v = 0;            // animation pattern column and row
  float timer = 0;                 // frames since the last pattern step
};

// The C runtime's pseudo-random generator: seed × 214013 + 2531011, bits 16–30 (0–32767).
class CRandom {
 public:
  explicit CRandom(uint32_t seed = 1) : state_(seed) {}
  int operator()() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  uint32_t state_;
};

// Where randomness comes from (0–32767 a call); tests script it.
using RandomSource = std::function<int()>;

// One grain to draw: alpha-blend the sprite cell (src_x, src_y, width × height) at (x, y) with
// `alpha_offset` (0 opaque … −255 invisible).
struct GrainBlit {
  int32_t x = 0, y = 0, src_x = 0, src_y = 0, width = 0, height = 0, alpha_offset = 0;
};

// The simulation: one fixed array of grains reused by every start.
struct FallingObjects {
  bool running = false;
  FixedParams fixed{};  // the rectangle values (6–13) cut to 16 bits
  std::array<float, kVariableParamCount> variable{};
  std::array<Grain, kGrainCount> grains{};
  RandomSource random = CRandom();
};

// Copies the parameters, spawns grains 0 … round(V0) − 1 and frees the rest. Values are used as
// given (not clamped); a modulus or divisor of 0 is guarded (see the .cpp).
void falling_start(FallingObjects& f, const FixedParams& fixed, const VariableParams& variable);
// Discards the simulation (the grains stay in their array).
void falling_stop(FallingObjects& f);
// A variable parameter replaced while running; takes effect from the next step.
void falling_set_variable(FallingObjects& f, int index, int32_t value);
// (Re)spawns grain `i` from the parameters, drawing random numbers in the fixed order.
void falling_spawn(FallingObjects& f, int i);
// Advances every grain by `dt` nominal frames.
void falling_step(FallingObjects& f, float dt);
// Hands every visible falling grain, in index order, to `draw`.
void falling_draw(const FallingObjects& f, const std::function<void(const GrainBlit&)>& draw);

}  // namespace tesmo
