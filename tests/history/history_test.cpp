// The game's history (/history+): whole runs of the executable over generated
// games, checked through SQL on the database they leave.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "history/history.h"
#include "platform/file.h"
#include "report/sector_line.h"
#include "tests/history/sql_rows.h"
#include "tests/test_util.h"
#include "tools/game_generator.h"

namespace {

namespace fs = std::filesystem;

const std::string kHistory = "game_history.db";

// The words of `line`, joined by one blank.
std::string Words(const std::string& line) {
  std::istringstream in(line);
  std::string text;
  for (std::string word; in >> word;) text += (text.empty() ? "" : " ") + word;
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A generated game in a scratch directory, and its command line with /history+.
struct Game {
  ScratchDir dir;
  std::vector<std::string> args;

  Game(std::uint32_t sectors, std::uint64_t seed, const std::vector<std::string>& switches) {
    GameOptions options;
    options.sectorCount = sectors;
    options.seed = seed;
    for (const GameFile& file : GenerateGame(options)) {
      WriteFile(dir / file.name, file.bytes);
      if (file.name != "game.cmd") continue;
      std::istringstream words(file.bytes);
      std::string word;
      words >> word;  // the program's name
      while (words >> word) args.push_back(word);
    }
    args.insert(args.end(), switches.begin(), switches.end());
  }

  void SecondCapture(std::uint32_t sectors, std::uint64_t seed) const {
    GameOptions options;
    options.sectorCount = sectors;
    options.seed = seed;
    options.secondCapture = true;
    for (const GameFile& file : GenerateGame(options)) WriteFile(dir / file.name, file.bytes);
  }

  RunResult Run(std::vector<std::string> more = {}) const {
    std::vector<std::string> run = args;
    run.insert(run.end(), more.begin(), more.end());
    return RunKorvan(run, dir.path());
  }

  std::string Rows(const std::string& sql) const {
    std::string text;
    for (const std::string& row : SqlRows(dir / kHistory, sql)) text += row + "\n";
    return text;
  }
};

// A port capture line as the history holds it: its words, "-" before the
// amount of a product the port buys.
std::string PortLine(const std::string& row) {
  std::vector<std::string> cells;
  std::istringstream in(row);
  for (std::string cell; std::getline(in, cell, '|');) cells.push_back(cell);
  std::string line = cells.at(0);
  for (std::size_t product = 0; product < 3; ++product) {
    line += cells.at(1)[product] == 'B' ? " - " : " ";
    line += cells.at(2 + 2 * product) + " " + cells.at(3 + 2 * product) + "%";
  }
  return line;
}

// The ports a capture lists, as PortLine gives them, the last line of a
// sector counting. A bought amount of five digits stands next to its "-".
std::string CapturedPorts(const std::string& capture) {
  std::map<int, std::string> ports;
  for (const std::string& line : Lines(capture)) {
    std::string words = Words(line);
    for (std::size_t at = words.find(" -"); at != std::string::npos;
         at = words.find(" -", at + 2)) {
      if (at + 2 < words.size() && words[at + 2] != ' ') words.insert(at + 2, " ");
    }
    if (words.find(' ') == std::string::npos) continue;
    ports[std::stoi(words)] = words;
  }
  std::string text;
  for (const auto& [sector, line] : ports) text += line + "\n";
  return text;
}

// What the history's known and warps tables must hold after the runs whose
// sector reference copies are `copies` (run 1 first): each sector listed with a
// warp, and each warp, with the first run that listed it.
struct Listings {
  std::map<int, int> known;
  std::map<std::pair<int, int>, int> warps;

  void Add(const std::string& copy, int run) {
    for (const std::string& line : Lines(copy)) {
      std::istringstream in(line);
      int sector = 0;
      if (!(in >> sector)) continue;
      for (int target; in >> target;) {
        known.emplace(sector, run);
        warps.emplace(std::pair{sector, target}, run);
      }
    }
  }
  std::string KnownRows() const {
    std::string text;
    for (const auto& [sector, run] : known) {
      text += std::to_string(sector) + "|" + std::to_string(run) + "\n";
    }
    return text;
  }
  std::string WarpRows() const {
    std::string text;
    for (const auto& [warp, run] : warps) {
      text += std::to_string(warp.first) + "|" + std::to_string(warp.second) + "|" +
              std::to_string(run) + "\n";
    }
    return text;
  }
};

// The port capture with every amount halved and every seventh port gone.
std::string ChangedAmounts(const std::string& capture) {
  std::string changed;
  int line = 0;
  for (const std::string& text : Lines(capture)) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    if (words.size() < 2 || ++line % 7 == 0) continue;
    std::string out = words[0];
    for (std::size_t i = 1; i < words.size(); ++i) {
      const bool amount = words[i] != "-" && words[i].back() != '%';
      out += " " + (amount ? std::to_string(std::stoi(words[i]) / 2) : words[i]);
    }
    changed += out + "\r\n";
  }
  return changed;
}

bool AnyJournal(const ScratchDir& dir) {
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    if (entry.path().filename().string().ends_with("-journal")) return true;
  }
  return false;
}

}  // namespace

