// End-to-end goldens: each case under tests/golden/ replays its runs of the real
// executable in a scratch directory and compares the console output and every file
// the runs leave behind, byte for byte (tests/golden/README.md describes a case).
// scripts/update-goldens.sh writes the expected files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/test_util.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(KORVAN_SOURCE_DIR) / "tests" / "golden";

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

Tree ReadTree(const fs::path& dir) {
  Tree tree;
  if (!fs::is_directory(dir)) return tree;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = entry.path().lexically_relative(dir).generic_string();
    std::string bytes = ReadFile(entry.path().string());
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

// Copies the regular files directly in `from` (a path from the repository's top)
// into `to`.
void CopyFiles(const std::string& from, const fs::path& to) {
  fs::create_directories(to);
  for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(KORVAN_SOURCE_DIR) / from)) {
    if (entry.is_regular_file()) {
      fs::copy_file(entry.path(), to / entry.path().filename(), fs::copy_options::overwrite_existing);
    }
  }
}

// Compares the scratch directory after run `run` with the expected files: the
// same file names, each file as the run wrote it or, when it is not among the
// run's expected files, as it was before the run.
void CompareTree(const std::string& caseName, int run, const Tree& before, const Tree& after) {
  const std::string runName = "run" + std::to_string(run);
  const fs::path golden = kGoldenDir / caseName;
  const Tree written = ReadTree(golden / runName);
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
    const auto wrote = written.find(name);
    const auto kept = before.find(name);
    if (wrote == written.end() && kept == before.end()) {
      ADD_FAILURE() << caseName << " " << runName << ": no expected bytes for " << name;
      continue;
    }
    const std::string& expected = wrote != written.end() ? wrote->second : kept->second;
    const std::string difference = FirstDifference(expected, bytes);
    if (difference.empty()) continue;
    ADD_FAILURE() << caseName << " " << runName << ": " << name << " " << difference
                  << "\n  (expected: "
                  << (wrote != written.end() ? "tests/golden/" + caseName + "/" + runName + "/" + name
                                             : "the file as it was before the run")
                  << ")";
  }
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, RunsWriteTheExpectedFilesAndConsole) {
  const std::string& caseName = GetParam();
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
    const RunResult result = RunKorvan(step.args, dir.path());
    EXPECT_EQ(result.exitCode, 0) << caseName << " run" << run;
    EXPECT_EQ(result.err, "") << caseName << " run" << run;
    const std::string console =
        ReadFile((kGoldenDir / caseName / ("run" + std::to_string(run) + ".console")).string());
    const std::string difference = FirstDifference(console, result.out);
    if (!difference.empty()) {
      ADD_FAILURE() << caseName << " run" << run << ": the console output " << difference;
    }
    CompareTree(caseName, run, before, ReadTree(dir.path()));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(GoldenCases()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

// An empty or misplaced golden folder must not pass as "nothing to compare".
TEST(GoldenCases, AreAllPresent) {
  EXPECT_EQ(GoldenCases(),
            (std::vector<std::string>{"chain", "hostile", "sample", "star", "switches"}));
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

}  // namespace
