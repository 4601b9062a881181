#include "fuzz/fuzz_util.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>
#include <memory>
#include <fcntl.h>
#include <unistd.h>

#include "platform/console.h"

namespace {

// Universe sizes beyond the first 250: the number widths 3, 4 and 5 and the
// largest universe.
constexpr std::uint16_t kLargeSizes[] = {300, 999, 1000, 9999, 10000, 20000};

std::string scratch;

void RemoveScratch() {
  std::error_code ignored;
  if (!scratch.empty()) std::filesystem::remove_all(scratch, ignored);
}

}  // namespace

FuzzCase SplitFuzzInput(const std::uint8_t* data, std::size_t size) {
  FuzzCase input;
  if (size >= 1) {
    const std::uint8_t pick = data[0];
    input.n = pick < 250 ? static_cast<std::uint16_t>(pick + 1) : kLargeSizes[pick - 250];
  }
  if (size >= 2) input.options = data[1];
  if (size > 2) input.body = std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2);
  return input;
}

Universe& FreshUniverse(std::uint16_t n, std::size_t specialCount, int copy) {
  static std::map<std::tuple<std::uint16_t, std::size_t, int>, std::unique_ptr<Universe>> kept;
  std::unique_ptr<Universe>& universe = kept[{n, specialCount, copy}];
  if (!universe) {
    universe = std::make_unique<Universe>(CreateUniverse(n, specialCount));
    return *universe;
  }
  // Every field of Sector, back to what CreateUniverse gives.
  for (std::uint32_t s = 1; s <= n; ++s) {
    Sector& sector = (*universe)[static_cast<std::uint16_t>(s)];
    sector.explored = 0;
    sector.fig = 0;
    sector.warps.reset();
    sector.port.reset();
    sector.bubble.reset();
    std::fill(sector.hopsTo.begin(), sector.hopsTo.end(), kNoRoute);
    std::fill(sector.hopsFrom.begin(), sector.hopsFrom.end(), kNoRoute);
    sector.note.clear();
    sector.log.clear();
  }
  return *universe;
}

const std::string& ScratchPath() {
  if (scratch.empty()) {
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/korvan-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("korvan fuzz: mkdtemp");
      std::abort();
    }
    scratch = pattern + "/";
    std::atexit(RemoveScratch);
  }
  return scratch;
}

std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
  std::string path = ScratchPath() + name;
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  FuzzCheck(fd >= 0, "cannot create the scratch file");
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    FuzzCheck(written > 0, "cannot write the scratch file");
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  ::close(fd);
  return path;
}

void SilenceConsole() {
  static std::string sink;
  sink.clear();
  ConsoleCaptureTo(&sink);
}

void FuzzCheck(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "korvan fuzz check failed: %s\n", what);
  std::abort();
}

void CheckWarpLists(const Universe& universe) {
  for (std::uint32_t s = 1; s <= universe.size(); ++s) {
    const Sector& sector = universe[static_cast<std::uint16_t>(s)];
    if (!sector.warps) continue;
    const WarpList& list = *sector.warps;
    FuzzCheck(list.targets.size() == list.kinds.size(), "targets and kinds differ in size");
    FuzzCheck(list.targets.size() <= kMaxWarps, "a warp list holds more than 255 entries");
    for (std::uint32_t kind : list.kinds) FuzzCheck(kind <= oneWayIn, "unknown warp kind");
  }
}
