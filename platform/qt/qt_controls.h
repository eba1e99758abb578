// Controls Qt has no direct counterpart for, built from Qt widgets.
#pragma once

#include <QWidget>
#include <functional>

class QLineEdit;

namespace tesmo::platform::qt {

// Two arrows stacked on top of each other that step the integer in a buddy edit within a range.
// Each click continues from the number the buddy shows (the user may have typed there), writes the
// new number into the buddy and calls `on_step`.
class UpDown final : public QWidget {
 public:
  UpDown(QWidget* parent, std::function<void()> on_step);
  void set_buddy(QLineEdit* buddy) { buddy_ = buddy; }
  void set_range(int min, int max);
  int position() const;
  void set_position(int position);

 private:
  void step(int delta);

  QLineEdit* buddy_ = nullptr;
  std::function<void()> on_step_;
  int min_ = 0, max_ = 100, position_ = 0;
};

}  // namespace tesmo::platform::qt
