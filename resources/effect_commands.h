// The command ids of the 35 effect items of the edit menus. The effect table of the edit menus is
// indexed in the same order, so a command's place in kEffectCommands is its effect index.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tesmo::resources {

enum EffectCommand : uint16_t {
  // Adjustments (色調補正)
  EffectBrightness = 40448, EffectContrast = 40449, EffectHueSaturation = 40451, EffectSharpness = 40560,
  EffectGamma = 40452, EffectColourBalance = 40453, EffectGreyScale = 40442, EffectNegative = 40443,
  EffectBinarize = 40533, EffectPosterize = 40633, EffectEqualize = 40563, EffectSepia = 40444,
  EffectToneMapping = 40559,
  // Transform (変形)
  EffectDisplacement = 40508, EffectLens = 40489, EffectPolar = 40487, EffectRaster = 40632,
  // Special FX (特殊効果)
  EffectFill = 40445, EffectFrame = 40564, EffectBlur = 40491, EffectMosaic = 40446, EffectNoise = 40478,
  EffectEdgeDetection = 40565, EffectFilter = 40558,
  // Blend (合成)
  EffectTranslucent = 40493, EffectAdd = 40495, EffectSubtract = 40566, EffectAlphaChannel = 40531,
  EffectAlphaChannelAdd = 40527, EffectAlphaChannelSubtract = 40567, EffectAlphaChannelCopy = 40529,
  EffectAlphaChannelNegative = 40646, EffectAlphaChannelRotate = 40602, EffectAlphaChannelRaster = 40530,
  EffectColourKey = 40627,
};

// In effect-index order.
inline constexpr auto kEffectCommands = std::to_array<uint16_t>({
    EffectBrightness, EffectContrast, EffectHueSaturation, EffectSharpness, EffectGamma, EffectColourBalance,
    EffectGreyScale, EffectNegative, EffectBinarize, EffectPosterize, EffectEqualize, EffectSepia,
    EffectToneMapping,
    EffectDisplacement, EffectLens, EffectPolar, EffectRaster,
    EffectFill, EffectFrame, EffectBlur, EffectMosaic, EffectNoise, EffectEdgeDetection, EffectFilter,
    EffectTranslucent, EffectAdd, EffectSubtract, EffectAlphaChannel, EffectAlphaChannelAdd,
    EffectAlphaChannelSubtract, EffectAlphaChannelCopy, EffectAlphaChannelNegative, EffectAlphaChannelRotate,
    EffectAlphaChannelRaster, EffectColourKey,
});

// The effect index of a command id; −1 for a command that is not an effect item.
constexpr int effect_index(uint16_t command) {
  for (size_t i = 0; i < kEffectCommands.size(); ++i) {
    if (kEffectCommands[i] == command) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tesmo::resources
