// What this run found against the last run's map, in words: each kind of
// change as a group of the changes view, each change as a line of a sector's
// details, and why there is nothing to show when the run did not compare.

import { CHANGE_KINDS, CHANGES_NOT_ASKED, CHANGES_NO_MAP, CHANGES_UNUSABLE_MAP } from "./universe.js";
import { PRODUCTS, portClassName } from "./ports.js";

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

// One change in words, without its sector: "fuel ore up by 1435".
export function changeWords(kind, change) {
  switch (CHANGE_KINDS[kind].key) {
    case "explored": return "newly explored";
    case "newPort": return "port found";
    case "portGone": return "port gone";
    case "classChanged": return `class changed from ${portClassName(change.before)} to ${portClassName(change.now)}`;
    case "up": return `${PRODUCTS[change.product]} up by ${change.amount}`;
    case "down": return `${PRODUCTS[change.product]} down by ${change.amount}`;
    case "newWarps": return change.targets.length > 0 ? `new warps: ${change.targets.join(" ")}` : "new warps";
    case "warpsGone": return `warps gone: ${change.targets.join(" ")}`;
    default: return "";
  }
}

// Every change by sector: Map sector -> [{ kind, change, words }], kinds in
// CHANGE_KINDS order.
export function changesBySector(u) {
  const at = new Map();
  CHANGE_KINDS.forEach(({ key }, kind) => {
    for (const change of u.changes[key]) {
      if (!at.has(change.sector)) at.set(change.sector, []);
      at.get(change.sector).push({ kind, change, words: changeWords(kind, change) });
    }
  });
  return at;
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
