// The Qt platform on the offscreen window system: the window built from its parameters, the menu
// addressed by id, and Qt's events arriving as the system's events.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <vector>

#include "platform/qt/qt_keys.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_platform.h"

namespace tesmo::platform {
namespace {

using qt::QtMainWindow;
using qt::QtMenu;

Platform* g_platform = nullptr;

constexpr uint16_t kOpen = 40001, kNoLoop = 40010, kLoop = 40011, kTopmost = 40020, kQuit = 40030,
                   kUndo = 40040;
constexpr uint16_t kFileMenu = 1, kViewMenu = 10, kEditMenu = 2;

constexpr MenuEntry kEntries[] = {
    {0, MenuEntryKind::Submenu, kFileMenu, u"ファイル", u"File"},
    {1, MenuEntryKind::Command, kOpen, u"開く", u"Open"},
    {1, MenuEntryKind::Separator, 0, u"", u""},
    {1, MenuEntryKind::Submenu, kViewMenu, u"表示", u"View"},
    {2, MenuEntryKind::Label, 0, u"[ ループ ]", u"[ Loop ]"},
    {2, MenuEntryKind::Radio, kNoLoop, u"ループしない", u"No Loop", 1},
    {2, MenuEntryKind::Radio, kLoop, u"ループする", u"Loop", 1},
    {1, MenuEntryKind::Check, kTopmost, u"常に手前", u"Topmost"},
    {1, MenuEntryKind::Command, kQuit, u"終了", u"Quit"},
    {0, MenuEntryKind::Submenu, kEditMenu, u"編集", u"Edit"},
    {1, MenuEntryKind::Command, kUndo, u"元に戻す", u"Undo"},
};
constexpr AccelEntry kAccels[] = {
    {key::letter('S'), key::ModControl | key::ModShift, kOpen},
    {key::letter('O'), key::ModControl, kOpen},  // a second key of the same command is not shown
    {key::Add, 0, kNoLoop},
    {key::function(11), 0, kTopmost},
    {key::Return, key::ModAlt, kQuit},
};
const MenuTemplate kMenu{"TEST_MENU", kEntries};
const AccelTemplate kAccelTable{"TEST_ACCEL", kAccels};

std::vector<Event> drain() {
  std::vector<Event> events;
  Event e;
  while (g_platform->peek_event(e)) events.push_back(e);
  return events;
}

std::vector<Event> drain(EventKind kind) {
  std::vector<Event> all = drain(), picked;
  for (const Event& e : all) {
    if (e.kind == kind) picked.push_back(e);
  }
  return picked;
}

class QtWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drain();
    MainWindowParams params;
    params.class_name = "ZUK_TESMO";
    params.title = u"Tesmo64";
    params.client_width = 400;
    params.client_height = 300;
    params.position = Point{40, 50};
    params.menu = &kMenu;
    params.accelerators = &kAccelTable;
    owned_ = g_platform->create_main_window(params);
    window_ = dynamic_cast<QtMainWindow*>(owned_.get());
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    owned_.reset();
    drain();
  }

  QWidget* frame() const { return window_->frame_widget(); }
  QWidget* picture() const { return window_->picture_widget(); }
  void send(QWidget* to, QEvent&& e) { QCoreApplication::sendEvent(to, &e); }
  void show() {
    window_->show();
    drain();
  }

  std::unique_ptr<MainWindow> owned_;
  QtMainWindow* window_ = nullptr;
};

TEST(QtKeys, QtKeysBecomeTheSystemsKeyCodes) {
  const Qt::KeyboardModifiers none = Qt::NoModifier, pad = Qt::KeypadModifier;
  struct Case {
    int qt_key;
    Qt::KeyboardModifiers modifiers;
    uint16_t code;
  };
  const Case cases[] = {
      {Qt::Key_A, none, key::A},          {Qt::Key_Z, Qt::ShiftModifier, key::letter('Z')},
      {Qt::Key_0, none, key::digit(0)},   {Qt::Key_9, none, key::digit(9)},
      {Qt::Key_5, pad, key::Numpad0 + 5}, {Qt::Key_F1, none, key::F1},
      {Qt::Key_F24, none, 0x87},          {Qt::Key_Return, none, key::Return},
      {Qt::Key_Enter, pad, key::Return},  {Qt::Key_Backtab, Qt::ShiftModifier, key::Tab},
      {Qt::Key_Plus, none, key::OemPlus}, {Qt::Key_Equal, none, key::OemPlus},
      {Qt::Key_Minus, none, key::OemMinus}, {Qt::Key_Plus, pad, key::Add},
      {Qt::Key_Plus, Qt::ShiftModifier, key::OemPlus}, {Qt::Key_Underscore, Qt::ShiftModifier, key::OemMinus},
      {Qt::Key_Minus, pad, key::Subtract}, {Qt::Key_Asterisk, pad, key::Multiply},
      {Qt::Key_Slash, pad, key::Divide},  {Qt::Key_Period, pad, key::Decimal},
      {Qt::Key_Home, pad, key::Home},     {Qt::Key_PageDown, none, key::PageDown},
      {Qt::Key_Control, none, key::Control}, {Qt::Key_Backspace, none, key::Back},
      {Qt::Key_Asterisk, none, 0},        {Qt::Key_Meta, none, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qt::virtual_key(c.qt_key, c.modifiers), c.code) << "Qt key 0x" << std::hex << c.qt_key;
  }
}

