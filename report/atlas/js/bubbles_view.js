// The bubbles: the sortable list of every bubble the run found, and a bubble
// drawn from its gate.

import { el, counted } from "./dom.js";
import { showDetails } from "./details.js";
import { drawNothing, drawTree } from "./drawing.js";
import { groupAround } from "./neighbourhood.js";
import { sortBubbles } from "./bubbles.js";

const bubbleSort = { column: "gate", descending: false };

function showBubbleList(atlas) {
  const result = document.getElementById("bubble-result");
  const { bubbles } = atlas;
  if (bubbles.length === 0) {
    result.replaceChildren(el("p", { class: "quiet" }, "no bubbles (the run found none, or ran without bubble analysis)"));
    return;
  }
  const columns = [["gate", "gate"], ["depth", "depth"], ["size", "size"], ["unexplored", "u"], ["compromised", "c"]];
  const head = el("tr", {}, ...columns.map(([key, label]) => {
    const th = el("th", { "data-sort": key }, label);
    if (bubbleSort.column === key) th.setAttribute("aria-sort", bubbleSort.descending ? "descending" : "ascending");
    th.addEventListener("click", () => {
      bubbleSort.descending = bubbleSort.column === key ? !bubbleSort.descending : key !== "gate";
      bubbleSort.column = key;
      showBubbleList(atlas);
    });
    return th;
  }));
  const rows = sortBubbles(bubbles, bubbleSort.column, bubbleSort.descending).map((b) => {
    const row = el("tr", { class: "pick", "data-gate": b.gate }, el("td", {}, String(b.gate)), el("td", {}, String(b.depth)),
      el("td", {}, String(b.size)), el("td", {}, b.unexplored ? "u" : ""), el("td", {}, b.compromised ? "c" : ""));
    row.addEventListener("click", () => atlas.go({ view: "bubble", gate: b.gate }));
    return row;
  });
  result.replaceChildren(el("p", { class: "quiet" }, counted(bubbles.length, "bubble")),
    el("table", { id: "bubble-list" }, el("thead", {}, head), el("tbody", {}, ...rows)));
}

export const bubblesView = {
  tab: "bubbles",

  show(atlas, { gate }) {
    const bubble = atlas.bubbleOf.get(gate);
    showDetails(atlas, gate);
    if (!bubble) {
      drawNothing(atlas, `no bubble has gate ${gate}`);
      return;
    }
    const marks = [bubble.unexplored ? "unexplored (u)" : "", bubble.compromised ? "compromised (c)" : ""].filter(Boolean);
    drawTree(atlas, groupAround(atlas.u, gate, bubble.members), gate,
      `the bubble behind gate ${gate}: ${counted(bubble.size, "sector")}, depth ${bubble.depth}` + (marks.length ? `, ${marks.join(", ")}` : ""));
  },

  focus(view) {
    return view.gate;
  },

  // The list is drawn when its tab is opened.
  opened(atlas) {
    showBubbleList(atlas);
  },

  wire() {},
};
