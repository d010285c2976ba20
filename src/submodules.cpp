// git submodule status --recursive describes one submodule after another, each on one core. With
// four or more submodules checked out, where that pays (split_pays, the one place that decides),
// runs of them in index order are listed side by side, each by the same command limited to its
// run's paths, and read in order. Their outputs one after another are the one command's byte for
// byte because:
// - Git lists the gitlinks in index order, recursing into each before the next;
// - the runs are contiguous ranges of that order (plan_listing_runs), read in that order;
// - each literal pathspec matches only its own gitlink (pathspecs_exact, read_gitlinks);
// - one index is read throughout: the run's private copy of it (copy_index, on every platform a
//   byte-for-byte copy), which the listing the runs are planned from and every run read, whatever
//   a checkout in another terminal does to the repository's own meanwhile. Git drops
//   GIT_INDEX_FILE for what it runs inside a submodule. A Git before 2.15 shares the copy with
//   its git status, which may write it anew: whole, by a rename, with the same entries and only
//   their file times refreshed. The new file is not held: a stamp beside this one may sweep it
//   away, and a run that then finds no index fails.
// The listing is split only where all four hold, and any run that fails leaves the one command
// to decide. Where Git has checked out none of the submodules a repository maps (lists_at_once),
// the index is not listed at all. Where the index listing finds no gitlink, no command lists:
// Git describes the index's gitlinks alone, so it would print nothing, and exit 0 wherever
// there is a work tree (read_submodule_listing).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "revstamp.h"

// Matches exactly the path that follows, relative to the working directory: *, ?, [ or : in a
// name match nothing else.
static const char kLiteral[] = ":(literal)";

// Whether a literal pathspec of each path can only mean that path, and the index listing's :(top)
// the whole index: no variable changes how Git reads pathspecs (GIT_ICASE_PATHSPECS would match
// lib/Drv to lib/drv, and GIT_LITERAL_PATHSPECS finds no gitlink under a name ":(top)"). No command
// interpreter reads the command line either: a Git that is a batch script is never handed a path,
// and spawn_git refuses to hand one a path that a launcher's could read.
static bool pathspecs_exact() {
  for (const char *name : {"GIT_ICASE_PATHSPECS", "GIT_GLOB_PATHSPECS", "GIT_NOGLOB_PATHSPECS",
                           "GIT_LITERAL_PATHSPECS"}) {
    if (getenv(name) != nullptr) return false;
  }
  return git_takes_paths();
}

// What the index listing found: how many gitlinks (-1 when the index could not be listed, was
// not read to its end, or a gitlink is not at stage 0 alone: a conflict's gitlink, or one whose
// path a file shares, is listed by Git's matcher as no pathspec of its own would be), how many of
// them have a .git inside, and how many bytes were listed.
struct Gitlinks {
  int count = -1, checked_out = 0;
  size_t listed = 0;
};

// Notes one record of the index listing, "<mode> <object> <stage>\t<path>": a gitlink's path
// goes to paths. False for a gitlink that is not at stage 0.
static bool note_gitlink(const char *record, Bytes &paths, Gitlinks &found, Bytes &git_entry) {
  const char *tab = strchr(record, '\t');
  if (strncmp(record, "160000 ", 7) != 0 || tab == nullptr) return true;
  // Describing a submodule that is not checked out costs Git next to nothing.
  git_entry.size = 0;
  append(git_entry, tab + 1);
  append(git_entry, "/.git", 6);
  if (kind_of(git_entry.bytes) != EntryKind::kAbsent) ++found.checked_out;
  append(paths, tab + 1, strlen(tab + 1) + 1);
  ++found.count;
  return tab[-1] == '0';
}

// How many shares of the gitlinks run side by side: one per processor, at most 8, and at most one
// per two gitlinks.
static int shares_of(int count, int processors) { return std::min({count / 2, processors, 8}); }

// Whether a split is faster than the one command. It saves the checked-out submodules' listing
// spread over the shares; it costs the index copied and listed again, and read by every run
// beside git status. On 2 cores (Git 2.39, 2026) a checked-out submodule took Git about as long
// as 256 KiB of index listing costs a split: a 200,000-file index (13.7 MB listed) with 32 of
// them checked out was still faster listed by the one command. A wrong guess costs time only.
static bool split_pays(const Gitlinks &links, int processors) {
  constexpr double kListingPerSubmodule = 256 * 1024;
  const int shares = shares_of(links.count, processors);
  return links.checked_out >= 4 &&
         links.checked_out * kListingPerSubmodule * (shares - 1) / shares >
             static_cast<double>(links.listed);
}