TEST(QtKeys, AcceleratorTextsNameModifiersAndKey) {
  struct Case {
    uint16_t key;
    uint8_t modifiers;
    const char* text;
  };
  const Case cases[] = {
      {key::letter('S'), key::ModControl | key::ModShift, "Ctrl+Shift+S"},
      {key::Add, 0, "Num +"},
      {key::Numpad0 + 7, 0, "Num 7"},
      {key::function(11), 0, "F11"},
      {key::function(24), key::ModShift, "Shift+F24"},
      {key::Return, key::ModAlt, "Alt+Enter"},
      {key::Escape, 0, "Esc"},
      {key::Space, 0, "Space"},
      {key::Back, 0, "Backspace"},
      {key::Delete, key::ModControl, "Ctrl+Delete"},
      {key::digit(0), key::ModControl, "Ctrl+0"},
      {key::OemMinus, key::ModControl, "Ctrl+-"},
      {0x07, key::ModControl, ""},  // no name: no text at all
  };
  for (const Case& c : cases) EXPECT_EQ(qt::accelerator_text(c.key, c.modifiers), QString(c.text));
}

TEST_F(QtWindowTest, BuildsAFixedSizeWindowAroundTheClientArea) {
  EXPECT_EQ(window_->title(), u"Tesmo64");
  EXPECT_EQ(frame()->windowTitle(), QStringLiteral("Tesmo64"));
  EXPECT_STREQ(window_->class_name(), "ZUK_TESMO");
  EXPECT_EQ(frame()->objectName(), QStringLiteral("ZUK_TESMO"));
  const Qt::WindowFlags flags = frame()->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(frame()->minimumSize(), frame()->maximumSize());  // the user cannot resize it

  const Rect client = window_->client_rect(), outer = window_->window_rect();
  EXPECT_EQ(client.width(), 400);
  EXPECT_EQ(client.height(), 300);
  // The menu bar lies above the client area, inside the frame.
  EXPECT_GE(client.top - outer.top, window_->menu_bar()->sizeHint().height());
  EXPECT_LE(client.bottom, outer.bottom);
}

TEST_F(QtWindowTest, MenuItemsAreAddressedById) {
  Menu& menu = window_->menu();
  for (uint16_t id : {kFileMenu, kViewMenu, kEditMenu, kOpen, kNoLoop, kLoop, kTopmost, kQuit, kUndo}) {
    EXPECT_TRUE(menu.has_item(id)) << id;
    EXPECT_TRUE(menu.is_enabled(id)) << id;
  }
  EXPECT_FALSE(menu.has_item(0));  // labels and separators carry no id
  EXPECT_FALSE(menu.has_item(9999));
  EXPECT_FALSE(menu.is_enabled(9999));

  menu.set_checked(kLoop, true);
  menu.set_checked(kTopmost, true);
  menu.set_checked(kQuit, true);  // any item can carry a check mark
  EXPECT_TRUE(menu.is_checked(kLoop) && menu.is_checked(kTopmost) && menu.is_checked(kQuit));
  EXPECT_FALSE(menu.is_checked(kNoLoop));
  menu.set_checked(kTopmost, false);
  EXPECT_FALSE(menu.is_checked(kTopmost));

  menu.set_enabled(kUndo, false);
  menu.set_enabled(kEditMenu, false);
  EXPECT_FALSE(menu.is_enabled(kUndo));
  EXPECT_FALSE(menu.is_enabled(kEditMenu));
  EXPECT_FALSE(window_->qt_menu().action(kEditMenu)->menu()->isEnabled());
  menu.set_enabled(kEditMenu, true);
  EXPECT_TRUE(window_->qt_menu().action(kEditMenu)->menu()->isEnabled());
}

TEST_F(QtWindowTest, LabelsShowTheFirstAcceleratorKeyButGetNoShortcut) {
  struct Case {
    uint16_t id;
    QString text;
  };
  const Case cases[] = {
      {kOpen, QString::fromUtf16(u"開く\tCtrl+Shift+S")},
      {kNoLoop, QString::fromUtf16(u"ループしない\tNum +")},
      {kTopmost, QString::fromUtf16(u"常に手前\tF11")},
      {kQuit, QString::fromUtf16(u"終了\tAlt+Enter")},
      {kUndo, QString::fromUtf16(u"元に戻す")},
  };
  for (const Case& c : cases) {
    const QAction* action = window_->qt_menu().action(c.id);
    EXPECT_EQ(action->text(), c.text) << c.id;
    EXPECT_TRUE(action->shortcut().isEmpty()) << c.id;
  }
}

