/* Windows conditions for the tests under Wine, built with MinGW-w64:
     windows_helper hold FILE MS        opens FILE as a C runtime's fopen does, without delete
                                        sharing, prints "holding", and once a replacement
                                        (rev*.tmp) appears beside it holds MS milliseconds
                                        more; then prints the first line its handle reads
     windows_helper nohandles PROGRAM   starts PROGRAM with no standard handles, as some IDEs
                                        do, and exits with its exit status
   Named git.exe, it is a launcher as package managers' shims and hand-made ones are: it hands
   its own command line's tail, as it stands, to cmd.exe to run git2.cmd beside it with; with
   WINE_LAUNCHER_ANSI set, through the ANSI API, as many are written. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

/* Waits for a process this helper started to end: its exit status, 2 when it has none. */
static int exit_code_of(HANDLE process) {
  DWORD code = 2;
  WaitForSingleObject(process, INFINITE);
  GetExitCodeProcess(process, &code);
  return (int)code;
}

static int hold(const char *path, int milliseconds) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 2;
  printf("holding\n");
  fflush(stdout);
  char pattern[MAX_PATH];
  snprintf(pattern, sizeof pattern, "%.*srev*.tmp", (int)(strrchr(path, '\\') + 1 - path), path);
  WIN32_FIND_DATAA found;
  HANDLE search = INVALID_HANDLE_VALUE;
  for (int waited = 0; search == INVALID_HANDLE_VALUE && waited < 10000; ++waited) {
    search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) Sleep(1);
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  Sleep(milliseconds);
  char line[64] = "";
  DWORD got = 0;
  ReadFile(file, line, sizeof line - 1, &got, NULL);
  line[got] = '\0';
  line[strcspn(line, "\r\n")] = '\0';
  printf("read: %s\n", line);
  CloseHandle(file);
  return 0;
}

static int without_handles(char *program) {
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = INVALID_HANDLE_VALUE;
  PROCESS_INFORMATION started;
  if (!CreateProcessA(NULL, program, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started))
    return 2;
  return exit_code_of(started.hProcess);
}

/* The command line as the ANSI API gives it, each character the code page lacks in its best
   fit, handed on so. */
static int launch_ansi(void) {
  const char *tail = GetCommandLineA();
  if (*tail == '"') {
    tail = strchr(tail + 1, '"');
    tail = tail == NULL ? "" : tail + 1;
  } else {
    tail += strcspn(tail, " \t");
  }
  char folder[MAX_PATH];
  const DWORD size = GetModuleFileNameA(NULL, folder, MAX_PATH);
  char *base = size == 0 ? NULL : strrchr(folder, '\\');
  if (base == NULL) return 2;
  base[1] = '\0';
  static char command[32768];
  snprintf(command, sizeof command, "cmd.exe /d /c \"\"%sgit2.cmd\"%s\"", folder, tail);
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started;
  if (!CreateProcessA(NULL, command, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &started)) return 2;
  return exit_code_of(started.hProcess);
}

static int launch(void) {
  if (getenv("WINE_LAUNCHER_ANSI") != NULL) return launch_ansi();
  const wchar_t *tail = GetCommandLineW();
  if (*tail == L'"') {
    tail = wcschr(tail + 1, L'"');
    tail = tail == NULL ? L"" : tail + 1;
  } else {
    tail += wcscspn(tail, L" \t");
  }
  wchar_t folder[MAX_PATH];
  const DWORD size = GetModuleFileNameW(NULL, folder, MAX_PATH);
  wchar_t *base = size == 0 ? NULL : wcsrchr(folder, L'\\');
  if (base == NULL) return 2;
  base[1] = L'\0';
  static wchar_t command[32768];
  swprintf(command, 32768, L"cmd.exe /d /c \"\"%lsgit2.cmd\"%ls\"", folder, tail);
  STARTUPINFOW startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started;
  if (!CreateProcessW(NULL, command, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &started)) return 2;
  return exit_code_of(started.hProcess);
}

int main(int argc, char **argv) {
  const char *name = strrchr(argv[0], '\\') ? strrchr(argv[0], '\\') + 1 : argv[0];
  if (_stricmp(name, "git.exe") == 0 || _stricmp(name, "git") == 0) return launch();
  if (argc == 4 && strcmp(argv[1], "hold") == 0) return hold(argv[2], atoi(argv[3]));
  if (argc == 3 && strcmp(argv[1], "nohandles") == 0) return without_handles(argv[2]);
  return 2;
}
