// The main menu and accelerator templates checked against an independently written command list:
// every command in its menu exactly once, option items of the right kind, sound radio groups and
// accelerators that reach existing items without clashing.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/keys.h"
#include "resources/effect_commands.h"
#include "resources/resources.h"

namespace tesmo::resources {
namespace {

using platform::MenuEntry;
using Kind = platform::MenuEntryKind;
namespace key = platform::key;

// One menu entry with the top-level menu and the submenu that hold it.
struct Placed {
  const MenuEntry* entry;
  uint16_t top;
  uint16_t parent;
};

std::vector<Placed> placed_entries() {
  std::vector<Placed> out;
  std::vector<uint16_t> open;  // submenu ids from the menu bar down to the current depth
  for (const MenuEntry& e : main_menu().entries) {
    open.resize(std::min<size_t>(open.size(), e.depth));
    uint16_t top = open.empty() ? e.id : open.front();
    out.push_back({&e, top, open.empty() ? uint16_t{0} : open.back()});
    if (e.kind == Kind::Submenu) open.push_back(e.id);
  }
  return out;
}

bool is_item(Kind kind) {
  return kind == Kind::Command || kind == Kind::Check || kind == Kind::Radio;
}

const Placed* find_item(uint16_t id) {
  static const std::vector<Placed> all = placed_entries();
  for (const Placed& p : all)
    if (p.entry->id == id && p.entry->kind != Kind::Separator && p.entry->kind != Kind::Label)
      return &p;
  return nullptr;
}

// `ids` followed by the effect items.
std::vector<uint16_t> with_effects(std::vector<uint16_t> ids) {
  ids.insert(ids.end(), kEffectCommands.begin(), kEffectCommands.end());
  return ids;
}

// Every command id of each top-level menu.
const std::vector<std::pair<uint16_t, std::vector<uint16_t>>> kMenuCommands = {
    {MenuFile, {40352, 40037, 40390, 40124, 40123, 40391, 40439, 40440, 40003, 40222, 40002,
                40035, 40244, 40245, 40246, 40247, 40248, 40388, 40036, 40198, 40583, 40631}},
    {MenuEdit, with_effects({40230, 40229, 40629, 40540, 40157, 40234, 40159, 40396, 40283, 40284, 40350,
                             40351, 40603, 40361, 40240, 40241, 40596, 40242, 40243, 40623, 40430, 40425,
                             40433, 40610, 40614, 40613, 40553})},
    {MenuView, {40203, 40336, 40568, 40503, 40537, 40570, 40218, 40202, 40356, 40357, 40639,
                40325, 40403, 40249, 40251, 40572, 40573, 40574, 40252, 40253, 40470, 40471,
                40634, 40458, 40339, 40621, 40524, 40525, 40483, 40485, 40256, 40343, 40371,
                40344, 40257, 40385, 40258, 40259, 40641, 40642, 40643, 40644, 40582, 40581,
                40598, 40600}},
    {MenuOption, {40262, 40263, 40264, 40640, 40648, 40265, 40266, 40624, 40625, 40626, 40334,
                  40064, 40584, 40585, 40587, 40588, 40589, 40590, 40638, 40061}},
    {MenuHelp, {40030, 40375, 40042, 40591}},
};

TEST(MainMenu, IsWellFormedTree) {
  const auto& entries = main_menu().entries;
  ASSERT_FALSE(entries.empty());
  std::vector<uint16_t> tops, nested;
  for (size_t i = 0; i < entries.size(); ++i) {
    const MenuEntry& e = entries[i];
    SCOPED_TRACE(testing::Message() << "entry " << i << " id " << e.id);
    uint8_t limit = i == 0 ? 0 : entries[i - 1].depth + (entries[i - 1].kind == Kind::Submenu);
    EXPECT_LE(e.depth, limit);
    if (e.kind == Kind::Submenu) {
      ASSERT_LT(i + 1, entries.size());
      EXPECT_EQ(entries[i + 1].depth, e.depth + 1) << "empty submenu";
      (e.depth == 0 ? tops : nested).push_back(e.id);
    } else {
      EXPECT_GT(e.depth, 0) << "only submenus sit on the menu bar";
    }
    ASSERT_NE(e.label_ja, nullptr);
    ASSERT_NE(e.label_en, nullptr);
    std::u16string ja = e.label_ja, en = e.label_en;
    if (e.kind == Kind::Separator || e.kind == Kind::Label) {
      EXPECT_EQ(e.id, platform::kNoCommand);
    } else {
      EXPECT_FALSE(ja.empty() || en.empty());
      EXPECT_EQ(ja.find(u'\t'), std::u16string::npos) << "key text belongs to the platform";
      EXPECT_EQ(en.find(u'\t'), std::u16string::npos) << "key text belongs to the platform";
      if (e.kind != Kind::Submenu) {
        EXPECT_GE(e.id, 100) << "command ids stay clear of submenus";
      }
    }
    if (e.kind == Kind::Label) {
      for (const std::u16string& s : {ja, en})
        EXPECT_TRUE(s.starts_with(u"[ ") && s.ends_with(u" ]"));
    }
    EXPECT_EQ(e.group != 0, e.kind == Kind::Radio);
  }
  EXPECT_EQ(tops, (std::vector<uint16_t>{MenuFile, MenuEdit, MenuView, MenuOption, MenuHelp}));
  ASSERT_EQ(nested.size(), size_t{MenuOptionDigitalCamera - MenuFileOpen + 1});
  for (size_t i = 0; i < nested.size(); ++i) EXPECT_EQ(nested[i], MenuFileOpen + i);
}

TEST(MainMenu, EveryCommandAppearsOnceInItsMenu) {
  std::map<uint16_t, std::vector<uint16_t>> seen;  // id -> top-level menus it was found in
  for (const Placed& p : placed_entries())
    if (is_item(p.entry->kind)) seen[p.entry->id].push_back(p.top);
  size_t expected_total = 0;
  for (const auto& [menu, ids] : kMenuCommands) {
    expected_total += ids.size();
    for (uint16_t id : ids) EXPECT_EQ(seen[id], std::vector<uint16_t>{menu}) << "id " << id;
  }
  EXPECT_EQ(seen.size(), expected_total) << "the menu holds ids not in the command list";
}

TEST(MainMenu, EffectItemsFollowEffectIndexOrderInTheirSubmenus) {
  // Each submenu holds the next run of effect indices: 13 adjustments, 4 transforms, 7 special
  // effects, 11 blends.
  auto run = [](size_t first, size_t count) {
    return std::vector<uint16_t>(kEffectCommands.begin() + first, kEffectCommands.begin() + first + count);
  };
  const std::vector<std::pair<uint16_t, std::vector<uint16_t>>> groups = {
      {MenuEditAdjustments, run(0, 13)},
      {MenuEditTransform, run(13, 4)},
      {MenuEditSpecialFx, run(17, 7)},
      {MenuEditBlend, run(24, 11)},
  };
  ASSERT_EQ(kEffectCommands.size(), size_t{13 + 4 + 7 + 11});
  const std::vector<Placed> all = placed_entries();
  for (const auto& [submenu, ids] : groups) {
    std::vector<uint16_t> got;
    for (const Placed& p : all)
      if (p.parent == submenu && p.entry->kind == Kind::Command) got.push_back(p.entry->id);
    EXPECT_EQ(got, ids) << "submenu " << submenu;
  }
}

TEST(MainMenu, ExactLabels) {
  struct Row { uint16_t id; std::u16string ja, en; };
  const Row rows[] = {
      {40036, u"ファイル情報", u"File Information"},
      {40444, u"セピア調", u"Sepia"},
      {40531, u"αチャンネル", u"Alpha Channel (Alpha)"},
      {40646, u"αチャンネル (階調の反転)", u"Alpha Channel (Negative)"},
      {40563, u"ヒストグラム平均化", u"Histgram Equalize"},
      {40229, u"キャンバス サイズ", u"Canvas Size"},
      {40391, u"次のファイル (最後)", u"Next File (Last)"},
      {40244, u"削除 (ごみ箱に移動)", u"Delete (Move to Recycle Bin)"},
      {40634, u"[ 設定 ]", u"[ Setting ]"},
      {40258, u"Type A / Nearest Neighbor", u"Type A / Nearest Neighbor"},
      {40582, u"ウィンドウより小さい画像", u"If \"Image < Window\""},
      {40264, u"File Pack Module", u"File Pack Module"},
      {MenuEditAdjustments, u"色調補正", u"Adjustments"},
      {MenuEditSpecialFx, u"特殊効果", u"Special FX"},
      {MenuOptionDevelopmentTools, u"開発ツール", u"Development Tools"},
  };
  for (const Row& r : rows) {
    const Placed* p = find_item(r.id);
    ASSERT_NE(p, nullptr) << "id " << r.id;
    EXPECT_EQ(std::u16string(p->entry->label_ja), r.ja) << "id " << r.id;
    EXPECT_EQ(std::u16string(p->entry->label_en), r.en) << "id " << r.id;
  }
}

// The options the menu holds: toggles are checks, choices are radio items.
TEST(MainMenu, MenuHeldOptionsHaveTheirKind) {
  const uint16_t checks[] = {40610, 40614, 40613, 40203, 40336, 40568, 40570, 40218, 40202,
                             40325, 40403, 40572, 40573, 40574, 40339, 40582, 40581, 40639};
  for (uint16_t id : checks) {
    const Placed* p = find_item(id);
    ASSERT_NE(p, nullptr) << "id " << id;
    EXPECT_EQ(p->entry->kind, Kind::Check) << "id " << id;
  }
}

TEST(MainMenu, RadioGroupsHoldExactlyTheirChoices) {
  const std::vector<std::vector<uint16_t>> expected = {
      {40439, 40440},                               // loop
      {40350, 40351},                               // rotation adjustment
      {40503, 40537},                               // picture-in-picture method
      {40249, 40251},                               // shown channel
      {40252, 40253},                               // default channel
      {40470, 40471},                               // background mode
      {40524, 40525},                               // reference position
      {40483, 40485},                               // position adjustment
      {40258, 40259, 40641, 40642, 40643, 40644},   // zoom algorithm 0-5
      {40598, 40600},                               // default scale
      {40587, 40588},                               // auto sync
      {40589, 40590},                               // transfer method
  };
  std::map<std::pair<uint16_t, uint8_t>, std::vector<uint16_t>> groups;  // (submenu, group)
  for (const Placed& p : placed_entries())
    if (p.entry->kind == Kind::Radio) groups[{p.parent, p.entry->group}].push_back(p.entry->id);

  std::set<std::vector<uint16_t>> got;
  for (const auto& [where, ids] : groups) got.insert(ids);
  EXPECT_EQ(got, std::set<std::vector<uint16_t>>(expected.begin(), expected.end()));
}

TEST(Accelerators, ReachMenuItemsWithoutClashing) {
  std::set<std::pair<uint16_t, uint8_t>> keys;
  for (const platform::AccelEntry& a : accelerators().entries) {
    SCOPED_TRACE(testing::Message() << "key " << a.key << " command " << a.command);
    const Placed* p = find_item(a.command);
    ASSERT_NE(p, nullptr);
    EXPECT_NE(p->entry->kind, Kind::Submenu);
    EXPECT_EQ(a.modifiers & ~(key::ModControl | key::ModShift | key::ModAlt), 0);
    EXPECT_TRUE(keys.insert({a.key, a.modifiers}).second) << "key used twice";
  }
}

TEST(Accelerators, KeysSendTheirCommands) {
  struct Row { uint16_t key; uint8_t mods; uint16_t command; };
  const Row rows[] = {
      {key::Space, 0, 40123},
      {key::Space, key::ModControl, 40391},
      {key::Back, key::ModControl, 40390},
      {key::letter('W'), key::ModControl | key::ModShift, 40222},
      {key::Return, key::ModAlt, 40388},
      {key::Return, 0, 40458},
      {key::Escape, 0, 40631},
      {key::letter('A'), 0, 40531},
      {key::Divide, 0, 40157},
      {key::Multiply, 0, 40159},
      {key::digit(4), key::ModShift, 40253},
      {key::function(11), 0, 40203},
      // commands with a main-row and a keypad key
      {key::Add, key::ModControl, 40256},
      {key::OemPlus, key::ModControl, 40256},
      {key::Add, 0, 40343},
      {key::OemPlus, 0, 40343},
      {key::digit(0), 0, 40371},
      {key::Numpad0, 0, 40371},
      {key::OemMinus, 0, 40344},
      {key::Subtract, 0, 40344},
      {key::OemMinus, key::ModControl, 40257},
      {key::Subtract, key::ModControl, 40257},
      {key::digit(0), key::ModControl, 40385},
      {key::Numpad0, key::ModControl, 40385},
  };
  std::map<std::pair<uint16_t, uint8_t>, uint16_t> table;
  for (const platform::AccelEntry& a : accelerators().entries)
    table[{a.key, a.modifiers}] = a.command;
  for (const Row& r : rows) {
    auto it = table.find({r.key, r.mods});
    ASSERT_NE(it, table.end()) << "key " << r.key << " mods " << int(r.mods);
    EXPECT_EQ(it->second, r.command) << "key " << r.key << " mods " << int(r.mods);
  }
}

}  // namespace
}  // namespace tesmo::resources
