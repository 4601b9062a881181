// The trade view: from a sector, the pairs of ports that trade with each
// other (the port pair report's table of classes) within a few hops each way,
// the best trade for the hops flown first; a row draws both ports, the course
// to the nearer one and the loop between them.

import { el, setField, counted, markField } from "./dom.js";
import { showDetails, notInUniverse, sectorLink } from "./details.js";
import { drawNothing, drawRings } from "./drawing.js";
import { inUniverse, portOf } from "./universe.js";
import { readSector, readWhole } from "./fields.js";
import { TRADE_SECTIONS, findTradePairs, sortTradePairs, filterTradePairs, stockMarks, pairAmounts } from "./trade.js";
import { plotCourse } from "./course.js";
import { groupAround } from "./neighbourhood.js";
import { formatAddress, formatWithin, choiceWithin, WITHIN_CHOICES } from "./address.js";
import { resultTable } from "./result_table.js";

const TRADE_PAGE = 50;
const tradeSort = { column: null, descending: false };
// The pairs of the view shown, before the panel's filters, and the pair drawn.
let tradeShown = { key: "", pairs: [], view: null, drawn: null };

const TRADE_HEADS = [
  { key: "p", label: "pair", sorts: true, title: "the two ports, from the side the port pair report lists the pair from" },
  { key: "section", label: "kind", sorts: true },
  { key: "there", label: "hops", sorts: true, title: "hops from the first port to the second, and back" },
  { key: "fromStart", label: "from", sorts: true, title: "hops from the start to the nearer port" },
  { key: "bubble", label: "b", sorts: true, title: "b: a port lies in a bubble; c: in a compromised one" },
  { key: "estimate", label: "estimate", sorts: true, title: "units to trade back and forth, as the port pair report estimates" },
  { key: "perHop", label: "a hop", sorts: true, title: "the estimate for each hop of the round trip" },
];

const SECTION_WORDS = ["triple", "org/equ", "ore/equ", "ore/org", "evil"];

// The panel's filters: { section, least, leaveOutCompromised }, or null when a
// field holds a mistake.
function readTradeFilters() {
  const fields = document.getElementById("trade-filters").elements;
  const least = readWhole(fields.least.value, 0, 65535, 0);
  if (!markField(fields.least, least.problem)) return null;
  return { section: fields.section.value || null, least: least.value, leaveOutCompromised: fields.leaveOutCompromised.checked };
}

function portCell(atlas, s) {
  const { u } = atlas;
  const port = portOf(u, s);
  return el("span", { class: "pair-port" }, sectorLink(s), ` ${port.letters} (${stockMarks(u, s)})`);
}

function pairRow(atlas, pair) {
  const { u } = atlas;
  const amounts = pairAmounts(portOf(u, pair.p), portOf(u, pair.q));
  const row = el("tr", { class: "pick", "data-sector": pair.nearer || pair.p, "data-pair": `${pair.p}-${pair.q}`, "data-estimate": pair.estimate },
    el("td", {}, portCell(atlas, pair.p), " \u2013 ", portCell(atlas, pair.q), amounts ? el("span", { class: "amounts" }, amounts) : ""),
    el("td", {}, pair.sections.map((k) => SECTION_WORDS[k]).join(", ")),
    el("td", {}, `${pair.there}/${pair.back}`),
    el("td", {}, pair.fromStart < 0 ? "no route" : String(pair.fromStart)),
    el("td", {}, pair.compromised ? "c" : pair.bubble ? "b" : ""),
    el("td", {}, String(pair.estimate)),
    el("td", {}, pair.perHop.toFixed(0)),
  );
  if (tradeShown.drawn === pair) row.setAttribute("aria-current", "true");
  const choose = (event) => {
    if (event.target.closest("a")) return;
    drawPair(atlas, pair);
    for (const other of row.parentElement.rows) other.removeAttribute("aria-current");
    row.setAttribute("aria-current", "true");
  };
  row.addEventListener("click", choose);
  return row;
}

// Draws a pair: both ports, the course from the start to the nearer one and
// the loop between them, on rings around the start.
function drawPair(atlas, pair) {
  const { u } = atlas;
  const { from } = tradeShown.view;
  tradeShown.drawn = pair;
  const courses = [plotCourse(u, from, pair.nearer || pair.p) || [from], plotCourse(u, pair.p, pair.q) || [], plotCourse(u, pair.q, pair.p) || []];
  const members = new Set(courses.flat());
  members.add(pair.p).add(pair.q);
  drawRings(atlas, groupAround(u, from, members), from,
    `${tradeShown.status}; drawn: ${pair.p} \u2013 ${pair.q}, ${pair.there}/${pair.back} hops apart, estimate ${pair.estimate}`
      + (pair.fromStart < 0 ? `, no known course from ${from}` : `, ${counted(pair.fromStart, "hop")} from ${from}`),
    { about: new Set([pair.p, pair.q]), courses });
}

