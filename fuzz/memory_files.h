// The fuzz targets' file system: the operating-system file calls of
// platform/os_file.h kept in this process's memory. Linked into every fuzz
// target in place of the system's calls, it spares each execution the dozen
// creates, renames and deletes that would otherwise cost more than the readers'
// work, while the file layer above it (block reads, buffered writes, replace on
// commit, the fault seam) runs unchanged.
//
// It keeps the system's rules where the program could tell: a file's directory
// must exist, a directory is no regular file and cannot be opened, a hard link
// is a second name of the same contents, an emptied or deleted file stays
// readable through a descriptor opened before. "/" separates names; repeated
// "/" and "." parts are ignored; ".." is an ordinary name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace memory_files {

// Makes `name` (and every directory above it) an existing, empty directory.
// The working directory "" and the root "/" always exist.
void AddDirectory(const std::string& name);

// Removes every file directly in the directory `name`, so that a target's run
// starts from the files it puts there itself.
void RemoveFiles(const std::string& name);

// Creates or replaces the file `name` with `bytes`; its directory must exist.
// False when it cannot be created.
bool PutFile(const std::string& name, std::string_view bytes);

// Descriptors opened and not yet closed.
std::size_t OpenDescriptorCount();

}  // namespace memory_files
