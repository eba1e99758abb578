// Controls Qt has no direct counterpart for.
#include "platform/qt/qt_controls.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tesmo::platform::qt {

UpDown::UpDown(QWidget* parent, std::function<void()> on_step) : QWidget(parent), on_step_(std::move(on_step)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (int delta : {1, -1}) {
    auto* arrow = new QToolButton(this);
    arrow->setArrowType(delta > 0 ? Qt::UpArrow : Qt::DownArrow);
    arrow->setAutoRepeat(true);
    arrow->setFocusPolicy(Qt::NoFocus);
    arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(arrow, &QToolButton::clicked, this, [this, delta] { step(delta); });
    layout->addWidget(arrow);
  }
}

void UpDown::set_range(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = std::clamp(position_, min_, max_);
}

int UpDown::position() const {
  if (buddy_) {
    bool ok = false;
    const int n = buddy_->text().toInt(&ok);
    if (ok) return std::clamp(n, min_, max_);
  }
  return position_;
}

void UpDown::set_position(int position) {
  position_ = std::clamp(position, min_, max_);
  if (buddy_) buddy_->setText(QString::number(position_));
}

void UpDown::step(int delta) {
  set_position(position() + delta);
  if (on_step_) on_step_();
}

}  // namespace tesmo::platform::qt
