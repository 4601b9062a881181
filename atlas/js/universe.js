// The run's data block decoded into the universe the page works on: typed
// arrays indexed by sector number (entry 0 unused), so that searches over a
// 20000-sector universe touch a few hundred kilobytes.
//
// The data come from a file anyone can edit: every count and number is checked
// before it is used, and what does not fit is left out, never trusted.

import { decodeHistory } from "./history.js";

// The names of the special slots: slot 0 is the major space lane, slots 5 and
// up the distance reference sectors.
export const FIXED_SLOT_NAMES = ["major space lane", "terra", "alpha centauri", "rylos", "stardock"];

export function slotName(slot) {
  return slot < FIXED_SLOT_NAMES.length ? FIXED_SLOT_NAMES[slot]
    : `distance reference #${slot - FIXED_SLOT_NAMES.length + 1}`;
}

function numbers(value) {
  return Array.isArray(value) ? value : [];
}

function whole(value, max) {
  return Number.isInteger(value) && value >= 0 && value <= max ? value : -1;
}

// The kinds of change against the map's snapshot, in the data block's order:
// the key of each kind's list in `u.changes`, the kind's name, and the shape
// of its entries (a sector; sector and two buying masks; sector, product and
// amount; sector and warp targets).
export const CHANGE_KINDS = [
  { key: "explored", name: "explored", shape: "sector" },
  { key: "newPort", name: "new-port", shape: "sector" },
  { key: "portGone", name: "port-gone", shape: "sector" },
  { key: "classChanged", name: "class-changed", shape: "class" },
  { key: "up", name: "up", shape: "capacity" },
  { key: "down", name: "down", shape: "capacity" },
  { key: "newWarps", name: "new-warps", shape: "warps" },
  { key: "warpsGone", name: "warps-gone", shape: "warps" },
];

// Why there are changes or none: 0 the run was not asked to compare with the
// map; 1 there was no map file; 2 the map file could not be compared; 3 compared.
export const CHANGES_NOT_ASKED = 0;
export const CHANGES_NO_MAP = 1;
export const CHANGES_UNUSABLE_MAP = 2;
export const CHANGES_COMPARED = 3;

// The largest change of capacity a map can hold: 65535 units at 0 % stand for
// 6553500.
const MAX_CAPACITY_CHANGE = 6553500;

// The "changes" member: each kind's entries, and per sector a bit for each kind
// of change found there (bit k for CHANGE_KINDS[k]).
function decodeMapChanges(data, n) {
  const c = {
    state: Math.max(whole(data && data.state, CHANGES_COMPARED), 0),
    records: Math.max(whole(data && data.records, 65535), 0),
    kindsAt: new Uint8Array(n + 1),
  };
  CHANGE_KINDS.forEach(({ key, shape }, k) => {
    const list = numbers(data && data[key]);
    const entries = [];
    const add = (s, entry) => {
      entries.push(entry);
      c.kindsAt[s] |= 1 << k;
    };
    if (shape === "sector") {
      for (const value of list) {
        const s = whole(value, n);
        if (s >= 1) add(s, { sector: s });
      }
    } else if (shape === "class") {
      for (let i = 0; i + 3 <= list.length; i += 3) {
        const [s, before, now] = [whole(list[i], n), whole(list[i + 1], 7), whole(list[i + 2], 7)];
        if (s >= 1 && before >= 0 && now >= 0) add(s, { sector: s, before, now });
      }
    } else if (shape === "capacity") {
      for (let i = 0; i + 3 <= list.length; i += 3) {
        const [s, product, amount] = [whole(list[i], n), whole(list[i + 1], 2), whole(list[i + 2], MAX_CAPACITY_CHANGE)];
        if (s >= 1 && product >= 0 && amount >= 0) add(s, { sector: s, product, amount });
      }
    } else {
      // Sector, count, targets: a count that does not fit ends the list, as
      // nothing after it can be placed.
      for (let i = 0; i + 2 <= list.length;) {
        const s = whole(list[i], n);
        const count = whole(list[i + 1], 255);
        if (count < 0 || i + 2 + count > list.length) break;
        const targets = list.slice(i + 2, i + 2 + count).map((t) => whole(t, 65535)).filter((t) => t >= 0);
        i += 2 + count;
        if (s >= 1) add(s, { sector: s, targets });
      }
    }
    c[key] = entries;
  });
  return c;
}

