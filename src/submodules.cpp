// git submodule status --recursive describes one submodule after another, each on one core. With
// four or more submodules, runs of them in index order are listed side by side, each by the same
// command limited to its run's paths, and read in order. The paths come from the index itself,
// from the top, as literal pathspecs, so that each run lists exactly its own submodules, in the
// order the one command would, and the runs' outputs one after another are its output.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "revstamp.h"

// Pathspec magic: from the top of the work tree, whatever directory revstamp runs in, and
// matching only the name itself, so that *, ?, [ or : in a name match nothing else.
static const char kLiteralFromTop[] = ":(top,literal)";

// The gitlinks' paths from the top, each once (a conflict lists a gitlink in three stages), in
// index order, as zero-ended strings one after another in paths; how many. -1 when the index
// could not be listed.
static int read_gitlinks(Text &paths) {
  GitCommand index = start_git_command(kGitlinks);
  Text listing;
  read_all(index, listing);
  append(listing, "", 1);
  const bool listed =
      index.progress == Progress::kFinished && index.exit_code == 0 && !listing.lost;
  int count = 0;
  const char *last = "";
  for (const char *record = listing.bytes; listed && record < listing.bytes + listing.size - 1;
       record += strlen(record) + 1) {
    const char *tab = strchr(record, '\t');
    if (strncmp(record, "160000 ", 7) != 0 || tab == nullptr || strcmp(tab + 1, last) == 0)
      continue;
    last = tab + 1;
    append(paths, last, strlen(last) + 1);
    ++count;
  }
  release(listing);
  return listed && !paths.lost ? count : -1;
}

int plan_listing_runs(const size_t *lengths, int count, int processors, size_t budget,
                      int *run_ends) {
  const int shares = std::min({count / 2, processors, 8});
  if (count < 4 || shares < 2) {
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
        size += 2 * (lengths[end] + sizeof kLiteralFromTop - 1) + 3;
        if (end > first && size > budget) break;
      }
      run_ends[runs++] = end;
    }
  }
  return runs;
}

// Starts the listing of the paths[0..count) alone.
static GitCommand start_run(const char *const *paths, int count) {
  Text pathspecs;
  for (int i = 0; i < count; ++i) {
    append(pathspecs, kLiteralFromTop);
    append(pathspecs, paths[i], strlen(paths[i]) + 1);
  }
  const size_t words = static_cast<size_t>(count) + 2;
  const char **more = static_cast<const char **>(malloc(words * sizeof *more));
  GitCommand run;
  run.id = kSubmodules;
  if (more == nullptr || pathspecs.lost) {
    report_failure("popen failed", ENOMEM);
    run.progress = Progress::kStartFailed;
  } else {
    more[0] = "--";
    for (int i = 0, at = 0; i < count; at += static_cast<int>(strlen(pathspecs.bytes + at)) + 1)
      more[++i] = pathspecs.bytes + at;
    more[count + 1] = nullptr;
    run = start_git_command(kSubmodules, more);
  }
  free(more);
  release(pathspecs);
  return run;
}

SubmoduleListing start_submodule_listing() {
  SubmoduleListing listing;
  Text paths;
  const int count = read_gitlinks(paths);
  const size_t slots = static_cast<size_t>(std::max(count, 1));
  const char **path = static_cast<const char **>(malloc(slots * sizeof *path));
  size_t *lengths = static_cast<size_t *>(malloc(slots * sizeof *lengths));
  int *run_ends = static_cast<int *>(malloc(slots * sizeof *run_ends));
  listing.runs = static_cast<GitCommand *>(calloc(slots, sizeof *listing.runs));
  if (listing.runs == nullptr) {
    report_failure("popen failed", ENOMEM);
  } else if (path == nullptr || lengths == nullptr || run_ends == nullptr || count < 4) {
    // The one command, with no pathspec.
    listing.runs[listing.count++] = start_git_command(kSubmodules);
  } else {
    for (int i = 0, at = 0; i < count; at += static_cast<int>(lengths[i++]) + 1) {
      path[i] = paths.bytes + at;
      lengths[i] = strlen(path[i]);
    }
    const int runs =
        plan_listing_runs(lengths, count, online_processors(), kCommandLineLimit - 1024, run_ends);
    for (int run = 0, first = 0; run < runs; first = run_ends[run++]) {
      listing.runs[listing.count++] = runs == 1 ? start_git_command(kSubmodules)
                                                : start_run(path + first, run_ends[run] - first);
    }
  }
  free(run_ends);
  free(lengths);
  free(path);
  release(paths);
  return listing;
}

ListingResult read_submodule_listing(SubmoduleListing &listing, bool history_listed) {
  ListingResult result;
  bool stopped = false;
  for (int i = 0; i < listing.count; ++i) {
    GitCommand &run = listing.runs[i];
    // After a run that failed, the one command would have printed no more: nor do the others.
    if (stopped) {
      finish_git_command(run);
      continue;
    }
    read_all(run, result.bytes);
    result.failed |= check_git_exit(run, history_listed);
    stopped = run.progress == Progress::kStartFailed || run.exit_code != 0;
  }
  // Memory that ran out before the runs could be kept: the listing never started.
  result.failed |= listing.runs == nullptr;
  free(listing.runs);
  listing = SubmoduleListing();
  return result;
}
