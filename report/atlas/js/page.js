// The page: reads the run's data, follows the address, and draws each view.
// Every text from the data reaches the page as text (textContent), never as
// markup.

import { decodeUniverse, inUniverse, warpsOf, portOf, slotsOf, onLane, slotName } from "./universe.js";
import { plotCourse, formatCourse } from "./course.js";
import { PRODUCTS, PRODUCT_KEYS, CLASS_MASKS, portClassName, portClassNumber, portBuys, portMatches, findPorts } from "./ports.js";
import { neighbourhood, groupAround, warpsAmong } from "./neighbourhood.js";
import { layoutRings, layoutCourse } from "./layout.js";
import { listBubbles, sortBubbles } from "./bubbles.js";
import { parseAddress, formatAddress, sectorList, parseWant, formatWant, DEFAULT_HOPS } from "./address.js";

const SVG = "http://www.w3.org/2000/svg";
const RADIUS = 16;

// Fill colours of the port classes 1..8; sectors without a port are dark.
const CLASS_COLOURS = ["", "#fdb462", "#80b1d3", "#b3de69", "#ffed6f", "#bebada", "#fb8072", "#fccde5", "#d9d9d9"];
const NO_PORT = "#2b3442";

// Builds an element: attributes from `attrs`, children appended, strings as text.
function el(tag, attrs = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attrs)) node.setAttribute(name, value);
  for (const child of children) node.append(child);
  return node;
}

function svg(tag, attrs = {}, ...children) {
  const node = document.createElementNS(SVG, tag);
  for (const [name, value] of Object.entries(attrs)) node.setAttribute(name, String(value));
  for (const child of children) node.append(child);
  return node;
}

function sectorLink(s, hops = DEFAULT_HOPS) {
  return el("a", { href: formatAddress({ view: "sector", sector: s, hops }) }, String(s));
}

function go(view) {
  const address = formatAddress(view);
  if (location.hash === address) show();
  else location.hash = address;
}

let u = null;
let bubbles = null;
let bubbleOf = new Map();  // gate -> its bubble
let current = { view: "none" };
const sortState = { column: "gate", descending: false };

// --- what a sector is, in words --------------------------------------------

function specialNames(s) {
  return slotsOf(u, s).map(slotName);
}

function portWords(port) {
  return `${port.letters} (class ${portClassNumber(port.buying)})`;
}

function describe(s) {
  const words = [`sector ${s}`];
  if (!u.explored[s]) words.push("unexplored");
  const port = portOf(u, s);
  if (port) words.push(`port ${portWords(port)}`);
  words.push(...specialNames(s));
  if (onLane(u, s)) words.push("on the major space lane");
  if (u.fig[s]) words.push("fig deployed");
  const record = u.bubble.get(s);
  if (record) words.push(`in the bubble behind ${record.gate}`);
  if (bubbleOf.has(s)) words.push("bubble gate");
  return words.join(", ");
}

// --- the drawing ------------------------------------------------------------

const view = { x: 0, y: 0, width: 100, height: 100, fitted: null };
// The drawing's size on screen, kept by a resize observer so that drawing a
// view never has to wait for the page's layout.
const screenBox = { width: 0, height: 0 };

function setViewBox() {
  document.getElementById("drawing").setAttribute("viewBox", `${view.x} ${view.y} ${view.width} ${view.height}`);
}

function fit() {
  if (!view.fitted) return;
  Object.assign(view, view.fitted);
  setViewBox();
}

function zoom(factor, cx = view.x + view.width / 2, cy = view.y + view.height / 2) {
  view.x = cx - (cx - view.x) * factor;
  view.y = cy - (cy - view.y) * factor;
  view.width *= factor;
  view.height *= factor;
  setViewBox();
}

