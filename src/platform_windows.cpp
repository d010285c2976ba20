// The platform seam on Windows; platform_posix.cpp has the same functions in this order.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "revstamp.h"

#ifdef __MINGW32__
// Expand unquoted wildcard arguments at start-up, as the MSVC build does with setargv.obj.
extern "C" {
int _dowildcard = -1;
}
#endif

const char kHeaderPath[] = "..\\applications\\revision.h";
const char kLineEnd[] = "\r\n";
// CreateProcessW's limit.
const size_t kCommandLineLimit = 32767;
// In a folder named as the null device, which Windows lets no one make.
const char kNoSuchFile[] = "NUL\\none";

// Windows' own error codes have no errno of their own; the callers report errno's numbers.
static int errno_from(DWORD error) {
  static const struct {
    DWORD windows;
    int posix;
  } kErrors[] = {{ERROR_DISK_FULL, ENOSPC},
                 {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
                 {ERROR_OUTOFMEMORY, ENOMEM},
                 {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
                 {ERROR_ACCESS_DENIED, EACCES},
                 {ERROR_FILE_NOT_FOUND, ENOENT},
                 {ERROR_PATH_NOT_FOUND, ENOENT},
                 // A git.exe that is empty, text, or for another machine (ARM64 on x86-64).
                 {ERROR_BAD_EXE_FORMAT, ENOEXEC},
                 {ERROR_EXE_MACHINE_TYPE_MISMATCH, ENOEXEC},
                 // A pipe whose reader is gone; Wine says ERROR_PIPE_NOT_CONNECTED.
                 {ERROR_BROKEN_PIPE, EPIPE},
                 {ERROR_NO_DATA, EPIPE},
                 {ERROR_PIPE_NOT_CONNECTED, EPIPE}};
  for (const auto &known : kErrors)
    if (known.windows == error) return known.posix;
  return EIO;
}

// Removes the copies create_held_copy made: the console's handler, from prepare_process on.
static BOOL WINAPI remove_held_copies(DWORD);

// An IDE may start the tool without standard handles (CreateProcess with none given, or a
// detached process). Each missing one is opened on the null device, so that Git inherits that.
// The C runtime's stdout stream stays unusable all the same (it cannot be reopened): its lines
// go nowhere, as on a closed descriptor on POSIX. Windows has no SIGPIPE: a write to a pipe whose
// reader is gone simply fails.
FILE *prepare_process() {
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
  // Inside a batch wrapper that calls plain git, cmd searches the working directory before PATH
  // unless this is set: a git.bat in the firmware folder would run.
  SetEnvironmentVariableW(L"NoDefaultCurrentDirectoryInExePath", L"1");
  SetConsoleCtrlHandler(remove_held_copies, TRUE);
  return stdout_usable ? stdout : nullptr;
}

// The C runtime reads a write to a pipe whose reader is gone as EINVAL.
int write_error() {
  const int error = errno;
  return error == EINVAL && errno_from(GetLastError()) == EPIPE ? EPIPE : error;
}

void set_environment(char *assignment) { _putenv(assignment); }

int make_build_dir() {
  if (CreateDirectoryW(L".\\build", nullptr)) return 0;
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS ? 0 : errno_from(error);
}

// UTF-8 (the tool's own words and paths) as the wide API takes it.
static std::wstring widen(const char *text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(size > 0 ? size : 1), L'\0');
  if (size > 0) MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], size);
  wide.pop_back();
  return wide;
}

// An environment variable, read wide so that no code page mangles it; empty when unset.
static std::wstring environment_variable(const wchar_t *name) {
  std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
  const DWORD size =
      value.empty() ? 0
                    : GetEnvironmentVariableW(name, &value[0], static_cast<DWORD>(value.size()));
  value.resize(size < value.size() ? size : 0);
  return value;
}

