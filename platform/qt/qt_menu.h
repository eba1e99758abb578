// The menu bar built from a menu template, addressed by command id (or submenu id).
#pragma once

#include <QPointer>
#include <unordered_map>

#include "platform/qt/qt_event_queue.h"
#include "platform/window.h"

class QAction;
class QMenuBar;

namespace tesmo::platform::qt {

class QtMenu final : public Menu {
 public:
  // Fills `bar` from `menu` (null: leaves it empty). Each item shows the key of the first
  // accelerator of its command after a tab; triggering it queues Event{Command, id}. The items get
  // no shortcuts of their own: the system translates keys through its accelerator table.
  QtMenu(QMenuBar* bar, const MenuTemplate* menu, const AccelTemplate* accelerators, EventQueue& queue);

  bool has_item(uint16_t id) const override { return action(id) != nullptr; }
  void set_checked(uint16_t id, bool checked) override;
  bool is_checked(uint16_t id) const override;
  // A submenu id greys the submenu's title and the submenu itself.
  void set_enabled(uint16_t id, bool enabled) override;
  bool is_enabled(uint16_t id) const override;

  // The action carrying `id` (a submenu's title action for submenu ids); null when there is none
  // or its menu bar is gone.
  QAction* action(uint16_t id) const;

 private:
  std::unordered_map<uint16_t, QPointer<QAction>> items_;  // the first item of each id
};

}  // namespace tesmo::platform::qt
