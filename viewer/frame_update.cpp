// frame_update and its steps, in the order the viewer runs them every frame.
#include "viewer/frame_update.h"

#include <algorithm>

#include "resources/command_ids.h"
#include "surface/compositor.h"
#include "viewer/overlays/overlays.h"
#include "viewer/right_click.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

// The resampling flags of the zoom algorithm radio group (0 nearest … 5 type F).
constexpr int32_t kAlgorithmFlags[] = {kScaleNearest,  kScaleBilinear, kScaleBicubic,
                                       kScaleLanczos2, kScaleLanczos3, kScaleTypeF};

int32_t resampling_flags(const Viewer& viewer) {
  int32_t a = viewer.shell.settings().zoom_algorithm;
  return a >= 0 && a < 6 ? kAlgorithmFlags[a] : kScaleNearest;
}

int zoomed(int length, int zoom) { return static_cast<int>(static_cast<int64_t>(length) * zoom / kZoomActual); }

// Fill colour (only when the redraw flag asks) or the background picture tiled, scaled or not.
void draw_background(Viewer& viewer, int target, bool scaled) {
  ViewState& v = viewer.doc.view();
  SurfaceTable& t = viewer.doc.surfaces();
  Surface* dst = surface_find(t, target);
  if (!dst) return;
  // Operations that leave parts of the target uncovered have the background redrawn under them.
  if (op_row(v.view_operation).needs_background()) v.flags |= kRedrawBackground;
  const Surface* bg = surface_find(t, kKeyBackground);
  if (viewer.shell.settings().background_mode == 0 || !bg || bg->width <= 0 || bg->height <= 0) {
    if (!(v.flags & kRedrawBackground)) return;
    uint32_t c = viewer.shell.settings().background_colour;
    surface_fill(t, target, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 0);
    v.flags &= ~kRedrawBackground;
    return;
  }
  const Rect saved = t.clip;
  int tw = bg->width, th = bg->height;
  if (scaled) {
    t.clip = Rect{0, 0, dst->width, dst->height};
    tw = zoomed(bg->width, v.zoom_x);
    th = zoomed(bg->height, v.zoom_y);
  }
  if (tw > 0 && th > 0) {
    for (int y = 0; y < dst->height; y += th) {
      for (int x = 0; x < dst->width; x += tw) {
        if (scaled) {
          blit(t, target, kKeyBackground, kOpScale | kOpClipFlag,
               {.dst_x = x, .dst_y = y, .width = bg->width, .height = bg->height, .param1 = tw, .param2 = th,
                .param4 = resampling_flags(viewer)});
        } else {
          blit(t, target, kKeyBackground, kOpCopy | kOpClipFlag,
               {.dst_x = x, .dst_y = y, .width = bg->width, .height = bg->height});
        }
      }
    }
  }
  t.clip = saved;
  v.flags &= ~kRedrawBackground;
}

// Displacement mapping moves the picture's own pixels: its destination starts as the picture, and
// the snapshot the op reads is taken afresh from that destination.
void start_displacement(SurfaceTable& t, int target, int source, int x, int y, int w, int h) {
  blit(t, target, source, kOpCopy | kOpClipFlag, {.dst_x = x, .dst_y = y, .width = w, .height = h});
  surface_remove(t, kKeyTrimTemporary);
}

}  // namespace

void fill_view_background(Viewer& viewer, int key) {
  viewer.doc.view().flags |= kRedrawBackground;
  draw_background(viewer, key, false);
}

