#include <cstring>

#include "revstamp.h"

int main(int argc, char **argv) {
  Console console{prepare_process()};
  if (answer_help_or_version(argc, argv, console)) return check_console_output(console) ? 0 : 1;
  const Options options = read_options();
  if (options.quiet) console.stream = nullptr;
  createBuildDir(console);
  prepare_git_environment();
  const bool targeted = selects_targeted_form(argc, argv);
  GitCommands git = start_git_commands(options);
  Bytes answer;
  const ShallowProbe probe = read_shallow_probe(git.command[kRepositoryProbe], answer);
  SubmoduleListing submodules;
  if (targeted) submodules = start_submodule_listing(git, answer);
  HistoryKey key = read_history_key(answer, git.version, probe, !options.no_cache);
  // Shown, and stamped, when Git lists no commit: plain to see, and the header still compiles.
  char hash[256] = "00000000";
  History history = recall_history(key, hash, sizeof hash);
  if (!history.listed) {
    // Walked only now, when nothing kept is HEAD's: a stamp between commits starts no walk.
    if (git.command[kHistory].progress == Progress::kNotStarted)
      git.command[kHistory] = start_history_walk(key.usable);
    history = find_git_revision_number(git.command[kHistory], hash, sizeof hash);
    keep_history(key, history, hash);
  }
  release(key.paths);
  bool shallow = false;
  const bool history_ok = judge_history(git, probe, history, options, shallow);
  write_console(console, hash, strnlen(hash, sizeof hash));
  write_console(console, "\n", 1);
  const StatusProbe state = get_git_state(git.command[kStatus], console, history.listed);
  char state_line[] = "git state is : ?\n";
  // The byte itself takes the '?', also kCleanTree's and kStatusNotStarted's.
  state_line[sizeof state_line - 3] = state.letter;
  write_console(console, state_line, sizeof state_line - 1);
  ExtraMacros extra;
  extra.head = history.head;
  extra.dirty = state.letter != kCleanTree;
  bool ok = history_ok && state.ok;
  ok &= read_describe(git.command[kDescribe], history.listed, extra.describe);
  Bytes listing;
  if (targeted) ok &= read_submodule_listing(submodules, history.listed, state.work_tree, listing);
  remove_index_copy(git);
  // Valid: the whole history, and every Git command answered; only the header's own writing,
  // which the macro cannot speak of, is still to come.
  extra.valid = history.listed && !shallow && ok;
  const ExtraMacros *stamped_extra = options.extra_macros ? &extra : nullptr;
  Bytes header;
  if (targeted) {
    write_targeted_file(history.count, hash, state.letter, listing, stamped_extra, header);
  } else {
    write_notargeted_file(history.count, hash, state.letter, stamped_extra, header);
  }
  // Only where Git finds no history at all may a source drop keep its stamp.
  const Fate fate = put_header(header, !history.listed && history_ok, options);
  ok &= fate != Fate::kFailed;
  if (fate != Fate::kKept) ok &= check_history_required(git, probe, history, history_ok, options);
  release(listing);
  release(extra.describe);
  ok &= check_console_output(console);
  return ok ? 0 : 1;
}
