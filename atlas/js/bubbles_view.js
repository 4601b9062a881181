// The bubbles: the sortable list of every bubble the run found, and a bubble
// drawn from its gate.

import { el, counted, markField } from "./dom.js";
import { showDetails } from "./details.js";
import { drawNothing, drawTree } from "./drawing.js";
import { groupAround } from "./neighbourhood.js";
import { sortBubbles } from "./bubbles.js";
import { readSector, readWhole } from "./fields.js";
import { formatAddress } from "./address.js";

const bubbleSort = { column: "gate", descending: false };
// The list's filters (null: none): the least size and depth, and one gate.
const bubbleFilter = { minSize: null, minDepth: null, gate: null };
// Whether the list has been drawn: it is drawn again only when its order or
// filters change, so that choosing a bubble keeps the player's place in it.
let bubbleListDrawn = false;
// The rows of the list shown: its bubbles in order and its <tbody>. A row is
// built when the list is scrolled near it (or its bubble is chosen), so that
// a list of a thousand bubbles opens with the few that can be seen.
let bubbleRows = null;
// Rows built at once: at least this many beyond the bubble shown, and as many
// more whenever the end of those built comes near the list's bottom.
const BUBBLE_ROWS = 100;

// Reads the filter fields into bubbleFilter, marking each field that holds a
// mistake; false (and bubbleFilter unchanged) when one does.
function readBubbleFilter(atlas) {
  const fields = document.getElementById("bubble-filter").elements;
  const gate = fields.gate.value.trim();
  const read = {
    minSize: readWhole(fields.minSize.value, 1, 65535),
    minDepth: readWhole(fields.minDepth.value, 1, 255),
    gate: gate === "" ? { value: null } : readSector(gate, atlas.u.n),
  };
  let sound = true;
  for (const [name, { problem }] of Object.entries(read)) sound = markField(fields[name], problem) && sound;
  if (sound) for (const name of Object.keys(read)) bubbleFilter[name] = read[name].value;
  return sound;
}

function bubbleRow(b, at) {
  return el("tr", { class: "pick", "data-gate": b.gate, "data-sector": b.gate, "aria-rowindex": at + 2 },
    el("td", {}, el("a", { href: formatAddress({ view: "bubble", gate: b.gate }) }, String(b.gate))), el("td", {}, String(b.depth)),
    el("td", {}, String(b.size)), el("td", {}, b.unexplored ? "u" : ""), el("td", {}, b.compromised ? "c" : ""));
}

// Builds the list's rows down to the one at `end` (not included), and
// watches the last one built while rows remain: once it comes within a
// box-full of sight (by scrolling, the keyboard or a taller window), more are
// built.
function buildRows(end) {
  const { sorted, body, watch } = bubbleRows;
  const start = body.rows.length;
  if (end <= start) return;
  body.append(...sorted.slice(start, end).map((b, k) => bubbleRow(b, start + k)));
  watch.disconnect();
  if (body.rows.length < sorted.length) watch.observe(body.lastElementChild);
}

// Marks the row of the bubble shown (building the rows down to it) and
// scrolls the list (only the list) to it when it is out of sight.
function markChosenBubble(atlas) {
  const list = document.querySelector("#bubble-result .list");
  if (!list) return;
  for (const row of list.querySelectorAll("tr[aria-current]")) row.removeAttribute("aria-current");
  const gate = atlas.current.view === "bubble" ? atlas.current.gate : null;
  const at = gate === null ? -1 : bubbleRows.sorted.findIndex((b) => b.gate === gate);
  if (at < 0) return;
  buildRows(at + BUBBLE_ROWS);
  const row = bubbleRows.body.rows[at];
  row.setAttribute("aria-current", "true");
  const box = list.getBoundingClientRect();
  const place = row.getBoundingClientRect();
  const head = list.querySelector("thead").getBoundingClientRect().height;
  if (place.top < box.top + head || place.bottom > box.bottom) list.scrollTop += place.top - (box.top + head + box.bottom) / 2 + place.height / 2;
}

// "no bubble has gate G", and where G lies when it is in a bubble.
function noSuchGate(atlas, gate) {
  const record = atlas.u.bubble.get(gate);
  return `no bubble has gate ${gate}` + (record && record.gate !== 0 && record.gate !== gate ? ` (${gate} lies in the bubble behind ${record.gate})` : "");
}

