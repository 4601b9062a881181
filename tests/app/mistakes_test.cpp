// A player's common mistakes, run end to end with the real executable (or
// korvan2a.exe under wine, see KorvanTarget): each gets its exact console
// lines and exit code, and changes no file of the game or report folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/history/sql_rows.h"
#include "tests/test_util.h"

namespace {

namespace fs = std::filesystem;

// Every regular file under a directory (relative name, "/"-separated) with its bytes.
using Files = std::map<std::string, std::string>;

Files ReadFiles(const std::string& dir) {
  Files files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) {
      files[entry.path().lexically_relative(dir).generic_string()] = ReadFile(entry.path().string());
    }
  }
  return files;
}

// The files as a listing for people: each name with its size.
std::string Listing(const Files& files) {
  std::ostringstream text;
  for (const auto& [name, bytes] : files) text << "  " << name << " (" << bytes.size() << " bytes)\n";
  return text.str();
}

// A game a player has run before: captures, reference copies and backups, map,
// fig data and log in game/; notes and change log in reports/.
void WriteGame(const ScratchDir& dir) {
  fs::create_directories(dir / "game");
  fs::create_directories(dir / "reports");
  WriteFile(dir / "game/alpha.sct", CrLf({"1 2 3", "2 1", "3 1"}));
  WriteFile(dir / "game/alpha.prt", CrLf({"2 - 2060 100% - 2730 100%   1390  78%"}));
  WriteFile(dir / "game/alpha_ref.sct", CrLf({"    1     2     3", "    2     1", "    3     1"}));
  WriteFile(dir / "game/alpha_ref.prt", CrLf({"    2 - 2060 100% - 2730 100%   1390  78%"}));
  WriteFile(dir / "game/alpha_bak.sct", CrLf({"    1     2"}));
  WriteFile(dir / "game/alpha_bak.prt", "");
  WriteFile(dir / "game/alpha.map", std::string("\x01\x00\x02", 3));
  WriteFile(dir / "game/alpha_figs.txt", CrLf({"3"}));
  WriteFile(dir / "game/alpha_log.txt", CrLf({"2: port destroyed"}));
  WriteFile(dir / "reports/alpha_notes.txt", CrLf({"3: dead end"}));
  WriteFile(dir / "reports/alpha_changelog.txt",
            CrLf({"[06-12-06 02:37:15] BEGIN KORVAN2 RECORD:", "[END OF RECORD]", ""}));
}

// `name` with the separators of the build under test.
std::string Native(std::string name) {
  std::replace(name.begin(), name.end(), '/', KorvanTarget().separator);
  return name;
}

// Runs the build under test in `dir` and expects a refusal: `console` after the
// banner, exit code 1, nothing on standard error, and every file as it was.
void ExpectRefused(const ScratchDir& dir, const std::vector<std::string>& args,
                   const std::string& console) {
  std::string command;
  for (const std::string& arg : args) command += " " + arg;
  SCOPED_TRACE("korvan2a" + command);
  const Files before = ReadFiles(dir.path());
  const RunResult run = RunTarget(args, dir.path());
  EXPECT_EQ(run.out, kBannerLine + console);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "");
  const Files after = ReadFiles(dir.path());
  EXPECT_TRUE(after == before) << "before:\n" << Listing(before) << "after:\n" << Listing(after);
}

}  // namespace

