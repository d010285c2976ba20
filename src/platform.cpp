// Everything that differs between Windows and POSIX hosts lives here.
#include <cerrno>
#include <cstring>

#include "revstamp.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <ctime>

// POSIX has the program declare it; glibc's unistd.h declares it too.
extern char **environ;  // NOLINT(readability-redundant-declaration)
#endif

#ifdef _WIN32

#ifdef __MINGW32__
// Expand unquoted wildcard arguments at start-up, as the MSVC build does with setargv.obj.
extern "C" {
int _dowildcard = -1;
}
#endif

const char kHeaderPath[] = "..\\applications\\revision.h";

bool make_build_dir() {
  return CreateDirectoryA(".\\build", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

static void put_env(char *assignment) { _putenv(assignment); }

// Windows' own error codes have no errno of their own; the callers report errno.
static int errno_from(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
      return ENOSPC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    default:
      return EIO;
  }
}

// Longest path, and longest command line, that Git is started with.
constexpr int kCommandSize = 2048;

// Moves through a list separated by semicolons: the next entry's start and size, false at the
// list's end.
static bool next_entry(const char *&list, const char *&entry, int &size) {
  while (*list == ';') ++list;
  if (*list == '\0') return false;
  entry = list;
  size = static_cast<int>(strcspn(list, ";"));
  list += size;
  return true;
}

// Git as the search path finds it, trying PATHEXT's endings in order. Never the working
// directory, which cmd.exe searches first: a git.bat in a firmware tree must not stamp a hash.
static bool find_git(char (&path)[kCommandSize]) {
  const char *dirs = getenv("PATH");
  const char *endings_list = getenv("PATHEXT");
  if (endings_list == nullptr || *endings_list == '\0') endings_list = ".COM;.EXE;.BAT;.CMD";
  const char *dir;
  int dir_size;
  while (dirs != nullptr && next_entry(dirs, dir, dir_size)) {
    if (dir_size >= 2 && dir[0] == '"' && dir[dir_size - 1] == '"') {
      ++dir;
      dir_size -= 2;
    }
    const char *endings = endings_list;
    const char *ending;
    int ending_size;
    while (next_entry(endings, ending, ending_size)) {
      const int size =
          snprintf(path, sizeof path, "%.*s\\git%.*s", dir_size, dir, ending_size, ending);
      if (size <= 0 || size >= kCommandSize) continue;
      const DWORD attributes = GetFileAttributesA(path);
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return true;
    }
  }
  return false;
}

// The program CreateProcess starts and its command line: Git itself, or, for a Git that is a
// batch script, the system's cmd.exe without the user's AutoRun (/d). False when too long.
static bool compose_command(const char *git, const char *const args[],
                            char (&program)[kCommandSize], char (&line)[kCommandSize]) {
  const char *ending = strrchr(git, '.');
  const bool script =
      ending != nullptr && (_stricmp(ending, ".bat") == 0 || _stricmp(ending, ".cmd") == 0);
  int size;
  if (script) {
    const UINT dir_size = GetSystemDirectoryA(program, kCommandSize);
    if (dir_size == 0 || dir_size >= kCommandSize) return false;
    if (snprintf(program + dir_size, kCommandSize - dir_size, "\\cmd.exe") >=
        kCommandSize - static_cast<int>(dir_size))
      return false;
    // /s keeps the quotes inside the outer pair exactly as written.
    size = snprintf(line, sizeof line, "cmd.exe /d /s /c \"\"%s\"", git);
  } else {
    snprintf(program, sizeof program, "%s", git);
    size = snprintf(line, sizeof line, "\"%s\"", git);
  }
  // The arguments are the tool's own words, none holding a blank or a quote.
  for (const char *const *arg = args; *arg != nullptr && size < kCommandSize; ++arg)
    size += snprintf(line + size, sizeof line - size, " %s", *arg);
  if (script && size < kCommandSize) size += snprintf(line + size, sizeof line - size, "\"");
  return size < kCommandSize;
}

// An inheritable copy of a standard handle for the child, or nullptr when there is none.
static HANDLE inheritable(DWORD which) {
  HANDLE copy = nullptr;
  const HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
      !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                       DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  return copy;
}

int start_git(const char *const args[], FILE **output, intptr_t *process) {
  char git[kCommandSize];
  if (!find_git(git)) return kGitNotFound;
  char program[kCommandSize];
  char line[kCommandSize];
  if (!compose_command(git, args, program, line)) {
    errno = E2BIG;
    return 1;
  }
  // Only the write end goes to the child: another command's pipe held open by a sibling would
  // keep that command from seeing its reader go.
  HANDLE read_end;
  HANDLE write_end;
  if (!CreatePipe(&read_end, &write_end, nullptr, 0)) {
    errno = errno_from(GetLastError());
    return 1;
  }
  SetHandleInformation(write_end, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inheritable(STD_INPUT_HANDLE);
  startup.hStdOutput = write_end;
  startup.hStdError = inheritable(STD_ERROR_HANDLE);
  PROCESS_INFORMATION started = {};
  const BOOL created = CreateProcessA(program, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                      &startup, &started);
  const DWORD error = GetLastError();
  CloseHandle(write_end);
  if (startup.hStdInput != nullptr) CloseHandle(startup.hStdInput);
  if (startup.hStdError != nullptr) CloseHandle(startup.hStdError);
  const int fd = created ? _open_osfhandle(reinterpret_cast<intptr_t>(read_end), _O_RDONLY) : -1;
  *output = fd == -1 ? nullptr : _fdopen(fd, "r");
  if (*output == nullptr) {
    if (fd != -1)
      _close(fd);
    else
      CloseHandle(read_end);
    errno = created ? ENOMEM : errno_from(error);
    if (created) {
      WaitForSingleObject(started.hProcess, INFINITE);
      CloseHandle(started.hProcess);
      CloseHandle(started.hThread);
    }
    return 1;
  }
  CloseHandle(started.hThread);
  *process = reinterpret_cast<intptr_t>(started.hProcess);
  return 0;
}

void pause_milliseconds(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

// Windows has no SIGPIPE: a write to a pipe whose reader is gone simply fails.
void ignore_broken_pipe() {}

int finish_git(FILE *output, intptr_t process) {
  fclose(output);
  const HANDLE handle = reinterpret_cast<HANDLE>(process);
  DWORD code;
  const bool ended =
      WaitForSingleObject(handle, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(handle, &code);
  CloseHandle(handle);
  return ended ? static_cast<int>(code) : -1;
}

// An IDE may start the tool without standard handles (CreateProcess with none given, or a
// detached process). Each missing one is opened on the null device, so that Git inherits that.
// The C runtime's stdout stream stays unusable all the same (it cannot be reopened), so its
// lost lines are not a failure: they go nowhere, as on a closed descriptor on POSIX.
static bool stdout_missing = false;

void open_closed_standard_descriptors() {
  const struct {
    DWORD which;
    int fd, mode;
  } kStandard[] = {{STD_INPUT_HANDLE, 0, _O_RDONLY},
                   {STD_OUTPUT_HANDLE, 1, _O_WRONLY},
                   {STD_ERROR_HANDLE, 2, _O_WRONLY}};
  for (const auto &standard : kStandard) {
    const HANDLE handle = GetStdHandle(standard.which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) continue;
    if (standard.fd == 1) stdout_missing = true;
    const int null_device = _open("NUL", standard.mode);
    if (null_device == -1) continue;
    const bool in_place = null_device == standard.fd || _dup2(null_device, standard.fd) == 0;
    if (null_device != standard.fd) _close(null_device);
    if (in_place) {
      SetStdHandle(standard.which, reinterpret_cast<HANDLE>(_get_osfhandle(standard.fd)));
    }
  }
}

bool standard_output_missing() { return stdout_missing; }

FILE *create_replacement(const char *path, char (&name)[kReplacementNameSize]) {
  const DWORD attributes = GetFileAttributesA(path);
  const DWORD in_place_only = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                              FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_READONLY;
  if (attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() != ERROR_FILE_NOT_FOUND
                                            : (attributes & in_place_only) != 0) {
    return nullptr;
  }
  char directory[kReplacementNameSize];
  const char *base = strrchr(path, '\\');
  snprintf(directory, sizeof directory, "%.*s", static_cast<int>(base - path), path);
  // GetTempFileNameA creates the file under a new name ending in .tmp, which no build picks up.
  if (GetTempFileNameA(directory, "rev", 0, name) == 0) return nullptr;
  FILE *file = fopen(name, "w");
  if (file == nullptr) DeleteFileA(name);
  return file;
}

int replace_file(const char *from, const char *to) {
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return 0;
  const DWORD error = GetLastError();
  if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
      error == ERROR_LOCK_VIOLATION) {
    return kFileHeld;
  }
  errno = errno_from(error);
  return 1;
}

#else

const char kHeaderPath[] = "../applications/revision.h";

bool make_build_dir() { return mkdir("build", 0777) == 0 || errno == EEXIST; }

static void put_env(char *assignment) { putenv(assignment); }

// Starts Git with its stdout on write_end and SIGPIPE at its default, however this process
// treats it: Git stops when its reader goes, as a status read only up to its deciding line
// needs. 0, or the error number.
static int spawn_git(char *const argv[], int write_end, pid_t *pid) {
  posix_spawn_file_actions_t actions;
  int error = posix_spawn_file_actions_init(&actions);
  if (error != 0) return error;
  posix_spawnattr_t attributes;
  error = posix_spawnattr_init(&attributes);
  if (error == 0) {
    sigset_t broken_pipe;
    sigemptyset(&broken_pipe);
    sigaddset(&broken_pipe, SIGPIPE);
    error = posix_spawn_file_actions_adddup2(&actions, write_end, STDOUT_FILENO);
    if (error == 0) error = posix_spawnattr_setsigdefault(&attributes, &broken_pipe);
    if (error == 0) error = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    // No shell between: Git is looked up on PATH, and its arguments reach it as they are.
    if (error == 0) error = posix_spawnp(pid, "git", &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
  }
  posix_spawn_file_actions_destroy(&actions);
  return error;
}

int start_git(const char *const args[], FILE **output, intptr_t *process) {
  // Only the write end goes to the child: another command's pipe held open by a sibling would
  // keep that command from seeing its reader go.
  int ends[2];
  if (pipe(ends) != 0) return 1;
  fcntl(ends[0], F_SETFD, FD_CLOEXEC);
  fcntl(ends[1], F_SETFD, FD_CLOEXEC);
  char *argv[kMaxGitArgs + 2] = {const_cast<char *>("git")};
  for (int i = 0; i < kMaxGitArgs && args[i] != nullptr; ++i)
    argv[i + 1] = const_cast<char *>(args[i]);
  pid_t pid = 0;
  int error = spawn_git(argv, ends[1], &pid);
  close(ends[1]);
  *process = pid;
  *output = error == 0 ? fdopen(ends[0], "r") : nullptr;
  if (*output != nullptr) return 0;
  if (error == 0) {
    error = errno;
    close(ends[0]);
    waitpid(pid, nullptr, 0);
  } else {
    close(ends[0]);
  }
  errno = error;
  return error == ENOENT ? kGitNotFound : 1;
}

int finish_git(FILE *output, intptr_t process) {
  fclose(output);
  int status;
  while (waitpid(static_cast<pid_t>(process), &status, 0) == -1) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool standard_output_missing() { return false; }

void open_closed_standard_descriptors() {
  // A closed descriptor goes to the next file opened: the header, or a pipe, would take stderr's
  // number and receive Git's complaints. The lowest free number is the one just found closed.
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) open("/dev/null", O_RDWR);
  }
}

FILE *create_replacement(const char *path, char (&name)[kReplacementNameSize]) {
  struct stat old;
  const bool replacing = lstat(path, &old) == 0;
  // A link keeps pointing where it did, and a device stays a device: those are written in
  // place, as is a file this user may not write, which then fails as it always did.
  if (replacing ? !S_ISREG(old.st_mode) || access(path, W_OK) != 0 : errno != ENOENT) {
    return nullptr;
  }
  // Hidden and not ending in .h: no build picks up what a killed run leaves behind. Created as
  // fopen creates a file, so that the umask or the directory's default ACL (a team's shared
  // tree) decide a new header's permissions; only a header being replaced passes on its bits.
  const char *slash = strrchr(path, '/');
  const int directory = slash == nullptr ? 0 : static_cast<int>(slash + 1 - path);
  static unsigned next = static_cast<unsigned>(getpid()) ^ static_cast<unsigned>(time(nullptr));
  int fd = -1;
  for (int attempt = 0; fd == -1 && attempt < 100; ++attempt) {
    next = next * 1103515245u + 12345u;
    snprintf(name, sizeof name, "%.*s.%s.%06x", directory, path, path + directory,
             (next >> 8) & 0xffffffu);
    fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd == -1 && errno != EEXIST) return nullptr;
  }
  if (fd == -1) return nullptr;
  FILE *file = !replacing || fchmod(fd, old.st_mode & 07777) == 0 ? fdopen(fd, "w") : nullptr;
  if (file == nullptr) {
    close(fd);
    unlink(name);
  }
  return file;
}

int replace_file(const char *from, const char *to) {
  if (rename(from, to) == 0) return 0;
  // What some network file systems (SMB mounts) answer while another client has the file open.
  return errno == EBUSY || errno == ETXTBSY ? kFileHeld : 1;
}

void pause_milliseconds(int milliseconds) {
  const timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  nanosleep(&pause, nullptr);
}

void ignore_broken_pipe() {
  // A reader of stdout that goes away (make ... | head -1) must not end the run before the
  // header is written: the write fails, and the run says so.
  signal(SIGPIPE, SIG_IGN);
}

#endif

void prepare_git_environment() {
  // The environment keeps these strings, so they live as long as the process.
  // The change markers are English: a translated Git would stamp a modified tree as clean.
  static char english[] = "LC_ALL=C";
  // Without it git status refreshes and rewrites .git/index, taking index.lock from under a
  // commit the user makes at the same moment.
  static char no_optional_locks[] = "GIT_OPTIONAL_LOCKS=0";
  // Into a pipe Git flushes after every line: a write, and a wake-up of this reader, per commit.
  // Block-buffered, the history listing costs about half as much, with the same bytes.
  static char block_buffered[] = "GIT_FLUSH=0";
  put_env(english);
  put_env(no_optional_locks);
  put_env(block_buffered);
}