// text in UTF-8, as every name the platform functions take is.
static std::string narrow(const std::wstring &text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
  if (bytes > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
  utf8.pop_back();
  return utf8;
}

const char *environment_path(const char *name) {
  const std::string value = narrow(environment_variable(widen(name).c_str()));
  if (value.empty()) return nullptr;
  char *kept = static_cast<char *>(reallocate(nullptr, value.size() + 1));
  memcpy(kept, value.c_str(), value.size() + 1);
  return kept;
}

// path made absolute from the working directory; empty when it cannot be.
static std::wstring full_path(const std::wstring &path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  if (size == 0 || GetFullPathNameW(path.c_str(), size, &full[0], nullptr) + 1 != size) return {};
  full.pop_back();
  return full;
}

// path as the wide file functions take it: as given while its full form stays below MAX_PATH,
// else that full form in the \\?\ form, which lifts the limit for every call that takes it
// (without a manifest, Windows 10's LongPathsEnabled lifts nothing). The \\?\ form is read as it
// stands, so it is made from the full path, whose / and .. GetFullPathNameW has resolved; a
// name the system keeps for a device stays as given.
static std::wstring long_form(const std::wstring &path) {
  const std::wstring full = full_path(path);
  if (full.size() < MAX_PATH || full.compare(0, 4, L"\\\\?\\") == 0 ||
      full.compare(0, 4, L"\\\\.\\") == 0)
    return path;
  return full.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

static std::wstring file_path(const char *path) { return long_form(widen(path)); }

// The next entry of a list separated by semicolons, from at on, as Windows reads PATH: a ';'
// between quotes is the entry's own, and the quotes go. False at the list's end.
static bool next_entry(const std::wstring &list, size_t &at, std::wstring &entry) {
  while (at < list.size() && list[at] == L';') ++at;
  if (at >= list.size()) return false;
  entry.clear();
  for (bool quoted = false; at < list.size() && (quoted || list[at] != L';'); ++at) {
    if (list[at] == L'"') {
      quoted = !quoted;
    } else {
      entry += list[at];
    }
  }
  return true;
}

// Git as the search path finds it, trying PATHEXT's endings in order, and whether it is a batch
// script, which only cmd.exe runs. Never the working directory, which cmd.exe searches first: a
// git.bat in a firmware tree must not stamp a hash. Wide throughout: a per-user install lives
// under a user name the ANSI code page may not spell.
static bool find_git(std::wstring &path, bool &batch) {
  const std::wstring dirs = environment_variable(L"PATH");
  std::wstring endings = environment_variable(L"PATHEXT");
  if (endings.empty()) endings = L".COM;.EXE;.BAT;.CMD";
  std::wstring dir, ending;
  for (size_t at_dir = 0; next_entry(dirs, at_dir, dir);) {
    for (size_t at_ending = 0; next_entry(endings, at_ending, ending);) {
      // Windows drops a name's trailing dots and blanks: git.CMD. is git.CMD, a batch script.
      ending.erase(ending.find_last_not_of(L". ") + 1);
      if (ending.empty()) continue;
      path = dir + L"\\git" + ending;
      const DWORD attributes = GetFileAttributesW(path.c_str());
      batch = _wcsicmp(ending.c_str(), L".bat") == 0 || _wcsicmp(ending.c_str(), L".cmd") == 0;
      if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        continue;
      // A relative entry leads from here alone: a batch Git's cmd.exe may start elsewhere.
      const std::wstring full = full_path(path);
      if (!full.empty()) path = full;
      return true;
    }
  }
  return false;
}

// Appends a blank and arg as CommandLineToArgvW reads it back: quoted when it holds a blank, a
// TAB or a quote, each quote escaped and the backslashes before it doubled.
static void append_argument(std::wstring &line, const std::wstring &arg) {
  line += L' ';
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'"') line.append(backslashes + 1, L'\\');
    backslashes = c == L'\\' ? backslashes + 1 : 0;
    line += c;
  }
  line.append(backslashes, L'\\');
  line += L'"';
}

// The program CreateProcessW starts and its command line: Git itself, or, for a Git that is a
// batch script, the system's cmd.exe without the user's AutoRun (/d), without echoing the
// script's lines into the pipe (/q), as a wrapper without "@echo off" would, and without delayed
// expansion (/v:off), whatever the registry turns on. cmd.exe reads its command line as commands
// and expands each %NAME% there, in a folder's name too; so the script is named by its file name
// alone, which cmd.exe finds in the folder that script_path puts first on the child's PATH.
static void compose_command(const std::wstring &git, bool batch, const char *const words[],
                            const char *const more[], std::wstring &program, std::wstring &line) {
  line = L"\"" + (batch ? git.substr(git.find_last_of(L'\\') + 1) : git) + L"\"";
  for (const char *const *arg = words; *arg != nullptr; ++arg) append_argument(line, widen(*arg));
  for (const char *const *arg = more; arg && *arg; ++arg) append_argument(line, widen(*arg));
  program = git;
  if (!batch) return;
  std::wstring system(GetSystemDirectoryW(nullptr, 0), L'\0');
  const UINT size =
      system.empty() ? 0 : GetSystemDirectoryW(&system[0], static_cast<UINT>(system.size()));
  system.resize(size < system.size() ? size : 0);
  program = system + L"\\cmd.exe";
  // /s keeps the quotes inside the outer pair exactly as written.
  line = L"cmd.exe /d /q /v:off /s /c \"" + line + L"\"";
}

