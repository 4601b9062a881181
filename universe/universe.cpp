#include "universe/universe.h"

#include <algorithm>

#include "text/text.h"

Universe::Universe(std::uint16_t n, std::size_t specialCount)
    : n_(n), sectors_(static_cast<std::size_t>(n) + 1) {
  unknown_.hopsTo.assign(specialCount, kNoRoute);
  unknown_.hopsFrom.assign(specialCount, kNoRoute);
  for (std::size_t s = 1; s < sectors_.size(); ++s) {
    sectors_[s].hopsTo.assign(specialCount, kNoRoute);
    sectors_[s].hopsFrom.assign(specialCount, kNoRoute);
  }
}

Specials BuildSpecials(std::uint16_t n, std::uint16_t alphaCentauri, std::uint16_t rylos,
                       std::uint16_t stardock, std::string_view distanceList) {
  Specials specials = {0, 1, alphaCentauri, rylos, stardock};
  // One pass over the list: fetching word i by counting from the start each
  // time takes minutes for a list of many thousand entries.
  std::size_t pos = 0;
  for (std::string_view word = NextWord(distanceList, pos, ';'); !word.empty();
       word = NextWord(distanceList, pos, ';')) {
    // specialCount is 16 bits wide everywhere: a longer table would wrap it.
    if (specials.size() == kMaxSpecialCount) break;
    auto value = TextToInt(word, 1, n);
    if (value) specials.push_back(static_cast<std::uint16_t>(*value));
  }
  return specials;
}

std::size_t UsableSlots(const Universe& universe, const Specials& specials) {
  return std::min(specials.size(), universe.specialCount());
}

Universe CreateUniverse(std::uint16_t n, std::size_t specialCount) {
  return Universe(n, specialCount);
}
