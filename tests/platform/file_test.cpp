#include "platform/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "tests/test_util.h"

namespace {
std::vector<std::string> ReadLines(const std::string& name) {
  LineReader reader;
  std::vector<std::string> lines;
  if (!reader.Open(name)) return {"<missing>"};
  std::string_view line;
  while (reader.Next(line)) lines.emplace_back(line);
  return lines;
}
}  // namespace

TEST(LineReader, AcceptsCrLfLfAndAnOpenLastLine) {
  ScratchDir dir;
  WriteFile(dir / "a", "one\r\ntwo\nthree\r\n\r\n\nlast");
  EXPECT_EQ(ReadLines(dir / "a"),
            (std::vector<std::string>{"one", "two", "three", "", "", "last"}));
  WriteFile(dir / "b", "");
  EXPECT_EQ(ReadLines(dir / "b"), std::vector<std::string>{});
  WriteFile(dir / "c", "x\r");
  EXPECT_EQ(ReadLines(dir / "c"), std::vector<std::string>{"x"});
  WriteFile(dir / "d", std::string("a\0b\n\r\r\n", 7));
  EXPECT_EQ(ReadLines(dir / "d"), (std::vector<std::string>{std::string("a\0b", 3), "\r"}));
}

TEST(LineReader, MissingFileIsNotAnError) {
  ScratchDir dir;
  EXPECT_EQ(ReadLines(dir / "none"), std::vector<std::string>{"<missing>"});
  LineReader reader;
  EXPECT_THROW(reader.Open(dir.path()), IoError);
}

TEST(LineReader, LinesLongerThanABlockAndManyBlocks) {
  ScratchDir dir;
  std::string longLine(3 << 20, 'x');
  std::string text = "first\n" + longLine + "\n";
  for (int i = 0; i < 300000; ++i) text += std::to_string(i) + "\r\n";
  WriteFile(dir / "big", text);
  std::vector<std::string> lines = ReadLines(dir / "big");
  ASSERT_EQ(lines.size(), 300002u);
  EXPECT_EQ(lines[1], longLine);
  EXPECT_EQ(lines[2], "0");
  EXPECT_EQ(lines.back(), "299999");
}

TEST(LineReader, NothingToReadBeforeAnOpenFile) {
  ScratchDir dir;
  LineReader reader;
  std::string_view line;
  EXPECT_FALSE(reader.Next(line));
  EXPECT_FALSE(reader.Open(dir / "none"));
  EXPECT_FALSE(reader.Next(line));
}

// Whole-file and head reads at the sizes where the read buffer grows.
TEST(Files, WholeFilesAndHeadsOfEverySize) {
  ScratchDir dir;
  for (std::size_t size : {0, 1, 4095, 4096, 4097, 8192, 65537, 300000}) {
    std::string text(size, 'x');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 23);
    WriteFile(dir / "f", text);
    std::string bytes = "stale";
    ASSERT_TRUE(ReadFileBytes(dir / "f", bytes));
    EXPECT_EQ(bytes, text) << size;
    for (std::size_t limit : {std::size_t{0}, std::size_t{10}, std::size_t{4096}, std::size_t{5000},
                              size, size + 1}) {
      ASSERT_TRUE(ReadFileHead(dir / "f", limit, bytes));
      EXPECT_EQ(bytes, text.substr(0, limit)) << size << " " << limit;
    }
  }
}

// A pipe has no size to go by: the buffer grows as the bytes arrive.
TEST(Files, WholeReadOfAPipe) {
  ScratchDir dir;
  const std::string name = dir / "pipe";
  ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0);
  std::string text(200000, 'p');
  for (std::size_t i = 0; i < text.size(); i += 7) text[i] = '\n';
  std::thread writer([&] { WriteFile(name, text); });
  std::string bytes;
  EXPECT_TRUE(ReadFileBytes(name, bytes));
  writer.join();
  EXPECT_EQ(bytes, text);
}

TEST(OutputFile, ReplacesOnlyOnCommit) {
  ScratchDir dir;
  WriteFile(dir / "r.txt", "old\r\n");
  {
    OutputFile file(dir / "r.txt");
    file.WriteLine("new");
    EXPECT_EQ(ReadFile(dir / "r.txt"), "old\r\n");
  }
  EXPECT_EQ(ReadFile(dir / "r.txt"), "old\r\n");
  EXPECT_FALSE(FileExists(dir / "r.txt.tmp~"));
  {
    OutputFile file(dir / "r.txt");
    file.WriteLine("new");
    file.Commit();
  }
  EXPECT_EQ(ReadFile(dir / "r.txt"), "new\r\n");
  EXPECT_FALSE(FileExists(dir / "r.txt.tmp~"));
}

TEST(OutputFile, AppendsToTheEnd) {
  ScratchDir dir;
  for (int i = 0; i < 2; ++i) {
    OutputFile log(dir / "log.txt", OutputFile::Mode::Append);
    log.WriteLine("line " + std::to_string(i));
    log.Commit();
  }
  EXPECT_EQ(ReadFile(dir / "log.txt"), "line 0\r\nline 1\r\n");
}

TEST(OutputFile, LargeWritesArriveWhole) {
  ScratchDir dir;
  std::string big(5 << 20, 'b');
  OutputFile file(dir / "big");
  file.Write("a");
  file.Write(big);
  file.WriteLine("c");
  file.Commit();
  EXPECT_EQ(ReadFile(dir / "big"), "a" + big + "c\r\n");
}

