// The lossless transform command (menu "ロスレス回転"): a JPEG file is rotated or flipped in place
// without recompression, from its dialog or, for the batch runner, from a request.
//
// Results: 0 done, 1 failed (the file is left as it was), 2 cancelled.
#pragma once

#include <cstdint>

namespace tesmo {

class Editor;

// The dialog's choice, 0–6: left 90°, 180°, right 90°, left-right flip, top-bottom flip, left 90° +
// left-right flip, right 90° + left-right flip.
struct LosslessRequest {
  int32_t choice = 0;
};

// The transform code of a choice (7, 6, 5, 1, 2, 3, 4); 0 for a choice outside 0–6.
int lossless_code(int32_t choice);

// Shows the dialog, starting at `request`'s choice; 0 with the choice on OK, 2 on Cancel.
int lossless_dialog(Editor& editor, LosslessRequest& request);

// Asks to save a modified picture (Yes runs Save As), takes the choice from the dialog (no
// request) or the request, copies the shown file to "<path>.tmp", transforms the copy back into
// the file and shows the new file unmodified. The copy must be a JPEG whose width is a multiple
// of 8.
int lossless_transform_command(Editor& editor, const LosslessRequest* request);

}  // namespace tesmo
