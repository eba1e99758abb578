// Application construction and destruction, opening the start file, and the background job.
#include "app/application.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstring>

#include "app/command_ids.h"
#include "app/frame_update.h"
#include "app/menu_options.h"
#include "app/presentation.h"
#include "surface/compositor.h"

namespace tesmo {

Application::Application(std::u16string program_folder)
    : settings_store_(std::move(program_folder)) {
  settings_store_.load();
  init_input_state(input);
}

// The job's worker goes before the surfaces it may be reading; the effect dialog before the skin
// pictures it frees; the falling object controller before the state its frame hook reads.
Application::~Application() {
  job.reset();
  effect_dialog.reset();
  file_pack_dialog.reset();
  advance_falling = nullptr;
  falling_dialog.reset();
  for (auto& dialog : tool_dialogs) dialog.reset();  // before the surfaces their handlers may use
}

void Application::frame_update(int target) {
  ++frame_passes_;
  tesmo::frame_update(*this, target);
}

// After loading: the alpha view when the picture has alpha and Default Channel Alpha is checked.
void Application::select_default_channel() {
  platform::Menu& menu = window->menu();
  const bool alpha = surface_find(surfaces_, kKeyAlpha) && menu.is_checked(cmd::DefaultChannelAlpha);
  menu.set_checked(cmd::ChannelAlpha, alpha);
  menu.set_checked(cmd::ChannelRgb, !alpha);
  view_.displayed_surface = alpha ? kKeyAlpha : kKeyImage;
}

int32_t Application::render_label(int key, int font, std::u16string_view label) {
  constexpr int kLabelWidth = 136, kLabelHeight = 20;
  const Surface* old = surface_find(surfaces_, key);
  if (!old || old->width != kLabelWidth || old->height != kLabelHeight) {
    if (surface_create(surfaces_, key, kLabelWidth, kLabelHeight) != 0) return 0;
  }
  surface_fill(surfaces_, key, 0, 0, 0, 0);
  Surface* target = surface_find(surfaces_, key);
  text.set_font(fonts[static_cast<size_t>(font)].font.get());
  text.set_target(target);
  TextStyle style;
  style.colour = key == 21 ? 0xFFFFFF : 0x000000;  // the time sits on black, the name on white
  return text.draw_text_wide(label, 0, 0, style);
}

// The shown file's name (the part after the folder) or a generated picture's name.
static std::u16string job_label(const ViewState& v) {
  if (!v.display_name.empty()) return v.display_name;
  size_t cut = v.path.rfind(u'/');
  return cut == std::u16string::npos ? v.path : v.path.substr(cut + 1);
}

void Application::start_background_job(int mode, BackgroundJob::Work work) {
  job_mode = mode;
  job_start_ms = platform ? platform->now_ms() : 0;
  name_label_width = render_label(20, 2, job_label(view_));
  job.reset();
  job = std::make_unique<BackgroundJob>();
  if (!job->start(std::move(work))) job.reset();
}

void Application::poll_background_job() {
  if (!job) return;
  JobReport report = job->poll();
  if (report.finished && report.result != 2) finish_background_job(report.result);
}

void Application::wait_background_job() {
  while (job) {
    const JobReport report = job->poll();
    if (report.finished) {
      if (report.result != 2) {
        finish_background_job(report.result);
      } else {
        job->stop();
        job.reset();
      }
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void Application::finish_background_job(int result) {
  if (job) job->stop();
  job.reset();
  frame_timer.restart_window(platform ? platform->now_ms() : 0);
  if (on_job_finished) on_job_finished(job_mode, result);
}

// The back buffer is tinted toward pale green, with the file name on a white box and the elapsed
// time on a black box below it, left of the centre near the bottom.
void Application::draw_progress() {
  const Surface* back = surface_find(surfaces_, kKeyBackBuffer);
  if (!back) return;
  const int w = back->width, h = back->height;
  constexpr uint32_t kOpTint = 54, kOpAlphaBlend = 40;
  blit(surfaces_, kKeyBackBuffer, kKeyBackBuffer, 0, 0, 0, 0, w, h, kOpTint, 204, 255, 204, 128);
  uint32_t elapsed = (platform ? platform->now_ms() : 0) - job_start_ms;
  if (elapsed >= 600000) elapsed = 599999;  // shown as 9:59:999 from ten minutes on
  char clock[32];
  std::snprintf(clock, sizeof clock, "%d:%02d:%03d", static_cast<int>(elapsed / 60000),
                static_cast<int>(elapsed / 1000 % 60), static_cast<int>(elapsed % 1000));
  time_label_width = render_label(21, 2, std::u16string(clock, clock + std::strlen(clock)));
  const int x0 = w / 2 - 194;
  blit(surfaces_, kKeyBackBuffer, kKeyBackBuffer, x0, h - 108, 0, 0, 136, 20, kOpFill | kOpClipFlag, 255, 255,
       255, 0);
  blit(surfaces_, kKeyBackBuffer, kKeyBackBuffer, x0, h - 86, 0, 0, 136, 20, kOpFill | kOpClipFlag, 0, 0, 0, 0);
  const struct {
    int key, y, width;
  } labels[] = {{20, h - 106, name_label_width}, {21, h - 84, time_label_width}};
  for (const auto& l : labels) {
    const Surface* label = surface_find(surfaces_, l.key);
    if (!label) continue;
    const int tw = std::min(l.width, label->width);
    blit(surfaces_, kKeyBackBuffer, l.key, x0 + 132 - tw, l.y, 0, 0, tw, label->height,
         kOpAlphaBlend | kOpClipFlag, 0, 0, 0, 0);
  }
}

}  // namespace tesmo
