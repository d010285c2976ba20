// The header file's fate: a stamp kept, left alone, replaced whole in one step, or written in
// place. What stands at its path is looked at once, and that decides.
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "revstamp.h"

// A compiler or an IDE's indexer holds the header for moments at a time: waiting for it to let
// go, with pauses that add up to about a second, keeps the header whole for every reader.
static Replace place_replacement(const char *name, const char *path, int &error) {
  Replace placed = replace_file(name, path, error);
  for (int pause = 15; placed == Replace::kHeld && pause <= 480; pause *= 2) {
    pause_milliseconds(pause);
    placed = replace_file(name, path, error);
  }
  return placed;
}

static int write_in_place(const Bytes &bytes, const char *path) {
  int error = 0;
  FILE *header = open_in_place(path, error);
  if (header == nullptr) {
    report_failure("fopen failed", error);
    // What a newcomer meets first who runs revstamp in the wrong directory, or names a header
    // in a folder yet to be made: no folder to create the header in. Said only then.
    if (error == ENOENT && strcmp(path, kHeaderPath) == 0) {
      report(
          "revstamp writes %s, relative to where it runs: run it from a directory whose "
          "parent holds applications/",
          path);
    } else if (error == ENOENT) {
      report("revstamp writes %s, as REVSTAMP_HEADER names it: create the folder that holds it",
             path);
    }
    return 1;
  }
  // A full disk shows only when the buffered bytes reach the file: a header cut short must not
  // pass for a written one.
  error = write_and_close(header, bytes.bytes, bytes.size);
  if (error != 0) report_failure("write failed", error);
  return error != 0 ? 1 : 0;
}

// Whoever reads the header meanwhile, a compiler or a second run, finds the previous header or
// the new one, whole: the bytes go to a new file that then takes the header's name in one step.
// A directory that refuses a new file, or a name it may not take, gets the header written in
// place.
static int replace_header(const Bytes &bytes, const Entry &old, const char *path) {
  char replacement_name[kReplacementNameSize];
  FILE *replacement = create_replacement(path, old, replacement_name);
  if (replacement == nullptr) return write_in_place(bytes, path);
  int error = write_and_close(replacement, bytes.bytes, bytes.size);
  const Replace placed =
      error == 0 ? place_replacement(replacement_name, path, error) : Replace::kFailed;
  if (placed == Replace::kReplaced) return 0;
  remove_file(replacement_name);
  if (placed == Replace::kFailed) {
    report_failure("write failed", error);
    return 1;
  }
  const int result = write_in_place(bytes, path);
  // Said only once it is true: the in-place write may fail too, and says so itself.
  if (result == 0 && placed == Replace::kHeld)
    report("warning: %s is in use and cannot be replaced: written in place", path);
  return result;
}

// Whether the header holds exactly these bytes as a text-mode write puts them on disk, read as
// they are: a Ctrl-Z or a lone LF must not pass for the same on Windows.
static bool header_holds(const Bytes &bytes, const char *path) {
  Bytes disk;
  for (size_t at = 0; at < bytes.size; ++at) {
    if (bytes.bytes[at] == '\n') append(disk, kLineEnd);
    if (bytes.bytes[at] != '\n') append(disk, bytes.bytes + at, 1);
  }
  FILE *old = open_to_read(path);
  bool same = old != nullptr;
  size_t at = 0;
  char block[4096];
  for (size_t got; same && (got = fread(block, 1, sizeof block, old)) > 0; at += got)
    same = got <= disk.size - at && memcmp(block, disk.bytes + at, got) == 0;
  same = same && at == disk.size && !ferror(old);
  if (old != nullptr) fclose(old);
  release(disk);
  return same;
}

// Whether the header holds revstamp's own count line of a real history: "#define", blanks,
// FIRMWARE_VER_REV, a blank and a number above 0, as either form writes it. Another tool's
// MY_FIRMWARE_VER_REV is no stamp of revstamp's.
static bool holds_real_stamp(const char *path) {
  FILE *header = open_to_read(path);
  if (header == nullptr) return false;
  char line[256];
  long count = 0;
  while (count == 0 && fgets(line, sizeof line, header) != nullptr) {
    if (strncmp(line, "#define ", 8) != 0) continue;
    const char *name = line + 8 + strspn(line + 8, " ");
    if (strncmp(name, "FIRMWARE_VER_REV ", 17) == 0) count = strtol(name + 17, nullptr, 10);
  }
  fclose(header);
  return count > 0;
}

Fate put_header(Bytes &bytes, bool no_history, const Options &options) {
  const char *path = options.header;
  const Entry old = look_at_header(path);
  // Only a regular file is read: a FIFO or a terminal would be waited on for ever.
  const bool regular = old.kind == EntryKind::kRegular;
  Fate fate = Fate::kWritten;
  if (old.kind == EntryKind::kDeviceName) {
    // Windows' device names are no header: NUL fails to write, and AUX or COM1 would take the
    // bytes with nothing to show for them.
    report("revstamp writes %s: Windows keeps that name for a device; name a file", path);
    fate = Fate::kFailed;
  } else if (regular && no_history && options.keep_stamp && holds_real_stamp(path)) {
    // A source drop keeps the stamp it was made with, on request.
    report("warning: Git listed no commit: %s keeps the stamp it holds", path);
    fate = Fate::kKept;
  } else if (!(regular && options.if_changed && header_holds(bytes, path))) {
    // Left alone when unchanged, an IF_CHANGED header keeps its inode and time, so nothing that
    // includes it is compiled again. A link keeps pointing where it did, a device stays a
    // device, and a file tied to its inode keeps its other names, its mount or its ACL; a file
    // this user may not write fails as it always did.
    const bool replaceable =
        old.kind == EntryKind::kAbsent || (regular && old.writable && !old.tied_to_inode);
    const int result = replaceable ? replace_header(bytes, old, path) : write_in_place(bytes, path);
    fate = result == 0 ? Fate::kWritten : Fate::kFailed;
  }
  release(bytes);
  return fate;
}
