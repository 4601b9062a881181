// The world's ports: their classes, capacities and stock levels at each time the
// game is seen, the sectors that the special port report lists, and which ports
// each capture shows.
#pragma once

#include "tools/generator/world.h"

namespace generator {

// Ports in kPortPercent of the sectors 2..n; alpha centauri, rylos and stardock
// keep the ports that no port capture lists.
void AssignPorts(World& w, Rng& rng);

// Sectors with six warps and a one-way warp in, showing no port (or BBB): the
// stardock and a few others that the special port report lists.
void AddSpecialPortCandidates(World& w, Rng& rng);

// Which ports each capture lists (a few explored ports are missing from each),
// then makes sure the first capture shows all eight classes.
void ListPorts(World& w, Rng& rng);

}  // namespace generator