TEST(CaptureHash, IsFnv1aOverTheSectorCaptureThenThePortCapture) {
  ScratchDir dir;
  EXPECT_EQ(CaptureHash(dir / "none.sct", dir / "none.prt"), "cbf29ce484222325");
  WriteFile(dir / "a.sct", "a");
  EXPECT_EQ(CaptureHash(dir / "a.sct", dir / "none.prt"), "af63dc4c8601ec8c");
  WriteFile(dir / "fo.sct", "fo");
  WriteFile(dir / "o.prt", "o");
  WriteFile(dir / "foo.prt", "foo");
  // The two files hash as one stream: "fo" + "o" is "foo".
  EXPECT_EQ(CaptureHash(dir / "fo.sct", dir / "o.prt"), "dcb27518fed9d577");
  EXPECT_EQ(CaptureHash(dir / "none.sct", dir / "foo.prt"), "dcb27518fed9d577");
}

// Three captures of a generated game: the first with the reference copies of an
// earlier exploration, the generator's second capture, then the second with its
// port amounts changed and some ports gone. Each run's ports are its capture's
// lines; known sectors and warps are the reference copies' listings with their
// first runs; the same capture again, and a run that does not read the
// captures, add nothing.
TEST(History, RecordsEachCaptureAsRead) {
  const Game game(1000, 5, {"/history+", "/r-"});
  Listings listings;
  std::vector<std::string> runRows;
  for (int run = 1; run <= 3; ++run) {
    if (run == 2) game.SecondCapture(1000, 5);
    if (run == 3) WriteFile(game.dir / "game.prt", ChangedAmounts(ReadFile(game.dir / "game.prt")));
    const RunResult result = game.Run();
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_FALSE(AnyJournal(game.dir));
    const std::string capture = ReadFile(game.dir / "game.prt");
    std::string recorded;
    for (const std::string& row : SqlRows(game.dir / kHistory,
                                          "SELECT sector, class, ore, ore_pct, org, org_pct, equ,"
                                          " equ_pct FROM ports WHERE run = " +
                                              std::to_string(run) + " ORDER BY sector")) {
      recorded += PortLine(row) + "\n";
    }
    EXPECT_EQ(recorded, CapturedPorts(capture)) << "run " << run;
    listings.Add(ReadFile(game.dir / "game_ref.sct"), run);
    EXPECT_EQ(game.Rows("SELECT * FROM known ORDER BY sector"), listings.KnownRows()) << run;
    EXPECT_EQ(game.Rows("SELECT * FROM warps ORDER BY sector, target"), listings.WarpRows()) << run;
    runRows.push_back(std::to_string(run) + "|1000|" + std::to_string(listings.known.size()) + "|" +
                      std::to_string(Lines(CapturedPorts(capture)).size()) + "|" +
                      CaptureHash(game.dir / "game.sct", game.dir / "game.prt"));
  }
  std::string expectedRuns;
  for (const std::string& row : runRows) expectedRuns += row + "\n";
  EXPECT_EQ(game.Rows("SELECT run, sectors, known, ports, capture FROM runs ORDER BY run"),
            expectedRuns);
  const std::string at = SqlValue(game.dir / kHistory, "SELECT at FROM runs WHERE run = 3");
  EXPECT_EQ(at.size(), 19u);
  EXPECT_EQ(at.substr(4, 1) + at.substr(7, 1) + at.substr(10, 1) + at.substr(13, 1) +
                at.substr(16, 1),
            "-- ::")
      << at;
  EXPECT_EQ(game.Rows("SELECT key, substr(value, 1, 9) FROM meta WHERE key IN ('format', 'program')"
                      " ORDER BY key"),
            "format|1\nprogram|korvan2a \n");

  // Neither the same capture again nor a run without the captures is recorded:
  // the file is not written.
  const std::string before = ReadFile(game.dir / kHistory);
  for (const std::vector<std::string>& more : {std::vector<std::string>{}, {"/mm:2"}, {"/mm:6"}}) {
    const RunResult again = game.Run(more);
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_TRUE(ReadFile(game.dir / kHistory) == before);
  }
  EXPECT_FALSE(AnyJournal(game.dir));
}

