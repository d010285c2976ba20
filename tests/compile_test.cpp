// The generated header compiled into a C program by the host compiler, as firmware would.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace {

// What a build that turns every warning into an error accepts.
const char kStrict[] = "-Wall -Wextra -Wpedantic -Werror ";

// The commits the run's walk listed, HEAD first: a walk whose record may be kept dates each.
std::vector<std::string> listed_commits(const fs::path &run) {
  const fs::path answers = run / "git-out/answers";
  if (!fs::exists(answers / "rev-listHEAD--timestamp--.out"))
    return lines_of(slurp(answers / "rev-listHEAD--.out"));
  std::vector<std::string> commits;
  for (const std::string &line : lines_of(slurp(answers / "rev-listHEAD--timestamp--.out")))
    commits.push_back(line.substr(line.find(' ') + 1));
  return commits;
}

// Compiles firmware.c against the header in dir with the given compiler and flags; what the
// program prints. The program is this process's own: dir may be a run other tests read.
std::string compile_and_run(const fs::path &dir, const std::string &flags,
                            const std::string &compiler = C_COMPILER) {
  const fs::path program = fs::path(testing::TempDir()) / ("firmware-" + std::to_string(getpid()));
  const std::string compile = compiler + " " + flags + " -I" + dir.string() + " -o " +
                              program.string() + " " + TESTS_DIR + "/firmware.c";
  EXPECT_EQ(std::system(compile.c_str()), 0) << compile;
  std::string printed;
  if (FILE *run = popen(program.c_str(), "r")) {
    for (int c; (c = fgetc(run)) != EOF;) printed += static_cast<char>(c);
    pclose(run);
  }
  return printed;
}

// The state macro as firmware sees it: always two bytes, the state byte and the terminator.
std::string state_line(char state) { return "2 " + std::to_string(state); }

// Firmware written in C++: a string literal directly followed by a macro name would be read as
// a user-defined literal suffix, and whether it is, is the compiler's verdict alone. So one C++
// build is run; the other compilers and standards only compile the header.
const char kCxxRun[] = "g++ -x c++ -std=c++20";

void expect_compiles_as_cxx(const fs::path &dir, const std::string &flags) {
  for (const char *cxx : {"g++", "clang++"})
    for (const char *standard : {"c++11", "c++17", "c++20"}) {
      const std::string compiler = std::string(cxx) + " -x c++ -std=" + standard;
      if (compiler == kCxxRun) continue;
      const std::string compile = compiler + " " + flags + " -fsyntax-only -I" + dir.string() +
                                  " " + TESTS_DIR + "/firmware.c";
      EXPECT_EQ(std::system(compile.c_str()), 0) << compile;
    }
}

// Each case's header is a test of its own, so that the compilers' work spreads over the cores.
const struct PlainCase {
  const char *name, *args, *count;
  char state;
} kPlainCases[] = {{"linear", "", "3", 0},
                   {"clean", "", "1", 0},
                   {"modified", "", "1", 'M'},
                   {"popen_fails_status", "x", "2", 1}};

class PlainHeader : public testing::TestWithParam<PlainCase> {};

TEST_P(PlainHeader, BuildInfoAndStateUnderStrictGccAndClang) {
  const PlainCase &c = GetParam();
  const std::vector<std::string> compilers = {"gcc", "clang", kCxxRun};
  const fs::path out = *c.args == '\0' ? linux_run(c.name) : run_case(c.name, c.args);
  for (const std::string &compiler : compilers) {
    SCOPED_TRACE(compiler);
    // firmware.c prints the build info, then its own __DATE__ and __TIME__.
    const auto lines = lines_of(compile_and_run(out, kStrict, compiler));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string("r") + c.count + " built on " + lines[1] + " " + lines[2]);
    EXPECT_EQ(lines[3], state_line(c.state));
  }
  expect_compiles_as_cxx(out, kStrict);
}