function showPairs(atlas) {
  const result = document.getElementById("trade-result");
  const filters = readTradeFilters();
  if (!filters) {
    result.replaceChildren(el("p", { class: "problem" }, "a filter holds a mistake (it says what beside it)"));
    return;
  }
  const kept = filterTradePairs(tradeShown.pairs, filters);
  const sorted = tradeSort.column ? sortTradePairs(kept, tradeSort.column, tradeSort.descending) : kept;
  const left = tradeShown.pairs.length - kept.length;
  result.replaceChildren(
    el("p", { id: "trade-count" }, `${counted(kept.length, "pair")} listed`, left > 0 ? `; the filters left out ${left}` : ""),
    el("p", { class: "quiet" }, "the best trade for the hops of the round trip first; click a row to draw it"),
    resultTable({
      id: "trade-table", columns: TRADE_HEADS, items: sorted, page: TRADE_PAGE, makeRow: (pair) => pairRow(atlas, pair),
      sort: tradeSort.column ? tradeSort : null,
      onSort: (column) => {
        tradeSort.descending = tradeSort.column === column ? !tradeSort.descending : ["estimate", "perHop"].includes(column);
        tradeSort.column = column;
        showPairs(atlas);
        document.querySelector(`#trade-table button[data-sort="${column}"]`).focus();
      },
    }));
}

export const tradeView = {
  // Its list is its answer: the tools get more room.
  wide: true,
  tab: "trade",
  unnamed: "#trade-filters",

  show(atlas, view) {
    const { u } = atlas;
    const { from, apart, within } = view;
    const form = document.getElementById("trade-form");
    setField("trade-form", "from", from);
    markField(form.elements.from, null);
    setField("trade-form", "apart", apart);
    setField("trade-form", "within", formatWithin(within));
    showDetails(atlas, from);
    const result = document.getElementById("trade-result");
    if (!inUniverse(u, from)) {
      result.replaceChildren(el("p", { class: "problem" }, notInUniverse(atlas, from)));
      drawNothing(atlas, notInUniverse(atlas, from));
      return;
    }
    const key = formatAddress(view);
    if (tradeShown.key !== key) {
      tradeShown = { key, pairs: findTradePairs(u, { from, apart, within }), view, drawn: null };
    }
    const { pairs } = tradeShown;
    const reach = within === Infinity ? "" : ` whose nearer port is within ${counted(within, "hop")} of ${from}`;
    tradeShown.status = `${counted(pairs.length, "pair")} of ports up to ${counted(apart, "hop")} apart each way${reach}`;
    showPairs(atlas);
    if (pairs.length === 0) {
      drawNothing(atlas, `${tradeShown.status}: none found`);
      return;
    }
    drawPair(atlas, tradeShown.drawn || pairs[0]);
    document.querySelector(`#trade-table tr[data-pair="${tradeShown.drawn.p}-${tradeShown.drawn.q}"]`)?.setAttribute("aria-current", "true");
  },

  // The view the tab shows when opened for the first time.
  fresh(from) {
    return { view: "trade", from, apart: 1, within: Infinity };
  },

  focus(view) {
    return view.from;
  },

  wire(atlas) {
    const form = document.getElementById("trade-form");
    form.elements.within.replaceChildren(...WITHIN_CHOICES.map((choice) => el("option", {}, choice)));
    form.addEventListener("submit", (event) => {
      event.preventDefault();
      const from = readSector(form.elements.from.value, atlas.u.n);
      if (!markField(form.elements.from, from.problem)) return;
      atlas.go({ view: "trade", from: from.value, apart: Number(form.elements.apart.value), within: choiceWithin(form.elements.within.value) });
    });
    const filters = document.getElementById("trade-filters");
    filters.elements.section.replaceChildren(el("option", { value: "" }, "every kind"),
      ...TRADE_SECTIONS.map(({ key, heading }) => el("option", { value: key }, heading.replace(/:/, "").replace(/\s+/g, " "))));
    filters.addEventListener("change", () => tradeShown.view && showPairs(atlas));
    filters.addEventListener("submit", (event) => {
      event.preventDefault();
      if (tradeShown.view) showPairs(atlas);
    });
  },
};
