// The platform seam on POSIX hosts; platform_windows.cpp has the same functions in this order.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>

#include "revstamp.h"

// POSIX has the program declare it; glibc's unistd.h declares it too.
extern char **environ;  // NOLINT(readability-redundant-declaration)

const char kHeaderPath[] = "../applications/revision.h";
const char kLineEnd[] = "\n";
// Far below Linux's 2 MiB for arguments and environment together, and the 128 KiB one argument
// may hold.
const size_t kCommandLineLimit = 65536;
// Below a device, where no folder can be.
const char kNoSuchFile[] = "/dev/null/none";

// The private copies this process holds, each locked through fd until it is removed. The
// signal handler reads the names: a name is whole before its slot is marked used, and unmarked
// before the file goes.
struct HeldCopy {
  char name[kReplacementNameSize];
  int fd;
  volatile sig_atomic_t used;
};
static HeldCopy held[4];

// A signal that would end the run ends it, as it would have, once the copies are gone: a copy
// left by a run that could not catch its end (SIGKILL) is another run's to sweep.
static void remove_held_copies_and_end(int caught) {
  for (const auto &copy : held)
    if (copy.used) unlink(copy.name);
  signal(caught, SIG_DFL);
  raise(caught);
}

FILE *prepare_process() {
  // A closed descriptor goes to the next file opened: the header, or a pipe, would take stderr's
  // number and receive Git's complaints. The lowest free number is the one just found closed.
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1) open("/dev/null", O_RDWR);
  }
  // A reader of stdout that goes away (make ... | head -1) must not end the run before the
  // header is written: the write fails, and the run says so.
  signal(SIGPIPE, SIG_IGN);
  // A header past the file-size limit (ulimit -f) is a write that fails and says so, not a run
  // killed with its temporary file left behind.
  signal(SIGXFSZ, SIG_IGN);
  // A parent that ignores SIGCHLD (some CI agents, daemons, Python scripts) would have the kernel
  // reap Git by itself, and no exit status could be waited for.
  signal(SIGCHLD, SIG_DFL);
  // Ctrl-C, a closed terminal, a CI job's cancellation; one the parent ignores stays ignored.
  for (const int ending : {SIGHUP, SIGINT, SIGQUIT, SIGTERM}) {
    struct sigaction now;
    if (sigaction(ending, nullptr, &now) == 0 && now.sa_handler != SIG_IGN)
      signal(ending, remove_held_copies_and_end);
  }
  return stdout;
}

int write_error() { return errno; }

void set_environment(char *assignment) { putenv(assignment); }

