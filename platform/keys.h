// Key codes of the system: the virtual-key numbers its accelerator table and key handlers speak.
// The platform implementations translate their own key events into these.
#pragma once

#include <cstdint>

namespace tesmo::platform::key {

enum : uint16_t {
  Back = 0x08, Tab = 0x09, Return = 0x0D, Shift = 0x10, Control = 0x11, Alt = 0x12,
  Escape = 0x1B, Space = 0x20, PageUp = 0x21, PageDown = 0x22, End = 0x23, Home = 0x24,
  Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28, Insert = 0x2D, Delete = 0x2E,
  Digit0 = 0x30,  // '0'…'9' are 0x30…0x39
  A = 0x41,       // 'A'…'Z' are 0x41…0x5A
  Numpad0 = 0x60, Multiply = 0x6A, Add = 0x6B, Subtract = 0x6D, Decimal = 0x6E, Divide = 0x6F,
  F1 = 0x70,      // F1…F12 are 0x70…0x7B
  OemPlus = 0xBB, OemMinus = 0xBD,
};

constexpr uint16_t digit(int n) { return static_cast<uint16_t>(Digit0 + n); }
constexpr uint16_t letter(char c) { return static_cast<uint16_t>(A + (c - 'A')); }
constexpr uint16_t function(int n) { return static_cast<uint16_t>(F1 + n - 1); }

// Modifier bits of accelerators and key events.
enum : uint8_t { ModControl = 1, ModShift = 2, ModAlt = 4 };

}  // namespace tesmo::platform::key
