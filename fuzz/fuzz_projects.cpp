// Fuzz target: the files the developer tools keep for the user, chosen by the first byte: 0 a
// ".batch" step list, 1 the file pack module's project file (through the file and from memory),
// anything else the falling object project text, whose numbers then drive a few frames of the
// preview. Whatever a reader accepts must come back the same after it is written and read again.
#include <string_view>

#include "edit/batch_steps.h"
#include "fuzz/fuzz_driver.h"
#include "tools/falling_project.h"
#include "tools/pack/pack_project.h"

namespace {

using namespace tesmo;

void batch_file(std::span<const uint8_t> bytes) {
  const std::optional<std::vector<BatchStep>> steps = read_batch_file(bytes);
  if (steps) {
    for (const BatchStep& s : *steps) s.text(0, 256);
    if (read_batch_file(batch_file_bytes(*steps)) != steps) __builtin_trap();
  }
  std::u16string extensions;
  for (uint8_t b : bytes) extensions.push_back(static_cast<char16_t>(b));
  batch_suffixes(extensions);
}

void pack_project(std::span<const uint8_t> bytes) {
  const PackProjectFile decoded = pack_project_decode(bytes);
  if (decoded.current < 0 || decoded.current >= kPackProjectCount) __builtin_trap();
  if (pack_project_decode(pack_project_encode(decoded)) != decoded) __builtin_trap();
  const std::u16string path = fuzz::write_work_file("tool_vardo32.sav", bytes);
  if (pack_project_load(path) != decoded) __builtin_trap();
  for (const PackProject& p : decoded.projects) pack_type_of_options(p.options);
}

void falling_project(std::span<const uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const FallingProject project = parse_falling_project(text);
  const FallingProject again = parse_falling_project(format_falling_project(project));
  if (again.fixed != project.fixed || again.variable != project.variable) __builtin_trap();
  parse_project_number(text);

  FallingObjects preview;
  falling_start(preview, project.fixed, project.variable);
  int drawn = 0;
  for (int frame = 0; frame < 3; ++frame) {
    falling_step(preview, 1.0f);
    falling_draw(preview, [&](const GrainBlit&) { ++drawn; });
  }
  if (drawn > 3 * kGrainCount) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::vector<uint8_t> bytes = tesmo::fuzz::exact_copy(data + 1, size - 1);
  switch (data[0]) {
    case 0: batch_file(bytes); break;
    case 1: pack_project(bytes); break;
    default: falling_project(bytes); break;
  }
  return 0;
}
