// The pure parts: stream handling on in-memory streams, where piece boundaries can be placed
// exactly, the composer of the header's bytes, and the planner that cuts the submodule listing
// into runs.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "memory_stream.h"
#include "revstamp.h"
#include "test_support.h"

namespace {

const std::string kPiece(1023, 'x');  // a piece that fills the buffer, leaving its line end over

// One pass over the listing: every piece counts, and the last stays in the hash buffer.
TEST(CountPiecesKeepingLast, CountsPiecesAndKeepsTheLast) {
  const struct {
    std::string text;
    int pieces;
    std::string last;
  } cases[] = {{"", 0, "00000000"},
               {"head\nmiddle\nroot\n", 3, "root\n"},
               {"a\nroot", 2, "root"},
               {"\n\n\n", 3, "\n"},
               // Cut after 255 bytes: the line end arrives as a piece of its own.
               {std::string(255, 'h') + "\n", 2, "\n"},
               {std::string(300, 'h') + "\n", 2, std::string(45, 'h') + "\n"}};
  for (const auto &c : cases) {
    InputStream in(c.text);
    char buf[256] = "00000000";
    EXPECT_EQ(count_pieces_keeping_last(in.stream, buf, sizeof buf), c.pieces) << c.text.size();
    EXPECT_EQ(std::string(buf), c.last);
  }
}

TEST(SubmoduleBlock, OneContinuedLiteralWithEveryPieceEnded) {
  const std::string end = " \\r\\n\\\n";
  const struct {
    std::string listing, body;
  } cases[] = {
      {"", ""},
      {" abc lib (v1)\n", " abc lib (v1)" + end},
      {"-abc lib\r\n+def x\n", "-abc lib" + end + "+def x" + end},
      {"no line end", "no line end" + end},
      {"a\"b\\c\n", "a\\\"b\\\\c" + end},
      // Control bytes and bytes that are not ASCII as octal escapes, whatever follows them.
      {"caf\xe9 \x1b[1m\t7\x7f\n", "caf\\351 \\033[1m\\0117\\177" + end},
      // No "??" is left to start a trigraph.
      {"a?\?/b?\?\?\n", "a?\\?/b?\\?\\?" + end},
      {"?\?x\n", "?\\?x" + end},
      {std::string("cut\0rest\n", 9), "cut" + end},
      {"\n", end},
      // A line longer than a piece gets the ending at each cut; a lone line end, one of its own.
      {kPiece + "\n", kPiece + end + end},
      {kPiece + "tail\n", kPiece + end + "tail" + end},
  };
  for (const auto &c : cases) {
    Bytes listing, block;
    append(listing, c.listing.data(), c.listing.size());
    print_git_submodule_info(listing, block);
    release(listing);
    EXPECT_EQ(std::string(block.bytes, block.size), "\"\\\n" + c.body + "\"\n") << c.listing;
    release(block);
  }
}

TEST(ScanStatus, EchoesUpToTheDecidingPiece) {
  const struct {
    std::string status, echo;
    int letter;
  } cases[] = {
      {"", "", 0},
      {"clean\n", "clean\n\n", 0},
      {"a\n\tnew file: n\n\tmodified: m\n", "a\n\n\tnew file: n\n\n", 'N'},
      {"\tdeleted: modified:\n", "\tdeleted: modified:\n\n", 'M'},
      {"\trenamed: a -> b\n\tdeleted: c\n", "\trenamed: a -> b\n\n", 'R'},
      {"\tDeleted: a\n\tnew file", "\tDeleted: a\n\n\tnew file\n", 'N'},
      // Only entries, which Git starts with a TAB, decide: not a rebase's todo subjects.
      {"   pick 1a2b3c4 Fix deleted: entries\n\tmodified: a\n",
       "   pick 1a2b3c4 Fix deleted: entries\n\n\tmodified: a\n\n", 'M'},
      {"   pick 1a2b3c4 Add new file parser\n", "   pick 1a2b3c4 Add new file parser\n\n", 0},
      // Changes without a letter of their own stamp as modified; the four markers come first.
      {"\ttypechange: a\n\tnew file: b\n", "\ttypechange: a\n\n", 'M'},
      {"\tdeleted by them: a\n", "\tdeleted by them: a\n\n", 'M'},
      {"\tcopied: a -> new file\n", "\tcopied: a -> new file\n\n", 'N'},
      // The piece limit cuts the marker in two: neither half is found.
      {kPiece.substr(4) + "modified:\nrest\n", kPiece.substr(4) + "modi\nfied:\n\nrest\n\n", 0},
      // A marker in the second piece of a long entry still decides, after both are echoed; in
      // the second piece of another long line it does not.
      {"\t" + kPiece.substr(1) + "deleted:\nnext\n", "\t" + kPiece.substr(1) + "\ndeleted:\n\n",
       'D'},
      {kPiece + "\tdeleted:\n", kPiece + "\n\tdeleted:\n\n", 0},
      // A line that ends exactly where a piece does: the next piece starts a line of its own.
      {"\t" + kPiece.substr(2) + "\n\tmodified: a\n",
       "\t" + kPiece.substr(2) + "\n\n\tmodified: a\n\n", 'M'},
  };
  for (const auto &c : cases) {
    InputStream in(c.status);
    int letter = -1;
    EXPECT_EQ(captured([&](FILE *out) {
                Console echo{out};
                letter = scan_status(in.stream, echo);
              }),
              c.echo);
    EXPECT_EQ(letter, c.letter) << c.status;
  }
}

// The composer alone, with no file system: from a run's facts, the bytes that run wrote. A quote
// or backslash in the describe string is escaped, so the literal still ends where it should.
TEST(Composer, ComposesEachFormFromTheRunsFacts) {
  const std::string kLib = " d3f86c6b658d71c24123446194621cf63bd33611 ../lib (heads/main)\n";
  const std::string kHead = "79380014ad9865b822c674bae2f3beb5b282fb87";
  const struct {
    std::string golden;
    int count;
    const char *hash;
    char state;
    bool targeted;
    std::string listing, describe, expected_describe;
  } cases[] = {
      {"not_a_repository", 0, "00000000", 0, false, "", "", ""},
      {"modified", 1, "40f2bf8d", 'M', false, "", "", ""},
      {"targeted_modified", 1, "40f2bf8d", 'M', true, "", "", ""},
      {"popen_fails_status", 2, "40f2bf8d", 1, true, kLib, "", ""},
      {"extra_macros_tagged", 2, "40f2bf8d", 0, true, kLib, "v2.0", ""},
      {"extra_macros_tagged", 2, "40f2bf8d", 0, true, kLib, "v\"2\\0", "v\\\"2\\\\0"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.golden + " " + c.describe);
    std::string expected = slurp(fs::path(TESTS_DIR) / "golden" / c.golden / "revision.h");
    ExtraMacros extra;
    extra.head = kHead.c_str();
    extra.valid = true;
    append(extra.describe, c.describe.data(), c.describe.size());
    const ExtraMacros *stamped = c.describe.empty() ? nullptr : &extra;
    if (!c.expected_describe.empty()) {
      const std::string tagged = "\"v2.0\"";
      expected.replace(expected.find(tagged), tagged.size(), "\"" + c.expected_describe + "\"");
    }
    Bytes listing, header;
    append(listing, c.listing.data(), c.listing.size());
    if (c.targeted) {
      write_targeted_file(c.count, c.hash, c.state, listing, stamped, header);
    } else {
      write_notargeted_file(c.count, c.hash, c.state, stamped, header);
    }
    EXPECT_EQ(std::string(header.bytes, header.size), expected);
    release(header);
    release(listing);
    release(extra.describe);
  }
}

// The kept history file as a stamp reads it: only a whole record of this format, filed under the
// key and naming a count and a commit, is recalled; anything else is a miss, and so a walk.
std::string record(const std::string &body) {
  unsigned long long sum = 14695981039346656037ull;  // FNV-1a, 64 bits, over the body
  for (unsigned char c : body) sum = (sum ^ c) * 1099511628211ull;
  char prefix[20];
  snprintf(prefix, sizeof prefix, "%016llx ", sum);
  return prefix + body + "\n";
}

TEST(HistoryRecords, RecalledOnlyWhenWholeAndFiledUnderTheKey) {
  const std::string head(40, 'a'), last(40, 'b'), sha256(64, 'b'), key = "2.39.5\t" + head + "\t";
  const std::string format = "revstamp history cache 2\n", ours = record(key + "7\t" + last);
  const struct {
    std::string file, recalled;  // recalled: the commit a hit names, empty for a miss
  } cases[] = {
      {format + ours, last},
      {format + record("2.39.5\t" + std::string(40, 'c') + "\t3\t" + last) + ours, last},
      {format + record(key + "7\t" + sha256), sha256},
      // Written on Windows: every line end a CR LF.
      {"revstamp history cache 2\r\n" + ours.substr(0, ours.size() - 1) + "\r\n", last},
      // Format 1's records may have been kept from a walk that failed.
      {"revstamp history cache 1\n" + ours, ""},
      {format + record(key + "0\t" + last), ""},
      {format + record(key + "2147483648\t" + last), ""},
      {format + record(key + "7 " + last), ""},
      {format + record(key + "7\t" + last.substr(1)), ""},
      {format + "0" + ours.substr(1), ""},
      {format + ours.substr(1), ""},
      {format + ours.substr(0, ours.size() - 1), ""},
      {format + std::string(20000, '\n') + ours, ""},
  };
  const fs::path records = fs::path(testing::TempDir()) / ("records-" + std::to_string(getpid()));
  HistoryKey wanted;
  wanted.usable = true;
  wanted.version = "2.39.5";
  wanted.head = head.c_str();
  wanted.records = records.c_str();
  for (const auto &c : cases) {
    SCOPED_TRACE(c.file.substr(0, 200));
    std::ofstream(records, std::ios::binary) << c.file;
    char hash[80] = "";
    const History found = recall_history(wanted, hash, sizeof hash);
    EXPECT_EQ(found.listed, !c.recalled.empty());
    if (found.listed) {
      EXPECT_EQ(found.count, 7);
      EXPECT_EQ(std::string(found.head), head);
      EXPECT_EQ(hash, c.recalled + "\n");
    }
  }
  fs::remove(records);
}

// A stamp files its listing first and keeps the older records of other keys, as many as there
// is room for. It files nothing that may not be the key's own listing: HEAD moved before the
// walk, a listing cut short by a failing Git, a last line that is no object name or not one whole
// line, one whose last commit is not dated before every other. The last commit's date is known
// from an older record with the same last commit, filed first.
TEST(HistoryRecords, KeptNewestFirstUpToEightAndOnlyTheKeysOwn) {
  const fs::path dir = fs::path(testing::TempDir()) / ("kept-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string records = (dir / "records").string();
  const std::string last(40, '1'), other(40, '2');
  std::ofstream(records) << "revstamp history cache 2\n"
                         << record("2.39.5\t" + std::string(40, 'z') + "\t2\t" + last);
  const auto keep = [&](char head, const std::string &hash, const std::string &listed_head,
                        bool whole, unsigned long long earliest_other = 20) {
    const std::string key_head(40, head);
    HistoryKey key;
    key.usable = true;
    key.version = "2.39.5";
    key.head = key_head.c_str();
    key.records = records.c_str();
    History listed;
    listed.count = 3;
    listed.listed = true;
    listed.whole = whole;
    listed.dated = true;
    listed.last_date = 10;
    listed.earliest_other = earliest_other;
    snprintf(listed.head, sizeof listed.head, "%s",
             listed_head.empty() ? key.head : listed_head.c_str());
    keep_history(key, listed, hash.c_str());
  };
  for (char head = 'a'; head <= 'i'; ++head) keep(head, last + "\n", "", true);
  keep('j', last + "\n", other, true);
  keep('k', last + "\n", "", false);
  keep('l', "xyz\n", "", true);
  keep('m', last + "\nmore", "", true);
  keep('n', last + "\n", "", true, 10);
  // Nine filed: the newest first, the oldest gone.
  std::vector<std::string> filed;
  for (const std::string &line : lines_of(slurp(records)))
    if (line.size() > 25) filed.push_back(line.substr(24, 1));
  EXPECT_EQ(filed, (std::vector<std::string>{"i", "h", "g", "f", "e", "d", "c", "b"}));
  fs::remove_all(dir);
}

// Runs in index order: the one command below four gitlinks or with one processor, else one run
// per processor (at most 8, at most one per two gitlinks), cut further where a command line
// would pass the budget; a path longer than the budget still gets a run of its own.
TEST(PlanListingRuns, CutsIndexOrderIntoRuns) {
  const struct {
    std::vector<size_t> lengths;
    int processors;
    size_t budget;
    std::vector<int> ends;
  } cases[] = {
      {{}, 4, 1000, {0}},
      {{3, 3, 3}, 4, 1000, {3}},
      {{3, 3, 3, 3}, 1, 1000, {4}},
      {{3, 3, 3, 3}, 2, 1000, {2, 4}},
      {{3, 3, 3, 3, 3}, 8, 1000, {2, 5}},
      {std::vector<size_t>(50, 5), 2, 100000, {25, 50}},
      {std::vector<size_t>(50, 5), 32, 100000, {6, 12, 18, 25, 31, 37, 43, 50}},
      // Each path costs twice its length and magic, quotes and a blank: 223 bytes for 100.
      {{100, 100, 100, 100}, 2, 446, {2, 4}},
      {{100, 100, 100, 100}, 2, 445, {1, 2, 3, 4}},
      {{9000, 1, 1, 1}, 2, 1000, {1, 2, 4}},
  };
  for (const auto &c : cases) {
    std::vector<int> ends(c.lengths.size() + 1, -1);
    const int runs = plan_listing_runs(c.lengths.data(), static_cast<int>(c.lengths.size()),
                                       c.processors, c.budget, ends.data());
    ends.resize(static_cast<size_t>(runs));
    EXPECT_EQ(ends, c.ends) << c.lengths.size() << " gitlinks, " << c.processors << " processors";
  }
}

}  // namespace