// A run without /history+ between two recorded ones writes a reference copy the
// history has not seen (here with a sector of an extra file): the next
// recorded run still finds its sectors and warps new.
TEST(History, AnUnrecordedCopyIsNotTakenAsRecorded) {
  const Game game(300, 4, {"/r-"});
  ASSERT_EQ(game.Run({"/history+"}).exitCode, 0);
  Listings listed;
  listed.Add(ReadFile(game.dir / "game_ref.sct"), 1);
  int free = 300;
  while (listed.known.count(free) != 0) --free;
  WriteFile(game.dir / "extra.sct", CrLf({std::to_string(free) + " 1"}));
  ASSERT_EQ(game.Run({"/m:extra.sct"}).exitCode, 0);
  WriteFile(game.dir / "game.prt", ChangedAmounts(ReadFile(game.dir / "game.prt")));
  ASSERT_EQ(game.Run({"/history+"}).exitCode, 0);
  const std::string sector = std::to_string(free);
  EXPECT_EQ(SqlValue(game.dir / kHistory,
                     "SELECT run FROM warps WHERE sector = " + sector + " AND target = 1"),
            "2");
  EXPECT_EQ(SqlValue(game.dir / kHistory, "SELECT run FROM known WHERE sector = " + sector), "2");
}

// Everything a run writes besides the history is what the run without
// /history+ writes, byte for byte, console included; and a run that reads no
// capture makes no history.
TEST(History, ChangesNothingElse) {
  const Game plain(300, 9, {"/mm:7"});
  const Game kept(300, 9, {"/mm:7", "/history+"});
  for (int run = 1; run <= 2; ++run) {
    if (run == 2) {
      plain.SecondCapture(300, 9);
      kept.SecondCapture(300, 9);
    }
    const RunResult without = plain.Run();
    const RunResult with = kept.Run();
    ASSERT_EQ(without.exitCode, 0);
    ASSERT_EQ(with.exitCode, 0);
    EXPECT_EQ(with.out, without.out);
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(kept.dir.path())) {
      names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names.erase(kHistory), 1u);
    for (const auto& entry : fs::directory_iterator(plain.dir.path())) {
      const std::string name = entry.path().filename().string();
      EXPECT_EQ(names.erase(name), 1u) << name;
      if (name == "game_changelog.txt") continue;  // its time stamps
      EXPECT_TRUE(ReadFile(plain.dir / name) == ReadFile(kept.dir / name)) << name;
    }
    EXPECT_TRUE(names.empty());
  }
  const Game unread(300, 9, {"/mm:2", "/history+"});
  ASSERT_EQ(unread.Run().exitCode, 0);
  EXPECT_FALSE(fs::exists(unread.dir / kHistory));
}

