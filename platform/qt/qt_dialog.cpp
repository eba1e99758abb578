// Dialogs on Qt.
#include "platform/qt/qt_dialog.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QListWidget>
#include <QMimeData>
#include <QPixmap>
#include <QProgressBar>
#include <QTreeWidget>
#include <QUrl>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

#include "platform/qt/qt_controls.h"

#include <algorithm>
#include <functional>

namespace tesmo::platform::qt {
namespace {

QString qs(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

class PainterCanvas final : public Canvas {
 public:
  explicit PainterCanvas(QPainter& painter) : painter_(painter) {}
  void draw(const uint32_t* pixels, int width, int height, int x, int y) override {
    if (!pixels || width <= 0 || height <= 0) return;
    QImage picture(reinterpret_cast<const uchar*>(pixels), width, height, width * 4, QImage::Format_RGB32);
    painter_.drawImage(x, y, picture);
  }

 private:
  QPainter& painter_;
};

// A push button whose face the handler draws; the window system's face when it declines.
class OwnerButton final : public QPushButton {
 public:
  OwnerButton(QtDialog& dialog, uint16_t id, const QString& label)
      : QPushButton(label, &dialog), dialog_(dialog), id_(id) {}

 protected:
  void paintEvent(QPaintEvent* e) override {
    bool drawn = false;
    {
      QPainter painter(this);
      PainterCanvas canvas(painter);
      DrawItem item{.id = id_, .width = width(), .height = height(), .disabled = !isEnabled(), .pressed = isDown(),
                    .focused = hasFocus(), .canvas = &canvas};
      drawn = dialog_.handler().draw_item(dialog_, item);
    }
    if (!drawn) QPushButton::paintEvent(e);
  }

 private:
  QtDialog& dialog_;
  uint16_t id_;
};

// A line edit that tells when the focus leaves it.
class FocusEdit final : public QLineEdit {
 public:
  FocusEdit(const QString& text, QWidget* parent, std::function<void()> on_focus_lost)
      : QLineEdit(text, parent), on_focus_lost_(std::move(on_focus_lost)) {}

 protected:
  void focusOutEvent(QFocusEvent* e) override {
    QLineEdit::focusOutEvent(e);
    on_focus_lost_();
  }

 private:
  std::function<void()> on_focus_lost_;
};

QRect rect_of(const Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

}  // namespace

QtDialog::QtDialog(const DialogTemplate& t, DialogHandler& handler, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      t_(t),
      handler_(handler) {
  setWindowTitle(qs(t.caption));
  setFixedSize(t.client_width, t.client_height);
  setAcceptDrops(t.accepts_drops);
  for (const ControlTemplate& c : t.controls) build_control(c);
  if (t.tick_ms > 0) {
    ticker_ = new QTimer(this);
    ticker_->setInterval(t.tick_ms);
    connect(ticker_, &QTimer::timeout, this, [this] {
      if (!ended_) handler_.tick(*this);
    });
  }
  // Up-down controls step the edit named as their buddy, which may come later in the template.
  for (const ControlTemplate& c : t.controls) {
    if (c.kind != ControlKind::UpDown) continue;
    if (auto* updown = dynamic_cast<UpDown*>(control(c.id))) updown->set_buddy(qobject_cast<QLineEdit*>(control(c.buddy)));
  }
}

QtDialog::~QtDialog() { finish(); }

void QtDialog::build_control(const ControlTemplate& c) {
  const uint16_t id = c.id;
  QWidget* w = nullptr;
  switch (c.kind) {
    case ControlKind::Static: {
      auto* label = new QLabel(qs(c.label), this);
      label->setAttribute(Qt::WA_TranslucentBackground);  // the skin shows through
      w = label;
      break;
    }
    case ControlKind::Edit: {
      auto* edit = new FocusEdit(qs(c.label), this, [this, id] {
        if (!ended_) handler_.command(*this, id, kEditFocusLost);
      });
      edit->setReadOnly(c.flags & kReadOnly);
      connect(edit, &QLineEdit::textEdited, this, [this, id] { handler_.command(*this, id, kEditChanged); });
      w = edit;
      break;
    }
    case ControlKind::Button:
    case ControlKind::OwnerDrawButton: {
      QPushButton* b = c.kind == ControlKind::Button ? new QPushButton(qs(c.label), this)
                                                     : new OwnerButton(*this, id, qs(c.label));
      b->setAutoDefault(false);  // Enter belongs to the dialog: OK unless Cancel has the focus
      connect(b, &QPushButton::clicked, this, [this, id] { handler_.command(*this, id, kClicked); });
      w = b;
      break;
    }
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: {
      QAbstractButton* b = c.kind == ControlKind::CheckBox ? static_cast<QAbstractButton*>(new QCheckBox(qs(c.label), this))
                                                           : new QRadioButton(qs(c.label), this);
      connect(b, &QAbstractButton::clicked, this, [this, id] { handler_.command(*this, id, kClicked); });
      w = b;
      break;
    }
    case ControlKind::ComboBox: {
      auto* combo = new QComboBox(this);
      connect(combo, &QComboBox::activated, this, [this, id] { handler_.command(*this, id, kSelectionChanged); });
      w = combo;
      break;
    }
    case ControlKind::GroupBox:
      w = new QGroupBox(qs(c.label), this);
      w->lower();  // a frame behind the controls it groups
      break;
    case ControlKind::Slider: {
      auto* slider = new QSlider(Qt::Horizontal, this);
      // Only the user's moves notify: set_range and set_position block the signal.
      connect(slider, &QSlider::valueChanged, this, [this, id] { handler_.command(*this, id, kSliderMoved); });
      w = slider;
      break;
    }
    case ControlKind::ListBox: {
      auto* list = new QListWidget(this);
      list->setSelectionMode(c.flags & kMultipleSelection ? QAbstractItemView::ExtendedSelection
                                                          : QAbstractItemView::SingleSelection);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      connect(list, &QListWidget::itemSelectionChanged, this, [this, id] {
        handler_.command(*this, id, kSelectionChanged);
      });
      w = list;
      break;
    }
    case ControlKind::ListView: {
      auto* view = new QTreeWidget(this);
      view->setRootIsDecorated(false);
      view->setSelectionBehavior(QAbstractItemView::SelectRows);
      view->setAllColumnsShowFocus(true);
      view->setStyleSheet(QStringLiteral("QTreeView::item { border: 1px solid #d8d8d8; border-left: none; "
                                         "border-top: none; }"));  // grid lines
      w = view;
      break;
    }
    case ControlKind::ProgressBar: {
      auto* bar = new QProgressBar(this);
      bar->setTextVisible(false);
      w = bar;
      break;
    }
    case ControlKind::UpDown:
      w = new UpDown(this, [this, id] { handler_.command(*this, id, kUpDownMoved); });
      break;
  }
  w->setGeometry(rect_of(c.rect));
  if (id != kNoControlId) controls_[id] = w;
}

QWidget* QtDialog::control(uint16_t id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

int QtDialog::run_modal() {
  setModal(true);
  handler_.init(*this);
  start_ticks();
  if (!ended_) exec();
  finish();
  return code_;
}

void QtDialog::open_modeless() {
  setModal(false);
  handler_.init(*this);
  start_ticks();
  if (!ended_) show();
}

void QtDialog::start_ticks() {
  if (ticker_ && !ended_) ticker_->start();
}

void QtDialog::close_modeless() {
  hide();
  finish();
}

void QtDialog::finish() {
  if (destroyed_) return;
  destroyed_ = true;
  handler_.destroy(*this);
}

Size QtDialog::client_size() const { return {width(), height()}; }

Rect QtDialog::window_rect() const {
  QRect r = frameGeometry();
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void QtDialog::move(Point p) { QWidget::move(p.x, p.y); }

std::u16string QtDialog::text(uint16_t id) const {
  QWidget* w = control(id);
  QString s;
  if (auto* e = qobject_cast<QLineEdit*>(w)) s = e->text();
  else if (auto* l = qobject_cast<QLabel*>(w)) s = l->text();
  else if (auto* b = qobject_cast<QAbstractButton*>(w)) s = b->text();
  else if (auto* c = qobject_cast<QComboBox*>(w)) s = c->currentText();
  else if (auto* g = qobject_cast<QGroupBox*>(w)) s = g->title();
  else if (auto* l = qobject_cast<QListWidget*>(w)) s = l->currentItem() ? l->currentItem()->text() : QString();
  return s.toStdU16String();
}

void QtDialog::set_text(uint16_t id, std::u16string_view text) {
  QWidget* w = control(id);
  if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(qs(text));
  else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(qs(text));
  else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(qs(text));
  else if (auto* c = qobject_cast<QComboBox*>(w)) c->setCurrentText(qs(text));
  else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(qs(text));
}

bool QtDialog::checked(uint16_t id) const {
  auto* b = qobject_cast<QAbstractButton*>(control(id));
  return b && b->isChecked();
}

void QtDialog::set_checked(uint16_t id, bool on) {
  if (auto* b = qobject_cast<QAbstractButton*>(control(id))) b->setChecked(on);
}

bool QtDialog::enabled(uint16_t id) const {
  QWidget* w = control(id);
  return w && w->isEnabled();
}

void QtDialog::set_enabled(uint16_t id, bool on) {
  if (QWidget* w = control(id)) w->setEnabled(on);
}

void QtDialog::add_item(uint16_t id, std::u16string_view item) {
  QWidget* w = control(id);
  if (auto* c = qobject_cast<QComboBox*>(w)) c->addItem(qs(item));
  else if (auto* l = qobject_cast<QListWidget*>(w)) l->addItem(qs(item));
}

void QtDialog::clear_items(uint16_t id) {
  QWidget* w = control(id);
  QSignalBlocker block(w);
  if (auto* c = qobject_cast<QComboBox*>(w)) c->clear();
  else if (auto* l = qobject_cast<QListWidget*>(w)) l->clear();
  else if (auto* v = qobject_cast<QTreeWidget*>(w)) v->clear();
}

int QtDialog::selection(uint16_t id) const {
  QWidget* w = control(id);
  if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentIndex();
  if (qobject_cast<QListWidget*>(w)) {
    const std::vector<int> rows = selected_items(id);
    return rows.empty() ? -1 : rows.front();
  }
  return -1;
}

void QtDialog::set_selection(uint16_t id, int index) {
  QWidget* w = control(id);
  if (auto* c = qobject_cast<QComboBox*>(w)) {
    c->setCurrentIndex(index);
  } else if (auto* l = qobject_cast<QListWidget*>(w)) {
    QSignalBlocker block(l);
    l->clearSelection();
    if (QListWidgetItem* item = l->item(index)) {
      item->setSelected(true);
      l->setCurrentItem(item, QItemSelectionModel::NoUpdate);
    }
  }
}

int QtDialog::item_count(uint16_t id) const {
  QWidget* w = control(id);
  if (auto* l = qobject_cast<QListWidget*>(w)) return l->count();
  if (auto* v = qobject_cast<QTreeWidget*>(w)) return v->topLevelItemCount();
  if (auto* c = qobject_cast<QComboBox*>(w)) return c->count();
  return 0;
}

std::u16string QtDialog::item_text(uint16_t id, int index) const {
  QWidget* w = control(id);
  if (auto* l = qobject_cast<QListWidget*>(w)) {
    if (const QListWidgetItem* item = l->item(index)) return item->text().toStdU16String();
  } else if (auto* c = qobject_cast<QComboBox*>(w)) {
    if (index >= 0 && index < c->count()) return c->itemText(index).toStdU16String();
  }
  return {};
}

void QtDialog::remove_item(uint16_t id, int index) {
  if (auto* l = qobject_cast<QListWidget*>(control(id))) {
    QSignalBlocker block(l);
    delete l->takeItem(index);
  }
}

std::vector<int> QtDialog::selected_items(uint16_t id) const {
  std::vector<int> rows;
  if (auto* l = qobject_cast<QListWidget*>(control(id))) {
    for (int i = 0; i < l->count(); ++i) {
      if (l->item(i)->isSelected()) rows.push_back(i);
    }
  }
  return rows;
}

void QtDialog::set_item_selected(uint16_t id, int index, bool selected) {
  auto* l = qobject_cast<QListWidget*>(control(id));
  if (!l || !l->item(index)) return;
  QSignalBlocker block(l);
  if (selected && l->selectionMode() == QAbstractItemView::SingleSelection) l->clearSelection();
  l->item(index)->setSelected(selected);
  if (selected) l->scrollToItem(l->item(index));
}

void QtDialog::set_columns(uint16_t id, std::span<const ListColumn> columns) {
  auto* v = qobject_cast<QTreeWidget*>(control(id));
  if (!v) return;
  QStringList titles;
  for (const ListColumn& c : columns) titles << qs(c.title);
  v->setColumnCount(static_cast<int>(columns.size()));
  v->setHeaderLabels(titles);
  for (size_t i = 0; i < columns.size(); ++i) v->setColumnWidth(static_cast<int>(i), columns[i].width);
}

void QtDialog::set_icons(uint16_t id, std::span<const IconPicture> icons) {
  std::vector<QIcon>& out = icons_[id];
  out.clear();
  for (const IconPicture& icon : icons) {
    if (!icon.pixels || icon.width <= 0 || icon.height <= 0) {
      out.emplace_back();
      continue;
    }
    const QImage picture(reinterpret_cast<const uchar*>(icon.pixels), icon.width, icon.height, icon.width * 4,
                         QImage::Format_ARGB32);
    out.emplace_back(QPixmap::fromImage(picture.copy()));
  }
}

void QtDialog::add_row(uint16_t id, int icon, std::span<const std::u16string> cells) {
  auto* v = qobject_cast<QTreeWidget*>(control(id));
  if (!v) return;
  auto* item = new QTreeWidgetItem(v);
  for (size_t i = 0; i < cells.size(); ++i) item->setText(static_cast<int>(i), qs(cells[i]));
  const auto it = icons_.find(id);
  if (it != icons_.end() && icon >= 0 && icon < static_cast<int>(it->second.size())) item->setIcon(0, it->second[icon]);
}

void QtDialog::set_focus(uint16_t id) {
  if (QWidget* w = control(id)) {
    w->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
  }
}

void QtDialog::select_text(uint16_t id, int start, int length) {
  if (auto* e = qobject_cast<QLineEdit*>(control(id))) e->setSelection(start, length);
}

void QtDialog::set_range(uint16_t id, int min, int max) {
  QWidget* w = control(id);
  if (auto* s = qobject_cast<QSlider*>(w)) {
    QSignalBlocker block(s);
    s->setRange(min, max);
  } else if (auto* p = qobject_cast<QProgressBar*>(w)) {
    p->setRange(min, std::max(min, max));
  } else if (auto* u = dynamic_cast<UpDown*>(w)) {
    u->set_range(min, max);
  }
}

int QtDialog::position(uint16_t id) const {
  QWidget* w = control(id);
  if (auto* s = qobject_cast<QSlider*>(w)) return s->value();
  if (auto* p = qobject_cast<QProgressBar*>(w)) return p->value();
  if (auto* u = dynamic_cast<UpDown*>(w)) return u->position();
  return 0;
}

void QtDialog::set_position(uint16_t id, int position) {
  QWidget* w = control(id);
  if (auto* s = qobject_cast<QSlider*>(w)) {
    QSignalBlocker block(s);
    s->setValue(position);
  } else if (auto* p = qobject_cast<QProgressBar*>(w)) {
    p->setValue(std::clamp(position, p->minimum(), p->maximum()));
  } else if (auto* u = dynamic_cast<UpDown*>(w)) {
    u->set_position(position);
  }
}

void QtDialog::redraw() {
  update();
  for (auto& [id, w] : controls_) w->update();
}

void QtDialog::end(int code) {
  if (ended_) return;
  ended_ = true;
  code_ = code;
  if (ticker_) ticker_->stop();
  if (isModal()) QDialog::done(code);
  else hide();
}

void QtDialog::paintEvent(QPaintEvent* e) {
  QPainter painter(this);
  PainterCanvas canvas(painter);
  if (!handler_.erase(*this, canvas)) {
    painter.end();
    QDialog::paintEvent(e);
  }
}

void QtDialog::press(uint16_t id) {
  if (auto* b = qobject_cast<QAbstractButton*>(control(id))) {
    if (b->isEnabled()) b->animateClick();
  } else {
    handler_.command(*this, id, kClicked);
  }
}

void QtDialog::keyPressEvent(QKeyEvent* e) {
  if (e->modifiers() == Qt::NoModifier || e->modifiers() == Qt::KeypadModifier) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      QWidget* cancel = control(t_.cancel_id);
      press(cancel && focusWidget() == cancel ? t_.cancel_id : t_.ok_id);
      return;
    }
    if (e->key() == Qt::Key_Escape) {
      press(t_.cancel_id);
      return;
    }
  }
  QWidget::keyPressEvent(e);
}

void QtDialog::closeEvent(QCloseEvent* e) {
  // The close box is the Cancel button; the handler decides whether the dialog ends.
  if (!ended_) {
    e->ignore();
    handler_.command(*this, t_.cancel_id, kClicked);
  }
}

void QtDialog::reject() {
  if (!ended_) handler_.command(*this, t_.cancel_id, kClicked);
}

void QtDialog::dragEnterEvent(QDragEnterEvent* e) {
  if (t_.accepts_drops && e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void QtDialog::dropEvent(QDropEvent* e) {
  std::vector<std::u16string> paths;
  for (const QUrl& url : e->mimeData()->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdU16String());
  }
  e->acceptProposedAction();
  if (!paths.empty()) handler_.drop(*this, paths);
}

QtDialogWindow::QtDialogWindow(const DialogTemplate& t, DialogHandler& handler, QWidget* parent)
    : dialog_(new QtDialog(t, handler, parent)) {
  dialog_->open_modeless();
}

QtDialogWindow::~QtDialogWindow() {
  if (!dialog_) return;  // deleted with the main window's frame
  dialog_->close_modeless();
  delete dialog_.data();
}

}  // namespace tesmo::platform::qt
