#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "capture/notes_file.h"
#include "report/notes_report.h"
#include "tests/capture/side_inputs_util.h"
#include "tests/test_util.h"
#include "text/text.h"

namespace {

const std::string kFullHeaderW5 =
    "sector  xxx (%%%) ore org equ  gate/ucd   msl  : warps ^=oneway out, v=oneway innotes";

// Writes the report and returns the file; the console line is checked.
std::string WriteReport(const Universe& universe, std::uint16_t warpSlots, const ScratchDir& dir) {
  const std::string name = dir / "game_notes.txt";
  ConsoleCapture capture;
  WriteNotesReport(universe, warpSlots, name);
  EXPECT_EQ(capture.text(), "writing notes report: ..." + Last30(name) + " .\n");
  EXPECT_FALSE(FileExists(name + ".tmp~"));
  return ReadFile(name);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// The notes section: the lines before "--- end of notes ---".
std::vector<std::string> NotesSection(const std::string& text) {
  std::vector<std::string> lines = Lines(text);
  auto end = std::find(lines.begin(), lines.end(), "--- end of notes ---");
  EXPECT_NE(end, lines.end());
  return std::vector<std::string>(lines.begin(), end);
}

// The ordering procedure of the notes section, step by step as the notes
// report is defined: selection with exchange over the noted sectors.
std::vector<std::uint16_t> LiteralNoteOrder(const Universe& universe) {
  std::vector<std::uint16_t> list;
  for (std::uint32_t s = 1; s <= universe.size(); ++s) {
    if (!universe[static_cast<std::uint16_t>(s)].note.empty()) {
      list.push_back(static_cast<std::uint16_t>(s));
    }
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    std::size_t m = i;
    for (std::size_t j = i; j < list.size(); ++j) {
      if (universe[list[m]].note > universe[list[j]].note) m = j;
    }
    if (m > i) std::swap(list[i], list[m]);
  }
  return list;
}

}  // namespace

TEST(NotesReport, WritesNotesTableAndLog) {
  ScratchDir dir;
  Universe universe = CreateUniverse(20000, 5);
  universe[1].note = "terra";
  universe[17].note = "dead end";
  universe[17].explored = 1;
  universe[17].warps.emplace();
  universe[17].warps->targets = {1};
  universe[17].warps->kinds = {oneWayOut};
  universe[17].hopsFrom[kMslSlot] = 3;
  universe[17].hopsTo[kMslSlot] = 12;
  universe[900].log = "port destroyed";

  const std::string blankPort = "---       " + std::string(12, ' ') + "     /    ";
  EXPECT_EQ(WriteReport(universe, 2, dir),
            CrLf({"   17 : dead end",
                  "    1 : terra",
                  "--- end of notes ---",
                  "",
                  kFullHeaderW5,
                  "(     1) " + blankPort + "  n/a  :  " + std::string(20, ' ') + " notes: terra",
                  "     17  " + blankPort + "  3,12 : (     1^) " + std::string(10, ' ') +
                      " notes: dead end",
                  "",
                  "--- begin log ---",
                  "  900 : port destroyed"}));
}

TEST(NotesReport, LogOnlyGivesAnEmptyNotesSection) {
  ScratchDir dir;
  Universe universe = CreateUniverse(20000, 5);
  universe[900].log = "port destroyed";
  EXPECT_EQ(WriteReport(universe, 0, dir),
            CrLf({"--- end of notes ---", "", kFullHeaderW5, "", "--- begin log ---",
                  "  900 : port destroyed"}));

  Universe next = CreateUniverse(20000, 5);
  ReadNotesFile(next, dir / "game_notes.txt", {0, 0, 0, 0, 0});
  for (std::uint32_t s = 1; s <= 20000; ++s) {
    ASSERT_EQ(next[static_cast<std::uint16_t>(s)].note, "") << s;
  }
}

TEST(NotesReport, NothingToWriteLeavesTheFileAlone) {
  ScratchDir dir;
  WriteFile(dir / "game_notes.txt", "old notes\r\n");
  Universe universe = CreateUniverse(100, 5);
  ConsoleCapture capture;
  WriteNotesReport(universe, 0, dir / "game_notes.txt");
  EXPECT_EQ(capture.text(), "");
  EXPECT_EQ(ReadFile(dir / "game_notes.txt"), "old notes\r\n");
}

// The lines the reader kept come first, as they are; they alone are reason
// enough to write the file.
TEST(NotesReport, KeptLinesComeFirst) {
  ScratchDir dir;
  Universe universe = CreateUniverse(20000, 5);
  universe.notesLines = {"; comment", "25000: far"};
  EXPECT_EQ(WriteReport(universe, 0, dir),
            CrLf({"; comment", "25000: far", "--- end of notes ---", "", kFullHeaderW5, "",
                  "--- begin log ---"}));
  universe[7].note = "b";
  universe[3].note = "a";
  EXPECT_EQ(NotesSection(WriteReport(universe, 0, dir)),
            (std::vector<std::string>{"; comment", "25000: far", "    3 : a", "    7 : b"}));
}

TEST(NotesReport, SortsNotesByByteValue) {
  ScratchDir dir;
  Universe universe = CreateUniverse(100, 5);
  const char* notes[] = {"apple", "Zebra", "apple pie", "Apple", "b", "\xe9t\xe9", "B"};
  for (std::uint16_t s = 1; s <= 7; ++s) universe[s].note = notes[s - 1];
  EXPECT_EQ(NotesSection(WriteReport(universe, 0, dir)),
            (std::vector<std::string>{"  4 : Apple", "  7 : B", "  2 : Zebra", "  1 : apple",
                                      "  3 : apple pie", "  5 : b", "  6 : \xe9t\xe9"}));
}

TEST(NotesReport, EqualNotesKeepTheOrderOfSelectionWithExchange) {
  std::mt19937 random(7);
  const char* pool[] = {"a", "b", "a", "B", "ab", "a b", "b"};
  for (int round = 0; round < 200; ++round) {
    const auto n = static_cast<std::uint16_t>(1 + random() % 300);
    Universe universe = CreateUniverse(n, 5);
    const std::uint32_t noteChance = 1 + random() % 100;
    for (std::uint32_t s = 1; s <= n; ++s) {
      if (random() % 100 < noteChance) {
        universe[static_cast<std::uint16_t>(s)].note = pool[random() % std::size(pool)];
      }
    }
    universe[n].log = "keeps the file written";
    ScratchDir dir;
    std::vector<std::string> expected;
    const int width = NumberWidth(n);
    for (std::uint16_t s : LiteralNoteOrder(universe)) {
      std::string line = std::to_string(s);
      line.insert(0, static_cast<std::size_t>(std::max(0, width - static_cast<int>(line.size()))),
                  ' ');
      expected.push_back(line + " : " + universe[s].note);
    }
    ASSERT_EQ(NotesSection(WriteReport(universe, 0, dir)), expected) << "round " << round;
  }
}

TEST(NotesReport, ReadingTheFileBackGivesTheSameNotes) {
  ScratchDir dir;
  Universe universe = CreateUniverse(20000, 7);
  const Specials specials = {0, 1, 0, 0, 4455, 12345, 19999};
  universe[7].note = "a: note with: colons";
  universe[12345].note = "Zed";
  universe[20000].note = ";not a comment";
  universe[300].note = "dead end";
  universe[301].note = "dead end";
  universe[4455].note = "dock";
  universe[900].log = "port destroyed";
  universe[7].log = "both";
  ReadNotesFile(universe, dir / "missing_notes.txt", specials);
  ASSERT_EQ(universe[19999].note, "distance reference #2");

  const std::string text = WriteReport(universe, 0, dir);
  // ";" sorts before the letters; five-digit numbers take no leading blank.
  EXPECT_EQ(Lines(text)[0], "20000 : ;not a comment");
  EXPECT_NE(text.find("\r\n12345 : Zed\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n    7 : a: note with: colons\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n    7 : both\r\n"), std::string::npos);

  // The next run: the same notes, the label given again from the settings.
  Universe next = CreateUniverse(20000, 7);
  {
    ConsoleCapture capture;
    ReadNotesFile(next, dir / "game_notes.txt", specials);
  }
  for (std::uint32_t s = 1; s <= 20000; ++s) {
    const auto sector = static_cast<std::uint16_t>(s);
    ASSERT_EQ(next[sector].note, universe[sector].note) << s;
    ASSERT_EQ(next[sector].log, "") << s;
  }
  // With the distance references changed, the old label is not read back.
  Universe moved = CreateUniverse(20000, 6);
  {
    ConsoleCapture capture;
    ReadNotesFile(moved, dir / "game_notes.txt", {0, 1, 0, 0, 4455, 12345});
  }
  EXPECT_EQ(moved[19999].note, "");
  EXPECT_EQ(moved[12345].note, "Zed");
}

TEST(NotesReport, AFailedWriteKeepsTheOldNotes) {
  ScratchDir dir;
  const std::string name = dir / "game_notes.txt";
  Universe universe = CreateUniverse(100, 5);
  universe[5].note = "new";
  bool replaced = false;
  for (std::uint64_t k = 1;; ++k) {
    ASSERT_LT(k, 100u);
    WriteFile(name, "5 : old\r\n");
    ConsoleCapture capture;
    SetFileFaultAt(k);
    bool failed = false;
    try {
      WriteNotesReport(universe, 0, name);
    } catch (const IoError&) {
      failed = true;
    }
    SetFileFaultAt(0);
    EXPECT_FALSE(FileExists(name + ".tmp~")) << k;
    if (!failed) {
      EXPECT_EQ(NotesSection(ReadFile(name)), std::vector<std::string>{"  5 : new"});
      ASSERT_GT(k, 2u);
      break;
    }
    // The old notes, but for the last operation that can fail: the flush of
    // the directory after the rename, which leaves the new notes in place.
    EXPECT_FALSE(replaced) << k;
    const std::string now = ReadFile(name);
    replaced = now != "5 : old\r\n";
    if (replaced) {
      EXPECT_EQ(NotesSection(now), std::vector<std::string>{"  5 : new"}) << k;
    }
  }
  EXPECT_TRUE(replaced);
}
