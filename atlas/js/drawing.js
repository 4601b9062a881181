// The drawing: sectors and the warps among them as SVG, its legend, and how
// the player moves and zooms the picture.

import { el, svg } from "./dom.js";
import { describeSector, specialNames } from "./details.js";
import { portOf, onLane, CHANGE_KINDS } from "./universe.js";
import { CHANGE_HEADINGS } from "./changes.js";
import { CLASS_MASKS, portClassName, portClassNumber } from "./ports.js";
import { layoutRings, fitView } from "./layout.js";
import { layoutTree, TREE_MARGIN } from "./bubble_layout.js";
import { DEFAULT_HOPS } from "./address.js";
import { nearestInDirection } from "./arrows.js";
import { chooseLabels } from "./labels.js";

const RADIUS = 18;
// The length of an arrowhead.
const ARROW = 11;

// Fill colours of the port classes 1..8; sectors without a port are dark.
const CLASS_COLOURS = ["", "#fdb462", "#80b1d3", "#b3de69", "#ffed6f", "#bebada", "#fb8072", "#fccde5", "#d9d9d9"];
const NO_PORT = "#2b3442";

// The part of the picture on screen, in the drawing's units, and the fitted
// one the "fit" button returns to.
const viewBox = { x: 0, y: 0, width: 100, height: 100, fitted: null };
// The drawing's size on screen, kept by a resize observer so that drawing a
// view never has to wait for the page's layout.
const screenBox = { width: 0, height: 0 };

function drawingElement() {
  return document.getElementById("drawing");
}

// Labels are drawn only where they can be read: at least LABEL_PIXELS tall
// on screen. The labels of the sectors a view is about are kept: drawn at any
// zoom, they grow as the picture shrinks so that they stay that tall. No two
// labels drawn overlap: the lesser one is left out.
const LABEL_PIXELS = 9;
const LABEL_UNITS = 12;

// The labels of the picture drawn, [{ id, x, y, box (once measured), rank,
// kept, texts, group (once shown) }] (see chooseLabels and labelTexts), the
// layer they are drawn in, the boxes of the marks of what changed, which no
// other sector's label may cover ([{ id, left, top, right, bottom }]), and
// the scale the labels were last chosen for. A label's elements are made the
// first time it is shown: most of a large drawing's labels never are.
let drawnLabels = [];
let labelLayer = null;
let drawnMarks = [];
let labelScale = 0;

// A canvas to measure label texts on, so that choosing labels never waits
// for the drawing to be laid out, and each kind of label text's font (by its
// class), read once from the style sheet.
let measuring = null;
const labelFonts = new Map();

// The font of a kind of label text, read from the style sheet on a text of
// that class in a hidden label.
function labelFont(kind) {
  if (!labelFonts.has(kind)) {
    const text = svg("text", { class: kind });
    const probe = svg("g", { class: "label hidden" }, svg("g", { class: "size" }, text));
    drawingElement().append(probe);
    const style = getComputedStyle(text);
    labelFonts.set(kind, { font: `${style.fontWeight} ${style.fontSize} ${style.fontFamily}`, central: style.dominantBaseline === "central" });
    probe.remove();
  }
  return labelFonts.get(kind);
}

// The box of a label's texts around its point, at scale 1, as SVG lays them
// out: a text's width across its anchor in the middle, and its font's height
// above and below its baseline (the middle one for a text on its centre), half
// a unit more each way for the font's rounded heights.
function labelBox(texts) {
  measuring ||= document.createElement("canvas").getContext("2d");
  const box = { left: 0, top: 0, right: 0, bottom: 0 };
  for (const { kind, text, y } of texts) {
    const { font, central } = labelFont(kind);
    measuring.font = font;
    const metrics = measuring.measureText(text);
    const above = metrics.fontBoundingBoxAscent + 0.5;
    const below = metrics.fontBoundingBoxDescent + 0.5;
    const top = central ? y - (above + below) / 2 : y - above;
    box.left = Math.min(box.left, -metrics.width / 2);
    box.right = Math.max(box.right, metrics.width / 2);
    box.top = Math.min(box.top, top);
    box.bottom = Math.max(box.bottom, top + above + below);
  }
  return box;
}