// The read side the atlas uses: each port's last observations in run order.
TEST(History, DigestHoldsEachPortsLastObservations) {
  ScratchDir dir;
  const std::string file = dir / kHistory;
  EXPECT_TRUE(ReadHistoryDigest(file, 2).runs.empty());
  Universe universe = CreateUniverse(5, 5);
  universe[2].port = PortRecord{1, 0b101, {100, 50, 7}, {5000, 200, 70}};
  universe[4].port = PortRecord{0, 0, {100, 100, 100}, {1, 2, 3}};  // not from the capture
  for (int run = 1; run <= 3; ++run) {
    universe[2].port->amount[0] = static_cast<std::uint16_t>(1000 * run);
    if (run == 3) universe[4].port->reporting = 1;
    ASSERT_TRUE(RecordHistory(universe, file, "capture" + std::to_string(run),
                              "2024-01-0" + std::to_string(run) + " 10:00:00"));
  }
  EXPECT_FALSE(RecordHistory(universe, file, "capture3", "2024-01-04 10:00:00"));
  const HistoryDigest digest = ReadHistoryDigest(file, 2);
  ASSERT_EQ(digest.runs.size(), 3u);
  EXPECT_EQ(digest.runs[2].at, "2024-01-03 10:00:00");
  EXPECT_EQ(digest.runs[2].ports, 2u);
  std::string seen;
  for (const PortObservation& port : digest.observations) {
    seen += std::to_string(port.sector) + "@" + std::to_string(port.run) + ":" +
            std::to_string(port.buying) + "," + std::to_string(port.amount[0]) + "," +
            std::to_string(port.percent[2]) + " ";
  }
  EXPECT_EQ(seen, "2@2:5,2000,7 2@3:5,3000,7 4@3:0,1,100 ");
}

// Ports that come and go, over twelve runs: each of six ports reports in a
// run or not (seeded), one only in the first three, and from the eighth run
// the others all do, so that the digest need not read the runs between the
// last that dropped a port and the last ones. For any number of observations
// the digest holds each port's last ones in run order, as the ports table has
// them, and so it does when the history is read whole.
TEST(History, DigestHoldsTheLastObservationsOfPortsThatComeAndGo) {
  ScratchDir dir;
  const std::string file = dir / kHistory;
  Universe universe = CreateUniverse(8, 8);
  std::uint64_t random = 2028;
  for (int run = 1; run <= 12; ++run) {
    for (std::uint16_t s = 2; s <= 7; ++s) {
      const bool reports = s == 7 ? run <= 3 : run >= 8 || SplitMix64(random) % 3 != 0;
      const auto amount = static_cast<std::uint16_t>(100 * run + s);
      universe[s].port = PortRecord{reports ? std::uint8_t{1} : std::uint8_t{0},
                                    static_cast<std::uint8_t>(s % 8),
                                    {static_cast<std::uint8_t>(run), 50, 100},
                                    {amount, 7, 60000}};
    }
    ASSERT_TRUE(RecordHistory(universe, file, "capture" + std::to_string(run),
                              "2024-01-01 10:00:00"));
  }
  std::map<int, std::vector<std::string>> bySector;  // each port's rows in run order
  for (const std::string& row :
       SqlRows(file, "SELECT sector, run, class, ore, ore_pct, equ, equ_pct FROM ports"
                     " ORDER BY sector, run")) {
    bySector[std::stoi(row)].push_back(row);
  }
  const auto digestText = [&file](std::size_t perPort) {
    std::string text;
    for (const PortObservation& port : ReadHistoryDigest(file, perPort).observations) {
      text += std::to_string(port.sector) + "|" + std::to_string(port.run) + "|" +
              PortClassName(port.buying) + "|" + std::to_string(port.amount[0]) + "|" +
              std::to_string(port.percent[0]) + "|" + std::to_string(port.amount[2]) + "|" +
              std::to_string(port.percent[2]) + "\n";
    }
    return text;
  };
  const int dropped =
      std::stoi(SqlValue(file, "SELECT value FROM meta WHERE key = 'ports_dropped'"));
  EXPECT_GE(dropped, 4);
  EXPECT_LT(dropped, 8);
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) SqlExecute(file, "DELETE FROM meta WHERE key = 'ports_dropped'");
    for (const std::size_t perPort : {1u, 2u, 5u, 11u, 12u, 13u}) {
      std::string expected;
      for (const auto& [sector, list] : bySector) {
        const std::size_t first = list.size() > perPort ? list.size() - perPort : 0;
        for (std::size_t i = first; i < list.size(); ++i) expected += list[i] + "\n";
      }
      EXPECT_EQ(digestText(perPort), expected) << "pass " << pass << ", " << perPort << " a port";
    }
  }
}

