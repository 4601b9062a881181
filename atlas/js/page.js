// The page: reads the run's data, follows the address, and shows each view in
// its tab. The views (sector, course, ports, bubbles) draw and fill their own
// panels; this module wires them to the address and the tabs.

import { el, fieldValue, markField } from "./dom.js";
import { showLegend, wireDrawing } from "./drawing.js";
import { decodeUniverse } from "./universe.js";
import { listBubbles } from "./bubbles.js";
import { changesBySector } from "./changes.js";
import { parseAddress, formatAddress, parseWant } from "./address.js";
import { sectorView } from "./sector_view.js";
import { courseView } from "./course_view.js";
import { portsView } from "./ports_view.js";
import { bubblesView } from "./bubbles_view.js";
import { tradeView } from "./trade_view.js";
import { exploreView } from "./explore_view.js";
import { changesView } from "./changes_view.js";
import { historyView } from "./history_view.js";
import { findView } from "./find_view.js";

// Each address's view, by the view's name in the address.
const VIEWS = {
  sector: sectorView, course: courseView, ports: portsView, bubble: bubblesView,
  trade: tradeView, explore: exploreView, changes: changesView, history: historyView, find: findView,
};
const TABBED = [sectorView, courseView, portsView, bubblesView, tradeView, exploreView, changesView, historyView, findView];

// What every view works on: the universe, its bubbles, the view shown, and
// the page's status line and address.
const atlas = {
  u: null,
  bubbles: [],
  bubbleOf: new Map(),  // gate -> its bubble
  changesAt: new Map(),  // sector -> what changed there since the last map
  current: { view: "none" },
  // The sector the player was last at: the one the last view about a sector
  // was about (the find box counts hops from it).
  here: 1,
  // The view just asked for by go(), until the address shows it.
  asked: null,
  // What of the address could not be read; the status line begins with it
  // for as long as the address stays.
  addressProblems: [],
  status(...parts) {
    const problems = atlas.addressProblems;
    const said = problems.length === 0 ? [] : [el("span", { class: "problem" }, `address not understood: ${problems.join("; ")}`), " \u2014 "];
    document.getElementById("status").replaceChildren(...said, ...parts);
  },
  // Shows `view`. A view of the tab open, asked for by its own form, keeps
  // what its fields the address does not name hold.
  go(view) {
    const tab = VIEWS[view.view].tab;
    if (view.fields === undefined && tabButtons().some((b) => b.dataset.tab === tab && b.getAttribute("aria-selected") === "true")) {
      view.fields = unnamedFields(VIEWS[view.view]);
    }
    atlas.asked = view;
    const address = formatAddress(view);
    if (location.hash === address) showAddress();
    else location.hash = address;
  },
};

// The fields of a view's panel that its address does not name (a list's
// filters, which narrow what is shown without being part of what is asked),
// as a view object keeps them: { name: value or checked }.
function unnamedFields(view) {
  const fields = {};
  if (!view.unnamed) return fields;
  for (const input of document.querySelectorAll(`${view.unnamed} [name]`)) {
    fields[input.name] = input.type === "checkbox" ? input.checked : input.value;
  }
  return fields;
}

// Puts a view's unnamed fields back as `fields` holds them, or, for a view
// without (a new address), as they were when the page opened; either way
// with no mistake shown.
function restoreUnnamed(view, fields) {
  if (!view.unnamed) return;
  for (const input of document.querySelectorAll(`${view.unnamed} [name]`)) {
    const kept = fields ? fields[input.name] : undefined;
    if (input.type === "checkbox") input.checked = kept === undefined ? input.defaultChecked : kept;
    else if (input.tagName === "SELECT") input.value = kept === undefined ? (input.options[0]?.value ?? "") : kept;
    else input.value = kept === undefined ? input.defaultValue : kept;
    markField(input, null);
  }
}

// The view each tab showed last, by tab: opening a tab again shows it, so
// that a tab's form and results always name what the drawing shows.
const lastViews = new Map();

function tabButtons() {
  return [...document.querySelectorAll("#tabs [role=tab]")];
}

