// The file layer's own logic, the same on every platform: buffering, line
// splitting, replace-on-commit and the fault-injection seam. The system calls
// themselves are in platform/os_file.h.
#include "platform/file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/os_file.h"
#include "platform/path.h"

namespace {

// 64 KiB: large enough that reads and writes are few, small enough that the
// buffer comes from the heap and is reused by every file of the run, where a
// larger one is mapped afresh and faulted in page by page for each file.
constexpr std::size_t kBlockSize = 1 << 16;

std::uint64_t faultAt = 0;
std::uint64_t operationCount = 0;
std::vector<std::string>* operationLog = nullptr;
DirectoryFlushes* directoryFlushes = nullptr;

// Counts one file operation that changes the file system (`kind` of the file
// or directory `name`); true when the test seam wants this one to fail.
bool InjectFault(const char* kind, const std::string& name) {
  ++operationCount;
  if (operationLog != nullptr) operationLog->push_back(kind + (" " + name));
  if (faultAt != 0 && operationCount == faultAt) {
    errno = EIO;
    return true;
  }
  return false;
}

// The room for a whole-file read once `size` bytes fill the buffer: doubled
// from a small first block, so that a small file costs a small buffer and a
// large one few reads.
std::size_t GrownRoom(std::size_t size, std::size_t maxBytes) {
  constexpr std::size_t kFirstRead = 4096;
  const std::size_t room = size < kFirstRead ? kFirstRead : size * 2;
  return std::min(room, maxBytes);
}

bool IsMissing(int errorNumber) { return errorNumber == ENOENT || errorNumber == ENOTDIR; }

void WriteAll(int fd, const char* data, std::size_t size, const std::string& name) {
  while (size > 0) {
    if (InjectFault("write", name)) throw IoError(name, errno);
    std::int64_t written = os::Write(fd, data, size);
    if (written < 0) throw IoError(name, errno);
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

// Writes the names of `dir` through to the disk; a failure throws IoError
// naming `fileName`, the file whose new name is at stake.
void FlushDirectoryOrThrow(const std::string& dir, const std::string& fileName) {
  if (InjectFault("flush directory", dir) || !os::FlushDirectory(dir)) {
    throw IoError(fileName, errno);
  }
}

// After a durable file took the name `fileName`: its directory is flushed by
// the DirectoryFlushes in force, or at once when none is.
void TakeDirectoryFlush(const std::string& fileName) {
  if (directoryFlushes != nullptr) {
    directoryFlushes->Add(fileName);
  } else {
    FlushDirectoryOrThrow(DirectoryPart(fileName), fileName);
  }
}

void CloseOrThrow(int fd, const std::string& name) {
  bool fault = InjectFault("close", name);
  int saved = errno;
  if (!os::Close(fd)) throw IoError(name, errno);
  if (fault) throw IoError(name, saved);
}

}  // namespace

IoError::IoError(const std::string& fileName, int errorNumber)
    : std::runtime_error(fileName + ": " + std::strerror(errorNumber)), fileName_(fileName) {}

IoError::IoError(const std::string& fileName, const std::string& reason)
    : std::runtime_error(fileName + ": " + reason), fileName_(fileName) {}

bool FileExists(const std::string& name) { return os::IsRegularFile(name); }

bool DirectoryExists(const std::string& dir) { return os::IsDirectory(dir); }

bool RemoveFile(const std::string& name) {
  if (InjectFault("remove", name)) return false;
  return os::Remove(name);
}

bool MoveFile(const std::string& from, const std::string& to) {
  if (InjectFault("rename", to)) return false;
  return os::Rename(from, to);
}

bool MoveFileDurably(const std::string& from, const std::string& to) {
  if (InjectFault("rename", to) || !os::Rename(from, to, true)) return false;
  TakeDirectoryFlush(to);
  return true;
}

void LinkOrCopyFile(const std::string& from, const std::string& to) {
  if (InjectFault("link", to)) throw IoError(to, errno);
  if (os::Link(from, to)) return;
  std::string bytes;
  if (!ReadFileBytes(from, bytes)) throw IoError(from, ENOENT);
  // The copy stands for the file it copies: as durable as a link would be.
  OutputFile copy(to, OutputFile::Mode::Replace, OutputFile::Durability::Durable);
  copy.Write(bytes);
  copy.Commit();
}

bool ReadFileBytes(const std::string& name, std::string& bytes) {
  return ReadFileHead(name, SIZE_MAX, bytes);
}

bool ReadFileHead(const std::string& name, std::size_t maxBytes, std::string& bytes) {
  bytes.clear();
  int fd = os::OpenForReading(name);
  if (fd < 0) {
    if (IsMissing(errno)) return false;
    throw IoError(name, errno);
  }
  // Room for the whole file at once when its size is known (one byte more, so
  // the read that finds the end needs no larger buffer); else grown by doubling.
  const std::int64_t known = os::SizeOf(fd);
  if (known >= 0) bytes.resize(std::min(static_cast<std::uint64_t>(known) + 1,
                                        static_cast<std::uint64_t>(maxBytes)));
  std::size_t size = 0;
  while (size < maxBytes) {
    if (size == bytes.size()) bytes.resize(GrownRoom(size, maxBytes));
    std::int64_t got = os::Read(fd, bytes.data() + size, bytes.size() - size);
    if (got < 0) {
      int saved = errno;
      os::Close(fd);
      throw IoError(name, saved);
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  os::Close(fd);
  bytes.resize(size);
  return true;
}

bool CheckDirWritable(const std::string& dir) {
  std::string probe = dir + "korvan.$$$";
  int fd = os::OpenForWriting(probe, false);
  if (fd < 0) return false;
  static constexpr std::string_view kText = "this file can be deleted.";
  bool ok = os::Write(fd, kText.data(), kText.size()) == static_cast<std::int64_t>(kText.size());
  ok = os::Close(fd) && ok;
  os::Remove(probe);
  return ok;
}

LineReader::~LineReader() {
  if (fd_ >= 0) os::Close(fd_);
}

bool LineReader::Open(const std::string& name) {
  if (fd_ >= 0) os::Close(fd_);
  name_ = name;
  eof_ = false;
  begin_ = end_ = 0;
  fd_ = os::OpenForReading(name);
  if (fd_ < 0) {
    if (IsMissing(errno)) return false;
    throw IoError(name, errno);
  }
  if (capacity_ < kBlockSize) {
    buffer_.reset(new char[kBlockSize]);
    capacity_ = kBlockSize;
  }
  return true;
}

// Moves the unread rest to the front, grows the buffer when one line fills it,
// and reads the next block. False when nothing more could be read.
bool LineReader::Fill() {
  if (eof_ || fd_ < 0) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == capacity_) {
    std::unique_ptr<char[]> larger(new char[capacity_ * 2]);
    std::memcpy(larger.get(), buffer_.get(), end_);
    buffer_ = std::move(larger);
    capacity_ *= 2;
  }
  std::int64_t got = os::Read(fd_, buffer_.get() + end_, capacity_ - end_);
  if (got < 0) throw IoError(name_, errno);
  if (got == 0) {
    eof_ = true;
    return false;
  }
  end_ += static_cast<std::size_t>(got);
  return true;
}

bool LineReader::Next(std::string_view& line) {
  if (buffer_ == nullptr) return false;  // never opened
  std::size_t scanFrom = begin_;
  for (;;) {
    const char* start = buffer_.get() + scanFrom;
    const void* found = std::memchr(start, '\n', end_ - scanFrom);
    if (found != nullptr) {
      std::size_t lf = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.get());
      std::size_t stop = lf;
      if (stop > begin_ && buffer_[stop - 1] == '\r') --stop;
      line = std::string_view(buffer_.get() + begin_, stop - begin_);
      begin_ = lf + 1;
      return true;
    }
    std::size_t scanned = end_ - begin_;
    if (!Fill()) break;
    scanFrom = begin_ + scanned;
  }
  if (begin_ == end_) return false;
  std::size_t stop = end_;
  if (buffer_[stop - 1] == '\r') --stop;
  line = std::string_view(buffer_.get() + begin_, stop - begin_);
  begin_ = end_;
  return true;
}

OutputFile::OutputFile(std::string name, Mode mode, Durability durability)
    : name_(std::move(name)), mode_(mode), durable_(durability == Durability::Durable) {
  if (mode_ == Mode::Replace) tempName_ = name_ + ".tmp~";
  const std::string& target = mode_ == Mode::Replace ? tempName_ : name_;
  if (InjectFault("create", target)) throw IoError(target, errno);
  fd_ = os::OpenForWriting(target, mode_ == Mode::Append);
  if (fd_ < 0) throw IoError(target, errno);
  // An empty file to append to may be new: its name is flushed with its data.
  newName_ = mode_ == Mode::Replace || (durable_ && os::SizeOf(fd_) == 0);
  buffer_.reserve(kBlockSize);
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) os::Close(fd_);
  if (mode_ == Mode::Replace && !committed_) os::Remove(tempName_);
}

void OutputFile::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBlockSize) {
    Flush();
    if (bytes.size() >= kBlockSize) {
      WriteAll(fd_, bytes.data(), bytes.size(), name_);
      return;
    }
  }
  buffer_.append(bytes);
}

