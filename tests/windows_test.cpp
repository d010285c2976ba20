// The Windows build under Wine must print and write what the Linux build does, with every
// line end a CR LF.
#include <string>
#include <vector>

#include "test_support.h"

namespace {

std::string with_crlf(const std::string &text) {
  std::string converted;
  for (char c : text) converted += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return converted;
}

// Cases whose fault is made by POSIX means (resource limits, removed directory, preloaded
// library, closed descriptors, a slow Git stand-in, ACLs, mounts) or by the tool's own
// environment (GIT_DIR) have no Windows run.
std::vector<std::string> windows_case_names() {
  std::vector<std::string> names;
  for (const std::string &name : case_names()) {
    const std::string setup = slurp(fs::path(TESTS_DIR) / "cases" / (name + ".sh"));
    bool posix_only = false;
    for (const char *means : {"limit_file", "remove_run_dir=", "fail_spawn=", "tool_streams=",
                              "$tmp/slow", "GIT_DIR=", "$out/skip"})
      posix_only = posix_only || setup.find(means) != std::string::npos;
    if (!posix_only) names.push_back(name);
  }
  return names;
}

void expect_windows_run_matches_linux(const std::string &name) {
  setenv("WINE_TOOL", WINDOWS_TOOL_PATH, 1);
  setenv("WINE_GIT", WINDOWS_GIT_PATH, 1);
  const fs::path out = run_case(name);
  ASSERT_TRUE(fs::exists(out / "win"));
  EXPECT_EQ(slurp(out / "win/status"), slurp(out / "status"));
  EXPECT_EQ(slurp(out / "win/stdout"), with_crlf(slurp(out / "stdout")));
  ASSERT_EQ(fs::exists(out / "win/revision.h"), fs::exists(out / "revision.h"));
  EXPECT_EQ(slurp(out / "win/revision.h"), with_crlf(slurp(out / "revision.h")));
  // Without Git the tool says so on stderr (--help and --version ask no Git).
  if (slurp(out / "git.log").empty() && !slurp(out / "stderr").empty()) {
    EXPECT_NE(slurp(out / "win/stderr").find("git: not found"), std::string::npos);
  }
}

class WindowsCase : public testing::TestWithParam<std::string> {};

TEST_P(WindowsCase, MatchesLinuxRunWithCrLf) { expect_windows_run_matches_linux(GetParam()); }

// A Git that is a batch script runs through cmd.exe, and still stamps what Git printed.
TEST(WindowsGitScript, MatchesLinuxRunWithCrLf) {
  setenv("WINE_GIT_SCRIPT", "1", 1);
  for (const char *name : {"modified", "targeted_submodule", "status_fails"}) {
    SCOPED_TRACE(name);
    expect_windows_run_matches_linux(name);
  }
  unsetenv("WINE_GIT_SCRIPT");
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowsCase, testing::ValuesIn(windows_case_names()),
                         [](const auto &info) { return info.param; });

}  // namespace