function markers() {
  const defs = svg("defs");
  for (const [id, colour] of [["arrow", "var(--one-way)"], ["arrow-course", "var(--course)"]]) {
    defs.append(svg("marker", { id, viewBox: "0 0 10 10", refX: 9, refY: 5, markerWidth: 11, markerHeight: 11, markerUnits: "userSpaceOnUse", orient: "auto" },
      svg("path", { d: "M0,0 L10,5 L0,10 z", fill: colour })));
  }
  return defs;
}

// The sectors of a route that are drawn as course edges: "a-b" for each hop.
function courseHops(course) {
  const hops = new Set();
  for (let i = 1; i < (course || []).length; i++) hops.add(`${course[i - 1]}-${course[i]}`);
  return hops;
}

function drawSector(s, p, classes) {
  const port = portOf(u, s);
  const group = svg("g", {
    class: ["sector", u.explored[s] ? "" : "unexplored", ...classes].join(" ").trim(),
    transform: `translate(${p.x.toFixed(1)},${p.y.toFixed(1)})`,
    "data-sector": s,
    tabindex: 0,
    role: "link",
  });
  const title = svg("title");
  title.textContent = describe(s);
  group.append(title);
  if (onLane(u, s)) group.append(svg("circle", { class: "lane", r: RADIUS + 4 }));
  const fill = port ? CLASS_COLOURS[portClassNumber(port.buying)] : NO_PORT;
  group.append(svg("circle", { class: "body", r: RADIUS, fill }));
  const names = specialNames(s);
  if (names.length > 0) {
    group.append(svg("circle", { class: "special", r: RADIUS + 8 }));
    const name = svg("text", { class: "name", y: -RADIUS - 12 });
    name.textContent = names.join(", ");
    group.append(name);
  }
  const number = svg("text", { class: s >= 10000 ? "number long" : "number", fill: port && u.explored[s] ? "#101010" : "#e8eef7" });
  number.textContent = String(s);
  group.append(number);
  if (port) {
    const letters = svg("text", { class: "class", y: RADIUS + 12 });
    letters.textContent = port.letters;
    group.append(letters);
  }
  if (u.fig[s]) group.append(svg("path", { class: "fig", d: "M9,-19 L17,-19 L13,-12 z" }));
  if (u.bubble.has(s)) group.append(svg("circle", { class: "member", cx: 13, cy: 13, r: 4 }));
  if (bubbleOf.has(s)) group.append(svg("rect", { class: "gate", x: 8, y: 8, width: 10, height: 10 }));
  return group;
}

function drawEdge(edge, from, to, onCourse) {
  const dx = to.x - from.x;
  const dy = to.y - from.y;
  const length = Math.hypot(dx, dy) || 1;
  const ux = dx / length;
  const uy = dy / length;
  const start = RADIUS + 2;
  const end = RADIUS + (edge.twoWay && !onCourse ? 2 : 5);
  const lane = onLane(u, edge.from) && onLane(u, edge.to);
  const classes = ["edge", edge.twoWay ? "" : "one-way", lane ? "lane" : "", onCourse ? "course" : ""].join(" ").replace(/ +/g, " ").trim();
  const line = svg("line", {
    class: classes,
    x1: (from.x + ux * start).toFixed(1), y1: (from.y + uy * start).toFixed(1),
    x2: (to.x - ux * end).toFixed(1), y2: (to.y - uy * end).toFixed(1),
    "data-from": edge.from, "data-to": edge.to,
  });
  if (onCourse) line.setAttribute("marker-end", "url(#arrow-course)");
  else if (!edge.twoWay) line.setAttribute("marker-end", "url(#arrow)");
  return line;
}

