#include "universe/map_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <random>

#include "platform/console.h"
#include "report/map_changes.h"
#include "tests/test_util.h"
#include "text/text.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes += static_cast<char>(v);
  return bytes;
}

void SetWarps(Universe& u, std::uint16_t s, std::vector<std::uint16_t> targets,
              std::vector<std::uint32_t> kinds = {}, std::uint8_t inCount = 0) {
  WarpList list;
  list.kinds = kinds.empty() ? std::vector<std::uint32_t>(targets.size(), oneWayOut) : kinds;
  list.targets = std::move(targets);
  list.inCount = inCount;
  u[s].warps = std::move(list);
}

void SetPort(Universe& u, std::uint16_t s, std::array<std::uint16_t, 3> amount,
             std::array<std::uint8_t, 3> percent, std::uint8_t buying = 0,
             std::uint8_t reporting = 1) {
  PortRecord port;
  port.reporting = reporting;
  port.buying = buying;
  port.amount = amount;
  port.percent = percent;
  u[s].port = port;
}

struct CaptureConsole {
  std::string text;
  CaptureConsole() { ConsoleCaptureTo(&text); }
  ~CaptureConsole() { ConsoleCaptureTo(nullptr); }
};

struct FaultOff {
  ~FaultOff() { SetFileFaultAt(0); }
};

std::string WriteQuietly(const Universe& u, const std::string& name) {
  CaptureConsole console;
  WriteMapFile(u, name);
  return ReadFile(name);
}

std::string Record(const std::string& map, std::size_t s) {
  const std::size_t reclen = static_cast<unsigned char>(map[0]);
  return map.substr(1 + (s - 1) * reclen, reclen);
}

struct Comparison {
  std::string log;
  std::string console;
};

Comparison Compare(const Universe& u, const std::string& mapName, const ScratchDir& dir,
                   MapChanges* changes = nullptr) {
  const std::string logName = dir / "changelog.txt";
  RemoveFile(logName);
  Comparison result;
  {
    CaptureConsole console;
    OutputFile log(logName, OutputFile::Mode::Append);
    const MapChanges found = CompareMapFile(
        u, mapName, changes ? MapChangesDetail::atlas : MapChangesDetail::changeLog);
    WriteMapChanges(found, mapName, log);
    if (changes) *changes = found;
    log.Commit();
    result.console = console.text;
  }
  result.log = ReadFile(logName);
  RemoveFile(logName);
  return result;
}

std::size_t FilesIn(const ScratchDir& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()),
                                                std::filesystem::directory_iterator()));
}

TEST(WriteMapFile, LaysOutEveryFieldOfARecord) {
  ScratchDir dir;
  Universe u = CreateUniverse(40, 5);
  SetPort(u, 1, {1000, 0x1234, 2}, {50, 100, 7}, /*buying=*/6);
  u[1].hopsTo[kMslSlot] = 3;
  u[1].hopsFrom[kMslSlot] = 4;
  SetWarps(u, 1, {10, 22, 37}, {twoWay, oneWayOut, oneWayIn}, 1);
  SetWarps(u, 2, {3, 4, 5, 6, 7, 8});
  u[4].explored = 1;
  u[4].bubble = BubbleRecord{1, 0, 1, 258};
  u[5].bubble = BubbleRecord{2, 1, 0, 7};

  const std::string map = WriteQuietly(u, dir / "g.map");
  ASSERT_EQ(map.size(), 1u + 40u * 27u);
  EXPECT_EQ(map[0], 27);
  EXPECT_EQ(Record(map, 1), Bytes({216, 0xE8, 0x03, 50, 0x34, 0x12, 100, 2, 0, 7, 3, 4, 0, 0, 1,
                                   0x2A, 0x4E, 0x16, 0x00, 0x65, 0x9C, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Record(map, 2), Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0,
                                   3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0}));
  EXPECT_EQ(Record(map, 3), Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0,
                                   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  // Only a bottom sector (depth 1) carries flag 2; every bubble keeps its gate.
  EXPECT_EQ(Record(map, 4).substr(0, 15),
            Bytes({3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 2, 1, 0}));
  EXPECT_EQ(Record(map, 5).substr(0, 15),
            Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 7, 0, 0}));
}

