// The file system as the run sees it: existence tests, deletes and moves, reading
// a text file line by line, writing text files through one buffered stream, and
// whole-file byte access. This is the only place that calls the operating system
// for files.
//
// Failures of a file the run decided to use throw IoError, which the entry turns
// into one "error:  " line and exit code 2. Files that do not exist are reported
// by return values, since every reader skips a missing input without a message.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// An input/output failure: the file it concerns and the system's error text.
class IoError : public std::runtime_error {
 public:
  IoError(const std::string& fileName, int errorNumber);
  IoError(const std::string& fileName, const std::string& reason);
  const std::string& fileName() const { return fileName_; }

 private:
  std::string fileName_;
};

bool FileExists(const std::string& name);

// True when `dir` names an existing directory; `dir` is empty (the current
// directory) or a directory path as the command line gives it.
bool DirectoryExists(const std::string& dir);

// Deletes `name`; false when it did not exist or could not be deleted.
bool RemoveFile(const std::string& name);

// Renames `from` to `to`, replacing `to`; false when that fails.
bool MoveFile(const std::string& from, const std::string& to);

// MoveFile for a file that holds what the player cannot get back: its new name
// is written through to the disk as a durable file's is when it is committed
// (the directory flushed by the DirectoryFlushes in force, or at once; on
// Windows the rename itself is written through). False when the rename fails;
// a failed flush of the directory throws IoError naming `to`.
bool MoveFileDurably(const std::string& from, const std::string& to);

// Makes `to` a second name of `from` (a hard link), or a copy of it where links
// are not supported. `to` must not exist. Throws IoError when neither works.
void LinkOrCopyFile(const std::string& from, const std::string& to);

// Reads the whole file into `bytes`. False when the file does not exist; other
// failures throw.
bool ReadFileBytes(const std::string& name, std::string& bytes);

// Reads at most `maxBytes` from the start of the file into `bytes`, so a file
// far larger than its reader can use never fills memory. False when the file
// does not exist; other failures throw.
bool ReadFileHead(const std::string& name, std::size_t maxBytes, std::string& bytes);

// Creates dir + "korvan.$$$", writes a line into it and deletes it: true when
// the directory can be written to. `dir` is empty or ends in "/".
bool CheckDirWritable(const std::string& dir);

// Reads a text file line by line in large blocks. A line is handed out without
// its line end; LF and CR LF both end a line, and a last line without a line
// end is still a line. Memory stays bounded by the block size plus the longest
// line.
class LineReader {
 public:
  LineReader() = default;
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // False when the file does not exist; any other failure throws.
  bool Open(const std::string& name);

  // The next line, valid until the following call. False at the end of file.
  bool Next(std::string_view& line);

 private:
  bool Fill();

  std::string name_;
  int fd_ = -1;
  bool eof_ = false;
  // Not zero-filled: only bytes read from the file are ever looked at.
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;  // start of unread data in buffer_
  std::size_t end_ = 0;    // end of valid data in buffer_
};

// A text or binary output file written through one buffer.
//
// Replace mode writes to a temporary file beside the final name; Commit() closes
// it and renames it over the final name, so a failed or killed run never leaves
// a half-written file in place of a good one. A file destroyed without Commit()
// is removed. Append mode writes to the end of the named file (creating it when
// needed); Commit() flushes and closes it.
//
// A Durable file holds what the player cannot get back (the reference copies,
// the notes, the change log): Close() writes its data through to the disk before
// closing it, and Commit() then writes the directory's names through after the
// rename (in Append mode, when the file was empty and so perhaps new), or leaves
// that to the DirectoryFlushes in force, so that a power cut after the run keeps
// both. A failed flush throws IoError naming the file. Rebuilt files (reports,
// the map file) are not flushed.
class OutputFile {
 public:
  enum class Mode { Replace, Append };
  enum class Durability { Rebuilt, Durable };

  OutputFile(std::string name, Mode mode = Mode::Replace,
             Durability durability = Durability::Rebuilt);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view bytes);
  // Writes `line` and CR LF.
  void WriteLine(std::string_view line);

  // Flushes (to the disk when Durable) and closes; in Replace mode the file then
  // still has its temporary name (see tempName()) until Commit() or the
  // destructor.
  void Close();
  // Close() and, in Replace mode, rename the temporary file over name(); for a
  // Durable file, then flush the directory (see DirectoryFlushes).
  void Commit();

  const std::string& name() const { return name_; }
  const std::string& tempName() const { return tempName_; }

 private:
  void Flush();

  std::string name_;
  std::string tempName_;
  Mode mode_;
  bool durable_;
  bool newName_ = false;  // Commit() gives the directory a new name
  int fd_ = -1;
  bool committed_ = false;
  std::string buffer_;
};

// While one is in force (the last constructed of those alive), durable files
// committed into a directory leave the flush of that directory to it, and Run()
// flushes each such directory once, after all their renames: a run's player
// files then cost the disk one directory write instead of one each. One that is
// destroyed before Run() flushes nothing: the run failed, and a power cut may
// then keep the earlier names of its files, which are whole.
class DirectoryFlushes {
 public:
  DirectoryFlushes();
  ~DirectoryFlushes();
  DirectoryFlushes(const DirectoryFlushes&) = delete;
  DirectoryFlushes& operator=(const DirectoryFlushes&) = delete;

  // Takes the flush of the directory of `fileName`, a durable file's new name.
  void Add(const std::string& fileName);
  // Flushes each directory taken, in the order taken; a failure throws IoError
  // naming the last file whose name the directory took.
  void Run();

 private:
  struct Pending {
    std::string directory;
    std::string fileName;
  };
  std::vector<Pending> pending_;
  DirectoryFlushes* previous_;
};

// Test seam: makes the k-th file operation from now on (create, write, flush,
// close, rename, flush directory, remove, link) fail with an input/output error;
// 0 switches it off.
void SetFileFaultAt(std::uint64_t k);
// Number of file operations counted since the last SetFileFaultAt call.
std::uint64_t FileOperationCount();
// Test seam: while `log` is not null, every file operation counted above is
// appended to it as "<operation> <name>", e.g. "rename dir/game_ref.sct" (the
// new name) or "flush directory dir/".
void RecordFileOperations(std::vector<std::string>* log);
