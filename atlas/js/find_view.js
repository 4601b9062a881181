// Find: the box in the page's top bar. A number opens that sector; any other
// text (or a number asked for as text: "300 or find text 300) lists the
// sectors whose note or log holds it, with the text found, nearest first from
// the sector the player was at, the nearest drawn with their courses.

import { el, counted, markField } from "./dom.js";
import { sectorLink, showDetails, notInUniverse, noWayOut } from "./details.js";
import { drawNothing, drawRings } from "./drawing.js";
import { inUniverse } from "./universe.js";
import { readSector } from "./fields.js";
import { parseFind, findText, findBoxText, nearestFirst } from "./find.js";
import { sweepFrom, courseIn } from "./course.js";
import { groupAround } from "./neighbourhood.js";
import { DEFAULT_HOPS } from "./address.js";
import { resultTable } from "./result_table.js";

const FIND_PAGE = 50;
// The courses to this many of the nearest sectors found are drawn.
const FIND_DRAWN = 6;

// A note or log with the text found in it marked (as text: the mark is an
// element around a text node, never markup).
function markedText({ text, at, length }) {
  return el("span", { class: "found-text" }, text.slice(0, at), el("mark", {}, text.slice(at, at + length)), text.slice(at + length));
}

// Why nothing holds `text`.
function nothingFound(atlas, text) {
  const { notes, logs } = atlas.u;
  if (notes.size + logs.size === 0) return `no note or log holds \u201c${text}\u201d: the run read no notes or logs`;
  return `no note or log holds \u201c${text}\u201d (${counted(notes.size, "note")} and ${counted(logs.size, "log")} searched, letter case ignored)`;
}

export const findView = {
  // Its list is its answer: the tools get more room.
  wide: true,
  tab: "find",

  show(atlas, { text, from }) {
    const { u } = atlas;
    document.getElementById("find-box").elements.find.value = findBoxText(text);
    const result = document.getElementById("find-result");
    showDetails(atlas, from);
    if (!inUniverse(u, from)) {
      result.replaceChildren(el("p", { class: "problem" }, notInUniverse(atlas, from)));
      drawNothing(atlas, notInUniverse(atlas, from));
      return;
    }
    const sweep = sweepFrom(u, from);
    const found = nearestFirst(findText(u, text), sweep.hops);
    if (found.length === 0) {
      const why = nothingFound(atlas, text);
      result.replaceChildren(el("p", { id: "find-count", class: "problem" }, why));
      drawNothing(atlas, why);
      return;
    }
    const sectors = new Set(found.map((f) => f.sector));
    const words = `${counted(sectors.size, "sector")} whose note or log holds \u201c${text}\u201d`;
    result.replaceChildren(el("p", { id: "find-count" }, `${words}; hops from ${from}, nearest first`),
      resultTable({
        id: "find-table",
        columns: [{ key: "sector", label: "sector" }, { key: "hops", label: "hops", title: `hops from ${from}` },
          { key: "source", label: "in", text: true }, { key: "text", label: "text", text: true }],
        items: found,
        page: FIND_PAGE,
        makeRow: (f) => el("tr", { "data-sector": f.sector, "data-hops": f.hops }, el("td", {}, sectorLink(f.sector)),
          el("td", {}, f.hops < 0 ? "no route" : String(f.hops)), el("td", { class: "text" }, f.source),
          el("td", { class: "marks" }, markedText(f))),
      }));

    // The courses to the nearest few, drawn as the tree they make from
    // `from`; the sectors found among those drawn are marked.
    const near = [...new Set(found.filter((f) => f.hops > 0).map((f) => f.sector))].slice(0, FIND_DRAWN);
    if (near.length === 0) {
      // No course to draw: the sector the hops count from, marked when it
      // holds the text itself.
      const why = noWayOut(atlas, from) || `no known course from ${from} reaches ${sectors.has(from) ? "another" : sectors.size === 1 ? "it" : "any of them"}`;
      drawRings(atlas, groupAround(u, from, [from]), from, `${words}; ${why}`, { about: new Set(sectors.has(from) ? [from] : []) });
      return;
    }
    const courses = near.map((s) => courseIn(sweep, from, s));
    const group = groupAround(u, from, new Set([from, ...courses.flat()]));
    const about = new Set(group.nodes.map((node) => node.sector).filter((s) => sectors.has(s)));
    drawRings(atlas, group, from, `${words}; the nearest ${near.length} from ${from} drawn (marked) with their courses`, { about, courses });
  },

  focus(view) {
    return view.from;
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
        atlas.go({ view: "find", text: asked.text, from: atlas.here });
      }
    });
  },
};
