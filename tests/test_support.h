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
/// given, leaving what it produced in out.
inline void run_case_into(const std::string &name, const fs::path &out, const std::string &args) {
  setenv("FAIL_SPAWN_LIB", FAIL_SPAWN_LIB, 1);
  setenv("GIT_RECORDER", GIT_RECORDER, 1);
  const std::string command = std::string(TESTS_DIR) + "/run_case.sh " + TOOL_PATH + " " +
                              TESTS_DIR + "/cases/" + name + ".sh " + out.string() + " " + args;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

/// run_case_into a directory of this process's own; that directory.
inline fs::path run_case(const std::string &name, const std::string &args = "") {
  static int runs = 0;
  const fs::path out = fs::path(testing::TempDir()) /
                       ("revstamp-" + std::to_string(getpid()) + "-" + std::to_string(++runs));
  run_case_into(name, out, args);
  return out;
}

/// Where the golden test leaves each case's Linux run for the Windows tests, which replay it:
/// beside the other runs (another user's case writes there too), one folder per build.
inline fs::path kept_run_path(const std::string &name) {
  const std::string build = std::to_string(std::hash<std::string>()(TOOL_PATH));
  return fs::path(testing::TempDir()) / ("revstamp-runs-" + build) / name;
}

/// The Linux run of case name, as the golden test kept it when that is newer than the tool,
/// the case and the harness (under ctest, the golden test runs first); else a new one.
inline fs::path linux_run(const std::string &name) {
  const fs::path kept = kept_run_path(name);
  std::error_code absent;
  const auto made = fs::last_write_time(kept / "status", absent);
  bool fresh = !absent;
  for (const fs::path &source : {fs::path(TOOL_PATH), fs::path(TESTS_DIR) / "run_case.sh",
                                 fs::path(TESTS_DIR) / "cases" / (name + ".sh")})
    fresh = fresh && fs::last_write_time(source) <= made;
  return fresh ? kept : run_case(name);
}

/// The names of the cases under cases/, sorted.
inline std::vector<std::string> case_names() {
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(fs::path(TESTS_DIR) / "cases"))
    names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}
