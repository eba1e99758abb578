// The glyph service on FreeType and fontconfig.
#include "platform/freetype/freetype_glyphs.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "base/text.h"

namespace tesmo::platform {
namespace {

// Faces the system asks for by name and the families that stand in for them here.
struct StandIn {
  std::u16string_view face;
  const char* family;
};
constexpr StandIn kStandIns[] = {
    {u"ＭＳ ゴシック", "IPAGothic"},
    {u"ＭＳ Ｐゴシック", "IPAPGothic"},
};

// Character height used for a request of height 0.
constexpr int32_t kDefaultEmPixels = 12;
// Requests of this weight or more are bold; a face lighter than demibold is then emboldened.
constexpr int32_t kBoldWeight = 600;
// Synthetic bold widens each outline by one pixel (26.6 fixed point) and the advance with it, as an
// overstruck stroke would.
constexpr FT_Pos kEmboldenStrength = 64;

std::string family_for(const std::u16string& face) {
  for (const StandIn& s : kStandIns) {
    if (s.face == face) return s.family;
  }
  return utf16_to_utf8(face);
}

struct LibraryRelease {
  void operator()(FT_Library lib) const { FT_Done_FreeType(lib); }
};
using Library = std::shared_ptr<FT_LibraryRec_>;

struct PatternRelease {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternRelease>;

// The service's own fontconfig configuration, released with the service: the process-wide one
// would stay allocated until exit, and other users of fontconfig (the window system) keep theirs.
struct ConfigRelease {
  void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
using Config = std::unique_ptr<FcConfig, ConfigRelease>;

// What fontconfig found for a request.
struct FaceFile {
  std::string path;
  int index = 0;
  bool embolden = false;
};

bool find_face(FcConfig* config, const FontRequest& request, FaceFile& out) {
  Pattern pattern(FcPatternCreate());
  if (!pattern) return false;
  std::string family = family_for(request.face);
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  // Japanese coverage decides the fallback when the family is missing.
  FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  int weight = std::clamp(request.weight == 0 ? 400 : request.weight, 1, 1000);
  FcPatternAddDouble(pattern.get(), FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
  FcPatternAddInteger(pattern.get(), FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  Pattern match(FcFontMatch(config, pattern.get(), &result));
  if (!match) return false;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file) return false;
  out.path = reinterpret_cast<const char*>(file);
  if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &out.index) != FcResultMatch) out.index = 0;
  double found_weight = FC_WEIGHT_REGULAR;
  FcPatternGetDouble(match.get(), FC_WEIGHT, 0, &found_weight);
  out.embolden = weight >= kBoldWeight && found_weight < FC_WEIGHT_DEMIBOLD;
  return true;
}

// Line metrics of a face in font units: usWinAscent and usWinDescent of its OS/2
// table (what the system's line height was built on), else the horizontal header's.
void line_metrics(FT_Face face, FT_Long& ascent_units, FT_Long& descent_units) {
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
    ascent_units = os2->usWinAscent;
    descent_units = os2->usWinDescent;
  } else {
    ascent_units = face->ascender;
    descent_units = -face->descender;
  }
}

class FreeTypeFont final : public GlyphFont {
 public:
  FreeTypeFont(Library lib, FT_Face face, bool embolden) : lib_(std::move(lib)), face_(face), embolden_(embolden) {}
  ~FreeTypeFont() override { FT_Done_Face(face_); }

  bool set_height(int32_t height) {
    FT_Long asc = 0, desc = 0;
    line_metrics(face_, asc, desc);
    int32_t upem = face_->units_per_EM > 0 ? face_->units_per_EM : 1000;
    int32_t em = kDefaultEmPixels;
    if (height < 0) em = -height;
    if (height > 0) em = static_cast<int32_t>(FT_MulDiv(height, upem, std::max<FT_Long>(asc + desc, 1)));
    em = std::max(em, 1);
    if (FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(em)) != 0) return false;
    metrics_.ascent = static_cast<int32_t>(FT_MulDiv(asc, em, upem));
    metrics_.descent = static_cast<int32_t>(FT_MulDiv(desc, em, upem));
    metrics_.height = metrics_.ascent + metrics_.descent;
    return true;
  }

