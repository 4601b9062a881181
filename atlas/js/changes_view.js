// The changes view: what this run found against the last run's map, grouped
// by kind, each group sortable by sector, each row a link to its sector.

import { el, counted } from "./dom.js";
import { sectorLink, showNoDetails } from "./details.js";
import { drawNothing } from "./drawing.js";
import { CHANGE_KINDS } from "./universe.js";
import { CHANGE_HEADINGS, changeWords, whyNoChanges } from "./changes.js";
import { resultTable } from "./result_table.js";

const CHANGES_PAGE = 50;
// Per kind, whether its group is sorted by sector from the highest.
const changesDescending = CHANGE_KINDS.map(() => false);

function changeGroup(atlas, kind) {
  const { key, name } = CHANGE_KINDS[kind];
  const list = atlas.u.changes[key];
  const items = changesDescending[kind] ? list.slice().reverse() : list;
  const group = el("section", { class: "change-group", "data-kind": name, "aria-labelledby": `changes-${name}` },
    el("h3", { id: `changes-${name}` }, `${CHANGE_HEADINGS[kind]} (${list.length})`));
  if (list.length === 0) {
    group.append(el("p", { class: "quiet" }, "none"));
    return group;
  }
  group.append(resultTable({
    id: `changes-${name}-table`,
    columns: [{ key: "sector", label: "sector", sorts: true }, { key: "what", label: "what changed", text: true }],
    items,
    page: CHANGES_PAGE,
    makeRow: (change) => el("tr", { "data-sector": change.sector, "data-change": name },
      el("td", {}, sectorLink(change.sector)), el("td", { class: "marks" }, changeWords(kind, change))),
    sort: { column: "sector", descending: changesDescending[kind] },
    onSort: () => {
      changesDescending[kind] = !changesDescending[kind];
      const fresh = changeGroup(atlas, kind);
      group.replaceWith(fresh);
      fresh.querySelector("button.sort").focus();
    },
  }));
  return group;
}

export const changesView = {
  // Its list is its answer: the tools get more room.
  wide: true,
  tab: "changes",

  show(atlas) {
    const { u } = atlas;
    showNoDetails();
    const result = document.getElementById("changes-result");
    const why = whyNoChanges(u);
    if (why) {
      result.replaceChildren(el("p", { class: "problem", id: "changes-why" }, why));
      drawNothing(atlas, `no changes to show: ${why}`);
      return;
    }
    const total = CHANGE_KINDS.reduce((sum, { key }) => sum + u.changes[key].length, 0);
    // An index of the groups, each a link to its group.
    const index = el("ul", { class: "change-index" }, ...CHANGE_KINDS.map(({ key, name }, kind) =>
      el("li", {}, el("a", { href: `#changes`, "data-group": name }, `${CHANGE_HEADINGS[kind]}: ${u.changes[key].length}`))));
    index.addEventListener("click", (event) => {
      const link = event.target.closest("a[data-group]");
      if (!link) return;
      event.preventDefault();
      const heading = document.getElementById(`changes-${link.dataset.group}`);
      heading.scrollIntoView({ block: "start" });
      heading.tabIndex = -1;
      heading.focus({ preventScroll: true });
    });
    result.replaceChildren(
      el("p", { id: "changes-count" }, `${counted(total, "change")} in ${counted(atlas.changesAt.size, "sector")} against the map of the last run (${counted(u.changes.records, "sector")} compared)`),
      index,
      ...CHANGE_KINDS.map((_, kind) => changeGroup(atlas, kind)));
    drawNothing(atlas, `${counted(total, "change")} since the last map in ${counted(atlas.changesAt.size, "sector")}: choose one to see it; changed sectors carry a white mark in every drawing`);
  },

  // The view the tab shows when opened for the first time.
  fresh() {
    return { view: "changes" };
  },

  focus() {
    return 0;
  },

  wire() {},
};
