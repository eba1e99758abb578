// Batch processing (menu "バッチ処理"): a list of edit steps run on every picture of a folder.
//
//   batch_run.cpp     each operation's request asked, stored field by field in a BatchStep and read
//                     back, a step replayed through the menu command's function, the run over the
//                     folder's files
//   batch_dialog.cpp  the batch dialog (126) and the command
//
// The step records, names and the ".batch" file are edit/batch_steps.*.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "edit/batch_steps.h"

namespace tesmo {

class Editor;

inline constexpr char16_t kBatchErrorQuestion[] = u"バッチ処理でエラーが発生しました。\n処理を中断しますか？";
inline constexpr char16_t kBatchNotFound[] = u"バッチ処理の対象の画像が見つかりませんでした。";
inline constexpr char16_t kBatchDone[] = u"バッチ処理が完了しました。";

// Shows the operation's dialog and makes the step from its answer; nothing when it was cancelled.
// Operations without a request (and grey scale, negative) need no dialog.
std::optional<BatchStep> ask_batch_step(Editor& editor, int32_t operation);

// Runs one step on the shown picture exactly as its menu command would, without a dialog. 0 done
// (also when there was nothing to do), 1 failed.
int run_batch_step(Editor& editor, const BatchStep& step);

// What a run over a folder came to.
enum class BatchOutcome { Completed, NothingFound, Aborted };

// A picture the steps could not finish: the file did not open (step −1), or step `step` (its place
// in the list) failed.
struct BatchFault {
  int step = -1;
  int32_t operation = -1;
};
// How a run goes on after a fault: stop the whole run, run the picture's next step, or leave the
// picture (its remaining steps skipped) for the next one.
enum class BatchGoOn { Abort, NextStep, NextPicture };
using BatchFaultHandler = std::function<BatchGoOn(const BatchFault&)>;

// How a picture still modified after its steps is closed: with the question whether to save it (the
// dialog), or left unsaved without a question (the command line, which reports it).
enum class BatchClose { AskToSave, LeaveUnsaved };

struct BatchPictureResult {
  bool aborted = false;        // the handler stopped the run
  bool failed = false;         // a fault was met
  bool left_modified = false;  // still modified after the steps, and closed unsaved
};

// One picture of a run: opens `file`, runs the steps on it (each fault goes to `on_fault`), closes
// it by `close`. `editor.batch_output` says where its results go.
BatchPictureResult run_batch_picture(Editor& editor, std::span<const BatchStep> steps, const std::u16string& file,
                                     const BatchFaultHandler& on_fault, BatchClose close);

// Opens each file of `folder` matching `extensions` ("*.bmp;*.png"), runs the steps on it and
// closes it (asking to save a picture still modified). A failed step or an unreadable file asks
// whether to stop.
BatchOutcome run_batch(Editor& editor, std::span<const BatchStep> steps, const std::u16string& folder,
                       const std::u16string& extensions, bool subfolders);

// Where step lists are kept: "batch/" in the savedata folder (base/user_folders.h), made when
// missing so that the batch file choosers start there.
std::u16string batch_folder(Editor& editor);

// The menu command: closes the shown picture, runs the dialog and reports the end. 0 when a run
// completed (with or without files), 2 when it was cancelled or aborted.
int batch_command(Editor& editor);

}  // namespace tesmo
