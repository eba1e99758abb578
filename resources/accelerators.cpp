// The accelerator table "IDR_ACCEL": key, modifiers and the command each key sends, grouped by
// the menu that holds the command. Commands reachable by two keys (main row and numeric keypad)
// have one row per key.
#include "resources/resources.h"

#include <array>

#include "platform/keys.h"

namespace tesmo::resources {
namespace {

using platform::AccelEntry;
namespace key = platform::key;

constexpr AccelEntry plain(uint16_t k, uint16_t command) { return {k, 0, command}; }
constexpr AccelEntry ctrl(uint16_t k, uint16_t command) {
  return {k, key::ModControl, command};
}
constexpr AccelEntry shift(uint16_t k, uint16_t command) { return {k, key::ModShift, command}; }
constexpr AccelEntry alt(uint16_t k, uint16_t command) { return {k, key::ModAlt, command}; }
constexpr AccelEntry ctrl_shift(uint16_t k, uint16_t command) {
  return {k, key::ModControl | key::ModShift, command};
}

constexpr uint16_t L(char c) { return key::letter(c); }
constexpr uint16_t D(int n) { return key::digit(n); }
constexpr uint16_t F(int n) { return key::function(n); }

// clang-format off
constexpr auto kEntries = std::to_array<AccelEntry>({
  // File
  ctrl(L('N'), 40352),            // New
  ctrl(L('O'), 40037),            // Open image
  ctrl(key::Back, 40390),         // first file
  plain(key::Back, 40124),        // previous file
  plain(key::Space, 40123),       // next file
  ctrl(key::Space, 40391),        // last file
  ctrl(L('W'), 40003),            // Close
  ctrl_shift(L('W'), 40222),      // Close All
  ctrl(L('S'), 40002),            // Save
  ctrl_shift(L('S'), 40035),      // Save as
  plain(key::Delete, 40244),      // delete to the recycle bin
  shift(key::Delete, 40245),      // delete
  plain(F(2), 40246),             // rename
  plain(F(3), 40247),             // copy to folder
  shift(F(3), 40248),             // move to folder
  alt(key::Return, 40388),        // properties
  plain(L('I'), 40036),           // file information
  ctrl(L('I'), 40198),            // Exif information
  ctrl(L('B'), 40583),            // Batch
  plain(key::Escape, 40631),      // Quit

  // Edit
  ctrl(L('R'), 40230),            // image size
  plain(L('R'), 40229),           // canvas size
  ctrl(L('T'), 40629),            // scissor
  plain(L('T'), 40540),           // trim
  plain(key::Divide, 40157),      // 90 degrees counter-clockwise
  plain(key::Multiply, 40159),    // 90 degrees clockwise
  plain(L('F'), 40283),           // flip horizontal
  ctrl(L('F'), 40284),            // flip vertical
  ctrl(L('D'), 40603),            // connect
  plain(L('D'), 40361),           // divide
  alt(L('N'), 40240),             // new alpha channel
  alt(key::Delete, 40241),        // delete alpha channel
  alt(L('L'), 40596),             // import alpha channel
  alt(L('S'), 40242),             // swap alpha and RGB
  alt(L('I'), 40243),             // negate alpha channel
  plain(L('J'), 40623),           // lossless transform
  ctrl(L('X'), 40430),            // cut
  ctrl(L('C'), 40425),            // copy
  ctrl(L('V'), 40433),            // paste
  plain(L('A'), 40531),           // blend by alpha channel
  ctrl(L('Z'), 40553),            // Undo

  // View
  plain(F(11), 40203),            // FPS
  plain(D(5), 40336),             // cursor information
  plain(D(6), 40568),             // picture-in-picture
  plain(D(7), 40570),             // histogram
  plain(D(8), 40218),             // file information panel
  plain(D(9), 40202),             // Exif panel
  plain(L('M'), 40356),           // set marker
  ctrl(L('M'), 40357),            // clear all markers
  plain(L('G'), 40325),           // grid
  plain(D(1), 40249),             // channel RGB
  plain(D(4), 40251),             // channel alpha
  ctrl(D(1), 40572),              // visible red
  ctrl(D(2), 40573),              // visible green
  ctrl(D(3), 40574),              // visible blue
  shift(D(1), 40252),             // default channel RGB
  shift(D(4), 40253),             // default channel alpha
  plain(key::Return, 40458),      // full screen
  shift(key::Return, 40339),      // always on top
  plain(F(5), 40621),             // refresh
  ctrl(key::Add, 40256),          // zoom in
  ctrl(key::OemPlus, 40256),
  plain(key::Add, 40343),         // zoom in a little
  plain(key::OemPlus, 40343),
  plain(D(0), 40371),             // actual pixels
  plain(key::Numpad0, 40371),
  plain(key::OemMinus, 40344),    // zoom out a little
  plain(key::Subtract, 40344),
  ctrl(key::OemMinus, 40257),     // zoom out
  ctrl(key::Subtract, 40257),
  // "+" and "_" are typed with Shift on many layouts; the shifted key zooms as the plain one.
  shift(key::OemPlus, 40343),
  ctrl_shift(key::OemPlus, 40256),
  shift(key::OemMinus, 40344),
  ctrl_shift(key::OemMinus, 40257),
  ctrl(D(0), 40385),              // arbitrary zoom
  ctrl(key::Numpad0, 40385),

  // Option
  plain(F(6), 40624),             // image editor 1
  plain(F(7), 40625),             // image editor 2
  plain(F(8), 40626),             // binary editor

  // Help
  plain(F(1), 40030),             // manual
});
// clang-format on

constexpr platform::AccelTemplate kAccelerators{"IDR_ACCEL", kEntries};

}  // namespace

const platform::AccelTemplate& accelerators() { return kAccelerators; }

}  // namespace tesmo::resources
