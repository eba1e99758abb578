// The effect table and the apply step.
#include "edit/effects.h"

#include <algorithm>

#include "surface/compositor.h"

namespace tesmo {
namespace {

using P = ParamDescriptor;
constexpr P kUnused{};

constexpr std::array<bool, 3> links(int a, int b, int c) { return {a != 0, b != 0, c != 0}; }

struct EffectRow {
  const char16_t* name;
  EffectDescriptor d;
};

constexpr EffectDescriptor effect(int32_t op, P p1, P p2, P p3, P p4, std::array<bool, 3> enabled,
                                  std::array<bool, 3> checked) {
  return {op, {p1, p2, p3, p4}, enabled, checked};
}

const EffectRow kInitial[kEffectCount] = {
    // Colour adjustments.
    {u"明るさ", effect(kOpBrightness, {-255, 255, 0, 0, u"明るさ R"}, {-255, 255, 0, 0, u"明るさ G"},
                       {-255, 255, 0, 0, u"明るさ B"}, kUnused, links(1, 1, 0), links(1, 1, 0))},
    {u"コントラスト", effect(kOpContrast, {0, 255, 0, 0, u"黒の下限値"}, {0, 255, 255, 0, u"白の上限値"}, kUnused,
                             kUnused, links(1, 0, 0), links(0, 0, 0))},
    {u"色相・彩度・明度", effect(kOpHueSaturation, {0, 360, 0, 0, u"色相"}, {-100, 100, 0, 0, u"彩度"},
                                 {-100, 100, 0, 0, u"明度"}, kUnused, links(0, 1, 0), links(0, 0, 0))},
    {u"シャープネス", effect(kOpSharpen, {0, 3000, 300, 0, u"シャープネス"}, {0, 1, 0, 0, u"フィルターの種類"}, kUnused,
                             kUnused, links(0, 0, 0), links(0, 0, 0))},
    {u"ガンマ", effect(kOpGamma, {10, 1000, 100, 0, u"ガンマ R"}, {10, 1000, 100, 0, u"ガンマ G"},
                       {10, 1000, 100, 0, u"ガンマ B"}, kUnused, links(1, 1, 0), links(1, 1, 0))},
    {u"カラー バランス", effect(kOpColourBalance, {-100, 100, 0, 0, u"カラー レベル R"}, {-100, 100, 0, 0, u"カラー レベル G"},
                                {-100, 100, 0, 0, u"カラー レベル B"}, kUnused, links(1, 1, 0), links(0, 0, 0))},
    {u"グレー スケール", effect(kOpGreyScale, kUnused, kUnused, kUnused, kUnused, links(0, 0, 0), links(0, 0, 0))},
    {u"階調の反転", effect(kOpNegative, kUnused, kUnused, kUnused, kUnused, links(0, 0, 0), links(0, 0, 0))},
    {u"2 階調化", effect(kOpBinarize, {0, 100, 50, 0, u"境界のしきい値"}, kUnused, kUnused, kUnused, links(0, 0, 0),
                         links(0, 0, 0))},
    {u"ポスタリゼーション", effect(kOpPosterize, {2, 255, 4, 0, u"階調数"}, kUnused, kUnused, kUnused, links(0, 0, 0),
                                   links(0, 0, 0))},
    {u"ヒストグラム平均化", effect(kOpEqualize, {-255, 255, 0, 0, u"明るさの補正値"}, kUnused, kUnused, kUnused,
                                   links(0, 0, 0), links(0, 0, 0))},
    {u"セピア調", effect(kOpSepia, {0, 255, 240, 0, u"基準値 R"}, {0, 255, 200, 0, u"基準値 G"},
                         {0, 255, 145, 0, u"基準値 B"}, kUnused, links(1, 1, 0), links(0, 0, 0))},
    {u"トーン マッピング", effect(kOpToneMap, {0, 1, 0, 0, u"トーン カーブの種類"}, {0, 1000, 200, 0, u"赤の露光値"},
                                  {0, 1000, 200, 0, u"緑の露光値"}, {0, 1000, 200, 0, u"青の露光値"}, links(0, 1, 1),
                                  links(0, 1, 1))},
    // Transforms.
    {u"置換マッピング", effect(kOpDisplace, {0, 100, 10, 0, u"水平比率"}, {0, 100, 10, 0, u"垂直比率"}, kUnused,
                               kUnused, links(1, 0, 0), links(0, 0, 0))},
    {u"レンズ", effect(kOpLens, {-256, 256, 128, 0, u"投影距離"}, kUnused, kUnused, kUnused, links(0, 0, 0),
                       links(0, 0, 0))},
    {u"極座標", effect(kOpPolar, {0, 100, 50, 0, u"円の中心位置 X"}, {0, 100, 50, 0, u"円の中心位置 Y"}, kUnused,
                       kUnused, links(0, 0, 0), links(0, 0, 0))},
    {u"ラスター", effect(kOpRaster, {0, 1, 0, 0, u"軸"}, {-256, 256, 16, 0, u"振幅"}, {0, 360, 0, 0, u"周期"},
                         kUnused, links(0, 0, 0), links(0, 0, 0))},
    // Special effects.
    {u"塗りつぶし", effect(kOpFill, {0, 255, 0, 0, u"塗りつぶし色 R"}, {0, 255, 0, 0, u"塗りつぶし色 G"},
                           {0, 255, 0, 0, u"塗りつぶし色 B"}, kUnused, links(1, 1, 0), links(0, 0, 0))},
    {u"縁取り", effect(kOpFrame, {0, 255, 0, 0, u"枠の色 R"}, {0, 255, 0, 0, u"枠の色 G"}, {0, 255, 0, 0, u"枠の色 B"},
                       {1, 32, 1, 0, u"枠の太さ"}, links(1, 1, 0), links(0, 0, 0))},
    {u"ぼかし", effect(kOpBlur, {1, 100, 90, 0, u"画像の荒さ"}, {0, 32, 0, 0, u"ぼかす強さ"}, kUnused, kUnused,
                       links(0, 0, 0), links(0, 0, 0))},
    {u"モザイク", effect(kOpMosaic, {1, 100, 8, 0, u"モザイクの粗さ"}, kUnused, kUnused, kUnused, links(0, 0, 0),
                         links(0, 0, 0))},
    {u"ノイズ", effect(kOpNoise, {0, 256, 192, 0, u"ノイズの透明度 R"}, {0, 256, 192, 0, u"ノイズの透明度 G"},
                       {0, 256, 192, 0, u"ノイズの透明度 B"}, kUnused, links(1, 1, 0), links(1, 1, 0))},
    {u"エッジ検出", effect(kOpEdgeDetect, {0, 6, 3, 0, u"フィルターの種類"}, {-10, 10, 1, 0, u"フィルターの強さ"},
                           kUnused, kUnused, links(0, 0, 0), links(0, 0, 0))},
    {u"フィルター", effect(kOpFilter, {0, 0, 0, 0, u"フィルターの種類"}, kUnused, kUnused, kUnused, links(0, 0, 0),
                           links(0, 0, 0))},
    // Composites.
    {u"半透明", effect(kOpTranslucent, {0, 256, 128, 0, u"透明度 R"}, {0, 256, 128, 0, u"透明度 G"},
                       {0, 256, 128, 0, u"透明度 B"}, kUnused, links(1, 1, 0), links(1, 1, 0))},
    {u"半透明 (加算)", effect(kOpAddTranslucent, {-256, 256, 0, 0, u"透明度 R"}, {-256, 256, 0, 0, u"透明度 G"},
                              {-256, 256, 0, 0, u"透明度 B"}, kUnused, links(1, 1, 0), links(1, 1, 0))},
    {u"半透明 (減算)", effect(kOpSubtractTranslucent, {-256, 256, 0, 0, u"透明度 R"}, {-256, 256, 0, 0, u"透明度 G"},
                              {-256, 256, 0, 0, u"透明度 B"}, kUnused, links(1, 1, 0), links(1, 1, 0))},
    {u"αチャンネル", effect(kOpAlphaBlend, {-255, 255, 0, 0, u"透明度"}, kUnused, kUnused, kUnused, links(0, 0, 0),
                            links(0, 0, 0))},
    {u"αチャンネル (加算)", effect(kOpAlphaAdd, {-256, 256, 0, 0, u"明るさの補正値 R"},
                                   {-256, 256, 0, 0, u"明るさの補正値 G"}, {-256, 256, 0, 0, u"明るさの補正値 B"},
                                   kUnused, links(1, 1, 0), links(1, 1, 0))},
    {u"αチャンネル (減算)", effect(kOpAlphaSubtract, {-256, 256, 0, 0, u"明るさの補正値 R"},
                                   {-256, 256, 0, 0, u"明るさの補正値 G"}, {-256, 256, 0, 0, u"明るさの補正値 B"},
                                   kUnused, links(1, 1, 0), links(1, 1, 0))},
    {u"αチャンネル (コピー)", effect(kOpAlphaCopy, {-255, 255, 0, 0, u"透明度"}, kUnused, kUnused, kUnused,
                                     links(0, 0, 0), links(0, 0, 0))},
    {u"αチャンネル (階調の反転)", effect(kOpAlphaInverse, {-255, 255, 0, 0, u"透明度"}, kUnused, kUnused, kUnused,
                                         links(0, 0, 0), links(0, 0, 0))},
    // The rotation centre rows are placeholders until a dialog opens on a picture.
    {u"αチャンネル (回転)", effect(kOpAlphaRotate, {0, 360, 0, 0, u"角度"}, {-1, -1, -1, 0, u"回転の中心位置 X"},
                                   {-1, -1, 0, 0, u"回転の中心位置 Y"}, {-255, 255, 0, 0, u"透明度"}, links(0, 0, 0),
                                   links(0, 0, 0))},
    {u"αチャンネル (ラスター)", effect(kOpAlphaRaster, {0, 1, 0, 0, u"軸"}, {-256, 256, 16, 0, u"振幅"},
                                       {0, 360, 0, 0, u"周期"}, {-255, 255, 0, 0, u"透明度"}, links(0, 0, 0),
                                       links(0, 0, 0))},
    {u"カラー キー", effect(kOpColourKey, {0, 255, 0, 0, u"透過色 R"}, {0, 255, 0, 0, u"透過色 G"},
                            {0, 255, 0, 0, u"透過色 B"}, kUnused, links(1, 1, 0), links(0, 0, 0))},
};

std::array<EffectDescriptor, kEffectCount>& table() {
  static std::array<EffectDescriptor, kEffectCount> t = [] {
    std::array<EffectDescriptor, kEffectCount> a{};
    for (int i = 0; i < kEffectCount; ++i) a[static_cast<size_t>(i)] = kInitial[i].d;
    return a;
  }();
  return t;
}

const char16_t* group_of(int index) {
  if (index <= 12) return u"色調補正";
  if (index <= 16) return u"変形";
  if (index <= 23) return u"特殊効果";
  return u"合成";
}

}  // namespace

std::span<EffectDescriptor, kEffectCount> effect_table() { return table(); }

const EffectDescriptor& initial_effect(int index) { return kInitial[index].d; }

void reset_effect_table() {
  for (int i = 0; i < kEffectCount; ++i) table()[static_cast<size_t>(i)] = kInitial[i].d;
}

std::u16string effect_name(int index) {
  if (index < 0 || index >= kEffectCount) return {};
  return std::u16string(group_of(index)) + u" - " + kInitial[index].name;
}

namespace {

// The rows of `d` that follow the picture's size W × H.
void adjust_rows(EffectDescriptor& d, int32_t width, int32_t height) {
  auto& p = d.params;
  switch (d.op) {
    case kOpFrame:
      p[3].max = std::max(std::min(width, height) / 2, 1);
      break;
    case kOpMosaic:
      p[0].max = width;
      p[0].def = width < 8 ? width : 8;
      break;
    case kOpPolar:
      p[0].max = width;
      p[0].def = width / 2;
      p[1].max = height;
      p[1].def = height / 2;
      break;
    case kOpAlphaRotate:
      p[1].max = width;
      p[1].def = width / 2;
      p[2].max = height;
      p[2].def = height / 2;
      break;
    default:
      break;
  }
}

}  // namespace

void adjust_effect_ranges(int index, int32_t width, int32_t height) {
  if (index < 0 || index >= kEffectCount) return;
  adjust_rows(table()[static_cast<size_t>(index)], width, height);
}

int32_t clamp_to_row(int32_t value, const ParamDescriptor& row) {
  return std::clamp(value, row.min, std::max(row.min, row.max));
}

std::array<int32_t, 4> effect_params_for_picture(int index, int32_t width, int32_t height,
                                                 const std::array<int32_t, 4>& typed) {
  if (index < 0 || index >= kEffectCount) return typed;
  EffectDescriptor d = table()[static_cast<size_t>(index)];
  adjust_rows(d, width, height);
  std::array<int32_t, 4> out{};
  for (size_t k = 0; k < out.size(); ++k) out[k] = clamp_to_row(typed[k], d.params[k]);
  return out;
}

std::array<int32_t, 4> effect_op_params(int32_t op, const std::array<int32_t, 4>& p) {
  std::array<int32_t, 4> out = p;
  if (op_row(static_cast<uint32_t>(op)).angle_in_hundredths()) out[0] = p[0] * kHundredthsPerDegree;
  return out;
}

void apply_effect_to(SurfaceTable& t, int32_t edited, int32_t op, const std::array<int32_t, 4>& params,
                     const std::function<void(int32_t key)>& fill) {
  const Surface* s = surface_find(t, edited);
  const int32_t w = s ? s->width : 0, h = s ? s->height : 0;
  if (surface_create(t, kKeyWork, w, h) != 0) return;
  if (w > 0 && h > 0) {
    if (effect_takes_alpha(op)) {
      // The alpha view is its own alpha (the grey level); the image takes the alpha channel's.
      if (edited == kKeyAlpha) {
        blit(t, kKeyAlpha, kKeyAlpha, kOpChannelCopy, {.width = w, .height = h, .param1 = 1});
      } else {
        const Surface* a = surface_find(t, kKeyAlpha);
        if (a && a->width == w && a->height == h) {
          blit(t, edited, kKeyAlpha, kOpChannelCopy, {.width = w, .height = h, .param1 = 1});
        } else {
          surface_set_alpha(t, edited, 255);
        }
      }
    }
    // Gamma and displacement mapping read their destination: it starts as the picture itself, so
    // displacement moves the picture's own pixels and gamma keeps its alpha bytes.
    if (op == kOpGamma || op == kOpDisplace) {
      blit(t, kKeyWork, edited, kOpCopy, {.width = w, .height = h});
    } else if (effect_needs_background(op)) {
      if (fill) fill(kKeyWork);
      else surface_fill(t, kKeyWork, 0, 0, 0, 0);
    }
    // Gamma weighs by the source's alpha; the picture's colours are corrected as if opaque.
    if (op == kOpGamma) surface_set_alpha(t, edited, 255);
    // Displacement mapping reads a snapshot of the destination: taken afresh.
    if (op == kOpDisplace) surface_remove(t, kKeyTrimTemporary);
    const std::array<int32_t, 4> p = effect_op_params(op, params);
    blit(t, kKeyWork, edited, static_cast<uint32_t>(op),
         {.width = w, .height = h, .param1 = p[0], .param2 = p[1], .param3 = p[2], .param4 = p[3]});
    if (edited == kKeyAlpha) blit(t, kKeyWork, kKeyWork, kOpGreyScale, {.width = w, .height = h});
  }
  surface_swap_pixels(t, kKeyWork, edited);
  surface_remove(t, kKeyWork);
}

}  // namespace tesmo
