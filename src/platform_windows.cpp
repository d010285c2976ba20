// The platform seam on Windows; platform_posix.cpp has the same functions in this order.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "revstamp.h"

#ifdef __MINGW32__
// Expand unquoted wildcard arguments at start-up, as the MSVC build does with setargv.obj.
extern "C" {
int _dowildcard = -1;
}
#endif

const char kHeaderPath[] = "..\\applications\\revision.h";

// Windows' own error codes have no errno of their own; the callers report errno's numbers.
static int errno_from(DWORD error) {
  static const struct {
    DWORD windows;
    int posix;
  } kErrors[] = {{ERROR_DISK_FULL, ENOSPC},
                 {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
                 {ERROR_OUTOFMEMORY, ENOMEM},
                 {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
                 {ERROR_ACCESS_DENIED, EACCES}};
  for (const auto &known : kErrors)
    if (known.windows == error) return known.posix;
  return EIO;
}

// An IDE may start the tool without standard handles (CreateProcess with none given, or a
// detached process). Each missing one is opened on the null device, so that Git inherits that.
// The C runtime's stdout stream stays unusable all the same (it cannot be reopened): its lines
// go nowhere, as on a closed descriptor on POSIX. Windows has no SIGPIPE: a write to a pipe whose
// reader is gone simply fails.
bool prepare_process() {
  const struct {
    DWORD which;
    int fd, mode;
  } kStandard[] = {{STD_INPUT_HANDLE, 0, _O_RDONLY},
                   {STD_OUTPUT_HANDLE, 1, _O_WRONLY},
                   {STD_ERROR_HANDLE, 2, _O_WRONLY}};
  bool stdout_usable = true;
  for (const auto &standard : kStandard) {
    const HANDLE handle = GetStdHandle(standard.which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) continue;
    if (standard.fd == 1) stdout_usable = false;
    const int null_device = _open("NUL", standard.mode);
    if (null_device == -1) continue;
    const bool in_place = null_device == standard.fd || _dup2(null_device, standard.fd) == 0;
    if (null_device != standard.fd) _close(null_device);
    if (in_place) {
      SetStdHandle(standard.which, reinterpret_cast<HANDLE>(_get_osfhandle(standard.fd)));
    }
  }
  return stdout_usable;
}

void write_console(Console &console, const char *bytes, size_t size) {
  if (console.stream == nullptr) return;
  if (fwrite(bytes, 1, size, console.stream) != size && console.error == 0) console.error = errno;
}

int flush_console(Console &console) {
  if (console.stream == nullptr) return 0;
  if (fflush(console.stream) != 0 && console.error == 0) console.error = errno;
  // A failed write that left no reason of its own.
  if (ferror(console.stream) && console.error == 0) console.error = EIO;
  return console.error;
}

void set_environment(char *assignment) { _putenv(assignment); }

int make_build_dir() {
  if (CreateDirectoryA(".\\build", nullptr)) return 0;
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS ? 0 : errno_from(error);
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

Start spawn_git(const char *const args[], GitCommand &command, int &error) {
  char git[kCommandSize];
  if (!find_git(git)) return Start::kGitNotFound;
  char program[kCommandSize];
  char line[kCommandSize];
  if (!compose_command(git, args, program, line)) {
    error = E2BIG;
    return Start::kFailed;
  }
  // Only the write end is inheritable: a Git that held its own pipe's read end would never see
  // this reader go.
  HANDLE read_end;
  HANDLE write_end;
  if (!CreatePipe(&read_end, &write_end, nullptr, 0)) {
    error = errno_from(GetLastError());
    return Start::kFailed;
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
  const DWORD create_error = GetLastError();
  CloseHandle(write_end);
  if (startup.hStdInput != nullptr) CloseHandle(startup.hStdInput);
  if (startup.hStdError != nullptr) CloseHandle(startup.hStdError);
  if (!created) {
    CloseHandle(read_end);
    error = errno_from(create_error);
    return Start::kFailed;
  }
  CloseHandle(started.hThread);
  command.process = started.hProcess;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(read_end), _O_RDONLY);
  command.output = fd == -1 ? nullptr : _fdopen(fd, "r");
  if (command.output != nullptr) return Start::kStarted;
  if (fd != -1) _close(fd);
  if (fd == -1) CloseHandle(read_end);
  WaitForSingleObject(started.hProcess, INFINITE);
  CloseHandle(started.hProcess);
  error = ENOMEM;
  return Start::kFailed;
}

int wait_for_git(GitCommand &command) {
  fclose(command.output);
  DWORD code;
  const bool ended = WaitForSingleObject(command.process, INFINITE) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(command.process, &code);
  CloseHandle(command.process);
  return ended ? static_cast<int>(code) : -1;
}

void pause_milliseconds(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

FILE *open_in_place(const char *path, int &error) {
  FILE *file = fopen(path, "w+");
  if (file == nullptr) error = errno;
  return file;
}

int write_and_close(FILE *file, const char *bytes, size_t size) {
  int error = 0;
  if (fwrite(bytes, 1, size, file) != size || fflush(file) != 0) error = errno;
  if (fclose(file) != 0 && error == 0) error = errno;
  return error;
}

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

Replace replace_file(const char *from, const char *to, int &error) {
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return Replace::kReplaced;
  const DWORD code = GetLastError();
  error = errno_from(code);
  if (code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ||
      code == ERROR_LOCK_VIOLATION) {
    return Replace::kHeld;
  }
  return Replace::kFailed;
}
