// Dialogs on the fake platform: a dialog held in memory, driven by a script of field values, key
// presses and button presses, with a record of everything the handler drew.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace tesmo::platform {

// One scripted user action on a dialog.
struct DialogStep {
  enum Kind : uint8_t {
    SetText,  // the user types `text` into control `id` (an edit-changed command follows)
    Press,    // the user clicks button `id`: drawn pressed, then the clicked command
    Enter,    // the Enter key: OK, or Cancel when Cancel has the focus
    Escape,   // the Esc key (or the close box): Cancel, also when no button has the Cancel id
    Focus,    // the focus moves to control `id` (an edit that loses it notifies)
    Select,   // the user picks item `value` of combo box `id`
    Check,    // the user clicks check box `id` (its check flips)
    Disable,  // the program greys control `id` (test set-up; the dialog is drawn again)
    Slide,    // the user drags track bar `id` to `value` (held inside its range; a moved command follows)
    Pick,     // the user selects exactly the items `items` of list box `id` (a changed command follows)
    Step,     // the user clicks up-down `id` `value` times (negative: down); each click notifies
    Drop,     // the user drops `paths` on the dialog
    Tick,     // the dialog's timer fires until the handler ends the dialog, at most `value` times,
              // a real millisecond apart (so that a worker the handler polls gets on)
  };
  Kind kind = Press;
  uint16_t id = 0;
  std::u16string text;
  int value = 0;
  std::vector<int> items;
  std::vector<std::u16string> paths;
};

// What the next modal dialog does. When the steps run out before the handler ended the dialog,
// the Cancel button is pressed (and the dialog ends with kDialogCancel if the handler still
// does not end it).
struct DialogScript {
  uint16_t expect_id = 0;       // 0: any dialog; otherwise a different dialog fails the run
  std::optional<Size> client;   // a client area other than the template's (larger fonts)
  std::vector<DialogStep> steps;
};

// One picture the handler drew.
struct DialogPaint {
  uint16_t control = 0;  // 0: the background; otherwise the owner-drawn button
  bool disabled = false, pressed = false, focused = false;  // the button's state when drawn
  int width = 0, height = 0, x = 0, y = 0;
  std::vector<uint32_t> pixels;
};

// What a dialog looked like when it ended.
struct DialogRecord {
  uint16_t id = 0;
  int end_code = kDialogFailed;
  std::map<uint16_t, std::u16string> texts;  // every control's final text
  std::map<uint16_t, std::vector<std::u16string>> items;  // every combo and list box's final items
  std::map<uint16_t, std::vector<std::vector<std::u16string>>> rows;  // every report list's rows
  std::map<uint16_t, std::vector<int>> row_icons;         // and each row's icon (−1: none)
  std::map<uint16_t, std::pair<int, int>> text_selections;  // edits: selection start and length
  std::map<uint16_t, bool> checked;                       // every control's final check
  std::map<uint16_t, bool> enabled;                       // and whether it was enabled
  std::vector<DialogPaint> paints;
  Rect window;  // where the handler placed it
};

class FakeDialog final : public Dialog {
 public:
  FakeDialog(const DialogTemplate& t, DialogHandler& handler, Size client);

  const DialogTemplate& dialog_template() const override { return t_; }
  Size client_size() const override { return client_; }
  Rect window_rect() const override { return window_; }
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

  // What tests read of report lists.
  std::vector<std::u16string> columns(uint16_t id) const;
  std::vector<int> row_icons(uint16_t id) const;
  int icon_count(uint16_t id) const;
  void redraw() override;
  void end(int code) override;

  // The host's side: one scripted action, the whole paint, and the end.
  void perform(const DialogStep& step);
  void press(uint16_t id);
  bool ended() const { return ended_; }
  int end_code() const { return end_code_; }
  DialogRecord record() const;
  uint16_t focus() const { return focus_; }
  std::vector<DialogPaint> paints;

 private:
  struct Control {
    const ControlTemplate* t = nullptr;
    std::u16string text;
    bool checked = false;
    bool enabled = true;
    std::vector<std::u16string> items;
    std::vector<bool> selected;  // list boxes, one per item
    int selection = -1;
    int min = 0, max = 100, position = 0;  // track bars, progress bars, up-down controls
    std::vector<std::u16string> columns;   // report lists
    std::vector<std::vector<std::u16string>> rows;
    std::vector<int> row_icons;
    int icons = 0;
    std::pair<int, int> text_selection{0, 0};  // edits: start and length
  };
  bool ranged(const Control& c) const;
  void step_up_down(Control& c, int delta);
  Control* find(uint16_t id);
  const Control* find(uint16_t id) const;
  void draw_button(const Control& c, bool pressed);

  const DialogTemplate& t_;
  DialogHandler& handler_;
  Size client_;
  Rect window_;
  std::map<uint16_t, Control> controls_;
  uint16_t focus_;
  bool ended_ = false;
  int end_code_ = kDialogFailed;
};

// A modeless dialog on the fake platform; tests act on it through dialog().
class FakeDialogWindow final : public DialogWindow {
 public:
  FakeDialogWindow(const DialogTemplate& t, DialogHandler& handler, Size client);
  ~FakeDialogWindow() override;
  FakeDialog& dialog() override { return dialog_; }
  bool is_open() const override { return !dialog_.ended(); }

 private:
  DialogHandler& handler_;
  FakeDialog dialog_;
};

}  // namespace tesmo::platform