// PATH for a batch-script Git's cmd.exe: the script's folder, quoted when it holds a ';', before
// the rest. The working directory, which cmd.exe would search first, is kept out by
// NoDefaultCurrentDirectoryInExePath (prepare_process).
static std::wstring script_path(const std::wstring &git) {
  std::wstring folder = git.substr(0, git.find_last_of(L'\\'));
  if (folder.find(L';') != std::wstring::npos) folder = L"\"" + folder + L"\"";
  return L"PATH=" + folder + L";" + environment_variable(L"PATH");
}

// This process's environment with each NAME=value assignment in place of its own variable of
// that name, as CreateProcessW takes it (CREATE_UNICODE_ENVIRONMENT); empty for none, which
// leaves the child this process's own.
static std::wstring environment_with(const std::vector<std::wstring> &assignments) {
  std::wstring block;
  if (assignments.empty()) return block;
  wchar_t *own = GetEnvironmentStringsW();
  for (const wchar_t *entry = own; entry != nullptr && *entry != L'\0';
       entry += wcslen(entry) + 1) {
    bool replaced = false;
    for (const std::wstring &assignment : assignments)
      replaced |= _wcsnicmp(entry, assignment.c_str(), assignment.find(L'=') + 1) == 0;
    if (!replaced) block.append(entry, wcslen(entry) + 1);
  }
  if (own != nullptr) FreeEnvironmentStringsW(own);
  for (const std::wstring &assignment : assignments) block.append(assignment).push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

// 0 when every word from the repository may stand on Git's command line: printable ASCII alone,
// and nothing a command interpreter reads (& | < > ^ % ! ( ) "). A git.exe may be a launcher that
// hands its command line to a batch file, which revstamp cannot see: quoted or not, a name would
// then be a command, and % has no escape there. Printable ASCII because a launcher written with
// the ANSI API gets its line through the code page's best-fit table, which turns fullwidth
// \uFF06 into &, \uFF02 into " and U+3000 into a blank (and, in code page 932, the yen sign into
// a backslash): no byte outside 0x20-0x7E is known to reach such a launcher as itself.
static int check_repository_words(const char *const *words) {
  for (; words != nullptr && *words != nullptr; ++words) {
    // A pathspec's magic (":(literal)") is revstamp's own; the path after it is the repository's.
    const char *magic_end = strncmp(*words, ":(", 2) == 0 ? strchr(*words, ')') : nullptr;
    for (const char *c = magic_end != nullptr ? magic_end + 1 : *words; *c != '\0'; ++c) {
      const unsigned char code = static_cast<unsigned char>(*c);
      if (code < 0x20 || code > 0x7e || strchr("&|<>^%!()\"", code) != nullptr) return EINVAL;
    }
  }
  return 0;
}

// 0 when every word is hex digits alone, which cmd.exe reads as they are.
static int check_object_names(const char *const *words) {
  for (; words != nullptr && *words != nullptr; ++words)
    if ((*words)[strspn(*words, "0123456789abcdef")] != '\0') return EINVAL;
  return 0;
}

// The null device, for a child's standard handle: readable or writable, and inheritable.
static HANDLE null_device(DWORD access) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  const HANDLE device = CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    OPEN_EXISTING, 0, nullptr);
  return device == INVALID_HANDLE_VALUE ? nullptr : device;
}

// An inheritable copy of handle for the child, or nullptr when there is none: each of the child's
// standard handles is a handle of its own, closed once.
static HANDLE inheritable(HANDLE handle) {
  HANDLE copy = nullptr;
  const bool copied = handle != nullptr && handle != INVALID_HANDLE_VALUE &&
                      DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0,
                                      TRUE, DUPLICATE_SAME_ACCESS);
  return copied ? copy : nullptr;
}

