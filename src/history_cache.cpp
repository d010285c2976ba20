// The history listing kept between stamps, so that a stamp while HEAD stays put walks nothing.
// Premises: git rev-list HEAD -- lists what HEAD's commit reaches, in the order this Git version
// walks it. Nothing else shapes that listing where read_history_key finds no replace ref (loose,
// packed or in a reftable), no grafts file and no shallow clone, and the walk a record is kept
// from reads none of them either (start_history_walk): one made meanwhile cannot shape it. Its
// order does not hang on the dates a commit-graph keeps (order_fixed), and it ended with exit 0. An
// object named by its hash never changes. So a record filed under Git's version and HEAD's object
// name holds the listing for every later stamp with that key, in this clone or any other: a record
// copied elsewhere is right or missed. A record whose checksum fails, or a file of another format,
// is a miss. The record is trusted as the rest of .git is: one made by hand is believed.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "revstamp.h"

// The file's first line: a file of another format is read as no record, and written anew. Format
// 1's records were kept from walks that may have failed or hung on a commit-graph's dates.
static const char kFormat[] = "revstamp history cache 2\n";
// Enough for a few branches worked on side by side; the oldest record goes first.
constexpr int kRecordsKept = 8;
// Far beyond kRecordsKept records: a larger file is not this format's.
constexpr size_t kMostBytes = 16384;

