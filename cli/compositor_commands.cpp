// The compositor commands of the toolbox: scale, op and the zoom benchmark.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "edit/effects.h"
#include "formats/registry.h"
#include "shell/settings.h"
#include "surface/compositor.h"

namespace tesmo::cli {
namespace {

constexpr int32_t kSourceKey = 1;
constexpr int32_t kTargetKey = 3;

std::optional<int32_t> int32_arg(const std::string& text) {
  std::optional<int64_t> v = parse_integer(text);
  if (!v || *v < std::numeric_limits<int32_t>::min() || *v > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(*v);
}

// Every flag a filter word of the scaled blit may hold.
constexpr int32_t kFilterWordFlags = kScaleCentre | kScaleKeepAspect | kScaleBilinear | kScaleBicubic |
                                     kScaleLanczos2 | kScaleLanczos3 | kScaleTypeF;

// Any combination of the filter flags, as the scaled blit takes them: with several filter bits
// the blit's own priority (bilinear, bicubic, Lanczos-2, Lanczos-3) picks one.
bool valid_filter(int32_t flags) { return (flags & ~kFilterWordFlags) == 0; }

// The picture at `path` into surface `key`; the reason when it cannot be had.
std::string load(SurfaceTable& t, int32_t key, const std::string& path) {
  std::string fault;
  if (surface_load(t, key, utf8_to_utf16(path), false, &fault) == 0) return {};
  return path + ": " + fault;
}

// Saves in the format and default layout that Save As picks for the file name.
bool save(const SurfaceTable& t, int32_t key, const std::string& path) {
  SaveRequest r;
  r.format = format_for_file_name(utf8_to_utf16(path));
  r.pixel_format = format_save_options(r.format).default_index;
  r.quality = 100;
  return surface_save(t, key, utf8_to_utf16(path), 32, &r) == 0;
}

struct ZoomTarget {
  int32_t width, height, flags;
};

std::optional<ZoomTarget> zoom_target(const std::vector<std::string>& p, size_t first) {
  std::optional<int32_t> w = int32_arg(p[first]), h = int32_arg(p[first + 1]), f = int32_arg(p[first + 2]);
  if (!w || !h || !f || *w <= 0 || *h <= 0 || !valid_filter(*f)) return std::nullopt;
  return ZoomTarget{*w, *h, *f};
}

// The scaled copy of the whole source into the cleared W × H surface 0, clipped to it. With the
// centre flag the unscaled picture is thought centred in the surface, so the scaled one is too.
void zoom(SurfaceTable& t, const ZoomTarget& z) {
  const Surface& src = *surface_find(t, kSourceKey);
  const bool centre = z.flags & kScaleCentre;
  const int32_t x = centre ? (z.width - src.width) >> 1 : 0;
  const int32_t y = centre ? (z.height - src.height) >> 1 : 0;
  t.clip = {0, 0, z.width, z.height};
  blit(t, kKeyBackBuffer, kSourceKey, kOpScale | kOpClipFlag,
       {.dst_x = x, .dst_y = y, .width = src.width, .height = src.height, .param1 = z.width, .param2 = z.height,
        .param4 = z.flags});
}

bool make_view(SurfaceTable& t, const ZoomTarget& z) {
  if (surface_create(t, kKeyBackBuffer, z.width, z.height) != 0) return false;
  surface_fill(t, kKeyBackBuffer, 0, 0, 0, 0);
  return true;
}

bool is_scaling(int32_t code) {
  return code == kOpScale || (code >= kOpScaleBilinear && code <= kOpScaleLanczos3);
}

// The destination starts as DST (which must have the size it will have) or as a copy of the source;
// a quarter turn's destination is the source's size turned, cleared.
int prepare_destination(SurfaceTable& t, int32_t code, const std::string* dst_path) {
  const Surface& src = *surface_find(t, kSourceKey);
  const bool turned = code == kOpRotateRight;
  const int32_t w = turned ? src.height : src.width, h = turned ? src.width : src.height;
  if (dst_path) {
    if (std::string fault = load(t, kTargetKey, *dst_path); !fault.empty()) return fail(fault);
    const Surface& d = *surface_find(t, kTargetKey);
    if (d.width != w || d.height != h) return fail(*dst_path + " is not " + std::to_string(w) + " x " + std::to_string(h));
    return 0;
  }
  if (!turned) return surface_duplicate(t, kTargetKey, kSourceKey) == 0 ? 0 : fail("out of memory");
  if (surface_create(t, kTargetKey, w, h) != 0) return fail("out of memory");
  surface_fill(t, kTargetKey, 0, 0, 0, 0);
  return 0;
}

}  // namespace

int cmd_scale(Args args) {
  ParsedArgs p = parse_args(args, {});
  if (!p.ok || p.positional.size() != 5) return usage_error(command_named("scale"));
  std::optional<ZoomTarget> z = zoom_target(p.positional, 2);
  if (!z) return usage_error(command_named("scale"));
  SurfaceTable t;
  if (std::string fault = load(t, kSourceKey, p.positional[0]); !fault.empty()) return fail(fault);
  if (!make_view(t, *z)) return fail("cannot make a " + p.positional[2] + " x " + p.positional[3] + " picture");
  zoom(t, *z);
  if (!save(t, kKeyBackBuffer, p.positional[1])) return fail("cannot write " + p.positional[1]);
  return 0;
}

int cmd_op(Args args) {
  static const char* const kWithValue[] = {"--dst"};
  static const char* const kFlags[] = {"--clip"};
  ParsedArgs p = parse_args(args, kWithValue, kFlags);
  if (!p.ok || p.positional.size() != 7) return usage_error(command_named("op"));
  std::optional<int32_t> v[5];
  for (size_t i = 0; i < 5; ++i) v[i] = int32_arg(p.positional[2 + i]);
  if (!v[0] || !v[1] || !v[2] || !v[3] || !v[4] || *v[0] < 0 || *v[0] >= kOpCount) {
    return usage_error(command_named("op"));
  }
  const int32_t code = *v[0];
  if (is_scaling(code)) {
    std::fputs("tesmo: scaling operations run through tesmo scale\n", stderr);
    return usage_error(command_named("op"));
  }
  SurfaceTable t;
  if (std::string fault = load(t, kSourceKey, p.positional[0]); !fault.empty()) return fail(fault);
  auto dst = p.options.find("--dst");
  if (int r = prepare_destination(t, code, dst == p.options.end() ? nullptr : &dst->second); r != 0) return r;
  const Surface& src = *surface_find(t, kSourceKey);
  const Surface& target = *surface_find(t, kTargetKey);
  uint32_t word = static_cast<uint32_t>(code);
  if (p.has_flag("--clip")) {
    t.clip = {0, 0, target.width, target.height};
    word |= kOpClipFlag;
  }
  blit(t, kTargetKey, kSourceKey, word,
       {.width = src.width, .height = src.height, .param1 = *v[1], .param2 = *v[2], .param3 = *v[3], .param4 = *v[4]});
  if (!save(t, kTargetKey, p.positional[1])) return fail("cannot write " + p.positional[1]);
  return 0;
}

// An edit-menu effect as the batch runner runs it on a picture: the parameters as the effect
// dialog would pass them for this picture (its rows adjusted to the picture's size, each value
// clamped to its row), the alpha channel kept apart as a grey picture while the effect runs on the
// image over the default view background, then put back into the alpha bytes for saving.
int cmd_effect(Args args) {
  ParsedArgs p = parse_args(args, {});
  if (!p.ok || p.positional.size() != 7) return usage_error(command_named("effect"));
  std::optional<int32_t> v[5];
  for (size_t i = 0; i < 5; ++i) v[i] = int32_arg(p.positional[2 + i]);
  if (!v[0] || !v[1] || !v[2] || !v[3] || !v[4] || *v[0] < 0 || *v[0] >= kEffectCount) {
    return usage_error(command_named("effect"));
  }
  SurfaceTable t;
  if (std::string fault = load(t, kSourceKey, p.positional[0]); !fault.empty()) return fail(fault);
  const Surface& image = *surface_find(t, kSourceKey);
  const int32_t w = image.width, h = image.height;
  const bool has_alpha = image.info.has_alpha != 0;
  if (has_alpha) {
    if (surface_create(t, kKeyAlpha, w, h) != 0) return fail("out of memory");
    const uint32_t* src = image.pixels();
    uint32_t* dst = surface_find(t, kKeyAlpha)->pixels();
    for (size_t i = 0; i < image.pixel_count(); ++i) dst[i] = (src[i] >> 24) * 0x010101u;
    surface_set_alpha(t, kSourceKey, 0);
  }
  SettingsStore defaults(u"");
  defaults.reset_to_defaults();
  const uint32_t c = defaults.settings().background_colour;
  const int32_t op = effect_table()[static_cast<size_t>(*v[0])].op;
  const std::array<int32_t, 4> params = effect_params_for_picture(*v[0], w, h, {*v[1], *v[2], *v[3], *v[4]});
  apply_effect_to(t, kSourceKey, op, params, [&t, c](int32_t key) {
    surface_fill(t, key, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 0);
  });
  if (has_alpha) blit(t, kSourceKey, kKeyAlpha, kOpChannelCopy, {.width = w, .height = h, .param1 = 1});
  else surface_set_alpha(t, kSourceKey, 255);
  if (!save(t, kSourceKey, p.positional[1])) return fail("cannot write " + p.positional[1]);
  return 0;
}

int cmd_bench_zoom(Args args) {
  static const char* const kOptions[] = {"--repeat"};
  ParsedArgs p = parse_args(args, kOptions);
  const int64_t repeat = p.integer("--repeat").value_or(20);
  if (!p.ok || p.positional.size() != 4 || repeat < 1) return usage_error(command_named("bench"));
  std::optional<ZoomTarget> z = zoom_target(p.positional, 1);
  if (!z) return usage_error(command_named("bench"));
  SurfaceTable t;
  if (std::string fault = load(t, kSourceKey, p.positional[0]); !fault.empty()) return fail(fault);
  if (!make_view(t, *z)) return fail("cannot make the view picture");
  std::vector<double> times;
  for (int64_t n = 0; n < repeat; ++n) {
    const auto start = std::chrono::steady_clock::now();
    zoom(t, *z);
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::printf("zoom_ms_median: %.3f\n", median(times));
  return 0;
}

}  // namespace tesmo::cli