// Shows the labels that can be read at the scale `kept` labels are drawn at
// (1 when every label can be read, else only the kept ones, enlarged), none
// on another. A label's box is measured the first time it may be shown.
function showLabels(keptScale) {
  if (keptScale === labelScale) return;
  labelScale = keptScale;
  const candidates = keptScale > 1 ? drawnLabels.filter((label) => label.kept) : drawnLabels;
  for (const label of candidates) label.box ||= labelBox(label.texts);
  const shown = chooseLabels(candidates, globalThis.d3, { scale: keptScale, marks: drawnMarks });
  const made = document.createDocumentFragment();
  for (const label of drawnLabels) {
    const show = shown.has(label.id);
    if (show && !label.group) {
      label.group = drawLabel(label);
      made.append(label.group);
    } else if (label.group) {
      label.group.classList.toggle("hidden", !show);
    }
  }
  labelLayer.append(made);
}

function setViewBox() {
  const drawing = drawingElement();
  drawing.setAttribute("viewBox", `${viewBox.x} ${viewBox.y} ${viewBox.width} ${viewBox.height}`);
  // The picture is scaled to fit both ways (the SVG default), so the smaller
  // of the two scales is the one on screen.
  const scale = Math.min((screenBox.width || 1) / viewBox.width, (screenBox.height || 1) / viewBox.height);
  const keptScale = Number(Math.max(1, LABEL_PIXELS / (LABEL_UNITS * scale)).toFixed(3));
  // On the labels' layer, not the whole drawing: a new scale restyles only
  // the labels.
  labelLayer?.style.setProperty("--kept-label", String(keptScale));
  showLabels(keptScale);
}

export function fitPicture() {
  if (!viewBox.fitted) return;
  Object.assign(viewBox, viewBox.fitted);
  setViewBox();
}

export function zoomPicture(factor, cx = viewBox.x + viewBox.width / 2, cy = viewBox.y + viewBox.height / 2) {
  viewBox.x = cx - (cx - viewBox.x) * factor;
  viewBox.y = cy - (cy - viewBox.y) * factor;
  viewBox.width *= factor;
  viewBox.height *= factor;
  setViewBox();
}

function markers() {
  const defs = svg("defs");
  for (const [id, colour] of [["arrow", "var(--one-way)"], ["arrow-course", "var(--course)"]]) {
    // The arrowhead begins where its line ends and reaches ARROW further.
    defs.append(svg("marker", { id, viewBox: "0 0 10 10", refX: 0, refY: 5, markerWidth: ARROW, markerHeight: ARROW, markerUnits: "userSpaceOnUse", orient: "auto-start-reverse" },
      svg("path", { d: "M0,0 L10,5 L0,10 z", fill: colour })));
  }
  return defs;
}

// The hops of courses, a hop from a to b as hopKey(a, b).
const hopKey = (a, b) => a * 65536 + b;
function courseHops(courses) {
  const hops = new Set();
  for (const course of courses) for (let i = 1; i < course.length; i++) hops.add(hopKey(course[i - 1], course[i]));
  return hops;
}

// How far from a sector's centre its outermost drawn circle reaches, its
// stroke included (see atlas.css): a warp's line and arrowhead stop there.
function reach(atlas, s, marks) {
  if (specialNames(atlas, s).length > 0) return RADIUS + 8 + 1;
  if (onLane(atlas.u, s)) return RADIUS + 4 + 2;
  return RADIUS + (s === marks.centre ? 1.5 : marks.about.has(s) ? 1.75 : 0.6);
}

function drawSector(atlas, s, p, classes) {
  const { u } = atlas;
  const port = portOf(u, s);
  const group = svg("g", {
    class: ["sector", u.explored[s] ? "" : "unexplored", ...classes].join(" ").trim(),
    transform: `translate(${p.x.toFixed(1)},${p.y.toFixed(1)})`,
    "data-sector": s,
    // The drawing is one Tab stop: arrow keys move between its sectors.
    tabindex: -1,
    role: "link",
  });
  const title = svg("title");
  title.textContent = describeSector(atlas, s);
  group.append(title);
  if (onLane(u, s)) group.append(svg("circle", { class: "lane", r: RADIUS + 4 }));
  const fill = port ? CLASS_COLOURS[portClassNumber(port.buying)] : NO_PORT;
  group.append(svg("circle", { class: "body", r: RADIUS, fill }));
  if (specialNames(atlas, s).length > 0) group.append(svg("circle", { class: "special", r: RADIUS + 8 }));
  if (u.fig[s]) group.append(svg("path", { class: "fig", d: "M10,-21 L19,-21 L14.5,-13 z" }));
  if (u.bubble.has(s)) group.append(svg("circle", { class: "member", cx: 14.5, cy: 14.5, r: 4.5 }));
  if (atlas.bubbleOf.has(s)) group.append(svg("rect", { class: "gate", x: 9, y: 9, width: 11, height: 11 }));
  if (atlas.changesAt.has(s)) group.append(svg("path", { class: "changed", d: "M-15,-22 L-9,-16 L-15,-10 L-21,-16 z" }));
  return group;
}

