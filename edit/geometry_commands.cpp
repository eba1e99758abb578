// The geometry items of the edit menu: each item's command runs its edit, with the dialog where
// the edit has one.
#include <algorithm>
#include <iterator>

#include "edit/geometry_edits.h"
#include "resources/command_ids.h"

namespace tesmo {
namespace {

struct GeometryItem {
  uint16_t id;
  int (*run)(Editor& editor);
};

constexpr GeometryItem kItems[] = {
    {cmd::ImageSize, [](Editor& editor) { return resize_image(editor); }},
    {cmd::CanvasSize, [](Editor& editor) { return resize_canvas(editor); }},
    {cmd::Scissor, [](Editor& editor) { return crop_image(editor); }},
    {cmd::Trim, [](Editor& editor) { return trim_image(editor); }},
    {cmd::RotateCcw90, [](Editor& editor) { return rotate_image(editor, 90); }},
    {cmd::Rotate180, [](Editor& editor) { return rotate_image(editor, 180); }},
    {cmd::RotateCw90, [](Editor& editor) { return rotate_image(editor, -90); }},
    {cmd::RotateArbitrary, [](Editor& editor) { return rotate_by_dialog(editor); }},
    {cmd::FlipHorizontal, [](Editor& editor) { return flip_image(editor, 0); }},
    {cmd::FlipVertical, [](Editor& editor) { return flip_image(editor, 1); }},
    {cmd::Connect, [](Editor& editor) { return connect_images(editor); }},
    {cmd::Divide, [](Editor& editor) { return divide_image(editor); }},
};

}  // namespace

void geometry_command(Editor& editor, uint16_t id) {
  const auto* item =
      std::find_if(std::begin(kItems), std::end(kItems), [id](const GeometryItem& i) { return i.id == id; });
  if (item != std::end(kItems)) item->run(editor);
}

}  // namespace tesmo