TEST(OutputFile, InjectedFaultsThrowAndLeaveTheOldFile) {
  ScratchDir dir;
  WriteFile(dir / "f", "good");
  for (std::uint64_t k = 1; k <= 3; ++k) {  // create, write, close
    SetFileFaultAt(k);
    EXPECT_THROW(
        {
          OutputFile file(dir / "f");
          file.Write("bad");
          file.Commit();
        },
        IoError)
        << k;
    SetFileFaultAt(0);
    EXPECT_EQ(ReadFile(dir / "f"), "good");
    EXPECT_FALSE(FileExists(dir / "f.tmp~"));
  }
}

// A durable file's data reaches the disk before it is closed and renamed, and
// its directory after the rename; an appended file's directory only when the
// file was empty (new). Rebuilt files are never flushed.
TEST(OutputFile, DurableFilesFlushTheirDataBeforeTheRenameAndTheDirectoryAfter) {
  ScratchDir dir;
  std::vector<std::string> log;
  auto operations = [&](const std::string& name, OutputFile::Mode mode,
                        OutputFile::Durability durability) {
    log.clear();
    RecordFileOperations(&log);
    OutputFile file(name, mode, durability);
    file.WriteLine("x");
    file.Commit();
    RecordFileOperations(nullptr);
    return log;
  };
  using Mode = OutputFile::Mode;
  using Durability = OutputFile::Durability;
  const std::string f = dir / "f";
  const std::string d = "flush directory " + dir.path();
  EXPECT_EQ(operations(f, Mode::Replace, Durability::Durable),
            (std::vector<std::string>{"create " + f + ".tmp~", "write " + f, "flush " + f,
                                      "close " + f, "rename " + f, d}));
  EXPECT_EQ(operations(f, Mode::Replace, Durability::Rebuilt),
            (std::vector<std::string>{"create " + f + ".tmp~", "write " + f, "close " + f,
                                      "rename " + f}));
  const std::string g = dir / "g";
  EXPECT_EQ(operations(g, Mode::Append, Durability::Durable),
            (std::vector<std::string>{"create " + g, "write " + g, "flush " + g, "close " + g, d}));
  EXPECT_EQ(operations(g, Mode::Append, Durability::Durable),
            (std::vector<std::string>{"create " + g, "write " + g, "flush " + g, "close " + g}));
  EXPECT_EQ(ReadFile(g), "x\r\nx\r\n");
  // A device has nothing to write through: no error.
  EXPECT_NO_THROW(operations("/dev/null", Mode::Append, Durability::Durable));

  // Under DirectoryFlushes each directory is flushed once, by Run(), after the
  // renames; one destroyed before Run() flushes nothing.
  const std::string sub = dir / "sub/";
  ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
  for (const bool run : {true, false}) {
    DirectoryFlushes flushes;
    EXPECT_EQ(operations(f, Mode::Replace, Durability::Durable).back(), "rename " + f);
    operations(sub + "h", Mode::Replace, Durability::Durable);
    operations(dir / "i", Mode::Replace, Durability::Durable);
    log.clear();
    RecordFileOperations(&log);
    if (run) flushes.Run();
    RecordFileOperations(nullptr);
    const std::vector<std::string> expected = {d, "flush directory " + sub};
    EXPECT_EQ(log, run ? expected : std::vector<std::string>());
  }
}

TEST(Files, MovesDeletesLinksAndProbes) {
  ScratchDir dir;
  WriteFile(dir / "a", "A");
  EXPECT_TRUE(MoveFile(dir / "a", dir / "b"));
  EXPECT_FALSE(FileExists(dir / "a"));
  LinkOrCopyFile(dir / "b", dir / "c");
  EXPECT_EQ(ReadFile(dir / "c"), "A");
  EXPECT_TRUE(RemoveFile(dir / "b"));
  EXPECT_FALSE(RemoveFile(dir / "b"));
  EXPECT_EQ(ReadFile(dir / "c"), "A");
  EXPECT_TRUE(CheckDirWritable(dir.path()));
  EXPECT_FALSE(FileExists(dir / "korvan.$$$"));
  EXPECT_FALSE(CheckDirWritable(dir / "none/"));
  std::string bytes;
  EXPECT_FALSE(ReadFileBytes(dir / "none", bytes));
  EXPECT_TRUE(ReadFileBytes(dir / "c", bytes));
  EXPECT_EQ(bytes, "A");
}

TEST(Files, ADirectoryInPlaceOfAFileIsNamedAsSuch) {
  ScratchDir dir;
  auto message = [](auto&& operation) {
    try {
      operation();
    } catch (const IoError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  const std::string name = dir.path() + "sub";
  ASSERT_EQ(::mkdir(name.c_str(), 0755), 0);
  std::string bytes;
  LineReader reader;
  EXPECT_EQ(message([&] { reader.Open(name); }), name + ": Is a directory");
  EXPECT_EQ(message([&] { ReadFileBytes(name, bytes); }), name + ": Is a directory");
  EXPECT_EQ(message([&] { ReadFileHead(name, 10, bytes); }), name + ": Is a directory");
  EXPECT_EQ(message([&] { OutputFile(name, OutputFile::Mode::Append); }),
            name + ": Is a directory");
  EXPECT_FALSE(FileExists(name));
}