// The mark of each kind of change, in CHANGE_KINDS order, where a drawing
// says what changed at a sector: a shape of its own (coloured by atlas.css),
// some turned. A sector's marks go round the left of its circle at
// CHANGE_MARK_ANGLES (degrees), in the order of its kinds: above and below
// its number first, which stay clear of it as its label grows.
const CHANGE_MARKS = [
  { d: "M0,-5.5 L1.6,-1.7 L5.5,-1.7 L2.4,0.8 L3.4,4.8 L0,2.4 L-3.4,4.8 L-2.4,0.8 L-5.5,-1.7 L-1.6,-1.7 z" },  // a star
  { d: "M-1.8,-5 h3.6 v3.2 h3.2 v3.6 h-3.2 v3.2 h-3.6 v-3.2 h-3.2 v-3.6 h3.2 z" },  // a plus
  { d: "M-1.8,-5 h3.6 v3.2 h3.2 v3.6 h-3.2 v3.2 h-3.6 v-3.2 h-3.2 v-3.6 h3.2 z", turn: 45 },  // a cross
  { d: "M-4,-4 h8 v8 h-8 z" },  // a square
  { d: "M0,-5 L5,4 L-5,4 z" },  // a triangle up
  { d: "M0,5 L5,-4 L-5,-4 z" },  // a triangle down
  { d: "M0,-5.5 L5.5,0 L0,5.5 L-5.5,0 z" },  // a diamond
  { d: "M-5,-1.8 h10 v3.6 h-10 z" },  // a bar
];
const CHANGE_MARK_ANGLES = [-135, 135, -105, -165, 165, 105, -75, 75];
const CHANGE_MARK_REACH = RADIUS + 11;
// How large a mark is drawn, and how far its shape reaches from its middle
// before that.
const CHANGE_MARK_SCALE = 1.5;
const CHANGE_MARK_HALF = 5.5;

function changeMark(kind, x = 0, y = 0, scale = 1) {
  const { d, turn } = CHANGE_MARKS[kind];
  return svg("path", { class: `change-mark kind-${CHANGE_KINDS[kind].name}`, d,
    transform: `translate(${x.toFixed(1)},${y.toFixed(1)}) scale(${scale})${turn ? ` rotate(${turn})` : ""}` });
}

// Marks a drawn sector with what changed there, a mark for each of `kinds`
// (indices of CHANGE_KINDS), in place of the white mark of any change; the
// marks' boxes about the sector's middle, for the labels to keep off.
function markChanges(group, kinds) {
  group.querySelector("path.changed")?.remove();
  return kinds.map((kind, i) => {
    const a = (CHANGE_MARK_ANGLES[i % CHANGE_MARK_ANGLES.length] * Math.PI) / 180;
    const x = CHANGE_MARK_REACH * Math.cos(a);
    const y = CHANGE_MARK_REACH * Math.sin(a);
    group.append(changeMark(kind, x, y, CHANGE_MARK_SCALE));
    const half = CHANGE_MARK_HALF * CHANGE_MARK_SCALE;
    return { left: x - half, right: x + half, top: y - half, bottom: y + half };
  });
}

// The legend names the marks of the kinds of change drawn; with none drawn,
// the white mark of any change stands for them all.
function showChangeKinds(kinds) {
  const legend = document.getElementById("legend");
  for (const item of legend.querySelectorAll(".change-kind")) item.remove();
  const any = legend.querySelector(".changed-any");
  if (any) any.hidden = kinds.length > 0;
  const items = kinds.map((kind) => el("span", { class: "change-kind" },
    svg("svg", { viewBox: "-11 -8 22 16" }, changeMark(kind)), CHANGE_HEADINGS[kind]));
  if (any) any.after(...items);
  else legend.append(...items);
}

