// End-to-end goldens: each case under tests/golden/ replays its runs of the real
// executable in a scratch directory and compares the console output and every file
// the runs leave behind, byte for byte (tests/golden/README.md describes a case).
// scripts/update-goldens.sh writes the expected files. scripts/windows-test.sh runs
// the same cases against the Windows build under wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "atlas/atlas_page.h"
#include "tests/history/sql_rows.h"
#include "tests/test_util.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(KORVAN_SOURCE_DIR) / "tests" / "golden";

// Maps a file name as the golden files show it to the name the run under test
// shows.
using Rename = std::function<std::string(std::string_view)>;

// Every "/" and "\" of `name` written as `separator`.
std::string WithSeparator(std::string_view name, char separator) {
  std::string written(name);
  std::replace_if(written.begin(), written.end(), [](char c) { return c == '/' || c == '\\'; },
                  separator);
  return written;
}

Rename SeparatorOnly(char separator) {
  return [separator](std::string_view name) { return WithSeparator(name, separator); };
}

// Applies `change` to every line of `text` (lines end in LF; the LF is kept).
std::string MapLines(const std::string& text, const std::function<std::string(std::string)>& change) {
  std::string mapped;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const bool ended = end != std::string::npos;
    if (!ended) end = text.size();
    mapped += change(text.substr(start, end - start));
    if (ended) mapped += '\n';
    start = end + 1;
  }
  return mapped;
}

// Renames the file a console line announces: the text between the phase's ": "
// and the closing " ." ("reading sector cim file: game.sct ."). Lines without a
// name ("reconciling warp data: .") and the banner stay as they are.
std::string RenameConsoleFiles(const std::string& console, const Rename& rename) {
  return MapLines(console, [&rename](std::string line) {
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos || line.size() < colon + 5 || !line.ends_with(" .")) return line;
    const std::size_t from = colon + 2;
    return line.substr(0, from) + rename(std::string_view(line).substr(from, line.size() - 2 - from)) +
           " .";
  });
}

// Renames the file that opens a reader's or writer's change-log line: one blank,
// the name, ": " (" game.sct: 812 sectors read."). The map comparison's own
// lines begin with two blanks and stay as they are.
std::string RenameChangeLogFiles(const std::string& log, const Rename& rename) {
  return MapLines(log, [&rename](std::string line) {
    if (line.size() < 2 || line[0] != ' ' || line[1] == ' ') return line;
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos) return line;
    return " " + rename(std::string_view(line).substr(1, colon - 1)) + line.substr(colon);
  });
}

// The path of every regular file under `dir`, relative and with "/", to its bytes.
using Tree = std::map<std::string, std::string>;

