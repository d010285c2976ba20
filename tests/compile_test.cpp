// The generated header compiled into a C program by the host compiler, as firmware would.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace {

// What a build that turns every warning into an error accepts.
const char kStrict[] = "-Wall -Wextra -Wpedantic -Werror ";

// Compiles firmware.c against the header in dir with the given compiler and flags; what the
// program prints.
std::string compile_and_run(const fs::path &dir, const std::string &flags,
                            const std::string &compiler = C_COMPILER) {
  const fs::path program = dir / "firmware";
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

std::vector<std::string> lines_of(const std::string &text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// The state macro as firmware sees it: always two bytes, the state byte and the terminator.
std::string state_line(char state) { return "2 " + std::to_string(state); }

TEST(CompiledHeader, PlainBuildInfoAndStateUnderStrictGccAndClang) {
  const struct {
    const char *name, *args, *count;
    char state;
  } cases[] = {{"linear", "", "3", 0},
               {"clean", "", "1", 0},
               {"modified", "", "1", 'M'},
               {"popen_fails_status", "x", "2", 1}};
  for (const char *compiler : {"gcc", "clang"}) {
    for (const auto &c : cases) {
      SCOPED_TRACE(std::string(compiler) + " " + c.name);
      // firmware.c prints the build info, then its own __DATE__ and __TIME__.
      const auto lines = lines_of(compile_and_run(run_case(c.name, c.args), kStrict, compiler));
      ASSERT_EQ(lines.size(), 4u);
      EXPECT_EQ(lines[0], std::string("r") + c.count + " built on " + lines[1] + " " + lines[2]);
      EXPECT_EQ(lines[3], state_line(c.state));
    }
  }
}

TEST(CompiledHeader, TargetedMacrosMatchDefinesAndGitUnderStrictC99) {
  const struct {
    const char *defines, *target;
  } builds[] = {{"", "release"},
                {"-DDEBUG", "debug"},
                {"-D_DEBUG", "debug"},
                {"-D__DEBUG", "debug"},
                {"-DDISTRIBUTION", "distribution"},
                {"-D_DISTRIBUTION", "distribution"},
                {"-D__DISTRIBUTION", "distribution"}};
  // Submodule paths that hold a quote and a backslash, or "??/" and "??=", which C99 with
  // trigraphs would read as a backslash and a '#'; a clean tree with nested submodules; a
  // failed status pipe.
  const struct {
    const char *name;
    char state;
  } cases[] = {{"targeted_quoted_path", 'M'},
               {"targeted_trigraph_path", 0},
               {"targeted_nested", 0},
               {"popen_fails_status", 1}};
  for (const auto &c : cases) {
    const fs::path out = run_case(c.name);
    const auto commits = lines_of(slurp(out / "git-out/rev-list"));
    ASSERT_FALSE(commits.empty());
    std::string listing;
    for (const auto &line : lines_of(slurp(out / "git-out/submodule"))) listing += line + " \r\n";
    const std::string state = c.state == 0 ? "" : std::string("-") + c.state;
    for (const auto &build : builds) {
      SCOPED_TRACE(std::string(c.name) + " " + build.defines);
      const std::string printed =
          compile_and_run(out, std::string(kStrict) + "-std=c99 -trigraphs " + build.defines);
      const auto lines = lines_of(printed);
      ASSERT_GE(lines.size(), 5u);
      EXPECT_EQ(lines[0], "r" + std::to_string(commits.size()) + "-" + commits.back().substr(0, 8) +
                              state + " " + build.target + "  built on " + lines[1] + " " +
                              lines[2]);
      EXPECT_EQ(lines[3], state_line(c.state));
      EXPECT_EQ(lines[4], build.target);
      size_t listing_start = 0;  // the listing follows the first five lines
      for (size_t i = 0; i < 5; ++i) listing_start += lines[i].size() + 1;
      EXPECT_EQ(printed.substr(listing_start), listing);
    }
  }
}

}  // namespace
