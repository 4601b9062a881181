// The Windows file calls under platform/file.cpp: runtime descriptors opened in
// binary mode, so CR LF is written exactly as the lines carry it, and the
// system's own calls where the runtime's differ from POSIX (a rename that
// replaces, hard links).
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>

#include "platform/os_file.h"

namespace {

// The largest count one runtime read or write takes.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

// Opening a directory is refused as "access denied" on Windows; name the cause
// as on POSIX, so the error line is the same on both.
int OpenOrExplain(const std::string& name, int flags) {
  int fd = ::_open(name.c_str(), flags, _S_IREAD | _S_IWRITE);
  if (fd < 0 && errno == EACCES && os::IsDirectory(name)) errno = EISDIR;
  return fd;
}

// Sets errno for a failed system call.
void SetErrnoFromLastError() {
  switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      errno = ENOENT;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      errno = EACCES;
      break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      errno = EEXIST;
      break;
    case ERROR_NOT_SAME_DEVICE:
      errno = EXDEV;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    default:
      errno = EIO;
      break;
  }
}

}  // namespace

namespace os {

int OpenForReading(const std::string& name) {
  return OpenOrExplain(name, _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

int OpenForWriting(const std::string& name, bool append) {
  return OpenOrExplain(name, _O_WRONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT |
                                 (append ? _O_APPEND : _O_TRUNC));
}

std::int64_t Read(int fd, char* data, std::size_t size) {
  return ::_read(fd, data, static_cast<unsigned>(std::min(size, kMaxTransfer)));
}

std::int64_t Write(int fd, const char* data, std::size_t size) {
  return ::_write(fd, data, static_cast<unsigned>(std::min(size, kMaxTransfer)));
}

std::int64_t SizeOf(int fd) {
  struct _stat64 info;
  if (::_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFREG) == 0) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

bool Close(int fd) { return ::_close(fd) == 0; }

// A descriptor that is no disk file (the NUL device, a pipe) has nothing to
// write through.
bool FlushToDisk(int fd) {
  const intptr_t osHandle = ::_get_osfhandle(fd);
  if (osHandle == -1) {
    errno = EBADF;
    return false;
  }
  const HANDLE handle = reinterpret_cast<HANDLE>(osHandle);
  if (::GetFileType(handle) != FILE_TYPE_DISK) return true;
  if (::FlushFileBuffers(handle) != 0) return true;
  SetErrnoFromLastError();
  return false;
}

// A directory cannot be flushed through a handle here; the durable renames are
// written through instead (see Rename).
bool FlushDirectory(const std::string& /*dir*/) { return true; }

bool IsRegularFile(const std::string& name) {
  DWORD attributes = ::GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// "c:" names drive c:'s current directory, "" the current directory.
bool IsDirectory(const std::string& name) {
  DWORD attributes = ::GetFileAttributesA(name.empty() ? "." : name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Remove(const std::string& name) { return ::_unlink(name.c_str()) == 0; }

// The runtime's rename refuses an existing target; the reference copies and
// reports must replace theirs. A durable rename returns only once the new name
// is on the disk.
bool Rename(const std::string& from, const std::string& to, bool durable) {
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0);
  if (::MoveFileExA(from.c_str(), to.c_str(), flags) != 0) return true;
  SetErrnoFromLastError();
  return false;
}

bool Link(const std::string& from, const std::string& to) {
  if (::CreateHardLinkA(to.c_str(), from.c_str(), nullptr) != 0) return true;
  SetErrnoFromLastError();
  return false;
}

}  // namespace os