// Draws sectors at `positions` with the warps among them; `centre` stands out,
// the hops of `course` are drawn as the course.
function draw(nodes, edges, positions, { centre = 0, course = null, radii = [] } = {}) {
  const drawing = document.getElementById("drawing");
  drawing.replaceChildren(markers());
  const rings = svg("g", { class: "rings" });
  for (let r = 1; r < radii.length; r++) rings.append(svg("circle", { class: "ring", r: radii[r].toFixed(1) }));
  drawing.append(rings);
  const onCourse = courseHops(course);
  const lines = svg("g", { class: "edges" });
  const drawn = new Set();
  for (const edge of edges) {
    const forward = onCourse.has(`${edge.from}-${edge.to}`);
    const backward = edge.twoWay && onCourse.has(`${edge.to}-${edge.from}`);
    const shown = backward ? { from: edge.to, to: edge.from, twoWay: true } : edge;
    lines.append(drawEdge(shown, positions.get(shown.from), positions.get(shown.to), forward || backward));
    drawn.add(`${shown.from}-${shown.to}`);
  }
  drawing.append(lines);
  const sectors = svg("g", { class: "sectors" });
  for (const node of nodes) {
    const classes = node.sector === centre ? ["centre"] : [];
    sectors.append(drawSector(node.sector, positions.get(node.sector), classes));
  }
  drawing.append(sectors);

  let minX = Infinity, minY = Infinity, maxX = -Infinity, maxY = -Infinity;
  for (const p of positions.values()) {
    minX = Math.min(minX, p.x); minY = Math.min(minY, p.y);
    maxX = Math.max(maxX, p.x); maxY = Math.max(maxY, p.y);
  }
  const margin = 60;
  if (!Number.isFinite(minX)) minX = minY = maxX = maxY = 0;
  const box = screenBox;
  const aspect = box.width > 0 && box.height > 0 ? box.width / box.height : 1.5;
  // A small picture is not blown up beyond its own size.
  let width = Math.max(maxX - minX + 2 * margin, box.width * 0.8);
  let height = Math.max(maxY - minY + 2 * margin, box.height * 0.8);
  if (width / height < aspect) width = height * aspect;
  else height = width / aspect;
  view.fitted = { x: (minX + maxX) / 2 - width / 2, y: (minY + maxY) / 2 - height / 2, width, height };
  fit();
}

function legend() {
  const item = (symbol, text) => el("span", {}, symbol, text);
  const swatch = (...parts) => svg("svg", { viewBox: "-11 -8 22 16" }, ...parts);
  const items = [
    item(swatch(svg("line", { x1: -10, y1: 0, x2: 10, y2: 0, class: "edge" })), "two-way warp"),
    item(swatch(svg("line", { x1: -10, y1: 0, x2: 6, y2: 0, class: "edge one-way", "marker-end": "url(#legend-arrow)" })), "one-way warp"),
    item(swatch(svg("line", { x1: -10, y1: 0, x2: 10, y2: 0, class: "edge course" })), "course"),
    item(swatch(svg("circle", { r: 6, fill: NO_PORT, stroke: "#c9d4e4" })), "no port"),
    item(swatch(svg("circle", { r: 6, fill: NO_PORT, stroke: "#c9d4e4", "stroke-dasharray": "3 2", "fill-opacity": 0.25 })), "unexplored"),
    item(swatch(svg("circle", { r: 6, fill: "none", stroke: "var(--lane)", "stroke-width": 3 })), "major space lane"),
    item(swatch(svg("circle", { r: 6, fill: "none", stroke: "var(--special)", "stroke-width": 2 })), "special sector"),
    item(swatch(svg("path", { d: "M-4,-4 L4,-4 L0,4 z", fill: "var(--fig)" })), "fig"),
    item(swatch(svg("circle", { r: 4, fill: "var(--bubble)" })), "in a bubble"),
    item(swatch(svg("rect", { x: -5, y: -5, width: 10, height: 10, fill: "none", stroke: "var(--bubble)", "stroke-width": 2 })), "bubble gate"),
  ];
  for (let c = 1; c <= 8; c++) {
    const mask = CLASS_MASKS[c - 1];
    items.push(item(swatch(svg("circle", { r: 6, fill: CLASS_COLOURS[c] })), `class ${c} ${portClassName(mask)}`));
  }
  const defs = swatch(svg("defs", {}, svg("marker", { id: "legend-arrow", viewBox: "0 0 10 10", refX: 5, refY: 5, markerWidth: 5, markerHeight: 5, orient: "auto" },
    svg("path", { d: "M0,0 L10,5 L0,10 z", fill: "var(--one-way)" }))));
  defs.setAttribute("style", "position:absolute;width:0;height:0");
  document.getElementById("legend").replaceChildren(defs, ...items);
}

