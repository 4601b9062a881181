// A player's common mistakes, run end to end with the real executable (or
// korvan2a.exe under wine, see KorvanTarget): each gets its exact console
// lines and exit code, and changes no file of the game or report folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
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
