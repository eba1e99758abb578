// The main window's event handling (what each message of the window does) and the viewer's start,
// message loop and shutdown.
#pragma once

#include "app/command_line.h"
#include "platform/platform.h"

namespace tesmo {

class Application;

// One event addressed to the main window.
void handle_main_window_event(Application& app, const platform::Event& e);

// The one wiring of the window side, used by the program and the tests alike: the main window
// (400 × 300 client at the stored place) with its menu checks, scroll bars and fonts, the image
// commands greyed. False when the window cannot be created.
bool open_main_window(Application& app, platform::Platform& platform);

// Creates the main window (400 × 300 client at the stored place), its scroll bars and menu state,
// opens the start file and runs the message loop until Quit. Returns the quit code, or 0 when the
// window cannot be created. The windowless forms never reach this.
int run_viewer(Application& app, platform::Platform& platform, const CommandLine& command_line);

// The message loop: each waiting event goes to the accelerators (only while the main window is in
// the foreground), then to the modeless dialogs in slot order, then to the window. With nothing
// waiting, an active window composes one frame and sleeps 1 ms; an inactive one waits.
int run_message_loop(Application& app);

}  // namespace tesmo
