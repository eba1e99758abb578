// The viewer on the Qt platform (offscreen), set up by run_viewer as the program sets it up: the
// modeless dialogs across the end of the message loop and the destruction of the Application.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/application.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "base/path.h"
#include "base/text.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_widgets.h"
#include "resources/command_ids.h"
#include "resources/effect_commands.h"
#include "surface/surface.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

platform::Platform* g_platform = nullptr;

constexpr uint16_t kBrightness = resources::EffectBrightness;  // an effect dialog
constexpr uint16_t kModelessCommands[] = {kBrightness, cmd::DummyFileGenerator, cmd::FallingObjectController,
                                          cmd::FilePackModule, cmd::PathGenerator};

// Runs `steps` once the message loop is running (the set-up before it processes no events).
void when_running(Application& app, std::function<void()> steps) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, &app, steps] {
    if (!app.shell.hbar) return;
    timer->stop();
    timer->deleteLater();
    steps();
  });
  timer->start();
}

// Every modeless dialog opened, then closed through its close box (or left open), then Quit: the
// loop ends with 0 and the Application goes after it as in the program, whichever went first.
TEST(QtViewer, QuitAfterModelessDialogsEndsInOrder) {
  for (bool close_them : {true, false}) {
    testing::TempFolder tmp;
    const std::u16string picture = tmp.file("pic.bmp");
    {
      SurfaceTable t;
      ASSERT_EQ(surface_create(t, 1, 8, 8), 0);
      ASSERT_EQ(surface_save(t, 1, picture, 24, nullptr), 0);
    }
    auto app = std::make_unique<Application>(tmp.folder());
    size_t opened = 0;
    when_running(*app, [&] {
      ASSERT_EQ(app->viewer.open_file(picture, -1, -1), 0);
      for (uint16_t id : kModelessCommands) dispatch_command(*app, id);
      // Closing one dialog may delete other top-level widgets (its pop-ups): the visible dialogs
      // are gathered first and each is closed only while it still exists.
      std::vector<QPointer<QDialog>> shown;
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<QDialog*>(w);
        if (d && d->isVisible()) shown.emplace_back(d);
      }
      opened = shown.size();
      for (const QPointer<QDialog>& d : shown) {
        if (close_them && d) d->close();
      }
      dispatch_command(*app, cmd::Quit);
    });
    EXPECT_EQ(run_viewer(*app, *g_platform, parse_command_line({u"tesmo64"})), 0) << close_them;
    EXPECT_EQ(opened, std::size(kModelessCommands)) << close_them;
    app.reset();
  }
}

// The window manager drags the frame while a button is held: the window is half transparent until
// the button comes up. Moves the system makes itself, even with a button held, change nothing.
TEST(QtViewer, HalfOpacityWhileTheUserDragsTheWindow) {
  testing::TempFolder tmp;
  auto app = std::make_unique<Application>(tmp.folder());
  bool held = false;
  double before = 0, during = 0, after = 0;
  when_running(*app, [&] {
    auto* frame = static_cast<platform::qt::FrameWidget*>(
        dynamic_cast<platform::qt::QtMainWindow&>(*app->shell.window).frame_widget());
    frame->drag().set_probe([&held](const QWidget& w) {
      return std::optional(platform::qt::PointerSample{.button_held = held, .place = w.pos()});
    });
    held = true;
    app->shell.window->move({frame->x() + 7, frame->y() + 5});
    QTimer::singleShot(400, [&, frame] {
      before = frame->windowOpacity();
      frame->move(frame->pos() + QPoint(40, 30));  // as the window manager moves it
      QTimer::singleShot(100, [&, frame] {
        during = frame->windowOpacity();
        held = false;
        QTimer::singleShot(200, [&, frame] {
          after = frame->windowOpacity();
          dispatch_command(*app, cmd::Quit);
        });
      });
    });
  });
  EXPECT_EQ(run_viewer(*app, *g_platform, parse_command_line({u"tesmo64"})), 0);
  EXPECT_EQ(before, 1.0);
  EXPECT_NEAR(during, 128 / 255.0, 0.01);
  EXPECT_EQ(after, 1.0);
  app.reset();
}

// The processor time this process has used, in milliseconds (every thread).
double process_cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

