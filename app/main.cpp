// The viewer's entry: settings first, then the command line (which may end the run without a
// window), then the window system and the message loop.
#include <vector>

#include "app/application.h"
#include "app/main_window.h"
#include "app/windowless.h"
#include "base/path.h"
#include "base/text.h"
#include "platform/freetype/freetype_glyphs.h"
#include "platform/qt/qt_platform.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 0; i < argc; ++i) args.push_back(tesmo::utf8_to_utf16(argv[i]));

  auto app = std::make_unique<tesmo::Application>(tesmo::program_folder());
  tesmo::CommandLine command_line = tesmo::parse_command_line(args);
  if (auto code = tesmo::run_windowless(command_line)) return *code;

  auto platform = tesmo::platform::make_qt_platform(argc, argv);
  app->shell.glyphs = tesmo::platform::make_freetype_glyph_service();
  int code = tesmo::run_viewer(*app, *platform, command_line);
  app.reset();  // the Application goes before the window system
  return code;
}
