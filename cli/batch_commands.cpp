// `tesmo steps`, `tesmo batch`, `tesmo edit` and `tesmo bench batch`: the batch dialog's run
// without a window. Each worker owns the application's editing stack (shell, document, viewer,
// editor) on the fake platform, so the steps run through the same functions as the dialog's run,
// on surfaces, settings, message boxes and a clipboard of their own.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/application.h"
#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "base/zuk.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "edit/batch.h"
#include "edit/batch_text.h"
#include "edit/edit.h"
#include "edit/editor.h"
#include "formats/registry.h"
#include "platform/fake/fake_platform.h"

namespace tesmo::cli {
namespace {

namespace fs = std::filesystem;

// Every picture starts the pseudo-random generator of its surfaces from the same seed, so that a
// noise step gives the same result whichever worker runs the picture and whatever ran before it.
constexpr uint32_t kPictureSeed = 1;
// The pictures a run takes when --ext is not given: the extensions of the formats read.
constexpr char16_t kDefaultExtensions[] = u"*.bmp;*.png;*.jpg;*.jpeg;*.tga;*.tif;*.tiff;*.pcx;*.sgi;*.dds;*.psd;*.pic";

// The steps of a ".batch" file or of a step text; the reason when there are none.
struct StepList {
  std::vector<BatchStep> steps;
  std::string error;
};
StepList read_steps(const std::string& path) {
  const auto bytes = read_file(utf8_to_utf16(path));
  if (!bytes) return {{}, "cannot read " + path};
  if (has_zuk_signature(*bytes)) {
    auto steps = read_batch_file(*bytes);
    if (!steps) return {{}, path + ": not a step list the batch dialog would open"};
    return {std::move(*steps), {}};
  }
  BatchTextResult r = parse_batch_text(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  if (!r.error.empty()) return {{}, path + ": " + r.error};
  return {std::move(r.steps), {}};
}

// One worker's editing stack: the application as the program wires it, on a fake window system of
// its own and without a window (the viewer works windowless as in the packing run), built on the
// calling thread so that the settings are read, and made when missing, by one stack after the other.
struct Stack {
  Stack() { app.shell.platform = &fake; }
  platform::FakePlatform fake;
  Application app{program_folder()};
  Editor& edit = app.edit;
};
std::unique_ptr<Stack> make_stack() { return std::make_unique<Stack>(); }

// What one picture came to, as printed.
struct PictureReport {
  bool failed = false;
  std::string lines;  // the failure and unsaved lines, each ending in "\n"
};

std::string fault_reason(const BatchFault& fault, const std::vector<BatchStep>& steps, const std::u16string& file) {
  if (fault.step < 0) {
    ImageFile probe = image_file_create(false);
    const std::string why = image_probe(probe, file) == 0 ? "it cannot be shown" : probe.fault;
    image_file_close(probe);
    return "cannot be opened: " + why;
  }
  return "step " + std::to_string(fault.step + 1) + " (" + batch_operation_alias(steps[static_cast<size_t>(fault.step)].operation) +
         ") failed";
}

// Runs the steps on one picture; its results go to `output` (empty: in place). A fault ends the
// picture (its remaining steps are skipped, so nothing half-done is saved); the messages the steps
// showed are part of the reason.
PictureReport run_picture(Stack& stack, const std::vector<BatchStep>& steps, const std::u16string& file,
                          const std::u16string& output) {
  Editor& editor = stack.edit;
  editor.batch_output = output;
  editor.doc.surfaces().random = PseudoRandom(kPictureSeed);
  const size_t shown_before = stack.fake.messages.size();
  PictureReport report;
  const std::string name = utf16_to_utf8(file);
  const BatchFaultHandler note = [&](const BatchFault& fault) {
    std::string reason = fault_reason(fault, steps, file);
    for (size_t i = shown_before; i < stack.fake.messages.size(); ++i) reason += ": " + utf16_to_utf8(stack.fake.messages[i]);
    report.lines += "tesmo: " + name + ": " + reason + "\n";
    return BatchGoOn::NextPicture;
  };
  const BatchPictureResult r = run_batch_picture(editor, steps, file, note, BatchClose::LeaveUnsaved);
  report.failed = r.failed;
  if (r.left_modified && !r.failed) report.lines += "tesmo: " + name + ": still modified after the steps, left unsaved\n";
  stack.fake.messages.clear();
  return report;
}

// Where a picture of FOLDER goes under --out DIR: the same path relative to FOLDER.
std::u16string output_path(const std::u16string& folder, const std::u16string& out, const std::u16string& file) {
  if (out.empty()) return {};
  return from_fs_path(to_fs_path(out) / to_fs_path(file).lexically_relative(to_fs_path(folder)));
}

bool has_operation(const std::vector<BatchStep>& steps, std::initializer_list<int32_t> operations) {
  return std::any_of(steps.begin(), steps.end(), [&](const BatchStep& s) {
    return std::find(operations.begin(), operations.end(), s.operation) != operations.end();
  });
}

struct BatchJob {
  std::vector<BatchStep> steps;
  std::u16string folder, out;
  std::vector<std::u16string> files;
  unsigned jobs = 1;
};

// Runs every picture on `jobs` workers, each taking the next picture of the list. Progress lines
// come as pictures finish ("[k/n] path", k the picture's place in the list), each followed at once
// by its failure lines. The number of failed pictures.
size_t run_job(const BatchJob& job, bool quiet) {
  std::vector<std::unique_ptr<Stack>> stacks;
  const size_t workers_wanted = std::max<size_t>(1, std::min<size_t>(job.jobs, job.files.size()));
  for (size_t i = 0; i < workers_wanted; ++i) stacks.push_back(make_stack());
  std::atomic<size_t> next{0};
  std::atomic<size_t> failed{0};
  std::mutex print;
  auto work = [&](Stack& stack) {
    for (size_t i = next++; i < job.files.size(); i = next++) {
      const std::u16string& file = job.files[i];
      const PictureReport r = run_picture(stack, job.steps, file, output_path(job.folder, job.out, file));
      if (r.failed) ++failed;
      if (quiet && r.lines.empty()) continue;
      const std::lock_guard lock(print);
      if (!quiet) std::fprintf(stderr, "[%zu/%zu] %s\n", i + 1, job.files.size(), utf16_to_utf8(file).c_str());
      std::fputs(r.lines.c_str(), stderr);
    }
  };
  std::vector<std::thread> workers;
  for (size_t w = 1; w < stacks.size(); ++w) workers.emplace_back(work, std::ref(*stacks[w]));
  work(*stacks[0]);
  for (std::thread& t : workers) t.join();
  return failed;
}

unsigned default_jobs() { return std::max(1u, std::thread::hardware_concurrency()); }

// The parsed `tesmo batch` (or `bench batch`) arguments; the exit code when they are wrong.
struct BatchArgs {
  BatchJob job;
  bool dry_run = false;
  int64_t repeat = 1;
  int error = 0;
};
BatchArgs parse_batch_args(Args args, const Command& usage, bool bench) {
  static const char* const kWithValue[] = {"--ext", "--out", "--jobs", "--repeat"};
  static const char* const kFlags[] = {"--recurse", "--dry-run"};
  const ParsedArgs p = parse_args(args, kWithValue, kFlags);
  BatchArgs b;
  const int64_t jobs = p.integer("--jobs").value_or(default_jobs());
  b.repeat = p.integer("--repeat").value_or(bench ? 5 : 1);
  if (!p.ok || p.positional.size() != 2 || jobs < 1 || jobs > 256 || b.repeat < 1 ||
      (!bench && p.options.count("--repeat"))) {
    b.error = usage_error(usage);
    return b;
  }
  StepList list = read_steps(p.positional[0]);
  if (!list.error.empty()) {
    b.error = fail(list.error);
    return b;
  }
  b.job.steps = std::move(list.steps);
  b.job.folder = utf8_to_utf16(p.positional[1]);
  if (!is_directory(b.job.folder)) {
    b.error = fail(p.positional[1] + " is not a folder");
    return b;
  }
  const auto ext = p.options.find("--ext");
  const std::u16string extensions = ext == p.options.end() ? kDefaultExtensions : utf8_to_utf16(ext->second);
  const std::vector<std::u16string> suffixes = batch_suffixes(extensions);
  b.job.files = batch_files(b.job.folder, suffixes, p.has_flag("--recurse"));
  if (const auto out = p.options.find("--out"); out != p.options.end()) b.job.out = utf8_to_utf16(out->second);
  std::error_code ec;
  if (!b.job.out.empty() && fs::weakly_canonical(to_fs_path(b.job.out), ec) == fs::weakly_canonical(to_fs_path(b.job.folder), ec)) {
    b.error = fail("--out " + p.options.at("--out") + " is the folder itself");
    return b;
  }
  b.job.jobs = static_cast<unsigned>(jobs);
  b.dry_run = p.has_flag("--dry-run");
  return b;
}

void print_steps(const std::vector<BatchStep>& steps) {
  for (const BatchStep& s : steps) std::printf("%s\n", batch_step_text(s).c_str());
}

}  // namespace

int cmd_steps(Args args) {
  const Command& usage = command_named("steps");
  if (args.size() == 1 && std::string_view(args[0]) == "names") {
    for (int32_t op = 0; op < kBatchOperationCount; ++op) {
      std::printf("%d\t%s\t%s\t%s\n", op, utf16_to_utf8(batch_operation_name(op)).c_str(),
                  batch_operation_alias(op).c_str(), batch_operation_keys(op).c_str());
    }
    return 0;
  }
  if (args.size() == 2 && std::string_view(args[0]) == "show") {
    const StepList list = read_steps(args[1]);
    if (!list.error.empty()) return fail(list.error);
    print_steps(list.steps);
    return 0;
  }
  if (args.size() == 3 && std::string_view(args[0]) == "make") {
    const StepList list = read_steps(args[1]);
    if (!list.error.empty()) return fail(list.error);
    if (file_replace(utf8_to_utf16(args[2]), batch_file_bytes(list.steps)) != 0) return fail(std::string("cannot write ") + args[2]);
    return 0;
  }
  return usage_error(usage);
}

int cmd_batch(Args args) {
  BatchArgs b = parse_batch_args(args, command_named("batch"), false);
  if (b.error != 0) return b.error;
  if (b.job.files.empty()) return fail(utf16_to_utf8(kBatchNotFound));
  if (b.dry_run) {
    for (size_t i = 0; i < b.job.files.size(); ++i) {
      const std::u16string& f = b.job.files[i];
      const std::u16string to = output_path(b.job.folder, b.job.out, f);
      std::printf("[%zu/%zu] %s%s%s\n", i + 1, b.job.files.size(), utf16_to_utf8(f).c_str(), to.empty() ? "" : " -> ",
                  utf16_to_utf8(to).c_str());
    }
    print_steps(b.job.steps);
    return 0;
  }
  // In place, a connect or divide step reads or writes other files of the folder while they are
  // being replaced: such a list runs one picture at a time, in list order.
  if (b.job.out.empty() && b.job.jobs > 1 && has_operation(b.job.steps, {kBatchConnect, kBatchDivide})) {
    std::fputs("tesmo: connect and divide in place run one picture at a time\n", stderr);
    b.job.jobs = 1;
  }
  const size_t failed = run_job(b.job, false);
  if (failed > 0) std::fprintf(stderr, "tesmo: %zu of %zu pictures failed\n", failed, b.job.files.size());
  else std::fputs(("tesmo: " + utf16_to_utf8(kBatchDone) + "\n").c_str(), stderr);
  return failed > 0 ? 1 : 0;
}

int cmd_edit(Args args) {
  if (args.size() < 3) return usage_error(command_named("edit"));
  std::string text;
  for (size_t i = 2; i < args.size(); ++i) text += std::string(args[i]) + "\n";
  BatchTextResult r = parse_batch_text(text);
  if (!r.error.empty()) return fail("step " + r.error);
  // Without a save step the result is saved as OUT in the format its name says, as Save As picks it.
  if (!has_operation(r.steps, {kBatchSave})) {
    const BatchTextResult save = parse_batch_text("save format=" + std::to_string(format_for_file_name(utf8_to_utf16(args[1]))));
    if (!save.error.empty()) return fail(std::string(args[1]) + ": no format is written under this name");
    r.steps.push_back(save.steps[0]);
  }
  auto stack = make_stack();
  const PictureReport report = run_picture(*stack, r.steps, utf8_to_utf16(args[0]), utf8_to_utf16(args[1]));
  std::fputs(report.lines.c_str(), stderr);
  return report.failed || !report.lines.empty() ? 1 : 0;
}

int cmd_bench_batch(Args args) {
  BatchArgs b = parse_batch_args(args, command_named("bench"), true);
  if (b.error != 0) return b.error;
  if (b.job.files.empty()) return fail(utf16_to_utf8(kBatchNotFound));
  const ScratchFolder scratch;
  if (!scratch.made()) return fail("no temporary folder");
  b.job.out = scratch.folder();
  std::vector<double> times;
  size_t failed = 0;
  for (int64_t n = 0; n < b.repeat; ++n) {
    const auto start = std::chrono::steady_clock::now();
    failed += run_job(b.job, true);
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  if (failed > 0) return fail(std::to_string(failed) + " pictures failed");
  std::printf("batch_ms_median: %.3f\n", median(times));
  return 0;
}

}  // namespace tesmo::cli
