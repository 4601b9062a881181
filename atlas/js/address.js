// The page's address: every view can be bookmarked and shared.
//   #sector=S&hops=R        sector S and its neighbourhood out to R hops (1..5)
//   #course=A-B&avoid=x,y   the course from A to B, avoiding sectors x and y;
//                           #course=A-C-D-B by C and D (up to 8 stops)
//   #ports=S&want=W         the ports nearest S that answer W: "buys-ore",
//                           "sells-equ" ... or "class-1" .. "class-8"
//   #bubble=G               the bubble behind gate G
//   #trade=S&apart=K&within=R&holds=H  trading pairs of ports up to K hops
//                           apart each way (1..3), the nearer port within R
//                           hops of S (1..20 or "all"), ranked for H holds
//                           (1..500)
//   #explore=S&within=R     unexplored sectors and dead ends from S, counting
//                           those within R hops (1..20 or "all")
//   #changes                what this run found against the last run's map
//   #changes=S&within=R     the same, of the sectors within R hops of S
//   #history                the recorded runs and the busy ports (/history+)
//   #find=text&from=S       the sectors whose note or log holds the text, with
//                           the hops to each from S (default 1)
// An empty address shows the default view, sector 1 and its neighbourhood.

import { CLASS_MASKS, PRODUCT_KEYS, portClassNumber } from "./ports.js";
import { readSector, readAvoidList, readWhole } from "./fields.js";
import { DEFAULT_HOLDS, MAX_HOLDS } from "./trade.js";

export const DEFAULT_HOPS = 2;
export const MAX_HOPS = 5;

const DEFAULT_VIEW = { view: "sector", sector: 1, hops: DEFAULT_HOPS };

// The parts each view takes besides its own: "sector=12&hops=3".
const VIEW_PARTS = {
  sector: ["hops"], course: ["avoid"], ports: ["want"], bubble: [],
  trade: ["apart", "within", "holds"], explore: ["within"], changes: ["within"], find: ["from"],
  history: [],
};
// The most stops a course takes between its ends.
export const MAX_STOPS = 8;
// The largest "within" a view takes besides "all".
export const MAX_WITHIN = 20;
// The choices of a "within" field, as the address and the forms write them.
export const WITHIN_CHOICES = ["all", ...Array.from({ length: MAX_WITHIN }, (_, i) => String(i + 1))];

// A "within" as the address and the forms write it: hops, or "all" (Infinity).
export function formatWithin(within) {
  return within === Infinity ? "all" : String(within);
}

// One of WITHIN_CHOICES read back.
export function choiceWithin(text) {
  return text === "all" ? Infinity : Number(text);
}

// Parses "want": { product, buys } or { mask } (see ports.js), or null.
export function parseWant(text) {
  const trade = /^(buys|sells)-(ore|org|equ)$/.exec(text || "");
  if (trade) return { product: PRODUCT_KEYS.indexOf(trade[2]), buys: trade[1] === "buys" };
  const kind = /^class-([1-8])$/.exec(text || "");
  if (kind) return { mask: CLASS_MASKS[Number(kind[1]) - 1] };
  return null;
}

export function formatWant(want) {
  if (want.mask !== undefined) return `class-${portClassNumber(want.mask)}`;
  return `${want.buys ? "buys" : "sells"}-${PRODUCT_KEYS[want.product]}`;
}

