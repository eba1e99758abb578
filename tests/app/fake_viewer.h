// The viewer as the application tests drive it: an Application on the fake platform, its window
// opened by the program's own wiring (open_main_window) at (100, 100).
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "platform/fake/fake_platform.h"
#include "resources/dialog_templates.h"
#include "resources/resources.h"
#include "shell/dialog_skin.h"
#include "shell/menu_options.h"
#include "shell/scroll_bar.h"
#include "surface/surface.h"

namespace tesmo::testing {

inline std::unique_ptr<Application> make_fake_viewer(platform::FakePlatform& fake, const std::u16string& folder) {
  auto app = std::make_unique<Application>(folder);
  app->shell.settings().window_x = 100;
  app->shell.settings().window_y = 100;
  open_main_window(*app, fake);
  return app;
}

// The viewer as the program starts it (run_viewer's wiring) on the fake platform, with `path` on
// the command line (none when empty). The window stays inactive, so the loop stops once the fake's
// events run out (an active window with a picture paints for ever); the application stays for the
// test to drive further: events through run_message_loop, frames through frame_update(0).
inline void start_viewer(Application& app, platform::FakePlatform& fake, const std::u16string& path) {
  std::vector<std::u16string> args{u"tesmo64"};
  if (!path.empty()) args.push_back(path);
  run_viewer(app, fake, parse_command_line(args));
}

// Scripts the next New dialog: the user types `w` and `h`, picks the depth (24 or 32) and presses OK.
inline void answer_new_picture(platform::FakePlatform& fake, int w, int h, int bits) {
  using platform::DialogStep;
  auto text = [](int n) { const std::string s = std::to_string(n); return std::u16string(s.begin(), s.end()); };
  fake.dialog_scripts.push_back({resources::kNewDialogId, std::nullopt,
                                 {{DialogStep::SetText, resources::kNewWidthField, text(w)},
                                  {DialogStep::SetText, resources::kNewHeightField, text(h)},
                                  {DialogStep::Check, bits == 24 ? resources::kNewBits24 : resources::kNewBits32},
                                  {DialogStep::Press, kSkinOkId}}});
}

// Writes a w × h picture of one colour as a 24-bit BMP; 0 when written.
inline int write_flat_bmp(const std::u16string& path, int w, int h, uint32_t colour = 0xFF336699u) {
  SurfaceTable t;
  if (surface_create(t, 1, w, h) != 0) return 1;
  std::fill_n(surface_find(t, 1)->pixels(), static_cast<size_t>(w) * h, colour);
  return surface_save(t, 1, path, 24, nullptr);
}

// Writes `pixels` (w × h words B, G, R, A) as `path`, a BMP of 32 bits when `alpha` (else 24, the
// alpha bytes dropped), and shows it. 0 when it is shown.
inline int open_picture(Application& app, const std::u16string& path, const std::vector<uint32_t>& pixels, int w,
                        int h, bool alpha) {
  SurfaceTable t;
  if (surface_create(t, 1, w, h) != 0) return 1;
  std::copy(pixels.begin(), pixels.end(), surface_find(t, 1)->pixels());
  if (surface_save(t, 1, path, alpha ? 32 : 24, nullptr) != 0) return 1;
  return app.viewer.open_file(path, -1, -1);
}

// The pixels of surface `key` (empty when it is missing).
inline std::vector<uint32_t> surface_pixels(Application& app, int32_t key) {
  const Surface* s = surface_find(app.doc.surfaces(), key);
  return s ? std::vector<uint32_t>(s->pixels(), s->pixels() + s->pixel_count()) : std::vector<uint32_t>{};
}

}  // namespace tesmo::testing