const char *environment_path(const char *name) {
  const char *value = getenv(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

int make_build_dir() { return mkdir("build", 0777) == 0 || errno == EEXIST ? 0 : errno; }

// Starts file (the shell when Git is a script without #!) in launch's directory with its stdout
// on write_end, its stdin on the null device, its stderr where launch says, and SIGPIPE, SIGCHLD
// and SIGXFSZ at their defaults, however this process found them: Git stops when its reader goes,
// as a status read only up to its deciding line needs, and waits for its own children. 0, or the
// error number.
static int spawn_process(const char *file, char *const argv[], char *const environment[],
                         int write_end, const Launch &launch, pid_t *pid) {
  posix_spawn_file_actions_t actions;
  int error = posix_spawn_file_actions_init(&actions);
  if (error != 0) return error;
  posix_spawnattr_t attributes;
  error = posix_spawnattr_init(&attributes);
  if (error == 0) {
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    sigaddset(&defaults, SIGXFSZ);
    error = posix_spawn_file_actions_adddup2(&actions, write_end, STDOUT_FILENO);
    // No command revstamp runs reads its input: the build's stays the build's.
    if (error == 0)
      error = posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (error == 0 && launch.errors == Errors::kHidden)
      error = posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (error == 0 && launch.errors == Errors::kRead)
      error = posix_spawn_file_actions_adddup2(&actions, write_end, STDERR_FILENO);
    if (error == 0) error = posix_spawnattr_setsigdefault(&attributes, &defaults);
    if (error == 0) error = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    // Into launch's directory and back around the start, the one way every C library has (glibc
    // before 2.29, CentOS 7's and Ubuntu 18.04's, cannot start a process elsewhere): this process
    // runs no other thread. Back by a descriptor of the folder it left, which holds if the folder
    // is renamed meanwhile.
    const int here =
        launch.directory != nullptr ? open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    if (error == 0 && launch.directory != nullptr && (here == -1 || chdir(launch.directory) != 0))
      error = errno;
    // No shell between, and no search: file is a path. The arguments reach it as they are.
    if (error == 0) error = posix_spawn(pid, file, &actions, &attributes, argv, environment);
    // Back fails only if this user lost the right to enter the working directory mid-run: the
    // run ends there, as the header must not be written anywhere else.
    if (here != -1 && fchdir(here) != 0) abort();
    if (here != -1) close(here);
    posix_spawnattr_destroy(&attributes);
  }
  posix_spawn_file_actions_destroy(&actions);
  return error;
}

// Git as the shells find it: the first entry of PATH that is a file this user may run. One
// that is a folder, a link that leads nowhere or round in a loop, or not executable is passed
// over, as sh and bash pass it over. Every empty entry (leading, inner, trailing, or an empty
// PATH) is the working directory, named ./git: a path with a slash is never searched again.
static bool find_git(char (&path)[4096]) {
  const char *dirs = getenv("PATH");
  // What execvp searches without a PATH.
  if (dirs == nullptr) dirs = "/bin:/usr/bin";
  for (const char *dir = dirs;; ++dir) {
    const size_t size = strcspn(dir, ":");
    const int length = snprintf(path, sizeof path, "%.*s/git",
                                size == 0 ? 1 : static_cast<int>(size), size == 0 ? "." : dir);
    struct stat file;
    if (length > 0 && length < static_cast<int>(sizeof path) && stat(path, &file) == 0 &&
        S_ISREG(file.st_mode) && access(path, X_OK) == 0) {
      return true;
    }
    dir += size;
    if (*dir == '\0') return false;
  }
}

// This process's environment as Git started by launch needs it, its array and assignments in
// memory for free_environment; environ itself is left alone. Launch's assignments replace the
// variables they name. A relative GIT_DIR or GIT_WORK_TREE becomes a full path where launch asks
// for one.
struct Environment {
  char **variables = environ;
  Bytes assignments;
};

static void assign_full_path(Bytes &assignments, const char *name, const char *value) {
  append(assignments, name);
  append(assignments, "=");
  if (!append_full_path(value, assignments)) append(assignments, value, strlen(value) + 1);
}

static Environment environment_for(const Launch &launch) {
  Environment environment;
  for (const char *const *assignment = launch.assignments; assignment && *assignment; ++assignment)
    append(environment.assignments, *assignment, strlen(*assignment) + 1);
  for (const char *name : {"GIT_DIR", "GIT_WORK_TREE"}) {
    const char *value = getenv(name);
    if (launch.full_paths && value != nullptr && value[0] != '\0')
      assign_full_path(environment.assignments, name, value);
  }
  if (environment.assignments.size == 0) return environment;
  const char *const assigned_end = environment.assignments.bytes + environment.assignments.size;
  // Room for every variable, every assignment and the closing null pointer.
  size_t count = 0, room = 1;
  while (environ[count] != nullptr) ++count;
  for (const char *at = environment.assignments.bytes; at < assigned_end; at += strlen(at) + 1)
    ++room;
  environment.variables =
      static_cast<char **>(reallocate(nullptr, (count + room) * sizeof *environment.variables));
  size_t kept = 0;
  for (size_t i = 0; i < count; ++i) {
    bool replaced = false;
    for (const char *at = environment.assignments.bytes; at < assigned_end; at += strlen(at) + 1)
      replaced |= strncmp(environ[i], at, strcspn(at, "=") + 1) == 0;
    if (!replaced) environment.variables[kept++] = environ[i];
  }
  for (char *at = environment.assignments.bytes; at < assigned_end; at += strlen(at) + 1)
    environment.variables[kept++] = at;
  environment.variables[kept] = nullptr;
  return environment;
}

static void free_environment(Environment &environment) {
  if (environment.variables != environ) free(environment.variables);
  release(environment.assignments);
}

// Whether path holds text a shell can read: no zero byte up front. A program for another
// machine is no script, and an ELF header's padding is zero bytes.
static bool is_text(const char *path) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd == -1) return false;
  char head[512];
  const ssize_t got = read(fd, head, sizeof head);
  close(fd);
  return got >= 0 && memchr(head, '\0', static_cast<size_t>(got)) == nullptr;
}

bool git_takes_paths() { return true; }

