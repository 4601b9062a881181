// The explore view: from a sector, the nearest unexplored sectors a known
// course reaches, each with the course there, how many lie within a few hops,
// and the dead ends around it.

import { el, setField, counted, markField } from "./dom.js";
import { showDetails, notInUniverse, sectorLink } from "./details.js";
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
    const { unexplored, within: near, deadEnds } = exploreFrom(u, from, within);
    const columns = [{ key: "sector", label: "sector" }, { key: "hops", label: "hops" }, { key: "course", label: "" }];
    const reach = within === Infinity ? "" : `, ${near} of them within ${counted(within, "hop")}`;
    result.replaceChildren(
      el("h3", {}, "Unexplored sectors"),
      el("p", { id: "explore-count" }, `${counted(unexplored.length, "unexplored sector")} a known course from ${from} reaches${reach}; nearest first`),
      unexplored.length > 0 ? resultTable({ id: "explore-table", columns, items: unexplored, page: EXPLORE_PAGE, makeRow: (row) => exploreRow(from, row) }) : "",
      el("h3", {}, "Dead ends"),
      el("p", { id: "dead-end-count" }, `${counted(deadEnds.length, "dead end")} (explored sectors with a single warp out) a known course from ${from} reaches; nearest first`),
      deadEnds.length > 0 ? resultTable({ id: "dead-end-table", columns, items: deadEnds, page: EXPLORE_PAGE, makeRow: (row) => exploreRow(from, row) }) : "");

    if (unexplored.length === 0) {
      drawNothing(atlas, `no known course from ${from} reaches an unexplored sector`);
      return;
    }
    const nearest = unexplored.slice(0, EXPLORE_DRAWN);
    const courses = nearest.map(({ sector }) => plotCourse(u, from, sector) || []);
    const members = new Set(courses.flat());
    members.add(from);
    drawRings(atlas, groupAround(u, from, members), from,
      `${counted(unexplored.length, "unexplored sector")} reached from ${from}${reach}; the nearest ${nearest.length} drawn (marked) with their courses`,
      { about: new Set(nearest.map(({ sector }) => sector)) });
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
  },
};
