// QtPlatform: the Qt application object under the system's own message loop.
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QLibraryInfo>
#include <QLocalServer>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTranslator>
#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

#include "platform/qt/qt_dialog.h"
#include "platform/qt/qt_main_window.h"

namespace tesmo::platform {
namespace {

struct IconRow {
  MessageIcon icon;
  QMessageBox::Icon qt_icon;
};

constexpr IconRow kIcons[] = {
    {MessageIcon::None, QMessageBox::NoIcon},        {MessageIcon::Information, QMessageBox::Information},
    {MessageIcon::Warning, QMessageBox::Warning},    {MessageIcon::Error, QMessageBox::Critical},
    {MessageIcon::Question, QMessageBox::Question},
};

struct ButtonsRow {
  MessageButtons buttons;
  QMessageBox::StandardButtons qt_buttons;
  MessageAnswer dismissed;  // the answer when the box is closed without a button
};

constexpr ButtonsRow kButtonSets[] = {
    {MessageButtons::Ok, QMessageBox::Ok, MessageAnswer::Ok},
    {MessageButtons::OkCancel, QMessageBox::Ok | QMessageBox::Cancel, MessageAnswer::Cancel},
    {MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No, MessageAnswer::No},
    {MessageButtons::YesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
     MessageAnswer::Cancel},
};

MessageAnswer answer_of(int result, MessageAnswer dismissed) {
  switch (result) {
    case QMessageBox::Ok: return MessageAnswer::Ok;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    default: return dismissed;
  }
}

// The face of every window's texts: a proportional Japanese Gothic (the face the glyph service opens
// for the system's proportional fonts). A face without Japanese would leave a text that mixes
// Latin and Japanese to a fallback face for part of it, in other letter sizes.
constexpr char kWindowFontFamily[] = "IPAPGothic";

Rect to_rect(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

// The height of a one-line menu bar: the main window's own, attached or not, or else a probe's
// (an empty bar has no height).
int menu_bar_height(QWidget* frame) {
  const auto* bar = frame ? frame->findChild<QMenuBar*>() : nullptr;
  if (bar && !bar->actions().isEmpty()) return bar->sizeHint().height();
  QMenuBar probe;
  probe.setNativeMenuBar(false);
  probe.addAction(QStringLiteral("M"));
  return probe.sizeHint().height();
}

// The real frame of a shown, framed window: its side and bottom edges give the frame widths, the
// rest of its top edge the caption. Window systems that report no frame leave the values alone.
void read_frame(const QWidget* frame, Metrics& m) {
  if (!frame || !frame->isVisible()) return;
  const QRect outer = frame->frameGeometry();
  const QRect inner = frame->geometry();
  const int left = inner.left() - outer.left();
  const int top = inner.top() - outer.top();
  const int bottom = outer.bottom() - inner.bottom();
  if (left <= 0 || top <= bottom) return;
  m.dialog_frame_x = left;
  m.dialog_frame_y = bottom;
  m.caption = top - bottom;
}

}  // namespace

QtPlatform::QtPlatform(int& argc, char** argv)
    : app_(std::make_unique<QApplication>(argc, argv)), translator_(std::make_unique<QTranslator>()) {
  // Closing the window is the system's decision, made through Close and destroy().
  QApplication::setQuitOnLastWindowClosed(false);
  QFont font = QApplication::font();
  font.setFamilies({QString::fromLatin1(kWindowFontFamily)});
  QApplication::setFont(font);
  // The standard windows (choosers, the buttons of message boxes) speak Japanese as the menus do.
  if (translator_->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator_.get());
  }
}

QtPlatform::~QtPlatform() {
  // Windows destroyed since the last pass of the loop are still waiting for deletion.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void QtPlatform::set_program_icon(const std::vector<std::span<const uint8_t>>& images) {
  QIcon icon;
  for (std::span<const uint8_t> image : images) {
    QPixmap pixmap;
    if (pixmap.loadFromData(image.data(), static_cast<uint>(image.size()), "PNG")) icon.addPixmap(pixmap);
  }
  if (!icon.isNull()) QApplication::setWindowIcon(icon);
}

std::unique_ptr<MainWindow> QtPlatform::create_main_window(const MainWindowParams& params) {
  // The window system takes the class of its windows from the application name when the first
  // native window is made; no later change reaches it.
  if (params.class_name && *params.class_name) {
    QCoreApplication::setApplicationName(QString::fromLatin1(params.class_name));
  }
  auto window = std::make_unique<qt::QtMainWindow>(queue_, params);
  main_frame_ = window->frame_widget();
  return window;
}

bool QtPlatform::peek_event(Event& out) {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  // The system's loop never enters Qt's, which is where deferred deletions normally run.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return queue_.pop(out);
}

void QtPlatform::wait_event() {
  while (queue_.empty()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtPlatform::post_quit(int code) {
  queue_.push(Event{.kind = EventKind::Quit, .code = code, .files = {}});
}

uint32_t QtPlatform::now_ms() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void QtPlatform::sleep_ms(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool QtPlatform::key_held(uint16_t code) {
  const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
  switch (code) {
    case key::Shift: return held.testFlag(Qt::ShiftModifier);
    case key::Control: return held.testFlag(Qt::ControlModifier);
    case key::Alt: return held.testFlag(Qt::AltModifier);
    default: return false;
  }
}

Metrics QtPlatform::metrics() {
  Metrics m;
  const QStyle* style = QApplication::style();
  if (const int extent = style->pixelMetric(QStyle::PM_ScrollBarExtent); extent > 0) {
    m.vscroll_width = m.hscroll_height = extent;
  }
  if (const int caption = style->pixelMetric(QStyle::PM_TitleBarHeight); caption > 0) m.caption = caption;
  m.menu = menu_bar_height(main_frame_);
  read_frame(main_frame_, m);
  return m;
}

Size QtPlatform::screen_size() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  return {screen->geometry().width(), screen->geometry().height()};
}

std::optional<Rect> QtPlatform::work_area() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return std::nullopt;
  return to_rect(screen->availableGeometry());
}

MessageAnswer QtPlatform::message_box(const std::u16string& text, const std::u16string& caption,
                                      MessageIcon icon, MessageButtons buttons) {
  const auto* icon_row = std::find_if(std::begin(kIcons), std::end(kIcons),
                                      [&](const IconRow& r) { return r.icon == icon; });
  const auto* buttons_row = std::find_if(std::begin(kButtonSets), std::end(kButtonSets),
                                         [&](const ButtonsRow& r) { return r.buttons == buttons; });
  if (buttons_row == std::end(kButtonSets)) buttons_row = std::begin(kButtonSets);
  QMessageBox box(icon_row == std::end(kIcons) ? QMessageBox::NoIcon : icon_row->qt_icon,
                  QString::fromStdU16String(caption), QString::fromStdU16String(text),
                  buttons_row->qt_buttons, main_frame_);
  return answer_of(box.exec(), buttons_row->dismissed);
}

int QtPlatform::run_modal_dialog(const DialogTemplate& dialog, DialogHandler& handler) {
  qt::QtDialog d(dialog, handler, main_frame_);
  return d.run_modal();
}

std::unique_ptr<DialogWindow> QtPlatform::open_modeless_dialog(const DialogTemplate& dialog, DialogHandler& handler) {
  return std::make_unique<qt::QtDialogWindow>(dialog, handler, main_frame_);
}

std::unique_ptr<Platform> make_qt_platform(int& argc, char** argv) {
  return std::make_unique<QtPlatform>(argc, argv);
}

}  // namespace tesmo::platform
