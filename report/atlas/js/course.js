// Courses: the fewest hops from one sector to another over known warps, each
// flown only in a direction it is known to run. A sector's own list says where
// it leads: its one-way-out and two-way entries. An entry added because another
// sector warps in (one-way in) is no way out, and a sector no capture listed
// has no known way out at all.

import { inUniverse } from "./universe.js";

// Breadth-first hop counts from `from` over the known ways out: hops[s] (-1
// where no known route leads) and the sector each was first reached from.
// Sectors in `avoid` are never entered. Neighbours are taken in list order, so
// among equally short courses the one through earlier-listed warps wins.
export function sweepFrom(u, from, avoid = new Set()) {
  const hops = new Int32Array(u.n + 1).fill(-1);
  const previous = new Uint16Array(u.n + 1);
  if (!inUniverse(u, from)) return { hops, previous };
  const queue = new Uint16Array(u.n);
  let head = 0;
  let tail = 0;
  hops[from] = 0;
  queue[tail++] = from;
  while (head < tail) {
    const s = queue[head++];
    const next = hops[s] + 1;
    for (let i = u.warpStart[s], end = u.warpStart[s + 1]; i < end; i++) {
      if (u.warpKind[i] > 1) continue;
      const t = u.warpTarget[i];
      if (t < 1 || t > u.n || hops[t] >= 0 || avoid.has(t)) continue;
      hops[t] = next;
      previous[t] = s;
      queue[tail++] = t;
    }
  }
  return { hops, previous };
}

// The course from `from` to `to` as a list of sectors (both ends included), or
// null when no known route leads there. The ends are never avoided.
export function plotCourse(u, from, to, avoid = []) {
  if (!inUniverse(u, from) || !inUniverse(u, to)) return null;
  const avoided = new Set(avoid.filter((s) => s !== from && s !== to));
  const { hops, previous } = sweepFrom(u, from, avoided);
  if (hops[to] < 0) return null;
  const course = [to];
  for (let s = to; s !== from; s = previous[s]) course.push(previous[s]);
  return course.reverse();
}

// A course as the major space lane report writes one: "12 > 345 > 6789".
export function formatCourse(course) {
  return course.join(" > ");
}
