// Shared by the tests that run the built tool.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

inline std::string slurp(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

/// The lines of text without their line ends; an unended last line counts too.
inline std::vector<std::string> lines_of(const std::string &text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

/// The lines a shell command prints on stdout; the test fails when the command does.
inline std::vector<std::string> lines_printed_by(const std::string &command) {
  const fs::path printed = fs::path(testing::TempDir()) / ("printed-" + std::to_string(getpid()));
  EXPECT_EQ(std::system((command + " >" + printed.string()).c_str()), 0) << command;
  return lines_of(slurp(printed));
}

/// Runs the tool on cases/<name>.sh, with args (shell words) in place of the case's own when
/// given; the directory holding what it produced.
inline fs::path run_case(const std::string &name, const std::string &args = "") {
  setenv("FAIL_SPAWN_LIB", FAIL_SPAWN_LIB, 1);
  static int runs = 0;
  const fs::path out = fs::path(testing::TempDir()) /
                       ("revstamp-" + std::to_string(getpid()) + "-" + std::to_string(++runs));
  const std::string command = std::string(TESTS_DIR) + "/run_case.sh " + TOOL_PATH + " " +
                              TESTS_DIR + "/cases/" + name + ".sh " + out.string() + " " + args;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return out;
}

/// The names of the cases under cases/, sorted.
inline std::vector<std::string> case_names() {
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(fs::path(TESTS_DIR) / "cases"))
    names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}
