// Runs `tesmo` in the test process with its output captured.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/commands.h"

namespace tesmo::testing {

struct Outcome {
  int code;
  std::string out, err;
};

// `args` without the program name; stdout and stderr as the command printed them.
inline Outcome tesmo_run(std::vector<std::string> args) {
  args.insert(args.begin(), "tesmo");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  int code = cli::run(static_cast<int>(argv.size()), argv.data());
  std::string out = ::testing::internal::GetCapturedStdout();
  return {code, out, ::testing::internal::GetCapturedStderr()};
}

}  // namespace tesmo::testing
