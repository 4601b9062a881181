// A sector in words: the short description a drawn sector carries, and the
// details panel beside the drawing (its warps, port, hop counts, bubble, note
// and log).

import { el, counted } from "./dom.js";
import { inUniverse, warpsOf, portOf, slotsOf, onLane, slotName, CHANGE_KINDS } from "./universe.js";
import { PRODUCTS, portBuys, portClassNumber } from "./ports.js";
import { formatAddress, DEFAULT_HOPS } from "./address.js";
import { hopsInFromGate } from "./bubbles.js";
import { portTrend } from "./history_chart.js";

export function specialNames(atlas, s) {
  return slotsOf(atlas.u, s).map(slotName);
}

export function portWords(port) {
  return `${port.letters} (class ${portClassNumber(port.buying)})`;
}

export function notInUniverse(atlas, s) {
  return `sector ${s} is not in this universe (1..${atlas.u.n})`;
}

// Why no known course leads out of sector s, or "" when one does (see
// course.js: a sector's own warps out are its known ways out).
export function noWayOut(atlas, s) {
  const { u } = atlas;
  for (let i = u.warpStart[s]; i < u.warpStart[s + 1]; i++) if (u.warpKind[i] <= 1 && inUniverse(u, u.warpTarget[i])) return "";
  return `no known course leads out of ${s}: ${u.explored[s] ? "it lists no warp out" : "it is unexplored, and no warp out of it is known"}`;
}

export function sectorLink(s, hops = DEFAULT_HOPS) {
  return el("a", { href: formatAddress({ view: "sector", sector: s, hops }) }, String(s));
}

// "sector 12, port BBS (class 1), terra, fig deployed ...".
export function describeSector(atlas, s) {
  const { u } = atlas;
  const words = [`sector ${s}`];
  if (!u.explored[s]) words.push("unexplored");
  const port = portOf(u, s);
  if (port) words.push(`port ${portWords(port)}`);
  words.push(...specialNames(atlas, s));
  if (onLane(u, s)) words.push("on the major space lane");
  if (u.fig[s]) words.push("fig deployed");
  const record = u.bubble.get(s);
  if (record) words.push(`in the bubble behind ${record.gate}`);
  if (atlas.bubbleOf.has(s)) words.push("bubble gate");
  if (atlas.changesAt.has(s)) words.push("changed since the last map");
  return words.join(", ");
}

function hopText(h) {
  return h === 255 ? "no route" : String(h);
}

const KIND_WORDS = ["one-way out", "two-way", "one-way in", "unknown kind"];

// Empties the details panel for a view about no one sector.
export function showNoDetails() {
  document.getElementById("details").replaceChildren(el("h2", {}, "Details"),
    el("p", { class: "quiet" }, "choose a sector (a link of the list, or the find box) to see what the run knows of it"));
}

// Fills the details panel with what the run knows of sector s.
export function showDetails(atlas, s) {
  const { u } = atlas;
  const panel = document.getElementById("details");
  if (!inUniverse(u, s)) {
    panel.replaceChildren(el("h2", {}, `Sector ${s}`), el("p", { class: "problem" }, notInUniverse(atlas, s)));
    return;
  }
  const tags = el("div", { class: "tags" });
  const tag = (text, kind = "") => tags.append(el("span", { class: `tag ${kind}`.trim() }, text));
  tag(u.explored[s] ? "explored" : "unexplored");
  for (const name of specialNames(atlas, s)) tag(name, "special");
  if (onLane(u, s)) tag("major space lane", "lane");
  if (u.fig[s]) tag("fig deployed", "fig");
  const record = u.bubble.get(s);
  if (record) tag("in a bubble", "bubble");
  const gateOf = atlas.bubbleOf.get(s);
  if (gateOf) tag("bubble gate", "bubble");
  const parts = [el("h2", {}, `Sector ${s}`), tags];

  parts.push(el("h3", {}, "Warps"));
  if (!u.hasWarps[s]) {
    parts.push(el("p", { class: "quiet" }, "no warps known"));
  } else {
    const list = el("ul", { class: "warps" });
    for (const { target, kind } of warpsOf(u, s)) {
      const arrow = kind === 2 ? "\u2190 " : "\u2192 ";
      const link = inUniverse(u, target) ? sectorLink(target, atlas.current.hops || DEFAULT_HOPS) : el("span", {}, String(target));
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
    parts.push(el("table", { class: "port-table" }, el("thead", {}, el("tr", {}, el("th", {}, "product"), el("th", {}, "trade"), el("th", {}, "amount"), el("th", {}, "%"))), el("tbody", {}, ...rows)));
    parts.push(...portTrend(atlas, s));
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
    : el("table", { class: "hops" }, el("thead", {}, el("tr", {}, el("th", {}, "hops"), el("th", {}, "to"), el("th", {}, "from"))), el("tbody", {}, ...hopRows)));

  if (record || gateOf) parts.push(el("h3", {}, "Bubble"));
  // A gate may carry a record naming itself: it is the gate, not a member.
  const member = record && record.gate !== s;
  const bubble = member && atlas.bubbleOf.get(record.gate);
  if (bubble) {
    // The run counts a member's depth from the bottom of its bubble; a player
    // counts the hops in from the gate.
    const hopsIn = hopsInFromGate(u, bubble).get(s) ?? bubble.depth - record.depth + 1;
    parts.push(el("p", { class: "bubble-depth", "data-gate": record.gate, "data-hops-in": hopsIn }, `${counted(hopsIn, "hop")} in from gate `,
      el("a", { href: formatAddress({ view: "bubble", gate: record.gate }) }, String(record.gate)), ` (the bubble is ${bubble.depth} deep)`));
    const marks = [record.explored ? "" : "unexplored around it (u)", record.compromised ? "compromised (c)" : ""].filter(Boolean);
    if (marks.length > 0) parts.push(el("p", {}, marks.join(", ")));
  } else if (member) {
    parts.push(el("p", {}, `in a bubble, ${counted(record.depth, "hop")} above its bottom`));
  }
  if (gateOf) {
    parts.push(el("p", {}, "gate of ", el("a", { href: formatAddress({ view: "bubble", gate: s }) }, `a bubble of ${counted(gateOf.size, "sector")}`)));
  }
  const changes = atlas.changesAt.get(s);
  if (changes) {
    parts.push(el("h3", {}, "Changed since the last map"),
      el("ul", { class: "changes" }, ...changes.map(({ kind, words }) => el("li", { "data-change": CHANGE_KINDS[kind].name }, words))));
  }
  for (const [title, texts] of [["Note", u.notes], ["Log", u.logs]]) {
    if (!texts.has(s)) continue;
    parts.push(el("h3", {}, title), el("p", { class: `text ${title.toLowerCase()}` }, texts.get(s)));
  }
  panel.replaceChildren(...parts);
}
