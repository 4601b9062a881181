// The page's address: every view can be bookmarked and shared.
//   #sector=S&hops=R        sector S and its neighbourhood out to R hops (1..5)
//   #course=A-B&avoid=x,y   the course from A to B, avoiding sectors x and y
//   #ports=S&want=W         the ports nearest S that answer W: "buys-ore",
//                           "sells-equ" ... or "class-1" .. "class-8"
//   #bubble=G               the bubble behind gate G
// Anything else shows the default view.

import { CLASS_MASKS, PRODUCT_KEYS, portClassNumber } from "./ports.js";

export const DEFAULT_HOPS = 2;
export const MAX_HOPS = 5;

function sectorNumber(text) {
  return /^[0-9]{1,5}$/.test(text) && Number(text) >= 1 && Number(text) <= 65535 ? Number(text) : null;
}

// A list of sector numbers separated by commas or blanks; words that are no
// sector number are left out.
export function sectorList(text) {
  return String(text).split(/[\s,;]+/).map(sectorNumber).filter((s) => s !== null);
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

// The view an address asks for: { view: "sector", sector, hops },
// { view: "course", from, to, avoid }, { view: "ports", from, want },
// { view: "bubble", gate }, or { view: "none" }.
export function parseAddress(hash) {
  const params = new Map();
  for (const part of String(hash).replace(/^#/, "").split("&")) {
    const eq = part.indexOf("=");
    if (eq <= 0) continue;
    let value = part.slice(eq + 1);
    try {
      value = decodeURIComponent(value);
    } catch {
      // A stray "%" is taken as it stands.
    }
    params.set(part.slice(0, eq), value.trim());
  }
  if (params.has("sector")) {
    const sector = sectorNumber(params.get("sector"));
    const hops = Number(params.get("hops"));
    if (sector !== null) {
      return { view: "sector", sector, hops: Number.isInteger(hops) && hops >= 1 && hops <= MAX_HOPS ? hops : DEFAULT_HOPS };
    }
  }
  if (params.has("course")) {
    const ends = /^([0-9]+)-([0-9]+)$/.exec(params.get("course"));
    const from = ends && sectorNumber(ends[1]);
    const to = ends && sectorNumber(ends[2]);
    if (from !== null && to !== null && ends) {
      return { view: "course", from, to, avoid: sectorList(params.get("avoid") || "") };
    }
  }
  if (params.has("ports")) {
    const from = sectorNumber(params.get("ports"));
    const want = parseWant(params.get("want"));
    if (from !== null && want !== null) return { view: "ports", from, want };
  }
  if (params.has("bubble")) {
    const gate = sectorNumber(params.get("bubble"));
    if (gate !== null) return { view: "bubble", gate };
  }
  return { view: "none" };
}

export function formatAddress(view) {
  switch (view.view) {
    case "sector":
      return `#sector=${view.sector}&hops=${view.hops}`;
    case "course":
      return `#course=${view.from}-${view.to}` + (view.avoid.length > 0 ? `&avoid=${view.avoid.join(",")}` : "");
    case "ports":
      return `#ports=${view.from}&want=${formatWant(view.want)}`;
    case "bubble":
      return `#bubble=${view.gate}`;
    default:
      return "";
  }
}
