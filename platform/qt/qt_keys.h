// Keys between Qt and the system: Qt key events to the system's key codes (keys.h) and modifier
// bits, and the key names shown beside menu labels.
#pragma once

#include <QString>
#include <Qt>
#include <cstdint>

namespace tesmo::platform::qt {

// The system's key code for a Qt key (Qt::Key) with its event modifiers; the keypad modifier selects
// the keypad codes. 0 for keys the system has no code for.
uint16_t virtual_key(int qt_key, Qt::KeyboardModifiers modifiers);

// ModControl | ModShift | ModAlt of Qt modifier flags; other flags are dropped.
uint8_t modifier_bits(Qt::KeyboardModifiers modifiers);

// The text of an accelerator as shown beside its menu label, e.g. "Ctrl+Shift+S", "Num +", "F11";
// empty for a key code without a name.
QString accelerator_text(uint16_t key, uint8_t modifiers);

}  // namespace tesmo::platform::qt