void compose_view(Viewer& viewer, int target) {
  ViewState& v = viewer.doc.view();
  SurfaceTable& t = viewer.doc.surfaces();
  int source = v.displayed_surface;
  const Surface* s = surface_find(t, source);
  if (!s || s->width < 400 || s->height < 300) v.flags |= kRedrawBackground;
  if (!s) {
    draw_background(viewer, target, v.zoom_x != kZoomActual);
    return;
  }
  const int w = s->width, h = s->height;
  const uint32_t op = v.view_operation & kOpCodeMask;
  const uint32_t op_word = v.view_operation;
  // The preview never touches the picture: the ops that read per-pixel alpha run from a copy that
  // carries the alpha channel (255 when there is none), and every preview starts from the background.
  if (op != 0) v.flags |= kRedrawBackground;
  // Operations that blend with the alpha channel get surface 2 in the shown surface's alpha bytes,
  // in a copy kept for one preview frame.
  if (op_row(op).takes_alpha() && surface_duplicate(t, kKeyViewerTemporary, source) == 0) {
    const Surface* a = surface_find(t, kKeyAlpha);
    if (a && a->width == w && a->height == h) {
      blit(t, kKeyViewerTemporary, kKeyAlpha, kOpChannelCopy, {.width = w, .height = h, .param1 = 1});
    } else {
      surface_set_alpha(t, kKeyViewerTemporary, 255);
    }
    source = kKeyViewerTemporary;
  } else if (op == kOpGamma && surface_duplicate(t, kKeyViewerTemporary, source) == 0) {
    surface_set_alpha(t, kKeyViewerTemporary, 255);  // the colours are corrected as if opaque
    source = kKeyViewerTemporary;
  }
  struct DropCopy {
    SurfaceTable& t;
    ~DropCopy() { surface_remove(t, kKeyViewerTemporary); }
  } drop_copy{t};
  int32_t p1 = v.operation_params[0] * (op_row(op).angle_in_hundredths() ? kHundredthsPerDegree : 1);
  int32_t p2 = v.operation_params[1], p3 = v.operation_params[2], p4 = v.operation_params[3];

  if (v.zoom_x == kZoomActual) {
    draw_background(viewer, target, false);
    if (op == kOpDisplace) start_displacement(t, target, source, viewer.origin.x, viewer.origin.y, w, h);
    uint32_t clip = op == kOpRotate ? 0 : kOpClipFlag;
    blit(t, target, source, op_word | clip,
         {.dst_x = viewer.origin.x, .dst_y = viewer.origin.y, .width = w, .height = h, .param1 = p1, .param2 = p2,
          .param3 = p3, .param4 = p4});
    return;
  }
  if (op != 0) {
    const Surface* preview = surface_find(t, kKeyPreview);
    if (!preview || preview->width != w || preview->height != h) surface_create(t, kKeyPreview, w, h);
    // Surface 5 takes the whole picture, not the part the window's clip rectangle would leave.
    const Rect window_clip = t.clip;
    t.clip = Rect{0, 0, w, h};
    v.flags |= kRedrawBackground;
    draw_background(viewer, kKeyPreview, false);
    if (op == kOpDisplace) start_displacement(t, kKeyPreview, source, 0, 0, w, h);
    blit(t, kKeyPreview, source, op_word | kOpClipFlag,
         {.width = w, .height = h, .param1 = p1, .param2 = p2, .param3 = p3, .param4 = p4});
    t.clip = window_clip;
    source = kKeyPreview;
  }
  draw_background(viewer, target, true);
  blit(t, target, source, kOpScale | kOpClipFlag,
       {.dst_x = viewer.origin.x, .dst_y = viewer.origin.y, .width = w, .height = h, .param1 = zoomed(w, v.zoom_x),
        .param2 = zoomed(h, v.zoom_y), .param4 = resampling_flags(viewer)});
}

void apply_channel_mask(Viewer& viewer, int target) {
  if (viewer.doc.view().displayed_surface != kKeyImage || !viewer.shell.window) return;
  const platform::Menu& menu = viewer.shell.window->menu();
  uint32_t hidden = 0;
  if (!menu.is_checked(cmd::VisibleR)) hidden |= 0xFF0000u;
  if (!menu.is_checked(cmd::VisibleG)) hidden |= 0x00FF00u;
  if (!menu.is_checked(cmd::VisibleB)) hidden |= 0x0000FFu;
  Surface* s = surface_find(viewer.doc.surfaces(), target);
  if (!hidden || !s) return;
  const uint32_t keep = ~hidden;
  for (uint32_t& p : s->picture()) p &= keep;
}

int run_binding(Viewer& viewer, int slot) {
  const SystemSettings& s = viewer.shell.settings();
  const int32_t codes[] = {s.middle_action, s.x1_action, s.x2_action, s.wheel_forward_action,
                           s.wheel_backward_action, s.control_wheel_forward_action,
                           s.control_wheel_backward_action};
  if (slot < 0 || slot > 6) return 0;
  // Codes 1–12 run the menu command of the same name.
  static constexpr uint16_t kCommands[] = {0,
                                           cmd::PreviousFile,  cmd::NextFile,        cmd::Quit,
                                           cmd::OsdCursorInfo, cmd::OsdPip,          cmd::OsdHistogram,
                                           cmd::OsdFileInfo,   cmd::OsdExifInfo,     cmd::ZoomIn,
                                           cmd::ZoomInPrecise, cmd::ZoomOutPrecise,  cmd::ZoomOut};
  const int32_t code = codes[slot];
  if (code >= 1 && code <= 12) {
    if (viewer.owner) viewer.owner->dispatch_command(kCommands[code]);
  } else if (code == 13 || code == 14) {
    if (!viewer.shell.modal_open && !viewer.doc.job_running() && viewer.shell.vbar && viewer.shell.window) {
      platform::Event e{.kind = platform::EventKind::Scroll, .code = code == 13 ? platform::Top : platform::Bottom,
                        .bar = 1};
      if (viewer.shell.vbar->on_scroll(e.code, 0)) frame_update(viewer, 0);
    }
  }
  return code != 0 ? 1 : 0;
}