Progress spawn_git(const char *const words[], const Launch &launch, GitCommand &command,
                   int &error) {
  const char *const *more = launch.extra_words;
  // The write end reaches Git only as its stdout. The read end reaches no child at all: a Git
  // that held its own pipe's read end would never see this reader go, and a status read only up
  // to its deciding line would wait for it forever.
  char found[4096];
  if (!find_git(found)) return Progress::kGitMissing;
  // Started elsewhere, Git found through a relative PATH entry is named from here.
  Bytes full;
  const bool named_from_here = launch.directory != nullptr && append_full_path(found, full);
  char *git = named_from_here ? full.bytes : found;
  size_t count = 0, more_count = 0;
  while (words[count] != nullptr) ++count;
  while (more != nullptr && more[more_count] != nullptr) ++more_count;
  int ends[2];
  if (pipe(ends) != 0) {
    error = errno;
    return Progress::kStartFailed;
  }
  // Room in front for the shell and the script's path.
  char **argv = static_cast<char **>(reallocate(nullptr, (count + more_count + 3) * sizeof *argv));
  fcntl(ends[0], F_SETFD, FD_CLOEXEC);
  fcntl(ends[1], F_SETFD, FD_CLOEXEC);
  argv[1] = const_cast<char *>("git");
  for (size_t i = 0; i < count; ++i) argv[i + 2] = const_cast<char *>(words[i]);
  for (size_t i = 0; i <= more_count; ++i)
    argv[count + i + 2] = const_cast<char *>(more ? more[i] : nullptr);
  Environment environment = environment_for(launch);
  error = spawn_process(git, argv + 1, environment.variables, ends[1], launch, &command.process);
  // posix_spawn runs no shell for a file that is not a program, as execvp and the shells do: a
  // wrapper script without a #! line ("exec /usr/bin/git "$@"") is run by /bin/sh, its path as
  // its first argument.
  if (error == ENOEXEC && is_text(git)) {
    argv[0] = const_cast<char *>("sh");
    argv[1] = git;
    error =
        spawn_process("/bin/sh", argv, environment.variables, ends[1], launch, &command.process);
  }
  free_environment(environment);
  release(full);
  free(argv);
  close(ends[1]);
  if (error != 0) {
    close(ends[0]);
    return Progress::kStartFailed;
  }
  command.output = fdopen(ends[0], "r");
  if (command.output != nullptr) return Progress::kRunning;
  // Git is running already: it sees its reader gone, and is waited for.
  error = errno;
  close(ends[0]);
  wait_for_git(command);
  return Progress::kStartFailed;
}