TEST_F(QtWindowTest, TriggeringAnItemQueuesItsCommandAndLeavesTheCheckToTheSystem) {
  drain();
  QAction* topmost = window_->qt_menu().action(kTopmost);
  topmost->trigger();
  EXPECT_FALSE(window_->menu().is_checked(kTopmost));
  window_->menu().set_checked(kTopmost, true);
  topmost->trigger();
  EXPECT_TRUE(window_->menu().is_checked(kTopmost));
  window_->qt_menu().action(kUndo)->trigger();

  const std::vector<Event> commands = drain(EventKind::Command);
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0].code, kTopmost);
  EXPECT_EQ(commands[1].code, kTopmost);
  EXPECT_EQ(commands[2].code, kUndo);
}

// Radio items are drawn as one exclusive group per radio group (check items stay alone); picking
// one changes nothing until the system chooses it.
TEST_F(QtWindowTest, RadioItemsFormExclusiveGroupsAndLeaveTheChoiceToTheSystem) {
  const QtMenu& items = window_->qt_menu();
  const QActionGroup* group = items.action(kLoop)->actionGroup();
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(group->isExclusive());
  EXPECT_EQ(items.action(kNoLoop)->actionGroup(), group);
  EXPECT_EQ(items.action(kTopmost)->actionGroup(), nullptr);

  Menu& menu = window_->menu();
  menu.set_checked(kNoLoop, true);
  drain();
  items.action(kLoop)->trigger();
  EXPECT_TRUE(menu.is_checked(kNoLoop));
  EXPECT_FALSE(menu.is_checked(kLoop));
  menu.set_checked(kLoop, true);  // the system's choice unchecks the other item
  EXPECT_FALSE(menu.is_checked(kNoLoop));
  items.action(kLoop)->trigger();
  EXPECT_TRUE(menu.is_checked(kLoop));
  ASSERT_EQ(drain(EventKind::Command).size(), 2u);
}

TEST_F(QtWindowTest, ScrollInfoRoundTripsAndMapsToTheBarsLastReachablePosition) {
  struct Case {
    ScrollInfo info;
    int qt_max;
  };
  const Case cases[] = {
      {{0, 999, 400, 150}, 600},
      {{0, 299, 300, 0}, 0},   // the page covers the range: nothing to scroll
      {{0, 99, 500, 0}, 0},    // a page longer than the range
      {{10, 109, 50, 30}, 60},
  };
  drain();
  for (ScrollBarKind kind : {ScrollBarKind::Horizontal, ScrollBarKind::Vertical}) {
    for (const Case& c : cases) {
      window_->set_scroll_info(kind, c.info, true);
      EXPECT_EQ(window_->scroll_info(kind), c.info);
      const QScrollBar* bar = window_->scroll_bar(kind);
      EXPECT_EQ(bar->minimum(), c.info.min);
      EXPECT_EQ(bar->maximum(), c.qt_max);
      EXPECT_EQ(bar->pageStep(), c.info.page);
      EXPECT_EQ(bar->value(), c.info.pos);
    }
  }
  EXPECT_TRUE(drain(EventKind::Scroll).empty());  // setting the bars reports nothing
}

TEST_F(QtWindowTest, UserScrollActionsAreReportedAndThePositionLeftToTheSystem) {
  window_->set_scroll_info(ScrollBarKind::Vertical, {0, 999, 400, 150}, true);
  QScrollBar* bar = window_->scroll_bar(ScrollBarKind::Vertical);
  EXPECT_EQ(bar->focusPolicy(), Qt::NoFocus);
  drain();
  struct Case {
    QAbstractSlider::SliderAction action;
    ScrollCode code;
  };
  const Case cases[] = {
      {QAbstractSlider::SliderSingleStepSub, LineUp}, {QAbstractSlider::SliderSingleStepAdd, LineDown},
      {QAbstractSlider::SliderPageStepSub, PageUp},   {QAbstractSlider::SliderPageStepAdd, PageDown},
      {QAbstractSlider::SliderToMinimum, Top},        {QAbstractSlider::SliderToMaximum, Bottom},
  };
  for (const Case& c : cases) {
    bar->triggerAction(c.action);
    EXPECT_EQ(bar->value(), 150) << c.code;
    const std::vector<Event> scrolls = drain(EventKind::Scroll);
    ASSERT_EQ(scrolls.size(), 1u) << c.code;
    EXPECT_EQ(scrolls[0].code, c.code);
    EXPECT_EQ(scrolls[0].bar, 1);
  }

  // Dragging the thumb reports where it is, then where it was let go.
  bar->setSliderDown(true);
  bar->setSliderPosition(420);
  bar->setSliderDown(false);
  const std::vector<Event> drag = drain(EventKind::Scroll);
  ASSERT_GE(drag.size(), 2u);
  EXPECT_EQ(drag.front().code, ThumbTrack);
  EXPECT_EQ(drag.front().value, 420);
  EXPECT_EQ(drag.back().code, ThumbPosition);
  EXPECT_EQ(drag.back().value, 420);
}

TEST_F(QtWindowTest, PaintRequestsCoalesce) {
  drain();
  window_->invalidate();
  window_->invalidate();
  window_->invalidate();
  EXPECT_EQ(drain(EventKind::Paint).size(), 1u);
  window_->invalidate();
  EXPECT_EQ(drain(EventKind::Paint).size(), 1u);
}

