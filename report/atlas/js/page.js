// The page: reads the run's data, follows the address, and shows each view in
// its tab. The views (sector, course, ports, bubbles) draw and fill their own
// panels; this module wires them to the address and the tabs.

import { el, setField } from "./dom.js";
import { showLegend, wireDrawing } from "./drawing.js";
import { decodeUniverse } from "./universe.js";
import { listBubbles } from "./bubbles.js";
import { changesBySector } from "./changes.js";
import { parseAddress, formatAddress, DEFAULT_HOPS } from "./address.js";
import { sectorView } from "./sector_view.js";
import { courseView } from "./course_view.js";
import { portsView } from "./ports_view.js";
import { bubblesView } from "./bubbles_view.js";

// Each address's view, by the view's name in the address.
const VIEWS = { sector: sectorView, course: courseView, ports: portsView, bubble: bubblesView };
const TABBED = [sectorView, courseView, portsView, bubblesView];

// What every view works on: the universe, its bubbles, the view shown, and
// the page's status line and address.
const atlas = {
  u: null,
  bubbles: [],
  bubbleOf: new Map(),  // gate -> its bubble
  changesAt: new Map(),  // sector -> what changed there since the last map
  current: { view: "none" },
  status(...parts) {
    document.getElementById("status").replaceChildren(...parts);
  },
  go(view) {
    const address = formatAddress(view);
    if (location.hash === address) showAddress();
    else location.hash = address;
  },
};

function selectTab(name) {
  for (const button of document.querySelectorAll("#tabs button")) {
    button.setAttribute("aria-selected", String(button.dataset.tab === name));
  }
  for (const tool of document.querySelectorAll(".tool")) tool.classList.toggle("active", tool.dataset.tool === name);
  const view = TABBED.find((v) => v.tab === name);
  if (view && view.opened) view.opened(atlas);
}

// Shows the view the address asks for; the default is terra and its
// neighbourhood.
function showAddress() {
  atlas.current = parseAddress(location.hash);
  if (atlas.current.view === "none") atlas.current = { view: "sector", sector: 1, hops: DEFAULT_HOPS };
  const view = VIEWS[atlas.current.view];
  try {
    selectTab(view.tab);
    view.show(atlas, atlas.current);
  } catch (error) {
    atlas.status(el("span", { class: "problem" }, `this view cannot be shown: ${error.message}`));
  }
}

// The sector the current view is about.
function focusSector() {
  const view = VIEWS[atlas.current.view];
  return view ? view.focus(atlas.current) : 1;
}

function wirePage() {
  for (const view of TABBED) view.wire(atlas);
  document.getElementById("course-from-here").addEventListener("click", () => {
    setField("course-form", "from", focusSector());
    selectTab("course");
  });
  document.getElementById("course-to-here").addEventListener("click", () => {
    setField("course-form", "to", focusSector());
    selectTab("course");
  });
  document.getElementById("ports-near-here").addEventListener("click", () => {
    setField("ports-form", "from", focusSector());
    selectTab("ports");
  });
  for (const button of document.querySelectorAll("#tabs button")) {
    button.addEventListener("click", () => selectTab(button.dataset.tab));
  }
  wireDrawing(atlas);
  window.addEventListener("hashchange", showAddress);
}

function startPage() {
  try {
    atlas.u = decodeUniverse(JSON.parse(document.getElementById("atlas-data").textContent));
  } catch (error) {
    document.getElementById("summary").replaceChildren(el("span", { class: "problem" }, `the atlas data cannot be read: ${error.message}`));
    return;
  }
  const { u } = atlas;
  atlas.bubbles = listBubbles(u);
  atlas.bubbleOf = new Map(atlas.bubbles.map((b) => [b.gate, b]));
  atlas.changesAt = changesBySector(u);
  document.title = `${u.game} \u2013 korvan2a atlas`;
  document.getElementById("game").textContent = u.game;
  let explored = 0;
  let figs = 0;
  for (let s = 1; s <= u.n; s++) {
    explored += u.explored[s];
    figs += u.fig[s];
  }
  document.getElementById("summary").textContent =
    `${u.n} sectors \u00b7 ${explored} explored \u00b7 ${u.ports.length} ports \u00b7 ${figs} figs \u00b7 ${atlas.bubbles.length} bubbles`;
  showLegend(atlas);
  wirePage();
  showAddress();
  // When the first view was drawn, in milliseconds since the page was opened.
  document.documentElement.dataset.ready = String(Math.round(performance.now()));
}

startPage();