int wait_for_git(GitCommand &command) {
  if (command.output != nullptr) fclose(command.output);
  command.output = nullptr;
  int status;
  while (waitpid(command.process, &status, 0) == -1) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void describe_exit_code(int code, char (&text)[16]) { snprintf(text, sizeof text, "%d", code); }

int online_processors() { return static_cast<int>(std::max(sysconf(_SC_NPROCESSORS_ONLN), 1L)); }

void pause_milliseconds(int milliseconds) {
  const timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  nanosleep(&pause, nullptr);
}

FILE *open_to_read(const char *path) { return fopen(path, "rb"); }

FILE *open_in_place(const char *path, int &error) {
  FILE *file = fopen(path, "w+");
  if (file == nullptr) error = errno;
  return file;
}

// How much of path names the folder that holds it: up to its last slash, included; 0 for none.
static int folder_length(const char *path) {
  const char *last_slash = strrchr(path, '/');
  return last_slash != nullptr ? static_cast<int>(last_slash + 1 - path) : 0;
}

#ifdef __linux__
// The id of the mount path is on; -1 when the kernel cannot say. statx gives it from Linux 5.8;
// before that (CentOS 7's 3.10, Ubuntu 18.04's 4.15) name_to_handle_at does, from 2.6.39, and
// fills it in even when the handle does not fit the room given, which here is none.
static long long mount_id(const char *path, bool follow) {
  struct statx status;
  if (statx(AT_FDCWD, path, follow ? 0 : AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &status) == 0 &&
      (status.stx_mask & STATX_MNT_ID) != 0)
    return static_cast<long long>(status.stx_mnt_id);
  struct file_handle handle = {};
  int id = -1;
  const int named = name_to_handle_at(AT_FDCWD, path, &handle, &id, follow ? AT_SYMLINK_FOLLOW : 0);
  return named == 0 || errno == EOVERFLOW ? id : -1;
}
#endif

// Whether the header is tied to its inode: another name links to it, it is a mount of its own
// (a file bind-mounted into a container), or it carries an access ACL of its own. A new file in
// its place would leave those behind.
static bool tied_to_inode(const char *path, const struct stat &file) {
  char directory[4096];
  const int folder = folder_length(path);
  // A folder whose name does not fit cannot be looked at: the header is written in place.
  if (snprintf(directory, sizeof directory, "%.*s", folder > 0 ? folder : 1,
               folder > 0 ? path : ".") >= static_cast<int>(sizeof directory))
    return true;
  struct stat parent;
  if (file.st_nlink > 1 || stat(directory, &parent) != 0 || parent.st_dev != file.st_dev)
    return true;
#ifdef __linux__
  // A bind mount from the same file system shares its device: only the mount ids tell.
  const long long mount = mount_id(path, false), parent_mount = mount_id(directory, true);
  if (mount != -1 && parent_mount != -1 && mount != parent_mount) return true;
  // Linux keeps an access ACL beyond the three base entries as this attribute, and only then.
  return lgetxattr(path, "system.posix_acl_access", nullptr, 0) >= 0;
#else
  return false;
#endif
}

// What stands at path, its status in entry when there is one.
static EntryKind kind_of(const char *path, struct stat &entry) {
  if (lstat(path, &entry) != 0) return errno == ENOENT ? EntryKind::kAbsent : EntryKind::kOther;
  return S_ISREG(entry.st_mode) ? EntryKind::kRegular : EntryKind::kOther;
}

EntryKind kind_of(const char *path) {
  struct stat entry;
  return kind_of(path, entry);
}

Entry look_at_header(const char *path) {
  Entry entry;
  struct stat old;
  entry.kind = kind_of(path, old);
  // Only a regular file is replaced, keeping what it had.
  if (entry.kind != EntryKind::kRegular) return entry;
  entry.writable = access(path, W_OK) == 0;
  entry.tied_to_inode = tied_to_inode(path, old);
  entry.mode = old.st_mode & 07777;
  entry.owner = static_cast<long>(old.st_uid);
  entry.group = static_cast<long>(old.st_gid);
  return entry;
}

FILE *create_replacement(const char *path, const Entry &old, char (&name)[kReplacementNameSize]) {
  // Hidden and not ending in .h: no build picks up what a killed run leaves behind. Created as
  // fopen creates a file, so that the umask or the directory's default ACL (a team's shared
  // tree) decide a new header's permissions; only a header being replaced passes on its bits.
  // A local seed: a function-local static would bring a thread-safe initialisation guard, and
  // with it the C++ runtime library, into a tool that otherwise needs the C library alone.
  unsigned next = static_cast<unsigned>(getpid()) ^ static_cast<unsigned>(time(nullptr));
  const int folder = folder_length(path);
  int fd = -1;
  for (int attempt = 0; fd == -1 && attempt < 100; ++attempt) {
    next = next * 1103515245u + 12345u;
    // A name cut short would be another file's: such a header is written in place.
    if (snprintf(name, sizeof name, "%.*s.%s.%06x", folder, path, path + folder,
                 (next >> 8) & 0xffffffu) >= kReplacementNameSize)
      return nullptr;
    fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd == -1 && errno != EEXIST) return nullptr;
  }
  if (fd == -1) return nullptr;
  // The old header's owner and group too, as the in-place write kept them: a container's root
  // stamp leaves a developer's header theirs, and in a team's shared tree the next member to
  // stamp needs the group. A user who may not give them gets the header written in place.
  const bool kept =
      old.kind != EntryKind::kRegular ||
      (fchown(fd, static_cast<uid_t>(old.owner), static_cast<gid_t>(old.group)) == 0 &&
       fchmod(fd, static_cast<mode_t>(old.mode)) == 0);
  FILE *file = kept ? fdopen(fd, "w") : nullptr;
  if (file == nullptr) {
    close(fd);
    unlink(name);
  }
  return file;
}

// What names a held copy of the file at path: hidden, its name followed by this mark and six hex
// digits, in the same folder.
static const char kHeldMark[] = ".revstamp-";

// Whether the file open on fd is still the one name leads to.
static bool still_named(int fd, const char *name) {
  struct stat opened, named;
  return fstat(fd, &opened) == 0 && lstat(name, &named) == 0 && opened.st_dev == named.st_dev &&
         opened.st_ino == named.st_ino;
}

