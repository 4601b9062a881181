// What this run found against the last run's map, in words: each kind of
// change as a group of the changes view, each change as a line of a sector's
// details, the changes near a sector, and why there is nothing to show when
// the run did not compare.

import { CHANGE_KINDS, CHANGES_NOT_ASKED, CHANGES_NO_MAP, CHANGES_UNUSABLE_MAP, inUniverse, portOf } from "./universe.js";
import { PRODUCTS, portClassName, portClassNumber } from "./ports.js";
import { sweepFrom } from "./course.js";

// The heading of each kind's group, in CHANGE_KINDS order.
export const CHANGE_HEADINGS = [
  "sectors newly explored",
  "ports found",
  "ports gone",
  "ports whose class changed",
  "capacities up",
  "capacities down",
  "sectors with new warps",
  "sectors with warps gone",
];

// One change in words, without its sector: "fuel ore up by 1435"; a port
// found with its class when the universe `u` is given ("port found: BBS
// (class 1)").
export function changeWords(kind, change, u = null) {
  switch (CHANGE_KINDS[kind].key) {
    case "explored": return "newly explored";
    case "newPort": {
      const port = u && portOf(u, change.sector);
      return port ? `port found: ${port.letters} (class ${portClassNumber(port.buying)})` : "port found";
    }
    case "portGone": return "port gone";
    case "classChanged": return `class changed from ${portClassName(change.before)} to ${portClassName(change.now)}`;
    case "up": return `${PRODUCTS[change.product]} up by ${change.amount}`;
    case "down": return `${PRODUCTS[change.product]} down by ${change.amount}`;
    case "newWarps": return change.targets.length > 0 ? `new warps: ${change.targets.join(" ")}` : "new warps";
    case "warpsGone": return `warps gone: ${change.targets.join(" ")}`;
    default: return "";
  }
}

const EXPLORED_KIND = CHANGE_KINDS.findIndex(({ key }) => key === "explored");

// Each kind's changes as the page lists them, in CHANGE_KINDS order: the
// run's, but "new warps" only of sectors explored before this run (every warp
// of a newly explored sector is new to the map: they are part of its being
// explored, not news of a sector the player knew).
export function listedChanges(u) {
  const { changes } = u;
  return CHANGE_KINDS.map(({ key }) => (key !== "newWarps" ? changes[key]
    : changes[key].filter(({ sector }) => ((changes.kindsAt[sector] >> EXPLORED_KIND) & 1) === 0)));
}

// Every change by sector, as listed: Map sector -> [{ kind, change, words }],
// kinds in CHANGE_KINDS order.
export function changesBySector(u) {
  const at = new Map();
  listedChanges(u).forEach((list, kind) => {
    for (const change of list) {
      if (!at.has(change.sector)) at.set(change.sector, []);
      at.get(change.sector).push({ kind, change, words: changeWords(kind, change, u) });
    }
  });
  return at;
}

// The changes of the sectors within `within` hops of `from` as flown (a known
// course; Infinity: any a course reaches): per kind, in CHANGE_KINDS order,
// [{ change, hops }] sorted by hops from `from`, then by sector (a sector's
// changes of one kind in the run's order). Nothing for a sector outside the
// universe. `sweep`: sweepFrom(u, from), when the caller has it already.
export function changesNear(u, from, within, sweep = null) {
  if (!inUniverse(u, from)) return CHANGE_KINDS.map(() => []);
  const { hops } = sweep || sweepFrom(u, from);
  return listedChanges(u).map((list) => {
    const near = [];
    for (const change of list) {
      const h = hops[change.sector];
      if (h >= 0 && h <= within) near.push({ change, hops: h });
    }
    // A stable sort: a sector's entries keep their order.
    return near.sort((x, y) => x.hops - y.hops || x.change.sector - y.change.sector);
  });
}

// Why the run found no changes to show, or null when it compared.
export function whyNoChanges(u) {
  switch (u.changes.state) {
    case CHANGES_NOT_ASKED:
      return "this run did not compare with the last run's map: run with /mm:7 (or any /mm: with 4 in it) to see what a capture found";
    case CHANGES_NO_MAP:
      return "there was no map of an earlier run to compare with: the next run with /mm:7 compares with the map this run wrote";
    case CHANGES_UNUSABLE_MAP:
      return "the map of the last run could not be compared (it is empty or damaged): the next run with /mm:7 compares with the map this run wrote";
    default:
      return null;
  }
}
