#include "report/map_changes.h"

#include <gtest/gtest.h>

#include "platform/file.h"
#include "tests/test_util.h"

namespace {

std::string Logged(const MapChanges& changes) {
  ScratchDir dir;
  OutputFile log(dir / "log.txt");
  WriteMapChanges(changes, "c:\\games\\g.map", log);
  log.Commit();
  return ReadFile(dir / "log.txt");
}

}  // namespace

// Each kind of the record ascends by sector on its own; the change log has a
// sector's lines together, its port's before its warps', and leaves out what
// only the atlas shows (ports found, classes, capacities that fell, warps gone).
TEST(WriteMapChanges, WritesEachSectorsLinesTogetherInSectorOrder) {
  MapChanges changes;
  changes.state = MapChangesState::compared;
  changes.reclen = 27;
  changes.records = 100;
  changes.tooManyRecords = true;
  changes.explored = {2};
  changes.newPort = {4};
  changes.portGone = {3, 12};
  changes.classChanged = {{5, 1, 2}};
  changes.up = {{5, 1, 1320}, {5, 2, 7}, {9, 0, 500}};
  changes.down = {{6, 0, 40}};
  const std::uint16_t found3[] = {812, 9903};
  const std::uint16_t found7[] = {8};
  const std::uint16_t gone7[] = {1};
  changes.AddWarps(changes.newWarps, 3, found3);
  changes.AddWarps(changes.newWarps, 5, {});
  changes.AddWarps(changes.newWarps, 7, found7);
  changes.AddWarps(changes.warpsGone, 7, gone7);
  EXPECT_EQ(Logged(changes),
            CrLf({" c:\\games\\g.map: (reclen=27) ",
                  "  comparing recent cim data with previous map data...",
                  "  3: new port found.", "  3: new warps found (812 9903)",
                  "  5: organics up by 1320.", "  5: equipment up by 7.", "  5: new warps found ()",
                  "  7: new warps found (8)", "  9: fuel ore up by 500.", "  12: new port found.",
                  "  warning - map file contains too many sectors - proceed with caution.",
                  "  100 sectors read."}));

  changes.tooManyRecords = false;
  changes.tooFewRecords = true;
  changes.portGone.clear();
  changes.up.clear();
  changes.newWarps.clear();
  EXPECT_EQ(Logged(changes),
            CrLf({" c:\\games\\g.map: (reclen=27) ",
                  "  comparing recent cim data with previous map data...",
                  "  warning - map file contains too few sectors - proceed with caution.",
                  "  100 sectors read."}));
}

TEST(WriteMapChanges, AMapThatCouldNotBeComparedGetsOneLineAMissingOneNone) {
  MapChanges changes;
  changes.state = MapChangesState::unusable;
  EXPECT_EQ(Logged(changes), CrLf({" c:\\games\\g.map: map file unusable - not compared."}));
  changes.state = MapChangesState::noMapFile;
  EXPECT_EQ(Logged(changes), "");
  changes.state = MapChangesState::notAsked;
  EXPECT_EQ(Logged(changes), "");
}
