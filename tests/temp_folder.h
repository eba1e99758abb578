// A fresh folder per test under the system's temporary folder, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "base/path.h"

namespace tesmo::testing {

class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            (std::string("tesmo_") + info->test_suite_name() + "_" + info->name() + "_" +
             std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder as the system's UTF-16 path, with a trailing separator.
  std::u16string folder() const { return from_fs_path(path_) + u"/"; }
  std::u16string file(const char* name) const { return from_fs_path(path_ / name); }

 private:
  std::filesystem::path path_;
};

}  // namespace tesmo::testing