// A sector's label texts ([{ kind (the text's class), text, y }]): its
// number on its circle, its port's class letters below, the names of its
// special slots above.
function labelTexts(atlas, s, names) {
  const { u } = atlas;
  const port = portOf(u, s);
  const texts = [];
  if (names.length > 0) texts.push({ kind: "name", text: names.join(", "), y: -RADIUS - 12 });
  texts.push({ kind: port && u.explored[s] ? "number dark" : "number", text: String(s), y: 0 });
  if (port) texts.push({ kind: "class", text: port.letters, y: RADIUS + 12 });
  return texts;
}

// A label's elements. Labels lie above every line and circle of the drawing;
// `kept` labels are drawn at any zoom.
function drawLabel({ id, x, y, kept, texts }) {
  const group = svg("g", { class: kept ? "label kept" : "label", transform: `translate(${x.toFixed(1)},${y.toFixed(1)})`, "data-for": id });
  const inner = svg("g", { class: "size" });
  group.append(inner);
  for (const { kind, text, y: at } of texts) {
    const element = svg("text", at ? { class: kind, y: at } : { class: kind });
    element.textContent = text;
    inner.append(element);
  }
  return group;
}

// A warp on a course flown both ways.
const BOTH_WAYS = 2;

// A warp from circle edge to circle edge; a one-way warp ends in an arrowhead
// whose tip touches the target's outermost circle. A warp between two sectors
// of the major space lane has the lane's glow beneath it and keeps the look of
// its kind.
function drawEdge(atlas, edge, from, to, onCourse, into, marks) {
  const { u } = atlas;
  const dx = to.x - from.x;
  const dy = to.y - from.y;
  const length = Math.hypot(dx, dy) || 1;
  const ux = dx / length;
  const uy = dy / length;
  const arrow = onCourse || !edge.twoWay;
  // A course flown both ways (there and back by stops) has a head at each end.
  const start = reach(atlas, edge.from, marks) + (onCourse === BOTH_WAYS ? ARROW : 0);
  const end = reach(atlas, edge.to, marks) + (arrow ? ARROW : 0);
  if (start + end >= length) return;
  const ends = {
    x1: (from.x + ux * start).toFixed(1), y1: (from.y + uy * start).toFixed(1),
    x2: (to.x - ux * end).toFixed(1), y2: (to.y - uy * end).toFixed(1),
  };
  if (onLane(u, edge.from) && onLane(u, edge.to)) into.append(svg("line", { class: "lane-glow", ...ends }));
  const classes = ["edge", edge.twoWay ? "" : "one-way", onCourse ? "course" : ""].filter(Boolean).join(" ");
  const line = svg("line", { class: classes, ...ends, "data-from": edge.from, "data-to": edge.to });
  if (onCourse === BOTH_WAYS) line.setAttribute("marker-start", "url(#arrow-course)");
  if (onCourse) line.setAttribute("marker-end", "url(#arrow-course)");
  else if (!edge.twoWay) line.setAttribute("marker-end", "url(#arrow)");
  into.append(line);
}

