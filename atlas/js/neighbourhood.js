// What is drawn around a sector: the sectors within a few warps of it, each on
// the ring of its distance, and the warps among them.

import { inUniverse } from "./universe.js";
import { portClassNumber } from "./ports.js";

// Class numbers by buying mask, for sorting.
const CLASS_OF_MASK_ORDER = [0, 1, 2, 3, 4, 5, 6, 7].map(portClassNumber);

// Every warp between two sectors of `members` (a Set), once per pair:
// { from, to, twoWay }. A one-way warp runs from the sector that lists it (a
// one-way-out entry there, a one-way-in entry at its target); a pair known to
// run both ways is one two-way edge. Warps of a sector to itself are not drawn.
export function warpsAmong(u, members) {
  // a * 65536 + b with a < b (sector numbers are below 65536) -> bit 1 a to
  // b, bit 2 b to a.
  const pairs = new Map();
  for (const s of members) {
    for (let i = u.warpStart[s]; i < u.warpStart[s + 1]; i++) {
      const t = u.warpTarget[i];
      const kind = u.warpKind[i];
      if (t === s || kind > 2 || !members.has(t)) continue;
      const a = Math.min(s, t);
      const key = a * 65536 + Math.max(s, t);
      // Kind 0: s to t; kind 2: t to s; kind 1: both.
      const forward = kind !== 2 ? (s === a ? 1 : 2) : 0;
      const backward = kind !== 0 ? (t === a ? 1 : 2) : 0;
      pairs.set(key, (pairs.get(key) || 0) | forward | backward);
    }
  }
  const edges = [];
  for (const [key, ways] of pairs) {
    const a = Math.floor(key / 65536);
    const b = key % 65536;
    if (ways === 3) edges.push({ from: a, to: b, twoWay: true });
    else if (ways === 1) edges.push({ from: a, to: b, twoWay: false });
    else edges.push({ from: b, to: a, twoWay: false });
  }
  return edges;
}

// The sectors within `radius` warps of `centre`, following warps either way:
// { nodes: [{ sector, ring }], edges, total, all }. At most `limit` sectors
// are kept, the nearest first (breadth-first, in list order); `total` counts
// every sector within the radius and `all` lists them, as the nodes.
export function neighbourhood(u, centre, radius, limit = 400) {
  const nodes = [];
  const ring = new Map();
  if (!inUniverse(u, centre)) return { nodes, edges: [], total: 0, all: [] };
  ring.set(centre, 0);
  const queue = [centre];
  for (let head = 0; head < queue.length; head++) {
    const s = queue[head];
    const r = ring.get(s);
    if (r >= radius) continue;
    for (let i = u.warpStart[s]; i < u.warpStart[s + 1]; i++) {
      const t = u.warpTarget[i];
      if (t < 1 || t > u.n || ring.has(t) || u.warpKind[i] > 2) continue;
      ring.set(t, r + 1);
      queue.push(t);
    }
  }
  const all = queue.map((s) => ({ sector: s, ring: ring.get(s) }));
  const kept = new Set(queue.slice(0, limit));
  return { nodes: all.slice(0, limit), edges: warpsAmong(u, kept), total: queue.length, all };
}

// Sorts a neighbourhood's sectors ({ sector, ring }) by a column of its list:
// "sector", "hops", "port" (by class number, sectors without a port last) or
// "note" (sectors with a note first, by its text); ties by hops, then sector.
export function sortNeighbours(u, list, column, descending = false) {
  const key = {
    sector: (a) => a.sector,
    hops: (a) => a.ring,
    port: (a) => (u.portOf[a.sector] >= 0 ? CLASS_OF_MASK_ORDER[u.ports[u.portOf[a.sector]].buying] : 9),
    note: (a) => u.notes.get(a.sector),
  }[column];
  const sign = descending ? -1 : 1;
  const compare = (a, b) => {
    const x = key(a);
    const y = key(b);
    if (x === y) return 0;
    if (x === undefined) return 1;
    if (y === undefined) return -1;
    return sign * (x < y ? -1 : 1);
  };
  return list.slice().sort((a, b) => compare(a, b) || a.ring - b.ring || a.sector - b.sector);
}

// A group of sectors drawn from one of them (a bubble from its gate): the
// members on rings by their distance from `centre` over warps among the
// members; members no such warp reaches go on a ring outside the others. At
// most `limit` sectors are kept, the nearest first; `total` counts them all.
export function groupAround(u, centre, members, limit = 400) {
  const inside = new Set(members);
  inside.add(centre);
  const ring = new Map([[centre, 0]]);
  const queue = [centre];
  for (let head = 0; head < queue.length; head++) {
    const s = queue[head];
    for (let i = u.warpStart[s]; i < u.warpStart[s + 1]; i++) {
      const t = u.warpTarget[i];
      if (!inside.has(t) || ring.has(t) || u.warpKind[i] > 2) continue;
      ring.set(t, ring.get(s) + 1);
      queue.push(t);
    }
  }
  const outer = ring.get(queue[queue.length - 1]) + 1;
  const nodes = queue.map((s) => ({ sector: s, ring: ring.get(s) }));
  for (const s of inside) if (!ring.has(s)) nodes.push({ sector: s, ring: outer });
  const kept = nodes.slice(0, limit);
  return { nodes: kept, edges: warpsAmong(u, new Set(kept.map((node) => node.sector))), total: nodes.length };
}