// A reference copy that holds sectors beyond /n: would lose them: the run
// names the first such copy and its largest sector, and changes nothing. A
// line the readers skip (one word, no number, a number beyond every universe)
// does not count; an older name that the run would move into place does.
TEST(Mistakes, SectorsBeyondNStopTheRun) {
  ScratchDir dir;
  WriteGame(dir);
  const std::vector<std::string> args = {"/g:game/alpha", "/p:reports", "/n:100"};
  WriteFile(dir / "game/alpha_ref.sct",
            CrLf({"    1     2     3", "  150     1", "\t 180 1 2 ", "  250", "x 1", "20001 1",
                  "   90     1"}));
  WriteFile(dir / "game/alpha_ref.prt", CrLf({"  190 - 2060 100% - 2730 100%   1390  78%"}));
  ExpectRefused(dir, args,
                "\nerror:  " + Native("game/alpha_ref.sct") +
                    " holds sector 180, beyond /n:100; run with /n:180 or more.\n");

  WriteFile(dir / "game/alpha_ref.sct", CrLf({"    1     2     3", "  100     1"}));
  ExpectRefused(dir, args,
                "\nerror:  " + Native("game/alpha_ref.prt") +
                    " holds sector 190, beyond /n:100; run with /n:190 or more.\n");

  fs::rename(dir / "game/alpha_ref.prt", dir / "game/alpha.prf");
  ExpectRefused(dir, {"/pause+", "/g:game/alpha", "/p:reports", "/n:100"},
                "\nerror:  " + Native("game/alpha.prf") +
                    " holds sector 190, beyond /n:100; run with /n:190 or more.\n"
                    "press a key to continue...\n");
  // A rebuild from the captures rewrites the copies too.
  ExpectRefused(dir, {"/g:game/alpha", "/p:reports", "/n:100", "/mm:1"},
                "\nerror:  " + Native("game/alpha.prf") +
                    " holds sector 190, beyond /n:100; run with /n:190 or more.\n");
  // A /m: file that is not there is told first.
  ExpectRefused(dir, {"/g:game/alpha", "/p:reports", "/n:100", "/m:game/alhpa.ztm"},
                "\nerror:  /m: file " + Native("game/alhpa.ztm") + " does not exist.\n");
}

// A run asked to read captures or reference copies when none of them is there
// (a misspelt game name, a missing capture) writes nothing.
TEST(Mistakes, NothingToReadStopsTheRun) {
  ScratchDir dir;
  WriteGame(dir);
  ExpectRefused(dir, {"/g:game/alpah", "/p:reports"},
                "\nerror:  nothing to read for " + Native("game/alpah") +
                    ": no capture and no reference copy.\n");
  fs::remove(dir / "game/alpha.sct");
  fs::remove(dir / "game/alpha.prt");
  ExpectRefused(dir, {"/g:game/alpha", "/p:reports", "/mm:1", "/pause+"},
                "\nerror:  nothing to read for " + Native("game/alpha") +
                    ": no capture.\npress a key to continue...\n");
  ScratchDir fresh;
  WriteGame(fresh);
  for (const char* copy : {"game/alpha_ref.sct", "game/alpha_ref.prt"}) fs::remove(fresh / copy);
  ExpectRefused(fresh, {"/g:game/alpha", "/p:reports", "/mm:6"},
                "\nerror:  nothing to read for " + Native("game/alpha") + ": no reference copy.\n");
}

// A /mm: that asks for neither the captures nor the reference copies (the
// usage screen's "4 map" alone) would write both copies empty; it is told
// before anything else.
TEST(Mistakes, AMaskThatReadsNothingStopsTheRun) {
  ScratchDir dir;
  WriteGame(dir);
  for (const char* mask : {"/mm:4", "/mm:0"}) {
    ExpectRefused(dir, {"/g:game/alpha", "/p:reports", mask},
                  "\nerror:  nothing to read for " + Native("game/alpha") + ": " + mask +
                      " reads no capture and no reference copy.\n");
  }
  ExpectRefused(dir, {"/pause+", "/g:game/alpah", "/p:reports", "/mm:8", "/m:game/nothere.ztm"},
                "\nerror:  nothing to read for " + Native("game/alpah") +
                    ": /mm:8 reads no capture and no reference copy.\npress a key to continue...\n");
}

