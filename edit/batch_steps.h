// The batch's step list as data: the 54 operations with their names and their places in the
// dialog's list, the 1024-byte step records, the ".batch" file that stores a list, and the
// pictures a run takes from a folder. Nothing here runs a step: batch_run.cpp does.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tesmo {

inline constexpr int kBatchOperationCount = 54;
inline constexpr int kBatchFirstEffect = 19;  // operation index = effect index + 19

// Operations with a name of their own (the effects take theirs from the effect table).
enum BatchOperation : int32_t {
  kBatchSave = 0, kBatchImageSize, kBatchCanvasSize, kBatchCrop, kBatchTrim, kBatchRotateLeft, kBatchRotate180,
  kBatchRotateRight, kBatchFlipLeftRight, kBatchFlipTopBottom, kBatchRotateAngle, kBatchConnect, kBatchDivide,
  kBatchAlphaNew, kBatchAlphaDelete, kBatchAlphaImport, kBatchAlphaSwap, kBatchAlphaInvert, kBatchLossless,
};

// The operation's display name; empty outside 0–53.
std::u16string batch_operation_name(int32_t operation);
// The dialog's operation list shows the rotations as left, 180°, right, by angle, left-right,
// top-bottom: position 8 holds operation 10, positions 9 and 10 hold operations 8 and 9. −1 outside.
int32_t batch_operation_at(int32_t list_position);
int32_t batch_list_position(int32_t operation);

// One step: the operation index and its request record (the rest zero), 1024 bytes in a file.
inline constexpr size_t kBatchStepBytes = 1024;
struct BatchStep {
  int32_t operation = 0;
  std::array<uint8_t, kBatchStepBytes - 4> request{};

  // The request's 32-bit fields by number, and a UTF-16 text of `units` units from field `field`.
  int32_t field(size_t index) const;
  void set_field(size_t index, int32_t value);
  std::u16string text(size_t field, size_t units) const;
  void set_text(size_t field, size_t units, std::u16string_view value);
  bool operator==(const BatchStep&) const = default;
};

// The ".batch" file: "ZUK\0", 256, 256, the step count, then the steps.
std::vector<uint8_t> batch_file_bytes(std::span<const BatchStep> steps);
// The steps of a ".batch" file; nothing for a foreign file (signature, 256, a third field of 255 or
// less), an empty list, a count the file cannot hold, or a step with an unknown operation.
std::optional<std::vector<BatchStep>> read_batch_file(std::span<const uint8_t> bytes);

// The extension text "*.png;*.jpg" as the suffixes ".png", ".jpg" (each pattern loses its first
// character; empty patterns are dropped).
std::vector<std::u16string> batch_suffixes(std::u16string_view extensions);
// The files of `folder` (and of its subfolders when `subfolders`) whose names end in one of the
// suffixes, ASCII letters compared without case; each folder's files by name, a subfolder's files
// after the files of the folder that holds it.
std::vector<std::u16string> batch_files(const std::u16string& folder, std::span<const std::u16string> suffixes,
                                        bool subfolders);

}  // namespace tesmo