TEST(WriteMapFile, UniverseWithoutWarpsHasFifteenByteRecords) {
  ScratchDir dir;
  Universe u = CreateUniverse(20, 5);
  SetPort(u, 3, {5, 6, 7}, {100, 100, 100});
  u[4].explored = 1;
  const std::string map = WriteQuietly(u, dir / "g.map");
  ASSERT_EQ(map.size(), 1u + 20u * 15u);
  EXPECT_EQ(map[0], 15);
  for (std::size_t s = 1; s <= 20; ++s) EXPECT_EQ(Record(map, s)[14], 0) << s;
  EXPECT_EQ(Record(map, 3)[0], 8 + 16);
  EXPECT_EQ(Record(map, 4)[0], 1);
}

TEST(WriteMapFile, CapsWarpSlotsAt120AndKeepsOutsideTargetsAsRead) {
  ScratchDir dir;
  Universe u = CreateUniverse(200, 5);
  std::vector<std::uint16_t> many;
  for (std::uint16_t t = 1; t <= 130; ++t) many.push_back(t);
  SetWarps(u, 1, many);
  SetWarps(u, 2, {0, 30000});

  const std::string map = WriteQuietly(u, dir / "g.map");
  ASSERT_EQ(map.size(), 1u + 200u * 255u);
  EXPECT_EQ(static_cast<unsigned char>(map[0]), 255);
  const std::string first = Record(map, 1);
  EXPECT_EQ(first.substr(15 + 2 * 119), Bytes({120, 0}));  // the 120th entry ends the record
  EXPECT_EQ(Record(map, 2).substr(15, 4), Bytes({0, 0, 0x30, 0x75}));
}

TEST(WriteMapFile, ConsoleShowsReclenAndTheLastThirtyCharactersWithoutDots) {
  ScratchDir dir;
  ASSERT_LE(dir.path().size(), 28u);  // room for a name of 33 characters
  Universe u = CreateUniverse(5, 5);
  SetWarps(u, 1, {2, 3});
  const std::string name33 = dir.path() + std::string(33 - dir.path().size() - 4, 'a') + ".map";
  const std::string name34 = dir.path() + std::string(34 - dir.path().size() - 4, 'b') + ".map";
  CaptureConsole console;
  WriteMapFile(u, name33);
  WriteMapFile(u, name34);
  EXPECT_EQ(console.text, "writing map (reclen=19): " + name33 + " .\n" +
                              "writing map (reclen=19): " + name34.substr(4) + " .\n");
}

TEST(WriteMapFile, AFailedWriteLeavesThePreviousMapIntact) {
  ScratchDir dir;
  Universe before = CreateUniverse(10, 5);
  SetWarps(before, 1, {2});
  const std::string old = WriteQuietly(before, dir / "g.map");
  Universe after = CreateUniverse(10, 5);
  SetWarps(after, 3, {4, 5, 6});

  FaultOff faultOff;
  int failures = 0;
  for (std::uint64_t k = 1; k < 20; ++k) {
    SetFileFaultAt(k);
    try {
      WriteQuietly(after, dir / "g.map");
      break;
    } catch (const IoError&) {
      ++failures;
      EXPECT_EQ(ReadFile(dir / "g.map"), old) << "fault at operation " << k;
      EXPECT_EQ(FilesIn(dir), 1u) << "fault at operation " << k;
    }
  }
  SetFileFaultAt(0);
  EXPECT_GE(failures, 3);  // create, write, close and rename can each fail
  EXPECT_EQ(ReadFile(dir / "g.map").size(), 1u + 10u * 21u);  // no trace of the old reclen
  EXPECT_EQ(FilesIn(dir), 1u);
}