void OutputFile::WriteLine(std::string_view line) {
  // Nearly every line fits the block with its line end: one check for both.
  if (buffer_.size() + line.size() + 2 <= kBlockSize) {
    buffer_.append(line);
    buffer_.append("\r\n", 2);
    return;
  }
  Write(line);
  Write("\r\n");
}

void OutputFile::Flush() {
  if (fd_ < 0) throw IoError(name_, EBADF);
  if (buffer_.empty()) return;
  WriteAll(fd_, buffer_.data(), buffer_.size(), name_);
  buffer_.clear();
}

void OutputFile::Close() {
  if (fd_ < 0) return;
  Flush();
  // A failed flush leaves the descriptor to the destructor, which drops the
  // temporary file.
  if (durable_ && (InjectFault("flush", name_) || !os::FlushToDisk(fd_))) {
    throw IoError(name_, errno);
  }
  int fd = fd_;
  fd_ = -1;
  CloseOrThrow(fd, name_);
}

void OutputFile::Commit() {
  Close();
  if (committed_) return;
  if (mode_ == Mode::Replace) {
    if (InjectFault("rename", name_) || !os::Rename(tempName_, name_, durable_)) {
      throw IoError(name_, errno);
    }
  }
  committed_ = true;
  // The new name is flushed after the rename that made it. A failure leaves the
  // complete new file in place, and still ends the run: it may not survive.
  if (durable_ && newName_) TakeDirectoryFlush(name_);
}

DirectoryFlushes::DirectoryFlushes() : previous_(directoryFlushes) { directoryFlushes = this; }

DirectoryFlushes::~DirectoryFlushes() { directoryFlushes = previous_; }

void DirectoryFlushes::Add(const std::string& fileName) {
  std::string dir = DirectoryPart(fileName);
  for (Pending& pending : pending_) {
    if (pending.directory == dir) {
      pending.fileName = fileName;
      return;
    }
  }
  pending_.push_back({std::move(dir), fileName});
}

void DirectoryFlushes::Run() {
  std::vector<Pending> pending = std::move(pending_);
  pending_.clear();
  for (const Pending& flush : pending) FlushDirectoryOrThrow(flush.directory, flush.fileName);
}

void SetFileFaultAt(std::uint64_t k) {
  faultAt = k;
  operationCount = 0;
}

std::uint64_t FileOperationCount() { return operationCount; }

void RecordFileOperations(std::vector<std::string>* log) { operationLog = log; }
