#include "capture/reconcile.h"

#include <algorithm>
#include <vector>

#include "platform/console.h"
#include "progress/progress.h"

namespace {

constexpr std::uint16_t kSpinnerStep = 500;

// The pass runs on a compact copy of every warp list (one pool of targets and
// one of kinds, each list with room for every entry that can be inserted into
// it), then puts the changed lists back into the Sectors, sized exactly. The
// lists that result are those of rebuilding a list one entry longer at each
// insertion; the copy only spares the allocations and the scattered reads.
struct ListSlot {
  std::uint32_t offset = 0;    // first entry in the pools
  std::uint16_t count = 0;     // entries in use
  std::uint16_t capacity = 0;  // entries reserved
  std::uint8_t inCount = 0;
  bool exists = false;   // the sector has a list
  bool changed = false;  // the list must be put back
};

class CompactLists {
 public:
  CompactLists(const Universe& universe, std::uint16_t last) : slots_(std::size_t{last} + 1) {
    // Every oneWayOut entry can add at most one entry to its destination's list.
    std::vector<std::uint32_t> incoming(std::size_t{last} + 1, 0);
    std::vector<std::uint32_t> owned(std::size_t{last} + 1, 0);
    for (std::uint32_t s = 1; s <= last; ++s) {
      const Sector& sector = universe[static_cast<std::uint16_t>(s)];
      if (!sector.warps) continue;
      const WarpList& list = *sector.warps;
      owned[s] = static_cast<std::uint32_t>(list.targets.size());
      for (std::size_t j = 0; j < list.targets.size(); ++j) {
        const std::uint16_t t = list.targets[j];
        if (list.kinds[j] == oneWayOut && t >= 1 && t <= last) ++incoming[t];
      }
    }
    // Exactly the room the lists take, so the pools are allocated once and no
    // page more than needed is touched.
    std::size_t total = 0;
    for (std::uint32_t s = 1; s <= last; ++s) {
      const std::size_t own = owned[s];
      total += std::max(std::min(own + incoming[s], kMaxWarps), own);
    }
    targets_.reserve(total);
    kinds_.reserve(total);
    for (std::uint32_t s = 1; s <= last; ++s) {
      const Sector& sector = universe[static_cast<std::uint16_t>(s)];
      ListSlot& slot = slots_[s];
      const std::size_t own = sector.warps ? sector.warps->targets.size() : 0;
      const std::size_t room = std::min(own + incoming[s], kMaxWarps);
      if (!sector.warps && room == 0) continue;
      slot.offset = static_cast<std::uint32_t>(targets_.size());
      slot.capacity = static_cast<std::uint16_t>(std::max(room, own));
      if (sector.warps) {
        slot.exists = true;
        slot.count = static_cast<std::uint16_t>(own);
        slot.inCount = sector.warps->inCount;
        targets_.insert(targets_.end(), sector.warps->targets.begin(), sector.warps->targets.end());
        kinds_.insert(kinds_.end(), sector.warps->kinds.begin(), sector.warps->kinds.end());
      }
      targets_.resize(slot.offset + std::size_t{slot.capacity});
      kinds_.resize(slot.offset + std::size_t{slot.capacity});
    }
  }

  ListSlot& slot(std::uint16_t s) { return slots_[s]; }
  std::uint16_t* targets(const ListSlot& slot) { return targets_.data() + slot.offset; }
  std::uint32_t* kinds(const ListSlot& slot) { return kinds_.data() + slot.offset; }

  // Puts every changed list back into its Sector.
  void Store(Universe& universe) {
    for (std::size_t s = 1; s < slots_.size(); ++s) {
      const ListSlot& slot = slots_[s];
      if (!slot.changed) continue;
      Sector& sector = universe[static_cast<std::uint16_t>(s)];
      if (!sector.warps) sector.warps.emplace();
      WarpList& list = *sector.warps;
      if (list.targets.size() != slot.count) {
        list.targets.assign(targets(slot), targets(slot) + slot.count);
        list.targets.shrink_to_fit();
      }
      list.kinds.assign(kinds(slot), kinds(slot) + slot.count);
      list.kinds.shrink_to_fit();
      list.inCount = slot.inCount;
    }
  }

 private:
  std::vector<ListSlot> slots_;
  std::vector<std::uint16_t> targets_;
  std::vector<std::uint32_t> kinds_;
};

}  // namespace

std::uint16_t ReconcileWarps(Universe& universe, OutputFile& changeLog) {
  std::uint16_t spinner = ProgressTick(0, kSpinnerStep);
  changeLog.WriteLine(" data reconciled.");
  ConsoleWrite("reconciling warp data: ");

  const std::uint16_t last = universe.size();
  CompactLists lists(universe, last);
  std::uint16_t result = 0;
  for (std::uint32_t s = 1; s <= last; ++s) {
    const std::uint16_t source = static_cast<std::uint16_t>(s);
    ListSlot& own = lists.slot(source);
    // An entry's own list never grows during its turn: a sector listing itself
    // always finds itself.
    const std::uint16_t entries = own.exists ? own.count : 0;
    for (std::uint16_t j = 0; j < entries; ++j) {
      std::uint32_t* ownKinds = lists.kinds(own);
      if (ownKinds[j] != oneWayOut) continue;
      const std::uint16_t t = lists.targets(own)[j];
      // Destinations outside the universe stay oneWayOut; nothing is written there.
      if (t > last || !universe.Contains(t)) continue;
      ListSlot& far = lists.slot(t);
      std::uint16_t* farTargets = lists.targets(far);
      std::uint32_t* farKinds = lists.kinds(far);
      if (!far.exists) {
        far.exists = true;
        far.changed = true;
        far.count = 1;
        farTargets[0] = source;
        farKinds[0] = oneWayIn;
        continue;
      }
      const std::uint16_t* match = std::find(farTargets, farTargets + far.count, source);
      if (match != farTargets + far.count) {
        farKinds[match - farTargets] = twoWay;
        ownKinds[j] = twoWay;
        far.changed = true;
        own.changed = true;
        continue;
      }
      // A full list takes no inserted entry; the warp stays oneWayOut.
      if (far.count >= kMaxWarps) continue;
      // Before the first larger destination, so ascending lists stay ascending.
      const std::uint16_t at = static_cast<std::uint16_t>(
          std::find_if(farTargets, farTargets + far.count,
                       [source](std::uint16_t target) { return target > source; }) -
          farTargets);
      std::copy_backward(farTargets + at, farTargets + far.count, farTargets + far.count + 1);
      std::copy_backward(farKinds + at, farKinds + far.count, farKinds + far.count + 1);
      farTargets[at] = source;
      farKinds[at] = oneWayIn;
      ++far.count;
      if (far.inCount < 255) ++far.inCount;
      far.changed = true;
      result = std::max(result, far.count);
    }
    spinner = ProgressTick(spinner, kSpinnerStep);
  }
  lists.Store(universe);

  EndPhaseLine();
  return result;
}