// Shows the panel of tab `name`; the tab list keeps one Tab stop, the chosen
// tab (the first, for a view without a tab of its own, such as find).
function selectTab(name) {
  const buttons = tabButtons();
  const any = buttons.some((button) => button.dataset.tab === name);
  for (const [i, button] of buttons.entries()) {
    const chosen = button.dataset.tab === name;
    button.setAttribute("aria-selected", String(chosen));
    button.tabIndex = chosen || (!any && i === 0) ? 0 : -1;
  }
  for (const tool of document.querySelectorAll(".tool")) tool.classList.toggle("active", tool.dataset.tool === name);
  const view = TABBED.find((v) => v.tab === name);
  document.querySelector("main").classList.toggle("wide-tools", Boolean(view && view.wide));
  if (view && view.opened) view.opened(atlas);
}

// The player opens a tab: it shows the view it showed last; else the view a
// tab shows at once for the sector the drawing is about (sector, trade,
// explore, changes), else its form alone.
function openTab(name) {
  const chosen = tabButtons().find((button) => button.getAttribute("aria-selected") === "true");
  if (chosen && chosen.dataset.tab === name) return;
  const view = TABBED.find((v) => v.tab === name);
  const last = lastViews.get(name) || (view.fresh ? view.fresh(focusSector() || 1) : null);
  // The view still drawn keeps what the player typed in its form. The
  // address, not the view drawn, says what is shown: a tab opened while the
  // page has yet to show an address just asked for goes to its own.
  if (last && formatAddress(last) !== location.hash) atlas.go(last);
  else selectTab(name);
}

// Shows the view the address asks for; the default is terra and its
// neighbourhood. The fields the address does not name are reset, but for a
// view asked for with them (see go).
function showAddress() {
  const { view: shown, problems } = parseAddress(location.hash, atlas.u.n);
  const { asked } = atlas;
  atlas.asked = null;
  if (asked && formatAddress(asked) === formatAddress(shown)) shown.fields = asked.fields;
  atlas.current = shown;
  atlas.addressProblems = problems;
  const view = VIEWS[atlas.current.view];
  restoreUnnamed(view, shown.fields);
  const find = document.getElementById("find-box").elements.find;
  if (shown.view !== "find") {
    find.value = "";
    markField(find, null);
  }
  // A control whose panel closes (such as "Ports near here") hands the focus
  // to the tab of the view shown, not to the page as a whole.
  const panel = document.activeElement && document.activeElement.closest(".tool");
  try {
    selectTab(view.tab);
    if (panel && !panel.classList.contains("active")) document.querySelector("#tabs [aria-selected=true]").focus();
    view.show(atlas, atlas.current);
    lastViews.set(view.tab, atlas.current);
    atlas.here = view.focus(atlas.current) || atlas.here;
  } catch (error) {
    atlas.status(el("span", { class: "problem" }, `this view cannot be shown: ${error.message}`));
  }
}

// The sector the current view is about.
function focusSector() {
  const view = VIEWS[atlas.current.view];
  return view ? view.focus(atlas.current) : 1;
}

// Left and Right move between the tabs (and round), Home and End to the
// first and last; the tab moved to opens.
function wireTabs() {
  const buttons = tabButtons();
  for (const button of buttons) button.addEventListener("click", () => openTab(button.dataset.tab));
  document.getElementById("tabs").addEventListener("keydown", (event) => {
    const at = buttons.indexOf(event.target);
    if (at < 0) return;
    const to = { ArrowLeft: at - 1, ArrowRight: at + 1, Home: 0, End: buttons.length - 1 }[event.key];
    if (to === undefined) return;
    event.preventDefault();
    const button = buttons[(to + buttons.length) % buttons.length];
    button.focus();
    openTab(button.dataset.tab);
  });
}

function wirePage() {
  for (const view of TABBED) view.wire(atlas);
  wireTabs();
  for (const [id, end] of [["course-from-here", "from"], ["course-to-here", "to"]]) {
    document.getElementById(id).addEventListener("click", () => {
      const s = focusSector();
      selectTab("course");
      courseView.plotWithEnd(atlas, end, s);
    });
  }
  // The ports near the sector shown, of the kind the port finder looked for
  // last.
  document.getElementById("ports-near-here").addEventListener("click", () => {
    atlas.go({ view: "ports", from: focusSector(), want: parseWant(fieldValue("ports-form", "want")) || parseWant("buys-ore") });
  });
  // A view keeps its unnamed fields as the player changes them, so that its
  // tab shows them again.
  for (const view of TABBED) {
    if (!view.unnamed) continue;
    for (const type of ["input", "change"]) {
      document.querySelector(view.unnamed).addEventListener(type, () => {
        if (VIEWS[atlas.current.view] === view) atlas.current.fields = unnamedFields(view);
      });
    }
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