// A rebuild from the captures (/mm: with 1 and without 2) writes each
// reference copy from its capture alone: a capture missing would empty a copy
// that holds something. A first run, without copies, loses nothing and goes on.
TEST(Mistakes, ARebuildWithoutACaptureStopsTheRun) {
  ScratchDir dir;
  WriteGame(dir);
  fs::remove(dir / "game/alpha.sct");
  ExpectRefused(dir, {"/g:game/alpha", "/p:reports", "/mm:1", "/m:game/nothere.ztm"},
                "\nerror:  " + Native("game/alpha.sct") + " is missing, so /mm:1 would empty " +
                    Native("game/alpha_ref.sct") + "; run with /mm:3 to keep it.\n");
  // The copy under its older name, when it alone is there.
  fs::rename(dir / "game/alpha_ref.sct", dir / "game/alpha.srf");
  ExpectRefused(dir, {"/g:game/alpha", "/p:reports", "/mm:5", "/pause+"},
                "\nerror:  " + Native("game/alpha.sct") + " is missing, so /mm:5 would empty " +
                    Native("game/alpha.srf") + "; run with /mm:7 to keep it.\n"
                    "press a key to continue...\n");
  WriteFile(dir / "game/alpha.sct", CrLf({"1 2"}));
  fs::remove(dir / "game/alpha.prt");
  ExpectRefused(dir, {"/g:game/alpha", "/p:reports", "/mm:1"},
                "\nerror:  " + Native("game/alpha.prt") + " is missing, so /mm:1 would empty " +
                    Native("game/alpha_ref.prt") + "; run with /mm:3 to keep it.\n");

  // An empty copy holds nothing to lose.
  ScratchDir first;
  WriteFile(first / "alpha.sct", CrLf({"1 2", "2 1"}));
  WriteFile(first / "alpha_ref.prt", "");
  const RunResult run = RunTarget({"/g:alpha", "/n:10", "/mm:1", "/r-"}, first.path());
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(ReadFile(first / "alpha_ref.sct"), CrLf({" 1  2", " 2  1"}));
}

// The file /m: names, mistyped, is told rather than skipped.
TEST(Mistakes, AMissingMFileStopsTheRun) {
  ScratchDir dir;
  WriteGame(dir);
  ExpectRefused(dir, {"/g:game/alpha", "/p:reports", "/m:game/alpha.zmt"},
                "\nerror:  /m: file " + Native("game/alpha.zmt") + " does not exist.\n");
}

namespace {

// The notes section of a notes file: its lines before "--- end of notes ---".
std::vector<std::string> NotesSection(const std::string& bytes) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < bytes.size();) {
    std::size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(at, end - at));
    if (lines.back() == "--- end of notes ---") {
      lines.pop_back();
      break;
    }
    at = end + 2;
  }
  return lines;
}

}  // namespace

// Only the line "--- end of notes ---" ends the notes: the notes after an
// empty line stay, run after run.
TEST(Mistakes, AnEmptyLineDoesNotEndTheNotes) {
  ScratchDir dir;
  WriteGame(dir);
  WriteFile(dir / "reports/alpha_notes.txt",
            CrLf({"3: dead end", "", "2: port here", "", "--- end of notes ---", "", "1: old table"}));
  const std::vector<std::string> args = {"/g:game/alpha", "/p:reports", "/n:100"};
  for (int run = 1; run <= 2; ++run) {
    const RunResult result = RunTarget(args, dir.path());
    ASSERT_EQ(result.exitCode, 0) << result.out;
    EXPECT_EQ(NotesSection(ReadFile(dir / "reports/alpha_notes.txt")),
              (std::vector<std::string>{"  3 : dead end", "  2 : port here", "  1 : terra"}))
        << "run " << run;
  }
}

