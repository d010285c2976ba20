// Runs the tool on every case under cases/ and compares what it produced with golden/<case>/.
// REVSTAMP_UPDATE_GOLDEN=1 rewrites the golden files instead; review the diff before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

const char *const kOutputs[] = {"stdout", "stderr", "status", "revision.h", "git.log", "after"};

std::string sorted_lines(const std::string &text) {
  std::vector<std::string> lines = lines_of(text);
  std::sort(lines.begin(), lines.end());
  std::string sorted;
  for (const std::string &line : lines) sorted += line + "\n";
  return sorted;
}

class GoldenCase : public testing::TestWithParam<std::string> {};

TEST_P(GoldenCase, MatchesGoldenOutput) {
  const std::string name = GetParam();
  // Left for the Windows tests, under the case's name once the run is whole.
  const fs::path out = kept_run_path(name + "." + std::to_string(getpid()));
  run_case_into(name, out, "");
  // A case that needs what this machine lacks (ACLs, mounts) says so in its skip file.
  if (fs::exists(out / "skip")) GTEST_SKIP() << slurp(out / "skip");
  const fs::path golden = fs::path(TESTS_DIR) / "golden" / name;

  const bool update = std::getenv("REVSTAMP_UPDATE_GOLDEN") != nullptr;
  if (update) {
    fs::remove_all(golden);
    fs::create_directories(golden);
  }
  for (const char *file : kOutputs) {
    SCOPED_TRACE(file);
    const bool produced = fs::exists(out / file);
    if (update) {
      if (produced) fs::copy_file(out / file, golden / file);
      continue;
    }
    ASSERT_EQ(produced, fs::exists(golden / file));
    if (produced) {
      // Git's commands run side by side, so their complaints may come in any order.
      const auto comparable = [&](const fs::path &path) {
        return std::string(file) == "stderr" ? sorted_lines(slurp(path)) : slurp(path);
      };
      EXPECT_EQ(comparable(out / file), comparable(golden / file));
    }
  }
  fs::remove_all(kept_run_path(name));
  fs::rename(out, kept_run_path(name));
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenCase, testing::ValuesIn(case_names()),
                         [](const auto &info) { return info.param; });

// One library call failing in the tool at a time (tests/fail_spawn.c): the run reports it and
// exits 1, or gets round it and stamps the case's usual header. Each row is a test of its own, so
// that the rows spread over the cores.
struct FailingCallRow {
  const char *call, *name, *report;
};
const FailingCallRow kFailingCalls[] = {
    {"posix_spawn_file_actions_init", "modified", "popen failed: Cannot allocate memory"},
    {"posix_spawnattr_init", "modified", "popen failed: Cannot allocate memory"},
    {"posix_spawn_file_actions_adddup2", "modified", "popen failed: Cannot allocate memory"},
    {"posix_spawn_file_actions_addopen", "modified", "popen failed: Cannot allocate memory"},
    {"posix_spawnattr_setsigdefault", "modified", "popen failed: Invalid argument"},
    {"posix_spawnattr_setflags", "modified", "popen failed: Invalid argument"},
    {"fdopen", "targeted_modified", "popen failed: Cannot allocate memory"},
    {"fclose", "modified", "write failed: Input/output error"},
    {"realloc", "targeted_modified", "write failed: Cannot allocate memory"},
    {"rename", "modified", "write failed: Invalid cross-device link"},
    // Got round: written in place, or the wait tried again.
    {"fchmod", "longer_old_header", nullptr},
    {"fchown", "longer_old_header", nullptr},
    {"statx", "longer_old_header", nullptr},
    {"rename_refused", "longer_old_header", nullptr},
    {"rename_busy", "longer_old_header", nullptr},
    // No full path for the index copy, its time not kept, or no descriptor to write it through:
    // the one command lists, and no copy is left. A folder that cannot be listed is not swept.
    {"getcwd", "split_batch_git", nullptr},
    {"utimensat", "split_batch_git", nullptr},
    {"fcntl", "split_batch_git", nullptr},
    {"opendir", "split_batch_git", nullptr},
    {"open", "modified", nullptr},
    {"waitpid", "targeted_modified", nullptr},
};
class FailingCall : public testing::TestWithParam<FailingCallRow> {};

TEST_P(FailingCall, ReportedOrGotRound) {
  const FailingCallRow &row = GetParam();
#ifdef REVSTAMP_SANITIZED
  // AddressSanitizer's own realloc, inside the tool, comes before the shim's.
  if (std::string(row.call) == "realloc") GTEST_SKIP() << "realloc is the sanitizer's";
#endif
  setenv("FAIL_CALL", row.call, 1);
  const fs::path out = run_case(row.name);
  unsetenv("FAIL_CALL");
  if (row.report != nullptr) {
    EXPECT_EQ(slurp(out / "status"), "1\n");
    EXPECT_NE(slurp(out / "stderr").find(row.report), std::string::npos) << slurp(out / "stderr");
  } else {
    EXPECT_EQ(slurp(out / "status"), "0\n") << slurp(out / "stderr");
    EXPECT_EQ(slurp(out / "revision.h"),
              slurp(fs::path(TESTS_DIR) / "golden" / row.name / "revision.h"));
  }
}
INSTANTIATE_TEST_SUITE_P(Calls, FailingCall, testing::ValuesIn(kFailingCalls),
                         [](const auto &info) { return std::string(info.param.call); });

// A stamp loads the C library alone: the tool's dynamic section needs nothing else.
TEST(SharedLibraries, CLibraryOnly) {
#if defined REVSTAMP_SANITIZED || defined REVSTAMP_COVERAGE
  GTEST_SKIP() << "the sanitizers' and the coverage counters' runtimes need libraries of their own";
#endif
  const std::vector<std::string> libraries = lines_printed_by(
      std::string("readelf -d ") + TOOL_PATH + " | sed -n 's/.*(NEEDED).*\\[\\(.*\\)\\]/\\1/p'");
  EXPECT_FALSE(libraries.empty());
  for (const std::string &library : libraries)
    EXPECT_TRUE(library == "libc.so.6" || library.rfind("ld-linux", 0) == 0) << library;
}

// One targeted stamp under memcheck: no error, no leak, and the header it writes without it.
TEST(Memcheck, TargetedStampIsClean) {
#ifdef REVSTAMP_SANITIZED
  GTEST_SKIP() << "the tool carries sanitizers, which memcheck cannot run";
#endif
  if (std::system("command -v valgrind >/dev/null") != 0) GTEST_SKIP() << "no valgrind";
  setenv("TOOL_WRAPPER",
         "valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=all", 1);
  const fs::path out = run_case("targeted_submodule");
  unsetenv("TOOL_WRAPPER");
  EXPECT_EQ(slurp(out / "status"), "0\n");
  EXPECT_EQ(slurp(out / "stderr"), "");
  EXPECT_EQ(slurp(out / "revision.h"),
            slurp(fs::path(TESTS_DIR) / "golden/targeted_submodule/revision.h"));
}

}  // namespace