// Starts program with exactly the standard handles given (nullptr: none) and no other: a helper
// Git leaves running (an fsmonitor, a credential daemon) holds no pipe of the build tool's. 0, or
// the error.
static DWORD create_process(const std::wstring &program, std::wstring &line,
                            std::wstring &environment, const char *directory,
                            const HANDLE (&standard)[3], PROCESS_INFORMATION &started) {
  HANDLE inherited[3];
  DWORD count = 0;
  for (const HANDLE handle : standard)
    if (handle != nullptr) inherited[count++] = handle;
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<char> storage(size);
  const auto attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return GetLastError();
  STARTUPINFOEXW startup = {};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = standard[0];
  startup.StartupInfo.hStdOutput = standard[1];
  startup.StartupInfo.hStdError = standard[2];
  startup.lpAttributeList = attributes;
  // Git shares the tool's console, which Ctrl-C reaches; a tool without one (started detached
  // by an IDE) would give each Git a console window of its own.
  const DWORD window = GetConsoleCP() == 0 ? CREATE_NO_WINDOW : 0;
  const bool created =
      UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                count * sizeof(HANDLE), nullptr, nullptr) &&
      CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE,
                     window | EXTENDED_STARTUPINFO_PRESENT | CREATE_UNICODE_ENVIRONMENT,
                     environment.empty() ? nullptr : &environment[0],
                     directory ? widen(directory).c_str() : nullptr, &startup.StartupInfo,
                     &started);
  const DWORD error = created ? 0 : GetLastError();
  DeleteProcThreadAttributeList(attributes);
  return error;
}

bool git_takes_paths() {
  std::wstring git;
  bool batch = false;
  return !find_git(git, batch) || !batch;
}

Progress spawn_git(const char *const words[], const Launch &launch, GitCommand &command,
                   int &error) {
  std::wstring git, program, line;
  bool batch = false;
  if (!find_git(git, batch)) return Progress::kGitMissing;
  // A batch-file Git is cmd.exe's to read: no word from the repository goes to it, but an
  // object name Git printed, hex digits alone.
  error =
      batch ? check_object_names(launch.extra_words) : check_repository_words(launch.extra_words);
  if (error == 0) compose_command(git, batch, words, launch.extra_words, program, line);
  // cmd.exe's limit, which a Git that is a batch script meets.
  if (error == 0 && line.size() >= (batch ? 8191 : kCommandLineLimit)) error = E2BIG;
  if (error != 0) return Progress::kStartFailed;
  // Only the write end is inheritable: a Git that held its own pipe's read end would never see
  // this reader go.
  HANDLE read_end;
  HANDLE write_end;
  if (!CreatePipe(&read_end, &write_end, nullptr, 0)) {
    error = errno_from(GetLastError());
    return Progress::kStartFailed;
  }
  SetHandleInformation(write_end, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  // No command revstamp runs reads its input: the build's stays the build's.
  const HANDLE standard[3] = {null_device(GENERIC_READ), write_end,
                              launch.errors == Errors::kHidden ? null_device(GENERIC_WRITE)
                              : launch.errors == Errors::kRead
                                  ? inheritable(write_end)
                                  : inheritable(GetStdHandle(STD_ERROR_HANDLE))};
  std::vector<std::wstring> assignments;
  if (batch) assignments.push_back(script_path(git));
  for (const char *const *assignment = launch.assignments; assignment && *assignment; ++assignment)
    assignments.push_back(widen(*assignment));
  for (const wchar_t *name : {L"GIT_DIR", L"GIT_WORK_TREE"}) {
    const std::wstring value = launch.full_paths ? environment_variable(name) : std::wstring();
    const std::wstring full = value.empty() ? value : full_path(value);
    if (!full.empty()) assignments.push_back(std::wstring(name) + L"=" + full);
  }
  std::wstring environment = environment_with(assignments);
  PROCESS_INFORMATION started = {};
  const DWORD create_error =
      create_process(program, line, environment, launch.directory, standard, started);
  for (const HANDLE handle : standard)
    if (handle != nullptr) CloseHandle(handle);
  if (create_error != 0) {
    CloseHandle(read_end);
    error = errno_from(create_error);
    return Progress::kStartFailed;
  }
  CloseHandle(started.hThread);
  command.process = started.hProcess;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(read_end), _O_RDONLY);
  command.output = fd == -1 ? nullptr : _fdopen(fd, "r");
  if (command.output != nullptr) return Progress::kRunning;
  // Git is running already: it sees its reader gone, and is waited for.
  if (fd == -1) CloseHandle(read_end);
  if (fd != -1) _close(fd);
  wait_for_git(command);
  error = ENOMEM;
  return Progress::kStartFailed;
}

int wait_for_git(GitCommand &command) {
  if (command.output != nullptr) fclose(command.output);
  command.output = nullptr;
  DWORD code;
  const bool ended = WaitForSingleObject(command.process, INFINITE) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(command.process, &code);
  CloseHandle(command.process);
  return ended ? static_cast<int>(code) : -1;
}

