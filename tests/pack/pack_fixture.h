// A temporary folder with a pack list and its sources, and a run over it.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <string_view>

#include "base/file_io.h"
#include "base/text.h"
#include "temp_folder.h"
#include "tools/pack/pack_run.h"

namespace tesmo::testing {

class PackFolder {
 public:
  void write(const char* name, std::span<const uint8_t> bytes) { ASSERT_EQ(file_replace(tmp_.file(name), bytes), 0); }
  void write(const char* name, std::string_view text) {
    write(name, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  }
  void write_sized(const char* name, size_t size, uint8_t fill = 0x5A) { write(name, std::vector<uint8_t>(size, fill)); }

  std::u16string path(const char* name) const { return tmp_.file(name); }
  std::u16string folder() const { return tmp_.folder(); }
  std::u16string archive() const { return tmp_.file("list.dat"); }

  // Writes the list and runs it with the folder as base, text and script folder.
  int run(std::string_view list, uint32_t options, const char* prefix = "FID_") {
    write("list.lst", list);
    return run_again(options, prefix);
  }
  // Runs the list as it stands.
  int run_again(uint32_t options, const char* prefix = "FID_") {
    packer = Packer{};
    if (setup) setup(packer);
    return pack_run(packer, archive(), path("list.lst"), folder(), folder(), options, prefix);
  }

  std::vector<uint8_t> bytes(const char* name) const { return read_file(tmp_.file(name)).value_or(std::vector<uint8_t>{}); }
  std::string text(const char* name) const {
    auto b = bytes(name);
    return {b.begin(), b.end()};
  }
  bool exists(const char* name) const { return file_exists(tmp_.file(name)); }

  // Sets the file's modification time to `seconds` since the epoch plus `nanoseconds`.
  void set_time(const char* name, time_t seconds, long nanoseconds) {
    struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, to_fs_path(tmp_.file(name)).c_str(), times, 0), 0);
  }

  Packer packer;
  std::function<void(Packer&)> setup;  // hooks and limits for the next run

 private:
  TempFolder tmp_;
};

}  // namespace tesmo::testing
