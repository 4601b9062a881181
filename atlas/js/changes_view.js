// The changes view: what this run found against the last run's map, grouped
// by kind, each row a link to its sector; every change, sortable by sector, or
// those near a sector (within a few hops as flown), nearest first, drawn with
// a mark for each kind.

import { el, setField, counted, markField } from "./dom.js";
import { sectorLink, showDetails, showNoDetails, notInUniverse } from "./details.js";
import { drawNothing, drawRings } from "./drawing.js";
import { CHANGE_KINDS, inUniverse, portOf } from "./universe.js";
import { CHANGE_HEADINGS, changeWords, whyNoChanges, listedChanges, changesNear } from "./changes.js";
import { sweepFrom } from "./course.js";
import { groupAround } from "./neighbourhood.js";
import { readSector } from "./fields.js";
import { formatWithin, choiceWithin, WITHIN_CHOICES } from "./address.js";
import { resultTable } from "./result_table.js";

const CHANGES_PAGE = 50;
// The most sectors the drawing of the changes near a sector holds: the
// changed sectors, nearest first, and the courses that lead to them.
const CHANGES_DRAWN = 60;
// The within a near search starts with when the form is first shown.
const CHANGES_WITHIN = "5";
// Per kind, the column its group is sorted by ("sector", or "hops" near a
// sector) and whether from the highest; null: the list's own order.
const changesSort = CHANGE_KINDS.map(() => ({ column: null, descending: false }));

// A group's entries in the order asked for: [{ change, hops }] (hops -1 for
// every change, not near a sector).
function sortedChanges(items, { column, descending }) {
  if (!column) return items;
  const sign = descending ? -1 : 1;
  const key = column === "hops" ? (item) => item.hops : (item) => item.change.sector;
  return items.slice().sort((x, y) => sign * (key(x) - key(y)) || x.hops - y.hops || x.change.sector - y.change.sector);
}

function changeRow(atlas, kind, { change, hops }) {
  const { name } = CHANGE_KINDS[kind];
  const row = el("tr", { "data-sector": change.sector, "data-change": name }, el("td", {}, sectorLink(change.sector)));
  if (hops >= 0) {
    row.dataset.hops = hops;
    row.append(el("td", {}, String(hops)));
  }
  const port = name === "new-port" && portOf(atlas.u, change.sector);
  if (port) row.dataset.class = port.letters;
  row.append(el("td", { class: "marks" }, changeWords(kind, change, atlas.u)));
  return row;
}

// The group of one kind: its heading with the count, and its table.
function changeGroup(atlas, kind, items, near) {
  const { name } = CHANGE_KINDS[kind];
  const group = el("section", { class: "change-group", "data-kind": name, "aria-labelledby": `changes-${name}` },
    el("h3", { id: `changes-${name}` }, `${CHANGE_HEADINGS[kind]} (${items.length})`));
  if (items.length === 0) {
    group.append(el("p", { class: "quiet" }, "none"));
    return group;
  }
  const sort = changesSort[kind];
  // A list of every change has no hops to sort by.
  if (!near && sort.column === "hops") Object.assign(sort, { column: null, descending: false });
  const shownSort = sort.column ? sort : { column: near ? "hops" : "sector", descending: false };
  group.append(resultTable({
    id: `changes-${name}-table`,
    columns: [
      { key: "sector", label: "sector", sorts: true },
      ...(near ? [{ key: "hops", label: "hops", sorts: true, title: "hops from the sector the changes are near, as flown" }] : []),
      { key: "what", label: "what changed", text: true },
    ],
    items: sortedChanges(items, sort),
    page: CHANGES_PAGE,
    makeRow: (item) => changeRow(atlas, kind, item),
    sort: shownSort,
    onSort: (column) => {
      sort.descending = shownSort.column === column ? !shownSort.descending : false;
      sort.column = column;
      const fresh = changeGroup(atlas, kind, items, near);
      group.replaceWith(fresh);
      fresh.querySelector(`button.sort[data-sort="${column}"]`).focus();
    },
  }));
  return group;
}

// An index of the groups, each a link to its group.
function changeIndex(groups) {
  const index = el("ul", { class: "change-index" }, ...CHANGE_KINDS.map(({ name }, kind) =>
    el("li", {}, el("a", { href: "#changes", "data-group": name }, `${CHANGE_HEADINGS[kind]}: ${groups[kind].length}`))));
  index.addEventListener("click", (event) => {
    const link = event.target.closest("a[data-group]");
    if (!link) return;
    event.preventDefault();
    const heading = document.getElementById(`changes-${link.dataset.group}`);
    heading.scrollIntoView({ block: "start" });
    heading.tabIndex = -1;
    heading.focus({ preventScroll: true });
  });
  return index;
}

// Every sector that changed, by the kinds of change there: Map sector ->
// [kind], nearest first.
function kindsBySector(groups) {
  const changed = [];
  groups.forEach((items, kind) => {
    for (const { change, hops } of items) changed.push({ sector: change.sector, hops, kind });
  });
  changed.sort((x, y) => x.hops - y.hops || x.sector - y.sector || x.kind - y.kind);
  const kinds = new Map();
  for (const { sector, kind } of changed) {
    if (!kinds.has(sector)) kinds.set(sector, []);
    if (!kinds.get(sector).includes(kind)) kinds.get(sector).push(kind);
  }
  return kinds;
}