// Draws sectors at `positions` with the warps among them; `centre` stands out,
// the hops of `course` are drawn as the course, and the sectors of `about` (a
// Set: the sectors the view is about, such as the port finder's results) are
// marked and always labelled, as are the centre, the special sectors and the
// sectors of the course; `courses` are more courses drawn the same way.
// `bands` are the rings' rooms (see ringBands). `fit` gives fitView's options
// for the first view of the picture. `changes` (Map sector -> [kinds of
// change]) marks those sectors with what changed there, and the legend names
// the marks.
export function drawPicture(atlas, nodes, edges, positions, { centre = 0, course = null, courses = [], bands = [], about = new Set(), fit = {}, changes = null } = {}) {
  const paths = course ? [course, ...courses] : courses;
  const drawing = drawingElement();
  drawing.replaceChildren(markers());
  const rings = svg("g", { class: "rings" });
  for (let r = 1; r < bands.length; r++) {
    const { inner, outer } = bands[r];
    rings.append(svg("circle", { class: "ring", r: ((inner + outer) / 2).toFixed(1), "stroke-width": (outer - inner + 2 * RADIUS + 8).toFixed(1) }));
  }
  drawing.append(rings);
  const onCourse = courseHops(paths);
  const lines = svg("g", { class: "edges" });
  for (const edge of edges) {
    const forward = onCourse.has(hopKey(edge.from, edge.to));
    const backward = edge.twoWay && onCourse.has(hopKey(edge.to, edge.from));
    const shown = backward ? { from: edge.to, to: edge.from, twoWay: true } : edge;
    const flown = forward && backward ? BOTH_WAYS : forward || backward;
    drawEdge(atlas, shown, positions.get(shown.from), positions.get(shown.to), flown, lines, { centre, about });
  }
  drawing.append(lines);
  const sectors = svg("g", { class: "sectors" });
  labelLayer = svg("g", { class: "labels", "aria-hidden": "true" });
  const onTheCourse = new Set(paths.flat());
  const start = course ? course[0] : 0;
  drawnLabels = [];
  drawnMarks = [];
  for (const node of nodes) {
    const s = node.sector;
    const classes = [s === centre ? "centre" : "", about.has(s) ? "about" : ""].filter(Boolean);
    const p = positions.get(s);
    const group = drawSector(atlas, s, p, classes);
    if (changes && changes.has(s)) {
      for (const box of markChanges(group, changes.get(s))) {
        drawnMarks.push({ id: s, left: p.x + box.left, right: p.x + box.right, top: p.y + box.top, bottom: p.y + box.bottom });
      }
    }
    sectors.append(group);
    // Where labels would overlap, the centre's is kept first, then those of
    // what the view is about (and the course's start), the special sectors,
    // the sectors along the courses, then the rest, nearest first. No label
    // but the centre's lies on another sector's marks of what changed.
    const names = specialNames(atlas, s);
    const rank = s === centre ? 0 : about.has(s) || s === start ? 1 : names.length > 0 ? 2 : onTheCourse.has(s) ? 3 : 4;
    drawnLabels.push({ id: s, x: p.x, y: p.y, rank, kept: rank < 4, texts: labelTexts(atlas, s, names), group: null });
  }
  drawing.append(sectors, labelLayer);
  labelScale = 0;
  showChangeKinds(changes ? [...new Set([...changes.values()].flat())].sort((a, b) => a - b) : []);

  viewBox.fitted = fitView(positions.values(), screenBox, { anchor: positions.get(centre), ...fit });
  fitPicture();
}

// An empty drawing, and why.
export function drawNothing(atlas, why) {
  drawPicture(atlas, [], [], new Map());
  atlas.status(why);
}

// Draws a group of sectors on rings around `centre`; `words` describe it on the
// status line, which says so when not all of it fits. `about` as for
// drawPicture, and `courses` drawn as courses; `changes` as for drawPicture.
export function drawRings(atlas, group, centre, words, { about = new Set(), courses = [], changes = null } = {}) {
  const { positions, bands } = layoutRings(group.nodes, group.edges);
  drawPicture(atlas, group.nodes, group.edges, positions, { centre, bands, about, courses, changes });
  groupStatus(atlas, group, words);
}

// The status line of a group drawn: `words`, and how many were drawn when not
// all of the group fits.
function groupStatus(atlas, group, words) {
  atlas.status(group.nodes.length < group.total ? `${words} (the nearest ${group.nodes.length} drawn)` : words);
}

// The smallest scale a tree is first shown at: a sector's circle is then 8
// pixels in radius. A tree too large for that is shown from its top, to be
// moved.
const TREE_MIN_SCALE = 0.5;

// Draws a group of sectors as the tree it makes from `root` (a bubble from
// its gate), shaped to the drawing's size; `words` as for drawRings.
export function drawTree(atlas, group, root, words) {
  const { positions } = layoutTree(group.nodes, group.edges, screenBox);
  drawPicture(atlas, group.nodes, group.edges, positions, { centre: root, fit: { minScale: TREE_MIN_SCALE, margin: TREE_MARGIN } });
  groupStatus(atlas, group, words);
}