function status(...parts) {
  document.getElementById("status").replaceChildren(...parts);
}

function notInUniverse(s) {
  return `sector ${s} is not in this universe (1..${u.n})`;
}

// An empty drawing, and why.
function drawNothing(why) {
  draw([], [], new Map());
  status(why);
}

// Draws a group of sectors on rings around `centre`; `words` describe it on the
// status line, which says so when not all of it fits.
function drawRings(group, centre, words) {
  const { positions, radii } = layoutRings(group.nodes, group.edges, globalThis.d3);
  draw(group.nodes, group.edges, positions, { centre, radii });
  status(group.nodes.length < group.total ? `${words} (the nearest ${group.nodes.length} drawn)` : words);
}

// --- the details of a sector -----------------------------------------------

function hopText(h) {
  return h === 255 ? "no route" : String(h);
}

const KIND_WORDS = ["one-way out", "two-way", "one-way in", "unknown kind"];

function details(s) {
  const panel = document.getElementById("details");
  if (!inUniverse(u, s)) {
    panel.replaceChildren(el("h2", {}, `Sector ${s}`), el("p", { class: "problem" }, notInUniverse(s)));
    return;
  }
  const tags = el("div", { class: "tags" });
  const tag = (text, kind = "") => tags.append(el("span", { class: `tag ${kind}`.trim() }, text));
  tag(u.explored[s] ? "explored" : "unexplored");
  for (const name of specialNames(s)) tag(name, "special");
  if (onLane(u, s)) tag("major space lane", "lane");
  if (u.fig[s]) tag("fig deployed", "fig");
  const record = u.bubble.get(s);
  if (record) tag("in a bubble", "bubble");
  const gateOf = bubbleOf.get(s);
  if (gateOf) tag("bubble gate", "bubble");
  const parts = [el("h2", {}, `Sector ${s}`), tags];

  parts.push(el("h3", {}, "Warps"));
  const warps = warpsOf(u, s);
  if (!u.hasWarps[s]) {
    parts.push(el("p", { class: "quiet" }, "no warps known"));
  } else {
    const list = el("ul", { class: "warps" });
    for (const { target, kind } of warps) {
      const arrow = kind === 2 ? "\u2190 " : "\u2192 ";
      const link = inUniverse(u, target) ? sectorLink(target, current.hops || DEFAULT_HOPS) : el("span", {}, String(target));
      const words = inUniverse(u, target) ? KIND_WORDS[kind] : `${KIND_WORDS[kind]}, outside the universe`;
      list.append(el("li", { "data-kind": kind }, arrow, link, ` ${words}`));
    }
    parts.push(list);
  }

  parts.push(el("h3", {}, "Port"));
  const port = portOf(u, s);
  if (!port) {
    parts.push(el("p", { class: "quiet" }, "no port known"));
  } else {
    parts.push(el("p", { class: "port" }, `${portWords(port)}, ${port.reporting ? "reporting" : "not reporting (from an earlier capture)"}`));
    const rows = PRODUCTS.map((name, i) => el("tr", {}, el("td", {}, name), el("td", {}, portBuys(port, i) ? "buys" : "sells"),
      el("td", {}, String(port.amount[i])), el("td", {}, `${port.percent[i]}%`)));
    parts.push(el("table", { class: "port-table" }, el("thead", {}, el("tr", {}, el("th", {}, "product"), el("th", {}, ""), el("th", {}, "amount"), el("th", {}, "%"))), el("tbody", {}, ...rows)));
  }

  parts.push(el("h3", {}, "Hops"));
  const hopRows = [];
  for (let k = 0; k < u.specials.length; k++) {
    const to = u.hopsTo[k];
    const from = u.hopsFrom[k];
    if (!to || !from) continue;
    const name = k === 0 ? slotName(0) : `${slotName(k)} (${u.specials[k]})`;
    hopRows.push(el("tr", {}, el("td", {}, name), el("td", {}, hopText(to[s])), el("td", {}, hopText(from[s]))));
  }
  parts.push(hopRows.length === 0 ? el("p", { class: "quiet" }, "no special sectors given")
    : el("table", { class: "hops" }, el("thead", {}, el("tr", {}, el("th", {}, ""), el("th", {}, "to"), el("th", {}, "from"))), el("tbody", {}, ...hopRows)));

  if (record || gateOf) parts.push(el("h3", {}, "Bubble"));
  if (record) {
    const marks = [`depth ${record.depth}`, record.explored ? "" : "unexplored around it (u)", record.compromised ? "compromised (c)" : ""].filter(Boolean);
    parts.push(el("p", {}, "behind gate ", el("a", { href: formatAddress({ view: "bubble", gate: record.gate }) }, String(record.gate)), `: ${marks.join(", ")}`));
  }
  if (gateOf) {
    parts.push(el("p", {}, "gate of ", el("a", { href: formatAddress({ view: "bubble", gate: s }) }, `a bubble of ${gateOf.size} ${gateOf.size === 1 ? "sector" : "sectors"}`)));
  }
  for (const [title, texts] of [["Note", u.notes], ["Log", u.logs]]) {
    if (!texts.has(s)) continue;
    parts.push(el("h3", {}, title), el("p", { class: `text ${title.toLowerCase()}` }, texts.get(s)));
  }
  panel.replaceChildren(...parts);
}

