// The few operating-system file calls that platform/file.cpp is built on, one
// implementation per platform (file_posix.cpp, file_windows.cpp). Files are
// numbered descriptors opened in binary mode: bytes go in and out unchanged.
// Every failure sets errno, so IoError names the same cause on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace os {

// Opens an existing file for reading; -1 when that fails. A directory fails
// with EISDIR.
int OpenForReading(const std::string& name);

// Opens `name` for writing, creating it when needed: emptied first, or with
// `append` written at its end. -1 when that fails.
int OpenForWriting(const std::string& name, bool append);

// Reads up to `size` bytes: the number read, 0 at the end of the file, -1 on
// failure.
std::int64_t Read(int fd, char* data, std::size_t size);

// Writes up to `size` bytes: the number written, -1 on failure.
std::int64_t Write(int fd, const char* data, std::size_t size);

// The size of the regular file open as `fd`; -1 when it is no regular file or
// its size is unknown.
std::int64_t SizeOf(int fd);

// Closes `fd`; false when the system reports that buffered data was lost.
bool Close(int fd);

// Writes the data of the file open for writing as `fd` through to the disk, so
// that it survives a power cut; false when the system reports that it could not.
bool FlushToDisk(int fd);

// Writes the names in directory `dir` (empty: the current directory) through to
// the disk, so that a file renamed into it keeps its new name after a power cut;
// false when that fails. A directory that may be written but not read (mode
// 0333 on POSIX) cannot be opened to be flushed: that refusal is no failure,
// and the flush is skipped, as the best-known embedded databases do. On Windows
// there is nothing to do: a durable Rename is written through when it returns.
bool FlushDirectory(const std::string& dir);

bool IsRegularFile(const std::string& name);
// True when `name` is a directory (empty: the current directory).
bool IsDirectory(const std::string& name);
bool Remove(const std::string& name);
// Renames `from` to `to`, replacing `to` when it exists. A `durable` rename is
// one whose new name must survive a power cut: Windows writes it through to the
// disk before returning; on POSIX FlushDirectory does that afterwards.
bool Rename(const std::string& from, const std::string& to, bool durable = false);
// Makes `to` a second name (hard link) of `from`.
bool Link(const std::string& from, const std::string& to);

}  // namespace os