// Lists the index (the copy, when there is one): the gitlinks' paths relative to the working
// directory go to paths in index order, as zero-ended strings one after another. The listing is
// read record by record: an index of a hundred thousand files lists megabytes. Once more than a
// MiB is listed and the checked-out submodules found so far would not pay for a split of it, the
// rest is left unread (Git ends at its next write) and the one command lists: on 2 cores, with
// 100,000 files and 8 submodules checked out, reading the whole listing first made the stamp
// 234 ms against 192 ms for git status and the one command started together; stopping after a
// MiB made it 213 ms. Checked-out submodules that come after more than a MiB of files are then
// listed by the one command even where a split would have paid: time only.
static Gitlinks read_gitlinks(Bytes &paths, const Bytes &index, int processors) {
  constexpr size_t kListingDecides = 1 << 20;
  const char *index_file[] = {index.bytes, nullptr};
  // Quiet, as the runs are: if it fails (a split index whose shared file expired from under the
  // copy, an index Git cannot read), the one command decides, and speaks.
  Launch from_index;
  from_index.errors = Errors::kHidden;
  if (index.size > 0) from_index.assignments = index_file;
  GitCommand listing = start_git_command(kGitlinks, from_index);
  Gitlinks found;
  found.count = 0;
  Bytes record, git_entry, rest;
  bool exact = true;
  char block[4096];
  for (size_t got;
       listing.output != nullptr && (got = fread(block, 1, sizeof block, listing.output)) > 0;) {
    found.listed += got;
    for (const char *at = block, *end = block + got; at < end;) {
      const char *zero = static_cast<const char *>(memchr(at, '\0', static_cast<size_t>(end - at)));
      append(record, at, static_cast<size_t>((zero != nullptr ? zero : end) - at));
      if (zero == nullptr) break;
      append(record, "", 1);
      exact &= note_gitlink(record.bytes, paths, found, git_entry);
      record.size = 0;
      at = zero + 1;
    }
    if (found.listed > kListingDecides && !split_pays(found, processors)) {
      finish_git_command(listing);
      exact = false;
    }
  }
  // The listing ends with its last record's zero, and Git with exit 0.
  exact &= read_all(listing, rest) && record.size == 0;
  release(rest);
  release(record);
  release(git_entry);
  if (!exact) found.count = -1;
  return found;
}

int plan_listing_runs(const size_t *lengths, int count, int processors, size_t budget,
                      int *run_ends) {
  const int shares = shares_of(count, processors);
  if (shares < 2) {
    run_ends[0] = std::max(count, 0);
    return 1;
  }
  int runs = 0;
  for (int share = 0; share < shares; ++share) {
    const int share_end = static_cast<int>((share + 1L) * count / shares);
    for (int first = static_cast<int>(share * static_cast<long>(count) / shares), end = first;
         first < share_end; first = end) {
      // Worst case on Windows, every character escaped: twice its length, quotes and a blank.
      for (size_t size = 0; end < share_end; ++end) {
        size += 2 * (lengths[end] + sizeof kLiteral - 1) + 3;
        if (end > first && size > budget) break;
      }
      run_ends[runs++] = end;
    }
  }
  return runs;
}

// How every listing command starts: Git 2.11's submodule script moves to the top of the work tree
// before it reads a relative GIT_DIR or GIT_WORK_TREE, which must then be full paths.
static Launch listing_launch() {
  Launch launch;
  launch.full_paths = true;
  return launch;
}

