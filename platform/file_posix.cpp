#include "platform/file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBlockSize = 1 << 20;
constexpr std::size_t kMinBlockSize = 4096;

std::uint64_t faultAt = 0;
std::uint64_t operationCount = 0;

// Counts one file operation that changes the file system; true when the test
// seam wants this one to fail.
bool InjectFault() {
  ++operationCount;
  if (faultAt != 0 && operationCount == faultAt) {
    errno = EIO;
    return true;
  }
  return false;
}

int OpenForReading(const std::string& name) {
  int fd;
  do {
    fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool IsMissing(int errorNumber) { return errorNumber == ENOENT || errorNumber == ENOTDIR; }

void WriteAll(int fd, const char* data, std::size_t size, const std::string& name) {
  while (size > 0) {
    if (InjectFault()) throw IoError(name, errno);
    ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      throw IoError(name, errno);
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

void CloseOrThrow(int fd, const std::string& name) {
  bool fault = InjectFault();
  int saved = errno;
  if (::close(fd) != 0 && errno != EINTR) throw IoError(name, errno);
  if (fault) throw IoError(name, saved);
}

}  // namespace

IoError::IoError(const std::string& fileName, int errorNumber)
    : std::runtime_error(fileName + ": " + std::strerror(errorNumber)), fileName_(fileName) {}

IoError::IoError(const std::string& fileName, const std::string& reason)
    : std::runtime_error(fileName + ": " + reason), fileName_(fileName) {}

bool FileExists(const std::string& name) {
  struct stat info;
  return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool RemoveFile(const std::string& name) {
  if (InjectFault()) return false;
  return ::unlink(name.c_str()) == 0;
}

bool MoveFile(const std::string& from, const std::string& to) {
  if (InjectFault()) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

void LinkOrCopyFile(const std::string& from, const std::string& to) {
  if (InjectFault()) throw IoError(to, errno);
  if (::link(from.c_str(), to.c_str()) == 0) return;
  std::string bytes;
  if (!ReadFileBytes(from, bytes)) throw IoError(from, ENOENT);
  OutputFile copy(to);
  copy.Write(bytes);
  copy.Commit();
}

bool ReadFileBytes(const std::string& name, std::string& bytes) {
  bytes.clear();
  int fd = OpenForReading(name);
  if (fd < 0) {
    if (IsMissing(errno)) return false;
    throw IoError(name, errno);
  }
  // Room for the whole file at once when its size is known, and a block more
  // whenever it turns out larger.
  std::size_t room = kBlockSize;
  struct stat info;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0) {
    room = static_cast<std::size_t>(info.st_size) + 1;
  }
  bytes.resize(room);
  std::size_t size = 0;
  for (;;) {
    if (size == bytes.size()) bytes.resize(size + kBlockSize);
    ssize_t got = ::read(fd, bytes.data() + size, bytes.size() - size);
    if (got < 0) {
      if (errno == EINTR) continue;
      int saved = errno;
      ::close(fd);
      throw IoError(name, saved);
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  ::close(fd);
  bytes.resize(size);
  return true;
}

bool ReadFileHead(const std::string& name, std::size_t maxBytes, std::string& bytes) {
  bytes.clear();
  int fd = OpenForReading(name);
  if (fd < 0) {
    if (IsMissing(errno)) return false;
    throw IoError(name, errno);
  }
  // Blocks of the file's size when it is small, so a small file costs no full block.
  std::size_t block = kBlockSize;
  struct stat info;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0 &&
      static_cast<std::uint64_t>(info.st_size) < kBlockSize) {
    block = std::max<std::size_t>(kMinBlockSize, static_cast<std::size_t>(info.st_size) + 1);
  }
  std::size_t size = 0;
  while (size < maxBytes) {
    std::size_t want = std::min(maxBytes - size, block);
    if (bytes.size() < size + want) bytes.resize(size + want);
    ssize_t got = ::read(fd, bytes.data() + size, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      int saved = errno;
      ::close(fd);
      throw IoError(name, saved);
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  ::close(fd);
  bytes.resize(size);
  return true;
}

bool CheckDirWritable(const std::string& dir) {
  std::string probe = dir + "korvan.$$$";
  int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  static constexpr std::string_view kText = "this file can be deleted.";
  bool ok = ::write(fd, kText.data(), kText.size()) == static_cast<ssize_t>(kText.size());
  ok = (::close(fd) == 0) && ok;
  ::unlink(probe.c_str());
  return ok;
}

LineReader::~LineReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool LineReader::Open(const std::string& name) {
  if (fd_ >= 0) ::close(fd_);
  name_ = name;
  eof_ = false;
  begin_ = end_ = 0;
  fd_ = OpenForReading(name);
  if (fd_ < 0) {
    if (IsMissing(errno)) return false;
    throw IoError(name, errno);
  }
  struct stat info;
  const bool known = ::fstat(fd_, &info) == 0;
  if (known && S_ISDIR(info.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw IoError(name, EISDIR);
  }
  // A small file needs no full block: the buffer still grows if the file does.
  std::size_t want = kBlockSize;
  if (known && S_ISREG(info.st_mode) && info.st_size >= 0 &&
      static_cast<std::uint64_t>(info.st_size) < kBlockSize) {
    want = std::max<std::size_t>(kMinBlockSize, static_cast<std::size_t>(info.st_size) + 1);
  }
  if (buffer_.size() < want) buffer_.resize(want);
  return true;
}

// Moves the unread rest to the front, grows the buffer when one line fills it,
// and reads the next block. False when nothing more could be read.
bool LineReader::Fill() {
  if (eof_ || fd_ < 0) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  for (;;) {
    ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw IoError(name_, errno);
    }
    if (got == 0) {
      eof_ = true;
      return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
  }
}

bool LineReader::Next(std::string_view& line) {
  std::size_t scanFrom = begin_;
  for (;;) {
    const char* start = buffer_.data() + scanFrom;
    const void* found = std::memchr(start, '\n', end_ - scanFrom);
    if (found != nullptr) {
      std::size_t lf = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
      std::size_t stop = lf;
      if (stop > begin_ && buffer_[stop - 1] == '\r') --stop;
      line = std::string_view(buffer_.data() + begin_, stop - begin_);
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
  line = std::string_view(buffer_.data() + begin_, stop - begin_);
  begin_ = end_;
  return true;
}

OutputFile::OutputFile(std::string name, Mode mode) : name_(std::move(name)), mode_(mode) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
  if (mode_ == Mode::Replace) {
    tempName_ = name_ + ".tmp~";
    flags |= O_TRUNC;
  } else {
    flags |= O_APPEND;
  }
  const std::string& target = mode_ == Mode::Replace ? tempName_ : name_;
  if (InjectFault()) throw IoError(target, errno);
  do {
    fd_ = ::open(target.c_str(), flags, 0644);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) throw IoError(target, errno);
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
  if (mode_ == Mode::Replace && !committed_) ::unlink(tempName_.c_str());
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
  int fd = fd_;
  fd_ = -1;
  CloseOrThrow(fd, name_);
}

void OutputFile::Commit() {
  Close();
  if (mode_ == Mode::Replace && !committed_) {
    if (InjectFault() || ::rename(tempName_.c_str(), name_.c_str()) != 0) {
      throw IoError(name_, errno);
    }
  }
  committed_ = true;
}

void SetFileFaultAt(std::uint64_t k) {
  faultAt = k;
  operationCount = 0;
}

std::uint64_t FileOperationCount() { return operationCount; }
