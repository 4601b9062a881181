// The explore view: from a sector, the unexplored sectors a known course
// reaches within a chosen number of hops, nearest first, each with the course
// there, and the dead ends around it; an empty list says why.

import { el, setField, counted, markField } from "./dom.js";
import { showDetails, notInUniverse, sectorLink, noWayOut } from "./details.js";
import { drawNothing, drawRings } from "./drawing.js";
import { inUniverse } from "./universe.js";
import { readSector } from "./fields.js";
import { exploreFrom } from "./explore.js";
import { plotCourse } from "./course.js";
import { groupAround } from "./neighbourhood.js";
import { formatAddress, formatWithin, choiceWithin, WITHIN_CHOICES } from "./address.js";
import { resultTable } from "./result_table.js";

const EXPLORE_PAGE = 50;
// The courses to this many of the nearest unexplored sectors are drawn.
const EXPLORE_DRAWN = 6;

function exploreRow(from, { sector, hops }) {
  return el("tr", { "data-sector": sector, "data-hops": hops }, el("td", {}, sectorLink(sector)), el("td", {}, String(hops)),
    el("td", {}, el("a", { href: formatAddress({ view: "course", from, to: sector, avoid: [] }) }, "course")));
}

// Why a list of what exploring finds is empty: `kind` "unexplored" or
// "deadEnds", `words` what it lists ("unexplored sector", "dead end").
function whyNone(atlas, from, within, { reached, beyond }, kind, words) {
  if (reached.sectors === 0) return noWayOut(atlas, from);
  if (reached[kind] === 0) return `none of the ${counted(reached.sectors, "sector")} a known course from ${from} reaches is ${kind === "unexplored" ? "unexplored" : "a dead end"}`;
  const next = beyond[kind];
  return `no ${words} within ${counted(within, "hop")} of ${from}; the nearest, ${next.sector}, lies ${counted(next.hops, "hop")} away`;
}

export const exploreView = {
  tab: "explore",

  show(atlas, { from, within }) {
    const { u } = atlas;
    const form = document.getElementById("explore-form");
    setField("explore-form", "from", from);
    markField(form.elements.from, null);
    setField("explore-form", "within", formatWithin(within));
    showDetails(atlas, from);
    const result = document.getElementById("explore-result");
    if (!inUniverse(u, from)) {
      result.replaceChildren(el("p", { class: "problem" }, notInUniverse(atlas, from)));
      drawNothing(atlas, notInUniverse(atlas, from));
      return;
    }
    const found = exploreFrom(u, from, within);
    const { unexplored, deadEnds, reached } = found;
    const columns = [{ key: "sector", label: "sector" }, { key: "hops", label: "hops" }, { key: "course", label: "" }];
    const near = (count) => (within === Infinity ? "" : `, ${count} of them within ${counted(within, "hop")}`);
    const order = (count) => (count > 0 ? "; nearest first" : "");
    const list = (id, items, kind, words) => (items.length > 0
      ? resultTable({ id, columns, items, page: EXPLORE_PAGE, makeRow: (row) => exploreRow(from, row) })
      : el("p", { id: `${id}-why`, class: "problem" }, whyNone(atlas, from, within, found, kind, words)));
    result.replaceChildren(
      el("h3", {}, "Unexplored sectors"),
      el("p", { id: "explore-count" }, `${counted(reached.unexplored, "unexplored sector")} a known course from ${from} reaches${near(unexplored.length)}${order(unexplored.length)}`),
      list("explore-table", unexplored, "unexplored", "unexplored sector"),
      el("h3", {}, "Dead ends"),
      el("p", { id: "dead-end-count" }, `${counted(reached.deadEnds, "dead end")} (explored sectors with a single warp out) a known course from ${from} reaches${near(deadEnds.length)}${order(deadEnds.length)}`),
      list("dead-end-table", deadEnds, "deadEnds", "dead end"));

    if (unexplored.length === 0) {
      drawNothing(atlas, whyNone(atlas, from, within, found, "unexplored", "unexplored sector"));
      return;
    }
    const nearest = unexplored.slice(0, EXPLORE_DRAWN);
    const courses = nearest.map(({ sector }) => plotCourse(u, from, sector) || []);
    const members = new Set(courses.flat());
    members.add(from);
    drawRings(atlas, groupAround(u, from, members), from,
      `${counted(reached.unexplored, "unexplored sector")} reached from ${from}${near(unexplored.length)}; the nearest ${nearest.length} drawn (marked) with their courses`,
      { about: new Set(nearest.map(({ sector }) => sector)), courses });
  },

  // The view the tab shows when opened for the first time.
  fresh(from) {
    return { view: "explore", from, within: Infinity };
  },

  focus(view) {
    return view.from;
  },

  wire(atlas) {
    const form = document.getElementById("explore-form");
    form.elements.within.replaceChildren(...WITHIN_CHOICES.map((choice) => el("option", {}, choice)));
    form.addEventListener("submit", (event) => {
      event.preventDefault();
      const from = readSector(form.elements.from.value, atlas.u.n);
      if (!markField(form.elements.from, from.problem)) return;
      atlas.go({ view: "explore", from: from.value, within: choiceWithin(form.elements.within.value) });
    });
    // A new Within lists again at once.
    form.elements.within.addEventListener("change", () => form.requestSubmit());
  },
};