// Starts the listing of the count zero-ended paths from first on alone, from the index copy,
// quietly: a run that fails gives way to the one command, whose messages are the ones to see.
static GitCommand start_run(const char *first, int count, const Bytes &index) {
  Bytes pathspecs;
  const char *path = first;
  for (int i = 0; i < count; ++i, path += strlen(path) + 1) {
    append(pathspecs, kLiteral);
    append(pathspecs, path, strlen(path) + 1);
  }
  // "--", a pointer to each pathspec, and the closing nullptr. pathspecs holds the count
  // pathspecs zero-ended one after another, and is not appended to again, so each pointer stays:
  // the next starts one past the zero that ends the one before.
  const size_t slots = static_cast<size_t>(count) + 2;
  const char **more = static_cast<const char **>(reallocate(nullptr, slots * sizeof *more));
  more[0] = "--";
  for (size_t i = 1, at = 0; i < slots - 1; at += strlen(more[i++]) + 1)
    more[i] = pathspecs.bytes + at;
  more[slots - 1] = nullptr;
  Launch quietly = listing_launch();
  quietly.extra_words = more;
  quietly.errors = Errors::kHidden;
  const char *index_file[] = {index.bytes, nullptr};
  quietly.assignments = index_file;
  const GitCommand run = start_git_command(kSubmodules, quietly);
  free(more);
  release(pathspecs);
  return run;
}

// Plans and starts the runs for the count paths one after another in paths.
static void start_runs(const Bytes &paths, int count, const Bytes &index, int processors,
                       SubmoduleListing &listing) {
  const size_t slots = static_cast<size_t>(count);
  size_t *lengths = static_cast<size_t *>(reallocate(nullptr, slots * sizeof *lengths));
  int *run_ends = static_cast<int *>(reallocate(nullptr, slots * sizeof *run_ends));
  listing.runs = static_cast<GitCommand *>(reallocate(nullptr, slots * sizeof *listing.runs));
  for (size_t i = 0, at = 0; i < slots; at += lengths[i++] + 1)
    lengths[i] = strlen(paths.bytes + at);
  // The 1,024 left over hold Git's path, the table's words and "--". A Git installed deeper than
  // that (a long \\?\ path) makes a run's line too long: that run fails to start, and the unsplit
  // command lists instead (read_submodule_listing).
  const int runs =
      plan_listing_runs(lengths, count, processors, kCommandLineLimit - 1024, run_ends);
  const char *first = paths.bytes;
  for (int run = 0, path = 0; run < runs; ++run) {
    listing.runs[listing.count++] = start_run(first, run_ends[run] - path, index);
    while (path < run_ends[run]) first += lengths[path++] + 1;
  }
  free(run_ends);
  free(lengths);
}

// Starts the one command at the top of the work tree, keeping in listing.prefix the way down
// from there to here ("fw/", or empty); false when Git could not say where the top is.
static bool start_from_top(SubmoduleListing &listing) {
  Bytes answer;
  const bool told = ask_git(kTopAndPrefix, answer);
  if (told) {
    // The way up's line, then the prefix: the rest but its own line end. Each of the prefix's
    // folders ends with a slash, which append_from_here counts on.
    const char *prefix = next_line(answer.bytes);
    size_t size = strlen(prefix);
    if (size > 0 && prefix[size - 1] == '\n') --size;
    append(listing.prefix, prefix, size);
    if (size > 0 && prefix[size - 1] != '/') append(listing.prefix, "/");
    append(listing.prefix, "", 1);
    Launch at_top = listing_launch();
    at_top.directory = answer.bytes[0] != '\0' ? answer.bytes : ".";
    listing.unsplit = start_git_command(kSubmodules, at_top);
    listing.from_top = true;
  }
  release(answer);
  return told;
}

// Whether the one command had best start without the index listed first: where the repository
// maps submodules (a .gitmodules beside the common directory, as in a plain clone) and Git has
// checked out none of them. Git keeps the Git directory of each submodule it checks out in the
// common directory's modules/ (since 1.7.8), and leaves it there when the submodule is taken out
// again. With no such folder, a submodule is checked out only with a .git folder of its own
// (cloned in place by hand, or by a Git before 1.7.8), which few are. Without a .gitmodules, the
// index listing most often finds no gitlink, and then no command lists. A wrong guess costs time
// only.
static bool lists_at_once(const GitCommands &git, const Bytes &probe_answer) {
  Bytes modules, mapped;
  const bool at_once = find_in_common_dir(probe_answer, git.version, "modules", modules) &&
                       kind_of(modules.bytes) == EntryKind::kAbsent &&
                       find_in_common_dir(probe_answer, git.version, "../.gitmodules", mapped) &&
                       kind_of(mapped.bytes) != EntryKind::kAbsent;
  release(mapped);
  release(modules);
  return at_once;
}