// --- the views ---------------------------------------------------------------

function selectTab(name) {
  for (const button of document.querySelectorAll("#tabs button")) {
    button.setAttribute("aria-selected", String(button.dataset.tab === name));
  }
  for (const tool of document.querySelectorAll(".tool")) tool.classList.toggle("active", tool.dataset.tool === name);
  if (name === "bubbles") bubbleTable();
}

function field(form, name, value) {
  document.getElementById(form).elements[name].value = value;
}

function showSector({ sector, hops }) {
  selectTab("sector");
  field("sector-form", "sector", sector);
  field("sector-form", "hops", hops);
  details(sector);
  if (!inUniverse(u, sector)) {
    drawNothing(notInUniverse(sector));
    return;
  }
  const hood = neighbourhood(u, sector, hops);
  const around = hood.total - 1;
  drawRings(hood, sector, `sector ${sector} and the ${around} ${around === 1 ? "sector" : "sectors"} within ${hops} ${hops === 1 ? "hop" : "hops"}`);
}

// The sectors of a course, one a row: the hop, the sector, its port and what
// the player noted there.
function alongTheCourse(course) {
  const rows = course.map((s, i) => {
    const port = portOf(u, s);
    const names = specialNames(s);
    const note = u.notes.get(s) || "";
    const marks = [...names, u.fig[s] ? "fig" : "", names.includes(note) ? "" : note].filter(Boolean).join("; ");
    return el("tr", {}, el("td", {}, String(i)), el("td", {}, sectorLink(s)), el("td", {}, port ? port.letters : ""),
      el("td", { class: "marks" }, marks));
  });
  return el("div", { class: "scroll" }, el("table", { id: "course-table" },
    el("thead", {}, el("tr", {}, el("th", {}, "hop"), el("th", {}, "sector"), el("th", {}, "port"), el("th", {}, ""))),
    el("tbody", {}, ...rows)));
}