void describe_exit_code(int code, char (&text)[16]) {
  // NTSTATUS codes (a crash, a missing DLL) in hex, the form they are looked up in.
  const unsigned status = static_cast<unsigned>(code);
  if (status >= 0xC0000000u && code != -1) {
    snprintf(text, sizeof text, "0x%08X", status);
  } else {
    snprintf(text, sizeof text, "%d", code);
  }
}

int online_processors() {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  return system.dwNumberOfProcessors > 1 ? static_cast<int>(system.dwNumberOfProcessors) : 1;
}

void pause_milliseconds(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

FILE *open_to_read(const char *path) { return _wfopen(file_path(path).c_str(), L"rb"); }

FILE *open_in_place(const char *path, int &error) {
  FILE *file = _wfopen(file_path(path).c_str(), L"w+");
  if (file == nullptr) error = errno;
  return file;
}

// What stands at path, as its attributes (INVALID_FILE_ATTRIBUTES when nothing) tell.
static EntryKind kind_of(DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return GetLastError() == ERROR_FILE_NOT_FOUND ? EntryKind::kAbsent : EntryKind::kOther;
  const DWORD not_a_file =
      FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
  return (attributes & not_a_file) != 0 ? EntryKind::kOther : EntryKind::kRegular;
}

EntryKind kind_of(const char *path) { return kind_of(GetFileAttributesW(file_path(path).c_str())); }

// Windows keeps names for devices (NUL, CON, AUX, COM1, and in some versions aux.h or
// ..\\nul.txt too): GetFullPathNameW turns a path it reads as one into \\.\NAME, whichever
// names this version keeps, and that is what a write to the path would reach.
Entry look_at_header(const char *path) {
  Entry entry;
  if (full_path(widen(path)).compare(0, 4, L"\\\\.\\") == 0) {
    entry.kind = EntryKind::kDeviceName;
    return entry;
  }
  const DWORD attributes = GetFileAttributesW(file_path(path).c_str());
  entry.kind = kind_of(attributes);
  entry.writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
  return entry;
}

// The folder that holds path, ending with its separator (empty for the working directory), and
// path's last name.
static void split_path(const std::wstring &path, std::wstring &folder, std::wstring &base) {
  const size_t separator = path.find_last_of(L"\\/");
  folder = separator == std::wstring::npos ? L"" : path.substr(0, separator + 1);
  base = path.substr(separator == std::wstring::npos ? 0 : separator + 1);
}

// A new file named start, six hex digits, then end, trying names at random until one is free;
// open for writing, anyone else may read or write it, and no one but this process may delete it
// while it is open. Its name goes to name, in UTF-8, and must fit; INVALID_HANDLE_VALUE when the
// folder refuses a new file, and nothing is left.
static HANDLE create_new_file(const std::wstring &start, const wchar_t *end,
                              char (&name)[kReplacementNameSize]) {
  unsigned next = GetCurrentProcessId() ^ GetTickCount();
  for (int attempt = 0; attempt < 100; ++attempt) {
    next = next * 1103515245u + 12345u;
    wchar_t digits[8];
    swprintf(digits, sizeof digits / sizeof *digits, L"%06x", (next >> 8) & 0xffffffu);
    const std::wstring wide = start + digits + end;
    const std::string utf8 = narrow(wide);
    if (utf8.size() >= sizeof name) return INVALID_HANDLE_VALUE;
    const HANDLE file =
        CreateFileW(long_form(wide).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) continue;
    if (file != INVALID_HANDLE_VALUE) memcpy(name, utf8.c_str(), utf8.size() + 1);
    return file;
  }
  return INVALID_HANDLE_VALUE;
}

// A C stream on file, which it then owns, in mode ("w" text, "wb" bytes); nullptr when there can
// be none, and file is closed.
static FILE *stream_on(HANDLE file, const char *mode) {
  const int flags = _O_WRONLY | (strchr(mode, 'b') != nullptr ? _O_BINARY : _O_TEXT);
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags);
  FILE *stream = fd != -1 ? _fdopen(fd, mode) : nullptr;
  if (stream == nullptr && fd != -1) _close(fd);
  if (fd == -1) CloseHandle(file);
  return stream;
}