// FNV-1a, 64 bits: a record cut short or changed by hand fails it.
static unsigned long long checksum(const char *bytes, size_t size) {
  unsigned long long sum = 14695981039346656037ull;
  for (size_t i = 0; i < size; ++i)
    sum = (sum ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
  return sum;
}

// The records file's bytes, zero-terminated, when path is a regular file of this format. A CR
// goes: Windows writes every line end as CR LF, and no record holds one of its own.
static bool read_records(const char *path, Bytes &records) {
  // Only a regular file is read: a FIFO would be waited on for ever.
  FILE *file = kind_of(path) == EntryKind::kRegular ? open_to_read(path) : nullptr;
  if (file == nullptr) return false;
  const bool whole = append_stream(file, records, kMostBytes);
  fclose(file);
  size_t kept = 0;
  for (size_t at = 0; at < records.size; ++at)
    if (records.bytes[at] != '\r') records.bytes[kept++] = records.bytes[at];
  records.size = kept;
  append(records, "", 1);
  return whole && strncmp(records.bytes, kFormat, sizeof kFormat - 1) == 0;
}

// The body of the record that starts at line ("<checksum> <body>\n"), zero-terminated in place,
// or nullptr when it has no line end or its checksum fails; next is where the record after it
// starts.
static char *checked_body(char *line, char *&next) {
  next = next_line(line);
  if (next == line + strlen(line)) return nullptr;
  char *body = nullptr;
  const unsigned long long sum = strtoull(line, &body, 16);
  if (body != line + 16 || *body != ' ') return nullptr;
  ++body;
  return checksum(body, strlen(body)) == sum ? body : nullptr;
}

// Whether the packed-refs file at path names a ref under refs/replace/, which Git reads whether
// or not its object is there; one that cannot be read may. Each line is "<object> <ref>" or
// "^<object>", and a ref's name holds no blank, so the name's start is the only place where
// " refs/replace/" can stand; a line longer than the buffer goes on in pieces that hold no blank.
static bool packs_replace_ref(const char *path) {
  FILE *packed = open_to_read(path);
  if (packed == nullptr) return kind_of(path) != EntryKind::kAbsent;
  char line[4096];
  bool found = false;
  while (!found && fgets(line, sizeof line, packed) != nullptr)
    found = strstr(line, " refs/replace/") != nullptr;
  found |= ferror(packed) != 0;
  fclose(packed);
  return found;
}

HistoryKey read_history_key(Bytes &answer, const GitVersion &version, const ShallowProbe &probe,
                            bool wanted) {
  // "<shallow or not>\n<records>\n<grafts file>\n<refs/replace>\n<packed-refs>\n<reftable>\n
  // <HEAD's object>\n". Whatever shapes git rev-list HEAD besides HEAD's commit and Git's own
  // walk turns the key off: a replace ref (a loose one that names nothing, which Git's walk still
  // reads, or its base moved by GIT_REPLACE_REF_BASE; Git leaves the folder once it has made
  // one), a grafts file, a shallow clone.
  HistoryKey key;
  key.paths = answer;
  answer = Bytes();
  char *records = next_line(key.paths.bytes), *grafts = next_line(records);
  char *replace = next_line(grafts), *packed = next_line(replace), *reftable = next_line(packed);
  char *head = next_line(reftable), *rest = next_line(head);
  key.usable = wanted && probe.whole && probe.said_itself && !probe.shallow && *rest == '\0' &&
               is_object_name(head) && version.text[0] != '\0' &&
               getenv("GIT_REPLACE_REF_BASE") == nullptr && kind_of(grafts) == EntryKind::kAbsent &&
               kind_of(replace) == EntryKind::kAbsent && kind_of(reftable) == EntryKind::kAbsent &&
               !packs_replace_ref(packed);
  if (key.usable) {
    key.version = version.text;
    key.records = records;
    key.head = head;
  }
  return key;
}

// "<Git's version>\t<HEAD's object>\t": how every record filed under key begins. The rest is
// "<count>\t<the last commit listed>".
static void append_key(Bytes &text, const HistoryKey &key) {
  append(text, key.version);
  append(text, "\t");
  append(text, key.head);
  append(text, "\t");
}

History recall_history(const HistoryKey &key, char *hash, int size) {
  History found;
  Bytes records, prefix;
  append_key(prefix, key);
  char *next = key.usable && read_records(key.records, records) ? records.bytes + sizeof kFormat - 1
                                                                : nullptr;
  while (next != nullptr && *next != '\0' && !found.listed) {
    const char *body = checked_body(next, next);
    if (body == nullptr || strncmp(body, prefix.bytes, prefix.size) != 0) continue;
    char *last = nullptr;
    const long count = strtol(body + prefix.size, &last, 10);
    if (count < 1 || count > INT_MAX || *last != '\t' || !is_object_name(last + 1)) continue;
    found.count = static_cast<int>(count);
    found.listed = true;
    snprintf(found.head, sizeof found.head, "%s", key.head);
    // As the walk's line reader left it: the line, with its end.
    snprintf(hash, static_cast<size_t>(size), "%s\n", last + 1);
  }
  release(prefix);
  release(records);
  return found;
}

static void append_record(Bytes &records, const char *body, size_t size) {
  char sum[20];
  snprintf(sum, sizeof sum, "%016llx ", checksum(body, size));
  append(records, sum);
  append(records, body, size);
  append(records, "\n");
}

// Two stamps at once each write a file of their own and put it in place in one step: a reader
// finds one whole file or the other. A failure leaves things as they were, and says nothing:
// what is kept only ever spares a walk.
static void write_records(const char *path, const Bytes &records) {
  char name[kReplacementNameSize];
  FILE *file = create_replacement(path, Entry(), name);
  if (file == nullptr) return;
  int error = write_and_close(file, records.bytes, records.size);
  if (error != 0 || replace_file(name, path, error) != Replace::kReplaced) remove_file(name);
}

// Git lists the newest-dated of the commits it has queued next. A commit-graph keeps a date
// modulo 2^34, so a date past that (a tool that wrote milliseconds) reads as another from a graph
// than from the commit, and a graph written, grown or turned off (core.commitGraph) can change
// the order, and the last line, while HEAD stays. Whichever a reading gives, a commit's date is
// at least its listed date modulo 2^34. The last commit L is listed last under every reading when
// its own date d is below 2^34 (read alike from both) and every other commit's listed date
// modulo 2^34 is later than d: L is then only ever next when it is all that is queued, and as the
// walk reached every other commit without going through L, Git has listed them all by then,
// whatever their dates. The listed date is d exactly when d is below 2^34, as a record that kept
// L already showed, or as L's own object says (a graph may not).
static bool order_fixed(const History &history, const char *last, bool last_kept) {
  // A listed date is d or less: where it is not below every other, neither is d.
  if (!history.dated || history.last_date >= kGraphDates ||
      history.earliest_other <= history.last_date)
    return false;
  return last_kept || read_commit_date(last) == history.last_date;
}

void keep_history(const HistoryKey &key, const History &history, const char *hash) {
  char last[72];
  snprintf(last, sizeof last, "%.*s", static_cast<int>(strcspn(hash, "\n")), hash);
  // Only a whole listing that began at the key's HEAD is filed under it: HEAD may have moved
  // between the key's command and the walk (a commit in another terminal).
  if (!key.usable || !history.whole || strcmp(history.head, key.head) != 0 ||
      !is_object_name(last) || strcmp(hash + strlen(last), "\n") != 0)
    return;
  Bytes body, kept, records;
  append_key(body, key);
  const size_t key_size = body.size;
  char count[16];
  snprintf(count, sizeof count, "%d\t", history.count);
  append(body, count);
  append(body, last);
  append(kept, kFormat);
  append_record(kept, body.bytes, body.size);
  // The older records of other keys follow, as many as there is room for. Any record whose last
  // commit is this one's was kept where its date was below 2^34.
  bool last_kept = false;
  char *next = read_records(key.records, records) ? records.bytes + sizeof kFormat - 1 : nullptr;
  for (int count_kept = 1; next != nullptr && *next != '\0';) {
    const char *older = checked_body(next, next);
    if (older == nullptr) continue;
    const char *older_last = strrchr(older, '\t');
    last_kept |= older_last != nullptr && strcmp(older_last + 1, last) == 0;
    if (count_kept == kRecordsKept || strncmp(older, body.bytes, key_size) == 0) continue;
    append_record(kept, older, strlen(older));
    ++count_kept;
  }
  if (order_fixed(history, last, last_kept)) write_records(key.records, kept);
  release(body);
  release(kept);
  release(records);
}