function showBubbleList(atlas) {
  const result = document.getElementById("bubble-result");
  const { bubbles } = atlas;
  bubbleListDrawn = true;
  if (bubbles.length === 0) {
    result.replaceChildren(el("p", { class: "quiet" }, "no bubbles (the run found none, or ran without bubble analysis)"));
    return;
  }
  const { minSize, minDepth, gate } = bubbleFilter;
  const shown = bubbles.filter((b) => (minSize === null || b.size >= minSize) && (minDepth === null || b.depth >= minDepth)
    && (gate === null || b.gate === gate));
  if (shown.length === 0) {
    const why = gate !== null && !atlas.bubbleOf.has(gate) ? noSuchGate(atlas, gate) : `none of the ${counted(bubbles.length, "bubble")} passes the filters`;
    result.replaceChildren(el("p", { id: "bubble-count", class: "problem" }, why));
    return;
  }
  const columns = [["gate", "gate"], ["depth", "depth"], ["size", "size"], ["unexplored", "u"], ["compromised", "c"]];
  const head = el("tr", { "aria-rowindex": 1 }, ...columns.map(([key, label]) => {
    const th = el("th", { "data-sort": key }, el("button", { type: "button", class: "sort", title: `sort by ${key}` }, label));
    if (bubbleSort.column === key) th.setAttribute("aria-sort", bubbleSort.descending ? "descending" : "ascending");
    th.addEventListener("click", () => {
      bubbleSort.descending = bubbleSort.column === key ? !bubbleSort.descending : key !== "gate";
      bubbleSort.column = key;
      showBubbleList(atlas);
      result.querySelector(`th[data-sort="${key}"] button`).focus();
    });
    return th;
  }));
  const body = el("tbody");
  // A click anywhere on a row but its link draws its bubble.
  body.addEventListener("click", (event) => {
    const row = event.target.closest("tr[data-gate]");
    if (row && !event.target.closest("a")) atlas.go({ view: "bubble", gate: Number(row.dataset.gate) });
  });
  const count = shown.length === bubbles.length ? counted(bubbles.length, "bubble") : `${shown.length} of ${counted(bubbles.length, "bubble")}`;
  // The table says how many rows it has, built or not.
  const list = el("div", { class: "list" }, el("table", { id: "bubble-list", "aria-rowcount": shown.length + 1 },
    el("thead", {}, head), body));
  bubbleRows?.watch.disconnect();
  const rows = {
    sorted: sortBubbles(shown, bubbleSort.column, bubbleSort.descending),
    body,
    watch: new IntersectionObserver((seen) => {
      if (bubbleRows === rows && seen.some((entry) => entry.isIntersecting)) buildRows(body.rows.length + BUBBLE_ROWS);
    }, { root: list, rootMargin: "100% 0px" }),
  };
  bubbleRows = rows;
  result.replaceChildren(el("p", { id: "bubble-count", class: "quiet" }, count), list);
  buildRows(BUBBLE_ROWS);
  markChosenBubble(atlas);
}

export const bubblesView = {
  tab: "bubbles",

  show(atlas, { gate }) {
    const bubble = atlas.bubbleOf.get(gate);
    showDetails(atlas, gate);
    if (!bubble) {
      drawNothing(atlas, noSuchGate(atlas, gate));
      return;
    }
    const marks = [bubble.unexplored ? "unexplored (u)" : "", bubble.compromised ? "compromised (c)" : ""].filter(Boolean);
    drawTree(atlas, groupAround(atlas.u, gate, bubble.members), gate,
      `the bubble behind gate ${gate}: ${counted(bubble.size, "sector")}, depth ${bubble.depth}` + (marks.length ? `, ${marks.join(", ")}` : ""));
  },

  focus(view) {
    return view.gate;
  },

  // The list is drawn when its tab is first opened.
  opened(atlas) {
    if (bubbleListDrawn) markChosenBubble(atlas);
    else showBubbleList(atlas);
  },

  wire(atlas) {
    document.getElementById("bubble-filter").addEventListener("submit", (event) => {
      event.preventDefault();
      if (readBubbleFilter(atlas)) showBubbleList(atlas);
    });
  },
};