FILE *create_held_copy(const char *path, char (&name)[kReplacementNameSize]) {
  HeldCopy *slot = held;
  while (slot != std::end(held) && slot->used) ++slot;
  unsigned next = static_cast<unsigned>(getpid()) ^ static_cast<unsigned>(time(nullptr));
  const int folder = folder_length(path);
  for (int attempt = 0; slot != std::end(held) && attempt < 100; ++attempt) {
    next = next * 1103515245u + 12345u;
    if (snprintf(slot->name, sizeof slot->name, "%.*s.%s%s%06x", folder, path, path + folder,
                 kHeldMark, (next >> 8) & 0xffffffu) >= kReplacementNameSize)
      return nullptr;
    const int fd = open(slot->name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd == -1 && errno == EEXIST) continue;
    if (fd == -1) return nullptr;
    // Held from here on, while this process lives. A sweep that took the file between its making
    // and the lock has removed it: the name leads elsewhere, and another name is tried. Where
    // the file system has no locks, no sweep can take it either.
    const bool locked = flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
    if (!locked || !still_named(fd, slot->name)) {
      close(fd);
      continue;
    }
    // Written through a second descriptor: closing it keeps the lock, which is the first's.
    const int writer = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    FILE *file = writer != -1 ? fdopen(writer, "wb") : nullptr;
    if (file == nullptr) {
      if (writer != -1) close(writer);
      unlink(slot->name);
      close(fd);
      return nullptr;
    }
    slot->fd = fd;
    slot->used = 1;
    snprintf(name, sizeof name, "%s", slot->name);
    return file;
  }
  return nullptr;
}

void remove_held_copy(const char *name) {
  for (auto &copy : held) {
    if (!copy.used || strcmp(copy.name, name) != 0) continue;
    copy.used = 0;
    unlink(copy.name);
    close(copy.fd);
  }
}

void sweep_held_copies(const char *path) {
  const int folder = folder_length(path);
  char directory[4096], mark[512];
  if (snprintf(directory, sizeof directory, "%.*s", folder > 0 ? folder : 1,
               folder > 0 ? path : ".") >= static_cast<int>(sizeof directory) ||
      snprintf(mark, sizeof mark, ".%s%s", path + folder, kHeldMark) >=
          static_cast<int>(sizeof mark))
    return;
  DIR *entries = opendir(directory);
  for (const dirent *entry; entries != nullptr && (entry = readdir(entries)) != nullptr;) {
    char name[kReplacementNameSize];
    if (strncmp(entry->d_name, mark, strlen(mark)) != 0 ||
        snprintf(name, sizeof name, "%s%s%s", directory, folder > 0 ? "" : "/", entry->d_name) >=
            kReplacementNameSize)
      continue;
    // A copy whose holder lives is locked; one whose holder ended is not.
    const int fd = open(name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd != -1 && flock(fd, LOCK_EX | LOCK_NB) == 0 && still_named(fd, name)) unlink(name);
    if (fd != -1) close(fd);
  }
  if (entries != nullptr) closedir(entries);
}

Replace replace_file(const char *from, const char *to, int &error) {
  if (rename(from, to) == 0) return Replace::kReplaced;
  error = errno;
  // What some network file systems (SMB mounts) answer while another client has the file open.
  if (error == EBUSY || error == ETXTBSY) return Replace::kHeld;
  // A sticky shared directory keeps a member from renaming over a header another one owns.
  return error == EPERM || error == EACCES ? Replace::kRefused : Replace::kFailed;
}

bool append_full_path(const char *path, Bytes &full) {
  if (path[0] != '/') {
    char *here = getcwd(nullptr, 0);
    if (here == nullptr) return false;
    append(full, here);
    append(full, "/");
    free(here);
  }
  append(full, path, strlen(path) + 1);
  return true;
}

int copy_modification_time(FILE *from, const char *path) {
  struct stat source;
  if (fstat(fileno(from), &source) != 0) return errno;
  // Whole seconds, which every C library's stat gives: a copy no newer than its original leaves
  // Git's check for entries changed in the second the index was written as strict, or stricter.
  const struct timespec times[2] = {{source.st_atime, 0}, {source.st_mtime, 0}};
  return utimensat(AT_FDCWD, path, times, 0) == 0 ? 0 : errno;
}

void remove_file(const char *path) { unlink(path); }
