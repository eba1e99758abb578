// The menu bar: Qt menus and actions built from the menu template, keyed by id.
#include "platform/qt/qt_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "platform/qt/qt_keys.h"

namespace tesmo::platform::qt {
namespace {

using KeyTexts = std::unordered_map<uint16_t, QString>;
// The radio groups of the menus being built, by submenu and group number.
using RadioGroups = std::map<std::pair<QWidget*, uint8_t>, QActionGroup*>;

// The check state the system gave an item, kept on its action: Qt flips a picked item (and, in a
// radio group, unchecks the group's other item) before the system has handled the command.
constexpr char kSystemChecked[] = "tesmo_checked";

// `action` and the other items of its radio group.
QList<QAction*> with_group(QAction* action) {
  return action->actionGroup() ? action->actionGroup()->actions() : QList<QAction*>{action};
}

// Puts back the system's check states of `action` and of its group.
void restore_checks(QAction* action) {
  for (QAction* a : with_group(action)) a->setChecked(a->property(kSystemChecked).toBool());
}

// The radio group `group` of submenu `parent`: exclusive, so its items are drawn as radio items;
// none checked is allowed until the system chooses.
QActionGroup* radio_group(QWidget* parent, uint8_t group, RadioGroups& groups) {
  QActionGroup*& g = groups[{parent, group}];
  if (!g) {
    g = new QActionGroup(parent);
    g->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  }
  return g;
}

// The key text of each command's first accelerator.
KeyTexts first_key_texts(const AccelTemplate* accelerators) {
  KeyTexts texts;
  if (!accelerators) return texts;
  for (const AccelEntry& a : accelerators->entries) {
    if (texts.count(a.command)) continue;
    QString text = accelerator_text(a.key, a.modifiers);
    if (!text.isEmpty()) texts.emplace(a.command, std::move(text));
  }
  return texts;
}

QString item_text(const MenuEntry& e, const KeyTexts& keys) {
  QString text = QString::fromUtf16(e.label_ja ? e.label_ja : u"");
  auto key = keys.find(e.id);
  // Qt's menus show what follows a tab right-aligned, as the shortcut column.
  if (key != keys.end()) text += u'\t' + key->second;
  return text;
}

QAction* add_command(QWidget* parent, const MenuEntry& e, const KeyTexts& keys, EventQueue& queue,
                     RadioGroups& groups) {
  auto* action = new QAction(item_text(e, keys), parent);
  action->setCheckable(e.kind == MenuEntryKind::Check || e.kind == MenuEntryKind::Radio);
  if (e.kind == MenuEntryKind::Radio) action->setActionGroup(radio_group(parent, e.group, groups));
  const int id = e.id;
  QObject::connect(action, &QAction::triggered, action, [action, id, &queue] {
    // The check states belong to the system, which sets them through set_checked when it handles
    // the command.
    if (action->isCheckable()) restore_checks(action);
    queue.push(Event{.kind = EventKind::Command, .code = id, .files = {}});
  });
  parent->addAction(action);
  return action;
}

QAction* add_entry(QWidget* parent, const MenuEntry& e, const KeyTexts& keys, EventQueue& queue,
                   RadioGroups& groups) {
  switch (e.kind) {
    case MenuEntryKind::Separator: {
      auto* action = new QAction(parent);
      action->setSeparator(true);
      parent->addAction(action);
      return nullptr;
    }
    case MenuEntryKind::Label: {
      auto* action = new QAction(QString::fromUtf16(e.label_ja ? e.label_ja : u""), parent);
      action->setEnabled(false);
      parent->addAction(action);
      return action;
    }
    case MenuEntryKind::Submenu: {
      auto* menu = new QMenu(QString::fromUtf16(e.label_ja ? e.label_ja : u""), parent);
      parent->addAction(menu->menuAction());
      return menu->menuAction();
    }
    case MenuEntryKind::Command:
    case MenuEntryKind::Check:
    case MenuEntryKind::Radio:
      return add_command(parent, e, keys, queue, groups);
  }
  return nullptr;
}

}  // namespace

QtMenu::QtMenu(QMenuBar* bar, const MenuTemplate* menu, const AccelTemplate* accelerators,
               EventQueue& queue) {
  if (!menu) return;
  const KeyTexts keys = first_key_texts(accelerators);
  RadioGroups groups;
  // parents[d] receives the entries of depth d: the bar, then each open submenu.
  std::vector<QWidget*> parents{bar};
  for (const MenuEntry& e : menu->entries) {
    // An entry deeper than any open submenu joins the innermost one.
    parents.resize(std::min<size_t>(e.depth, parents.size() - 1) + 1);
    QAction* action = add_entry(parents.back(), e, keys, queue, groups);
    if (e.kind == MenuEntryKind::Submenu) parents.push_back(action->menu());
    if (action && e.id != kNoCommand) items_.emplace(e.id, action);
  }
}

QAction* QtMenu::action(uint16_t id) const {
  auto it = items_.find(id);
  return it == items_.end() ? nullptr : it->second.data();
}

void QtMenu::set_checked(uint16_t id, bool checked) {
  QAction* a = action(id);
  if (!a) return;
  // Like the window system's menus, any item can carry a check mark.
  if (checked) a->setCheckable(true);
  a->setChecked(checked);  // checking a radio item unchecks the rest of its group
  for (QAction* g : with_group(a)) g->setProperty(kSystemChecked, g->isChecked());
}

bool QtMenu::is_checked(uint16_t id) const {
  const QAction* a = action(id);
  return a && a->isChecked();
}

void QtMenu::set_enabled(uint16_t id, bool enabled) {
  QAction* a = action(id);
  if (!a) return;
  a->setEnabled(enabled);
  if (QMenu* submenu = a->menu()) submenu->setEnabled(enabled);
}

bool QtMenu::is_enabled(uint16_t id) const {
  const QAction* a = action(id);
  return a && a->isEnabled();
}

}  // namespace tesmo::platform::qt
