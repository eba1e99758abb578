// The compositor: one entry (`blit`) that clips once and dispatches by op code through a table of
// operations, each a plain function of the same signature.
//
//   blit.cpp      the entry: size check, plain and scaled clipping, the bounds guard, dispatch
//   op_table.cpp  the 63-row operation table {name, fn, flags} indexed by op code
//   copy.cpp      copy, depth conversion, channel copy, colour key, fill, frame, negative
//   turn.cpp      mirrored copies, rotation by an angle, quarter turns (the walk in rotation.h)
//   scale.cpp     OpScale's dispatch, nearest neighbour, bilinear
//   resample.cpp  bicubic, Lanczos-2, Lanczos-3 (kernels as data, weights per fractional offset)
//   colour.cpp    brightness, contrast, hue/saturation/lightness, curves, grey, sepia, noise, ...
//   blend.cpp     translucent, add, subtract, the alpha blends and the tint
//   filter.cpp    edge detection, smoothing, sharpening (3 × 3), mosaic, blur
//   warp.cpp      displacement, lens, polar coordinates, raster, alpha raster, alpha rotation
//
// Operations trust the rectangle they receive: `blit` has checked it (callers that call an
// operation directly keep it inside both surfaces). Each family keeps one plain reference path;
// its fast paths give bit-identical pixels and can be switched off.
#pragma once

#include <cstdint>
#include <span>

#include "surface/surface.h"

namespace tesmo {

inline constexpr uint32_t kOpCodeMask = 0x1FFFFFFFu;  // bits 0–28 of the op word
inline constexpr uint32_t kOpClipFlag = 0x20000000u;  // clip against SurfaceTable::clip
inline constexpr int32_t kPlainMarker = -32000;

// Op codes of the operations; codes not named here have no operation.
enum OpCode : int32_t {
  kOpCopy = 0, kOpConvertDepth = 10, kOpChannelCopy = 11, kOpColourKey = 13, kOpFill = 19,
  kOpFrame = 21, kOpFlip = 26, kOpNegative = 28, kOpRotate = 34, kOpRotateRight = 35, kOpScale = 36,
  kOpScaleBilinear = 50, kOpScaleBicubic = 51, kOpScaleLanczos2 = 52, kOpScaleLanczos3 = 53,
  kOpTranslucent = 1, kOpAddTranslucent = 3, kOpSubtractTranslucent = 5, kOpBinarize = 7,
  kOpColourBalance = 12, kOpContrast = 14, kOpEqualize = 17, kOpBrightness = 18, kOpGamma = 22,
  kOpGreyScale = 23, kOpHueSaturation = 24, kOpNoise = 29, kOpPosterize = 31, kOpSepia = 37,
  kOpToneMap = 39, kOpAlphaBlend = 40, kOpAlphaAdd = 41, kOpAlphaSubtract = 42, kOpAlphaCopy = 43,
  kOpAlphaInverse = 45, kOpTint = 54,
  kOpBlur = 8, kOpDisplace = 15, kOpEdgeDetect = 16, kOpFilter = 20, kOpLens = 25, kOpMosaic = 27, kOpPolar = 30,
  kOpRaster = 32, kOpSharpen = 38, kOpAlphaRaster = 46, kOpAlphaRotate = 47,
};

// Filter flags in param4 of OpScale; centre and keep-aspect act only in scaled clipping.
enum ScaleFlag : int32_t {
  kScaleCentre = 1, kScaleKeepAspect = 2, kScaleNearest = 0, kScaleBilinear = 0x10,
  kScaleBicubic = 0x20, kScaleLanczos2 = 0x40, kScaleLanczos3 = 0x80, kScaleTypeF = 0x100,
};

// What every operation receives (all signed 32-bit, in this order). For the scaling operations
// width × height is the source rectangle, param1 × param2 the destination size, param4 the flags.
struct BlitArgs {
  int32_t dst_x = 0, dst_y = 0, src_x = 0, src_y = 0, width = 0, height = 0;
  int32_t op = 0;  // without flag bits
  int32_t param1 = 0, param2 = 0, param3 = 0, param4 = 0;
  int32_t marker = kPlainMarker;  // grey scale and sepia take their plain form only with this value
};

struct OpArgs {
  SurfaceTable* table;  // lookup tables and temporaries of the colour and filter operations
  Surface* dst;         // written
  const Surface* src;   // read; may be `dst`; null only for operations that read no source
  BlitArgs a;
};
using OpFn = void (*)(const OpArgs&);

// Row flags: what `blit` checks before calling the operation, and how it clips.
enum OpFlag : uint32_t {
  kOpSource = 1,       // needs a source surface
  kOpSourceRect = 2,   // the source rectangle must lie inside the source
  kOpDestRect = 4,     // the destination rectangle must lie inside the destination
  kOpScaled = 8,       // the destination rectangle is param1 × param2, not width × height
  kOpScaledClip = 16,  // the clip flag selects scaled clipping (op 36)
  kOpNoClip = 32,      // the clip flag is ignored (op 34 fills the whole destination)
  // What the view and the effects ask before they run an operation on the picture:
  kOpTakesAlpha = 64,         // blends by a per-pixel alpha read from its source, so the alpha
                              // channel (surface 2) goes into the source's alpha bytes first
  kOpNeedsBackground = 128,   // blends with or leaves parts of the destination: the view
                              // background is drawn there first
  kOpLeavesBorder = 256,      // leaves the outermost rows and columns of its rectangle unwritten
  kOpAngleHundredths = 512,   // param1 is an angle in hundredths of a degree; the effect dialog
                              // takes whole degrees
};

// Hundredths of a degree in one degree: the unit of the rotation operations' angle.
inline constexpr int32_t kHundredthsPerDegree = 100;

struct OpRow {
  const char* name;
  OpFn fn;
  uint32_t flags;