// Draws the changed sectors near `from`, nearest first, with the courses that
// lead there from it, as long as they fit CHANGES_DRAWN.
function drawChangesNear(atlas, from, sweep, kinds, words) {
  const members = new Set([from]);
  const drawn = new Set();
  for (const s of kinds.keys()) {
    const path = [];
    for (let t = s; !members.has(t); t = sweep.previous[t]) path.push(t);
    if (members.size + path.length > CHANGES_DRAWN) break;
    for (const t of path) members.add(t);
    drawn.add(s);
  }
  const marks = new Map([...drawn].map((s) => [s, kinds.get(s)]));
  const more = drawn.size < kinds.size ? `; the nearest ${drawn.size} drawn` : "";
  drawRings(atlas, groupAround(atlas.u, from, members), from, `${words}${more}, each marked by what changed`,
    { about: drawn, changes: marks });
}

// Why nothing changed near a sector: what the player can do about it.
function whyNoneNear(atlas, from, within) {
  const { u } = atlas;
  if (!u.explored[from]) return `${from} is unexplored: no known course leads out of it`;
  return within === Infinity ? `no changed sector can be reached from ${from} by a known course`
    : `no changed sector lies within ${counted(within, "hop")} of ${from}; a larger within reaches further`;
}

export const changesView = {
  // Its list is its answer: the tools get more room.
  wide: true,
  tab: "changes",

  show(atlas, view) {
    const { u } = atlas;
    const near = Boolean(view.from);
    const form = document.getElementById("changes-form");
    setField("changes-form", "from", near ? view.from : "");
    markField(form.elements.from, null);
    setField("changes-form", "within", near ? formatWithin(view.within) : CHANGES_WITHIN);
    const result = document.getElementById("changes-result");
    const why = whyNoChanges(u);
    if (near) showDetails(atlas, view.from);
    else showNoDetails();
    if (why) {
      result.replaceChildren(el("p", { class: "problem", id: "changes-why" }, why));
      drawNothing(atlas, `no changes to show: ${why}`);
      return;
    }
    if (!near) {
      const groups = listedChanges(u).map((list) => list.map((change) => ({ change, hops: -1 })));
      const total = groups.reduce((sum, items) => sum + items.length, 0);
      result.replaceChildren(
        el("p", { id: "changes-count" }, `${counted(total, "change")} in ${counted(atlas.changesAt.size, "sector")} against the map of the last run (${counted(u.changes.records, "sector")} compared)`),
        changeIndex(groups),
        ...groups.map((items, kind) => changeGroup(atlas, kind, items, false)));
      drawNothing(atlas, `${counted(total, "change")} since the last map in ${counted(atlas.changesAt.size, "sector")}: choose one to see it, or give a sector to see those near it, marked by kind; in the other drawings a white mark stands for any change`);
      return;
    }
    const { from, within } = view;
    if (!inUniverse(u, from)) {
      result.replaceChildren(el("p", { class: "problem" }, notInUniverse(atlas, from)));
      drawNothing(atlas, notInUniverse(atlas, from));
      return;
    }
    const sweep = sweepFrom(u, from);
    const groups = changesNear(u, from, within, sweep);
    const kinds = kindsBySector(groups);
    const total = groups.reduce((sum, items) => sum + items.length, 0);
    const reach = within === Infinity ? `that a known course from ${from} reaches` : `within ${counted(within, "hop")} of ${from} as flown`;
    const words = `${counted(total, "change")} in ${counted(kinds.size, "sector")} ${reach}`;
    result.replaceChildren(
      el("p", { id: "changes-count" }, `${words}; nearest first`),
      el("p", {}, el("a", { href: "#changes" }, "every change")),
      changeIndex(groups),
      ...groups.map((items, kind) => changeGroup(atlas, kind, items, true)));
    if (total === 0) {
      const none = whyNoneNear(atlas, from, within);
      result.querySelector("#changes-count").after(el("p", { class: "problem", id: "changes-why" }, none));
      drawNothing(atlas, `${words}: ${none}`);
      return;
    }
    drawChangesNear(atlas, from, sweep, kinds, words);
  },

  // The view the tab shows when opened for the first time.
  fresh() {
    return { view: "changes" };
  },

  focus(view) {
    return view.from || 0;
  },

  wire(atlas) {
    const form = document.getElementById("changes-form");
    form.elements.within.replaceChildren(...WITHIN_CHOICES.map((choice) => el("option", {}, choice)));
    form.addEventListener("submit", (event) => {
      event.preventDefault();
      if (form.elements.from.value.trim() === "") {
        markField(form.elements.from, null);
        atlas.go({ view: "changes" });
        return;
      }
      const from = readSector(form.elements.from.value, atlas.u.n);
      if (!markField(form.elements.from, from.problem)) {
        form.elements.from.focus();
        return;
      }
      atlas.go({ view: "changes", from: from.value, within: choiceWithin(form.elements.within.value) });
    });
  },
};