function showCourse({ from, to, avoid }) {
  selectTab("course");
  field("course-form", "from", from);
  field("course-form", "to", to);
  field("course-form", "avoid", avoid.join(", "));
  const result = document.getElementById("course-result");
  const started = performance.now();
  const course = plotCourse(u, from, to, avoid);
  result.dataset.searchMs = (performance.now() - started).toFixed(2);
  const back = el("a", { id: "return-course", href: formatAddress({ view: "course", from: to, to: from, avoid }) }, "return course");
  details(to);
  if (!course) {
    const why = !inUniverse(u, from) ? notInUniverse(from)
      : !inUniverse(u, to) ? notInUniverse(to) : `no known route from ${from} to ${to}`;
    result.replaceChildren(el("p", { id: "course-text", class: "problem" }, why), el("p", {}, back));
    drawNothing(why);
    return;
  }
  const hops = course.length - 1;
  result.replaceChildren(
    el("p", { id: "course-text", class: "course-text" }, formatCourse(course)),
    el("p", { id: "course-hops" }, `${hops} ${hops === 1 ? "hop" : "hops"}`),
    avoid.length > 0 ? el("p", { class: "quiet" }, `avoiding ${avoid.join(", ")}`) : "",
    el("p", {}, back),
    alongTheCourse(course));
  const members = new Set(course);
  const nodes = course.map((s, i) => ({ sector: s, ring: i }));
  const { positions } = layoutCourse(course);
  draw(nodes, warpsAmong(u, members), positions, { centre: to, course });
  status(`the course from ${from} to ${to}: ${hops} ${hops === 1 ? "hop" : "hops"}`);
}

function showPorts({ from, want }) {
  selectTab("ports");
  field("ports-form", "from", from);
  field("ports-form", "want", formatWant(want));
  details(from);
  const result = document.getElementById("ports-result");
  const found = findPorts(u, from, want, 25);
  if (!inUniverse(u, from) || found.length === 0) {
    const why = !inUniverse(u, from) ? notInUniverse(from)
      : !u.ports.some((port) => portMatches(port, want)) ? "no such port is known" : `no known course from ${from} reaches such a port`;
    result.replaceChildren(el("p", { class: "problem" }, why));
    drawNothing(why);
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
      go({ view: "course", from, to: sector, avoid: [] });
    });
    return row;
  });
  result.replaceChildren(el("p", { class: "quiet" }, "nearest first; click a row to plot the course"),
    el("div", { class: "scroll" }, el("table", { id: "ports-table" }, el("thead", {}, head), el("tbody", {}, ...rows))));

  // The courses to the nearest few, drawn as the tree they make from `from`.
  const near = found.slice(0, 6);
  const members = new Set([from]);
  for (const port of near) for (const s of plotCourse(u, from, port.sector) || []) members.add(s);
  drawRings(groupAround(u, from, members), from,
    `the courses from ${from} to the ${near.length} nearest of ${found.length} ports found`);
}

function showBubble({ gate }) {
  selectTab("bubbles");
  const bubble = bubbleOf.get(gate);
  details(gate);
  if (!bubble) {
    drawNothing(`no bubble has gate ${gate}`);
    return;
  }
  const marks = [bubble.unexplored ? "unexplored (u)" : "", bubble.compromised ? "compromised (c)" : ""].filter(Boolean);
  drawRings(groupAround(u, gate, bubble.members), gate,
    `the bubble behind gate ${gate}: ${bubble.size} ${bubble.size === 1 ? "sector" : "sectors"}, depth ${bubble.depth}` + (marks.length ? `, ${marks.join(", ")}` : ""));
}

