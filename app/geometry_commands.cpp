// The geometry items of the edit menu: each item's command runs its edit, with the dialog where
// the edit has one.
#include <algorithm>
#include <iterator>

#include "app/command_ids.h"
#include "app/geometry_edits.h"

namespace tesmo {
namespace {

struct GeometryItem {
  uint16_t id;
  int (*run)(Application& app);
};

constexpr GeometryItem kItems[] = {
    {cmd::ImageSize, [](Application& app) { return resize_image(app); }},
    {cmd::CanvasSize, [](Application& app) { return resize_canvas(app); }},
    {cmd::Scissor, [](Application& app) { return crop_image(app); }},
    {cmd::Trim, [](Application& app) { return trim_image(app); }},
    {cmd::RotateCcw90, [](Application& app) { return rotate_image(app, 90); }},
    {cmd::Rotate180, [](Application& app) { return rotate_image(app, 180); }},
    {cmd::RotateCw90, [](Application& app) { return rotate_image(app, -90); }},
    {cmd::RotateArbitrary, [](Application& app) { return rotate_by_dialog(app); }},
    {cmd::FlipHorizontal, [](Application& app) { return flip_image(app, 0); }},
    {cmd::FlipVertical, [](Application& app) { return flip_image(app, 1); }},
    {cmd::Connect, [](Application& app) { return connect_images(app); }},
    {cmd::Divide, [](Application& app) { return divide_image(app); }},
};

}  // namespace

void geometry_command(Application& app, uint16_t id) {
  const auto* item = std::find_if(std::begin(kItems), std::end(kItems), [id](const GeometryItem& i) { return i.id == id; });
  if (item != std::end(kItems)) item->run(app);
}

}  // namespace tesmo
