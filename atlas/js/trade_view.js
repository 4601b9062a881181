// The trade view: from a sector, the pairs of ports that trade with each
// other (the port pair report's table of classes) within a few hops each way,
// ranked by the units a trade run earns for the hops flown with the player's
// holds; each row says what to carry which way and draws both ports, the
// course to the nearer one and the loop between them.

import { el, setField, counted, markField, readForm, slashBreaks } from "./dom.js";
import { showDetails, notInUniverse, sectorLink } from "./details.js";
import { drawNothing, drawRings } from "./drawing.js";
import { inUniverse, portOf } from "./universe.js";
import { readSector, readWhole } from "./fields.js";
import { TRADE_SECTIONS, DEFAULT_HOLDS, MAX_HOLDS, findTradePairs, searchTradePairsAhead, scoreTradePairs, rankedAsRead, pairsWithin, sortTradePairs, filterTradePairs, stockMarks, pairAmounts, pairCarry, carryHook, carryWords } from "./trade.js";
import { plotCourse } from "./course.js";
import { groupAround } from "./neighbourhood.js";
import { formatWithin, choiceWithin, WITHIN_CHOICES } from "./address.js";
import { resultTable } from "./result_table.js";

const TRADE_PAGE = 50;
const tradeSort = { column: null, descending: false };
// The pairs found from a start so many hops apart (every pair, reached or
// not, scored for `holds`), the view shown, its pairs (those within its
// reach), the same ranked as far as read, and the pair drawn.
let tradeShown = { key: "", all: [], holds: 0, view: null, pairs: [], ranked: null, drawn: null };

