// The operation table: one row per op code, {name, function, flags}. Codes without an operation
// hold op_invalid, which does nothing; the comment names the operation a code will carry.
#include <array>

#include "surface/compositor.h"

namespace tesmo {
namespace {

constexpr uint32_t kPlain = kOpSource | kOpSourceRect | kOpDestRect;
constexpr uint32_t kScaled = kOpSource | kOpSourceRect | kOpDestRect | kOpScaled;
constexpr OpRow kInvalid{"invalid", op_invalid, 0};

constexpr std::array<OpRow, kOpCount> kOps{{
    /*  0 */ {"OpCopy", OpCopy, kPlain},
    /*  1 */ kInvalid,  // OpTranslucent: blend family
    /*  2 */ kInvalid,
    /*  3 */ kInvalid,  // OpAddTranslucent: blend family
    /*  4 */ kInvalid,
    /*  5 */ kInvalid,  // OpSubtractTranslucent: blend family
    /*  6 */ kInvalid,
    /*  7 */ kInvalid,  // OpBinarize: colour family
    /*  8 */ kInvalid,  // OpBlur: filter family
    /*  9 */ kInvalid,
    /* 10 */ {"OpConvertDepth", OpConvertDepth, kOpSource},
    /* 11 */ {"OpChannelCopy", OpChannelCopy, kPlain},
    /* 12 */ kInvalid,  // OpColourBalance: colour family
    /* 13 */ {"OpColourKey", OpColourKey, kPlain},
    /* 14 */ kInvalid,  // OpContrast: colour family
    /* 15 */ kInvalid,  // OpDisplace: filter family
    /* 16 */ kInvalid,  // OpEdgeDetect: filter family
    /* 17 */ kInvalid,  // OpEqualize: colour family
    /* 18 */ kInvalid,  // OpBrightness: colour family
    /* 19 */ {"OpFill", OpFill, kOpDestRect},
    /* 20 */ kInvalid,  // OpFilter: filter family
    /* 21 */ {"OpFrame", OpFrame, kPlain},
    /* 22 */ kInvalid,  // OpGamma: colour family
    /* 23 */ kInvalid,  // OpGreyScale: colour family
    /* 24 */ kInvalid,  // OpHueSaturation: colour family
    /* 25 */ kInvalid,  // OpLens: filter family
    /* 26 */ {"OpFlip", OpFlip, kPlain},
    /* 27 */ kInvalid,  // OpMosaic: filter family
    /* 28 */ {"OpNegative", OpNegative, kPlain},
    /* 29 */ kInvalid,  // OpNoise: colour family
    /* 30 */ kInvalid,  // OpPolar: filter family
    /* 31 */ kInvalid,  // OpPosterize: colour family
    /* 32 */ kInvalid,  // OpRaster: filter family
    /* 33 */ kInvalid,
    /* 34 */ {"OpRotate", OpRotate, kOpSource | kOpNoClip},
    /* 35 */ {"OpRotateRight", OpRotateRight, kOpSource | kOpSourceRect},
    /* 36 */ {"OpScale", OpScale, kScaled | kOpScaledClip},
    /* 37 */ kInvalid,  // OpSepia: colour family
    /* 38 */ kInvalid,  // OpSharpen: filter family
    /* 39 */ kInvalid,  // OpToneMap: colour family
    /* 40 */ kInvalid,  // OpAlphaBlend: blend family
    /* 41 */ kInvalid,  // OpAlphaAdd: blend family
    /* 42 */ kInvalid,  // OpAlphaSubtract: blend family
    /* 43 */ kInvalid,  // OpAlphaCopy: blend family
    /* 44 */ kInvalid,
    /* 45 */ kInvalid,  // OpAlphaInverse: blend family
    /* 46 */ kInvalid,  // OpAlphaRaster: filter family
    /* 47 */ kInvalid,  // OpAlphaRotate: filter family
    /* 48 */ kInvalid,
    /* 49 */ kInvalid,
    /* 50 */ {"OpScaleBilinear", OpScaleBilinear, kScaled},
    /* 51 */ {"OpScaleBicubic", OpScaleBicubic, kScaled},
    /* 52 */ {"OpScaleLanczos2", OpScaleLanczos2, kScaled},
    /* 53 */ {"OpScaleLanczos3", OpScaleLanczos3, kScaled},
    /* 54 */ kInvalid,  // OpTint: blend family
    /* 55 */ kInvalid,
    /* 56 */ kInvalid,
    /* 57 */ kInvalid,
    /* 58 */ kInvalid,
    /* 59 */ kInvalid,
    /* 60 */ kInvalid,
    /* 61 */ kInvalid,
    /* 62 */ kInvalid,
}};
static_assert(kOps.size() == 63);

// Each operation sits at its own code.
static_assert(kOps[kOpCopy].fn == OpCopy);
static_assert(kOps[kOpConvertDepth].fn == OpConvertDepth);
static_assert(kOps[kOpChannelCopy].fn == OpChannelCopy);
static_assert(kOps[kOpColourKey].fn == OpColourKey);
static_assert(kOps[kOpFill].fn == OpFill);
static_assert(kOps[kOpFrame].fn == OpFrame);
static_assert(kOps[kOpFlip].fn == OpFlip);
static_assert(kOps[kOpNegative].fn == OpNegative);
static_assert(kOps[kOpRotate].fn == OpRotate);
static_assert(kOps[kOpRotateRight].fn == OpRotateRight);
static_assert(kOps[kOpScale].fn == OpScale);
static_assert(kOps[kOpScaleBilinear].fn == OpScaleBilinear);
static_assert(kOps[kOpScaleBicubic].fn == OpScaleBicubic);
static_assert(kOps[kOpScaleLanczos2].fn == OpScaleLanczos2);
static_assert(kOps[kOpScaleLanczos3].fn == OpScaleLanczos3);

}  // namespace

std::span<const OpRow, kOpCount> op_table() { return kOps; }

}  // namespace tesmo
