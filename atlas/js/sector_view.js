// The sector view: a sector and its neighbourhood on rings by hop count, and
// the same neighbourhood as a sortable list.

import { el, setField, counted, readForm } from "./dom.js";
import { showDetails, notInUniverse, sectorLink } from "./details.js";
import { drawNothing, drawRings } from "./drawing.js";
import { inUniverse, portOf } from "./universe.js";
import { neighbourhood, sortNeighbours } from "./neighbourhood.js";
import { readSector, readWhole } from "./fields.js";
import { DEFAULT_HOPS, MAX_HOPS } from "./address.js";
import { resultTable } from "./result_table.js";

// Rows the list shows at first and adds with each "more".
const LIST_PAGE = 200;
const hoodSort = { column: "hops", descending: false };
let hoodShown = { sector: 0, all: [] };

// The neighbourhood as a table: sector, hops, port and note, sortable by each.
function showHoodList(atlas) {
  const { u } = atlas;
  const { all } = hoodShown;
  const box = document.getElementById("hood-list");
  const summary = box.querySelector("summary");
  summary.textContent = `the ${counted(all.length, "sector")} as a list`;
  const table = resultTable({
    id: "hood-table",
    columns: [{ key: "sector", label: "sector", sorts: true }, { key: "hops", label: "hops", sorts: true },
      { key: "port", label: "port", sorts: true }, { key: "note", label: "note", sorts: true, text: true }],
    items: sortNeighbours(u, all, hoodSort.column, hoodSort.descending),
    page: LIST_PAGE,
    makeRow: ({ sector, ring }) => {
      const port = portOf(u, sector);
      return el("tr", { "data-sector": sector }, el("td", {}, sectorLink(sector)), el("td", {}, String(ring)),
        el("td", {}, port ? port.letters : ""), el("td", { class: "marks" }, u.notes.get(sector) || ""));
    },
    sort: hoodSort,
    onSort: (key) => {
      hoodSort.descending = hoodSort.column === key ? !hoodSort.descending : false;
      hoodSort.column = key;
      showHoodList(atlas);
      box.querySelector(`button[data-sort="${key}"]`).focus();
    },
  });
  box.replaceChildren(summary, table);
}

export const sectorView = {
  tab: "sector",

  show(atlas, { sector, hops }) {
    const { u } = atlas;
    setField("sector-form", "sector", sector);
    setField("sector-form", "hops", hops);
    showDetails(atlas, sector);
    const box = document.getElementById("hood-list");
    if (!inUniverse(u, sector)) {
      box.hidden = true;
      drawNothing(atlas, notInUniverse(atlas, sector));
      return;
    }
    const hood = neighbourhood(u, sector, hops);
    drawRings(atlas, hood, sector,
      `sector ${sector} and the ${counted(hood.total - 1, "sector")} within ${counted(hops, "hop")}, counting warps either way`);
    hoodShown = { sector, all: hood.all };
    box.hidden = false;
    box.querySelector("summary").textContent = `the ${counted(hood.all.length, "sector")} as a list`;
    // The list is built when it is opened, and again on each view while open.
    if (box.open) showHoodList(atlas);
    else box.replaceChildren(box.querySelector("summary"));
  },

  // The view the tab shows when opened for the first time.
  fresh(sector) {
    return { view: "sector", sector, hops: DEFAULT_HOPS };
  },

  focus(view) {
    return view.sector;
  },

  wire(atlas) {
    const form = document.getElementById("sector-form");
    form.addEventListener("submit", (event) => {
      event.preventDefault();
      const read = readForm("sector-form", {
        sector: (text) => readSector(text, atlas.u.n),
        hops: (text) => readWhole(text, 1, MAX_HOPS, DEFAULT_HOPS),
      });
      if (read) atlas.go({ view: "sector", sector: read.sector, hops: read.hops });
    });
    // A new hop count redraws at once.
    form.elements.hops.addEventListener("change", () => form.requestSubmit());
    const box = el("details", { id: "hood-list", class: "hood-list" }, el("summary", {}, "the neighbourhood as a list"));
    box.addEventListener("toggle", () => {
      if (box.open) showHoodList(atlas);
    });
    document.querySelector('.tool[data-tool="sector"]').append(box);
  },
};
