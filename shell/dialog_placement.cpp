#include "shell/dialog_placement.h"

#include "shell/shell.h"

namespace tesmo {

std::optional<platform::Point> place_dialog(const Shell& shell, const platform::Rect& parent_window,
                                            const platform::Rect& parent_client, platform::Size size,
                                            uint32_t flags) {
  const platform::Rect& base = (flags & kPlaceAtClient) ? parent_client : parent_window;
  platform::Point p{base.left, base.top};
  if (!(flags & kPlaceCentred)) return p;
  std::optional<platform::Rect> work = shell.platform->work_area();
  if (!work) return std::nullopt;
  p.x += (base.width() - size.width) / 2;
  p.y += (base.height() - size.height) / 2;
  if (p.x + size.width > work->right) p.x -= p.x + size.width - work->right;
  if (p.x < work->left) p.x = work->left;
  if (p.y + size.height > work->bottom) p.y -= p.y + size.height - work->bottom;
  if (p.y < work->top) p.y = work->top;
  return p;
}

}  // namespace tesmo
