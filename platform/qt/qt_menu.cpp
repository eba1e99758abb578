// The menu bar: Qt menus and actions built from the menu template, keyed by id.
#include "platform/qt/qt_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <vector>

#include "platform/qt/qt_keys.h"

namespace tesmo::platform::qt {
namespace {

using KeyTexts = std::unordered_map<uint16_t, QString>;

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

QAction* add_command(QWidget* parent, const MenuEntry& e, const KeyTexts& keys, EventQueue& queue) {
  auto* action = new QAction(item_text(e, keys), parent);
  action->setCheckable(e.kind == MenuEntryKind::Check || e.kind == MenuEntryKind::Radio);
  const int id = e.id;
  QObject::connect(action, &QAction::triggered, action, [action, id, &queue] {
    // Qt flips a checkable action before reporting it; the check state belongs to the system,
    // which sets it through set_checked when it handles the command.
    if (action->isCheckable()) action->setChecked(!action->isChecked());
    queue.push(Event{.kind = EventKind::Command, .code = id, .files = {}});
  });
  parent->addAction(action);
  return action;
}

QAction* add_entry(QWidget* parent, const MenuEntry& e, const KeyTexts& keys, EventQueue& queue) {
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
      return add_command(parent, e, keys, queue);
  }
  return nullptr;
}

}  // namespace

QtMenu::QtMenu(QMenuBar* bar, const MenuTemplate* menu, const AccelTemplate* accelerators,
               EventQueue& queue) {
  if (!menu) return;
  const KeyTexts keys = first_key_texts(accelerators);
  // parents[d] receives the entries of depth d: the bar, then each open submenu.
  std::vector<QWidget*> parents{bar};
  for (const MenuEntry& e : menu->entries) {
    // An entry deeper than any open submenu joins the innermost one.
    parents.resize(std::min<size_t>(e.depth, parents.size() - 1) + 1);
    QAction* action = add_entry(parents.back(), e, keys, queue);
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
  a->setChecked(checked);
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
