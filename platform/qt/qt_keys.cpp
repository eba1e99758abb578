// Key translation: Qt key events to the system's key codes, and accelerator texts for menu labels.
#include "platform/qt/qt_keys.h"

#include <span>

#include "platform/keys.h"

namespace tesmo::platform::qt {
namespace {

struct KeyRow {
  int qt_key;
  uint16_t code;
};

// Keys outside the contiguous ranges (letters, digits, function keys) handled in virtual_key.
constexpr KeyRow kKeys[] = {
    {Qt::Key_Backspace, key::Back},
    {Qt::Key_Tab, key::Tab},
    {Qt::Key_Backtab, key::Tab},  // Shift+Tab arrives as a key of its own
    {Qt::Key_Return, key::Return},
    {Qt::Key_Enter, key::Return},  // the keypad Enter has no code of its own
    {Qt::Key_Shift, key::Shift},
    {Qt::Key_Control, key::Control},
    {Qt::Key_Alt, key::Alt},
    {Qt::Key_Escape, key::Escape},
    {Qt::Key_Space, key::Space},
    {Qt::Key_PageUp, key::PageUp},
    {Qt::Key_PageDown, key::PageDown},
    {Qt::Key_End, key::End},
    {Qt::Key_Home, key::Home},
    {Qt::Key_Left, key::Left},
    {Qt::Key_Up, key::Up},
    {Qt::Key_Right, key::Right},
    {Qt::Key_Down, key::Down},
    {Qt::Key_Insert, key::Insert},
    {Qt::Key_Delete, key::Delete},
    // Qt reports the character, the system the physical key: '+' shares its key with '='.
    {Qt::Key_Plus, key::OemPlus},
    {Qt::Key_Equal, key::OemPlus},
    {Qt::Key_Minus, key::OemMinus},
    {Qt::Key_Underscore, key::OemMinus},  // '_' shares its key with '-'
};

// Keypad keys with codes of their own. Other keypad keys (Enter, and the navigation keys with Num
// Lock off) take the codes of their main-keyboard twins from kKeys.
constexpr KeyRow kKeypadKeys[] = {
    {Qt::Key_Plus, key::Add},
    {Qt::Key_Minus, key::Subtract},
    {Qt::Key_Asterisk, key::Multiply},
    {Qt::Key_Slash, key::Divide},
    {Qt::Key_Period, key::Decimal},
    {Qt::Key_Comma, key::Decimal},  // layouts with a decimal comma
};

constexpr int kFunctionKeys = 24;
constexpr int kLetters = 26;

uint16_t find_code(std::span<const KeyRow> rows, int qt_key) {
  for (const KeyRow& row : rows) {
    if (row.qt_key == qt_key) return row.code;
  }
  return 0;
}

struct KeyName {
  uint16_t code;
  const char* name;
};

// Names of the keys outside the ranges handled in key_name.
constexpr KeyName kKeyNames[] = {
    {key::Back, "Backspace"},  {key::Tab, "Tab"},           {key::Return, "Enter"},
    {key::Escape, "Esc"},      {key::Space, "Space"},       {key::PageUp, "PageUp"},
    {key::PageDown, "PageDown"}, {key::End, "End"},         {key::Home, "Home"},
    {key::Left, "Left"},       {key::Up, "Up"},             {key::Right, "Right"},
    {key::Down, "Down"},       {key::Insert, "Insert"},     {key::Delete, "Delete"},
    {key::Multiply, "Num *"},  {key::Add, "Num +"},         {key::Subtract, "Num -"},
    {key::Decimal, "Num ."},   {key::Divide, "Num /"},      {key::OemPlus, "+"},
    {key::OemMinus, "-"},
};

QString key_name(uint16_t code) {
  if (code >= key::A && code < key::A + kLetters) return QString(QChar(code));
  if (code >= key::Digit0 && code <= key::digit(9)) return QString(QChar(code));
  if (code >= key::Numpad0 && code <= key::Numpad0 + 9) {
    return QStringLiteral("Num ") + QChar(u'0' + (code - key::Numpad0));
  }
  if (code >= key::F1 && code < key::F1 + kFunctionKeys) {
    return QStringLiteral("F") + QString::number(code - key::F1 + 1);
  }
  for (const KeyName& row : kKeyNames) {
    if (row.code == code) return QString::fromLatin1(row.name);
  }
  return {};
}

}  // namespace

uint16_t virtual_key(int qt_key, Qt::KeyboardModifiers modifiers) {
  const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) {
    const int n = qt_key - Qt::Key_0;
    return keypad ? static_cast<uint16_t>(key::Numpad0 + n) : key::digit(n);
  }
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) {
    return static_cast<uint16_t>(key::A + (qt_key - Qt::Key_A));
  }
  if (qt_key >= Qt::Key_F1 && qt_key < Qt::Key_F1 + kFunctionKeys) {
    return key::function(qt_key - Qt::Key_F1 + 1);
  }
  if (keypad) {
    if (uint16_t code = find_code(kKeypadKeys, qt_key)) return code;
  }
  return find_code(kKeys, qt_key);
}

uint8_t modifier_bits(Qt::KeyboardModifiers modifiers) {
  uint8_t bits = 0;
  if (modifiers.testFlag(Qt::ControlModifier)) bits |= key::ModControl;
  if (modifiers.testFlag(Qt::ShiftModifier)) bits |= key::ModShift;
  if (modifiers.testFlag(Qt::AltModifier)) bits |= key::ModAlt;
  return bits;
}

QString accelerator_text(uint16_t code, uint8_t modifiers) {
  QString name = key_name(code);
  if (name.isEmpty()) return {};
  QString text;
  if (modifiers & key::ModControl) text += QStringLiteral("Ctrl+");
  if (modifiers & key::ModShift) text += QStringLiteral("Shift+");
  if (modifiers & key::ModAlt) text += QStringLiteral("Alt+");
  return text + name;
}

}  // namespace tesmo::platform::qt
