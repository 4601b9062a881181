// Ports: what each port buys and sells, and the port finder, which lists the
// ports a course reaches that trade a product the way the player asks,
// nearest first.

import { sweepFrom, sweepTo } from "./course.js";
import { inUniverse } from "./universe.js";
import { bubbleMarks } from "./bubbles.js";

export const PRODUCTS = ["fuel ore", "organics", "equipment"];
export const PRODUCT_KEYS = ["ore", "org", "equ"];

// The class letters of a buying mask ("B" buys, "S" sells; ore, organics,
// equipment): mask 3 is "BBS".
export function portClassName(mask) {
  return [0, 1, 2].map((i) => (mask >> i) & 1 ? "B" : "S").join("");
}

// The game's class numbers 1..8 of the masks 0..7 (BBS is class 1 ... BBB 8).
const CLASS_OF_MASK = [7, 6, 5, 1, 4, 2, 3, 8];

export function portClassNumber(mask) {
  return CLASS_OF_MASK[mask & 7];
}

// The masks of classes 1..8, for the class chooser.
export const CLASS_MASKS = [3, 5, 6, 4, 2, 1, 0, 7];

export function portBuys(port, product) {
  return ((port.buying >> product) & 1) === 1;
}

// Whether a port answers the search `want`: { product, buys } (the port buys,
// or sells, that product) or { mask } (the port is of that class).
export function portMatches(port, want) {
  if (want.mask !== undefined) return port.buying === want.mask;
  return portBuys(port, want.product) === want.buys;
}

// The products a search looks at: a trade search its product, a class search
// all three.
export function wantedProducts(want) {
  return want.mask === undefined ? [want.product] : [0, 1, 2];
}

// The port finder: every port a known course from `from` reaches that answers
// `want` and passes `filters`, nearest first, equally near ones in sector
// order: { found: [{ sector, hops, back, port }], known, reachable }. `back`
// is the fewest hops from the port back to `from` (-1: no known route);
// `known` counts the ports that answer `want`, `reachable` those of them a
// course reaches, before the filters. Filters (each left out, or null, for
// none): maxHops, the most hops there; minAmount and minPercent, the least
// amount and percentage of each product the search looks at; and
// leaveOutCompromised, true to leave out the sectors of compromised bubbles.
export function findPorts(u, from, want, filters = {}) {
  const result = { found: [], known: 0, reachable: 0 };
  const matching = u.ports.filter((port) => portMatches(port, want));
  result.known = matching.length;
  if (!inUniverse(u, from)) return result;
  const { hops } = sweepFrom(u, from);
  const back = sweepTo(u, from).hops;
  const { maxHops = null, minAmount = null, minPercent = null, leaveOutCompromised = false } = filters;
  const products = wantedProducts(want);
  const marks = leaveOutCompromised ? bubbleMarks(u) : null;
  for (const port of matching) {
    const h = hops[port.sector];
    if (h < 0) continue;
    result.reachable++;
    if (maxHops !== null && h > maxHops) continue;
    if (minAmount !== null && products.some((i) => port.amount[i] < minAmount)) continue;
    if (minPercent !== null && products.some((i) => port.percent[i] < minPercent)) continue;
    if (marks && marks[port.sector] === 3) continue;
    result.found.push({ sector: port.sector, hops: h, back: back[port.sector], port });
  }
  result.found.sort((a, b) => a.hops - b.hops || a.sector - b.sector);
  return result;
}