bool Viewer::frame_can_change() const {
  const auto running = [](const TweenSlot& s) { return s.keyframes && s.index < s.count; };
  const auto held = [](uint8_t button) { return button == kButtonDown; };
  return std::any_of(tweens.begin(), tweens.end(), running) ||
         std::any_of(input.buttons.begin(), input.buttons.end(), held) || dragging || doc.job_running() ||
         doc.view().view_operation != 0 || (owner && owner->tools_animating()) ||
         (shell.window && shell.window->menu().is_checked(cmd::OsdFps));
}

void frame_update(Viewer& viewer, int target) {
  ViewState& v = viewer.doc.view();
  viewer.doc.poll_background_job();
  if (!(v.flags & kImageShown)) return;
  const uint32_t now = viewer.shell.platform->now_ms();
  const float step = viewer.shell.frame_timer.tick(now);

  // Mouse and the drawing origin.
  viewer.previous_mouse = viewer.mouse;
  viewer.mouse = viewer.shell.window->cursor_position();
  const platform::ScrollInfo hs = viewer.shell.window->scroll_info(platform::ScrollBarKind::Horizontal);
  const platform::ScrollInfo vs = viewer.shell.window->scroll_info(platform::ScrollBarKind::Vertical);
  viewer.origin = {-hs.pos, -vs.pos};
  viewer.centre = {0, 0};
  const Surface* dst = surface_find(viewer.doc.surfaces(), target);
  if ((v.flags & kFullScreen) && dst) {
    const int zw = zoomed(v.image_width, v.zoom_x), zh = zoomed(v.image_height, v.zoom_y);
    if (zw < dst->width) {
      viewer.centre.x = viewer.origin.x = (dst->width - zw) >> 1;
      v.flags |= kRedrawBackground;
    }
    if (zh < dst->height) {
      viewer.centre.y = viewer.origin.y = (dst->height - zh) >> 1;
      v.flags |= kRedrawBackground;
    }
  }
  // Cursor in image pixels × 100; a zoom below 1 % counts as 1 % so the division stays defined.
  const int px = std::max(v.zoom_x / 256, 1), py = std::max(v.zoom_y / 256, 1);
  viewer.cursor_x100 = static_cast<int32_t>(static_cast<int64_t>(hs.pos - viewer.centre.x + viewer.mouse.x) * 100 / px);
  viewer.cursor_y100 = static_cast<int32_t>(static_cast<int64_t>(vs.pos - viewer.centre.y + viewer.mouse.y) * 100 / py);

  // Hit region and the mouse action set.
  HitRegion region{
      viewer.hit_region.x, viewer.hit_region.y, viewer.hit_region.width, viewer.hit_region.height, true, 0};
  viewer.hovered_region = hit_test(std::span<const HitRegion>(&region, 1), viewer.mouse.x, viewer.mouse.y);
  evaluate_action_sets(viewer.input, now, viewer.hovered_region);
  if (pressed(viewer.input, kLeftButton)) {
    viewer.drag_start = viewer.mouse;
    viewer.dragging = true;
  } else if (released(viewer.input, kLeftButton) &&
             (viewer.hovered_region == press_region(viewer.input, kLeftButton) || viewer.input.any_release_ends_drag)) {
    v.flags |= kRedrawBackground;
    viewer.dragging = false;
  }
  if (pressed(viewer.input, kRightButton)) right_click_copy(viewer);
  const int buttons[] = {kMiddleButton, kX1Button, kX2Button};
  for (int slot = 0; slot < 3; ++slot) {
    if (pressed(viewer.input, buttons[slot]) && run_binding(viewer, slot)) return;
  }
  record_press_regions(viewer.input);
  if (viewer.dragging && !(viewer.mouse == viewer.drag_start)) {
    viewer.origin.x += viewer.mouse.x - viewer.drag_start.x;
    viewer.origin.y += viewer.mouse.y - viewer.drag_start.y;
    v.flags |= kRedrawBackground;
  }
  advance_tweens(viewer.tweens, step);

  compose_view(viewer, target);
  apply_channel_mask(viewer, target);
  if (target != 0) return;
  if (viewer.owner) viewer.owner->advance_tools(step);
  draw_overlays(viewer, *viewer.overlay_cache);
  if (viewer.doc.job_running()) viewer.doc.draw_progress();
  v.flags |= kFrameDrawn;
  viewer.shell.window->invalidate();
  viewer.count_frame();
}

}  // namespace tesmo
