// The port finder: from a sector, every port a known course reaches that buys
// or sells a product, or is of a class, nearest first, a page at a time; the
// filters of the panel narrow it down.

import { el, setField, counted, markField, readForm } from "./dom.js";
import { showDetails, notInUniverse, sectorLink, noWayOut } from "./details.js";
import { drawNothing, drawRings } from "./drawing.js";
import { inUniverse } from "./universe.js";
import { readSector, readWhole } from "./fields.js";
import { PRODUCTS, PRODUCT_KEYS, CLASS_MASKS, portBuys, portClassName, portClassNumber, findPorts, wantedProducts } from "./ports.js";
import { plotCourse } from "./course.js";
import { groupAround } from "./neighbourhood.js";
import { formatAddress, formatWant, parseWant } from "./address.js";
import { resultTable } from "./result_table.js";

// Rows listed at a time; "more" lists the next as many.
const PORTS_PAGE = 25;
// The courses to this many of the nearest are drawn.
const PORTS_DRAWN = 6;

// The panel's filters, each field read strictly and marked when wrong:
// { maxHops, minAmount, minPercent, leaveOutCompromised }, or null when a
// field holds a mistake.
function readPortFilters(atlas) {
  const fields = document.getElementById("ports-form").elements;
  const filters = { leaveOutCompromised: fields.leaveOutCompromised.checked };
  let sound = true;
  for (const [name, min, max] of [["maxHops", 0, atlas.u.n], ["minAmount", 0, 65535], ["minPercent", 0, 100]]) {
    const read = readWhole(fields[name].value, min, max);
    sound = markField(fields[name], read.problem) && sound;
    filters[name] = read.problem ? null : read.value;
  }
  return sound ? filters : null;
}

// "that buy equipment", "of class 1 (BBS)".
function wantWords(want) {
  if (want.mask !== undefined) return `of class ${portClassNumber(want.mask)} (${portClassName(want.mask)})`;
  return `that ${want.buys ? "buy" : "sell"} ${PRODUCTS[want.product]}`;
}

// The filters in force, in words: ["at most 4 hops away", ...].
function filterWords(filters, want) {
  const each = want.mask === undefined ? "" : " in each product";
  return [
    filters.maxHops === null ? "" : `at most ${counted(filters.maxHops, "hop")} away`,
    filters.minAmount === null ? "" : `amount at least ${filters.minAmount}${each}`,
    filters.minPercent === null ? "" : `at least ${filters.minPercent}%${each}`,
    filters.leaveOutCompromised ? "none in compromised bubbles" : "",
  ].filter(Boolean);
}

function portRow(atlas, from, { sector, hops, back, port }, products) {
  const course = formatAddress({ view: "course", from, to: sector, avoid: [] });
  // The sector links to its own view, the hop count to the course there.
  const row = el("tr", { class: "pick", "data-sector": sector },
    el("td", {}, sectorLink(sector)),
    el("td", {}, el("a", { href: course, class: "course", title: `plot the course from ${from} to ${sector}` }, String(hops))),
    el("td", {}, back < 0 ? "no route" : String(back)), el("td", {}, port.letters),
    ...products.map((i) => el("td", { title: `${portBuys(port, i) ? "buys" : "sells"} ${PRODUCTS[i]}` }, String(port.amount[i]), el("span", { class: "percent" }, ` (${port.percent[i]}%)`))));
  row.addEventListener("click", (event) => {
    if (event.target.closest("a")) return;
    atlas.go({ view: "course", from, to: sector, avoid: [] });
  });
  return row;
}

// The list of what was found, PORTS_PAGE rows at a time.
function portList(atlas, from, want, found) {
  const products = wantedProducts(want);
  return resultTable({
    id: "ports-table",
    className: products.length > 1 ? "three" : "",
    columns: [{ key: "sector", label: "sector" }, { key: "hops", label: "hops", title: "hops there: each plots its course" },
      { key: "back", label: "back", title: "hops back from the port" }, { key: "class", label: "class" },
      ...products.map((i) => ({ key: PRODUCT_KEYS[i], label: products.length === 1 ? PRODUCTS[i] : PRODUCT_KEYS[i] }))],
    items: found,
    page: PORTS_PAGE,
    makeRow: (port) => portRow(atlas, from, port, products),
  });
}

