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