TEST(CompareMapFile, RoundTripLogsTheChangesInSectorOrder) {
  ScratchDir dir;
  Universe before = CreateUniverse(30, 5);
  Universe now = CreateUniverse(30, 5);
  // Sector 2: organics 3000 at 50% then at 40% (5882 -> 7317); equipment falls by one.
  SetPort(before, 2, {3000, 3000, 100}, {100, 50, 100});
  SetPort(now, 2, {3000, 3000, 99}, {100, 40, 100});
  // Sector 3: the map's oneWayIn entry is no warp of the sector's own.
  SetWarps(before, 3, {4, 5, 9}, {twoWay, oneWayOut, oneWayIn}, 1);
  SetWarps(now, 3, {4, 5});
  SetWarps(before, 6, {7, 8}, {twoWay, twoWay});
  SetWarps(now, 6, {7, 8, 12});
  SetPort(now, 6, {1, 1, 1}, {100, 100, 100});  // a port the map lacks: no line
  SetWarps(before, 10, {11});  // lost its list
  // Seven warps: only six are compared, so the sector always shows, with no list.
  SetWarps(before, 12, {13, 14, 15, 16, 17, 18, 19});
  SetWarps(now, 12, {13, 14, 15, 16, 17, 18, 19});
  SetPort(now, 14, {1, 1, 1}, {100, 100, 100});
  SetPort(before, 15, {1, 1, 1}, {100, 100, 100});  // the map's port the merged data lack
  SetWarps(before, 16, {3, 20, 25});
  SetWarps(now, 16, {3, 17, 20, 25, 26});
  // A rise of exactly one percent is not logged, one more unit is.
  SetPort(before, 20, {500, 500, 500}, {100, 100, 100});
  SetPort(now, 20, {505, 500, 506}, {100, 100, 100});
  SetPort(before, 22, {1000, 0, 0}, {100, 0, 0});
  SetPort(now, 22, {2000, 0, 0}, {100, 0, 0});
  // Capacities beyond 16 bits: 700 at 0% is 70000, 1000 at 0% is 100000.
  SetPort(before, 25, {0, 700, 0}, {0, 0, 0});
  SetPort(now, 25, {0, 1000, 0}, {0, 0, 0});
  SetWarps(now, 28, {29});

  const std::string name = dir / "g.map";
  WriteQuietly(before, name);
  // Collecting the changes for the atlas leaves the log as it is.
  MapChanges changes;
  const Comparison result = Compare(now, name, dir, &changes);
  EXPECT_EQ(changes.portGone, std::vector<std::uint16_t>{15});
  EXPECT_EQ(changes.newWarps.size(), 5u);
  EXPECT_EQ(result.log, CrLf({" " + name + ": (reclen=29) ",
                              "  comparing recent cim data with previous map data...",
                              "  2: organics up by 1435.",
                              "  6: new warps found (12)",
                              "  10: new warps found ()",
                              "  12: new warps found ()",
                              "  15: new port found.",
                              "  16: new warps found (17 26)",
                              "  20: equipment up by 6.",
                              "  22: fuel ore up by 1000.",
                              "  25: organics up by 30000.",
                              "  28: new warps found (29)",
                              "  30 sectors read."}));
  EXPECT_EQ(result.console, "reading map file: " + ShortFileName(name) + " (reclen=29) .\n");
}

TEST(CompareMapFile, ASectorListingSector20000NeverMatches) {
  ScratchDir dir;
  Universe u = CreateUniverse(20000, 5);
  SetWarps(u, 5, {3, 20000}, {twoWay, oneWayOut});  // 20000 reads back as kind 1, target 0
  SetWarps(u, 7, {20000}, {twoWay});                // 40000 reads back as kind 2, skipped
  WriteQuietly(u, dir / "g.map");
  SetWarps(u, 5, {3, 20000});
  SetWarps(u, 7, {20000});
  EXPECT_EQ(
      Compare(u, dir / "g.map", dir).log,
      CrLf({" " + dir / "g.map" + ": (reclen=19) ",
            "  comparing recent cim data with previous map data...", "  5: new warps found (20000)",
            "  7: new warps found (20000)", "  20000 sectors read."}));
}

