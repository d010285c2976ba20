// The generated header compiled into a C program by the host compiler, as firmware would.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace {

// Compiles firmware.c against the header in dir with the given flags; what the program prints.
std::string compile_and_run(const fs::path &dir, const std::string &flags) {
  const fs::path program = dir / "firmware";
  const std::string compile = std::string(C_COMPILER) + " " + flags + " -I" + dir.string() +
                              " -o " + program.string() + " " + TESTS_DIR + "/firmware.c";
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

TEST(CompiledHeader, PlainBuildInfoReadsRevisionThenCompileTime) {
  for (const auto &[name, count] : {std::pair{"linear", "3"}, {"clean", "1"}, {"modified", "1"}}) {
    // firmware.c prints the build info, then its own __DATE__ and __TIME__.
    const auto lines = lines_of(compile_and_run(run_case(name), ""));
    ASSERT_EQ(lines.size(), 3u) << name;
    EXPECT_EQ(lines[0], std::string("r") + count + " built on " + lines[1] + " " + lines[2]);
  }
}

TEST(CompiledHeader, TargetedMacrosMatchDefinesAndGit) {
  const struct {
    const char *defines, *target;
  } builds[] = {{"", "release"},
                {"-DDEBUG", "debug"},
                {"-D_DEBUG", "debug"},
                {"-D__DEBUG", "debug"},
                {"-DDISTRIBUTION", "distribution"},
                {"-D_DISTRIBUTION", "distribution"},
                {"-D__DISTRIBUTION", "distribution"}};
  // A changed tree whose submodule paths hold a quote and a backslash, and a clean one with
  // nested submodules.
  for (const auto &[name, state] :
       {std::pair{"targeted_quoted_path", "-M"}, {"targeted_nested", ""}}) {
    const fs::path out = run_case(name);
    const auto commits = lines_of(slurp(out / "git-out/rev-list"));
    ASSERT_FALSE(commits.empty());
    std::string listing;
    for (const auto &line : lines_of(slurp(out / "git-out/submodule"))) listing += line + " \r\n";
    for (const auto &build : builds) {
      SCOPED_TRACE(std::string(name) + " " + build.defines);
      const std::string printed = compile_and_run(out, build.defines);
      const auto lines = lines_of(printed);
      ASSERT_GE(lines.size(), 4u);
      EXPECT_EQ(lines[0], "r" + std::to_string(commits.size()) + "-" + commits.back().substr(0, 8) +
                              state + " " + build.target + "  built on " + lines[1] + " " +
                              lines[2]);
      EXPECT_EQ(lines[3], build.target);
      size_t listing_start = 0;  // the listing follows the first four lines
      for (size_t i = 0; i < 4; ++i) listing_start += lines[i].size() + 1;
      EXPECT_EQ(printed.substr(listing_start), listing);
    }
  }
}

}  // namespace