// The notes section's lines the run does not take as notes (a comment, a
// line without a sector number, a sector beyond /n:) go back into the file
// unchanged, in their order, before the notes; lines of blanks do not. With
// a larger /n: the far line becomes a note.
TEST(Mistakes, NotesLinesTheRunDoesNotTakeAreKept) {
  ScratchDir dir;
  WriteGame(dir);
  WriteFile(dir / "reports/alpha_notes.txt",
            CrLf({"; my routes: 1 > 2", "3: dead end", " \t ", "no sector here", "12:",
                  "x: not a number", "150: beyond n", "2: port here", "--- end of notes ---"}));
  const std::vector<std::string> kept = {"; my routes: 1 > 2", "no sector here", "12:",
                                         "x: not a number"};
  std::vector<std::string> expected = kept;
  expected.insert(expected.end(),
                  {"150: beyond n", "  3 : dead end", "  2 : port here", "  1 : terra"});
  for (int run = 1; run <= 2; ++run) {
    const RunResult result = RunTarget({"/g:game/alpha", "/p:reports", "/n:100"}, dir.path());
    ASSERT_EQ(result.exitCode, 0) << result.out;
    EXPECT_EQ(NotesSection(ReadFile(dir / "reports/alpha_notes.txt")), expected) << "run " << run;
  }
  const RunResult grown = RunTarget({"/g:game/alpha", "/p:reports", "/n:200"}, dir.path());
  ASSERT_EQ(grown.exitCode, 0) << grown.out;
  expected = kept;
  expected.insert(expected.end(),
                  {"150 : beyond n", "  3 : dead end", "  2 : port here", "  1 : terra"});
  EXPECT_EQ(NotesSection(ReadFile(dir / "reports/alpha_notes.txt")), expected);
}

// A folder that does not exist or cannot be written is named as typed, under
// the error line.
TEST(Mistakes, AFolderErrorSaysWhatIsWrong) {
  ScratchDir dir;
  WriteGame(dir);
  const auto screen = [](const std::string& parameter, const std::string& problem) {
    return "\nerror:  invalid parameter <" + parameter + ">.\n        " + problem + "\n" +
           kUsageLines;
  };
  ExpectRefused(dir, {"/g:gmae/alpha"}, screen("/g:gmae/alpha", "folder gmae/ does not exist."));
  ExpectRefused(dir, {"/g:game/alpha", "/p:game\\reprots"},
                screen("/p:game\\reprots", "folder game\\reprots does not exist."));
  ExpectRefused(dir, {"/g:game/alpha", "/m:game/routes/alpha.ztm"},
                screen("/m:game/routes/alpha.ztm", "folder game/routes/ does not exist."));
  ExpectRefused(dir, {"/g:game/alpha", "/p:/proc"},
                screen("/p:/proc", "folder /proc cannot be written."));
  const RunResult current = RunTarget({"/g:alpha"}, "/proc");
  EXPECT_EQ(current.out, kBannerLine + screen("/g:alpha", "the current folder cannot be written."));
  EXPECT_EQ(current.exitCode, 1);
}

// A file of the history's name that is not a korvan2a history of format 1 is
// never written into: not SQLite, no format, a later format.
TEST(Mistakes, AForeignHistoryStopsTheRun) {
  ScratchDir dir;
  WriteGame(dir);
  const std::string history = dir / "game/alpha_history.db";
  const std::vector<std::string> args = {"/g:game/alpha", "/p:reports", "/history+"};
  const std::string refusal = "\nerror:  " + Native("game/alpha_history.db") +
                              " is not a korvan2a history database; move it away or run without"
                              " /history+.\n";
  WriteFile(history, CrLf({"my own notes on alpha"}));
  ExpectRefused(dir, args, refusal);
  fs::remove(history);
  SqlExecute(history, "CREATE TABLE trades(sector INTEGER, profit INTEGER)");
  ExpectRefused(dir, args, refusal);
  fs::remove(history);
  SqlExecute(history, "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT);"
                      " INSERT INTO meta VALUES('format', '2')");
  ExpectRefused(dir, args, refusal);
}

// Every option the program takes, and the true default of /mm:.
TEST(Mistakes, TheUsageScreenListsEveryOption) {
  ScratchDir dir;
  const RunResult asked = RunTarget({"/?"}, dir.path());
  EXPECT_EQ(asked.out, kBannerLine + "\n" + kUsageLines);
  EXPECT_EQ(asked.exitCode, 0);
}