export function showLegend(atlas) {
  const item = (symbol, text) => el("span", {}, symbol, text);
  const swatch = (...parts) => svg("svg", { viewBox: "-11 -8 22 16" }, ...parts);
  const items = [
    item(swatch(svg("line", { x1: -10, y1: 0, x2: 10, y2: 0, class: "edge" })), "two-way warp"),
    item(swatch(svg("line", { x1: -10, y1: 0, x2: 6, y2: 0, class: "edge one-way", "marker-end": "url(#legend-arrow)" })), "one-way warp"),
    item(swatch(svg("line", { x1: -10, y1: 0, x2: 10, y2: 0, class: "edge course" })), "course"),
    item(swatch(svg("line", { x1: -10, y1: 0, x2: 10, y2: 0, class: "lane-glow" }), svg("line", { x1: -10, y1: 0, x2: 10, y2: 0, class: "edge" })), "warp of the major space lane"),
    item(swatch(svg("circle", { r: 6, fill: NO_PORT, stroke: "#c9d4e4" })), "no port"),
    item(swatch(svg("circle", { r: 6, fill: NO_PORT, stroke: "#c9d4e4", "stroke-dasharray": "3 2", "fill-opacity": 0.25 })), "unexplored"),
    item(swatch(svg("circle", { r: 6, fill: "none", stroke: "var(--lane)", "stroke-width": 3 })), "major space lane"),
    item(swatch(svg("circle", { r: 6, fill: "none", stroke: "var(--special)", "stroke-width": 2 })), "special sector"),
    item(swatch(svg("circle", { r: 6, fill: NO_PORT, stroke: "var(--found)", "stroke-width": 2.5 })), "found (what the view looks for)"),
    item(swatch(svg("path", { d: "M-4,-4 L4,-4 L0,4 z", fill: "var(--fig)" })), "fig"),
    item(swatch(svg("circle", { r: 4, fill: "var(--bubble)" })), "in a bubble"),
    item(swatch(svg("rect", { x: -5, y: -5, width: 10, height: 10, fill: "none", stroke: "var(--bubble)", "stroke-width": 2 })), "bubble gate"),
  ];
  if (atlas.changesAt.size > 0) {
    items.push(item(swatch(svg("path", { class: "changed", d: "M0,-6 L6,0 L0,6 L-6,0 z" })), "changed since the last map"));
    items[items.length - 1].classList.add("changed-any");
  }
  for (let c = 1; c <= 8; c++) {
    const mask = CLASS_MASKS[c - 1];
    items.push(item(swatch(svg("circle", { r: 6, fill: CLASS_COLOURS[c] })), `class ${c} ${portClassName(mask)}`));
  }
  const defs = swatch(svg("defs", {}, svg("marker", { id: "legend-arrow", viewBox: "0 0 10 10", refX: 5, refY: 5, markerWidth: 5, markerHeight: 5, orient: "auto" },
    svg("path", { d: "M0,0 L10,5 L0,10 z", fill: "var(--one-way)" }))));
  defs.setAttribute("style", "position:absolute;width:0;height:0");
  document.getElementById("legend").replaceChildren(defs, ...items);
}

// What the keys do in the drawing, and the hint beside it for the device at
// hand: a mouse and its wheel, or a touch screen.
const DRAWING_KEYS = "In the drawing, arrow keys move between the sectors, Enter centres one, + and \u2212 zoom, "
  + "Shift with an arrow moves the picture that way, 0 fits it.";

function showDrawingHint() {
  const mouse = matchMedia("(hover: hover) and (pointer: fine)").matches;
  document.getElementById("drawing-hint").textContent = mouse
    ? `Click a sector to centre it; drag to move the picture, scroll to zoom. ${DRAWING_KEYS}`
    : "Tap a sector to centre it; drag the drawing to move the picture, + and \u2212 to zoom.";
  document.getElementById("drawing-keys").textContent = DRAWING_KEYS;
}

// Screen directions of the arrow keys.
const ARROWS = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };

function centreOnScreen(node) {
  const box = node.querySelector("circle.body").getBoundingClientRect();
  return { x: box.left + box.width / 2, y: box.top + box.height / 2 };
}

// The drawing's one Tab stop: the sector focused last while it is drawn, else
// the centre (or the first sector).
function keepTabStop(drawing) {
  if (drawing.querySelector('.sector[tabindex="0"]')) return;
  const stop = drawing.querySelector(".sector.centre") || drawing.querySelector(".sector");
  if (stop) stop.tabIndex = 0;
}

