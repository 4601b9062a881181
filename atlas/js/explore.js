// Exploring: from a sector, the unexplored sectors a known course reaches and
// the dead ends around it, nearest first, from one sweep over known warps (the
// course plotter's rules).

import { sweepFrom } from "./course.js";
import { inUniverse } from "./universe.js";

// A dead end: an explored sector that lists a single warp of its own (one-way
// out or two-way), its only way out. Entries added for warps in do not count.
export function isDeadEnd(u, s) {
  if (!inUniverse(u, s) || !u.explored[s]) return false;
  let own = 0;
  for (let i = u.warpStart[s]; i < u.warpStart[s + 1]; i++) if (u.warpKind[i] <= 1) own++;
  return own === 1;
}

// From `from`: { unexplored, within, deadEnds }. `unexplored`: every
// unexplored sector a known course reaches, as { sector, hops }, nearest
// first, equally near in sector order; `within`: how many of them lie within
// `radius` hops (Infinity: all); `deadEnds`: every dead end a known course
// reaches, in the same form and order. `from` itself is in neither list.
// Nothing for a sector outside the universe.
export function exploreFrom(u, from, radius = Infinity) {
  const result = { unexplored: [], within: 0, deadEnds: [] };
  if (!inUniverse(u, from)) return result;
  const { hops } = sweepFrom(u, from);
  // Sectors by hops: one pass counts each distance, a second places them, so
  // that the lists come out sorted without a comparison sort.
  let deepest = 0;
  for (let s = 1; s <= u.n; s++) if (hops[s] > deepest) deepest = hops[s];
  const start = new Uint32Array(deepest + 2);
  for (let s = 1; s <= u.n; s++) if (hops[s] >= 0) start[hops[s] + 1]++;
  for (let h = 1; h <= deepest + 1; h++) start[h] += start[h - 1];
  const bySteps = new Uint16Array(start[deepest + 1]);
  for (let s = 1; s <= u.n; s++) if (hops[s] >= 0) bySteps[start[hops[s]]++] = s;
  for (const s of bySteps) {
    const h = hops[s];
    if (s === from) continue;
    if (!u.explored[s]) {
      result.unexplored.push({ sector: s, hops: h });
      if (h <= radius) result.within++;
    } else if (isDeadEnd(u, s)) {
      result.deadEnds.push({ sector: s, hops: h });
    }
  }
  return result;
}