const TRADE_HEADS = [
  { key: "draw", label: "draw" },
  { key: "p", label: "pair", sorts: true, text: true, title: "the two ports, from the side the port pair report lists the pair from; what to carry which way; their amounts" },
  { key: "score", label: "units/hop", sorts: true, title: "units traded for each hop flown: the estimate over the hops from the start to the nearer port and the round trips" },
  { key: "trips", label: "trips", sorts: true, title: "round trips that carry the estimate in the holds given" },
  { key: "fromStart", label: "from", sorts: true, title: "hops from the start to the nearer port" },
  { key: "there", label: "hops", sorts: true, title: "hops from the first port to the second, and back" },
  { key: "section", label: "kind", sorts: true },
  { key: "bubble", label: "b", sorts: true, title: "b: a port lies in a bubble; c: in a compromised one" },
  { key: "estimate", label: "estimate", sorts: true, title: "units to trade back and forth, as the port pair report estimates" },
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

// A text as parts joined by `joint`, each part a span the line never breaks
// (atlas.css), so that a narrow row wraps only between them.
function unbroken(text, joint) {
  return text.split(joint).flatMap((part, i) => [i > 0 ? joint : "", el("span", {}, part)]);
}

function pairRow(atlas, pair) {
  const { u } = atlas;
  const amounts = pairAmounts(portOf(u, pair.p), portOf(u, pair.q));
  const carry = pairCarry(u, pair);
  const draw = el("button", { type: "button", class: "draw", "aria-label": `draw ${pair.p} \u2013 ${pair.q}` }, "draw");
  const row = el("tr", {
    class: "pick", "data-sector": pair.nearer, "data-pair": `${pair.p}-${pair.q}`, "data-estimate": pair.estimate,
    "data-near": pair.nearer, "data-score": pair.score.toFixed(2), "data-trips": pair.trips, "data-carry": carryHook(carry),
  },
  el("td", {}, draw),
  el("td", { class: "text" }, portCell(atlas, pair.p), " \u2013 ", portCell(atlas, pair.q),
    // A pair with nothing to carry says so in a sentence, which wraps as any.
    el("span", { class: "carry" }, ...(carry.there.length + carry.back.length > 0 ? unbroken(carryWords(carry), "; ") : [carryWords(carry)])),
    amounts ? el("span", { class: "amounts" }, el("span", {}, "amounts "), ...unbroken(amounts, " / ")) : ""),
  el("td", {}, pair.score.toFixed(2)),
  el("td", {}, String(pair.trips)),
  el("td", {}, pair.fromStart < 0 ? "no route" : String(pair.fromStart)),
  el("td", {}, `${pair.there}/${pair.back}`),
  el("td", { class: "kind" }, ...slashBreaks(pair.sections.map((k) => SECTION_WORDS[k]).join(", "))),
  el("td", {}, pair.compromised ? "c" : pair.bubble ? "b" : ""),
  el("td", {}, String(pair.estimate)));
  if (pair.fromStart >= 0) row.dataset.from = pair.fromStart;
  if (tradeShown.drawn === pair) row.setAttribute("aria-current", "true");
  // A click anywhere on the row but its links draws it; the draw button is
  // the keyboard's way (Enter or Space click it).
  row.addEventListener("click", (event) => {
    if (event.target.closest("a")) return;
    drawPair(atlas, pair);
    for (const other of row.parentElement.rows) other.removeAttribute("aria-current");
    row.setAttribute("aria-current", "true");
  });
  return row;
}

// Draws a pair: both ports, the course from the start to the nearer one and
// the loop between them, on rings around the start.
function drawPair(atlas, pair) {
  const { u } = atlas;
  const { from } = tradeShown.view;
  tradeShown.drawn = pair;
  const { far } = pair;
  const courses = [plotCourse(u, from, pair.nearer) || [from], plotCourse(u, pair.nearer, far) || [], plotCourse(u, far, pair.nearer) || []];
  const members = new Set(courses.flat());
  members.add(pair.p).add(pair.q);
  drawRings(atlas, groupAround(u, from, members), from,
    `${tradeShown.status}; drawn: ${pair.p} \u2013 ${pair.q}, ${pair.there}/${pair.back} hops apart, estimate ${pair.estimate}, `
      + `${pair.score.toFixed(2)} units a hop in ${counted(pair.trips, "trip")}`
      + (pair.fromStart < 0 ? `, no known course from ${from}` : `, ${counted(pair.fromStart, "hop")} from ${from} to ${pair.nearer}`),
    { about: new Set([pair.p, pair.q]), courses });
}

// Why a start has no pairs within its reach: what the player can do about it.
function whyNoPairs(atlas, { from, apart, within }) {
  const { u } = atlas;
  if (tradeShown.all.length === 0) return `the run knows no pair of ports that trade up to ${counted(apart, "hop")} apart each way`;
  if (!u.explored[from]) return `${from} is unexplored: no known course leads out of it (try an explored sector next to it)`;
  let nearest = Infinity;
  for (const pair of tradeShown.all) if (pair.fromStart >= 0 && pair.fromStart < nearest) nearest = pair.fromStart;
  if (nearest === Infinity) return `no known course from ${from} reaches a port of any pair`;
  return `the nearest pair lies ${counted(nearest, "hop")} from ${from}: a within of ${nearest} or more lists it`;
}

function showPairs(atlas) {
  const result = document.getElementById("trade-result");
  const filters = readTradeFilters();
  if (!filters) {
    result.replaceChildren(el("p", { class: "problem" }, "a filter holds a mistake (it says what beside it)"));
    return;
  }
  const kept = filterTradePairs(tradeShown.pairs, filters);
  const ranked = kept === tradeShown.pairs ? tradeShown.ranked : rankedAsRead(kept);
  const sorted = tradeSort.column ? sortTradePairs(kept, tradeSort.column, tradeSort.descending) : ranked;
  const left = tradeShown.pairs.length - kept.length;
  const { holds } = tradeShown.view;
  result.replaceChildren(
    el("p", { id: "trade-count" }, `${counted(kept.length, "pair")} listed`, left > 0 ? `; the filters left out ${left}` : ""),
    tradeShown.pairs.length === 0 ? el("p", { class: "problem", id: "trade-why" }, whyNoPairs(atlas, tradeShown.view)) : "");
  if (kept.length === 0) return;
  result.append(
    el("p", { class: "quiet" }, `the most units for each hop flown first, with holds of ${holds}; draw a row (or click it) to see it`),
    el("p", { class: "quiet hint", id: "trade-legend" },
      "(**9): a port's stock of ore, org, equ: * full, 0 to 9 the tens of its percentage; (???) unexplored, (...) not "
      + "reporting. Amounts: ore / org / equ, the first port's-the second's. Units/hop: the estimate over the hops from "
      + "the start and the round trips its holds take."),
    resultTable({
      id: "trade-table", columns: TRADE_HEADS, items: sorted, page: TRADE_PAGE, makeRow: (pair) => pairRow(atlas, pair),
      sort: tradeSort.column ? tradeSort : null,
      onSort: (column) => {
        tradeSort.descending = tradeSort.column === column ? !tradeSort.descending : ["estimate", "score"].includes(column);
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
    const { from, apart, within, holds } = view;
    setField("trade-form", "from", from);
    setField("trade-form", "apart", apart);
    setField("trade-form", "within", formatWithin(within));
    setField("trade-form", "holds", holds);
    showDetails(atlas, from);
    const result = document.getElementById("trade-result");
    if (!inUniverse(u, from)) {
      result.replaceChildren(el("p", { class: "problem" }, notInUniverse(atlas, from)));
      drawNothing(atlas, notInUniverse(atlas, from));
      return;
    }
    // The pairs of a start and hops apart are made once (from the page's one
    // search for pairs); the reach and the holds only choose and order them,
    // and they are ordered only as far as the list is read.
    const key = `${from} ${apart}`;
    if (tradeShown.key !== key) {
      tradeShown = { key, all: findTradePairs(u, { from, apart, holds, ranked: false }), holds, view, pairs: [], drawn: null };
    } else if (tradeShown.holds !== holds) {
      scoreTradePairs(tradeShown.all, holds);
      tradeShown.holds = holds;
    }
    tradeShown.view = view;
    const pairs = pairsWithin(tradeShown.all, within);
    tradeShown.pairs = pairs;
    // The best first, and as many more as the list shows at once.
    tradeShown.ranked = rankedAsRead(pairs);
    const [best] = tradeShown.ranked.slice(0, TRADE_PAGE);
    if (!pairs.includes(tradeShown.drawn)) tradeShown.drawn = null;
    const reach = within === Infinity ? "" : ` whose nearer port is within ${counted(within, "hop")} of ${from}`;
    const unexplored = u.explored[from] || pairs.length === 0 ? "" : `; ${from} is unexplored: no known course leads out of it`;
    tradeShown.status = `${counted(pairs.length, "pair")} of ports up to ${counted(apart, "hop")} apart each way${reach}, for holds of ${holds}${unexplored}`;
    showPairs(atlas);
    if (pairs.length === 0) {
      drawNothing(atlas, `${tradeShown.status}: none found, as ${whyNoPairs(atlas, view)}`);
      return;
    }
    drawPair(atlas, tradeShown.drawn || best);
    document.querySelector(`#trade-table tr[data-pair="${tradeShown.drawn.p}-${tradeShown.drawn.q}"]`)?.setAttribute("aria-current", "true");
  },

  // The view the tab shows when opened for the first time.
  fresh(from) {
    return { view: "trade", from, apart: 1, within: Infinity, holds: DEFAULT_HOLDS };
  },

  focus(view) {
    return view.from;
  },

  wire(atlas) {
    // The pairs are looked for while the page waits for the player, a little
    // at a time, so that the tab opens without the search.
    if (typeof requestIdleCallback === "function") {
      const ahead = (deadline) => {
        if (!searchTradePairsAhead(atlas.u, () => deadline.timeRemaining() > 1)) requestIdleCallback(ahead);
      };
      requestIdleCallback(ahead);
    }
    const form = document.getElementById("trade-form");
    form.elements.within.replaceChildren(...WITHIN_CHOICES.map((choice) => el("option", {}, choice)));
    form.addEventListener("submit", (event) => {
      event.preventDefault();
      const read = readForm("trade-form", {
        from: (text) => readSector(text, atlas.u.n),
        holds: (text) => readWhole(text, 1, MAX_HOLDS, DEFAULT_HOLDS),
      });
      if (!read) return;
      atlas.go({ view: "trade", from: read.from, apart: Number(form.elements.apart.value), within: choiceWithin(form.elements.within.value), holds: read.holds });
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