// Replaces the time stamp of every change-log record header by "[yy-mm-dd hh:mm:ss]",
// so that a run compares equal whenever it happens. Anything that is not a well
// formed stamp stays and shows up as a difference.
std::string MaskTimeStamps(const std::string& log) {
  static constexpr std::string_view kShape = "[00-00-00 00:00:00] BEGIN KORVAN2 RECORD:";
  static constexpr std::string_view kMask = "[yy-mm-dd hh:mm:ss]";
  std::string masked = log;
  for (std::size_t at = 0; at + kShape.size() <= masked.size();) {
    bool stamp = true;
    for (std::size_t i = 0; i < kShape.size() && stamp; ++i) {
      const char c = masked[at + i];
      stamp = kShape[i] == '0' ? (c >= '0' && c <= '9') : c == kShape[i];
    }
    if (stamp) masked.replace(at, kMask.size(), kMask);
    const std::size_t end = masked.find('\n', at);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return masked;
}

bool IsChangeLog(const std::string& name) {
  static constexpr std::string_view kSuffix = "_changelog.txt";
  return name.size() >= kSuffix.size() &&
         name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0;
}

// An atlas page is kept in the goldens as the data block the run wrote into it,
// in "<page>.data": the rest of the page is the page built into the program,
// which the atlas's own tests check against its files (AtlasPage), so editing
// one of those files changes no golden.
bool IsAtlasPage(const std::string& name) { return name.ends_with("_atlas.html"); }

std::string GoldenName(const std::string& name) { return IsAtlasPage(name) ? name + ".data" : name; }

bool IsHistory(const std::string& name) { return name.ends_with("_history.db"); }

// The files of a golden's run folder as they are; a scratch directory's
// (`written`) with the history as its rows (HistoryRows), which is how the
// golden holds it: the file's bytes carry the runs' times.
Tree ReadTree(const fs::path& dir, bool written = true) {
  Tree tree;
  if (!fs::is_directory(dir)) return tree;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = entry.path().lexically_relative(dir).generic_string();
    std::string bytes = written && IsHistory(name) ? HistoryRows(entry.path().string())
                                                   : ReadFile(entry.path().string());
    tree[name] = IsChangeLog(name) ? MaskTimeStamps(bytes) : std::move(bytes);
  }
  return tree;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The text quoted, with control bytes written as escapes.
std::string Quote(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\t') {
      quoted += "\\t";
    } else if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte >= 0x7f) {
      quoted += "\\x";
      quoted += kHex[byte >> 4];
      quoted += kHex[byte & 15];
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

// A window of a long line around `column`, so that a difference deep in a line of
// thousands of characters stays readable.
std::string Excerpt(const std::string& line, std::size_t column) {
  constexpr std::size_t kBefore = 60;
  constexpr std::size_t kWidth = 160;
  if (line.size() <= kWidth) return Quote(line);
  const std::size_t from = column > kBefore ? column - kBefore : 0;
  std::string text = from > 0 ? "..." : "";
  text += Quote(std::string_view(line).substr(from, kWidth));
  if (from + kWidth < line.size()) text += "...";
  return text;
}

std::string ByteText(const std::string& bytes, std::size_t at) {
  if (at >= bytes.size()) return "<end of file>";
  std::ostringstream text;
  text << "0x" << std::hex << static_cast<int>(static_cast<unsigned char>(bytes[at]));
  return text.str();
}

// Where `actual` first departs from `expected`, for people to read; empty when
// they are equal. Text is compared line by line, a file holding NUL bytes (the map
// file) byte by byte.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  std::ostringstream text;
  const bool binary = expected.find('\0') != std::string::npos ||
                      actual.find('\0') != std::string::npos;
  if (binary) {
    const auto at = static_cast<std::size_t>(
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first -
        expected.begin());
    text << "differs at byte " << at << " (sizes " << expected.size() << " expected, "
         << actual.size() << " actual): expected " << ByteText(expected, at) << ", actual "
         << ByteText(actual, at);
    return text.str();
  }
  const std::vector<std::string> want = Lines(expected);
  const std::vector<std::string> got = Lines(actual);
  std::size_t line = 0;
  while (line < want.size() && line < got.size() && want[line] == got[line]) ++line;
  if (line >= want.size() && line >= got.size()) {
    // The same lines: only the line end after the last one differs.
    text << "differs only at its end: expected last byte " << ByteText(expected, expected.size() - 1)
         << ", actual " << ByteText(actual, actual.size() - 1);
    return text.str();
  }
  text << "differs at line " << line + 1 << " (" << want.size() << " lines expected, "
       << got.size() << " actual)";
  std::string wantLine = line < want.size() ? want[line] : "";
  std::string gotLine = line < got.size() ? got[line] : "";
  // Both ending in CR LF is the rule; show the CR only where it differs.
  if (!wantLine.empty() && !gotLine.empty() && wantLine.back() == '\r' && gotLine.back() == '\r') {
    wantLine.pop_back();
    gotLine.pop_back();
  }
  const auto column = static_cast<std::size_t>(
      std::mismatch(wantLine.begin(), wantLine.end(), gotLine.begin(), gotLine.end()).first -
      wantLine.begin());
  text << ", column " << column + 1 << ":\n  expected: "
       << (line < want.size() ? Excerpt(wantLine, column) : "<end of file>")
       << "\n  actual:   " << (line < got.size() ? Excerpt(gotLine, column) : "<end of file>");
  return text.str();
}

struct Step {
  std::string verb;               // "files" or "run"
  std::vector<std::string> args;  // the words after the verb
};

std::vector<Step> ReadCase(const std::string& name) {
  std::vector<Step> steps;
  for (std::string line : Lines(ReadFile((kGoldenDir / name / "case.txt").string()))) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    Step step;
    if (!(words >> step.verb) || step.verb[0] == '#') continue;
    for (std::string word; words >> word;) step.args.push_back(word);
    steps.push_back(std::move(step));
  }
  return steps;
}

std::vector<std::string> GoldenCases() {
  std::vector<std::string> cases;
  if (!fs::is_directory(kGoldenDir)) return cases;
  for (const fs::directory_entry& entry : fs::directory_iterator(kGoldenDir)) {
    if (fs::exists(entry.path() / "case.txt")) cases.push_back(entry.path().filename().string());
  }
  std::sort(cases.begin(), cases.end());
  return cases;
}

