// The batch's steps: each operation's request asked with the menu command's own dialog and kept
// field by field in the step (the layout of a ".batch" file, independent of how the compiler lays
// out the request structs), and replayed on the shown picture through the menu command's function.
#include <algorithm>
#include <array>
#include <filesystem>

#include "base/file_io.h"
#include "base/path.h"
#include "base/user_folders.h"
#include "document/save.h"
#include "edit/alpha_channel.h"
#include "edit/batch.h"
#include "edit/edit.h"
#include "edit/editor.h"
#include "edit/geometry_dialogs.h"
#include "edit/geometry_edits.h"
#include "edit/lossless_command.h"
#include "shell/modal.h"

namespace tesmo {
namespace {

// The two effects without parameters: they run with the table's defaults and need no dialog.
constexpr int kEffectGreyScale = 6;
constexpr int kEffectNegative = 7;
constexpr size_t kPathUnits = 260;

bool effect_without_parameters(int effect) { return effect == kEffectGreyScale || effect == kEffectNegative; }

// Each record, written to and read from the step's 32-bit fields in the record's order.
void put(BatchStep& s, const SaveSettings& r) {
  for (size_t i = 0; const int32_t v : {r.format, r.pixel_format, r.bits, r.compress, r.quality}) s.set_field(i++, v);
}
SaveSettings save_settings_of(const BatchStep& s) { return {s.field(0), s.field(1), s.field(2), s.field(3), s.field(4)}; }

void put(BatchStep& s, const ImageSizeRequest& r) {
  s.set_field(0, r.width), s.set_field(1, r.height), s.set_field(2, r.filter);
}
ImageSizeRequest image_size_of(const BatchStep& s) { return {s.field(0), s.field(1), s.field(2)}; }

void put(BatchStep& s, const CanvasSizeRequest& r) {
  for (size_t i = 0; const int32_t v : {r.width, r.height, r.align_x, r.align_y, r.anchor_column, r.anchor_row}) {
    s.set_field(i++, v);
  }
}
CanvasSizeRequest canvas_size_of(const BatchStep& s) {
  return {s.field(0), s.field(1), s.field(2), s.field(3), s.field(4), s.field(5)};
}

void put(BatchStep& s, const CropRequest& r) {
  s.set_field(0, r.x), s.set_field(1, r.y), s.set_field(2, r.width), s.set_field(3, r.height);
}
CropRequest crop_of(const BatchStep& s) { return {s.field(0), s.field(1), s.field(2), s.field(3)}; }

void put(BatchStep& s, const TrimRequest& r) { s.set_field(0, r.sides), s.set_field(1, r.colour); }
TrimRequest trim_of(const BatchStep& s) { return {s.field(0), s.field(1)}; }

void put(BatchStep& s, const RotateRequest& r) { s.set_field(0, r.angle); }
RotateRequest rotate_of(const BatchStep& s) { return {s.field(0)}; }

// Connect: the target, the path's 260 units from field 1, the sides after them.
constexpr size_t kConnectSidesField = 1 + kConnectPathLength / 2;
void put(BatchStep& s, const ConnectRequest& r) {
  s.set_field(0, r.target);
  s.set_text(1, kConnectPathLength, std::u16string_view(r.path, std::find(r.path, r.path + kConnectPathLength, 0)));
  s.set_field(kConnectSidesField, r.sides);
}
ConnectRequest connect_of(const BatchStep& s) {
  ConnectRequest r;
  r.target = s.field(0);
  const std::u16string path = s.text(1, kConnectPathLength);
  // Kept zero-terminated: a stored path of all 260 units loses its last one.
  std::copy_n(path.begin(), std::min(path.size(), size_t{kConnectPathLength - 1}), r.path);
  r.sides = s.field(kConnectSidesField);
  return r;
}

void put(BatchStep& s, const DivideRequest& r) {
  for (size_t i = 0; const int32_t v : {r.tile_width, r.tile_height, r.bits, r.limit_x, r.limit_y}) s.set_field(i++, v);
}
DivideRequest divide_of(const BatchStep& s) { return {s.field(0), s.field(1), s.field(2), s.field(3), s.field(4)}; }

// A step made from a dialog's answer (nothing when it was cancelled).
template <class Request>
std::optional<BatchStep> step_from(int32_t operation, const std::optional<Request>& request) {
  if (!request) return std::nullopt;
  BatchStep s;
  s.operation = operation;
  put(s, *request);
  return s;
}

std::optional<BatchStep> plain_step(int32_t operation) {
  BatchStep s;
  s.operation = operation;
  return s;
}

std::optional<BatchStep> ask_save(Editor& editor) {
  SaveSettings settings;  // format and quality start at 0 for the batch
  if (save_options_dialog(editor.doc, settings) != 0) return std::nullopt;
  return step_from(kBatchSave, std::optional(settings));
}

std::optional<BatchStep> ask_import(Editor& editor) {
  const auto path = ask_import_path(editor);
  if (!path) return std::nullopt;
  BatchStep s;
  s.operation = kBatchAlphaImport;
  s.set_text(0, kPathUnits, *path);
  return s;
}

std::optional<BatchStep> ask_lossless(Editor& editor) {
  LosslessRequest request;
  if (lossless_dialog(editor, request) != 0) return std::nullopt;
  BatchStep s;
  s.operation = kBatchLossless;
  s.set_field(0, request.choice);
  return s;
}

// Effects: the effect index and the four parameters.
std::optional<BatchStep> ask_effect(Editor& editor, int32_t operation) {
  const int effect = operation - kBatchFirstEffect;
  std::array<int32_t, 5> values{effect, 0, 0, 0, 0};
  if (!effect_without_parameters(effect) && edit_effect_parameters(editor, effect, values) != 0) return std::nullopt;
  BatchStep s;
  s.operation = operation;
  for (size_t i = 0; i < values.size(); ++i) s.set_field(i, values[i]);
  return s;
}

// The save step writes the shown file, or where the run sends this picture's results.
int run_save_step(Editor& editor, const BatchStep& s) {
  const SaveSettings v = save_settings_of(s);
  if (editor.batch_output.empty()) return save_command(editor.doc, &v, true);
  return save_command_to(editor.doc, v, editor.batch_output);
}

int run_effect_step(Editor& editor, const BatchStep& s) {
  const int effect = s.operation - kBatchFirstEffect;
  if (effect_without_parameters(effect)) return run_effect_defaults(editor, effect);
  return run_effect(editor, effect, s.field(1), s.field(2), s.field(3), s.field(4));
}

// The operations 0–18: how each asks and how each runs.
struct OperationRow {
  std::optional<BatchStep> (*ask)(Editor&, int32_t operation);
  int (*run)(Editor&, const BatchStep&);
};

constexpr std::array<OperationRow, kBatchFirstEffect> kOperations{{
    {[](Editor& a, int32_t) { return ask_save(a); }, run_save_step},
    {[](Editor& a, int32_t op) { return step_from(op, ask_image_size(a)); },
     [](Editor& a, const BatchStep& s) { const auto r = image_size_of(s); return resize_image(a, &r); }},
    {[](Editor& a, int32_t op) { return step_from(op, ask_canvas_size(a)); },
     [](Editor& a, const BatchStep& s) { const auto r = canvas_size_of(s); return resize_canvas(a, &r); }},
    {[](Editor& a, int32_t op) { return step_from(op, ask_crop(a)); },
     [](Editor& a, const BatchStep& s) { const auto r = crop_of(s); return crop_image(a, &r); }},
    {[](Editor& a, int32_t op) { return step_from(op, ask_trim(a)); },
     [](Editor& a, const BatchStep& s) { const auto r = trim_of(s); return trim_image(a, &r); }},
    {[](Editor&, int32_t op) { return plain_step(op); }, [](Editor& a, const BatchStep&) { return rotate_image(a, 90); }},
    {[](Editor&, int32_t op) { return plain_step(op); }, [](Editor& a, const BatchStep&) { return rotate_image(a, 180); }},
    {[](Editor&, int32_t op) { return plain_step(op); }, [](Editor& a, const BatchStep&) { return rotate_image(a, -90); }},
    {[](Editor&, int32_t op) { return plain_step(op); }, [](Editor& a, const BatchStep&) { return flip_image(a, 0); }},
    {[](Editor&, int32_t op) { return plain_step(op); }, [](Editor& a, const BatchStep&) { return flip_image(a, 1); }},
    {[](Editor& a, int32_t op) { return step_from(op, ask_rotation(a)); },
     [](Editor& a, const BatchStep& s) { const auto r = rotate_of(s); return rotate_by_dialog(a, &r); }},
    {[](Editor& a, int32_t op) { return step_from(op, ask_connect(a)); },
     [](Editor& a, const BatchStep& s) { const auto r = connect_of(s); return connect_images(a, &r); }},
    {[](Editor& a, int32_t op) { return step_from(op, ask_divide(a)); },
     [](Editor& a, const BatchStep& s) { const auto r = divide_of(s); return divide_image(a, &r); }},
    {[](Editor&, int32_t op) { return plain_step(op); }, [](Editor& a, const BatchStep&) { return alpha_new(a, true); }},
    {[](Editor&, int32_t op) { return plain_step(op); }, [](Editor& a, const BatchStep&) { return alpha_delete(a, true); }},
    {[](Editor& a, int32_t) { return ask_import(a); },
     [](Editor& a, const BatchStep& s) { return alpha_import(a, s.text(0, kPathUnits)); }},
    {[](Editor&, int32_t op) { return plain_step(op); }, [](Editor& a, const BatchStep&) { return alpha_swap_rgb(a); }},
    {[](Editor&, int32_t op) { return plain_step(op); }, [](Editor& a, const BatchStep&) { return alpha_invert(a); }},
    {[](Editor& a, int32_t) { return ask_lossless(a); },
     [](Editor& a, const BatchStep& s) { const LosslessRequest r{s.field(0)}; return lossless_transform_command(a, &r); }},
}};

// The error question; true when the user chose to stop.
bool ask_to_abort(Editor& editor) {
  return show_message(editor.shell, kBatchErrorQuestion, platform::MessageIcon::Warning, platform::MessageButtons::YesNo) ==
         platform::MessageAnswer::Yes;
}

// The steps on the shown picture, each fault handed on; what the handler chose last.
BatchGoOn run_steps(Editor& editor, std::span<const BatchStep> steps, const BatchFaultHandler& on_fault,
                    BatchPictureResult& result) {
  for (size_t i = 0; i < steps.size(); ++i) {
    if (run_batch_step(editor, steps[i]) != 1) continue;
    result.failed = true;
    const BatchGoOn go_on = on_fault({static_cast<int>(i), steps[i].operation});
    if (go_on != BatchGoOn::NextStep) return go_on;
  }
  return BatchGoOn::NextStep;
}

}  // namespace

std::optional<BatchStep> ask_batch_step(Editor& editor, int32_t operation) {
  if (operation < 0 || operation >= kBatchOperationCount) return std::nullopt;
  if (operation >= kBatchFirstEffect) return ask_effect(editor, operation);
  return kOperations[static_cast<size_t>(operation)].ask(editor, operation);
}

int run_batch_step(Editor& editor, const BatchStep& step) {
  if (step.operation < 0 || step.operation >= kBatchOperationCount) return 1;
  if (step.operation >= kBatchFirstEffect) return run_effect_step(editor, step);
  return kOperations[static_cast<size_t>(step.operation)].run(editor, step);
}

BatchPictureResult run_batch_picture(Editor& editor, std::span<const BatchStep> steps, const std::u16string& file,
                                     const BatchFaultHandler& on_fault, BatchClose close) {
  BatchPictureResult result;
  if (editor.viewer.open_file(file, -1, -1) != 0) {
    result.failed = true;
    result.aborted = on_fault({-1, -1}) == BatchGoOn::Abort;
    return result;
  }
  result.aborted = run_steps(editor, steps, on_fault, result) == BatchGoOn::Abort;
  ViewState& v = editor.doc.view();
  result.left_modified = (v.flags & kModified) != 0;
  if (close == BatchClose::LeaveUnsaved) v.flags &= ~kModified;
  editor.viewer.close_image(true);
  return result;
}

BatchOutcome run_batch(Editor& editor, std::span<const BatchStep> steps, const std::u16string& folder,
                       const std::u16string& extensions, bool subfolders) {
  const std::vector<std::u16string> suffixes = batch_suffixes(extensions);
  const std::vector<std::u16string> files = batch_files(folder, suffixes, subfolders);
  if (files.empty()) return BatchOutcome::NothingFound;
  const BatchFaultHandler ask = [&editor](const BatchFault& fault) {
    if (ask_to_abort(editor)) return BatchGoOn::Abort;
    return fault.step < 0 ? BatchGoOn::NextPicture : BatchGoOn::NextStep;
  };
  for (const std::u16string& file : files) {
    if (is_directory(file)) continue;
    if (run_batch_picture(editor, steps, file, ask, BatchClose::AskToSave).aborted) return BatchOutcome::Aborted;
  }
  return BatchOutcome::Completed;
}

std::u16string batch_folder(Editor& editor) {
  const std::u16string folder = savedata_folder(editor.shell.settings_store().program_folder()) + u"batch/";
  std::error_code ignored;  // a folder that cannot be made leaves the chooser its own start
  std::filesystem::create_directories(to_fs_path(folder), ignored);
  return folder;
}

}  // namespace tesmo