function bubbleTable() {
  const result = document.getElementById("bubble-result");
  if (bubbles.length === 0) {
    result.replaceChildren(el("p", { class: "quiet" }, "no bubbles (the run found none, or ran without bubble analysis)"));
    return;
  }
  const columns = [["gate", "gate"], ["depth", "depth"], ["size", "size"], ["unexplored", "u"], ["compromised", "c"]];
  const head = el("tr", {}, ...columns.map(([key, label]) => {
    const th = el("th", { "data-sort": key }, label);
    if (sortState.column === key) th.setAttribute("aria-sort", sortState.descending ? "descending" : "ascending");
    th.addEventListener("click", () => {
      sortState.descending = sortState.column === key ? !sortState.descending : key !== "gate";
      sortState.column = key;
      bubbleTable();
    });
    return th;
  }));
  const rows = sortBubbles(bubbles, sortState.column, sortState.descending).map((b) => {
    const row = el("tr", { class: "pick", "data-gate": b.gate }, el("td", {}, String(b.gate)), el("td", {}, String(b.depth)),
      el("td", {}, String(b.size)), el("td", {}, b.unexplored ? "u" : ""), el("td", {}, b.compromised ? "c" : ""));
    row.addEventListener("click", () => go({ view: "bubble", gate: b.gate }));
    return row;
  });
  result.replaceChildren(el("p", { class: "quiet" }, `${bubbles.length} ${bubbles.length === 1 ? "bubble" : "bubbles"}`),
    el("table", { id: "bubble-list" }, el("thead", {}, head), el("tbody", {}, ...rows)));
}

// Shows the view the address asks for; the default is terra and its
// neighbourhood.
function show() {
  current = parseAddress(location.hash);
  if (current.view === "none") current = { view: "sector", sector: 1, hops: DEFAULT_HOPS };
  try {
    switch (current.view) {
      case "course": showCourse(current); break;
      case "ports": showPorts(current); break;
      case "bubble": showBubble(current); break;
      default: showSector(current);
    }
  } catch (error) {
    status(el("span", { class: "problem" }, `this view cannot be shown: ${error.message}`));
  }
}

// --- wiring ------------------------------------------------------------------

function focusSector() {
  switch (current.view) {
    case "sector": return current.sector;
    case "course": return current.to;
    case "ports": return current.from;
    case "bubble": return current.gate;
    default: return 1;
  }
}