  TextMetrics text_metrics() const override { return metrics_; }

  uint32_t glyph_index(char32_t c) override { return FT_Get_Char_Index(face_, c); }

  int64_t glyph(GlyphId id, GlyphMetrics& m, std::span<uint8_t> mask) override {
    m = GlyphMetrics{};
    uint32_t index = id.by_index ? id.value : FT_Get_Char_Index(face_, id.value);
    if (FT_Load_Glyph(face_, index, FT_LOAD_NO_BITMAP) != 0) return -1;
    FT_GlyphSlot slot = face_->glyph;
    FT_Pos advance = slot->advance.x;
    if (embolden_ && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      FT_Outline_EmboldenXY(&slot->outline, kEmboldenStrength, 0);
      advance += kEmboldenStrength;
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return -1;
    const FT_Bitmap& bm = slot->bitmap;
    m.cell_inc_x = static_cast<int32_t>((advance + 32) >> 6);
    if (bm.width == 0 || bm.rows == 0 || bm.pixel_mode != FT_PIXEL_MODE_GRAY) return 0;
    m.black_box_x = static_cast<int32_t>(bm.width);
    m.black_box_y = static_cast<int32_t>(bm.rows);
    m.origin_x = slot->bitmap_left;
    m.origin_y = slot->bitmap_top;
    size_t bytes = glyph_mask_bytes(m.black_box_x, m.black_box_y);
    if (mask.size() >= bytes) copy_mask(bm, mask);
    return static_cast<int64_t>(bytes);
  }

 private:
  // Rows top to bottom, padded to 4 bytes, each level reduced to 0–64.
  static void copy_mask(const FT_Bitmap& bm, std::span<uint8_t> mask) {
    size_t pitch = glyph_mask_bytes(static_cast<int32_t>(bm.width), 1);
    unsigned grays = bm.num_grays > 1 ? bm.num_grays : 256;
    for (unsigned r = 0; r < bm.rows; ++r) {
      // A negative pitch means the rows are stored bottom row first.
      const uint8_t* src = bm.pitch >= 0 ? bm.buffer + static_cast<size_t>(r) * bm.pitch
                                         : bm.buffer + static_cast<size_t>(bm.rows - 1 - r) * -bm.pitch;
      uint8_t* dst = mask.data() + r * pitch;
      for (unsigned c = 0; c < bm.width; ++c) {
        dst[c] = grays == 256 ? reduce_coverage(src[c])
                              : static_cast<uint8_t>((src[c] * 64u + (grays - 1) / 2) / (grays - 1));
      }
      std::memset(dst + bm.width, 0, pitch - bm.width);
    }
  }

  Library lib_;  // kept alive while the face is
  FT_Face face_;
  bool embolden_;
  TextMetrics metrics_;
};

class FreeTypeService final : public GlyphService {
 public:
  FreeTypeService(Library lib, Config config) : lib_(std::move(lib)), config_(std::move(config)) {}

  std::unique_ptr<GlyphFont> open_font(const FontRequest& request) override {
    FaceFile file;
    if (!find_face(config_.get(), request, file)) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(lib_.get(), file.path.c_str(), file.index, &face) != 0) return nullptr;
    auto font = std::make_unique<FreeTypeFont>(lib_, face, file.embolden);
    if (!font->set_height(request.height)) return nullptr;
    return font;
  }

 private:
  Library lib_;
  Config config_;
};

}  // namespace

std::unique_ptr<GlyphService> make_freetype_glyph_service() {
  Config config(FcInitLoadConfigAndFonts());
  if (!config) return nullptr;
  FT_Library raw = nullptr;
  if (FT_Init_FreeType(&raw) != 0) return nullptr;
  return std::make_unique<FreeTypeService>(Library(raw, LibraryRelease{}), std::move(config));
}

}  // namespace tesmo::platform
