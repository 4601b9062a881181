// The POSIX file calls under platform/file.cpp.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/os_file.h"

namespace os {

int OpenForReading(const std::string& name) {
  int fd;
  do {
    fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  struct stat info;
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return -1;
  }
  return fd;
}

int OpenForWriting(const std::string& name, bool append) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
  int fd;
  do {
    fd = ::open(name.c_str(), flags, 0644);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

std::int64_t Read(int fd, char* data, std::size_t size) {
  for (;;) {
    ssize_t got = ::read(fd, data, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

std::int64_t Write(int fd, const char* data, std::size_t size) {
  for (;;) {
    ssize_t written = ::write(fd, data, size);
    if (written >= 0 || errno != EINTR) return written;
  }
}

std::int64_t SizeOf(int fd) {
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

// An interrupted close has still released the descriptor; retrying could close
// a descriptor opened meanwhile.
bool Close(int fd) { return ::close(fd) == 0 || errno == EINTR; }

// EINVAL: the descriptor is no file a disk holds (a device such as /dev/null, a
// pipe): there is nothing to write through.
bool FlushToDisk(int fd) {
  for (;;) {
    if (::fsync(fd) == 0) return true;
    if (errno == EINVAL) return true;
    if (errno != EINTR) return false;
  }
}

// A directory that may be written but not read (mode 0333) refuses to be
// opened (EACCES; EPERM where a security module refuses): its names cannot be
// flushed from here, and the run goes on without, as SQLite does. A file system
// that cannot flush a directory refuses with EINVAL (or ENOTSUP): it has no
// directory data of its own to write back (network and user-space file systems
// that keep names on a server), so the rename is as durable as it can be made.
// Any other failure, of the open or of the flush, is reported.
bool FlushDirectory(const std::string& dir) {
  int fd;
  do {
    fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno == EACCES || errno == EPERM;
  bool flushed;
  for (;;) {
    flushed = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP || errno == EOPNOTSUPP;
    if (flushed || errno != EINTR) break;
  }
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return flushed;
}

bool IsRegularFile(const std::string& name) {
  struct stat info;
  return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDirectory(const std::string& name) {
  struct stat info;
  return ::stat(name.empty() ? "." : name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Remove(const std::string& name) { return ::unlink(name.c_str()) == 0; }

// A durable rename is made so by FlushDirectory afterwards.
bool Rename(const std::string& from, const std::string& to, bool /*durable*/) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool Link(const std::string& from, const std::string& to) {
  return ::link(from.c_str(), to.c_str()) == 0;
}

}  // namespace os
