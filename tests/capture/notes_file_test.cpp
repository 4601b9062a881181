#include "capture/notes_file.h"

#include <gtest/gtest.h>

#include "tests/capture/side_inputs_util.h"
#include "tests/test_util.h"

namespace {

// Reads `text` as the log file; returns the console text.
std::string ReadLog(Universe& universe, const std::string& text) {
  ScratchDir dir;
  const std::string name = dir / "game_log.txt";
  WriteFile(name, text);
  ConsoleCapture capture;
  ReadLogFile(universe, name);
  EXPECT_EQ(capture.text(), "reading log: ..." + Last30(name) + " .\n");
  return capture.text();
}

void ReadNotes(Universe& universe, const std::string& text, const Specials& specials) {
  ScratchDir dir;
  const std::string name = dir / "game_notes.txt";
  WriteFile(name, text);
  ConsoleCapture capture;
  ReadNotesFile(universe, name, specials);
  EXPECT_EQ(capture.text(), "reading notes: ..." + Last30(name) + " .\n");
}

const Specials kNoSpecials = {0, 1, 0, 0, 0};

}  // namespace

TEST(LogFile, ReadsOneRemarkPerSector) {
  Universe universe = CreateUniverse(2000, 5);
  ReadLog(universe,
          "12: old\n"
          "12: IGNORE this\n"   // skipped: sector 12 keeps its text
          "13: ignore this\n"   // the test is case-sensitive
          "1234: port destroyed\r\n"
          "1235:xport destroyed\n"  // the first character after the colon goes
          "14:   spaced out  \t\n"
          ";15: a comment\n"
          "16:\n"  // one colon-separated word only
          "\n"     // an empty line does not end the log
          " 17 \t: padded number\n"
          "18: first\n18: second\n"
          "19:: double: colon\n"
          "0: zero\n2001: too large\nabc: no number\n"
          "20: upper case IGNORE anywhere\n"
          "21: last line without a line end");
  EXPECT_EQ(universe[12].log, "old");
  EXPECT_EQ(universe[13].log, "ignore this");
  EXPECT_EQ(universe[1234].log, "port destroyed");
  EXPECT_EQ(universe[1235].log, "port destroyed");
  EXPECT_EQ(universe[14].log, "spaced out");
  EXPECT_EQ(universe[15].log, "");
  EXPECT_EQ(universe[16].log, "");
  EXPECT_EQ(universe[17].log, "padded number");
  EXPECT_EQ(universe[18].log, "second");
  EXPECT_EQ(universe[19].log, "double: colon");
  EXPECT_EQ(universe[20].log, "");
  EXPECT_EQ(universe[21].log, "last line without a line end");
  EXPECT_EQ(universe[1].note, "");
}

TEST(LogFile, MissingFileWritesNothing) {
  ScratchDir dir;
  Universe universe = CreateUniverse(10, 5);
  ConsoleCapture capture;
  ReadLogFile(universe, dir / "none_log.txt");
  EXPECT_EQ(capture.text(), "");
}

TEST(NotesFile, StopsAtTheEndLine) {
  Universe universe = CreateUniverse(100, 5);
  ReadNotes(universe, "2: two\n--- end of notes ---\n3: three\n", kNoSpecials);
  EXPECT_EQ(universe[2].note, "two");
  EXPECT_EQ(universe[3].note, "");
}

// Empty and blank lines are skipped; every other line not taken as a note is
// kept as it is, in file order, up to the end line.
TEST(NotesFile, KeepsTheLinesItDoesNotTake) {
  Universe universe = CreateUniverse(100, 5);
  ReadNotes(universe,
            "2: two\r\n   \r\n\r\n\t \n; comment: 5\r\n3: three\r\n"
            "no colon\r\n4:\r\n x : y\r\n101: far \r\n 0: zero\r\n"
            "--- end of notes ---\r\n; after the end\r\n",
            kNoSpecials);
  EXPECT_EQ(universe[2].note, "two");
  EXPECT_EQ(universe[3].note, "three");
  EXPECT_EQ(universe.notesLines,
            (std::vector<std::string>{"; comment: 5", "no colon", "4:", " x : y", "101: far ",
                                      " 0: zero"}));
}

TEST(NotesFile, ReadsTheTextAfterTheFirstColon) {
  Universe universe = CreateUniverse(100, 5);
  ReadNotes(universe,
            "17: dead end, watch out\n"
            "5: first\n5:\n"      // nothing after the colon: skipped
            "6: first\n6:   \n"   // only blanks: the note becomes empty
            ";7: comment\n"
            "8:no blank: colons kept \n"
            "101: above n\n"
            "9: IGNORE holds only for the log\n",
            kNoSpecials);
  EXPECT_EQ(universe[17].note, "dead end, watch out");
  EXPECT_EQ(universe[5].note, "first");
  EXPECT_EQ(universe[6].note, "");
  EXPECT_EQ(universe[7].note, "");
  EXPECT_EQ(universe[8].note, "no blank: colons kept");
  EXPECT_EQ(universe[9].note, "IGNORE holds only for the log");
  EXPECT_EQ(universe[1].note, "terra");
}

TEST(NotesFile, DistanceReferenceLabelsFollowTheSettings) {
  Universe universe = CreateUniverse(100, 7);
  const Specials specials = {0, 1, 0, 0, 0, 40, 50};
  ReadNotes(universe,
            "40: distance reference #2\n"
            "50: distance reference #2\n"
            "60: distance reference #2\n"
            "70: distance reference\n",
            specials);
  EXPECT_EQ(universe[40].note, "distance reference #1");
  EXPECT_EQ(universe[50].note, "distance reference #2");
  EXPECT_EQ(universe[60].note, "");
  EXPECT_EQ(universe[70].note, "distance reference");
}

TEST(NotesFile, LabelsOnlySetSectorsWithoutANote) {
  Universe universe = CreateUniverse(100, 8);
  // Rylos not set; stardock and terra noted in the file; a distance reference
  // on alpha centauri's sector keeps that label.
  const Specials specials = {0, 1, 20, 0, 30, 20, 31, 32};
  ReadNotes(universe, "1: home\n30: dock\n32: mine\n", specials);
  EXPECT_EQ(universe[1].note, "home");
  EXPECT_EQ(universe[20].note, "alpha centauri");
  EXPECT_EQ(universe[30].note, "dock");
  EXPECT_EQ(universe[31].note, "distance reference #2");
  EXPECT_EQ(universe[32].note, "mine");
  for (std::uint16_t s : {2, 3, 4, 5}) EXPECT_EQ(universe[s].note, "") << s;
}

TEST(NotesFile, MissingFileStillGivesTheLabels) {
  ScratchDir dir;
  Universe universe = CreateUniverse(100, 6);
  // A special number above n is never used as an index.
  const Specials specials = {0, 1, 2, 3, 400, 5};
  ConsoleCapture capture;
  ReadNotesFile(universe, dir / "none_notes.txt", specials);
  EXPECT_EQ(capture.text(), "");
  EXPECT_EQ(universe[1].note, "terra");
  EXPECT_EQ(universe[2].note, "alpha centauri");
  EXPECT_EQ(universe[3].note, "rylos");
  EXPECT_EQ(universe[5].note, "distance reference #1");
}