// Decodes the data object the run wrote (see atlas/atlas.h for its layout).
export function decodeUniverse(data) {
  const n = whole(data && data.sectors, 65535) > 0 ? data.sectors : 0;
  const u = {
    game: typeof data.game === "string" ? data.game : "",
    n,
    specials: numbers(data.specials).map((s) => Math.max(whole(s, n), 0)),
    explored: new Uint8Array(n + 1),
    fig: new Uint8Array(n + 1),
    hasWarps: new Uint8Array(n + 1),
    warpStart: new Uint32Array(n + 2),
    warpTarget: null,
    warpKind: null,
    portOf: new Int32Array(n + 1).fill(-1),
    ports: [],
    hopsTo: [],
    hopsFrom: [],
    bubble: new Map(),
    notes: new Map(),
    logs: new Map(),
  };

  const flags = typeof data.flags === "string" ? data.flags : "";
  for (let s = 1; s <= n && s <= flags.length; s++) {
    const f = flags.charCodeAt(s - 1) - 48;
    if (f >= 0 && f <= 3) {
      u.explored[s] = f & 1;
      u.fig[s] = f >> 1;
    }
  }

  // Warp lists: each sector's count + 1, then its entries as target * 4 + kind.
  const warps = numbers(data.warps);
  const targets = [];
  const kinds = [];
  let at = 0;
  for (let s = 1; s <= n; s++) {
    u.warpStart[s] = targets.length;
    const c = whole(warps[at++], 256);
    if (c > 0) {
      u.hasWarps[s] = 1;
      for (let i = 1; i < c && at < warps.length; i++) {
        const entry = whole(warps[at++], 65535 * 4 + 3);
        if (entry < 0) continue;
        targets.push(entry >> 2);
        kinds.push(entry & 3);
      }
    }
  }
  u.warpStart[n + 1] = targets.length;
  u.warpTarget = Uint16Array.from(targets);
  u.warpKind = Uint8Array.from(kinds);

  const ports = numbers(data.ports);
  const letters = typeof data.portClass === "string" ? data.portClass : "";
  for (let i = 0; i + 8 <= ports.length; i += 8) {
    const s = whole(ports[i], n);
    const mask = whole(ports[i + 1], 15);
    if (s < 1 || mask < 0 || u.portOf[s] >= 0) continue;
    const k = i / 8;
    u.portOf[s] = u.ports.length;
    u.ports.push({
      sector: s,
      buying: mask & 7,
      reporting: mask >> 3,
      percent: [2, 3, 4].map((j) => Math.max(whole(ports[i + j], 255), 0)),
      amount: [5, 6, 7].map((j) => Math.max(whole(ports[i + j], 65535), 0)),
      letters: letters.slice(3 * k, 3 * k + 3),
    });
  }

  for (const [name, into] of [["hopsTo", u.hopsTo], ["hopsFrom", u.hopsFrom]]) {
    const columns = numbers(data[name]);
    for (let k = 0; k < u.specials.length; k++) {
      const column = columns[k];
      if (!Array.isArray(column)) {
        into.push(null);
        continue;
      }
      const hops = new Uint8Array(n + 1).fill(255);
      for (let s = 1; s <= n && s <= column.length; s++) {
        const h = whole(column[s - 1], 255);
        if (h >= 0) hops[s] = h;
      }
      into.push(hops);
    }
  }

  const bubbles = numbers(data.bubbles);
  for (let i = 0; i + 4 <= bubbles.length; i += 4) {
    const s = whole(bubbles[i], n);
    if (s < 1) continue;
    const marks = Math.max(whole(bubbles[i + 3], 3), 0);
    u.bubble.set(s, {
      gate: Math.max(whole(bubbles[i + 1], 65535), 0),
      depth: Math.max(whole(bubbles[i + 2], 255), 0),
      compromised: marks & 1,
      explored: marks >> 1,
    });
  }

  for (const [name, into] of [["notes", u.notes], ["logs", u.logs]]) {
    const list = numbers(data[name]);
    for (let i = 0; i + 2 <= list.length; i += 2) {
      const s = whole(list[i], n);
      if (s >= 1 && typeof list[i + 1] === "string") into.set(s, list[i + 1]);
    }
  }
  u.changes = decodeMapChanges(data.changes, n);
  // Null in a page of a run that keeps no history.
  u.history = decodeHistory(data.history, n);
  return u;
}

// True when s is a sector of the universe, 1..n.
export function inUniverse(u, s) {
  return Number.isInteger(s) && s >= 1 && s <= u.n;
}

// The warp entries of sector s in list order: { target, kind }.
export function warpsOf(u, s) {
  const list = [];
  if (!inUniverse(u, s)) return list;
  for (let i = u.warpStart[s]; i < u.warpStart[s + 1]; i++) {
    list.push({ target: u.warpTarget[i], kind: u.warpKind[i] });
  }
  return list;
}

// The port of sector s, or null.
export function portOf(u, s) {
  return inUniverse(u, s) && u.portOf[s] >= 0 ? u.ports[u.portOf[s]] : null;
}

// The special slots sector s holds (slot numbers, from 1; the lane is slot 0).
export function slotsOf(u, s) {
  const slots = [];
  for (let k = 1; k < u.specials.length; k++) if (u.specials[k] === s && s > 0) slots.push(k);
  return slots;
}

// True when sector s lies on the major space lane.
export function onLane(u, s) {
  const lane = u.hopsFrom[0];
  return lane !== null && lane !== undefined && inUniverse(u, s) && lane[s] === 0;
}
