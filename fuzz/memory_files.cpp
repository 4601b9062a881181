// The operating-system file calls of platform/os_file.h over files kept in
// memory (see fuzz/memory_files.h). Linked as an object into each fuzz target,
// it defines every os:: call, so the linker never takes the system's version
// from the core library's archive.
#include "fuzz/memory_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/os_file.h"

namespace {

// A file's contents, shared by all its names and by its open descriptors.
using Contents = std::shared_ptr<std::string>;

std::unordered_map<std::string, Contents>& Files() {
  static std::unordered_map<std::string, Contents> files;
  return files;
}

std::unordered_set<std::string>& Directories() {
  static std::unordered_set<std::string> directories = {"", "/"};
  return directories;
}

struct Descriptor {
  Contents file;  // null while the slot is free
  std::size_t position = 0;
  bool writing = false;
  bool append = false;
};

std::vector<Descriptor> descriptors;
constexpr int kFirstDescriptor = 3;

// A name with repeated "/" and "." parts dropped; `directoryForm` when it ends
// in "/" or "/." and so can only name a directory.
struct Path {
  std::string name;
  bool directoryForm = false;
};

Path Normalise(const std::string& text) {
  Path path;
  if (!text.empty() && text[0] == '/') path.name = "/";
  std::size_t start = 0;
  bool lastWasName = false;
  while (start <= text.size()) {
    std::size_t end = text.find('/', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view part(text.data() + start, end - start);
    lastWasName = !part.empty() && part != ".";
    if (lastWasName) {
      if (!path.name.empty() && path.name.back() != '/') path.name += '/';
      path.name.append(part);
    }
    start = end + 1;
  }
  path.directoryForm = !lastWasName;
  return path;
}

std::string ParentOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return "";
  if (slash == 0) return "/";
  return name.substr(0, slash);
}

// 0 when the directory that would hold `name` exists, else the error a
// system gives.
int ParentError(const std::string& name) {
  const std::string parent = ParentOf(name);
  if (Directories().count(parent) != 0) return 0;
  return Files().count(parent) != 0 ? ENOTDIR : ENOENT;
}

// The contents named by `text`, or null with errno set.
Contents FindFile(const std::string& text) {
  if (text.empty()) {
    errno = ENOENT;
    return nullptr;
  }
  const Path path = Normalise(text);
  if (Directories().count(path.name) != 0) {
    errno = EISDIR;
    return nullptr;
  }
  if (const int error = ParentError(path.name); error != 0) {
    errno = error;
    return nullptr;
  }
  const auto found = Files().find(path.name);
  if (found == Files().end()) {
    errno = ENOENT;
    return nullptr;
  }
  if (path.directoryForm) {
    errno = ENOTDIR;
    return nullptr;
  }
  return found->second;
}

// The name a new file `text` would take, or false with errno set.
bool NewFileName(const std::string& text, std::string& name) {
  if (text.empty()) {
    errno = ENOENT;
    return false;
  }
  const Path path = Normalise(text);
  if (Directories().count(path.name) != 0 || path.directoryForm) {
    errno = EISDIR;
    return false;
  }
  if (const int error = ParentError(path.name); error != 0) {
    errno = error;
    return false;
  }
  name = path.name;
  return true;
}

int OpenDescriptor(Contents file, bool writing, bool append) {
  auto slot = std::find_if(descriptors.begin(), descriptors.end(),
                           [](const Descriptor& d) { return d.file == nullptr; });
  if (slot == descriptors.end()) slot = descriptors.insert(descriptors.end(), Descriptor());
  slot->file = std::move(file);
  slot->position = 0;
  slot->writing = writing;
  slot->append = append;
  return static_cast<int>(slot - descriptors.begin()) + kFirstDescriptor;
}

Descriptor* FindDescriptor(int fd) {
  const std::int64_t index = static_cast<std::int64_t>(fd) - kFirstDescriptor;
  if (index < 0 || index >= static_cast<std::int64_t>(descriptors.size()) ||
      descriptors[static_cast<std::size_t>(index)].file == nullptr) {
    errno = EBADF;
    return nullptr;
  }
  return &descriptors[static_cast<std::size_t>(index)];
}

}  // namespace