TEST(CompareMapFile, WarnsWhenTheRecordCountDiffersFromN) {
  ScratchDir dir;
  const std::string name = dir / "g.map";
  const std::string head = " " + name + ": (reclen=15) ";
  const std::string comparing = "  comparing recent cim data with previous map data...";
  const std::string tooMany =
      "  warning - map file contains too many sectors - proceed with caution.";
  const std::string tooFew = "  warning - map file contains too few sectors - proceed with caution.";

  WriteQuietly(CreateUniverse(200, 5), name);
  const std::string map200 = ReadFile(name);
  Universe u = CreateUniverse(100, 5);
  EXPECT_EQ(Compare(u, name, dir).log, CrLf({head, comparing, tooMany, "  100 sectors read."}));

  WriteFile(name, map200.substr(0, 1 + 50 * 15));
  EXPECT_EQ(Compare(u, name, dir).log, CrLf({head, comparing, tooFew, "  50 sectors read."}));

  // A partial last record is ignored.
  WriteFile(name, map200.substr(0, 1 + 100 * 15 - 4));
  EXPECT_EQ(Compare(u, name, dir).log, CrLf({head, comparing, tooFew, "  99 sectors read."}));

  // Bytes left after the n-th record, even too few for a record, are too many.
  WriteFile(name, map200.substr(0, 1 + 100 * 15 + 3));
  EXPECT_EQ(Compare(u, name, dir).log, CrLf({head, comparing, tooMany, "  100 sectors read."}));

  WriteFile(name, map200.substr(0, 1));
  EXPECT_EQ(Compare(u, name, dir).log, CrLf({head, comparing, tooFew, "  0 sectors read."}));
}

TEST(CompareMapFile, UnusableOrMissingMapIsNotCompared) {
  ScratchDir dir;
  const std::string name = dir / "g.map";
  Universe u = CreateUniverse(10, 5);
  const std::string unusable = CrLf({" " + name + ": map file unusable - not compared."});

  MapChanges changes;
  WriteFile(name, "");
  Comparison result = Compare(u, name, dir, &changes);
  EXPECT_EQ(result.log, unusable);
  EXPECT_EQ(result.console, "");
  EXPECT_EQ(changes.state, MapChangesState::unusable);

  WriteFile(name, Bytes({14}) + std::string(140, '\0'));
  result = Compare(u, name, dir);
  EXPECT_EQ(result.log, unusable);
  EXPECT_EQ(result.console, "");

  RemoveFile(name);
  result = Compare(u, name, dir, &changes);
  EXPECT_EQ(result.log, "");
  EXPECT_EQ(result.console, "");
  EXPECT_EQ(changes.state, MapChangesState::noMapFile);
}

// Garbage of every length against universes of every size: the comparison ends
// with its count line and never reads past the bytes it has (run with sanitizers).
TEST(CompareMapFile, SurvivesArbitraryBytes) {
  ScratchDir dir;
  const std::string name = dir / "g.map";
  std::mt19937 random(2024);
  for (int round = 0; round < 300; ++round) {
    const std::uint16_t n = static_cast<std::uint16_t>(1 + random() % 60);
    Universe u = CreateUniverse(n, 5);
    for (std::uint16_t s = 1; s <= n; ++s) {
      if (random() % 3 == 0) SetPort(u, s, {1, 2, 3}, {0, 50, 200});
      if (random() % 2 == 0) {
        std::vector<std::uint16_t> targets(random() % 9);
        for (auto& t : targets) t = static_cast<std::uint16_t>(random());
        SetWarps(u, s, targets);
      }
    }
    std::string bytes(random() % 2000, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    if (!bytes.empty() && round % 2 == 0) bytes[0] = static_cast<char>(15 + random() % 241);
    WriteFile(name, bytes);

    const std::string log = Compare(u, name, dir).log;
    const bool usable = !bytes.empty() && static_cast<unsigned char>(bytes[0]) >= 15;
    if (usable) {
      const std::size_t reclen = static_cast<unsigned char>(bytes[0]);
      const std::size_t records = std::min<std::size_t>(n, (bytes.size() - 1) / reclen);
      EXPECT_TRUE(log.ends_with("  " + std::to_string(records) + " sectors read.\r\n")) << log;
    } else {
      EXPECT_TRUE(log.ends_with(": map file unusable - not compared.\r\n")) << log;
    }
  }
}

}  // namespace