// The new file takes the directory's inherited ACL, as the header written in place would keep
// its own: nothing of old's to pass on. Named rev, six hex digits, .tmp, which no build picks up.
FILE *create_replacement(const char *path, const Entry &, char (&name)[kReplacementNameSize]) {
  std::wstring folder, base;
  split_path(widen(path), folder, base);
  const HANDLE file = create_new_file(folder + L"rev", L".tmp", name);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  FILE *stream = stream_on(file, "w");
  if (stream == nullptr) remove_file(name);
  return stream;
}

// The private copies this process holds: each file's name, and a handle that denies its deletion
// to every other process until the copy is removed. The console's handler thread takes the
// handles too: whoever swaps one out closes it and removes its file.
static struct {
  std::wstring name;
  void *handle = nullptr;
} held[4];

static void remove_held(size_t slot) {
  const HANDLE handle = InterlockedExchangePointer(&held[slot].handle, nullptr);
  if (handle == nullptr) return;
  CloseHandle(handle);
  DeleteFileW(long_form(held[slot].name).c_str());
}

// Ctrl-C or Ctrl-Break in the build's console, its window closed, the session ending: the copies
// go, and the run ends as it would have.
static BOOL WINAPI remove_held_copies(DWORD) {
  for (size_t slot = 0; slot < sizeof held / sizeof *held; ++slot) remove_held(slot);
  return FALSE;
}

// What names a held copy of the file at path: hidden, its name followed by this mark and six hex
// digits, in the same folder.
static const wchar_t kHeldMark[] = L".revstamp-";

FILE *create_held_copy(const char *path, char (&name)[kReplacementNameSize]) {
  size_t slot = 0;
  while (slot < sizeof held / sizeof *held && held[slot].handle != nullptr) ++slot;
  if (slot == sizeof held / sizeof *held) return nullptr;
  std::wstring folder, base;
  split_path(widen(path), folder, base);
  const HANDLE file = create_new_file(folder + L"." + base + kHeldMark, L"", name);
  HANDLE writer = nullptr;
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  // The held handle stays; the stream gets a handle of its own, which it closes.
  FILE *stream = DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &writer, 0, FALSE,
                                 DUPLICATE_SAME_ACCESS)
                     ? stream_on(writer, "wb")
                     : nullptr;
  held[slot].name = widen(name);
  held[slot].handle = file;
  if (stream == nullptr) remove_held(slot);
  return stream;
}

void remove_held_copy(const char *name) {
  const std::wstring wide = widen(name);
  for (size_t slot = 0; slot < sizeof held / sizeof *held; ++slot)
    if (held[slot].handle != nullptr && held[slot].name == wide) remove_held(slot);
}

void sweep_held_copies(const char *path) {
  std::wstring folder, base;
  split_path(widen(path), folder, base);
  const std::wstring pattern = folder + L"." + base + kHeldMark + L"*";
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(long_form(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  // A copy whose holder lives refuses to go.
  do {
    DeleteFileW(long_form(folder + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// MoveFileExW says "access denied" both for a header another program holds open without
// sharing its deletion and for one whose ACL denies this user: asking for the right to delete
// it, with every sharing allowed, tells the two apart.
static bool may_delete(const std::wstring &path) {
  const HANDLE file =
      CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_ACCESS_DENIED;
  CloseHandle(file);
  return true;
}

Replace replace_file(const char *from, const char *to, int &error) {
  const std::wstring target = file_path(to);
  if (MoveFileExW(file_path(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
    return Replace::kReplaced;
  const DWORD code = GetLastError();
  error = errno_from(code);
  if (code == ERROR_ACCESS_DENIED && !may_delete(target)) return Replace::kRefused;
  if (code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ||
      code == ERROR_LOCK_VIOLATION) {
    return Replace::kHeld;
  }
  return Replace::kFailed;
}

bool append_full_path(const char *path, Bytes &full) {
  const std::string result = narrow(full_path(widen(path)));
  if (result.empty()) return false;
  append(full, result.c_str(), result.size() + 1);
  return true;
}

int copy_modification_time(FILE *from, const char *path) {
  FILETIME written;
  const HANDLE source = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(from)));
  if (!GetFileTime(source, nullptr, nullptr, &written)) return errno_from(GetLastError());
  const HANDLE copy = CreateFileW(file_path(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (copy == INVALID_HANDLE_VALUE) return errno_from(GetLastError());
  const bool set = SetFileTime(copy, nullptr, nullptr, &written) != 0;
  const DWORD error = GetLastError();
  CloseHandle(copy);
  return set ? 0 : errno_from(error);
}

// Wide: the name is UTF-8, which remove() would read in the ANSI code page.
void remove_file(const char *path) { DeleteFileW(file_path(path).c_str()); }
