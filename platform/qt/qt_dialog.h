// Dialogs on Qt: a QDialog built from a template, forwarding its controls' use, its background
// paint and its owner-drawn buttons to the handler.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <vector>
#include <map>
#include <memory>

#include "platform/dialog.h"

namespace tesmo::platform::qt {

class QtDialog final : public QDialog, public Dialog {
 public:
  QtDialog(const DialogTemplate& t, DialogHandler& handler, QWidget* parent);
  // A dialog deleted with its parent window still tells its handler it is gone.
  ~QtDialog() override;

  // Modal: init, the nested event loop until the handler ends it, destroy; the end code.
  int run_modal();
  // Modeless: init, then shown; the caller destroys it with close_modeless().
  void open_modeless();
  void close_modeless();
  bool ended() const { return ended_; }

  const DialogTemplate& dialog_template() const override { return t_; }
  Size client_size() const override;
  Rect window_rect() const override;
  void move(Point outer_top_left) override;
  std::u16string text(uint16_t id) const override;
  void set_text(uint16_t id, std::u16string_view text) override;
  bool checked(uint16_t id) const override;
  void set_checked(uint16_t id, bool checked) override;
  bool enabled(uint16_t id) const override;
  void set_enabled(uint16_t id, bool enabled) override;
  void add_item(uint16_t id, std::u16string_view item) override;
  void clear_items(uint16_t id) override;
  int selection(uint16_t id) const override;
  void set_selection(uint16_t id, int index) override;
  void set_focus(uint16_t id) override;
  void select_text(uint16_t id, int start, int length) override;
  int item_count(uint16_t id) const override;
  std::u16string item_text(uint16_t id, int index) const override;
  void remove_item(uint16_t id, int index) override;
  std::vector<int> selected_items(uint16_t id) const override;
  void set_item_selected(uint16_t id, int index, bool selected) override;
  void set_columns(uint16_t id, std::span<const ListColumn> columns) override;
  void set_icons(uint16_t id, std::span<const IconPicture> icons) override;
  void add_row(uint16_t id, int icon, std::span<const std::u16string> cells) override;
  void set_range(uint16_t id, int min, int max) override;
  int position(uint16_t id) const override;
  void set_position(uint16_t id, int position) override;
  void redraw() override;
  void end(int code) override;

  DialogHandler& handler() { return handler_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void reject() override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void build_control(const ControlTemplate& c);
  QWidget* control(uint16_t id) const;
  void press(uint16_t id);
  void finish();
  void start_ticks();

  const DialogTemplate& t_;
  DialogHandler& handler_;
  std::map<uint16_t, QWidget*> controls_;
  std::map<uint16_t, std::vector<QIcon>> icons_;  // report lists' row icons
  QTimer* ticker_ = nullptr;  // DialogTemplate::tick_ms; owned by the dialog
  bool ended_ = false;
  bool destroyed_ = false;
  int code_ = kDialogCancel;
};

class QtDialogWindow final : public DialogWindow {
 public:
  QtDialogWindow(const DialogTemplate& t, DialogHandler& handler, QWidget* parent);
  ~QtDialogWindow() override;
  Dialog& dialog() override { return *dialog_; }
  bool is_open() const override { return dialog_ && !dialog_->ended(); }

 private:
  // Owned here, but a child of the main window's frame: when the frame goes first (the window
  // closed before the dialog's owner is destroyed), Qt deletes the dialog with it and this clears.
  QPointer<QtDialog> dialog_;
};

}  // namespace tesmo::platform::qt