// A run another program holds the history for waits for it up to five
// seconds: one released within them is recorded, one held longer ends the run
// on the file's error line, with exit code 2, before anything is written.
TEST(History, AHeldDatabaseIsWaitedForFiveSeconds) {
  using namespace std::chrono_literals;
  const Game game(300, 3, {"/history+", "/r-"});
  ASSERT_EQ(game.Run().exitCode, 0);
  game.SecondCapture(300, 3);
  const std::string file = game.dir / kHistory;
  {
    // Held for writing: the run reads it, then waits to write until it is free.
    HeldDatabase held(file, "BEGIN IMMEDIATE");
    std::thread release([&held] {
      std::this_thread::sleep_for(1s);
      held.Release();
    });
    const RunResult run = game.Run();
    release.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
  }
  EXPECT_EQ(SqlValue(file, "SELECT count(*) FROM runs"), "2");

  WriteFile(game.dir / "game.prt", ChangedAmounts(ReadFile(game.dir / "game.prt")));
  const std::string copy = ReadFile(game.dir / "game_ref.sct");
  {
    HeldDatabase held(file, "BEGIN EXCLUSIVE");
    const auto start = std::chrono::steady_clock::now();
    const RunResult run = game.Run();
    EXPECT_GE(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "error:  " + kHistory + ": database is locked\n");
  }
  EXPECT_EQ(ReadFile(game.dir / "game_ref.sct"), copy);
  EXPECT_EQ(SqlValue(file, "SELECT count(*) FROM runs"), "2");
}

// Kills runs of the full-size game with /history+ at moments spread over a
// run: the history then passes SQLite's integrity check and holds the run
// before it, or that and the new one, whole; the next run leaves exactly what
// an uninterrupted one does, and no journal.
TEST(History, AKillAtAnyMomentKeepsWholeRuns) {
  const Game game(20000, 77, {"/history+", "/r-"});
  const std::string file = game.dir / kHistory;
  ASSERT_EQ(game.Run().exitCode, 0);
  game.SecondCapture(20000, 77);
  std::map<std::string, std::string> before;
  for (const auto& entry : fs::directory_iterator(game.dir.path())) {
    before[entry.path().filename().string()] = ReadFile(entry.path().string());
  }
  const auto restore = [&] {
    for (const auto& entry : fs::directory_iterator(game.dir.path())) fs::remove(entry.path());
    for (const auto& [name, bytes] : before) WriteFile(game.dir / name, bytes);
  };
  // The length of a run: the shortest of three.
  auto length = std::chrono::microseconds::max();
  for (int i = 0; i < 3; ++i) {
    restore();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(game.Run().exitCode, 0);
    length = std::min(length, std::chrono::duration_cast<std::chrono::microseconds>(
                                  std::chrono::steady_clock::now() - start));
  }
  const std::string uninterrupted = HistoryRows(file);
  ASSERT_EQ(SqlValue(file, "SELECT count(*) FROM runs"), "2");

  std::uint64_t random = 2028;  // splitmix64: the same moments on every run of the test
  constexpr int kKills = 8;
  int killed = 0;
  for (int i = 0; i < kKills; ++i) {
    restore();
    const auto delay = std::chrono::microseconds(SplitMix64(random) % (length.count() + 1));
    const int child = StartKorvan(game.args, game.dir.path());
    std::this_thread::sleep_for(delay);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) ++killed;
    SCOPED_TRACE("killed after " + std::to_string(delay.count()) + " us");

    // What a reader finds: SQLite rolls back a journal the kill left.
    EXPECT_EQ(SqlValue(file, "PRAGMA integrity_check"), "ok");
    const std::string runs = SqlValue(file, "SELECT count(*) FROM runs");
    EXPECT_TRUE(runs == "1" || runs == "2") << runs;
    EXPECT_EQ(SqlValue(file, "SELECT count(*) FROM runs WHERE ports <> (SELECT count(*) FROM ports"
                             " WHERE ports.run = runs.run)"),
              "0");
    for (const char* table : {"ports", "known", "warps"}) {
      EXPECT_EQ(SqlValue(file, std::string("SELECT count(*) FROM ") + table +
                                   " WHERE run > (SELECT max(run) FROM runs)"),
                "0")
          << table;
    }

    const RunResult again = game.Run();
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(HistoryRows(file), uninterrupted);
    EXPECT_FALSE(AnyJournal(game.dir));
  }
  EXPECT_GE(killed, kKills / 2);
}