namespace memory_files {

void AddDirectory(const std::string& name) {
  for (std::string directory = Normalise(name).name; !Directories().count(directory);
       directory = ParentOf(directory)) {
    Directories().insert(directory);
  }
}

void RemoveFiles(const std::string& name) {
  const std::string directory = Normalise(name).name;
  for (auto file = Files().begin(); file != Files().end();) {
    file = ParentOf(file->first) == directory ? Files().erase(file) : std::next(file);
  }
}

bool PutFile(const std::string& name, std::string_view bytes) {
  std::string normal;
  if (!NewFileName(name, normal)) return false;
  Contents& file = Files()[normal];
  if (file == nullptr) file = std::make_shared<std::string>();
  file->assign(bytes);
  return true;
}

std::size_t OpenDescriptorCount() {
  return static_cast<std::size_t>(std::count_if(
      descriptors.begin(), descriptors.end(), [](const Descriptor& d) { return d.file != nullptr; }));
}

}  // namespace memory_files

namespace os {

int OpenForReading(const std::string& name) {
  Contents file = FindFile(name);
  if (file == nullptr) return -1;
  return OpenDescriptor(std::move(file), false, false);
}

int OpenForWriting(const std::string& name, bool append) {
  std::string normal;
  if (!NewFileName(name, normal)) return -1;
  Contents& file = Files()[normal];
  if (file == nullptr) file = std::make_shared<std::string>();
  if (!append) file->clear();
  return OpenDescriptor(file, true, append);
}

std::int64_t Read(int fd, char* data, std::size_t size) {
  Descriptor* d = FindDescriptor(fd);
  if (d == nullptr) return -1;
  if (d->writing) {
    errno = EBADF;
    return -1;
  }
  const std::string& bytes = *d->file;
  if (d->position >= bytes.size()) return 0;
  const std::size_t count = std::min(size, bytes.size() - d->position);
  std::memcpy(data, bytes.data() + d->position, count);
  d->position += count;
  return static_cast<std::int64_t>(count);
}

std::int64_t Write(int fd, const char* data, std::size_t size) {
  Descriptor* d = FindDescriptor(fd);
  if (d == nullptr) return -1;
  if (!d->writing) {
    errno = EBADF;
    return -1;
  }
  std::string& bytes = *d->file;
  if (d->append) d->position = bytes.size();
  if (bytes.size() < d->position + size) bytes.resize(d->position + size);
  std::memcpy(bytes.data() + d->position, data, size);
  d->position += size;
  return static_cast<std::int64_t>(size);
}

std::int64_t SizeOf(int fd) {
  Descriptor* d = FindDescriptor(fd);
  if (d == nullptr) return -1;
  return static_cast<std::int64_t>(d->file->size());
}

bool Close(int fd) {
  Descriptor* d = FindDescriptor(fd);
  if (d == nullptr) return false;
  d->file = nullptr;
  return true;
}

// Memory holds no disk: a flush checks what the system would and is done.
bool FlushToDisk(int fd) { return FindDescriptor(fd) != nullptr; }

bool FlushDirectory(const std::string& dir) {
  const std::string name = Normalise(dir).name;
  if (Directories().count(name) != 0) return true;
  errno = Files().count(name) != 0 ? ENOTDIR : ENOENT;
  return false;
}

bool IsRegularFile(const std::string& name) { return FindFile(name) != nullptr; }

bool IsDirectory(const std::string& name) { return Directories().count(Normalise(name).name) != 0; }

bool Remove(const std::string& name) {
  if (FindFile(name) == nullptr) return false;
  Files().erase(Normalise(name).name);
  return true;
}

bool Rename(const std::string& from, const std::string& to, bool /*durable*/) {
  Contents file = FindFile(from);
  if (file == nullptr) return false;
  std::string target;
  if (!NewFileName(to, target)) return false;
  const std::string source = Normalise(from).name;
  Contents& slot = Files()[target];
  // Two names of one file: the system leaves both in place.
  if (slot == file) return true;
  slot = std::move(file);
  Files().erase(source);
  return true;
}

bool Link(const std::string& from, const std::string& to) {
  Contents file = FindFile(from);
  if (file == nullptr) return false;
  std::string target;
  if (!NewFileName(to, target)) return false;
  if (Files().count(target) != 0) {
    errno = EEXIST;
    return false;
  }
  Files()[target] = std::move(file);
  return true;
}

}  // namespace os
