// Find: the box in the page's top bar. A number opens that sector; any other
// text lists the sectors whose note or log holds it, with the text found.

import { el, counted, markField } from "./dom.js";
import { sectorLink, showNoDetails } from "./details.js";
import { drawNothing } from "./drawing.js";
import { readSector } from "./fields.js";
import { parseFind, findText } from "./find.js";
import { DEFAULT_HOPS } from "./address.js";
import { resultTable } from "./result_table.js";

const FIND_PAGE = 50;

// A note or log with the text found in it marked (as text: the mark is an
// element around a text node, never markup).
function markedText({ text, at, length }) {
  return el("span", { class: "found-text" }, text.slice(0, at), el("mark", {}, text.slice(at, at + length)), text.slice(at + length));
}

export const findView = {
  // Its list is its answer: the tools get more room.
  wide: true,
  tab: "find",

  show(atlas, { text }) {
    document.getElementById("find-box").elements.find.value = text;
    const found = findText(atlas.u, text);
    showNoDetails();
    const result = document.getElementById("find-result");
    const words = `${counted(new Set(found.map((f) => f.sector)).size, "sector")} whose note or log holds \u201c${text}\u201d`;
    result.replaceChildren(el("p", { id: "find-count" }, words),
      found.length === 0 ? "" : resultTable({
        id: "find-table",
        columns: [{ key: "sector", label: "sector" }, { key: "source", label: "in", text: true }, { key: "text", label: "text", text: true }],
        items: found,
        page: FIND_PAGE,
        makeRow: (f) => el("tr", { "data-sector": f.sector }, el("td", {}, sectorLink(f.sector)), el("td", { class: "text" }, f.source),
          el("td", { class: "marks" }, markedText(f))),
      }));
    drawNothing(atlas, words);
  },

  focus() {
    return 0;
  },

  wire(atlas) {
    const box = document.getElementById("find-box");
    const input = box.elements.find;
    box.addEventListener("submit", (event) => {
      event.preventDefault();
      const asked = parseFind(input.value);
      if (asked.sector !== undefined) {
        const sector = readSector(input.value, atlas.u.n);
        if (markField(input, sector.problem)) atlas.go({ view: "sector", sector: sector.value, hops: DEFAULT_HOPS });
      } else if (markField(input, asked.text === "" ? "type a sector number, or a text to find in notes and logs" : null)) {
        atlas.go({ view: "find", text: asked.text });
      }
    });
  },
};