// The parts of an address, in order: { key, value, text }, where text is the
// part as the player would read it (decoded, cut when long).
function addressParts(hash) {
  const parts = [];
  for (const raw of String(hash).replace(/^#/, "").split("&")) {
    if (raw === "") continue;
    let part = raw;
    try {
      part = decodeURIComponent(raw);
    } catch {
      // A stray "%" is taken as it stands.
    }
    const eq = part.indexOf("=");
    const key = eq < 0 ? part.trim() : part.slice(0, eq).trim();
    const value = eq < 0 ? null : part.slice(eq + 1).trim();
    parts.push({ key, value, text: part.length > 40 ? `${part.slice(0, 39)}\u2026` : part });
  }
  return parts;
}

// The whole number of an address part, from min to max (empty: `fallback`).
// A number out of range is taken as the nearest it may be, anything else as
// `fallback`, and `notes` say so and what is shown instead: `shown(value)`.
function readInRange(part, min, max, fallback, notes, shown) {
  const read = readWhole(part.value, min, max, fallback);
  if (!read.problem) return read.value;
  let value = fallback;
  if (/^-?[0-9]+$/.test(part.value)) value = Number(part.value) > max ? max : min;
  notes.push(`${part.text}: ${read.problem}; ${shown(value)} shown`);
  return value;
}

// A "within" part: hops 1..MAX_WITHIN, or "all" (Infinity, also when there is
// no such part); { value } or { problem }.
function readWithin(part) {
  if (!part || part.value === "all") return { value: Infinity };
  const read = readWhole(part.value, 1, MAX_WITHIN);
  return read.problem ? { problem: `${read.problem}, or all` } : read;
}

// The view a view part and its companions ask for, or { problem } naming the
// part that cannot be read; a hop count out of range is drawn at the nearest
// count it may have, and `notes` say so.
function readView(key, value, byKey, n, notes) {
  const part = (k) => byKey.get(k);
  const wrong = (k, problem) => ({ problem: `${part(k).text}: ${problem}` });
  if (key === "course") {
    const ends = value.split("-");
    if (ends.length < 2) return wrong(key, "a course is two sectors, from-to (such as course=1-155)");
    if (ends.length > MAX_STOPS + 2) return wrong(key, `a course takes at most ${MAX_STOPS} stops between its ends`);
    const sectors = [];
    for (const end of ends) {
      const s = readSector(end, n);
      if (s.problem) return wrong(key, s.problem);
      sectors.push(s.value);
    }
    const from = sectors[0];
    const to = sectors[sectors.length - 1];
    const stops = sectors.slice(1, -1);
    const avoid = part("avoid") ? readAvoidList(part("avoid").value, n, from, to, stops) : { value: [] };
    if (avoid.problem) return wrong("avoid", avoid.problem);
    return { view: "course", from, to, stops, avoid: avoid.value };
  }
  if (key === "changes" && !value) {
    if (part("within")) notes.push(`${part("within").text}: only changes near a sector take it (such as changes=12&within=5)`);
    return { view: "changes" };
  }
  if (key === "history") return { view: "history" };
  if (key === "find") {
    if (value === "") return wrong(key, "nothing to find");
    const from = part("from") ? readSector(part("from").value, n) : { value: DEFAULT_VIEW.sector };
    return from.problem ? wrong("from", from.problem) : { view: "find", text: value, from: from.value };
  }
  const sector = readSector(value, n);
  if (sector.problem) return wrong(key, sector.problem);
  if (key === "trade" || key === "explore" || key === "changes") {
    const within = readWithin(part("within"));
    if (within.problem) return wrong("within", within.problem);
    if (key === "explore") return { view: "explore", from: sector.value, within: within.value };
    if (key === "changes") return { view: "changes", from: sector.value, within: within.value };
    const apart = part("apart") ? readInRange(part("apart"), 1, 3, 1, notes, (k) => `${k} ${k === 1 ? "hop" : "hops"} apart`) : 1;
    const holds = part("holds") ? readInRange(part("holds"), 1, MAX_HOLDS, DEFAULT_HOLDS, notes, (h) => `holds of ${h}`) : DEFAULT_HOLDS;
    return { view: "trade", from: sector.value, apart, within: within.value, holds };
  }
  if (key === "ports") {
    if (!part("want")) return wrong(key, "nothing to look for (add want=buys-ore, want=class-3 or the like)");
    const want = parseWant(part("want").value);
    if (!want) return wrong("want", "not something to look for (such as buys-ore, sells-equ or class-3)");
    return { view: "ports", from: sector.value, want };
  }
  if (key === "bubble") return { view: "bubble", gate: sector.value };
  const hops = part("hops") ? readInRange(part("hops"), 1, MAX_HOPS, DEFAULT_HOPS, notes, (h) => `${h} ${h === 1 ? "hop" : "hops"}`) : DEFAULT_HOPS;
  return { view: "sector", sector: sector.value, hops };
}

// The view an address asks for, in a universe of n sectors, and what in it
// could not be read: { view, problems }. The view is { view: "sector", sector,
// hops }, { view: "course", from, to, stops, avoid }, { view: "ports", from,
// want }, { view: "bubble", gate }, { view: "trade", from, apart, within,
// holds }, { view: "explore", from, within }, { view: "changes" } (every
// change) or { view: "changes", from, within }, { view: "history" }, or { view: "find", text, from }. Each problem names the part of the address it is
// about ("course=abc: ..."). An address whose view cannot be read gives the
// default view; parts that do not belong are named but leave the view shown.
export function parseAddress(hash, n) {
  const problems = [];
  const byKey = new Map();
  let viewKey = "";
  for (const part of addressParts(hash)) {
    const isView = Object.hasOwn(VIEW_PARTS, part.key);
    if ((part.value === null && part.key !== "changes" && part.key !== "history") || part.key === "") problems.push(`${part.text}: not a part of an address (such as sector=12)`);
    else if (byKey.has(part.key)) problems.push(`${part.text}: ${part.key} is given twice`);
    else if (isView && viewKey) problems.push(`${part.text}: one view at a time (${viewKey} is given first)`);
    else if (!isView && !Object.values(VIEW_PARTS).some((keys) => keys.includes(part.key))) {
      problems.push(`${part.text}: no part this page knows`);
    } else {
      byKey.set(part.key, part);
      if (isView) viewKey = part.key;
    }
  }
  if (!viewKey) {
    for (const key of byKey.keys()) problems.push(`${byKey.get(key).text}: names no view (such as sector=12)`);
    return { view: DEFAULT_VIEW, problems };
  }
  for (const key of byKey.keys()) {
    if (key !== viewKey && !VIEW_PARTS[viewKey].includes(key)) problems.push(`${byKey.get(key).text}: no part of a ${viewKey} view`);
  }
  const notes = [];
  const view = readView(viewKey, byKey.get(viewKey).value, byKey, n, notes);
  if (view.problem) return { view: DEFAULT_VIEW, problems: [view.problem, ...problems] };
  return { view, problems: [...notes, ...problems] };
}

export function formatAddress(view) {
  switch (view.view) {
    case "sector":
      return `#sector=${view.sector}&hops=${view.hops}`;
    case "course":
      return `#course=${[view.from, ...(view.stops || []), view.to].join("-")}`
        + (view.avoid.length > 0 ? `&avoid=${view.avoid.join(",")}` : "");
    case "ports":
      return `#ports=${view.from}&want=${formatWant(view.want)}`;
    case "bubble":
      return `#bubble=${view.gate}`;
    case "trade":
      return `#trade=${view.from}&apart=${view.apart}&within=${formatWithin(view.within)}&holds=${view.holds ?? DEFAULT_HOLDS}`;
    case "explore":
      return `#explore=${view.from}&within=${formatWithin(view.within)}`;
    case "changes":
      return view.from ? `#changes=${view.from}&within=${formatWithin(view.within)}` : "#changes";
    case "history":
      return "#history";
    case "find":
      return `#find=${encodeURIComponent(view.text)}&from=${view.from}`;
    default:
      return "";
  }
}
