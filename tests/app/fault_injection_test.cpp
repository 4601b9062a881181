// A failed or killed run must lose nothing: every file that existed before the
// run (reference copies, backups, map, reports, notes, the change log up to its
// last complete record) is afterwards either unchanged or exactly what a
// successful run writes, never truncated or missing.
//
// The games: generated games after their first run, with the later capture in
// place and /mm:7, so that the run under test reads, compares and rewrites every
// file of the set.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/entry.h"
#include "app/run_phases.h"
#include "platform/console.h"
#include "platform/file.h"
#include "tests/test_util.h"
#include "tools/game_generator.h"

namespace {

using FileSet = std::map<std::string, std::string>;  // file name -> bytes

constexpr std::string_view kTemporarySuffix = ".tmp~";
// The start-up check's probe of a directory it will write to: a run killed
// between creating and deleting it leaves it, and the next run's check takes
// it away.
constexpr std::string_view kProbeFile = "korvan.$$$";
const std::string kChangeLog = "game_changelog.txt";

FileSet ReadFileSet(const std::string& dir) {
  FileSet files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    std::string& bytes = files[name];
    if (!entry.is_regular_file() || !ReadFileBytes(entry.path().string(), bytes)) {
      bytes = "<not a file>";
    }
  }
  return files;
}

void RestoreFileSet(const std::string& dir, const FileSet& files) {
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::filesystem::remove_all(entry.path());
  }
  for (const auto& [name, bytes] : files) WriteFile(dir + name, bytes);
}