TEST_F(QtWindowTest, CloseIsOnlyReportedAndDestroyRemovesTheWindow) {
  show();
  EXPECT_FALSE(frame()->close());
  EXPECT_TRUE(frame()->isVisible());
  EXPECT_EQ(drain(EventKind::Close).size(), 1u);

  QPointer<QWidget> gone = frame();
  window_->destroy();
  window_->destroy();
  EXPECT_EQ(drain(EventKind::Destroy).size(), 1u);
  EXPECT_TRUE(gone.isNull());
  EXPECT_EQ(window_->frame_widget(), nullptr);
  window_->set_title(u"after");  // calls after destroy() change nothing and do not crash
  window_->present(nullptr, 0, 0);
  EXPECT_EQ(window_->window_rect(), Rect{});
}

TEST_F(QtWindowTest, KeysReachTheSystemWithTheirModifiers) {
  drain();
  send(frame(), QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
  send(frame(), QKeyEvent(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier));
  send(frame(), QKeyEvent(QEvent::KeyRelease, Qt::Key_S, Qt::NoModifier, QString(), true));  // repeat
  send(frame(), QKeyEvent(QEvent::KeyRelease, Qt::Key_S, Qt::NoModifier));
  send(frame(), QKeyEvent(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier | Qt::AltModifier));
  send(frame(), QKeyEvent(QEvent::KeyPress, Qt::Key_Meta, Qt::NoModifier));  // no code: dropped

  const std::vector<Event> all = drain();
  std::vector<Event> keys;
  for (const Event& e : all) {
    if (e.kind == EventKind::KeyDown || e.kind == EventKind::KeyUp) keys.push_back(e);
  }
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[0].code, key::Tab);
  EXPECT_EQ(keys[1].code, key::letter('S'));
  EXPECT_EQ(keys[1].modifiers, key::ModControl | key::ModShift);
  EXPECT_EQ(keys[2].kind, EventKind::KeyUp);
  EXPECT_EQ(keys[3].code, key::Add);
  EXPECT_EQ(keys[3].modifiers, key::ModAlt);
}

TEST_F(QtWindowTest, MouseInTheClientAreaAndTheWheelAnywhere) {
  window_->set_style(WindowStyle{.vscroll = true});
  window_->set_scroll_info(ScrollBarKind::Vertical, {0, 999, 400, 150}, true);
  drain();
  const QPointF at(10, 20), global = picture()->mapToGlobal(at);
  auto mouse = [&](QEvent::Type type, QPointF where, Qt::MouseButton button, Qt::MouseButtons held) {
    send(picture(), QMouseEvent(type, where, global, button, held, Qt::NoModifier));
  };
  mouse(QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
  mouse(QEvent::MouseMove, QPointF(11, 22), Qt::NoButton, Qt::RightButton);
  mouse(QEvent::MouseButtonRelease, at, Qt::BackButton, Qt::NoButton);

  // The picture area and the scroll bar leave the wheel alone, so Qt hands it on to the frame.
  auto wheel = [&](QWidget* to, Qt::KeyboardModifiers modifiers) {
    QWheelEvent e(at, global, QPoint(), QPoint(0, -120), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(to, &e);
    return e.isAccepted();
  };
  EXPECT_FALSE(wheel(picture(), Qt::NoModifier));
  EXPECT_FALSE(wheel(window_->scroll_bar(ScrollBarKind::Vertical), Qt::NoModifier));
  EXPECT_EQ(window_->scroll_bar(ScrollBarKind::Vertical)->value(), 150);
  EXPECT_TRUE(wheel(frame(), Qt::ControlModifier));

  const std::vector<Event> all = drain();
  std::vector<Event> got;
  for (const Event& e : all) {
    if (e.kind >= EventKind::MouseDown && e.kind <= EventKind::Scroll) got.push_back(e);
  }
  ASSERT_EQ(got.size(), 4u);
  EXPECT_EQ(got[0].kind, EventKind::MouseDown);
  EXPECT_EQ(got[0].code, static_cast<int>(MouseButton::Right));
  EXPECT_EQ(got[0].x, 10);
  EXPECT_EQ(got[0].y, 20);
  EXPECT_EQ(got[1].kind, EventKind::MouseMove);
  EXPECT_EQ(got[1].y, 22);
  EXPECT_EQ(got[2].kind, EventKind::MouseUp);
  EXPECT_EQ(got[2].code, static_cast<int>(MouseButton::X1));
  EXPECT_EQ(got[3].kind, EventKind::Wheel);
  EXPECT_EQ(got[3].value, -120);
  EXPECT_EQ(got[3].modifiers, key::ModControl);
}

TEST_F(QtWindowTest, PresentShowsTheColoursOnBlack) {
  show();
  // B, G, R, A bytes; the alpha byte must not make the picture transparent.
  const uint32_t pixels[] = {0x00FF0000u, 0x000000FFu, 0x8000FF00u, 0xFFFFFFFFu};
  window_->present(pixels, 2, 2);
  QImage shot = picture()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shot.size(), QSize(400, 300));
  EXPECT_EQ(shot.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(shot.pixel(1, 0), qRgb(0, 0, 255));
  EXPECT_EQ(shot.pixel(0, 1), qRgb(0, 255, 0));
  EXPECT_EQ(shot.pixel(1, 1), qRgb(255, 255, 255));
  EXPECT_EQ(shot.pixel(2, 0), qRgb(0, 0, 0));
  EXPECT_EQ(shot.pixel(399, 299), qRgb(0, 0, 0));

  window_->present(nullptr, 0, 0);
  shot = picture()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 0, 0));
}