namespace {

// The sectors a capture's lines begin with, each with the numbers its line
// goes on with: a sector capture's warps (of a port capture only the sectors
// count).
std::map<int, std::set<int>> SectorLines(const std::string& bytes) {
  std::map<int, std::set<int>> lines;
  std::istringstream text(bytes);
  std::string line;
  while (std::getline(text, line)) {
    std::istringstream words(line);
    int sector = 0;
    if (!(words >> sector)) continue;
    std::set<int>& targets = lines[sector];
    for (int target; words >> target;) targets.insert(target);
  }
  return lines;
}

// What is lost from `before` in `after`, for people: "" when nothing is.
std::string Lost(const std::map<int, std::set<int>>& before,
                 const std::map<int, std::set<int>>& after, bool withTargets) {
  std::string lost;
  for (const auto& [sector, targets] : before) {
    const auto now = after.find(sector);
    if (now == after.end()) {
      lost += " " + std::to_string(sector);
      continue;
    }
    for (int target : withTargets ? targets : std::set<int>{}) {
      if (!now->second.count(target)) lost += " " + std::to_string(sector) + ">" + std::to_string(target);
    }
  }
  return lost;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// True when `line` stands in `section` word for word, or as the same note of
// the same sector however the number is padded.
bool Kept(const std::string& line, const std::vector<std::string>& section) {
  if (std::find(section.begin(), section.end(), line) != section.end()) return true;
  const std::size_t colon = line.find(':');
  if (colon == std::string::npos) return false;
  return std::any_of(section.begin(), section.end(), [&](const std::string& other) {
    const std::size_t at = other.find(':');
    return at != std::string::npos && Trimmed(other.substr(0, at)) == Trimmed(line.substr(0, colon)) &&
           Trimmed(other.substr(at + 1)) == Trimmed(line.substr(colon + 1));
  });
}

// The command line of a run over the sample game, with the special sectors
// that lie within /n:.
struct Command {
  std::string game = "sample";
  int n = 300;
  int mask = -1;  // no /mm:
  std::string extra = "sample.ztm";
  bool reports = true;

  std::vector<std::string> Args() const {
    std::vector<std::string> args = {"/g:" + game, "/n:" + std::to_string(n)};
    if (n >= 286) args.insert(args.end(), {"/al:286", "/ry:113", "/sd:155"});
    args.push_back("/d:275;81;80");
    if (mask >= 0) args.push_back("/mm:" + std::to_string(mask));
    args.push_back("/m:" + extra);
    if (!reports) args.push_back("/r-");
    return args;
  }
};

// Checks one run over `dir` against the files before it: a refusal changed no
// byte; an accepted run kept the sample game's sectors with their warps, its
// ports (unless it rebuilt the copies from both captures), and every notes
// line the player wrote. True when the run was accepted.
bool ExpectNothingLost(const ScratchDir& dir, const Command& command, const Files& before) {
  const std::vector<std::string> args = command.Args();
  std::string typed;
  for (const std::string& arg : args) typed += " " + arg;
  SCOPED_TRACE("korvan2a" + typed);
  const RunResult run = RunKorvan(args, dir.path());
  const Files after = ReadFiles(dir.path());
  EXPECT_EQ(run.err, "");
  if (run.exitCode != 0) {
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.rfind(kBannerLine + "\n", 0), 0u) << run.out;
    EXPECT_TRUE(after == before) << "before:\n" << Listing(before) << "after:\n" << Listing(after);
    return false;
  }
  EXPECT_TRUE(before.count(command.extra)) << "the /m: file is not there, and the run went on";
  const auto file = [](const Files& files, const std::string& name) {
    const auto found = files.find(name);
    return found == files.end() ? std::string() : found->second;
  };
  const bool rebuilt = command.mask >= 0 && (command.mask & 1) != 0 && (command.mask & 2) == 0;
  if (!rebuilt) {
    EXPECT_EQ(Lost(SectorLines(file(before, "sample_ref.sct")),
                   SectorLines(file(after, "sample_ref.sct")), true),
              "");
    EXPECT_EQ(Lost(SectorLines(file(before, "sample_ref.prt")),
                   SectorLines(file(after, "sample_ref.prt")), false),
              "");
  }
  const std::vector<std::string> notes = NotesSection(file(after, "sample_notes.txt"));
  for (const std::string& line : NotesSection(file(before, "sample_notes.txt"))) {
    // The distance references' labels are the run's own, given anew each time.
    if (Trimmed(line).empty() || line.find("distance reference #") != std::string::npos) continue;
    EXPECT_TRUE(Kept(line, notes)) << "notes line lost: \"" << line << "\"";
  }
  return true;
}

}  // namespace

