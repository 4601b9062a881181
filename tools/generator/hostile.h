// The hostile game: the same world written in text that readers must survive.
// Most lines end in CR LF, some in LF alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/generator/world.h"

namespace generator {

// The sector capture of the sectors `explored` marks, with every oddity a reader
// must survive: junk lines, spoiled words, a second line of 300 warps, a line of
// 70000 characters, lines ended by a lone CR, a last line without its end. The
// lines of forced sectors stay whole, so the specials stay reachable.
std::string HostileSectorCapture(const World& w, const std::vector<std::uint8_t>& explored,
                                 Rng& rng);

// Port capture `k` with signed, spoiled, missing and repeated groups, junk
// lines and a port beyond the universe.
std::string HostilePortCapture(const World& w, std::size_t k, Rng& rng);

// The fighter data with blanks, tabs, signs, extra words and junk lines.
std::string HostileFigFile(const World& w, Rng& rng);

// The clean log, then lines that try the reader's colon, IGNORE and comment
// rules.
std::string HostileLogFile(const World& w, Rng& rng);

// The clean notes, then odd lines, an empty line that ends the notes, and a
// line after it.
std::string HostileNotesFile(const World& w, Rng& rng);

// The clean route file, then courses broken in the ways a reader must survive.
std::string HostileRouteFile(const World& w, Rng& rng);

}  // namespace generator