function wire() {
  const number = (form, name) => sectorList(document.getElementById(form).elements[name].value)[0];
  document.getElementById("sector-form").addEventListener("submit", (event) => {
    event.preventDefault();
    const sector = number("sector-form", "sector");
    if (sector) go({ view: "sector", sector, hops: Number(document.getElementById("sector-form").elements.hops.value) });
  });
  document.getElementById("course-form").addEventListener("submit", (event) => {
    event.preventDefault();
    const from = number("course-form", "from");
    const to = number("course-form", "to");
    const avoid = sectorList(document.getElementById("course-form").elements.avoid.value);
    if (from && to) go({ view: "course", from, to, avoid });
  });
  document.getElementById("ports-form").addEventListener("submit", (event) => {
    event.preventDefault();
    const from = number("ports-form", "from");
    const want = parseWant(document.getElementById("ports-form").elements.want.value);
    if (from && want) go({ view: "ports", from, want });
  });
  document.getElementById("course-from-here").addEventListener("click", () => {
    field("course-form", "from", focusSector());
    selectTab("course");
  });
  document.getElementById("course-to-here").addEventListener("click", () => {
    field("course-form", "to", focusSector());
    selectTab("course");
  });
  document.getElementById("ports-near-here").addEventListener("click", () => {
    field("ports-form", "from", focusSector());
    selectTab("ports");
  });
  for (const button of document.querySelectorAll("#tabs button")) {
    button.addEventListener("click", () => selectTab(button.dataset.tab));
  }

  const want = document.getElementById("want");
  const trade = el("optgroup", { label: "a port that" });
  for (const buys of [true, false]) {
    PRODUCTS.forEach((name, product) => trade.append(el("option", { value: formatWant({ product, buys }) }, `${buys ? "buys" : "sells"} ${name}`)));
  }
  const kinds = el("optgroup", { label: "a port of class" });
  CLASS_MASKS.forEach((mask, i) => kinds.append(el("option", { value: formatWant({ mask }) }, `${i + 1} ${portClassName(mask)}`)));
  want.replaceChildren(trade, kinds);

  const drawing = document.getElementById("drawing");
  Object.assign(screenBox, drawing.getBoundingClientRect().toJSON());
  new ResizeObserver(([entry]) => {
    screenBox.width = entry.contentRect.width;
    screenBox.height = entry.contentRect.height;
  }).observe(drawing);
  drawing.addEventListener("click", (event) => {
    const sector = event.target.closest(".sector");
    if (!sector || drawing.dataset.dragged === "1") return;
    go({ view: "sector", sector: Number(sector.dataset.sector), hops: current.view === "sector" ? current.hops : DEFAULT_HOPS });
  });
  drawing.addEventListener("keydown", (event) => {
    const sector = event.target.closest(".sector");
    if (sector && (event.key === "Enter" || event.key === " ")) {
      event.preventDefault();
      go({ view: "sector", sector: Number(sector.dataset.sector), hops: current.view === "sector" ? current.hops : DEFAULT_HOPS });
    }
  });
  // Dragging moves the picture, the wheel zooms about the pointer.
  let drag = null;
  const scale = () => view.width / (screenBox.width || 1);
  drawing.addEventListener("pointerdown", (event) => {
    drag = { x: event.clientX, y: event.clientY, moved: false };
    drawing.dataset.dragged = "0";
  });
  drawing.addEventListener("pointermove", (event) => {
    if (!drag) return;
    const dx = event.clientX - drag.x;
    const dy = event.clientY - drag.y;
    if (!drag.moved && Math.hypot(dx, dy) < 4) return;
    if (!drag.moved) drawing.setPointerCapture(event.pointerId);
    drag.moved = true;
    drawing.classList.add("moving");
    view.x -= dx * scale();
    view.y -= dy * scale();
    drag.x = event.clientX;
    drag.y = event.clientY;
    setViewBox();
  });
  const stop = () => {
    if (drag && drag.moved) drawing.dataset.dragged = "1";
    drag = null;
    drawing.classList.remove("moving");
  };
  drawing.addEventListener("pointerup", stop);
  drawing.addEventListener("pointercancel", stop);
  drawing.addEventListener("wheel", (event) => {
    event.preventDefault();
    const box = drawing.getBoundingClientRect();
    const cx = view.x + (event.clientX - box.left) * scale();
    const cy = view.y + (event.clientY - box.top) * scale();
    zoom(event.deltaY > 0 ? 1.15 : 1 / 1.15, cx, cy);
  }, { passive: false });
  for (const button of document.querySelectorAll("#zoom button")) {
    button.addEventListener("click", () => {
      if (button.dataset.zoom === "fit") fit();
      else zoom(button.dataset.zoom === "in" ? 1 / 1.3 : 1.3);
    });
  }
  window.addEventListener("hashchange", show);
}

function start() {
  try {
    u = decodeUniverse(JSON.parse(document.getElementById("atlas-data").textContent));
  } catch (error) {
    document.getElementById("summary").replaceChildren(el("span", { class: "problem" }, `the atlas data cannot be read: ${error.message}`));
    return;
  }
  bubbles = listBubbles(u);
  bubbleOf = new Map(bubbles.map((b) => [b.gate, b]));
  document.title = `${u.game} \u2013 korvan2a atlas`;
  document.getElementById("game").textContent = u.game;
  let explored = 0;
  let figs = 0;
  for (let s = 1; s <= u.n; s++) {
    explored += u.explored[s];
    figs += u.fig[s];
  }
  document.getElementById("summary").textContent =
    `${u.n} sectors \u00b7 ${explored} explored \u00b7 ${u.ports.length} ports \u00b7 ${figs} figs \u00b7 ${bubbles.length} bubbles`;
  legend();
  wire();
  show();
  // When the first view was drawn, in milliseconds since the page was opened.
  document.documentElement.dataset.ready = String(Math.round(performance.now()));
}

start();