TEST_F(QtWindowTest, GeometryPutsTheOuterFrameExactlyWhereAsked) {
  show();
  window_->set_geometry({120, 80}, 640, 480);
  drain();
  Rect outer = window_->window_rect();
  EXPECT_EQ(outer.left, 120);
  EXPECT_EQ(outer.top, 80);
  EXPECT_EQ(window_->client_rect().width(), 640);
  EXPECT_EQ(window_->client_rect().height(), 480);
  // Storing the frame's position and restoring it does not creep by the caption's height.
  for (int run = 0; run < 3; ++run) {
    window_->set_geometry({outer.left, outer.top}, 640, 480);
    drain();
    EXPECT_EQ(window_->window_rect(), outer);
  }
  window_->set_topmost(true);
  drain();
  EXPECT_TRUE(frame()->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(frame()->isVisible());
  EXPECT_EQ(window_->window_rect().left, 120);
  EXPECT_EQ(window_->window_rect().top, 80);
  // Dropping the frame (and getting it back) keeps the outer top-left too.
  for (bool caption : {false, true}) {
    window_->set_style(WindowStyle{.caption = caption});
    drain();
    EXPECT_TRUE(frame()->isVisible());
    EXPECT_EQ(window_->window_rect().left, 120) << caption;
    EXPECT_EQ(window_->window_rect().top, 80) << caption;
  }
}

TEST_F(QtWindowTest, ScrollBarsAndMenuLieOutsideTheClientArea) {
  const Rect plain = window_->window_rect();
  window_->set_style(WindowStyle{.hscroll = true, .vscroll = true});
  const Rect barred = window_->window_rect();
  const int extent = window_->scroll_bar(ScrollBarKind::Vertical)->sizeHint().width();
  EXPECT_EQ(barred.width(), plain.width() + extent);
  EXPECT_GT(barred.height(), plain.height());
  EXPECT_EQ(window_->client_rect().width(), 400);
  EXPECT_EQ(window_->client_rect().height(), 300);

  window_->attach_menu(false);
  EXPECT_TRUE(window_->menu_bar()->isHidden());
  EXPECT_LT(window_->window_rect().height(), barred.height());
  EXPECT_EQ(window_->client_rect().height(), 300);
  EXPECT_TRUE(window_->menu().has_item(kOpen));  // the menu stays alive while detached
  window_->attach_menu(true);
  EXPECT_EQ(window_->window_rect().height(), barred.height());

  // Full screen: no frame, no menu, no bars; the client area is the whole window.
  window_->set_style(WindowStyle{.caption = false, .system_menu = false, .minimize_box = false});
  window_->attach_menu(false);
  show();
  window_->set_geometry({0, 0}, 1024, 768);
  drain();
  EXPECT_TRUE(frame()->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window_->window_rect(), (Rect{0, 0, 1024, 768}));
  EXPECT_EQ(window_->client_rect(), window_->window_rect());
}

TEST_F(QtWindowTest, MinimiseRestoreAndDroppedFilesAreReported) {
  show();
  frame()->setWindowState(Qt::WindowMinimized);
  std::vector<Event> sizes = drain(EventKind::Size);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].code, Minimized);
  frame()->setWindowState(Qt::WindowNoState);
  sizes = drain(EventKind::Size);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].code, Restored);

  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/写真 1.png")),
                QUrl(QStringLiteral("https://example.org/x.png")),  // not a file: left out
                QUrl::fromLocalFile(QStringLiteral("/tmp/b.bmp"))});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  send(frame(), QDropEvent(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier));
  const std::vector<Event> drops = drain(EventKind::DropFiles);
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].files, (std::vector<std::u16string>{u"/tmp/写真 1.png", u"/tmp/b.bmp"}));
}

TEST(QtPlatformTest, QueueKeepsArrivalOrderAndQuitComesLast) {
  drain();
  MainWindowParams params;
  params.client_width = 10;
  params.client_height = 10;
  auto window = g_platform->create_main_window(params);
  drain();
  window->invalidate();
  g_platform->post_quit(3);
  g_platform->wait_event();  // returns at once: events are waiting
  Event e;
  ASSERT_TRUE(g_platform->peek_event(e));
  EXPECT_EQ(e.kind, EventKind::Paint);
  ASSERT_TRUE(g_platform->peek_event(e));
  EXPECT_EQ(e.kind, EventKind::Quit);
  EXPECT_EQ(e.code, 3);
  EXPECT_FALSE(g_platform->peek_event(e));
}

