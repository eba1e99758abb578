// The Falling Object Controller dialog's template.
#include "resources/falling_dialogs.h"

#include <vector>

namespace tesmo::resources {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoControlId;

constexpr int kWidth = 620, kHeight = 412;
constexpr int kRowTop = 30, kRow = 22;
constexpr int kRightX = 262;

constexpr std::array<std::u16string_view, 15> kFixedLabels = {
    u"Grain Size W", u"Grain Size H", u"Animation Frame U", u"Animation Frame V", u"Animation Speed",
    u"Path Type",    u"Source X",     u"Source Y",          u"Source W",          u"Source H",
    u"Target X",     u"Target Y",     u"Target W",          u"Target H",          u"Fade Type"};
constexpr std::array<std::u16string_view, 5> kVariableLabels = {u"Max Grain", u"Falling Speed", u"Falling Time",
                                                                u"Wind", u"Wind Quake"};

// One parameter row inside a group at `x`: label, edit, and the up-down when the row has one.
void add_row(std::vector<ControlTemplate>& c, int x, int row, std::u16string_view label, uint16_t field,
             uint16_t updown) {
  const int top = kRowTop + row * kRow;
  c.push_back({kNoControlId, ControlKind::Static, label, {x + 10, top + 3, x + 130, top + 20}});
  c.push_back({field, ControlKind::Edit, u"", {x + 132, top, x + 204, top + 20}});
  if (updown != 0) c.push_back({updown, ControlKind::UpDown, u"", {x + 204, top, x + 220, top + 20}, field});
}

// A path: its title, the field and "..." beside it.
int add_path(std::vector<ControlTemplate>& c, int top, std::u16string_view title, uint16_t field, uint16_t browse) {
  c.push_back({kNoControlId, ControlKind::Static, title, {kRightX, top, kWidth - 10, top + 16}});
  c.push_back({field, ControlKind::Edit, u"", {kRightX, top + 18, kWidth - 50, top + 38}});
  c.push_back({browse, ControlKind::Button, u"...", {kWidth - 46, top + 18, kWidth - 10, top + 38}});
  return top + 42;
}

void add_button(std::vector<ControlTemplate>& c, int top, int slot, std::u16string_view label, uint16_t id) {
  const int left = kRightX + slot * 90;
  c.push_back({id, ControlKind::Button, label, {left, top, left + 84, top + 22}});
}

std::vector<ControlTemplate> build_controls() {
  std::vector<ControlTemplate> c;
  c.push_back({kNoControlId, ControlKind::GroupBox, u"Fixed Parameters", {8, 8, 240, kRowTop + 15 * kRow + 6}});
  c.push_back({kNoControlId, ControlKind::GroupBox, u"Variable Parameters",
               {kRightX - 8, 8, kRightX + 226, kRowTop + 5 * kRow + 6}});
  for (int i = 0; i < 15; ++i) {
    uint16_t updown = 0;
    for (const FallingUpDown& u : kFallingFixedUpDowns) {
      if (u.index == i) updown = u.id;
    }
    add_row(c, 8, i, kFixedLabels[static_cast<size_t>(i)], kFallingFixedFields[static_cast<size_t>(i)], updown);
  }
  for (int i = 0; i < 5; ++i) {
    add_row(c, kRightX - 8, i, kVariableLabels[static_cast<size_t>(i)], kFallingVariableFields[static_cast<size_t>(i)],
            kFallingVariableUpDowns[static_cast<size_t>(i)]);
  }
  int top = kRowTop + 5 * kRow + 14;
  top = add_path(c, top, u"Project File", kFallingProjectField, kFallingProjectBrowse);
  add_button(c, top, 0, u"Edit", kFallingProjectEdit);
  add_button(c, top, 1, u"Load", kFallingLoad);
  add_button(c, top, 2, u"Save", kFallingSave);
  top = add_path(c, top + 30, u"BG", kFallingBackgroundField, kFallingBackgroundBrowse);
  add_button(c, top, 0, u"View", kFallingBackgroundView);
  top = add_path(c, top + 30, u"Sprite", kFallingSpriteField, kFallingSpriteBrowse);
  add_button(c, top, 0, u"View", kFallingSpriteView);
  add_button(c, kHeight - 32, 1, u"Play", kFallingPlay);
  add_button(c, kHeight - 32, 2, u"Close", kFallingClose);
  return c;
}

}  // namespace

const platform::DialogTemplate& falling_dialog() {
  static const std::vector<ControlTemplate> controls = build_controls();
  static const platform::DialogTemplate t{kFallingDialogId, u"Falling Object Controller", kWidth, kHeight, controls,
                                          kFallingPlay, kFallingClose};
  return t;
}

}  // namespace tesmo::resources
