// Private to formats/exif: how each tag of each section is named and shown. Texts are UTF-8 here
// and become CP932 when a row is built.
#pragma once

#include <cstdint>
#include <span>

namespace tesmo::exif {

// How an entry's value becomes its value text.
enum class Show : uint8_t {
  kText,           // ASCII as stored
  kEmpty,          // rows still being worked on: no value
  kPixels,         // "%d ピクセル"
  kPlain,          // "%d"
  kOffsetBytes,    // "%d バイト (0x%08X)"
  kOffsetHex,      // "%d (0x%08X)"
  kBitsPerSample,  // "%d:%d:%d" of three SHORT values
  kResolution,     // "1/%d" of numerator / denominator
  kFraction,       // "%d/%d"
  kMetres,         // "%d/%d m"
  kExposureTime,   // "1/%d 秒" of denominator / numerator
  kShutterSpeed,   // "1/%d 秒" of 2 to the signed quotient
  kFNumber,        // "F %.1f" of the quotient
  kApexAperture,   // "F %.1f" of √2 to the quotient
  kBrightness,     // "EV %.2f", or unknown for 0xFFFFFFFF
  kExposureBias,   // "EV %.2f"
  kFocalLength,    // "%.2f mm"
  kFlashEnergy,    // "%.2f BCPS"
  kFocal35,        // "%d mm", unknown for 0
  kVersion,        // the four bytes of the value field as text
  kComponents,     // "%s:%s:%s:%s" of the four value bytes
  kFlash,          // fired or not, red-eye reduction
  kEnum,           // the first SHORT (or the LONG) through `names`
  kByteEnum,       // the first value byte through `names`
  kSubSampling,    // the pair of SHORT values
  kOrientation,    // kEnum, and the row keeps the value
};

struct Named {
  uint32_t value;
  const char* text;
};

struct Rule {
  uint16_t tag;
  const char* item;
  Show show;
  std::span<const Named> names = {};
};

// The rules of the main and thumbnail sections, of the sub section (also the fallback for the
// main and thumbnail sections), and of the interoperability section.
std::span<const Rule> main_rules();
std::span<const Rule> sub_rules();
std::span<const Rule> interop_rules();

// The rule for `tag` in `rules`, or null.
const Rule* find_rule(std::span<const Rule> rules, uint16_t tag);

}  // namespace tesmo::exif
