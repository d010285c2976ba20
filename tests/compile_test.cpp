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

}  // namespace