TEST(QtPlatformTest, MessageBoxReturnsTheAnswerGiven) {
  struct Case {
    MessageButtons buttons;
    QMessageBox::StandardButton click;  // NoButton: the box is closed without a button
    MessageAnswer answer;
  };
  const Case cases[] = {
      {MessageButtons::Ok, QMessageBox::Ok, MessageAnswer::Ok},
      {MessageButtons::YesNo, QMessageBox::No, MessageAnswer::No},
      {MessageButtons::YesNoCancel, QMessageBox::Yes, MessageAnswer::Yes},
      {MessageButtons::OkCancel, QMessageBox::NoButton, MessageAnswer::Cancel},
  };
  for (const Case& c : cases) {
    QTimer::singleShot(0, [&c] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), QStringLiteral("題"));
      if (c.click == QMessageBox::NoButton) box->reject();
      else box->button(c.click)->click();
    });
    EXPECT_EQ(g_platform->message_box(u"本文", u"題", MessageIcon::Question, c.buttons), c.answer);
  }
}

// The dialog host: Enter is OK unless Cancel has the focus, Esc is Cancel, the handler sees the
// field's text, and destroy follows once however the dialog ends.
TEST(QtPlatformTest, ModalDialogsFollowTheirHandler) {
  static constexpr ControlTemplate kControls[] = {
      {kNoControlId, ControlKind::Static, u"倍率", {10, 10, 100, 30}},
      {11, ControlKind::Edit, u"", {10, 40, 150, 64}},
      {1097, ControlKind::OwnerDrawButton, u"OK", {10, 80, 98, 101}},
      {1098, ControlKind::OwnerDrawButton, u"キャンセル", {110, 80, 198, 101}},
  };
  static constexpr DialogTemplate kDialog{159, u"題", 220, 120, kControls, 1097, 1098};
  struct Handler : DialogHandler {
    void init(Dialog& d) override { d.set_text(11, u"12.5"); }
    void command(Dialog& d, uint16_t id, int n) override {
      if (id == 1097) field = d.text(11);
      DialogHandler::command(d, id, n);
    }
    void destroy(Dialog&) override { ++destroyed; }
    std::u16string field;
    int destroyed = 0;
  };
  struct Case {
    bool focus_cancel;
    int key;
    int code;
  };
  for (const Case c : {Case{false, Qt::Key_Return, kDialogOk}, Case{true, Qt::Key_Return, kDialogCancel},
                       Case{false, Qt::Key_Escape, kDialogCancel}}) {
    Handler h;
    QTimer::singleShot(50, [&c] {
      QWidget* d = QApplication::activeModalWidget();
      ASSERT_NE(d, nullptr);
      if (c.focus_cancel) {
        for (auto* b : d->findChildren<QPushButton*>())
          if (b->text() == QStringLiteral("キャンセル")) b->setFocus();
      }
      QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
      QApplication::sendEvent(d->focusWidget() ? d->focusWidget() : d, &press);
    });
    EXPECT_EQ(g_platform->run_modal_dialog(kDialog, h), c.code);
    EXPECT_EQ(h.destroyed, 1);
    EXPECT_EQ(h.field, c.code == kDialogOk ? u"12.5" : u"");
  }
}

// Edits: a read-only edit refuses typing; a part of an edit's text can be selected after the focus.
TEST(QtPlatformTest, EditsSelectPartOfTheirTextAndCanBeReadOnly) {
  static constexpr ControlTemplate kControls[] = {
      {41, ControlKind::Edit, u"", {10, 10, 200, 34}},
      {42, ControlKind::Edit, u"", {10, 40, 200, 64}, 0, kReadOnly},
  };
  static constexpr DialogTemplate kDialog{149, u"題", 220, 120, kControls};
  struct Handler : DialogHandler {
    void init(Dialog& d) override {
      d.set_text(41, u"photo.bmp");
      d.set_focus(41);
      d.select_text(41, 0, 5);
      d.set_text(42, u"fixed");
      QTimer::singleShot(0, [&d, this] {
        QWidget* w = QApplication::activeModalWidget();
        auto edits = w->findChildren<QLineEdit*>();
        for (QLineEdit* e : edits) {
          if (e->text() == QStringLiteral("photo.bmp")) selected = e->selectedText().toStdU16String();
          else read_only = e->isReadOnly();
        }
        d.end(kDialogOk);
      });
    }
    std::u16string selected;
    bool read_only = false;
  } h;
  EXPECT_EQ(g_platform->run_modal_dialog(kDialog, h), kDialogOk);
  EXPECT_EQ(h.selected, u"photo");
  EXPECT_TRUE(h.read_only);
}