// Clicks and keys on the drawing, dragging and the wheel.
export function wireDrawing(atlas) {
  const drawing = drawingElement();
  Object.assign(screenBox, drawing.getBoundingClientRect().toJSON());
  new ResizeObserver(([entry]) => {
    screenBox.width = entry.contentRect.width;
    screenBox.height = entry.contentRect.height;
    setViewBox();
  }).observe(drawing);
  showDrawingHint();
  matchMedia("(hover: hover) and (pointer: fine)").addEventListener("change", showDrawingHint);
  const hopsNow = () => (atlas.current.view === "sector" ? atlas.current.hops : DEFAULT_HOPS);
  const scale = () => viewBox.width / (screenBox.width || 1);
  // A point on screen in the drawing's units.
  const inDrawing = ({ x, y }) => {
    const box = drawing.getBoundingClientRect();
    return { x: viewBox.x + (x - box.left) * scale(), y: viewBox.y + (y - box.top) * scale() };
  };

  // The sector to take the focus once the drawing is drawn anew (Enter
  // centres the focused sector and the focus stays in the drawing).
  let refocus = 0;
  new MutationObserver(() => {
    keepTabStop(drawing);
    const target = refocus && drawing.querySelector(`.sector[data-sector="${refocus}"]`);
    refocus = 0;
    if (target) {
      drawing.querySelector('.sector[tabindex="0"]').tabIndex = -1;
      target.tabIndex = 0;
      target.focus();
    }
  }).observe(drawing, { childList: true, subtree: true });

  drawing.addEventListener("click", (event) => {
    const sector = event.target.closest(".sector");
    if (!sector || drawing.dataset.dragged === "1") return;
    atlas.go({ view: "sector", sector: Number(sector.dataset.sector), hops: hopsNow() });
  });
  // The focused sector moves the focus (arrows), centres (Enter), zooms about
  // itself (+, -) and moves the picture (Shift and an arrow).
  drawing.addEventListener("keydown", (event) => {
    const sector = event.target.closest(".sector");
    if (!sector || event.altKey || event.ctrlKey || event.metaKey) return;
    const arrow = ARROWS[event.key];
    if (arrow && event.shiftKey) {
      viewBox.x -= arrow[0] * viewBox.width / 8;
      viewBox.y -= arrow[1] * viewBox.height / 8;
      setViewBox();
    } else if (arrow) {
      const sectors = [...drawing.querySelectorAll(".sector")];
      const to = nearestInDirection(sectors.map(centreOnScreen), centreOnScreen(sector), arrow);
      if (to >= 0) moveFocus(sector, sectors[to]);
    } else if (event.key === "Enter" || event.key === " ") {
      refocus = Number(sector.dataset.sector);
      atlas.go({ view: "sector", sector: refocus, hops: hopsNow() });
    } else if (event.key === "+" || event.key === "=" || event.key === "-" || event.key === "0") {
      const about = inDrawing(centreOnScreen(sector));
      if (event.key === "0") fitPicture();
      else zoomPicture(event.key === "-" ? 1.3 : 1 / 1.3, about.x, about.y);
    } else {
      return;
    }
    event.preventDefault();
  });
  // The focus moves to a sector; one beyond the edge of the picture brings
  // the picture round to it.
  function moveFocus(from, to) {
    from.tabIndex = -1;
    to.tabIndex = 0;
    to.focus();
    const box = drawing.getBoundingClientRect();
    const at = centreOnScreen(to);
    const margin = 30;
    if (at.x < box.left + margin || at.x > box.right - margin || at.y < box.top + margin || at.y > box.bottom - margin) {
      const p = inDrawing(at);
      viewBox.x = p.x - viewBox.width / 2;
      viewBox.y = p.y - viewBox.height / 2;
      setViewBox();
    }
  }

  // Dragging moves the picture, the wheel zooms about the pointer.
  let drag = null;
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
    viewBox.x -= dx * scale();
    viewBox.y -= dy * scale();
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
    const cx = viewBox.x + (event.clientX - box.left) * scale();
    const cy = viewBox.y + (event.clientY - box.top) * scale();
    zoomPicture(event.deltaY > 0 ? 1.15 : 1 / 1.15, cx, cy);
  }, { passive: false });
  for (const button of document.querySelectorAll("#zoom button")) {
    button.addEventListener("click", () => {
      if (button.dataset.zoom === "fit") fitPicture();
      else zoomPicture(button.dataset.zoom === "in" ? 1 / 1.3 : 1.3);
    });
  }
}
