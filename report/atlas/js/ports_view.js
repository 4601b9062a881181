// The port finder: from a sector, the nearest ports that buy or sell a product,
// or of a class.

import { el, setField, readForm } from "./dom.js";
import { showDetails, notInUniverse, sectorLink } from "./details.js";
import { drawNothing, drawRings } from "./drawing.js";
import { inUniverse } from "./universe.js";
import { PRODUCTS, PRODUCT_KEYS, CLASS_MASKS, portBuys, portMatches, portClassName, findPorts } from "./ports.js";
import { plotCourse } from "./course.js";
import { groupAround } from "./neighbourhood.js";
import { formatWant, parseWant } from "./address.js";
import { readSector } from "./fields.js";

export const portsView = {
  tab: "ports",

  show(atlas, { from, want }) {
    const { u } = atlas;
    setField("ports-form", "from", from);
    setField("ports-form", "want", formatWant(want));
    showDetails(atlas, from);
    const result = document.getElementById("ports-result");
    const found = findPorts(u, from, want, 25);
    if (!inUniverse(u, from) || found.length === 0) {
      const why = !inUniverse(u, from) ? notInUniverse(atlas, from)
        : !u.ports.some((port) => portMatches(port, want)) ? "no such port is known" : `no known course from ${from} reaches such a port`;
      result.replaceChildren(el("p", { class: "problem" }, why));
      drawNothing(atlas, why);
      return;
    }
    // A trade search shows that product's stock; a class search all three.
    const products = want.mask === undefined ? [want.product] : [0, 1, 2];
    const head = el("tr", {}, el("th", {}, "sector"), el("th", {}, "hops"), el("th", {}, "class"),
      ...products.map((i) => el("th", {}, products.length === 1 ? `${PRODUCTS[i]}` : PRODUCT_KEYS[i])));
    const rows = found.map(({ sector, hops, port }) => {
      const row = el("tr", { class: "pick", "data-sector": sector }, el("td", {}, sectorLink(sector)), el("td", {}, String(hops)),
        el("td", {}, port.letters), ...products.map((i) => el("td", { title: `${portBuys(port, i) ? "buys" : "sells"} ${PRODUCTS[i]}` },
          `${port.amount[i]} (${port.percent[i]}%)`)));
      row.addEventListener("click", (event) => {
        if (event.target.closest("a")) return;
        atlas.go({ view: "course", from, to: sector, avoid: [] });
      });
      return row;
    });
    result.replaceChildren(el("p", { class: "quiet" }, "nearest first; click a row to plot the course"),
      el("div", { class: "scroll" }, el("table", { id: "ports-table" }, el("thead", {}, head), el("tbody", {}, ...rows))));

    // The courses to the nearest few, drawn as the tree they make from `from`.
    const near = found.slice(0, 6);
    const members = new Set([from]);
    for (const port of near) for (const s of plotCourse(u, from, port.sector) || []) members.add(s);
    drawRings(atlas, groupAround(u, from, members), from,
      `the courses from ${from} to the ${near.length} nearest of ${found.length} ports found`);
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

    document.getElementById("ports-form").addEventListener("submit", (event) => {
      event.preventDefault();
      const read = readForm("ports-form", {
        from: (text) => readSector(text, atlas.u.n),
        want: (text) => (parseWant(text) ? { value: parseWant(text) } : { problem: "choose what to look for" }),
      });
      if (read) atlas.go({ view: "ports", from: read.from, want: read.want });
    });
  },
};