TEST(QtPlatformTest, ComboBoxesAreRefilledAfterClearing) {
  static constexpr ControlTemplate kControls[] = {
      {21, ControlKind::ComboBox, u"", {10, 10, 200, 34}},
      {1097, ControlKind::OwnerDrawButton, u"OK", {10, 80, 98, 101}},
      {1098, ControlKind::OwnerDrawButton, u"キャンセル", {110, 80, 198, 101}},
  };
  static constexpr DialogTemplate kDialog{162, u"題", 220, 120, kControls, 1097, 1098};
  struct Handler : DialogHandler {
    void init(Dialog& d) override {
      for (auto t : {u"a", u"b", u"c"}) d.add_item(21, t);
      d.set_selection(21, 2);
      d.clear_items(21);
      cleared = d.selection(21);
      for (auto t : {u"x", u"y"}) d.add_item(21, t);
      d.set_selection(21, 1);
      text = d.text(21);
      d.end(kDialogOk);
    }
    int cleared = 0;
    std::u16string text;
  } h;
  EXPECT_EQ(g_platform->run_modal_dialog(kDialog, h), kDialogOk);
  EXPECT_EQ(h.cleared, -1);
  EXPECT_EQ(h.text, u"y");
}

// Lists, bars and up-down controls as handlers use them: a multiple-selection list keeps several
// selected, removing renumbers, an up-down steps its buddy's number inside its range (continuing
// from what was typed there), and a report list takes columns and rows.
TEST(QtPlatformTest, ListsBarsAndUpDownsHoldWhatHandlersPutThere) {
  static constexpr ControlTemplate kControls[] = {
      {31, ControlKind::ListBox, u"", {10, 10, 200, 90}, 0, kMultipleSelection},
      {32, ControlKind::Edit, u"", {10, 100, 60, 124}},
      {33, ControlKind::UpDown, u"", {60, 100, 76, 124}, 32},
      {34, ControlKind::ProgressBar, u"", {10, 130, 200, 146}},
      {35, ControlKind::ListView, u"", {10, 150, 200, 250}},
      {1097, ControlKind::OwnerDrawButton, u"OK", {10, 260, 98, 281}},
      {1098, ControlKind::OwnerDrawButton, u"キャンセル", {110, 260, 198, 281}},
  };
  static constexpr DialogTemplate kDialog{126, u"題", 220, 300, kControls, 1097, 1098};
  struct Handler : DialogHandler {
    void init(Dialog& d) override {
      for (auto t : {u"a", u"b", u"c", u"d"}) d.add_item(31, t);
      d.set_item_selected(31, 1, true);
      d.set_item_selected(31, 3, true);
      selected = d.selected_items(31);
      d.remove_item(31, 1);
      after_remove = d.selected_items(31);
      third = d.item_text(31, 2);
      d.set_range(33, 0, 31);
      d.set_position(33, 30);
      buddy = d.text(32);
      d.set_range(34, 0, 10);
      d.set_position(34, 40);
      bar = d.position(34);
      static constexpr ListColumn kColumns[] = {{u"", 20}, {u"項目", 100}};
      d.set_columns(35, kColumns);
      const std::u16string row[] = {u"", u"Make"};
      d.add_row(35, 0, row);
      rows = d.item_count(35);
    }
    void command(Dialog& d, uint16_t id, int n) override {
      if (id == 33) steps.push_back(d.position(33));
      DialogHandler::command(d, id, n);
    }
    std::vector<int> selected, after_remove, steps;
    std::u16string third, buddy;
    int bar = 0, rows = 0;
  } h;
  QTimer::singleShot(50, [] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    auto arrows = d->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QToolButton* up = arrows[0]->arrowType() == Qt::UpArrow ? arrows[0] : arrows[1];
    up->click();  // 30 → 31
    up->click();  // held at 31
    auto* edit = d->findChildren<QLineEdit*>().front();
    edit->setText(QStringLiteral("5"));
    up->click();  // continues from the typed 5
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(d, &esc);
  });
  EXPECT_EQ(g_platform->run_modal_dialog(kDialog, h), kDialogCancel);
  EXPECT_EQ(h.selected, (std::vector<int>{1, 3}));
  EXPECT_EQ(h.after_remove, (std::vector<int>{2}));
  EXPECT_EQ(h.third, u"d");
  EXPECT_EQ(h.buddy, u"30");
  EXPECT_EQ(h.bar, 10);
  EXPECT_EQ(h.rows, 1);
  EXPECT_EQ(h.steps, (std::vector<int>{31, 31, 6}));
}

// A dialog with a timer hears from it while it runs modal, until its handler ends it; the timer
// stops with the dialog.
TEST(QtPlatformTest, ModalDialogTicksUntilItsHandlerEndsIt) {
  static constexpr ControlTemplate kControls[] = {{41, ControlKind::ProgressBar, u"", {10, 10, 200, 26}}};
  static constexpr DialogTemplate kDialog{220, u"題", 220, 40, kControls, 1, 2, false, 5};
  struct Handler : DialogHandler {
    void tick(Dialog& d) override {
      d.set_position(41, ++ticks);
      if (ticks == 3) d.end(kDialogOk);
    }
    void destroy(Dialog& d) override { bar = d.position(41); }
    int ticks = 0, bar = 0;
  } h;
  EXPECT_EQ(g_platform->run_modal_dialog(kDialog, h), kDialogOk);
  EXPECT_EQ(h.ticks, 3);
  EXPECT_EQ(h.bar, 3);
}