// A player's ordinary mistakes, one to three at a time, on the sample game
// after a normal run, each command run twice: no run loses what the player
// has. KORVAN_SEED=<seed> replays a failure.
TEST(MistakesAtRandom, LoseNothing) {
  const char* seedText = std::getenv("KORVAN_SEED");
  const unsigned seed = seedText != nullptr ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10))
                                            : std::random_device()();
  SCOPED_TRACE("seed " + std::to_string(seed) + " (KORVAN_SEED=" + std::to_string(seed) +
               " replays it)");
  std::mt19937 random(seed);
  const auto pick = [&random](std::size_t count) { return random() % count; };

  Files start;
  {
    ScratchDir dir;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(std::string(KORVAN_SOURCE_DIR) + "/examples/sample")) {
      if (entry.is_regular_file()) fs::copy_file(entry.path(), dir / entry.path().filename().string());
    }
    ASSERT_EQ(RunKorvan(Command().Args(), dir.path()).exitCode, 0);
    start = ReadFiles(dir.path());
  }

  constexpr int kRounds = 40;
  int accepted = 0;
  for (int round = 0; round < kRounds; ++round) {
    ScratchDir dir;
    Files files = start;
    Command command;
    std::string mistakes;
    for (std::size_t count = 1 + pick(3); count > 0; --count) {
      switch (pick(8)) {
        case 0: {
          static constexpr int kMasks[] = {0, 1, 2, 4, 5, 6, 7, 8, 12, 13};
          command.mask = kMasks[pick(std::size(kMasks))];
          mistakes += " /mm:" + std::to_string(command.mask);
          break;
        }
        case 1: {
          const std::string capture = pick(2) ? "sample.sct" : "sample.prt";
          files.erase(capture);
          mistakes += " no " + capture;
          break;
        }
        case 2: {
          static constexpr int kSizes[] = {100, 250, 297, 400, 20000};
          command.n = kSizes[pick(std::size(kSizes))];
          mistakes += " /n:" + std::to_string(command.n);
          break;
        }
        case 3:
          command.extra = "sample.zmt";
          mistakes += " /m: mistyped";
          break;
        case 4: {
          static const char* const kLines[] = {"", " \t ", "; route: 1 > 155", "350: far note",
                                               "no sector here", "12:", "x: y"};
          std::string& notes = files["sample_notes.txt"];
          const std::size_t end = notes.find("--- end of notes ---");
          std::vector<std::size_t> starts = {0};
          for (std::size_t at = notes.find('\n'); at < end; at = notes.find('\n', at + 1)) {
            starts.push_back(at + 1);
          }
          const std::string line = kLines[pick(std::size(kLines))];
          notes.insert(starts[pick(starts.size())], line + "\r\n");
          mistakes += " notes line \"" + line + "\"";
          break;
        }
        case 5: {
          static const char* const kGarbles[] = {"x7 garbled ~", "\x01\x02 12 13", "65000 1 2",
                                                 "12 - 2060 ??% xyz"};
          const std::string capture = pick(2) ? "sample.sct" : "sample.prt";
          const std::string garble = kGarbles[pick(std::size(kGarbles))];
          if (files.count(capture)) files[capture] += garble + "\r\n";
          mistakes += " " + capture + " + \"" + garble + "\"";
          break;
        }
        case 6:
          command.game = "sampel";
          mistakes += " /g:sampel";
          break;
        default:
          command.reports = false;
          mistakes += " /r-";
          break;
      }
    }
    SCOPED_TRACE("round " + std::to_string(round) + ":" + mistakes);
    for (const auto& [name, bytes] : files) WriteFile(dir / name, bytes);
    for (int run = 0; run < 2; ++run) accepted += ExpectNothingLost(dir, command, ReadFiles(dir.path()));
    if (HasFailure()) return;
  }
  // Both kinds of run were seen: the rounds test something.
  EXPECT_GT(accepted, 0);
  EXPECT_LT(accepted, 2 * kRounds);
}
