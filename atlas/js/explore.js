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

// From `from`, within `radius` hops (Infinity: any): { unexplored, deadEnds,
// reached, beyond }. `unexplored`: the unexplored sectors a known course
// reaches within the radius, as { sector, hops }, nearest first, equally near
// in sector order; `deadEnds`: the dead ends, in the same form and order;
// `reached`: how many a known course reaches at any distance, { sectors,
// unexplored, deadEnds } (sectors: every one but `from`); `beyond`: the
// nearest unexplored sector and dead end beyond the radius ({ unexplored,
// deadEnds }, each { sector, hops } or null). `from` itself is in none of
// them. Nothing for a sector outside the universe.
export function exploreFrom(u, from, radius = Infinity) {
  const result = { unexplored: [], deadEnds: [], reached: { sectors: 0, unexplored: 0, deadEnds: 0 }, beyond: { unexplored: null, deadEnds: null } };
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
  const { reached, beyond } = result;
  for (const s of bySteps) {
    if (s === from) continue;
    reached.sectors++;
    const kind = !u.explored[s] ? "unexplored" : isDeadEnd(u, s) ? "deadEnds" : null;
    if (!kind) continue;
    reached[kind]++;
    const found = { sector: s, hops: hops[s] };
    if (found.hops <= radius) result[kind].push(found);
    else beyond[kind] ||= found;
  }
  return result;
}
