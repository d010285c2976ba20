// Shared by the tests that run the built tool.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

inline std::string slurp(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

/// Runs the tool on cases/<name>.sh, with args (shell words) in place of the case's own when
/// given; the directory holding what it produced.
inline fs::path run_case(const std::string &name, const std::string &args = "") {
  const fs::path out = fs::path(testing::TempDir()) / ("revstamp-" + name);
  const std::string command = std::string(TESTS_DIR) + "/run_case.sh " + TOOL_PATH + " " +
                              TESTS_DIR + "/cases/" + name + ".sh " + out.string() + " " + args;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return out;
}
