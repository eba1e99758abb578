// The effect table of the edit menus and the windowless apply step: 35 effects, each one compositor
// operation with up to four parameters, run from the image (or its alpha channel) into the work
// surface and swapped in.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "resources/effect_commands.h"
#include "surface/compositor.h"
#include "surface/surface.h"

namespace tesmo {

inline constexpr int kEffectCount = static_cast<int>(resources::kEffectCommands.size());

// One slider row of the parameter dialog. `label` is "-" for a row the effect does not use.
struct ParamDescriptor {
  int32_t min = 0;
  int32_t max = 0;
  int32_t def = 0;
  int32_t reserved = 0;
  const char16_t* label = u"-";
};

struct EffectDescriptor {
  int32_t op = 0;  // compositor op code
  std::array<ParamDescriptor, 4> params{};
  // The three link boxes between P1–P2, P2–P3 and P3–P4.
  std::array<bool, 3> link_enabled{};
  std::array<bool, 3> link_checked{};
};

// The table, indexed by effect index. Mutable: opening the parameter dialog adjusts some rows to
// the picture's size, and the adjusted values stay for later dialogs and batch runs.
std::span<EffectDescriptor, kEffectCount> effect_table();
// The table as built, before any adjustment (the adjusted table can be put back from it).
const EffectDescriptor& initial_effect(int index);
void reset_effect_table();

// A typed value as the parameter dialog's boxes take it: below min → min, above max → max (a row
// whose max is below its min, such as an unused row, gives min).
int32_t clamp_to_row(int32_t value, const ParamDescriptor& row);

// The values the parameter dialog would pass for `typed` on a W × H picture: the effect's rows as
// the dialog's opening adjusts them to the size (not stored in the table), each value clamped to
// its row. Unused rows are 0 … 0, so effects without parameters (grey scale, negative) get their
// defaults. `typed` unchanged for an index outside 0–34.
std::array<int32_t, 4> effect_params_for_picture(int index, int32_t width, int32_t height,
                                                 const std::array<int32_t, 4>& typed);

// "<group> - <name>", for example "色調補正 - 明るさ"; empty for an index outside 0–34.
std::u16string effect_name(int index);

// Adjusts the rows that follow the picture's decoded size W × H (frame thickness, mosaic block,
// polar centre, alpha rotation centre).
void adjust_effect_ranges(int index, int32_t width, int32_t height);

// Ops that take a per-pixel alpha from their source (the operation table's rows say which).
inline bool effect_takes_alpha(int32_t op) { return op_row(static_cast<uint32_t>(op)).takes_alpha(); }
// Ops whose result leaves parts of the destination to show through, or leaves its outermost rows
// and columns unwritten (edge detection, the smoothing filter): the work surface starts as the view
// background, as the live preview shows it. Gamma and displacement mapping read the destination:
// the apply step starts them from the picture itself instead.
inline bool effect_needs_background(int32_t op) {
  const OpRow& row = op_row(static_cast<uint32_t>(op));
  return row.needs_background() || row.leaves_border() || op == kOpGamma || op == kOpDisplace;
}
// The op parameters an effect's P1–P4 map to: unchanged, except the alpha rotation's angle in
// hundredths of a degree.
std::array<int32_t, 4> effect_op_params(int32_t op, const std::array<int32_t, 4>& p);

// The apply step on a surface table: surface `edited` (1 the image, 2 the alpha view) through op
// `op` into work surface 3, which is then swapped in and removed. For the alpha-taking ops the
// image gets its per-pixel alpha from surface 2 (255 when there is none), as the live preview shows
// it; the alpha view gets its grey level as alpha and its result turned grey again. `fill` paints
// the view background into a surface for the ops that need it (null: black). A missing or empty
// surface gives an empty work surface and the op is skipped.
void apply_effect_to(SurfaceTable& t, int32_t edited, int32_t op, const std::array<int32_t, 4>& params,
                     const std::function<void(int32_t key)>& fill);

}  // namespace tesmo
