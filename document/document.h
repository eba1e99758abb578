// The document: the shown picture and what belongs to it. The surface table (the picture in surface
// 1, its alpha view in 2, the undo pictures in 17 and 18, and the working surfaces around them), the
// view state, the one undo level, the names of the edits made, and the save that runs as a
// background job while frames go on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/background_job.h"
#include "document/view_state.h"
#include "shell/shell.h"
#include "surface/surface.h"

namespace tesmo {

class Document {
 public:
  explicit Document(Shell& shell) : shell(shell) {}
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  Shell& shell;
  SurfaceTable& surfaces() { return surfaces_; }
  ViewState& view() { return view_; }
  const ViewState& view() const { return view_; }

  // The one undo level: surfaces 17 and 18 hold the pictures, `undo_geometry` their size, turn
  // and zoom. The names of the edits made since the picture was opened, while
  // `has_edit_history`.
  PictureGeometry undo_geometry;
  std::vector<std::u16string> edit_history;
  bool has_edit_history = false;

  // The background job (a save on a worker thread); commands are ignored while one exists.
  bool job_running() const { return job.job != nullptr; }
  // What runs on the main thread when a job ends, with the job's mode and result.
  using JobFinish = std::function<void(int mode, int result)>;
  // Stores the mode, start time and ending, stops any previous job and starts `work` on a worker.
  void start_background_job(int mode, BackgroundJob::Work work, JobFinish finish);
  // The frame's look at the job: a finished job is collected, stopped and handed to its ending
  // (except result 2, which keeps the progress display).
  void poll_background_job();
  void finish_background_job(int result);
  // Waits for a running job's worker and finishes the job (its surfaces must stay until then).
  void wait_background_job();
  void draw_progress();  // the progress display over the back buffer while a job runs
  JobSlot job;  // the job with its mode (0 save, 1 save as) and start time
  JobFinish job_finish;

  // Renders `text` with font `font` into a cleared surface `key` of 136 × 20 (the progress texts);
  // returns the text's width.
  int32_t render_label(int key, int font, std::u16string_view label);
  int32_t name_label_width = 0;  // width of the text in surface 20 (file name)
  int32_t time_label_width = 0;  // and in surface 21 (elapsed time)

 private:
  ViewState view_;
  SurfaceTable surfaces_;
};

}  // namespace tesmo
