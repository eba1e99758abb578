// Dialogs: a template (id, caption, client size, controls by id) and a platform-free handler that
// the dialog host calls on init, command, erase (the background), draw-item (owner-drawn buttons)
// and destroy. The host runs it modal (returning the end code) or modeless.
//
// Host behaviour every implementation keeps: Enter acts as the OK button unless the Cancel button
// has the focus; Esc and the close box act as the Cancel button; a dialog ends only when its
// handler calls end(); statics are drawn transparent over whatever the erase handler painted.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window.h"

namespace tesmo::platform {

enum class ControlKind : uint8_t {
  Static,           // a label
  Edit,             // one line of text
  Button,           // a push button drawn by the window system
  OwnerDrawButton,  // a push button drawn by the handler's draw_item
  CheckBox,
  RadioButton,
  ComboBox,         // a drop-down list
  GroupBox,         // a frame with a caption around other controls
  Slider,           // a horizontal track bar with an integer range and position
  ListBox,          // a list of texts; several may be selected with kMultipleSelection
  ListView,         // a report list: titled columns, rows of texts with an icon, grid lines
  ProgressBar,      // a bar with an integer range and position
  UpDown,           // two arrows stepping the integer in its buddy edit within a range
};

// ControlTemplate::flags.
inline constexpr uint8_t kMultipleSelection = 1;  // list boxes
inline constexpr uint8_t kReadOnly = 2;           // edits: shown and selectable, not editable

struct ControlTemplate {
  uint16_t id = 0;  // kNoControlId for statics nobody addresses
  ControlKind kind = ControlKind::Static;
  std::u16string_view label;
  Rect rect;  // in client coordinates
  uint16_t buddy = 0;  // up-down controls: the edit whose number they step
  uint8_t flags = 0;
};

// A column of a report list.
struct ListColumn {
  std::u16string_view title;
  int width = 0;
};

// A small picture for list rows: B, G, R, A pixels (stride = width; alpha 0 is transparent).
struct IconPicture {
  const uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
};

inline constexpr uint16_t kNoControlId = 0xFFFF;

struct DialogTemplate {
  uint16_t id = 0;
  std::u16string_view caption;
  int client_width = 0;
  int client_height = 0;
  std::span<const ControlTemplate> controls;
  uint16_t ok_id = 1;      // what Enter presses
  uint16_t cancel_id = 2;  // what Esc and the close box press
  bool accepts_drops = false;  // files dropped on the dialog reach DialogHandler::drop
  uint16_t tick_ms = 0;        // > 0: DialogHandler::tick about this often while the dialog is open
};

// End codes of modal dialogs; handlers may end with others (a command that cancels returns 2).
inline constexpr int kDialogOk = 0;
inline constexpr int kDialogCancel = 1;
inline constexpr int kDialogFailed = -1;  // the dialog could not be created

// Notification codes carried by command().
enum DialogNotification : int {
  kClicked = 0,           // buttons, check boxes, radio buttons
  kSelectionChanged = 1,  // combo boxes
  kEditFocusLost = 0x200, // edit fields, when the focus leaves them
  kEditChanged = 0x300,   // edit fields, after the user changed the text
  kSliderMoved = 0x1000,  // track bars, after the user moved the thumb
  kUpDownMoved = 0x2000,  // up-down controls, after the user stepped (the buddy shows the number)
};

// Where a handler draws: 32-bit B, G, R, A pictures (stride = width, alpha ignored) put at (x, y)
// of the dialog's client area or of one button.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void draw(const uint32_t* pixels, int width, int height, int x, int y) = 0;
};

// One owner-drawn button to draw, in its current state.
struct DrawItem {
  uint16_t id = 0;
  int width = 0;
  int height = 0;
  bool disabled = false;
  bool pressed = false;  // held down (selected)
  bool focused = false;
  Canvas* canvas = nullptr;
};