// The change log with every record header's time stamp "[yy-mm-dd hh:mm:ss]"
// replaced by "[time]", so that records of different runs compare equal.
std::string WithoutTimeStamps(const std::string& text) {
  static constexpr std::string_view kPattern = "[dd-dd-dd dd:dd:dd]";
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    bool stamp = i + kPattern.size() <= text.size();
    for (std::size_t j = 0; stamp && j < kPattern.size(); ++j) {
      const char c = text[i + j];
      stamp = kPattern[j] == 'd' ? (c >= '0' && c <= '9') : c == kPattern[j];
    }
    if (stamp) {
      out += "[time]";
      i += kPattern.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// What is wrong with `now`, the files after a failed or killed run, given the
// files before it and those a successful run leaves; empty when nothing is.
// Temporary files are allowed only when the run could not clean up (a kill).
std::string FindLosses(const FileSet& before, const FileSet& after, const FileSet& now,
                       bool temporaryFilesAllowed) {
  std::ostringstream problems;
  for (const auto& [name, old] : before) {
    const auto found = now.find(name);
    if (found == now.end()) {
      problems << name << " is missing\n";
      continue;
    }
    const std::string& bytes = found->second;
    const auto written = after.find(name);
    if (name == kChangeLog) {
      // The old records stay; what follows is part of this run's record.
      const std::string record = WithoutTimeStamps(written->second.substr(old.size()));
      if (!StartsWith(bytes, old) ||
          !StartsWith(record, WithoutTimeStamps(bytes.substr(old.size())))) {
        problems << name << " lost or changed a record\n";
      }
    } else if (bytes != old && (written == after.end() || bytes != written->second)) {
      problems << name << " is neither the old file nor the new one (" << bytes.size()
               << " bytes; old " << old.size() << ")\n";
    }
  }
  for (const auto& [name, bytes] : now) {
    if (before.count(name) != 0) continue;
    const auto written = after.find(name);
    const bool temporary = name == kProbeFile ||
                           (name.size() > kTemporarySuffix.size() &&
                            name.compare(name.size() - kTemporarySuffix.size(),
                                         kTemporarySuffix.size(), kTemporarySuffix) == 0);
    if (temporary && !temporaryFilesAllowed) {
      problems << name << " stays behind\n";
    } else if (!temporary && (written == after.end() || written->second != bytes)) {
      problems << name << " is new and not what the run writes\n";
    }
  }
  return problems.str();
}

// The names of the files that `a` and `b` do not hold alike (file sets are
// megabytes: never compare them whole in an assertion).
std::string DifferentFiles(const FileSet& a, const FileSet& b) {
  std::string names;
  for (const auto& [name, bytes] : a) {
    const auto other = b.find(name);
    if (other == b.end() || other->second != bytes) names += name + " ";
  }
  for (const auto& [name, bytes] : b) {
    if (a.count(name) == 0) names += name + " ";
  }
  return names;
}

struct ProgramResult {
  int exitCode = -1;
  std::string console;
  std::string err;
};

// Runs the program's entry in this process, its console and standard error
// captured.
ProgramResult RunInProcess(const std::vector<std::string>& args) {
  ProgramResult result;
  ScratchDir errDir;
  std::fflush(stderr);
  const int saved = ::dup(STDERR_FILENO);
  const int errFile = ::open((errDir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ::dup2(errFile, STDERR_FILENO);
  ::close(errFile);
  ConsoleCaptureTo(&result.console);
  result.exitCode = RunProgram(args);
  ConsoleCaptureTo(nullptr);
  std::fflush(stderr);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  result.err = ReadFile(errDir / "stderr");
  return result;
}

// A generated game after its first run, with the later capture in place: the
// files before the run under test, and the files that run leaves when it
// succeeds. The run reads, compares and rewrites every file of the set.
struct GameRun {
  ScratchDir dir;
  std::vector<std::string> args;
  FileSet before;
  FileSet after;
  std::uint64_t operations = 0;  // file operations of the successful run

  // `logLength`: when not 0, every sector gets a log line of that many
  // characters, so that the notes file the run rewrites takes several writes.
  GameRun(std::uint32_t sectors, std::uint32_t logLength) {
    GameOptions options;
    options.gameName = "game";
    options.sectorCount = sectors;
    options.seed = 77;
    std::string commandLine;
    for (const GameFile& file : GenerateGame(options)) {
      std::string bytes = file.bytes;
      if (file.name == "game.cmd") commandLine = bytes;
      if (file.name == "game_log.txt" && logLength != 0) {
        for (std::uint32_t s = 1; s <= sectors; ++s) {
          bytes += std::to_string(s) + ": " + std::string(logLength, 'a' + s % 26) + "\r\n";
        }
      }
      WriteFile(dir / file.name, bytes);
    }
    // "korvan2a /g:game /n:... /m:game.ztm" with the game's directory made
    // explicit, the reports beside the captures, and the map comparison on.
    std::istringstream words(commandLine);
    std::string word;
    words >> word;
    while (words >> word) {
      if (StartsWith(word, "/g:") || StartsWith(word, "/m:")) {
        word = word.substr(0, 3) + dir.path() + word.substr(3);
      }
      args.push_back(word);
    }
    args.push_back("/p:" + dir.path());
    args.push_back("/mm:7");

    const ProgramResult first = RunInProcess(args);
    EXPECT_EQ(first.exitCode, 0) << first.err;
    options.secondCapture = true;
    for (const GameFile& file : GenerateGame(options)) WriteFile(dir / file.name, file.bytes);
    before = ReadFileSet(dir.path());

    SetFileFaultAt(0);
    const ProgramResult second = RunInProcess(args);
    operations = FileOperationCount();
    EXPECT_EQ(second.exitCode, 0) << second.err;
    after = ReadFileSet(dir.path());
    RestoreFileSet(dir.path(), before);
  }
};

// The fault sweep's game: 2000 sectors, a notes file of two write blocks.
const GameRun& SweepGame() {
  static const GameRun game(2000, 700);
  return game;
}

// The kill test's game: 20000 sectors, as players have them.
const GameRun& KillGame() {
  static const GameRun game(20000, 0);
  return game;
}

TEST(FailedRun, TheSecondRunRewritesTheWholeFileSet) {
  const GameRun& game = SweepGame();
  // Every file the first run wrote exists before the run under test, and the run
  // replaces each of them: a fault can hit any of them.
  for (const char* name : {"game_ref.sct", "game_ref.prt", "game_bak.sct", "game_bak.prt",
                           "game.map", "game_notes.txt", "game_msl.txt", "game_bubbles.txt",
                           "game_oneways.txt", "game_portpairs.txt", "game_distance.txt",
                           "game_special.txt", "game_dump.txt", "game_changelog.txt"}) {
    ASSERT_EQ(game.before.count(name), 1u) << name;
    EXPECT_NE(game.before.at(name), game.after.at(name)) << name;
  }
  EXPECT_EQ(game.after.size(), game.before.size());
  // The notes file takes more than one write.
  EXPECT_GT(game.after.at("game_notes.txt").size(), std::size_t{1} << 20);
  EXPECT_GT(game.operations, 50u);
}

// Fails each file operation of the run in turn (create, write, flush, close,
// rename, flush directory, delete, link): the run ends on the "error:  " line
// with exit code 2, and nothing is lost or left behind.
TEST(FailedRun, AFaultAtAnyFileOperationLosesNothing) {
  const GameRun& game = SweepGame();
  for (std::uint64_t k = 1; k <= game.operations; ++k) {
    RestoreFileSet(game.dir.path(), game.before);
    SetFileFaultAt(k);
    const ProgramResult run = RunInProcess(game.args);
    SetFileFaultAt(0);
    EXPECT_EQ(run.exitCode, 2) << "operation " << k;
    EXPECT_TRUE(StartsWith(run.err, "error:  ") && run.err.back() == '\n' &&
                run.err.find('\n') == run.err.size() - 1)
        << "operation " << k << ": " << run.err;
    EXPECT_TRUE(run.console.empty() || run.console.back() == '\n') << "operation " << k;
    EXPECT_EQ(FindLosses(game.before, game.after, ReadFileSet(game.dir.path()), false), "")
        << "operation " << k;
  }
  RestoreFileSet(game.dir.path(), game.before);
}

// The file operations of a successful run with `args`, in order.
std::vector<std::string> RecordedRun(const std::vector<std::string>& args) {
  std::vector<std::string> log;
  RecordFileOperations(&log);
  const ProgramResult run = RunInProcess(args);
  RecordFileOperations(nullptr);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return log;
}

// Where `entry` is in `log` (its last place when `last`); log.size() when absent.
std::size_t Find(const std::vector<std::string>& log, const std::string& entry, bool last = false) {
  std::size_t found = log.size();
  for (std::size_t i = 0; i < log.size(); ++i) {
    if (log[i] != entry) continue;
    found = i;
    if (!last) break;
  }
  return found;
}

// The files that hold what the player cannot get back, and only those, reach
// the disk after their last write and before they take their name (the change
// log at the end of its record, before it is closed); last, each directory
// that took a new name of theirs. The second run writes its reports into a new
// directory, where the notes file and the change log are new.
TEST(DurableRun, PlayersFilesReachTheDiskBeforeTheirNamesAndTheirDirectoriesLast) {
  const GameRun& game = SweepGame();
  const std::string& dir = game.dir.path();
  for (const std::string& reports : {dir, dir + "reports/"}) {
    std::vector<std::string> args = game.args;
    for (std::string& arg : args) {
      if (StartsWith(arg, "/p:")) arg = "/p:" + reports;
    }
    RestoreFileSet(dir, game.before);
    std::filesystem::create_directories(reports);
    const std::vector<std::string> log = RecordedRun(args);
    const std::vector<std::string> players = {dir + "game_ref.sct", dir + "game_ref.prt",
                                              reports + "game_notes.txt", reports + kChangeLog};
    std::vector<std::string> expected;
    for (const std::string& path : players) expected.push_back("flush " + path);
    expected.push_back("flush directory " + dir);
    if (reports != dir) expected.push_back("flush directory " + reports);
    std::vector<std::string> flushes;
    for (const std::string& entry : log) {
      if (StartsWith(entry, "flush ")) flushes.push_back(entry);
    }
    EXPECT_EQ(flushes, expected);
    for (const std::string& path : players) {
      const std::size_t flush = Find(log, "flush " + path);
      const std::size_t named =
          Find(log, (path == players.back() ? "close " : "rename ") + path);
      EXPECT_LT(Find(log, "write " + path, true), flush) << path;
      EXPECT_LT(flush, named) << path;
    }
    // The directories are flushed after every other operation, their renames too.
    const std::size_t directories = log.size() - (reports != dir ? 2 : 1);
    EXPECT_EQ(log[directories - 1], "close " + players.back());
    EXPECT_EQ(std::vector<std::string>(log.begin() + static_cast<std::ptrdiff_t>(directories),
                                       log.end()),
              std::vector<std::string>(expected.begin() + 4, expected.end()));
  }
  RestoreFileSet(dir, game.before);
}

// The older names of the reference copies are moved into place as durably as
// new copies are written: under a run's DirectoryFlushes their directory is
// flushed once after both renames; without one, after each, and a failed flush
// names the file that took the new name.
TEST(DurableRun, OlderReferenceNamesReachTheDiskInPlace) {
  ScratchDir dir;
  const std::string cap = dir / "game";
  WriteFile(cap + ".srf", "1 2\r\n");
  WriteFile(cap + ".prf", "");
  std::vector<std::string> log;
  RecordFileOperations(&log);
  {
    DirectoryFlushes flushes;
    TidyFileSet(cap);
    flushes.Run();
  }
  EXPECT_EQ(log, (std::vector<std::string>{"rename " + cap + "_ref.sct",
                                           "rename " + cap + "_ref.prt",
                                           "flush directory " + dir.path()}));
  std::filesystem::rename(cap + "_ref.prt", cap + ".prf");
  log.clear();
  SetFileFaultAt(2);
  try {
    TidyFileSet(cap);
    ADD_FAILURE() << "a failed flush of the directory went unnoticed";
  } catch (const IoError& error) {
    EXPECT_EQ(error.fileName(), cap + "_ref.prt");
  }
  SetFileFaultAt(0);
  RecordFileOperations(nullptr);
  EXPECT_EQ(log,
            (std::vector<std::string>{"rename " + cap + "_ref.prt", "flush directory " + dir.path()}));
  EXPECT_EQ(ReadFile(cap + "_ref.sct"), "1 2\r\n");
}

// Fails each flush of the run in turn: the run ends on the "error:  " line
// naming the file, exit code 2, and nothing is lost. A failed flush of a file's
// data leaves the earlier file in place; the directory is flushed after the
// renames, and its failure (named by the last file renamed into it) leaves the
// new files, complete.
TEST(FailedRun, AFailedFlushIsAFailedWrite) {
  const GameRun& game = SweepGame();
  const std::string& dir = game.dir.path();
  RestoreFileSet(dir, game.before);
  const std::vector<std::string> log = RecordedRun(game.args);
  int flushes = 0;
  for (std::size_t i = 0; i < log.size(); ++i) {
    const bool directory = StartsWith(log[i], "flush directory ");
    if (!directory && !StartsWith(log[i], "flush ")) continue;
    ++flushes;
    const std::string file = directory ? dir + "game_notes.txt" : log[i].substr(6);
    RestoreFileSet(dir, game.before);
    SetFileFaultAt(i + 1);
    const ProgramResult run = RunInProcess(game.args);
    SetFileFaultAt(0);
    EXPECT_EQ(run.exitCode, 2) << log[i];
    EXPECT_EQ(run.err, "error:  " + file + ": Input/output error\n") << log[i];
    const FileSet now = ReadFileSet(dir);
    EXPECT_EQ(FindLosses(game.before, game.after, now, false), "") << log[i];
    const std::string name = file.substr(dir.size());
    if (directory) {
      for (const char* renamed : {"game_ref.sct", "game_ref.prt", "game_notes.txt"}) {
        EXPECT_EQ(now.at(renamed), game.after.at(renamed)) << log[i];
      }
    } else if (name != kChangeLog) {  // FindLosses checks the change log's records
      EXPECT_EQ(now.at(name), game.before.at(name)) << log[i];
    }
  }
  EXPECT_EQ(flushes, 5);  // four files, then their directory
  RestoreFileSet(dir, game.before);
}

// Kills the program at moments spread over the length of a whole run: nothing is
// lost (a killed run cannot remove its temporary files), and the next run then
// leaves what an uninterrupted run does, with no temporary file.
TEST(FailedRun, AKillAtAnyMomentLosesNothing) {
  const GameRun& game = KillGame();
  const std::string& dir = game.dir.path();
  RestoreFileSet(dir, game.before);
  // The length of a run: the shortest of three, so that on a busy machine the
  // moments still fall inside the runs they kill.
  int status = 0;
  auto length = std::chrono::microseconds::max();
  for (int i = 0; i < 3; ++i) {
    RestoreFileSet(dir, game.before);
    const auto start = std::chrono::steady_clock::now();
    ::waitpid(StartKorvan(game.args, dir), &status, 0);
    length = std::min(length, std::chrono::duration_cast<std::chrono::microseconds>(
                                  std::chrono::steady_clock::now() - start));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  std::uint64_t random = 2002;  // splitmix64: the same moments on every run of the test
  constexpr int kKills = 6;
  int killed = 0;
  for (int i = 0; i < kKills; ++i) {
    RestoreFileSet(dir, game.before);
    const auto delay = std::chrono::microseconds(SplitMix64(random) % (length.count() + 1));
    const pid_t child = StartKorvan(game.args, dir);
    std::this_thread::sleep_for(delay);
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) ++killed;
    EXPECT_EQ(FindLosses(game.before, game.after, ReadFileSet(dir), true), "")
        << "killed after " << delay.count() << " us";

    // The next run: the same files as an uninterrupted run, except that a
    // killed run that had rotated the reference copies already makes the next
    // run's backups the copies it wrote.
    const ProgramResult again = RunInProcess(game.args);
    ASSERT_EQ(again.exitCode, 0) << again.err;
    FileSet now = ReadFileSet(dir);
    EXPECT_TRUE(StartsWith(now[kChangeLog], game.before.at(kChangeLog)));
    FileSet expected = game.after;
    for (const char* extension : {".sct", ".prt"}) {
      const std::string backup = std::string("game_bak") + extension;
      if (now[backup] == game.after.at(std::string("game_ref") + extension)) {
        expected[backup] = now[backup];
      }
    }
    now.erase(kChangeLog);
    expected.erase(kChangeLog);
    EXPECT_EQ(DifferentFiles(now, expected), "") << "after the kill at " << delay.count() << " us";
  }
  // Most moments fall inside the run.
  EXPECT_GE(killed, kKills / 2);
  RestoreFileSet(dir, game.before);
}

// The exit path through the executable: a report that cannot be replaced (a
// directory stands in its place) ends the run on the "error:  " line with exit
// code 2; the files written before it are complete and none is left half done.
TEST(FailedRun, TheExecutableEndsWithTheErrorLine) {
  const GameRun& game = SweepGame();
  FileSet before = game.before;
  before.erase("game_dump.txt");
  RestoreFileSet(game.dir.path(), before);
  ASSERT_EQ(::mkdir((game.dir / "game_dump.txt").c_str(), 0755), 0);
  const RunResult run = RunKorvan(game.args, "/");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "error:  " + game.dir / "game_dump.txt: Is a directory\n");
  EXPECT_EQ(run.out.substr(run.out.size() - 2), " \n");
  const FileSet now = ReadFileSet(game.dir.path());
  before["game_dump.txt"] = "<not a file>";
  EXPECT_EQ(FindLosses(before, game.after, now, false), "");
  // Everything before the dump report was replaced.
  EXPECT_EQ(now.at("game_notes.txt"), game.after.at("game_notes.txt"));
  EXPECT_EQ(now.at("game_ref.sct"), game.after.at("game_ref.sct"));
  RestoreFileSet(game.dir.path(), game.before);
}

}  // namespace
