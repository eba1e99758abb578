// The operation table: one row per op code, {name, function, flags}. Codes without an operation
// hold op_invalid, which does nothing.
#include <array>

#include "surface/compositor.h"

namespace tesmo {
namespace {

constexpr uint32_t kPlain = kOpSource | kOpSourceRect | kOpDestRect;
constexpr uint32_t kScaled = kOpSource | kOpSourceRect | kOpDestRect | kOpScaled;
// The alpha blends read the picture's alpha and cover only what it lets through.
constexpr uint32_t kBlendsByAlpha = kOpTakesAlpha | kOpNeedsBackground;
constexpr OpRow kInvalid{"invalid", op_invalid, 0};

constexpr std::array<OpRow, kOpCount> kOps{{
    /*  0 */ {"OpCopy", OpCopy, kPlain},
    /*  1 */ {"OpTranslucent", OpTranslucent, kPlain | kOpNeedsBackground},
    /*  2 */ kInvalid,
    /*  3 */ {"OpAddTranslucent", OpAddTranslucent, kPlain | kOpNeedsBackground},
    /*  4 */ kInvalid,
    /*  5 */ {"OpSubtractTranslucent", OpSubtractTranslucent, kPlain | kOpNeedsBackground},
    /*  6 */ kInvalid,
    /*  7 */ {"OpBinarize", OpBinarize, kPlain},
    /*  8 */ {"OpBlur", OpBlur, kPlain},
    /*  9 */ kInvalid,
    /* 10 */ {"OpConvertDepth", OpConvertDepth, kOpSource},
    /* 11 */ {"OpChannelCopy", OpChannelCopy, kPlain},
    /* 12 */ {"OpColourBalance", OpColourBalance, kPlain},
    /* 13 */ {"OpColourKey", OpColourKey, kPlain | kOpNeedsBackground},
    /* 14 */ {"OpContrast", OpContrast, kPlain},
    /* 15 */ {"OpDisplace", OpDisplace, kPlain | kOpTakesAlpha},
    /* 16 */ {"OpEdgeDetect", OpEdgeDetect, kPlain | kOpLeavesBorder},
    /* 17 */ {"OpEqualize", OpEqualize, kPlain},
    /* 18 */ {"OpBrightness", OpBrightness, kPlain},
    /* 19 */ {"OpFill", OpFill, kOpDestRect},
    /* 20 */ {"OpFilter", OpFilter, kPlain | kOpLeavesBorder},
    /* 21 */ {"OpFrame", OpFrame, kPlain},
    /* 22 */ {"OpGamma", OpGamma, kPlain},
    /* 23 */ {"OpGreyScale", OpGreyScale, kPlain},
    /* 24 */ {"OpHueSaturation", OpHueSaturation, kPlain},
    /* 25 */ {"OpLens", OpLens, kPlain | kOpNeedsBackground},
    /* 26 */ {"OpFlip", OpFlip, kPlain},
    /* 27 */ {"OpMosaic", OpMosaic, kPlain},
    /* 28 */ {"OpNegative", OpNegative, kPlain},
    /* 29 */ {"OpNoise", OpNoise, kPlain},
    /* 30 */ {"OpPolar", OpPolar, kPlain},
    /* 31 */ {"OpPosterize", OpPosterize, kPlain},
    /* 32 */ {"OpRaster", OpRaster, kPlain | kOpNeedsBackground},
    /* 33 */ kInvalid,
    /* 34 */ {"OpRotate", OpRotate, kOpSource | kOpNoClip | kOpAngleHundredths},
    /* 35 */ {"OpRotateRight", OpRotateRight, kOpSource | kOpSourceRect},
    /* 36 */ {"OpScale", OpScale, kScaled | kOpScaledClip},
    /* 37 */ {"OpSepia", OpSepia, kPlain},
    /* 38 */ {"OpSharpen", OpSharpen, kPlain},
    /* 39 */ {"OpToneMap", OpToneMap, kPlain},
    /* 40 */ {"OpAlphaBlend", OpAlphaBlend, kPlain | kBlendsByAlpha},
    /* 41 */ {"OpAlphaAdd", OpAlphaAdd, kPlain | kBlendsByAlpha},
    /* 42 */ {"OpAlphaSubtract", OpAlphaSubtract, kPlain | kBlendsByAlpha},
    /* 43 */ {"OpAlphaCopy", OpAlphaCopy, kPlain | kBlendsByAlpha},
    /* 44 */ kInvalid,
    /* 45 */ {"OpAlphaInverse", OpAlphaInverse, kPlain | kBlendsByAlpha},
    /* 46 */ {"OpAlphaRaster", OpAlphaRaster, kPlain | kBlendsByAlpha},
    /* 47 */ {"OpAlphaRotate", OpAlphaRotate, kOpSource | kOpNoClip | kBlendsByAlpha | kOpAngleHundredths},
    /* 48 */ kInvalid,
    /* 49 */ kInvalid,
    /* 50 */ {"OpScaleBilinear", OpScaleBilinear, kScaled},
    /* 51 */ {"OpScaleBicubic", OpScaleBicubic, kScaled},
    /* 52 */ {"OpScaleLanczos2", OpScaleLanczos2, kScaled},
    /* 53 */ {"OpScaleLanczos3", OpScaleLanczos3, kScaled},
    /* 54 */ {"OpTint", OpTint, kOpDestRect},
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
static_assert(kOps[kOpTranslucent].fn == OpTranslucent);
static_assert(kOps[kOpAddTranslucent].fn == OpAddTranslucent);
static_assert(kOps[kOpSubtractTranslucent].fn == OpSubtractTranslucent);
static_assert(kOps[kOpBinarize].fn == OpBinarize);
static_assert(kOps[kOpColourBalance].fn == OpColourBalance);
static_assert(kOps[kOpContrast].fn == OpContrast);
static_assert(kOps[kOpEqualize].fn == OpEqualize);
static_assert(kOps[kOpBrightness].fn == OpBrightness);
static_assert(kOps[kOpGamma].fn == OpGamma);
static_assert(kOps[kOpGreyScale].fn == OpGreyScale);
static_assert(kOps[kOpHueSaturation].fn == OpHueSaturation);
static_assert(kOps[kOpNoise].fn == OpNoise);
static_assert(kOps[kOpPosterize].fn == OpPosterize);
static_assert(kOps[kOpSepia].fn == OpSepia);
static_assert(kOps[kOpToneMap].fn == OpToneMap);
static_assert(kOps[kOpAlphaBlend].fn == OpAlphaBlend);
static_assert(kOps[kOpAlphaAdd].fn == OpAlphaAdd);
static_assert(kOps[kOpAlphaSubtract].fn == OpAlphaSubtract);
static_assert(kOps[kOpAlphaCopy].fn == OpAlphaCopy);
static_assert(kOps[kOpAlphaInverse].fn == OpAlphaInverse);
static_assert(kOps[kOpTint].fn == OpTint);
static_assert(kOps[kOpBlur].fn == OpBlur);
static_assert(kOps[kOpDisplace].fn == OpDisplace);
static_assert(kOps[kOpEdgeDetect].fn == OpEdgeDetect);
static_assert(kOps[kOpFilter].fn == OpFilter);
static_assert(kOps[kOpLens].fn == OpLens);
static_assert(kOps[kOpMosaic].fn == OpMosaic);
static_assert(kOps[kOpPolar].fn == OpPolar);
static_assert(kOps[kOpRaster].fn == OpRaster);
static_assert(kOps[kOpSharpen].fn == OpSharpen);
static_assert(kOps[kOpAlphaRaster].fn == OpAlphaRaster);
static_assert(kOps[kOpAlphaRotate].fn == OpAlphaRotate);

}  // namespace

std::span<const OpRow, kOpCount> op_table() { return kOps; }

const OpRow& op_row(uint32_t op_word) {
  const uint32_t code = op_word & kOpCodeMask;
  return code < kOps.size() ? kOps[code] : kInvalid;
}

}  // namespace tesmo
