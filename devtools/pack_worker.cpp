// The file pack module's worker and its progress record.
#include "devtools/pack_worker.h"

#include <atomic>
#include <mutex>

#include "base/text.h"
#include "formats/jab/jab.h"
#include "tools/pack/pack_run.h"
#include "tools/script/script.h"

namespace tesmo {

struct PackWorker::Shared {
  mutable std::mutex mutex;  // guards `view`
  PackProgressView view;
  Packer packer;  // the worker's alone until the job has finished
  std::atomic<bool> cancel{false};
};

void attach_pack_tools(Packer& packer) {
  packer.jab_writer = jab::write_from_bmp;
  packer.define_compiler = script_compile_definitions;
}

PackWorker::PackWorker() : shared_(std::make_shared<Shared>()) {}

PackWorker::~PackWorker() {
  shared_->cancel = true;
  job_.stop();
}

bool PackWorker::start(PackRunRequest request) {
  std::shared_ptr<Shared> s = shared_;
  Packer& packer = s->packer;
  attach_pack_tools(packer);
  // The hooks run on the worker thread and write only the record, under its lock.
  Shared* record = s.get();
  packer.cancelled = [record] { return record->cancel.load(); };
  packer.progress.start = [record](const std::u16string& base_dir, size_t count) {
    std::lock_guard lock(record->mutex);
    PackProgressView& v = record->view;
    v.base_dir = base_dir;
    v.count = static_cast<int>(count);
    v.done = 0;
    ++v.serial;
  };
  packer.progress.entry = [record](const PackEntry& entry, size_t done, size_t count) {
    std::u16string name = pack_display_name(entry.name);
    std::u16string percent = pack_progress_text(done, count);
    std::lock_guard lock(record->mutex);
    PackProgressView& v = record->view;
    v.name = std::move(name);
    v.percent = std::move(percent);
    v.done = static_cast<int>(done);
    v.count = static_cast<int>(count);
    ++v.serial;
  };
  return job_.start([s, r = std::move(request)](intptr_t) {
    return pack_run(s->packer, r.archive_path, r.list_path, r.export_dir, r.export_dir, r.options, r.prefix);
  });
}

PackProgressView PackWorker::progress() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->view;
}

bool PackWorker::poll_finished() {
  if (finished_) return true;
  const JobReport report = job_.poll();
  if (!report.finished) return false;
  finished_ = true;
  result_ = report.result;
  job_.stop();  // the worker has run its work and exits at once
  return true;
}

const std::vector<std::u16string>& PackWorker::errors() const {
  static const std::vector<std::u16string> kNone;
  return finished_ ? shared_->packer.errors : kNone;  // the worker's own until it has finished
}

}  // namespace tesmo