export const portsView = {
  tab: "ports",
  // The filters: not part of the address.
  unnamed: "#ports-form .filters",

  show(atlas, { from, want }) {
    const { u } = atlas;
    const form = document.getElementById("ports-form");
    setField("ports-form", "from", from);
    markField(form.elements.from, null);
    setField("ports-form", "want", formatWant(want));
    showDetails(atlas, from);
    const result = document.getElementById("ports-result");
    const filters = readPortFilters(atlas);
    const search = filters ? findPorts(u, from, want, filters) : null;
    const narrowed = filters ? filterWords(filters, want) : [];
    if (!filters || !inUniverse(u, from) || search.found.length === 0) {
      const why = !filters ? "a filter holds a mistake (it says what beside it), so the search was not run"
        : !inUniverse(u, from) ? notInUniverse(atlas, from)
          : search.known === 0 ? "no such port is known"
            : search.reachable === 0 ? noWayOut(atlas, from) || `no known course from ${from} reaches such a port (${counted(search.known, "is", "are")} known)`
              : `none of the ${counted(search.reachable, "such port")} a course from ${from} reaches passes the filters (${narrowed.join(", ")})`;
      result.replaceChildren(el("p", { class: "problem" }, why));
      drawNothing(atlas, why);
      return;
    }
    const { found, known, reachable } = search;
    const count = [`${counted(found.length, "port")} found`];
    if (narrowed.length > 0) count.push(` (${narrowed.join(", ")})`);
    if (found.length < reachable) count.push(`; the filters left out ${reachable - found.length} more`);
    if (reachable < known) count.push(`; no known course reaches ${known - reachable} more`);
    result.replaceChildren(el("p", { id: "ports-count" }, ...count),
      el("p", { class: "quiet" }, "nearest first, with the hops there and back; click a row, or its hops, to plot the course"),
      portList(atlas, from, want, found));

    // The courses to the nearest few, drawn as the tree they make from `from`;
    // the ports found among the sectors drawn are marked.
    const near = found.slice(0, PORTS_DRAWN);
    const courses = near.map((port) => plotCourse(u, from, port.sector) || []);
    const members = new Set([from, ...courses.flat()]);
    const group = groupAround(u, from, members);
    const isFound = new Set(found.map((p) => p.sector));
    const about = new Set(group.nodes.map((node) => node.sector).filter((s) => isFound.has(s)));
    const drawn = about.size === near.length ? `${about.size} drawn (marked) with their courses`
      : `${about.size} drawn (marked), the nearest ${near.length} with their courses`;
    drawRings(atlas, group, from,
      `${counted(found.length, "port")} ${wantWords(want)} found from ${from}${narrowed.length ? " (filtered)" : ""}; ${drawn}`, { about, courses });
  },

  focus(view) {
    return view.from;
  },

  wire(atlas) {
    const want = document.getElementById("want");
    const trade = el("optgroup", { label: "a port that" });
    for (const buys of [true, false]) {
      PRODUCTS.forEach((name, product) => trade.append(el("option", { value: formatWant({ product, buys }) }, `${buys ? "buys" : "sells"} ${name}`)));
    }
    const kinds = el("optgroup", { label: "a port of class" });
    CLASS_MASKS.forEach((mask, i) => kinds.append(el("option", { value: formatWant({ mask }) }, `${i + 1} ${portClassName(mask)}`)));
    want.replaceChildren(trade, kinds);

    const form = document.getElementById("ports-form");
    form.addEventListener("submit", (event) => {
      event.preventDefault();
      const read = readForm("ports-form", {
        from: (text) => readSector(text, atlas.u.n),
        want: (text) => (parseWant(text) ? { value: parseWant(text) } : { problem: "choose what to look for" }),
      });
      const filters = readPortFilters(atlas);
      if (read && filters) atlas.go({ view: "ports", from: read.from, want: read.want });
    });
  },
};