// An open dialog as its handler sees it. Controls are addressed by id; unknown ids are ignored
// (reads give empty text, false, −1).
class Dialog {
 public:
  virtual ~Dialog() = default;
  virtual const DialogTemplate& dialog_template() const = 0;
  virtual Size client_size() const = 0;
  virtual Rect window_rect() const = 0;       // outer frame, screen coordinates
  virtual void move(Point outer_top_left) = 0;
  virtual std::u16string text(uint16_t id) const = 0;
  virtual void set_text(uint16_t id, std::u16string_view text) = 0;
  virtual bool checked(uint16_t id) const = 0;
  virtual void set_checked(uint16_t id, bool checked) = 0;
  virtual bool enabled(uint16_t id) const = 0;
  virtual void set_enabled(uint16_t id, bool enabled) = 0;
  virtual void add_item(uint16_t id, std::u16string_view item) = 0;  // combo and list boxes
  virtual void clear_items(uint16_t id) = 0;  // combo boxes, list boxes, report lists: no items, no selection
  virtual int selection(uint16_t id) const = 0;  // −1: none (list boxes: the first selected)
  virtual void set_selection(uint16_t id, int index) = 0;  // list boxes: only this one selected
  // List boxes (and report lists for the count).
  virtual int item_count(uint16_t id) const { (void)id; return 0; }
  virtual std::u16string item_text(uint16_t id, int index) const { (void)id, (void)index; return {}; }
  virtual void remove_item(uint16_t id, int index) { (void)id, (void)index; }
  virtual std::vector<int> selected_items(uint16_t id) const { (void)id; return {}; }  // ascending
  virtual void set_item_selected(uint16_t id, int index, bool selected) { (void)id, (void)index, (void)selected; }
  // Report lists: the columns (replacing any), the row icons, and one row more.
  virtual void set_columns(uint16_t id, std::span<const ListColumn> columns) { (void)id, (void)columns; }
  virtual void set_icons(uint16_t id, std::span<const IconPicture> icons) { (void)id, (void)icons; }
  virtual void add_row(uint16_t id, int icon, std::span<const std::u16string> cells) {
    (void)id, (void)icon, (void)cells;
  }
  virtual void set_focus(uint16_t id) = 0;
  // Edits: selects `length` characters from `start` (after set_focus, which selects the whole text).
  virtual void select_text(uint16_t id, int start, int length) { (void)id, (void)start, (void)length; }
  // Track bars, progress bars and up-down controls: the range (the position is held inside it)
  // and the position; setting either sends no notification (an up-down's buddy shows the number).
  // Other controls: nothing, and position 0.
  virtual void set_range(uint16_t id, int min, int max) { (void)id, (void)min, (void)max; }
  virtual int position(uint16_t id) const { (void)id; return 0; }
  virtual void set_position(uint16_t id, int position) { (void)id, (void)position; }
  virtual void redraw() = 0;  // background and owner-drawn buttons again
  // Ends the dialog: a modal run returns `code`; a modeless dialog closes (destroy follows).
  virtual void end(int code) = 0;
};

class DialogHandler {
 public:
  virtual ~DialogHandler() = default;
  // Before the dialog is first shown: fill the fields, place the dialog.
  virtual void init(Dialog&) {}
  // A control was used. The default ends with kDialogOk for the OK id and kDialogCancel for the
  // Cancel id.
  virtual void command(Dialog& d, uint16_t id, int notification) {
    (void)notification;
    if (id == d.dialog_template().ok_id) d.end(kDialogOk);
    else if (id == d.dialog_template().cancel_id) d.end(kDialogCancel);
  }
  // Paints the whole client area; false leaves the window system's plain background.
  virtual bool erase(Dialog&, Canvas&) { return false; }
  // Draws one owner-drawn button; false leaves the window system's plain button.
  virtual bool draw_item(Dialog&, const DrawItem&) { return false; }
  // Files were dropped on a dialog whose template accepts drops (paths in the order given).
  virtual void drop(Dialog&, const std::vector<std::u16string>& paths) { (void)paths; }
  // The dialog's timer (DialogTemplate::tick_ms), on the dialog's thread: a handler polls work
  // done elsewhere here, also while the dialog runs modal.
  virtual void tick(Dialog&) {}
  // The dialog is going away (after end(), or with its modeless window).
  virtual void destroy(Dialog&) {}
};

// A modeless dialog; destroying the object closes the dialog (destroy is called once).
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;
  virtual Dialog& dialog() = 0;
  virtual bool is_open() const = 0;  // false once the handler ended it
};

}  // namespace tesmo::platform
