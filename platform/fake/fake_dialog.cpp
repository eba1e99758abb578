// Dialogs on the fake platform.
#include "platform/fake/fake_dialog.h"

#include <chrono>
#include <string>
#include <thread>

#include "base/text.h"

namespace tesmo::platform {
namespace {

// Frame of a fake dialog: the fixed metrics of the fake platform (caption 23, frame 3).
constexpr int kFrameX = 3, kFrameY = 3, kCaption = 23;

class RecordingCanvas final : public Canvas {
 public:
  RecordingCanvas(std::vector<DialogPaint>& out, DialogPaint base) : out_(out), base_(std::move(base)) {}
  void draw(const uint32_t* pixels, int width, int height, int x, int y) override {
    DialogPaint p = base_;
    p.width = width;
    p.height = height;
    p.x = x;
    p.y = y;
    if (pixels && width > 0 && height > 0) p.pixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
    out_.push_back(std::move(p));
  }

 private:
  std::vector<DialogPaint>& out_;
  DialogPaint base_;
};

}  // namespace

FakeDialog::FakeDialog(const DialogTemplate& t, DialogHandler& handler, Size client)
    : t_(t), handler_(handler), client_(client), focus_(t.ok_id) {
  window_ = {0, 0, client.width + 2 * kFrameX, client.height + 2 * kFrameY + kCaption};
  for (const ControlTemplate& c : t.controls) {
    if (c.id == kNoControlId) continue;
    Control& control = controls_[c.id];
    control.t = &c;
    control.text = std::u16string(c.label);
  }
}

void FakeDialog::move(Point p) {
  window_ = {p.x, p.y, p.x + window_.width(), p.y + window_.height()};
}

FakeDialog::Control* FakeDialog::find(uint16_t id) {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

const FakeDialog::Control* FakeDialog::find(uint16_t id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

std::u16string FakeDialog::text(uint16_t id) const {
  const Control* c = find(id);
  return c ? c->text : std::u16string();
}

void FakeDialog::set_text(uint16_t id, std::u16string_view text) {
  if (Control* c = find(id)) c->text = text;
}

// Like the window system, the focus on an edit selects its whole text.
void FakeDialog::set_focus(uint16_t id) {
  focus_ = id;
  Control* c = find(id);
  if (c && c->t->kind == ControlKind::Edit) c->text_selection = {0, static_cast<int>(c->text.size())};
}

void FakeDialog::select_text(uint16_t id, int start, int length) {
  Control* c = find(id);
  if (!c || c->t->kind != ControlKind::Edit) return;
  const int size = static_cast<int>(c->text.size());
  start = start < 0 ? 0 : start > size ? size : start;
  length = length < 0 ? 0 : length > size - start ? size - start : length;
  c->text_selection = {start, length};
}

bool FakeDialog::checked(uint16_t id) const {
  const Control* c = find(id);
  return c && c->checked;
}

void FakeDialog::set_checked(uint16_t id, bool checked) {
  if (Control* c = find(id)) c->checked = checked;
}

bool FakeDialog::enabled(uint16_t id) const {
  const Control* c = find(id);
  return c && c->enabled;
}

void FakeDialog::set_enabled(uint16_t id, bool enabled) {
  if (Control* c = find(id)) c->enabled = enabled;
}

void FakeDialog::add_item(uint16_t id, std::u16string_view item) {
  if (Control* c = find(id)) {
    c->items.emplace_back(item);
    c->selected.push_back(false);
  }
}

void FakeDialog::clear_items(uint16_t id) {
  if (Control* c = find(id)) {
    c->items.clear();
    c->selected.clear();
    c->rows.clear();
    c->row_icons.clear();
    c->selection = -1;
    if (c->t->kind == ControlKind::ComboBox) c->text.clear();
  }
}

int FakeDialog::selection(uint16_t id) const {
  const Control* c = find(id);
  if (!c) return -1;
  if (c->t->kind != ControlKind::ListBox) return c->selection;
  for (size_t i = 0; i < c->selected.size(); ++i) {
    if (c->selected[i]) return static_cast<int>(i);
  }
  return -1;
}

void FakeDialog::set_selection(uint16_t id, int index) {
  Control* c = find(id);
  if (!c) return;
  c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
  if (c->t->kind == ControlKind::ListBox) {
    c->selected.assign(c->items.size(), false);
    if (c->selection >= 0) c->selected[static_cast<size_t>(c->selection)] = true;
  } else if (c->selection >= 0) {
    c->text = c->items[static_cast<size_t>(c->selection)];
  }
}

int FakeDialog::item_count(uint16_t id) const {
  const Control* c = find(id);
  if (!c) return 0;
  return static_cast<int>(c->t->kind == ControlKind::ListView ? c->rows.size() : c->items.size());
}

std::u16string FakeDialog::item_text(uint16_t id, int index) const {
  const Control* c = find(id);
  if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return {};
  return c->items[static_cast<size_t>(index)];
}

void FakeDialog::remove_item(uint16_t id, int index) {
  Control* c = find(id);
  if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return;
  c->items.erase(c->items.begin() + index);
  c->selected.erase(c->selected.begin() + index);
}

std::vector<int> FakeDialog::selected_items(uint16_t id) const {
  std::vector<int> out;
  if (const Control* c = find(id)) {
    for (size_t i = 0; i < c->selected.size(); ++i) {
      if (c->selected[i]) out.push_back(static_cast<int>(i));
    }
  }
  return out;
}

void FakeDialog::set_item_selected(uint16_t id, int index, bool selected) {
  Control* c = find(id);
  if (!c || index < 0 || index >= static_cast<int>(c->selected.size())) return;
  if (selected && !(c->t->flags & kMultipleSelection)) c->selected.assign(c->selected.size(), false);
  c->selected[static_cast<size_t>(index)] = selected;
}

void FakeDialog::set_columns(uint16_t id, std::span<const ListColumn> columns) {
  Control* c = find(id);
  if (!c) return;
  c->columns.clear();
  for (const ListColumn& column : columns) c->columns.emplace_back(column.title);
}

void FakeDialog::set_icons(uint16_t id, std::span<const IconPicture> icons) {
  if (Control* c = find(id)) c->icons = static_cast<int>(icons.size());
}

void FakeDialog::add_row(uint16_t id, int icon, std::span<const std::u16string> cells) {
  Control* c = find(id);
  if (!c) return;
  c->rows.emplace_back(cells.begin(), cells.end());
  c->row_icons.push_back(icon);
}

std::vector<std::u16string> FakeDialog::columns(uint16_t id) const {
  const Control* c = find(id);
  return c ? c->columns : std::vector<std::u16string>{};
}

std::vector<int> FakeDialog::row_icons(uint16_t id) const {
  const Control* c = find(id);
  return c ? c->row_icons : std::vector<int>{};
}

int FakeDialog::icon_count(uint16_t id) const {
  const Control* c = find(id);
  return c ? c->icons : 0;
}

bool FakeDialog::ranged(const Control& c) const {
  return c.t->kind == ControlKind::Slider || c.t->kind == ControlKind::ProgressBar ||
         c.t->kind == ControlKind::UpDown;
}

void FakeDialog::set_range(uint16_t id, int min, int max) {
  Control* c = find(id);
  if (!c || !ranged(*c)) return;
  c->min = min;
  c->max = max < min ? min : max;
  set_position(id, c->position);
}

int FakeDialog::position(uint16_t id) const {
  const Control* c = find(id);
  return c && ranged(*c) ? c->position : 0;
}

void FakeDialog::set_position(uint16_t id, int position) {
  Control* c = find(id);
  if (!c || !ranged(*c)) return;
  c->position = position < c->min ? c->min : position > c->max ? c->max : position;
  if (c->t->kind == ControlKind::UpDown && c->t->buddy != 0) set_text(c->t->buddy, u16(std::to_string(c->position)));
}

// One click on an up-down: the position continues from the number in the buddy (the user may
// have typed there), moves by one within the range, and the buddy shows it.
void FakeDialog::step_up_down(Control& c, int delta) {
  if (c.t->buddy != 0) {
    const std::u16string t = text(c.t->buddy);
    int n = 0;
    bool digits = !t.empty();
    for (char16_t ch : t) digits = digits && ch >= u'0' && ch <= u'9';
    if (digits && t.size() < 10) {
      for (char16_t ch : t) n = n * 10 + (ch - u'0');
      c.position = n;
    }
  }
  set_position(c.t->id, c.position + delta);
}

void FakeDialog::draw_button(const Control& c, bool pressed) {
  DialogPaint base{.control = c.t->id, .disabled = !c.enabled, .pressed = pressed, .focused = focus_ == c.t->id};
  RecordingCanvas canvas(paints, base);
  DrawItem item{.id = c.t->id, .width = c.t->rect.width(), .height = c.t->rect.height(), .disabled = !c.enabled,
                .pressed = pressed, .focused = focus_ == c.t->id, .canvas = &canvas};
  handler_.draw_item(*this, item);
}

void FakeDialog::redraw() {
  RecordingCanvas canvas(paints, DialogPaint{});
  handler_.erase(*this, canvas);
  for (const auto& [id, c] : controls_) {
    if (c.t->kind == ControlKind::OwnerDrawButton) draw_button(c, false);
  }
}

void FakeDialog::end(int code) {
  if (ended_) return;
  ended_ = true;
  end_code_ = code;
}

void FakeDialog::press(uint16_t id) {
  const Control* c = find(id);
  // Enter, Esc and the close box reach the handler even when no button has the OK or Cancel id.
  if (!c && !ended_ && (id == t_.ok_id || id == t_.cancel_id)) return handler_.command(*this, id, kClicked);
  if (!c || !c->enabled || ended_) return;
  if (c->t->kind == ControlKind::OwnerDrawButton) {
    focus_ = id;
    draw_button(*c, true);
  }
  handler_.command(*this, id, kClicked);
}

void FakeDialog::perform(const DialogStep& step) {
  switch (step.kind) {
    case DialogStep::SetText:
      set_text(step.id, step.text);
      handler_.command(*this, step.id, kEditChanged);
      break;
    case DialogStep::Press:
      press(step.id);
      break;
    case DialogStep::Enter:
      press(focus_ == t_.cancel_id ? t_.cancel_id : t_.ok_id);
      break;
    case DialogStep::Escape:
      press(t_.cancel_id);
      break;
    case DialogStep::Focus: {
      const Control* left = find(focus_);
      const uint16_t previous = focus_;
      focus_ = step.id;
      if (left && left->t->kind == ControlKind::Edit && previous != step.id && !ended_) {
        handler_.command(*this, previous, kEditFocusLost);
      }
      break;
    }
    case DialogStep::Select:
      set_selection(step.id, step.value);
      handler_.command(*this, step.id, kSelectionChanged);
      break;
    case DialogStep::Check:
      set_checked(step.id, !checked(step.id));
      handler_.command(*this, step.id, kClicked);
      break;
    case DialogStep::Disable:
      set_enabled(step.id, false);
      redraw();
      break;
    case DialogStep::Pick:
      if (Control* c = find(step.id); c && c->enabled && !ended_) {
        c->selected.assign(c->items.size(), false);
        for (int i : step.items) set_item_selected(step.id, i, true);
        handler_.command(*this, step.id, kSelectionChanged);
      }
      break;
    case DialogStep::Step:
      if (Control* c = find(step.id); c && c->enabled && c->t->kind == ControlKind::UpDown) {
        for (int i = 0; i < (step.value < 0 ? -step.value : step.value) && !ended_; ++i) {
          step_up_down(*c, step.value < 0 ? -1 : 1);
          handler_.command(*this, step.id, kUpDownMoved);
        }
      }
      break;
    case DialogStep::Drop:
      if (t_.accepts_drops && !ended_) handler_.drop(*this, step.paths);
      break;
    case DialogStep::Tick:
      for (int i = 0; i < step.value && t_.tick_ms > 0 && !ended_; ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        handler_.tick(*this);
      }
      break;
    case DialogStep::Slide:
      if (const Control* c = find(step.id); c && c->enabled && !ended_) {
        set_position(step.id, step.value);
        handler_.command(*this, step.id, kSliderMoved);
      }
      break;
  }
}

DialogRecord FakeDialog::record() const {
  DialogRecord r{.id = t_.id, .end_code = end_code_, .paints = paints, .window = window_};
  for (const auto& [id, c] : controls_) {
    r.texts[id] = c.text;
    if (c.t->kind == ControlKind::ComboBox || c.t->kind == ControlKind::ListBox) r.items[id] = c.items;
    if (c.t->kind == ControlKind::ListView) {
      r.rows[id] = c.rows;
      r.row_icons[id] = c.row_icons;
    }
    if (c.t->kind == ControlKind::Edit) r.text_selections[id] = c.text_selection;
    r.checked[id] = c.checked;
    r.enabled[id] = c.enabled;
  }
  return r;
}

FakeDialogWindow::FakeDialogWindow(const DialogTemplate& t, DialogHandler& handler, Size client)
    : handler_(handler), dialog_(t, handler, client) {
  handler_.init(dialog_);
  dialog_.redraw();
}

FakeDialogWindow::~FakeDialogWindow() { handler_.destroy(dialog_); }

}  // namespace tesmo::platform