// Where the files of a case's `files` step come from: `from` is a path from the
// repository's top, except that KORVAN_SAMPLE_DIR, when set, stands in for
// examples/sample (the sample game as a release package installs or unpacks it,
// scripts/package-test.sh).
fs::path FilesSource(const std::string& from) {
  static constexpr std::string_view kSample = "examples/sample";
  const char* sample = std::getenv("KORVAN_SAMPLE_DIR");
  if (sample != nullptr && *sample != '\0' && from.starts_with(kSample) &&
      (from.size() == kSample.size() || from[kSample.size()] == '/')) {
    return fs::path(sample) / from.substr(std::min(from.size(), kSample.size() + 1));
  }
  return fs::path(KORVAN_SOURCE_DIR) / from;
}

// Copies the regular files directly in the directory `from` names (FilesSource)
// into `to`.
void CopyFiles(const std::string& from, const fs::path& to) {
  fs::create_directories(to);
  for (const fs::directory_entry& entry : fs::directory_iterator(FilesSource(from))) {
    if (entry.is_regular_file()) {
      fs::copy_file(entry.path(), to / entry.path().filename(), fs::copy_options::overwrite_existing);
    }
  }
}

// Compares the scratch directory after run `run` with the expected files: the
// same file names, each file as the run wrote it or, when it is not among the
// run's expected files, as it was before the run. `logNames` gives the names in
// the expected change log as the run under test writes them.
void CompareTree(const std::string& caseName, int run, const Tree& before, const Tree& after,
                 const Rename& logNames) {
  const std::string runName = "run" + std::to_string(run);
  const fs::path golden = kGoldenDir / caseName;
  const Tree written = ReadTree(golden / runName, false);
  std::vector<std::string> expectedNames = Lines(ReadFile((golden / (runName + ".files")).string()));
  for (std::string& name : expectedNames) {
    if (!name.empty() && name.back() == '\r') name.pop_back();
  }
  std::vector<std::string> actualNames;
  for (const auto& [name, bytes] : after) actualNames.push_back(name);
  for (const std::string& name : expectedNames) {
    if (!after.contains(name)) ADD_FAILURE() << caseName << " " << runName << ": " << name << " is missing";
  }
  for (const auto& [name, bytes] : after) {
    if (std::find(expectedNames.begin(), expectedNames.end(), name) == expectedNames.end()) {
      ADD_FAILURE() << caseName << " " << runName << ": unexpected file " << name;
      continue;
    }
    const auto wrote = written.find(GoldenName(name));
    const auto kept = before.find(name);
    if (wrote == written.end() && kept == before.end()) {
      ADD_FAILURE() << caseName << " " << runName << ": no expected bytes for " << name;
      continue;
    }
    const std::string expected =
        wrote == written.end() ? kept->second
        : IsChangeLog(name)    ? RenameChangeLogFiles(wrote->second, logNames)
        : IsAtlasPage(name)    ? std::string(AtlasPageHead()) + wrote->second + std::string(AtlasPageTail())
                               : wrote->second;
    const std::string difference = FirstDifference(expected, bytes);
    if (difference.empty()) continue;
    ADD_FAILURE() << caseName << " " << runName << ": " << name << " " << difference
                  << "\n  (expected: "
                  << (wrote == written.end() ? "the file as it was before the run"
                      : IsAtlasPage(name)    ? "the built-in page around tests/golden/" + caseName + "/" +
                                                runName + "/" + wrote->first
                                             : "tests/golden/" + caseName + "/" + runName + "/" + name)
                  << ")";
  }
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, RunsWriteTheExpectedFilesAndConsole) {
  const std::string& caseName = GetParam();
  const Target& target = KorvanTarget();
  const Rename names = SeparatorOnly(target.separator);
  const std::vector<Step> steps = ReadCase(caseName);
  ASSERT_FALSE(steps.empty()) << "tests/golden/" << caseName << "/case.txt has no steps";
  ScratchDir dir;
  int run = 0;
  for (const Step& step : steps) {
    if (step.verb == "files") {
      ASSERT_GE(step.args.size(), 1u) << "files needs a directory";
      CopyFiles(step.args[0], fs::path(dir.path()) / (step.args.size() > 1 ? step.args[1] : ""));
      continue;
    }
    ASSERT_EQ(step.verb, "run") << "unknown step in tests/golden/" << caseName << "/case.txt";
    ++run;
    const Tree before = ReadTree(dir.path());
    const RunResult result = RunCommand(target.command, step.args, dir.path());
    EXPECT_EQ(result.exitCode, 0) << caseName << " run" << run;
    EXPECT_EQ(result.err, "") << caseName << " run" << run;
    const std::string console = RenameConsoleFiles(
        ReadFile((kGoldenDir / caseName / ("run" + std::to_string(run) + ".console")).string()), names);
    const std::string difference = FirstDifference(console, result.out);
    if (!difference.empty()) {
      ADD_FAILURE() << caseName << " run" << run << ": the console output " << difference;
    }
    CompareTree(caseName, run, before, ReadTree(dir.path()), names);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(GoldenCases()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

// The switches case with its files given by full paths in the platform's own
// form, run from an empty current directory: /g: an absolute path written with
// "\" (on Windows with the drive letter z:, wine's name for the Linux root), /p:
// the same with no closing "\", /m: relative to the current directory with "/".
// The capture-side files must land in the /g: directory, the reports, notes and
// change log in the /p: directory and nothing in the current directory; the
// change log names the files by these paths, with the platform's separator.
// Every name this case shows on the console is long enough to be shortened to
// its last 30 characters, so the console is the golden's.
TEST(GoldenPaths, FullPathsPutEveryFileInItsDirectory) {
  const std::string caseName = "switches";
  const Target& target = KorvanTarget();
  ScratchDir dir;
  const fs::path game = fs::path(dir.path()) / "game";
  const fs::path current = fs::path(dir.path()) / "current";
  fs::create_directories(game);
  fs::create_directories(current);
  const std::string gameDir = (target.windows ? "z:" : "") + WithSeparator(dir.path(), '\\') + "game\\";
  const std::string extraDir = "../game/";

  int run = 0;
  for (const Step& step : ReadCase(caseName)) {
    if (step.verb == "files") {
      ASSERT_GE(step.args.size(), 1u);
      CopyFiles(step.args[0], game / (step.args.size() > 1 ? step.args[1] : ""));
      continue;
    }
    ++run;
    std::vector<std::string> args;
    std::string extraFile;  // as the case gives it
    int rewritten = 0;
    for (const std::string& arg : step.args) {
      const std::string key = arg.substr(0, 3);
      const std::string value = arg.substr(std::min<std::size_t>(3, arg.size()));
      if (key == "/g:" || key == "/p:") {
        args.push_back(key + gameDir + value);
        ++rewritten;
      } else if (key == "/m:") {
        args.push_back(key + extraDir + value);
        extraFile = value;
        ++rewritten;
      } else {
        args.push_back(arg);
      }
    }
    ASSERT_EQ(rewritten, 3) << "the " << caseName << " case no longer gives /g:, /p: and /m:";
    SCOPED_TRACE(caseName + " run" + std::to_string(run) + " with full paths");

    const Tree before = ReadTree(game);
    const RunResult result = RunCommand(target.command, args, current.string());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    const std::string console =
        ReadFile((kGoldenDir / caseName / ("run" + std::to_string(run) + ".console")).string());
    const std::string difference = FirstDifference(console, result.out);
    if (!difference.empty()) ADD_FAILURE() << "the console output " << difference;
    const char separator = target.separator;
    const Rename logNames = [&](std::string_view name) {
      return WithSeparator(name == extraFile ? extraDir + extraFile : gameDir + std::string(name),
                           separator);
    };
    CompareTree(caseName, run, before, ReadTree(game), logNames);
    EXPECT_TRUE(fs::is_empty(current)) << "the run wrote into the current directory";
  }
  EXPECT_EQ(run, 3);
}

// An empty or misplaced golden folder must not pass as "nothing to compare".
TEST(GoldenCases, AreAllPresent) {
  EXPECT_EQ(GoldenCases(),
            (std::vector<std::string>{"atlas", "chain", "history", "hostile", "sample", "star",
                                      "switches"}));
}

TEST(GoldenCases, TimeStampsAreMaskedOnlyInRecordHeaders) {
  EXPECT_EQ(MaskTimeStamps("[26-12-07 11:12:30] BEGIN KORVAN2 RECORD:\r\n x\r\n"
                           "[26-12-07 11:12:31] BEGIN KORVAN2 RECORD:\r\n"),
            "[yy-mm-dd hh:mm:ss] BEGIN KORVAN2 RECORD:\r\n x\r\n"
            "[yy-mm-dd hh:mm:ss] BEGIN KORVAN2 RECORD:\r\n");
  EXPECT_EQ(MaskTimeStamps(" [26-12-07 11:12:30] BEGIN KORVAN2 RECORD:\r\n"),
            " [26-12-07 11:12:30] BEGIN KORVAN2 RECORD:\r\n");
  EXPECT_EQ(MaskTimeStamps("[26-12-7 11:12:30] BEGIN KORVAN2 RECORD:\r\n"),
            "[26-12-7 11:12:30] BEGIN KORVAN2 RECORD:\r\n");
}

TEST(GoldenCases, FirstDifferenceNamesTheLineAndBothTexts) {
  EXPECT_EQ(FirstDifference("a\r\nb\r\n", "a\r\nb\r\n"), "");
  EXPECT_EQ(FirstDifference("a\r\nbcd\r\ne\r\n", "a\r\nbXd\r\ne\r\n"),
            "differs at line 2 (3 lines expected, 3 actual), column 2:\n"
            "  expected: \"bcd\"\n"
            "  actual:   \"bXd\"");
  EXPECT_EQ(FirstDifference("a\r\nb\r\n", "a\r\nb\n"),
            "differs at line 2 (2 lines expected, 2 actual), column 2:\n"
            "  expected: \"b\\r\"\n"
            "  actual:   \"b\"");
  EXPECT_EQ(FirstDifference("a\r\n", "a\r\nb\r\n"),
            "differs at line 2 (1 lines expected, 2 actual), column 1:\n"
            "  expected: <end of file>\n"
            "  actual:   \"b\\r\"");
  EXPECT_EQ(FirstDifference("a\r\nb", "a\r\nb\n"),
            "differs only at its end: expected last byte 0x62, actual 0xa");
  EXPECT_EQ(FirstDifference(std::string("\x1f\0\x02", 3), std::string("\x1f\0\x03", 3)),
            "differs at byte 2 (sizes 3 expected, 3 actual): expected 0x2, actual 0x3");
}

TEST(GoldenCases, FirstDifferenceShowsAWindowOfALongLine) {
  const std::string expected = std::string(1000, 'a') + "b" + std::string(1000, 'a');
  const std::string actual = std::string(1000, 'a') + "c" + std::string(1000, 'a');
  const std::string difference = FirstDifference(expected, actual);
  EXPECT_NE(difference.find("column 1001"), std::string::npos) << difference;
  EXPECT_NE(difference.find("...\"" + std::string(60, 'a') + "b"), std::string::npos) << difference;
  EXPECT_LT(difference.size(), 500u) << difference;
}

TEST(GoldenCases, RenamesOnlyTheAnnouncedAndLoggedFileNames) {
  const Rename windows = SeparatorOnly('\\');
  EXPECT_EQ(RenameConsoleFiles("KORVAN2a v.0.34 december 2002 - a/b\n"
                               "reading sector cim file: c:/games/x.sct .\n"
                               "reconciling warp data: .\n"
                               "writing map (reclen=31): c:/games/x.map .\n"
                               "writing bubble report: ...rts/x_bubbles.txt",
                               windows),
            "KORVAN2a v.0.34 december 2002 - a/b\n"
            "reading sector cim file: c:\\games\\x.sct .\n"
            "reconciling warp data: .\n"
            "writing map (reclen=31): c:\\games\\x.map .\n"
            "writing bubble report: ...rts/x_bubbles.txt");
  EXPECT_EQ(RenameChangeLogFiles("[yy-mm-dd hh:mm:ss] BEGIN KORVAN2 RECORD:\r\n"
                                 " c:/games/x.sct: 3 sectors read.\r\n"
                                 " c:/games/x.map: (reclen=31) \r\n"
                                 "  comparing recent cim data with previous map data...\r\n"
                                 "  18: a/b.\r\n"
                                 " data reconciled.\r\n"
                                 "[END OF RECORD]\r\n\r\n",
                                 windows),
            "[yy-mm-dd hh:mm:ss] BEGIN KORVAN2 RECORD:\r\n"
            " c:\\games\\x.sct: 3 sectors read.\r\n"
            " c:\\games\\x.map: (reclen=31) \r\n"
            "  comparing recent cim data with previous map data...\r\n"
            "  18: a/b.\r\n"
            " data reconciled.\r\n"
            "[END OF RECORD]\r\n\r\n");
  const Rename prefixed = [](std::string_view name) { return "d/" + std::string(name); };
  EXPECT_EQ(RenameChangeLogFiles(" x_figs.txt: 2 sectors read.\r\n", prefixed),
            " d/x_figs.txt: 2 sectors read.\r\n");
}

}  // namespace
