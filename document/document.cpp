// The document's background job and its progress display.
#include "document/document.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "surface/compositor.h"

namespace tesmo {

// The job's worker goes before the surfaces it may be reading.
Document::~Document() { job.job.reset(); }

int32_t Document::render_label(int key, int font, std::u16string_view label) {
  constexpr int kLabelWidth = 136, kLabelHeight = 20;
  const Surface* old = surface_find(surfaces_, key);
  if (!old || old->width != kLabelWidth || old->height != kLabelHeight) {
    if (surface_create(surfaces_, key, kLabelWidth, kLabelHeight) != 0) return 0;
  }
  surface_fill(surfaces_, key, 0, 0, 0, 0);
  Surface* target = surface_find(surfaces_, key);
  shell.text.set_font(shell.fonts[static_cast<size_t>(font)].font.get());
  shell.text.set_target(target);
  TextStyle style;
  style.colour = key == kKeyJobTime ? 0xFFFFFF : 0x000000;  // the time sits on black, the name on white
  return shell.text.draw_text_wide(label, 0, 0, style);
}

// The shown file's name (the part after the folder) or a generated picture's name.
static std::u16string job_label(const ViewState& v) {
  if (!v.display_name.empty()) return v.display_name;
  size_t cut = v.path.rfind(u'/');
  return cut == std::u16string::npos ? v.path : v.path.substr(cut + 1);
}

void Document::start_background_job(int mode, BackgroundJob::Work work, JobFinish finish) {
  job_finish = std::move(finish);
  name_label_width = render_label(kKeyJobName, 2, job_label(view_));
  start_job(job, mode, shell.now_ms(), std::move(work));
}

void Document::poll_background_job() {
  const JobPoll poll = poll_job(job);
  if (poll.status == JobStatus::Finished) finish_background_job(poll.result);
}

void Document::wait_background_job() {
  while (job.job) {
    const JobReport report = job.job->poll();
    if (report.finished) {
      if (report.result != 2) finish_background_job(report.result);
      else finish_job(job);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void Document::finish_background_job(int result) {
  finish_job(job);
  shell.frame_timer.restart_window(shell.now_ms());
  if (job_finish) job_finish(job.mode, result);
}

// The back buffer is tinted toward pale green, with the file name on a white box and the elapsed
// time on a black box below it, left of the centre near the bottom.
void Document::draw_progress() {
  const Surface* back = surface_find(surfaces_, kKeyBackBuffer);
  if (!back) return;
  const int w = back->width, h = back->height;
  blit(surfaces_, kKeyBackBuffer, kKeyBackBuffer, kOpTint,
       {.width = w, .height = h, .param1 = 204, .param2 = 255, .param3 = 204, .param4 = 128});
  uint32_t elapsed = shell.now_ms() - job.start_time;
  if (elapsed >= 600000) elapsed = 599999;  // shown as 9:59:999 from ten minutes on
  char clock[32];
  std::snprintf(clock, sizeof clock, "%d:%02d:%03d", static_cast<int>(elapsed / 60000),
                static_cast<int>(elapsed / 1000 % 60), static_cast<int>(elapsed % 1000));
  time_label_width = render_label(kKeyJobTime, 2, std::u16string(clock, clock + std::strlen(clock)));
  const int x0 = w / 2 - 194;
  blit(surfaces_, kKeyBackBuffer, kKeyBackBuffer, kOpFill | kOpClipFlag,
       {.dst_x = x0, .dst_y = h - 108, .width = 136, .height = 20, .param1 = 255, .param2 = 255, .param3 = 255});
  blit(surfaces_, kKeyBackBuffer, kKeyBackBuffer, kOpFill | kOpClipFlag,
       {.dst_x = x0, .dst_y = h - 86, .width = 136, .height = 20});
  const struct {
    int key, y, width;
  } labels[] = {{kKeyJobName, h - 106, name_label_width}, {kKeyJobTime, h - 84, time_label_width}};
  for (const auto& l : labels) {
    const Surface* label = surface_find(surfaces_, l.key);
    if (!label) continue;
    const int tw = std::min(l.width, label->width);
    blit(surfaces_, kKeyBackBuffer, l.key, kOpAlphaBlend | kOpClipFlag,
         {.dst_x = x0 + 132 - tw, .dst_y = l.y, .width = tw, .height = label->height});
  }
}

}  // namespace tesmo
