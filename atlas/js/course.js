// Courses: the fewest hops from one sector to another over known warps, each
// flown only in a direction it is known to run. A sector's own list says where
// it leads: its one-way-out and two-way entries. An entry added because another
// sector warps in (one-way in) is no way out, and a sector no capture listed
// has no known way out at all.

import { inUniverse } from "./universe.js";

// Breadth-first hop counts from `from` over the known ways out: hops[s] (-1
// where no known route leads) and the sector each was first reached from.
// Sectors in `avoid` are never entered; the sweep stops once it reaches `to`
// (when given). Neighbours are taken in list order, so among equally short
// courses the one through earlier-listed warps wins.
export function sweepFrom(u, from, avoid = [], to = 0) {
  const hops = new Int32Array(u.n + 1).fill(-1);
  const previous = new Uint16Array(u.n + 1);
  if (!inUniverse(u, from)) return { hops, previous };
  // Avoided sectors count as reached already.
  for (const s of avoid) if (inUniverse(u, s) && s !== from) hops[s] = -2;
  const { warpStart, warpTarget, warpKind, n } = u;
  const queue = new Uint16Array(n);
  let head = 0;
  let tail = 0;
  hops[from] = 0;
  queue[tail++] = from;
  while (head < tail) {
    const s = queue[head++];
    if (s === to) break;
    const next = hops[s] + 1;
    for (let i = warpStart[s], end = warpStart[s + 1]; i < end; i++) {
      const t = warpTarget[i];
      if (warpKind[i] > 1 || t < 1 || t > n || hops[t] !== -1) continue;
      hops[t] = next;
      previous[t] = s;
      queue[tail++] = t;
    }
  }
  for (const s of avoid) if (inUniverse(u, s) && hops[s] === -2) hops[s] = -1;
  return { hops, previous };
}

// The fewest hops from every sector to `to` over the known ways out, by the
// same rules as sweepFrom: hops[s] (-1 where no known route leads from s to
// `to`). One breadth-first sweep back along the warps that can be flown, so a
// list of many sectors gets its hops back at once.
export function sweepTo(u, to) {
  const { warpStart, warpTarget, warpKind, n } = u;
  const hops = new Int32Array(n + 1).fill(-1);
  if (!inUniverse(u, to)) return { hops };
  // The ways in of each sector: the sectors whose lists fly to it, gathered
  // into one array (intoStart[t] .. intoStart[t + 1]).
  const intoStart = new Uint32Array(n + 2);
  for (let i = 0; i < warpTarget.length; i++) {
    const t = warpTarget[i];
    if (warpKind[i] <= 1 && t >= 1 && t <= n) intoStart[t + 1]++;
  }
  for (let t = 1; t <= n + 1; t++) intoStart[t] += intoStart[t - 1];
  const into = new Uint16Array(intoStart[n + 1]);
  const filled = intoStart.slice(0, n + 1);
  for (let s = 1; s <= n; s++) {
    for (let i = warpStart[s], end = warpStart[s + 1]; i < end; i++) {
      const t = warpTarget[i];
      if (warpKind[i] <= 1 && t >= 1 && t <= n) into[filled[t]++] = s;
    }
  }
  const queue = new Uint16Array(n);
  let head = 0;
  let tail = 0;
  hops[to] = 0;
  queue[tail++] = to;
  while (head < tail) {
    const t = queue[head++];
    const next = hops[t] + 1;
    for (let i = intoStart[t], end = intoStart[t + 1]; i < end; i++) {
      const s = into[i];
      if (hops[s] !== -1) continue;
      hops[s] = next;
      queue[tail++] = s;
    }
  }
  return { hops };
}

// The course from `from` to `to` (a sector of the universe) that a sweep from
// `from` (sweepFrom) found, as a list of sectors, both ends included, or null
// when it reached no `to`: one sweep gives the courses to many sectors.
export function courseIn({ hops, previous }, from, to) {
  if (hops[to] < 0) return null;
  const course = [to];
  for (let s = to; s !== from; s = previous[s]) course.push(previous[s]);
  return course.reverse();
}

// The course from `from` to `to` as a list of sectors (both ends included), or
// null when no known route leads there. The ends are never avoided.
export function plotCourse(u, from, to, avoid = []) {
  if (!inUniverse(u, from) || !inUniverse(u, to)) return null;
  return courseIn(sweepFrom(u, from, avoid.filter((s) => s !== to), to), from, to);
}

// The course from the first of `sectors` to the last by the others in order:
// each leg the fewest hops from one to the next, every leg avoiding `avoid`.
// { course (the legs joined, a stop once where one leg ends and the next
// begins), legs: [{ from, to, hops }] }; when a leg has no known route,
// { course: null, legs (those before it), failed: { from, to } }.
export function plotCourseBy(u, sectors, avoid = []) {
  const course = [sectors[0]];
  const legs = [];
  for (let i = 1; i < sectors.length; i++) {
    const from = sectors[i - 1];
    const to = sectors[i];
    const leg = plotCourse(u, from, to, avoid);
    if (!leg) return { course: null, legs, failed: { from, to } };
    legs.push({ from, to, hops: leg.length - 1 });
    for (let k = 1; k < leg.length; k++) course.push(leg[k]);
  }
  return { course, legs };
}

// A course as the major space lane report writes one: "12 > 345 > 6789".
export function formatCourse(course) {
  return course.join(" > ");
}