// An edit tells its handler when the focus leaves it, so a typed value can be held to its range.
TEST(QtPlatformTest, EditsReportLosingTheFocus) {
  static constexpr ControlTemplate kControls[] = {
      {41, ControlKind::Edit, u"", {10, 10, 100, 34}},
      {42, ControlKind::Edit, u"", {10, 40, 100, 64}},
      {1097, ControlKind::OwnerDrawButton, u"OK", {10, 80, 98, 101}},
      {1098, ControlKind::OwnerDrawButton, u"キャンセル", {110, 80, 198, 101}},
  };
  static constexpr DialogTemplate kDialog{124, u"題", 220, 120, kControls, 1097, 1098};
  struct Handler : DialogHandler {
    void command(Dialog& d, uint16_t id, int n) override {
      if (n == kEditFocusLost) lost.push_back(id);
      DialogHandler::command(d, id, n);
    }
    std::vector<uint16_t> lost;
  } h;
  QTimer::singleShot(50, [] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    d->activateWindow();
    auto edits = d->findChildren<QLineEdit*>();
    ASSERT_EQ(edits.size(), 2);
    edits[0]->setFocus();
    QApplication::processEvents();
    edits[1]->setFocus();
    QApplication::processEvents();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(d, &esc);
  });
  EXPECT_EQ(g_platform->run_modal_dialog(kDialog, h), kDialogCancel);
  ASSERT_FALSE(h.lost.empty());
  EXPECT_EQ(h.lost.front(), 41);
}

// The clipboard carries a picture without its alpha bytes (rows padded to 4 bytes) and CP932 text
// as the desktop's text.
TEST(QtPlatformTest, ClipboardTakesPicturesAndText) {
  const uint32_t pixels[] = {0x80FF0000u, 0x0000FF00u, 0x000000FFu};
  ASSERT_TRUE(g_platform->set_clipboard_bitmap(pixels, 3, 1));
  auto b = g_platform->read_clipboard_bitmap();
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->width, 3);
  EXPECT_EQ(b->bits, 24);
  EXPECT_EQ(b->rows, (std::vector<uint8_t>{0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0}));
  ASSERT_TRUE(g_platform->set_clipboard_text("\x82\xa0, 0x00FF0000"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("あ, 0x00FF0000"));
}

TEST(QtPlatformTest, SaveChooserStartsWithTheRequestAndReturnsTheChoice) {
  SaveFileRequest request;
  request.title = u"別名で保存";
  request.filter = {{u"BMP (*.bmp)", u"*.bmp"}, {u"TGA (*.tga)", u"*.tga"}};
  request.filter_index = 2;
  request.default_extension = u"bmp";
  request.initial_folder = QDir::tempPath().toStdU16String();
  request.initial_name = u"photo";
  for (bool accept : {true, false}) {
    QString title, suffix, filter;
    QTimer::singleShot(50, [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      title = d->windowTitle();
      suffix = d->defaultSuffix();
      filter = d->selectedNameFilter();
      QMetaObject::invokeMethod(d, accept ? "accept" : "reject");
    });
    const auto chosen = g_platform->choose_save_file(request);
    EXPECT_EQ(title, QStringLiteral("別名で保存"));
    EXPECT_EQ(suffix, QStringLiteral("bmp"));
    EXPECT_EQ(filter, QStringLiteral("TGA (*.tga)"));  // the text as shown, its patterns said once
    ASSERT_EQ(chosen.has_value(), accept);
    if (accept) {
      EXPECT_EQ(QString::fromStdU16String(chosen->path), QDir::tempPath() + QStringLiteral("/photo.bmp"));
      EXPECT_EQ(chosen->filter_index, 2);
    }
  }
}

TEST(QtPlatformTest, MetricsScreenAndClockAreSensible) {
  MainWindowParams params;  // a shown window without a menu must not make the menu height 0
  params.client_width = 10;
  params.client_height = 10;
  auto window = g_platform->create_main_window(params);
  window->show();
  drain();
  const Metrics m = g_platform->metrics();
  for (int v : {m.caption, m.menu, m.dialog_frame_x, m.dialog_frame_y, m.vscroll_width, m.hscroll_height}) {
    EXPECT_GT(v, 0);
  }
  const Size screen = g_platform->screen_size();
  EXPECT_GT(screen.width, 0);
  const std::optional<Rect> work = g_platform->work_area();
  ASSERT_TRUE(work.has_value());
  EXPECT_LE(work->width(), screen.width);
  EXPECT_LE(work->height(), screen.height);

  const uint32_t before = g_platform->now_ms();
  g_platform->sleep_ms(20);
  EXPECT_GE(static_cast<uint32_t>(g_platform->now_ms() - before), 20u);
  EXPECT_FALSE(g_platform->key_held(key::letter('A')));
}

}  // namespace
}  // namespace tesmo::platform

int main(int argc, char** argv) {
  // Qt reads the window system's name when the application object is made.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  std::unique_ptr<tesmo::platform::Platform> platform = tesmo::platform::make_qt_platform(argc, argv);
  tesmo::platform::g_platform = platform.get();
  const int result = RUN_ALL_TESTS();
  tesmo::platform::g_platform = nullptr;
  return result;
}
