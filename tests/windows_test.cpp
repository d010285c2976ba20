// The Windows build under Wine must print and write what the Linux build does, with every
// line end a CR LF.
#include <algorithm>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "test_support.h"

namespace {

std::string with_crlf(const std::string &text) {
  std::string converted;
  for (char c : text) converted += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return converted;
}

const std::string kPlaceholder = slurp(fs::path(TESTS_DIR) / "golden/not_a_repository/revision.h");

// Cases whose fault is made by POSIX means (resource limits, a preloaded library, Git stand-in
// scripts, other users, mounts) or by the tool's own environment say so on a line of their own,
// posix_only="<why>", and have no Windows run.
std::vector<std::string> windows_case_names() {
  std::vector<std::string> names;
  for (const std::string &name : case_names()) {
    const std::string setup = slurp(fs::path(TESTS_DIR) / "cases" / (name + ".sh"));
    if (setup.rfind("posix_only=", 0) != 0 && setup.find("\nposix_only=") == std::string::npos)
      names.push_back(name);
  }
  return names;
}

void expect_windows_run_matches_linux(const std::string &name) {
  setenv("WINE_TOOL", WINDOWS_TOOL_PATH, 1);
  setenv("WINE_GIT", WINDOWS_GIT_PATH, 1);
  setenv("WINE_HELPER", WINDOWS_HELPER_PATH, 1);
  const fs::path run = linux_run(name);
  static int runs = 0;
  const fs::path out = fs::path(testing::TempDir()) /
                       ("revstamp-win-" + std::to_string(getpid()) + "-" + std::to_string(++runs));
  const std::string command =
      std::string(TESTS_DIR) + "/run_wine.sh " + run.string() + " " + out.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  // Every command Git was started with is one the Linux run started: no word reached it changed.
  EXPECT_EQ(slurp(out / "win/unanswered"), "");
  EXPECT_EQ(slurp(out / "win/status"), slurp(run / "status"));
  EXPECT_EQ(slurp(out / "win/stdout"), with_crlf(slurp(run / "stdout")));
  ASSERT_EQ(fs::exists(out / "win/revision.h"), fs::exists(run / "revision.h"));
  EXPECT_EQ(slurp(out / "win/revision.h"), with_crlf(slurp(run / "revision.h")));
  // Without Git the tool says so on stderr (--help and --version ask no Git).
  if (slurp(run / "git.log").empty() && !slurp(run / "stderr").empty()) {
    EXPECT_NE(slurp(out / "win/stderr").find("git: not found"), std::string::npos);
  }
}

class WindowsCase : public testing::TestWithParam<std::string> {};

TEST_P(WindowsCase, MatchesLinuxRunWithCrLf) { expect_windows_run_matches_linux(GetParam()); }

// Git as Windows users have it installed: a git.cmd wrapper (with or without @, so cmd echoes
// its command or not), a folder the ANSI code page cannot spell, a git.cmd in a folder whose
// name cmd.exe would read (% ! ^ & ( and blanks), and launchers, wide and ANSI. The stamp is what
// Git printed all the same, and no command interpreter is handed a submodule's name.
// The install (the script's kind, its folder) and the case.
using Install = std::tuple<const char *, const char *>;
class WindowsGitInstalls : public testing::TestWithParam<std::tuple<Install, const char *>> {};

TEST_P(WindowsGitInstalls, MatchLinuxRunWithCrLf) {
  setenv("WINE_GIT_SCRIPT", std::get<0>(std::get<0>(GetParam())), 1);
  setenv("WINE_GIT_FOLDER", std::get<1>(std::get<0>(GetParam())), 1);
  // split_batch_git's names hold & ^ %, split_fullwidth_names' fullwidth & and ": no Git,
  // program or batch file, is handed them (a program may be a launcher that hands its command
  // line to cmd.exe), and the one command lists.
  expect_windows_run_matches_linux(std::get<1>(GetParam()));
  unsetenv("WINE_GIT_SCRIPT");
  unsetenv("WINE_GIT_FOLDER");
}

INSTANTIATE_TEST_SUITE_P(
    Installs, WindowsGitInstalls,
    testing::Combine(testing::Values(Install("quiet", "bin"), Install("echo", "bin"),
                                     Install("", "Инструменты 工具"),
                                     Install("by-name", "p%OS%q%PATH%r !x^y&z(w) v"),
                                     Install("launcher", "bin"), Install("ansi-launcher", "bin")),
                     testing::Values("modified", "targeted_submodule", "status_fails",
                                     "shallow_clone", "split_batch_git", "split_fullwidth_names")),
    [](const auto &info) {
      return "install" + std::to_string(info.index / 6) + "_" + std::get<1>(info.param);
    });

// PATH and PATHEXT as Windows reads them: a quoted entry holds a ';' of its own, an ending with
// a trailing dot is still a batch file's (one that echoes its commands unless cmd.exe is told /q,
// which only a Git known to be a batch file gets), the variable is spelled Path, and a relative
// entry leads from where the tool started, also for a batch Git that Git 2.17's listing starts
// at the top of the work tree.
const struct PathShape {
  const char *name, *script, *folder, *quoted, *pathext, *path_name, *relative, *version,
      *case_name;
} kPathShapes[] = {
    {"quoted_semicolon", "quiet", "q;x", "1", "", "", "", "", "targeted_submodule"},
    {"pathext_trailing_dot", "by-name", "p%OS%q", "", ".COM;.EXE;.BAT;.CMD.", "", "", "",
     "targeted_submodule"},
    {"spelled_Path", "quiet", "bin", "", "", "Path", "", "", "targeted_submodule"},
    {"relative_entry", "quiet", "bin", "", "", "", "1", "2.17.0", "old_git_listing"}};

class WindowsPathShapes : public testing::TestWithParam<PathShape> {};

TEST_P(WindowsPathShapes, FindGitAsWindowsDoes) {
  const PathShape &shape = GetParam();
  const std::pair<const char *, const char *> variables[] = {
      {"WINE_GIT_SCRIPT", shape.script},   {"WINE_GIT_FOLDER", shape.folder},
      {"WINE_PATH_QUOTED", shape.quoted},  {"WINE_PATHEXT", shape.pathext},
      {"WINE_PATH_NAME", shape.path_name}, {"WINE_PATH_RELATIVE", shape.relative},
      {"WINE_GIT_VERSION", shape.version}};
  for (const auto &variable : variables) setenv(variable.first, variable.second, 1);
  expect_windows_run_matches_linux(shape.case_name);
  for (const auto &variable : variables) unsetenv(variable.first);
}

INSTANTIATE_TEST_SUITE_P(Shapes, WindowsPathShapes, testing::ValuesIn(kPathShapes),
                         [](const auto &info) { return std::string(info.param.name); });

// A Git that cannot run (every command dies of an access violation) stamps the placeholder and
// fails the run, with the status in the hex form it is looked up in.
TEST(WindowsGitCrashes, FailsWithTheStatusInHex) {
  setenv("WINE_TOOL", WINDOWS_TOOL_PATH, 1);
  setenv("WINE_GIT", WINDOWS_GIT_PATH, 1);
  setenv("WINE_GIT_CRASH", "1", 1);
  const fs::path out = run_case("modified");
  unsetenv("WINE_GIT_CRASH");
  EXPECT_EQ(slurp(out / "win/status"), "1\n");
  EXPECT_EQ(slurp(out / "win/stderr"), "git rev-list HEAD failed: exit status 0xC0000005\r\n");
  EXPECT_EQ(slurp(out / "win/revision.h"), with_crlf(kPlaceholder));
}

// A tree without Git under Wine, whose header is first "/* previous */" and whose fw/ holds
// revstamp.exe; command runs in fw/, without address randomisation as in run_case.sh, and
// leaves files beside it. The tree.
fs::path stamp_under_wine(const std::string &name, const std::string &command) {
  const fs::path tree = fs::path(testing::TempDir()) / (name + "-" + std::to_string(getpid()));
  fs::remove_all(tree);
  fs::create_directories(tree / "fw");
  fs::create_directories(tree / "applications");
  fs::copy_file(WINDOWS_TOOL_PATH, tree / "fw/revstamp.exe");
  std::ofstream(tree / "applications/revision.h") << "/* previous */\n";
  const std::string script =
      "cd '" + (tree / "fw").string() + "' && WINEDEBUG=-all setarch -R sh -c '" + command + "'";
  EXPECT_EQ(std::system(script.c_str()), 0) << script;
  return tree;
}

// A holder without delete sharing (any C runtime's fopen, compilers, IDE indexers) that lets go
// within a second gets the previous header or the new one, whole; one that holds on, a header
// written in place and a warning.
const struct HeldCase {
  const char *hold_ms, *holder_read;
  bool warned;
} kHeldCases[] = {{"300", "read: /* previous */", false},
                  {"3000", "read: #ifndef REVISION_H_", true}};

class WindowsHeldHeader : public testing::TestWithParam<HeldCase> {};

TEST_P(WindowsHeldHeader, WaitedForOrWrittenInPlaceWithAWarning) {
  const HeldCase &c = GetParam();
  const fs::path tree = stamp_under_wine(
      std::string("held-") + c.hold_ms,
      std::string("{ wine ") + WINDOWS_HELPER_PATH + " hold \"..\\applications\\revision.h\" " +
          c.hold_ms +
          " >../holder & } && n=0 && until grep -q holding ../holder || [ $n = 200 ]; " +
          "do n=$((n + 1)); sleep 0.05; done && wine revstamp.exe >/dev/null 2>../err; echo $? "
          ">../status; "
          "wait");
  EXPECT_NE(slurp(tree / "holder").find(c.holder_read), std::string::npos)
      << slurp(tree / "holder");
  EXPECT_EQ(slurp(tree / "err").find("warning: ") != std::string::npos, c.warned)
      << slurp(tree / "err");
  EXPECT_EQ(slurp(tree / "status"), "0\n");
  EXPECT_EQ(slurp(tree / "applications/revision.h"), with_crlf(kPlaceholder));
}

INSTANTIATE_TEST_SUITE_P(Holders, WindowsHeldHeader, testing::ValuesIn(kHeldCases),
                         [](const auto &info) { return std::string(info.param.hold_ms) + "ms"; });

// An IDE that starts the tool without standard handles still gets a stamp and exit status 0.
TEST(WindowsStandardHandles, MissingHandlesStampWithExitZero) {
  const fs::path tree = stamp_under_wine(
      "nohandles", std::string("wine ") + WINDOWS_HELPER_PATH +
                       " nohandles \"revstamp.exe x\" >/dev/null 2>&1; echo $? >../status");
  EXPECT_EQ(slurp(tree / "status"), "0\n");
  EXPECT_EQ(slurp(tree / "applications/revision.h"), with_crlf(kPlaceholder));
}

// REVSTAMP_HEADER as Windows users name it: a folder past MAX_PATH (deep CI workspaces), written
// as a short one is, or failing with a clear error; a name Windows keeps for a device, refused
// by name. Nothing is left beside the header either way.
const std::string kDeep = [] {
  std::string deep = "..";
  for (int level = 0; level < 6; ++level)
    deep += "\\" + std::string(60, static_cast<char>('a' + level));
  return deep;
}();
const struct HeaderName {
  const char *name;
  std::string header;
  const char *status, *said;
} kHeaderNames[] = {
    {"deep", kDeep + "\\revision.h", "0\n", ""},
    {"deep_missing_folder", kDeep + "\\none\\revision.h", "1\n", "create the folder"},
    {"NUL", "NUL", "1\n", "revstamp writes NUL: Windows keeps that name for a device"},
    {"CON", "CON", "1\n", "revstamp writes CON: Windows keeps"},
    {"COM1", "COM1", "1\n", "revstamp writes COM1: Windows keeps"},
    {"nul_h", "nul.h", "1\n", "revstamp writes nul.h: Windows keeps"},
    {"aux_h_in_folder", "..\\applications\\aux.h", "1\n", "aux.h: Windows keeps"}};

class WindowsHeaderNames : public testing::TestWithParam<HeaderName> {};

TEST_P(WindowsHeaderNames, WrittenOrRefusedWithNothingLeft) {
  const HeaderName &c = GetParam();
  std::string deep_unix = kDeep;
  std::replace(deep_unix.begin(), deep_unix.end(), '\\', '/');
  const fs::path tree =
      stamp_under_wine(std::string("header-") + c.name,
                       "mkdir -p " + deep_unix + " && REVSTAMP_HEADER=\"" + c.header +
                           "\" wine revstamp.exe >/dev/null 2>../err; " + "echo $? >../status");
  EXPECT_EQ(slurp(tree / "status"), c.status) << slurp(tree / "err");
  EXPECT_NE(slurp(tree / "err").find(c.said), std::string::npos) << slurp(tree / "err");
  const fs::path deep = tree / "fw" / deep_unix;
  EXPECT_EQ(slurp(deep / "revision.h"),
            std::string(c.status) == "0\n" ? with_crlf(kPlaceholder) : std::string());
  EXPECT_EQ(slurp(tree / "applications/revision.h"), "/* previous */\n");
  for (const fs::path &folder : {tree / "fw", tree / "applications", deep})
    for (const auto &entry : fs::directory_iterator(folder))
      EXPECT_TRUE(entry.path().filename() == "revision.h" || entry.path().filename() == "build" ||
                  entry.path().filename() == "revstamp.exe")
          << entry.path();
}

INSTANTIATE_TEST_SUITE_P(Names, WindowsHeaderNames, testing::ValuesIn(kHeaderNames),
                         [](const auto &info) { return std::string(info.param.name); });

// Git shares the console the tool was started from (Ctrl-C reaches it), and is started without
// one only when the tool has none: each Git then gets a hidden console of its own, no window.
const struct ConsoleCase {
  const char *name, *start;
  bool hidden_consoles;
} kConsoleCases[] = {
    {"from_a_console", "script -qec \"WINEDEBUG=+process wine revstamp.exe\" /dev/null >../trace",
     false},
    {"without_a_console", "WINEDEBUG=+process wine revstamp.exe </dev/null >/dev/null 2>../trace",
     true}};

class WindowsConsole : public testing::TestWithParam<ConsoleCase> {};

TEST_P(WindowsConsole, GitGetsAConsoleOfItsOwnOnlyWithoutTheTools) {
  const ConsoleCase &c = GetParam();
  const fs::path tree =
      stamp_under_wine(std::string("console-") + c.name,
                       std::string("mkdir ../bin && cp ") + WINDOWS_GIT_PATH +
                           " ../bin/git.exe && : >../bin/any.out && echo 0 >../bin/any.status && " +
                           "export WINEPATH=$(winepath -w ../bin) && " + c.start);
  const std::string trace = slurp(tree / "trace");
  // Git ran: the stand-in was started.
  EXPECT_NE(trace.find("git.exe"), std::string::npos) << trace;
  EXPECT_EQ(trace.find("--headless") != std::string::npos, c.hidden_consoles) << trace;
}

INSTANTIATE_TEST_SUITE_P(Starts, WindowsConsole, testing::ValuesIn(kConsoleCases),
                         [](const auto &info) { return std::string(info.param.name); });

// A console whose reader has gone before the tool writes says so as POSIX does.
TEST(WindowsReaderGone, WriteFailsWithBrokenPipe) {
  const fs::path tree =
      stamp_under_wine("reader-gone",
                       "(until [ -e ../closed ]; do sleep 0.05; done; wine revstamp.exe --help "
                       "2>../err; echo $? >../status) | (exec 0<&-; touch ../closed)");
  EXPECT_EQ(slurp(tree / "err"), "write failed: Broken pipe\r\n");
  EXPECT_EQ(slurp(tree / "status"), "1\n");
}

// revstamp.exe imports from KERNEL32, ADVAPI32 (who owns a folder) and msvcrt alone, which every
// Windows has.
TEST(WindowsImports, SystemAndCRuntimeOnly) {
  const std::vector<std::string> dlls =
      lines_printed_by(std::string("x86_64-w64-mingw32-objdump -p ") + WINDOWS_TOOL_PATH +
                       " | sed -n 's/.*DLL Name: //p'");
  EXPECT_FALSE(dlls.empty());
  for (const std::string &dll : dlls)
    EXPECT_TRUE(dll == "KERNEL32.dll" || dll == "ADVAPI32.dll" || dll == "msvcrt.dll") << dll;
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowsCase, testing::ValuesIn(windows_case_names()),
                         [](const auto &info) { return info.param; });

}  // namespace
