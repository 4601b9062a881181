#include "capture/reference_copy.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "capture/port_file.h"
#include "capture/sector_file.h"
#include "tests/capture/capture_test_util.h"

namespace {

// Writes `name` afresh: a hard link left by a rotation must not carry the write
// over to its other name.
void WriteAfresh(const std::string& name, const std::string& bytes) {
  RemoveFile(name);
  WriteFile(name, bytes);
}

bool HasTemporaryFile(const ScratchDir& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (entry.path().filename().string().find(".tmp") != std::string::npos) return true;
  }
  return false;
}

TEST(ReferenceCopy, PreviousCopyBecomesTheBackup) {
  PhaseOutput out;
  const std::string ref = out / "g_ref.sct";
  const std::string bak = out / "g_bak.sct";
  WriteFile(ref, "old copy\r\n");
  WriteFile(bak, "older copy\r\n");
  Universe universe = CreateUniverse(9, 5);
  universe[1].warps = Warps({2});
  WriteSectorFile(universe, ref, out.log(), bak);
  EXPECT_EQ(ReadFile(ref), CrLf({"1 2"}));
  EXPECT_EQ(ReadFile(bak), "old copy\r\n");
  EXPECT_FALSE(HasTemporaryFile(out.dir()));
  // The rotation adds nothing to the phase's lines.
  EXPECT_EQ(out.console(), "writing sector cim file: " + ref + " .\n");
  EXPECT_EQ(out.changeLog(), " " + ref + ": 1 sectors written\r\n");
}

// A run killed between the rotation and the new copy leaves the backup and the
// copy as two names of one file; renaming a third name of that file over the
// backup changes nothing, so the next run must not leave that name behind.
TEST(ReferenceCopy, BackupAndCopyAlreadyOneFileLeaveNoTemporaryName) {
  PhaseOutput out;
  const std::string ref = out / "g_ref.sct";
  const std::string bak = out / "g_bak.sct";
  WriteFile(ref, "old copy\r\n");
  std::filesystem::create_hard_link(ref, bak);
  Universe universe = CreateUniverse(9, 5);
  universe[1].warps = Warps({2});
  WriteSectorFile(universe, ref, out.log(), bak);
  EXPECT_EQ(ReadFile(ref), CrLf({"1 2"}));
  EXPECT_EQ(ReadFile(bak), "old copy\r\n");
  EXPECT_FALSE(HasTemporaryFile(out.dir()));
}

TEST(ReferenceCopy, PortCopyRotatesTheSameWay) {
  PhaseOutput out;
  const std::string ref = out / "g_ref.prt";
  const std::string bak = out / "g_bak.prt";
  WriteFile(ref, "old ports\r\n");
  Universe universe = CreateUniverse(9, 5);
  universe[3].port = PortRecord{};
  WritePortFile(universe, ref, out.log(), bak);
  EXPECT_EQ(ReadFile(ref), CrLf({"3      0   0%      0   0%      0   0%"}));
  EXPECT_EQ(ReadFile(bak), "old ports\r\n");
  EXPECT_EQ(out.changeLog(), " " + ref + ": 1 ports written.\r\n");
}

TEST(ReferenceCopy, NoPreviousCopyLeavesNoBackup) {
  PhaseOutput out;
  const std::string ref = out / "g_ref.sct";
  const std::string bak = out / "g_bak.sct";
  Universe universe = CreateUniverse(9, 5);
  WriteSectorFile(universe, ref, out.log(), bak);
  EXPECT_TRUE(FileExists(ref));
  EXPECT_FALSE(FileExists(bak));

  // A backup left without a reference copy goes, as it would by a move.
  WriteFile(bak, "stale\r\n");
  RemoveFile(ref);
  WriteSectorFile(universe, ref, out.log(), bak);
  EXPECT_FALSE(FileExists(bak));
}

TEST(ReferenceCopy, ASecondNameLeftByAKilledRunIsReplaced) {
  PhaseOutput out;
  const std::string ref = out / "g_ref.sct";
  const std::string bak = out / "g_bak.sct";
  WriteFile(ref, "old copy\r\n");
  WriteFile(bak, "older copy\r\n");
  WriteFile(bak + ".tmp~", "half a backup");
  Universe universe = CreateUniverse(9, 5);
  universe[1].warps = Warps({2});
  WriteSectorFile(universe, ref, out.log(), bak);
  EXPECT_EQ(ReadFile(ref), CrLf({"1 2"}));
  EXPECT_EQ(ReadFile(bak), "old copy\r\n");
  EXPECT_FALSE(HasTemporaryFile(out.dir()));
}

TEST(ReferenceCopy, WithoutABackupNameTheOldCopyIsSimplyReplaced) {
  PhaseOutput out;
  const std::string ref = out / "g_ref.sct";
  WriteFile(ref, "old copy\r\n");
  Universe universe = CreateUniverse(9, 5);
  WriteSectorFile(universe, ref, out.log());
  EXPECT_EQ(ReadFile(ref), "");
  EXPECT_FALSE(FileExists(out / "g_bak.sct"));
}

// Fails each file operation of a write in turn: the previous reference copy
// stays whole until the rename that replaces it, and no temporary file stays
// behind. The last operation, the flush of the directory after that rename,
// fails with the new copy in place.
TEST(ReferenceCopy, FailureAtAnyStepKeepsThePreviousCopy) {
  PhaseOutput out;
  const std::string ref = out / "g_ref.sct";
  const std::string bak = out / "g_bak.sct";
  Universe universe = CreateUniverse(20000, 5);
  for (std::uint16_t s = 1; s <= 20000; ++s) {
    universe[s].warps = Warps({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});  // over one write block
  }
  WriteSectorFile(universe, ref, out.log());
  const std::string fresh = ReadFile(ref);
  ASSERT_GT(fresh.size(), std::size_t{1} << 20);

  const std::string oldRef = "old copy\r\n";
  const std::string oldBak = "older copy\r\n";
  WriteAfresh(ref, oldRef);
  WriteAfresh(bak, oldBak);
  SetFileFaultAt(0);
  WriteSectorFile(universe, ref, out.log(), bak);
  const std::uint64_t operations = FileOperationCount();
  // create, at least two writes, flush, close, link the backup, rename it,
  // rename, flush the directory.
  ASSERT_GE(operations, 9u);

  for (std::uint64_t k = 1; k <= operations; ++k) {
    WriteAfresh(ref, oldRef);
    WriteAfresh(bak, oldBak);
    SetFileFaultAt(k);
    bool failed = false;
    try {
      WriteSectorFile(universe, ref, out.log(), bak);
    } catch (const IoError&) {
      failed = true;
    }
    SetFileFaultAt(0);
    EXPECT_TRUE(failed) << k;
    EXPECT_EQ(ReadFile(ref), k < operations ? oldRef : fresh) << k;
    EXPECT_FALSE(HasTemporaryFile(out.dir())) << k;
    // The backup is never missing: the old one until the rename that replaces
    // it (the third last operation) has been done, the previous copy after.
    EXPECT_EQ(ReadFile(bak), k < operations - 1 ? oldBak : oldRef) << k;
  }

  WriteAfresh(ref, oldRef);
  WriteAfresh(bak, oldBak);
  WriteSectorFile(universe, ref, out.log(), bak);
  EXPECT_EQ(ReadFile(ref), fresh);
  EXPECT_EQ(ReadFile(bak), oldRef);
}

}  // namespace