SubmoduleListing start_submodule_listing(GitCommands &git, const Bytes &probe_answer) {
  SubmoduleListing listing;
  // Git before 1.8.4 refuses to list submodules below the top of the work tree, and Git 2.16 to
  // 2.24 lists a top-level submodule that moved on without its + there (fixed in 2.25.0).
  if (!git.version.can.list_submodules_from_here && start_from_top(listing)) return listing;
  Bytes paths;
  // Asked once: the index listing is judged against it block by block.
  const int processors = online_processors();
  Gitlinks links = pathspecs_exact() && !lists_at_once(git, probe_answer)
                       ? read_gitlinks(paths, Bytes(), processors)
                       : Gitlinks();
  listing.no_gitlinks = links.count == 0;
  // Only a split listing needs the copy; its runs are planned again, from the copy itself.
  if (split_pays(links, processors) && copy_index(git)) {
    paths.size = 0;
    links = read_gitlinks(paths, git.index_copy, processors);
  }
  if (split_pays(links, processors) && git.index_copy.size > 0) {
    start_runs(paths, links.count, git.index_copy, processors, listing);
  } else if (!listing.no_gitlinks) {
    listing.unsplit = start_git_command(kSubmodules, listing_launch());
  }
  release(paths);
  return listing;
}

// Appends the listing Git printed at the top with each path made relative to the working
// directory, below the top by prefix (folders, each ended by a slash), as Git 2.25 and later print
// it there: lib becomes ../lib, fw/x becomes x, and an uninitialised submodule's folder that holds
// the working directory ./, or ../ from below it. Only a path's leading folders change, so the
// rest of the line stays; nothing is read past a line's end or the prefix's.
static void append_from_here(const Bytes &listing, const char *prefix, Bytes &out) {
  const char *end = listing.bytes + listing.size;
  for (const char *line = listing.bytes; line < end;) {
    const char *line_end =
        static_cast<const char *>(memchr(line, '\n', static_cast<size_t>(end - line)));
    line_end = line_end ? line_end + 1 : end;
    // The status letter (a blank too) and the object name, then a blank, then the path.
    const char *path =
        static_cast<const char *>(memchr(line + 1, ' ', static_cast<size_t>(line_end - line - 1)));
    path = path ? path + 1 : line_end;
    append(out, line, static_cast<size_t>(path - line));
    const char *up = prefix;
    for (size_t folder; *up != '\0' &&
                        (folder = strcspn(up, "/") + 1) <= static_cast<size_t>(line_end - path) &&
                        memcmp(path, up, folder) == 0;) {
      path += folder;
      up += folder;
    }
    // Only an uninitialised submodule's line ends with its path: an initialised one is a
    // repository of its own, which Git would have listed from instead.
    const char *path_end = line_end > path && line_end[-1] == '\n' ? line_end - 1 : line_end;
    const size_t name = strcspn(up, "/");
    if (*up != '\0' && static_cast<size_t>(path_end - path) == name &&
        memcmp(path, up, name) == 0) {
      path = path_end;
      up += name + 1;
      if (*up == '\0') append(out, "./");
    }
    for (; *up != '\0'; up += strcspn(up, "/") + 1) append(out, "../");
    append(out, path, static_cast<size_t>(line_end - path));
    line = line_end;
  }
}

bool read_submodule_listing(SubmoduleListing &listing, bool history_listed, bool work_tree_shown,
                            Bytes &bytes) {
  const size_t start = bytes.size;
  bool split_failed = false, ok = true;
  // Git's submodule command refuses to run outside a work tree (inside .git, in a bare
  // repository), however few gitlinks the index holds: there its messages are the ones to see.
  if (listing.no_gitlinks && !work_tree_shown)
    listing.unsplit = start_git_command(kSubmodules, listing_launch());
  for (int i = 0; i < listing.count; ++i) split_failed |= !read_all(listing.runs[i], bytes);
  free(listing.runs);
  if (split_failed) {
    // A Git without literal pathspecs, a run that could not start: the one command's bytes,
    // messages and exit status decide.
    bytes.size = start;
    listing.unsplit = start_git_command(kSubmodules, listing_launch());
  }
  if (listing.count == 0 || split_failed) {
    Bytes at_top;
    read_all(listing.unsplit, listing.from_top ? at_top : bytes);
    if (listing.from_top) append_from_here(at_top, listing.prefix.bytes, bytes);
    release(at_top);
    ok = check_git_exit(listing.unsplit, history_listed);
  }
  release(listing.prefix);
  listing = SubmoduleListing();
  return ok;
}
