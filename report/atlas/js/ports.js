// Ports: what each port buys and sells, and the port finder, which lists the
// nearest ports by hops that trade a product the way the player asks.

import { sweepFrom } from "./course.js";
import { inUniverse } from "./universe.js";

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

// The nearest ports from `from` that answer `want`, nearest first, at most
// `limit` of them: { sector, hops, port }. Equally near ports come in sector
// order. Only ports a known course reaches are listed.
export function findPorts(u, from, want, limit = 20) {
  if (!inUniverse(u, from)) return [];
  const { hops } = sweepFrom(u, from);
  const found = [];
  for (const port of u.ports) {
    const h = hops[port.sector];
    if (h >= 0 && portMatches(port, want)) found.push({ sector: port.sector, hops: h, port });
  }
  found.sort((a, b) => a.hops - b.hops || a.sector - b.sector);
  return found.slice(0, limit);
}
