// Lossless rotations and flips of a JPEG file through TurboJPEG's transform function: the
// coefficients are rearranged without recompression and every marker of the input is copied.
#include <turbojpeg.h>

#include "base/file_io.h"
#include "formats/jpeg/jpeg.h"

namespace tesmo::jpeg {
namespace {

// The transform codes are TurboJPEG's operation numbers.
constexpr bool same(TJXOP op, TransformCode code) { return static_cast<int>(op) == static_cast<int>(code); }
static_assert(same(TJXOP_NONE, kTransformNone) && same(TJXOP_HFLIP, kTransformFlipHorizontal) &&
              same(TJXOP_VFLIP, kTransformFlipVertical) && same(TJXOP_TRANSPOSE, kTransformTranspose) &&
              same(TJXOP_TRANSVERSE, kTransformTransverse) && same(TJXOP_ROT90, kTransformRotate90) &&
              same(TJXOP_ROT180, kTransformRotate180) && same(TJXOP_ROT270, kTransformRotate270));

constexpr size_t kMinInputBytes = 4;

struct Handle {
  tjhandle h = tjInitTransform();
  ~Handle() {
    if (h) tjDestroy(h);
  }
};

struct Output {
  unsigned char* data = nullptr;
  unsigned long size = 0;
  ~Output() { tjFree(data); }
};

}  // namespace

int lossless_transform(const std::u16string& output, const std::u16string& input, int code) {
  if (code < kTransformNone || code > kTransformRotate270) return 1;
  std::optional<FileBytes> in = read_file_bytes(input);
  if (!in || in->size() < kMinInputBytes) return 1;
  Handle handle;
  if (!handle.h) return 1;
  tjtransform transform{};
  transform.op = code;  // no trimming, no cropping, no forced grey; all markers copied
  Output out;
  const int result = tjTransform(handle.h, in->data(), in->size(), 1, &out.data, &out.size, &transform, 0);
  // A warning (data the library stepped over) still gives a complete output, as a plain library
  // run would.
  if (result != 0 && tjGetErrorCode(handle.h) != TJERR_WARNING) return 1;
  if (!out.data || out.size == 0) return 1;
  return file_replace(output, std::span<const uint8_t>(out.data, out.size)) == 0 ? 0 : 1;
}

}  // namespace tesmo::jpeg
