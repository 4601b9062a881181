// The d3 modules for the tests, loaded as the page loads the one it embeds
// (d3-quadtree): the same files, run as plain scripts that fill in a global
// "d3". d3-force, with what it needs, is the layout test's reference: the
// page settles its rings as d3-force's simulation would.

import { readFileSync } from "node:fs";
import vm from "node:vm";

const FILES = ["d3-dispatch", "d3-timer", "d3-quadtree", "d3-collection", "d3-force"];

export function loadD3() {
  // The simulation starts a timer, which the page stops at once.
  const context = vm.createContext({ setTimeout, clearTimeout, setInterval, clearInterval, performance });
  for (const name of FILES) {
    vm.runInContext(readFileSync(new URL(`../vendor/${name}.min.js`, import.meta.url), "utf8"), context);
  }
  return context.d3;
}
