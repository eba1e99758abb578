// PSD documents: the merged composite image of bitmap, grey, indexed, RGB and CMYK documents, raw
// or PackBits-compressed. Layers are not read, and there is no writer.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "formats/codec.h"

namespace tesmo::psd {

// Probe contract of the registry. Accepts files only: a memory source is declined, because the
// walk over the document's sections is made against the length of a file. Sides 1–30000.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Decodes the composite into the pixel buffer layout. PackBits data whose rows do not each take
// exactly their stated byte count and give exactly one row of samples writes no pixel at all.
void decode(ReaderState& state, std::span<uint32_t> pixels);

}  // namespace tesmo::psd
