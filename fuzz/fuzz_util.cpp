#include "fuzz/fuzz_util.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <map>
#include <tuple>
#include <memory>

#include "fuzz/memory_files.h"
#include "platform/console.h"

namespace {

// Universe sizes beyond the first 250: the number widths 3, 4 and 5 and the
// largest universe.
constexpr std::uint16_t kLargeSizes[] = {300, 999, 1000, 9999, 10000, 20000};

// A run on 9999 sectors or more takes the time of dozens of small inputs, and
// mutations write byte 0 often enough (255 above all: the readers compare with
// 255 and 65535) that these sizes would take most of the time. So only one
// input in kCostlyShare that asks for one runs on it, chosen by a hash of all
// its bytes: an input always gets the same universe (a crash reproduces), and
// the mutants of a large-universe input mostly run on 250 sectors.
constexpr std::uint16_t kCostlySize = 9999;
constexpr std::uint32_t kCostlyShare = 16;

std::uint32_t InputHash(const std::uint8_t* data, std::size_t size) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash;
}

}  // namespace

FuzzCase SplitFuzzInput(const std::uint8_t* data, std::size_t size) {
  FuzzCase input;
  if (size >= 1) {
    const std::uint8_t pick = data[0];
    input.n = pick < 250 ? static_cast<std::uint16_t>(pick + 1) : kLargeSizes[pick - 250];
    if (input.n >= kCostlySize && InputHash(data, size) % kCostlyShare != 0) input.n = 250;
  }
  if (size >= 2) input.options = data[1];
  if (size > 2) input.body = std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2);
  return input;
}

int RunFuzzInput(const std::uint8_t* data, std::size_t size,
                 void (*run)(const std::uint8_t* data, std::size_t size)) {
  SilenceConsole();
  run(data, size);
  FuzzCheck(memory_files::OpenDescriptorCount() == 0, "a file is left open");
  return 0;
}

int RunFuzzInput(const std::uint8_t* data, std::size_t size, void (*run)(const FuzzCase& input)) {
  SilenceConsole();
  run(SplitFuzzInput(data, size));
  FuzzCheck(memory_files::OpenDescriptorCount() == 0, "a file is left open");
  return 0;
}

Universe& FreshUniverse(std::uint16_t n, std::size_t specialCount, int copy) {
  static std::map<std::tuple<std::uint16_t, std::size_t, int>, std::unique_ptr<Universe>> kept;
  std::unique_ptr<Universe>& universe = kept[{n, specialCount, copy}];
  if (!universe) {
    universe = std::make_unique<Universe>(CreateUniverse(n, specialCount));
    return *universe;
  }
  // Every field of Sector and the kept notes lines, back to what CreateUniverse gives.
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
  universe->notesLines.clear();
  return *universe;
}

const std::string& ScratchPath() {
  static const std::string scratch = [] {
    memory_files::AddDirectory("/korvan-fuzz");
    return std::string("/korvan-fuzz/");
  }();
  return scratch;
}

std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
  std::string path = ScratchPath() + name;
  FuzzCheck(memory_files::PutFile(path, bytes), "cannot create the scratch file");
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

void CheckAtlasData(std::string_view data) {
  for (const char c : data) {
    FuzzCheck(c >= 0x20 && c < 0x7F && c != '<' && c != '>' && c != '&',
              "the atlas data holds a byte that is no printable ASCII, or markup");
  }
}