// With a picture shown and nothing happening the loop sleeps in the window system's wait (well
// under 3 % of a core); a mouse move over the picture wakes it for a frame at once.
TEST(QtViewer, AnIdleViewerSleepsUntilTheNextEvent) {
  testing::TempFolder tmp;
  const std::u16string picture = tmp.file("pic.bmp");
  {
    SurfaceTable t;
    ASSERT_EQ(surface_create(t, 1, 64, 48), 0);
    ASSERT_EQ(surface_save(t, 1, picture, 24, nullptr), 0);
  }
  auto app = std::make_unique<Application>(tmp.folder());
  double idle_cpu_ms = -1;
  uint32_t idle_frames = 0, frames_before_move = 0, frames_after_move = 0;
  when_running(*app, [&] {
    ASSERT_EQ(app->viewer.open_file(picture, -1, -1), 0);
    app->shell.active = true;
    QTimer::singleShot(300, [&] {
      const double cpu = process_cpu_ms();
      const uint32_t frames = app->viewer.frames_drawn();
      QTimer::singleShot(1000, [&, cpu, frames] {
        idle_cpu_ms = process_cpu_ms() - cpu;
        idle_frames = app->viewer.frames_drawn() - frames;
        frames_before_move = app->viewer.frames_drawn();
        for (QWidget* w : QApplication::allWidgets()) {
          if (dynamic_cast<platform::qt::PictureArea*>(w)) {
            QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), w->mapToGlobal(QPointF(10, 10)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(w, &move);
          }
        }
        QTimer::singleShot(100, [&] {
          frames_after_move = app->viewer.frames_drawn();
          dispatch_command(*app, cmd::Quit);
        });
      });
    });
  });
  EXPECT_EQ(run_viewer(*app, *g_platform, parse_command_line({u"tesmo64"})), 0);
  EXPECT_GE(idle_cpu_ms, 0);
  EXPECT_LE(idle_cpu_ms, 30) << "over one idle second";
  EXPECT_LE(idle_frames, 1u);
  EXPECT_GT(frames_after_move, frames_before_move);
  app.reset();
}

// The standard windows as the user meets them: a chooser shows each filter text once, and message
// box buttons speak Japanese.
TEST(QtStandardWindows, ChoosersShowFilterTextsOnceAndButtonsSpeakJapanese) {
  QStringList shown;
  auto* poll = new QTimer;
  int polls = 0;
  QObject::connect(poll, &QTimer::timeout, [&, poll] {
    auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!chooser && ++polls < 500) return;
    if (chooser) {
      if (auto* types = chooser->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
      }
      chooser->reject();
    }
    poll->stop();
    poll->deleteLater();
  });
  poll->start(10);
  platform::OpenFileRequest request;
  request.title = u"開く";
  request.filter = {{u"BMP (*.bmp, *.ico, *.cur)", u"*.bmp;*.ico;*.cur"}, {u"Text File (*.txt)", u"*.txt"}};
  EXPECT_FALSE(g_platform->choose_open_file(request));
  EXPECT_EQ(shown, (QStringList{QStringLiteral("BMP (*.bmp, *.ico, *.cur)"), QStringLiteral("Text File (*.txt)")}));

  QMessageBox box;
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("はい")));
  EXPECT_TRUE(box.button(QMessageBox::No)->text().contains(QStringLiteral("いいえ")));
}

// Del's trash is the user's own (here the data home the environment names), never a folder beside
// the program.
TEST(QtStandardWindows, TheTrashIsTheUsersOwn) {
  testing::TempFolder tmp;
  const std::u16string file = tmp.file("a.bmp");
  std::ofstream(to_fs_path(file)) << "picture";
  const std::string data = utf16_to_utf8(tmp.folder()) + "data";
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  EXPECT_TRUE(g_platform->move_to_trash(file));
  unsetenv("XDG_DATA_HOME");
  EXPECT_FALSE(std::filesystem::exists(to_fs_path(file)));
  EXPECT_TRUE(std::filesystem::exists(data + "/Trash/files/a.bmp"));
  EXPECT_TRUE(std::filesystem::exists(data + "/Trash/info/a.bmp.trashinfo"));
}

}  // namespace
}  // namespace tesmo

int main(int argc, char** argv) {
  // Qt reads the window system's name when the application object is made.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  std::unique_ptr<tesmo::platform::Platform> platform = tesmo::platform::make_qt_platform(argc, argv);
  tesmo::g_platform = platform.get();
  const int result = RUN_ALL_TESTS();
  tesmo::g_platform = nullptr;
  return result;
}
