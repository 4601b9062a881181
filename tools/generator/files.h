// The game's files as a player saves them: the captures as the game prints them,
// the reference copies an earlier run left, figs, log, notes, the route file and
// the command line. Each text line ends in CR LF.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/generator/world.h"

namespace generator {

// The sectors marked in `marks`, ascending.
std::vector<std::uint16_t> Sectors(const World& w, const std::vector<std::uint8_t>& marks);

// A capture as the game prints it: five-column sector numbers, warps ascending,
// one-word prompt lines around it.
std::string SectorCapture(const World& w, const std::vector<std::uint8_t>& explored);

// Amounts and percentages of one port as capture `k` sees them.
void PortState(const Port& p, std::size_t k, std::array<std::uint32_t, 3>& amount,
               std::array<std::uint32_t, 3>& percent);

// Port capture `k` (0 the earlier one, 1 the first, 2 the second) as the game
// prints it, between one-word prompt lines.
std::string PortCapture(const World& w, std::size_t k);

// The sector reference copy an earlier run wrote: its explored sectors with
// their lists, and the sectors they lead to as lines of their number alone.
std::string ReferenceSectors(const World& w);

// The port reference copy an earlier run wrote: the ports it saw reporting as
// read, the ones it knew only from its own reference copy estimated at 100 %.
std::string ReferencePorts(const World& w, Rng& rng);

// Figs next to fed space, along the forced routes and in a few explored sectors.
std::vector<std::uint16_t> FigSectors(const World& w, Rng& rng);

// The fighter data: one sector number a line.
std::string FigFile(const World& w, Rng& rng);

// A random sector that the first capture explores.
std::uint16_t RandomExplored(const World& w, Rng& rng);

// The trip log: "sector: text" lines, some of them to be ignored.
std::string LogFile(const World& w, Rng& rng);

// The notes an earlier run left: a few labelled sectors, a stale distance
// reference label and the end marker.
std::string NotesFile(const World& w, Rng& rng);

// The route file: courses between terra and the specials, and trips into
// unexplored space, plotted as the game prints them.
std::string RouteFile(const World& w, Rng& rng);

// The command line that suits the game; `references` is its /d: list.
std::string CommandLine(const World& w, const GameOptions& options, std::string_view references);

// The distance references joined by ";".
std::string ReferenceList(const World& w);

}  // namespace generator