  constexpr bool takes_alpha() const { return flags & kOpTakesAlpha; }
  constexpr bool needs_background() const { return flags & kOpNeedsBackground; }
  constexpr bool leaves_border() const { return flags & kOpLeavesBorder; }
  constexpr bool angle_in_hundredths() const { return flags & kOpAngleHundredths; }
};

// The operation table, one row per op code 0–62; codes without an operation hold op_invalid.
std::span<const OpRow, kOpCount> op_table();
// The row of the op code in `op_word` (flag bits ignored); the row of op_invalid for codes above 62.
const OpRow& op_row(uint32_t op_word);

// The compositor entry: destination and source keys, the op word (op code and clip flag) and the
// rectangle and parameters in `a`, whose `op` and `marker` are set here (the code without flag
// bits, kPlainMarker). Does nothing when width or height ≤ 0, the op code is above 62, clipping
// leaves nothing, a surface the operation needs is missing, or the (clipped) rectangle is not inside
// the surfaces. The clip flag clips against t.clip (scaled clipping for op 36, none for op 34).
void blit(SurfaceTable& t, int32_t dst_key, int32_t src_key, uint32_t op_word, BlitArgs a);

// The clipping steps of `blit`, on their own. false: nothing is left (`a` then undefined).
bool clip_plain(BlitArgs& a, const Rect& clip);   // source offsets follow the destination
bool clip_scaled(BlitArgs& a, const Rect& clip);  // keep aspect, centre, then shrink the source

// Fast paths on (default) or off; off runs every family's plain reference path. Process-wide.
void set_fast_paths(bool on);
bool fast_paths();

void op_invalid(const OpArgs& o);  // codes without an operation: does nothing
void OpCopy(const OpArgs& o);
void OpConvertDepth(const OpArgs& o);  // whole surfaces of equal size; param1 32, param2 16 or 24
void OpChannelCopy(const OpArgs& o);
void OpColourKey(const OpArgs& o);
void OpFill(const OpArgs& o);  // reads no source
void OpFrame(const OpArgs& o);
void OpFlip(const OpArgs& o);
void OpNegative(const OpArgs& o);
void OpRotate(const OpArgs& o);       // fills the whole destination; src_x, src_y not used
void OpRotateRight(const OpArgs& o);  // the destination must hold the turned rectangle
void OpScale(const OpArgs& o);
void OpScaleBilinear(const OpArgs& o);
void OpScaleBicubic(const OpArgs& o);
void OpScaleLanczos2(const OpArgs& o);
void OpScaleLanczos3(const OpArgs& o);

// Colour adjustments (colour.cpp). Each reads the source rectangle and writes the destination one;
// in place when both are the same. Curve tables live in o.table->tables (o.table must be set) and
// are built on first use; OpNoise draws from o.table->random. Parameters beyond their ranges are
// held to them.
void OpBinarize(const OpArgs& o);
void OpColourBalance(const OpArgs& o);
void OpContrast(const OpArgs& o);
void OpEqualize(const OpArgs& o);
void OpBrightness(const OpArgs& o);
void OpGamma(const OpArgs& o);       // also reads the destination (blends by source alpha)
void OpGreyScale(const OpArgs& o);   // writes nothing unless marker is kPlainMarker and param1 0–2
void OpHueSaturation(const OpArgs& o);
void OpNoise(const OpArgs& o);
void OpPosterize(const OpArgs& o);   // levels outside 2–255: nothing
void OpSepia(const OpArgs& o);       // writes nothing unless marker is kPlainMarker and param4 0–2
void OpToneMap(const OpArgs& o);     // curve types other than 0 and 1 keep the colours

// Blends (blend.cpp): read source and destination and write the destination. OpTint reads no
// source (pulls the destination towards a colour).
void OpTranslucent(const OpArgs& o);
void OpAddTranslucent(const OpArgs& o);
void OpSubtractTranslucent(const OpArgs& o);
void OpAlphaBlend(const OpArgs& o);
void OpAlphaAdd(const OpArgs& o);
void OpAlphaSubtract(const OpArgs& o);
void OpAlphaCopy(const OpArgs& o);
void OpAlphaInverse(const OpArgs& o);
void OpTint(const OpArgs& o);

// Filters (filter.cpp). The neighbourhood is taken inside the rectangle; they read a copy of the
// source when they write the surface they read.
void OpEdgeDetect(const OpArgs& o);  // param1 kernel 0–6, param2 strength; border and rectangles under 3 × 3 unwritten
void OpFilter(const OpArgs& o);      // param1 0 smoothing (others: nothing); border unwritten; alpha 0
void OpSharpen(const OpArgs& o);     // param1 0–3000 (100 keeps), param2 1 four / 0 eight neighbours; alpha 0
void OpMosaic(const OpArgs& o);      // param1 block size 1–100; whole pixels
// param1 percent 1–100, param2 extra passes 0–32: bilinear down and up through surface −1 (made
// and removed; at least 1 × 1), then the source's alpha. Needs o.table.
void OpBlur(const OpArgs& o);

// Geometric effects (warp.cpp); called with the whole picture at (0, 0) in both surfaces.
// Destination pixels displaced by the source's alpha from the snapshot surface −2 (made from the
// destination unless one of its size exists; it stays). Needs o.table.
void OpDisplace(const OpArgs& o);
// param1 distance D: a sphere of radius width / 2; pixels outside it (all when |D| ≥ R) unwritten.
// The map is cached in the source's auxiliary block, rebuilt when D or the source's size changes.
void OpLens(const OpArgs& o);
// param1, param2 centre: angle → column, distance → row. Map cached in the source's auxiliary block
// with its size and centre; pictures over 65535 pixels across or down are left unwritten.
void OpPolar(const OpArgs& o);
// param1 axis (0 rows, 1 columns), param2 amplitude, param3 phase in degrees: lines shifted along a
// sine wave; uncovered pixels and lines shifted by their length or more unwritten.
void OpRaster(const OpArgs& o);
void OpAlphaRaster(const OpArgs& o);  // OpRaster blending by C(param4 + A); alpha 0
void OpAlphaRotate(const OpArgs& o);  // OpRotate blending by C(param4 + A); keeps the destination's alpha

}  // namespace tesmo
