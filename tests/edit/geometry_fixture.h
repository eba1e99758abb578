// The viewer with a picture of known pixels opened, for the geometry edit tests: every pixel of the
// image different, and an alpha channel whose every value differs too (when asked for).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "edit/edit.h"
#include "edit/geometry_edits.h"
#include "platform/fake/fake_platform.h"
#include "surface/surface.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo::testing {

// Pixel (x, y) of the generated pictures: colour from the position, alpha 20 + the index (mod 236).
inline uint32_t test_colour(int x, int y) {
  return static_cast<uint32_t>((x * 7 + 1) & 0xFF) << 16 | static_cast<uint32_t>((y * 5 + 2) & 0xFF) << 8 |
         static_cast<uint32_t>((x + y * 3) & 0xFF);
}
inline uint8_t test_alpha(int x, int y, int w) { return static_cast<uint8_t>(20 + (y * w + x) % 236); }

// Writes a w × h picture of test colours (opaque, or 32-bit with the test alphas) as a BMP file.
inline void write_test_picture(const std::u16string& path, int w, int h, bool alpha, uint32_t colour_offset = 0) {
  SurfaceTable t;
  ASSERT_EQ(surface_create(t, 1, w, h), 0);
  uint32_t* px = surface_find(t, 1)->pixels();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t a = alpha ? test_alpha(x, y, w) : 255u;
      px[y * w + x] = a << 24 | ((test_colour(x, y) + colour_offset) & 0xFFFFFF);
    }
  }
  ASSERT_EQ(surface_save(t, 1, path, alpha ? 32 : 24, nullptr), 0);
}

class GeometryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    app = make_fake_viewer(fake, tmp.folder());
  }
  void open(int w, int h, bool alpha) {
    const std::u16string path = tmp.folder() + u"pic.bmp";
    write_test_picture(path, w, h, alpha);
    ASSERT_EQ(app->viewer.open_file(path, -1, -1), 0);
    app->shell.active = true;
  }
  const Surface* surface(int32_t key) { return surface_find(app->doc.surfaces(), key); }
  std::vector<uint32_t> pixels(int32_t key) {
    const Surface* s = surface(key);
    return s ? std::vector<uint32_t>(s->pixels(), s->pixels() + s->pixel_count()) : std::vector<uint32_t>{};
  }
  uint32_t at(int32_t key, int x, int y) { return surface(key)->pixels()[y * surface(key)->width + x]; }
  // The image's colour and the alpha channel's value at (x, y).
  uint32_t colour(int x, int y) { return at(kKeyImage, x, y) & 0xFFFFFF; }
  uint32_t alpha(int x, int y) { return at(kKeyAlpha, x, y) & 0xFF; }
  std::pair<int32_t, int32_t> size(int32_t key) { return {surface(key)->width, surface(key)->height}; }
  size_t history() const { return app->doc.edit_history.size(); }
  bool modified() const { return app->doc.view().flags & kModified; }

  TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

}  // namespace tesmo::testing
