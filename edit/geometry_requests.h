// The request records of the geometry edits: the values a dialog would give, so that the batch
// runner can replay an edit without showing the dialog. Every field is a signed 32-bit number; the
// connect record carries its path as 260 UTF-16 units (zero-terminated when shorter).
#pragma once

#include <cstdint>

namespace tesmo {

// Image size: the new size and the resampling filter flags (0, 0x10, 0x20, 0x40 or 0x80).
struct ImageSizeRequest {
  int32_t width = 0;
  int32_t height = 0;
  int32_t filter = 0;
};

// Where the old picture sits on a larger or smaller canvas.
enum CanvasAnchor : int32_t { kAnchorStart = 0, kAnchorCentre = 1, kAnchorEnd = 2 };

// Canvas size: the new size, rounded up to multiples of the alignment, and the anchor column
// (0 left, 1 centre, 2 right) and row (0 top, 1 middle, 2 bottom).
struct CanvasSizeRequest {
  int32_t width = 0;
  int32_t height = 0;
  int32_t align_x = 1;
  int32_t align_y = 1;
  int32_t anchor_column = kAnchorStart;
  int32_t anchor_row = kAnchorStart;
};

// Crop: the kept rectangle of the picture.
struct CropRequest {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Trim: the sides (TrimFlag of surface/surface.h: 1 top, 2 bottom, 4 left, 8 right, 0x100 equal
// margins) and the margin colour as red << 16 | green << 8 | blue.
struct TrimRequest {
  int32_t sides = 0;
  int32_t colour = 0;
};

// Rotation by an angle in degrees (positive: to the left).
struct RotateRequest {
  int32_t angle = 0;
};

// The side a connected picture goes to (the first set flag, in this order, is taken).
enum ConnectSide : int32_t { kConnectTop = 1, kConnectBottom = 2, kConnectLeft = 4, kConnectRight = 8 };

inline constexpr int kConnectPathLength = 260;

// Connect: one file (target 0) or every picture of a folder (any other target) on one side.
struct ConnectRequest {
  int32_t target = 0;
  char16_t path[kConnectPathLength] = {};
  int32_t sides = 0;
};

// Divide: the tile size, the depth of the written files (24 or 32) and the tile-count limits
// across and down (0: no limit).
struct DivideRequest {
  int32_t tile_width = 0;
  int32_t tile_height = 0;
  int32_t bits = 24;
  int32_t limit_x = 0;
  int32_t limit_y = 0;
};

// The records are stored as they are: fixed sizes, no padding.
static_assert(sizeof(ImageSizeRequest) == 12 && sizeof(CanvasSizeRequest) == 24 && sizeof(CropRequest) == 16);
static_assert(sizeof(TrimRequest) == 8 && sizeof(RotateRequest) == 4 && sizeof(DivideRequest) == 20);
static_assert(sizeof(ConnectRequest) == 4 + 2 * kConnectPathLength + 4);

}  // namespace tesmo