INSTANTIATE_TEST_SUITE_P(Compiled, PlainHeader, testing::ValuesIn(kPlainCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The extra macros compile as C and C++ under -Werror, and #if takes both integers.
const struct ExtraCase {
  const char *name, *flags;
} kExtraCases[] = {{"extra_macros", "valid dirty "},
                   {"extra_macros_tagged", "valid "},
                   {"extra_macros_quoted_tag", "valid "},
                   {"extra_macros_placeholder", ""},
                   {"extra_macros_shallow", ""}};

class ExtraMacrosHeader : public testing::TestWithParam<ExtraCase> {};

TEST_P(ExtraMacrosHeader, CompilesUnderStrictCAndCxx) {
  const ExtraCase &c = GetParam();
  const std::vector<std::string> compilers = {"gcc", "clang", kCxxRun};
  const fs::path out = linux_run(c.name);
  const auto commits = listed_commits(out);
  const auto described =
      lines_of(slurp(out / "git-out/answers/describe--tags--always--abbrev=8HEAD.out"));
  const std::string names = (commits.empty() ? "" : commits.front()) + " " +
                            (commits.empty() || described.empty() ? "" : described.front());
  for (const std::string &compiler : compilers) {
    SCOPED_TRACE(compiler);
    const auto lines = lines_of(compile_and_run(out, kStrict, compiler));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[4], c.flags + names);
  }
  expect_compiles_as_cxx(out, kStrict);
}

INSTANTIATE_TEST_SUITE_P(Compiled, ExtraMacrosHeader, testing::ValuesIn(kExtraCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Submodule paths that hold a quote and a backslash, or "??/" and "??=", which C99 with trigraphs
// would read as a backslash and a '#', or a Latin-1 byte and an ESC, which clang rejects raw; a
// clean tree with nested submodules; a failed status pipe.
const struct TargetedCase {
  const char *name;
  char state;
} kTargetedCases[] = {{"targeted_quoted_path", 'M'},
                      {"targeted_raw_bytes", 0},
                      {"targeted_trigraph_path", 0},
                      {"targeted_nested", 0},
                      {"popen_fails_status", 1}};

class TargetedHeader : public testing::TestWithParam<TargetedCase> {};

TEST_P(TargetedHeader, MacrosMatchDefinesAndGitUnderStrictC99AndCxx) {
  struct Build {
    std::string compiler, defines, target;
  };
  std::vector<Build> builds = {{C_COMPILER, "", "release"},
                               {C_COMPILER, "-DDEBUG", "debug"},
                               {C_COMPILER, "-D_DEBUG", "debug"},
                               {C_COMPILER, "-D__DEBUG", "debug"},
                               {C_COMPILER, "-DDISTRIBUTION", "distribution"},
                               {C_COMPILER, "-D_DISTRIBUTION", "distribution"},
                               {C_COMPILER, "-D__DISTRIBUTION", "distribution"}};
  builds.push_back({kCxxRun, "-DDEBUG", "debug"});
  const TargetedCase &c = GetParam();
  const fs::path out = linux_run(c.name);
  const auto commits = listed_commits(out);
  ASSERT_FALSE(commits.empty());
  std::string listing;
  for (const auto &line : lines_of(slurp(out / "git-out/answers/submodulestatus--recursive.out")))
    listing += line + " \r\n";
  const std::string state = c.state == 0 ? "" : std::string("-") + c.state;
  for (const auto &build : builds) {
    // The target block is the same bytes in every header: its six defines are taken once.
    const bool target_define = build.compiler == C_COMPILER && !build.defines.empty();
    if (target_define && std::string(c.name) != kTargetedCases[0].name) continue;
    SCOPED_TRACE(std::string(c.name) + " " + build.compiler + " " + build.defines);
    const bool c99 = build.compiler == C_COMPILER;
    const std::string printed = compile_and_run(
        out, kStrict + std::string(c99 ? "-std=c99 -trigraphs " : "") + build.defines,
        build.compiler);
    const auto lines = lines_of(printed);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "r" + std::to_string(commits.size()) + "-" + commits.back().substr(0, 8) +
                            state + " " + build.target + "  built on " + lines[1] + " " + lines[2]);
    EXPECT_EQ(lines[3], state_line(c.state));
    EXPECT_EQ(lines[4], build.target);
    size_t listing_start = 0;  // the listing follows the first five lines
    for (size_t i = 0; i < 5; ++i) listing_start += lines[i].size() + 1;
    EXPECT_EQ(printed.substr(listing_start), listing);
  }
  expect_compiles_as_cxx(out, kStrict + std::string("-DDEBUG"));
}

INSTANTIATE_TEST_SUITE_P(Compiled, TargetedHeader, testing::ValuesIn(kTargetedCases),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
