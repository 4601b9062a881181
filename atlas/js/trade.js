// Trade: pairs of ports that trade with each other, as the port pair report
// lists them (its twenty class rows, its estimate, stock marks and amounts),
// found over known warps up to a few hops apart each way.

import { sweepFrom } from "./course.js";
import { inUniverse, portOf } from "./universe.js";
import { PRODUCT_KEYS, portClassNumber } from "./ports.js";
import { bubbleMarks } from "./bubbles.js";

// The holds a player's ship has when the page is not told, and the most it takes.
export const DEFAULT_HOLDS = 50;
export const MAX_HOLDS = 500;

// The sections of the pair table in the report's order: a key for filters and
// the heading the report writes.
export const TRADE_SECTIONS = [
  { key: "triple", heading: "triple pairs:" },
  { key: "org/equ", heading: "double pairs:  org/equ" },
  { key: "ore/equ", heading: "double pairs:  ore/equ" },
  { key: "ore/org", heading: "double pairs:  ore/org" },
  { key: "evil", heading: "evil pairs:" },
];

// The report's twenty rows in its order: the class numbers a (the first port)
// and b (the second), the row's section (an index of TRADE_SECTIONS) and the
// heading written before the row (null for none).
export const PAIR_ROWS = [
  [1, 4, 0], [2, 5, 0], [3, 6, 0], [7, 8, 0],
  [1, 2, 1], [4, 5, 1],
  [1, 3, 2], [4, 6, 2],
  [2, 3, 3], [5, 6, 3],
  [2, 2, 4], [2, 3, 4], [2, 4, 4], [2, 8, 4], [3, 3, 4], [3, 4, 4], [3, 8, 4], [4, 4, 4], [4, 8, 4], [8, 8, 4],
].map(([a, b, section], k, rows) => ({
  a, b, section, heading: k === 0 || rows[k - 1][2] !== section ? TRADE_SECTIONS[section].heading : null,
}));

// Per class pair a * 9 + b: the rows it stands in and their sections (2:3
// stands in two rows, of two sections); and whether it stands in any.
const ROWS_OF_CLASSES = Array.from({ length: 81 }, (_, ab) => {
  const rows = [];
  PAIR_ROWS.forEach((row, k) => { if (row.a * 9 + row.b === ab) rows.push(k); });
  return { rows, sections: [...new Set(rows.map((k) => PAIR_ROWS[k].section))] };
});
const IN_PAIR_TABLE = Uint8Array.from(ROWS_OF_CLASSES, ({ rows }) => (rows.length > 0 ? 1 : 0));
// Per class pair a * 9 + b: whether it stands in the table either way round.
const PAIRABLE = IN_PAIR_TABLE.map((inTable, ab) => inTable | IN_PAIR_TABLE[(ab % 9) * 9 + Math.floor(ab / 9)]);

// Twice the room for links, those there kept.
function longerLinks(links) {
  const size = 2 * links.source.length;
  const longer = { source: new Uint16Array(size), target: new Uint16Array(size), hops: new Uint8Array(size) };
  longer.source.set(links.source);
  longer.target.set(links.target);
  longer.hops.set(links.hops);
  return longer;
}

// What a port holds of a product above `reserve` percent of its estimated
// capacity, as the report computes it in floating point: supply where it
// sells, remaining demand where it buys.
function tradeableAmount(port, product, reserve) {
  const amount = port.amount[product];
  const cut = Math.trunc(amount * 100 / Math.max(port.percent[product], 1) * reserve / 100);
  return Math.max(amount - cut, 0);
}

// The estimate of the classes' case from what each port can trade (its
// supplies and remaining demands: so, sg, se of the first port, to, tg, te of
// the second); 0 where the classes have no case.
function caseEstimate(pb, qb, so, sg, se, to, tg, te) {
  const min = Math.min;
  switch (pb * 8 + qb) {
    case 3 * 8 + 4: return min(so + sg, to + tg, se, te);  // BBS-SSB
    case 5 * 8 + 2: return min(so + se, to + te, sg, tg);  // BSB-SBS
    case 6 * 8 + 1: return min(sg + se, tg + te, so, to);  // SBB-BSS
    case 0 * 8 + 7: return Math.floor(min(so + sg + se, to + tg + te) / 2);  // SSS-BBB
    case 3 * 8 + 5: case 4 * 8 + 2: return min(tg, te, sg, se);  // BBS-BSB, SSB-SBS
    case 3 * 8 + 6: case 4 * 8 + 1: return min(to, te, so, se);  // BBS-SBB, SSB-BSS
    case 5 * 8 + 6: case 2 * 8 + 1: return min(to, tg, so, sg);  // BSB-SBB, SBS-BSS
    default: return 0;
  }
}

// The report's trade estimate of the ports p (listed first) and q: 0 where
// their classes have no case, and for a reserve of 100 or more.
export function pairTradeVolume(p, q, reservePercent = 50) {
  if (!p || !q || reservePercent >= 100) return 0;
  const r = reservePercent;
  return caseEstimate(p.buying, q.buying, tradeableAmount(p, 0, r), tradeableAmount(p, 1, r), tradeableAmount(p, 2, r),
    tradeableAmount(q, 0, r), tradeableAmount(q, 1, r), tradeableAmount(q, 2, r));
}

// The report's stock marks of sector s: "???" unexplored, "..." a port not
// reporting, else per product "*" at 100 % and the tens of the percentage.
export function stockMarks(u, s) {
  if (!inUniverse(u, s) || !u.explored[s]) return "???";
  const port = portOf(u, s);
  if (!port || !port.reporting) return "...";
  return port.percent.map((p) => (p === 100 ? "*" : String(Math.floor(p / 10)))).join("");
}

// An amount as the report shows it: in full below 10000, else the thousands and "k".
export function amountText(amount) {
  return amount < 10000 ? String(amount) : `${Math.floor(amount / 1000)}k`;
}

// The report's amounts of a pair, "2060-15k  / 2730-990  / 2500-3000"; "" unless
// both ports report.
export function pairAmounts(p, q) {
  if (!p || !q || !p.reporting || !q.reporting) return "";
  return [0, 1, 2].map((i) => `${amountText(p.amount[i]).padStart(4)}-${amountText(q.amount[i]).padEnd(4)}`).join(" / ");
}

// The report's line of the pair p, q, without its two leading blanks.
export function pairLine(u, p, q) {
  const part = (s) => `${u.fig[s] ? "+" : " "}${String(s).padEnd(6)}${portOf(u, s)?.letters ?? ""} (${stockMarks(u, s)})`;
  const amounts = pairAmounts(portOf(u, p), portOf(u, q));
  return `${part(p)} - ${part(q)}${amounts ? ` ${amounts}` : ""}${u.bubble.has(p) || u.bubble.has(q) ? " b " : "   "}`
    + pairTradeVolume(portOf(u, p), portOf(u, q));
}

// The ways out of every sector as the course plotter flies them (a sector's
// own one-way-out and two-way entries to sectors of the universe), packed
// once so that the many short sweeps below check nothing but their stamps:
// the targets of s are target[start[s]] .. target[start[s + 1] - 1].
function waysOut(u) {
  const { n, warpStart, warpTarget, warpKind } = u;
  const start = new Uint32Array(n + 2);
  const target = new Uint16Array(warpStart[n + 1]);
  let count = 0;
  for (let s = 1; s <= n; s++) {
    start[s] = count;
    for (let i = warpStart[s], end = warpStart[s + 1]; i < end; i++) {
      const t = warpTarget[i];
      if (warpKind[i] <= 1 && t >= 1 && t <= n) target[count++] = t;
    }
  }
  start[n + 1] = count;
  return { start, target };
}


// The most hops apart each way a pair is looked for.
export const MAX_APART = 3;
// Sectors gone through (a sweep from each port among them) between two looks
// at the clock, when the search is done a little at a time.
const SEARCH_SLICE = 256;

// The search for every pair of ports whose classes stand in a row of the
// table, up to MAX_APART hops apart each way, whatever the start, a slice of
// ports a step: a generator that yields between slices and returns the pairs
// (see findTradePairs; what depends on the start as for no start), by P,
// then by Q as a sweep from P reaches it. A sweep finds the fewest hops, so
// the pairs of a nearer bound are these whose there and back are within it,
// in this order.
function* searchPairs(u) {
  const n = u.n;
  const classOf = new Uint8Array(n + 1);
  // What each port can trade of each product, at the report's reserve of 50.
  const tradeable = new Float64Array(3 * (n + 1));
  for (const port of u.ports) {
    classOf[port.sector] = portClassNumber(port.buying);
    for (let k = 0; k < 3; k++) tradeable[3 * port.sector + k] = tradeableAmount(port, k, 50);
  }

  // One sweep from every port: the ports it reaches that it could pair with,
  // either way round, as links (port, port reached, hops), in port order.
  const ways = waysOut(u);
  const sweep = { stamp: new Int32Array(n + 1), hops: new Uint8Array(n + 1), queue: new Uint16Array(n + 1) };
  const linksOf = new Uint32Array(n + 2);  // the links of port p: linksOf[p] .. linksOf[p + 1]
  const room = 16 * u.ports.length + 16;
  let links = { source: new Uint16Array(room), target: new Uint16Array(room), hops: new Uint8Array(room) };
  let count = 0;
  for (let p = 1; p <= n; p++) {
    linksOf[p] = count;
    const a = classOf[p];
    if (a === 0) continue;
    const { queue, hops } = sweep;
    const reached = sweepOut(ways, sweep, p);
    for (let i = 1; i < reached; i++) {
      const q = queue[i];
      if (PAIRABLE[a * 9 + classOf[q]] === 0) continue;
      if (count === links.source.length) links = longerLinks(links);
      links.source[count] = p;
      links.target[count] = q;
      links.hops[count] = hops[q];
      count++;
    }
    if (p % SEARCH_SLICE === 0) yield;
  }
  linksOf[n + 1] = count;

  // The same links by the port reached: who reaches port p, in how many hops.
  const intoStart = new Uint32Array(n + 2);
  for (let i = 0; i < count; i++) intoStart[links.target[i] + 1]++;
  for (let s = 1; s <= n + 1; s++) intoStart[s] += intoStart[s - 1];
  const place = intoStart.slice();
  const intoSource = new Uint16Array(count);
  const intoHops = new Uint8Array(count);
  for (let i = 0; i < count; i++) {
    const at = place[links.target[i]]++;
    intoSource[at] = links.source[i];
    intoHops[at] = links.hops[i];
  }
  // 1 for a sector in a bubble, 3 in a compromised one.
  const bubbleMark = bubbleMarks(u);
  yield;

  // A pair: P reaches Q and Q reaches P, listed from P's side.
  const stamp = sweep.stamp.fill(0);
  const back = new Uint8Array(n + 1);
  const pairs = [];
  for (let p = 1; p <= n; p++) {
    if (linksOf[p] === linksOf[p + 1]) continue;
    for (let i = intoStart[p]; i < intoStart[p + 1]; i++) {
      stamp[intoSource[i]] = p;
      back[intoSource[i]] = intoHops[i];
    }
    const a = classOf[p];
    for (let i = linksOf[p]; i < linksOf[p + 1]; i++) {
      const q = links.target[i];
      const b = classOf[q];
      if (stamp[q] !== p || IN_PAIR_TABLE[a * 9 + b] === 0 || (a === b && q < p)) continue;
      const { rows, sections } = ROWS_OF_CLASSES[a * 9 + b];
      const estimate = caseEstimate(u.ports[u.portOf[p]].buying, u.ports[u.portOf[q]].buying,
        tradeable[3 * p], tradeable[3 * p + 1], tradeable[3 * p + 2], tradeable[3 * q], tradeable[3 * q + 1], tradeable[3 * q + 2]);
      const marks = bubbleMark[p] | bubbleMark[q];
      // The score starts as a fraction (NaN), so that the engine keeps it as
      // one in every pair: a whole number first would make it change the
      // pairs' shape when the fractions come.
      pairs.push({
        p, q, rows, sections, there: links.hops[i], back: back[q], estimate, nearer: p, far: q, fromStart: -1,
        bubble: marks !== 0, compromised: marks === 3, trips: 1, score: NaN,
      });
    }
    if (p % SEARCH_SLICE === 0) yield;
  }
  return pairs;
}

// Breadth-first from port p out to MAX_APART hops over `ways`, in `sweep`'s
// arrays (a sector is reached when its stamp is p): the sectors reached, p
// first, are queue[0 .. the count returned - 1].
function sweepOut(ways, { stamp, hops, queue }, p) {
  let head = 0;
  let reached = 0;
  stamp[p] = p;
  hops[p] = 0;
  queue[reached++] = p;
  while (head < reached) {
    const s = queue[head++];
    const h = hops[s];
    if (h === MAX_APART) continue;
    for (let i = ways.start[s], end = ways.start[s + 1]; i < end; i++) {
      const t = ways.target[i];
      if (stamp[t] === p) continue;
      stamp[t] = p;
      hops[t] = h + 1;
      queue[reached++] = t;
    }
  }
  return reached;
}

// The search of each universe, as far as it has gone: { steps, pairs (null
// until done) }.
const searches = new WeakMap();

function searchOf(u) {
  let search = searches.get(u);
  if (!search) {
    search = { steps: searchPairs(u), pairs: null };
    searches.set(u, search);
  }
  return search;
}

// Goes on with the pair search of `u` while `hasTime()` says so, a slice of
// ports at a time, so that it can run while the page waits for the player;
// true once it is done.
export function searchTradePairsAhead(u, hasTime) {
  const search = searchOf(u);
  while (search.pairs === null && hasTime()) {
    const step = search.steps.next();
    if (!step.done) continue;
    search.pairs = step.value;
    // The search's own arrays go with it.
    search.steps = null;
  }
  return search.pairs !== null;
}

// The pairs of ports P, Q whose classes stand in a row of the table (P of the
// row's first class; of two ports of one class, the lower-numbered first),
// where Q can be reached from P and P from Q in at most `apart` hops each way
// (1..MAX_APART, a number beyond taken as the nearer bound; 1 is the report's
// rule, a two-way warp), each pair once:
//   { p, q, rows (indices of PAIR_ROWS), sections (indices of TRADE_SECTIONS),
//     there (hops P to Q), back (hops Q to P), estimate, nearer (the port a
//     player flying from `from` reaches first: the one fewer hops away, P when
//     as near or when neither can be reached), far (the other), fromStart
//     (hops from `from` to the nearer, -1 when neither can be reached),
//     bubble (either lies in a bubble),
//     compromised (either lies in a compromised bubble), trips and score (see
//     rankTradePairs) }.
// Only pairs whose nearer port lies within `within` hops of `from` (Infinity:
// every pair, reached or not). Scored for holds of `holds` units and, unless
// `ranked` is false, in the order rankTradePairs gives them. The search for
// the pairs is made once a universe (see searchTradePairsAhead), and its pair
// objects are the ones returned: each call measures and scores them afresh
// for its start and holds, so that they hold what the last call made of them.
export function findTradePairs(u, { from = 0, apart = 1, within = Infinity, holds = DEFAULT_HOLDS, ranked = true } = {}) {
  const limit = Math.min(Math.max(Math.trunc(apart) || 1, 1), MAX_APART);
  searchTradePairsAhead(u, () => true);
  const fromStart = inUniverse(u, from) ? sweepFrom(u, from).hops : null;
  const pairs = [];
  for (const pair of searchOf(u).pairs) {
    if (pair.there > limit || pair.back > limit) continue;
    const { p, q } = pair;
    const hp = fromStart ? fromStart[p] : -1;
    const hq = fromStart ? fromStart[q] : -1;
    const nearer = hq >= 0 && (hp < 0 || hq < hp) ? q : p;
    const hopsThere = nearer === p ? hp : hq;
    if (within !== Infinity && (hopsThere < 0 || hopsThere > within)) continue;
    pair.nearer = nearer;
    pair.far = nearer === p ? q : p;
    pair.fromStart = hopsThere;
    scorePair(pair, holds);
    pairs.push(pair);
  }
  return ranked ? pairs.sort(byTradeValue) : pairs;
}

// What a trade run earns for the hops flown, for holds of `holds` units: a
// pair's estimate E is carried in trips = max(1, ceil(E / holds)) round trips
// of there + back hops, after the hops from the start to the nearer port, so
// its score is E / (fromStart + trips * (there + back)) units a hop (0 for a
// pair no known course from the start reaches). Sets each pair's trips and
// score; the list itself is returned.
export function scoreTradePairs(pairs, holds = DEFAULT_HOLDS) {
  for (const pair of pairs) scorePair(pair, holds);
  return pairs;
}

function scorePair(pair, holds) {
  pair.trips = Math.max(1, Math.ceil(pair.estimate / holds));
  pair.score = pair.fromStart < 0 ? 0 : pair.estimate / (pair.fromStart + pair.trips * (pair.there + pair.back));
}

// Scores the pairs (scoreTradePairs) and sorts the list (itself, returned) by
// score, highest first, then by hops from the start, then by the nearer port
// and the other.
export function rankTradePairs(pairs, holds = DEFAULT_HOLDS) {
  return scoreTradePairs(pairs, holds).sort(byTradeValue);
}

// Appends to `into` the first `count` of the pairs not yet `taken` (a flag
// per pair) in rankTradePairs's order (of scored pairs), and marks them
// taken. One pass keeps the best so far in a short ranked list, most pairs
// passed over on their score alone; when many are asked for, the rest is
// sorted instead.
function takeFirst(pairs, taken, count, into) {
  const rest = pairs.length - into.length;
  if (count <= 0 || rest <= 0) return;
  if (count * 8 >= rest) {
    const left = [];
    for (let i = 0; i < pairs.length; i++) if (!taken[i]) left.push(i);
    left.sort((i, j) => byTradeValue(pairs[i], pairs[j]));
    for (const i of left.slice(0, count)) {
      taken[i] = 1;
      into.push(pairs[i]);
    }
    return;
  }
  const best = [];
  const at = [];
  for (let i = 0; i < pairs.length; i++) {
    if (taken[i]) continue;
    const pair = pairs[i];
    if (best.length === count) {
      const last = best[count - 1];
      if (pair.score < last.score || byTradeValue(pair, last) > 0) continue;
      best.pop();
      at.pop();
    }
    let k = best.length;
    while (k > 0 && byTradeValue(pair, best[k - 1]) < 0) k--;
    best.splice(k, 0, pair);
    at.splice(k, 0, i);
  }
  for (const i of at) taken[i] = 1;
  for (const pair of best) into.push(pair);
}

// Scored pairs in rankTradePairs's order, ranked only as far as they are
// read ({ length, slice(start, end) }, as a list of results reads them): a
// table shows fifty of thousands, and orders the next ones when asked.
export function rankedAsRead(pairs) {
  const ranked = [];
  const taken = new Uint8Array(pairs.length);
  return {
    length: pairs.length,
    slice(start, end = pairs.length) {
      takeFirst(pairs, taken, Math.min(end, pairs.length) - ranked.length, ranked);
      return ranked.slice(start, end);
    },
  };
}

// The pairs of a list whose nearer port lies within `within` hops of the
// start, in the given order (Infinity: all, reached or not; the list itself).
export function pairsWithin(pairs, within) {
  return within === Infinity ? pairs : pairs.filter((pair) => pair.fromStart >= 0 && pair.fromStart <= within);
}

// What to carry which way between the two ports of a pair, by their classes:
// { near, far, there (the products, 0 ore .. 2 equ, the nearer port sells and
// the other buys), back (those the other sells and the nearer buys) }.
export function pairCarry(u, pair) {
  const { far } = pair;
  const nearBuys = u.ports[u.portOf[pair.nearer]].buying;
  const farBuys = u.ports[u.portOf[far]].buying;
  const there = [];
  const back = [];
  for (let k = 0; k < 3; k++) {
    const nearBuysIt = (nearBuys >> k) & 1;
    if (nearBuysIt === ((farBuys >> k) & 1)) continue;
    (nearBuysIt ? back : there).push(k);
  }
  return { near: pair.nearer, far, there, back };
}

// A pair's carry for scripts: "776:ore+equ|16858:org", each port with what it
// sells that the other buys ("776:" when nothing).
export function carryHook({ near, far, there, back }) {
  const products = (list) => list.map((k) => PRODUCT_KEYS[k]).join("+");
  return `${near}:${products(there)}|${far}:${products(back)}`;
}

// A pair's carry in words: "ore, equ 776\u219216858; org 16858\u2192776", each
// \u2192 a right arrow.
export function carryWords({ near, far, there, back }) {
  const way = (list, a, b) => (list.length > 0 ? [`${list.map((k) => PRODUCT_KEYS[k]).join(", ")} ${a}\u2192${b}`] : []);
  const ways = [...way(there, near, far), ...way(back, far, near)];
  return ways.length > 0 ? ways.join("; ") : "nothing to carry: the two trade the same way";
}

// Hops from the start, unreached last.
function startHops(pair) {
  return pair.fromStart < 0 ? Infinity : pair.fromStart;
}

// The default order: units a hop, highest first, then hops from the start,
// nearest first (unreached last), then by the nearer port and the other.
function byTradeValue(x, y) {
  return y.score - x.score || (x.fromStart < 0 ? Infinity : x.fromStart) - (y.fromStart < 0 ? Infinity : y.fromStart)
    || x.nearer - y.nearer || x.far - y.far;
}

// The columns pairs sort by, each a number of the pair.
const TRADE_COLUMNS = {
  p: (pair) => pair.p,
  q: (pair) => pair.q,
  section: (pair) => pair.sections[0],
  there: (pair) => pair.there,
  back: (pair) => pair.back,
  fromStart: startHops,
  bubble: (pair) => Number(pair.bubble) + Number(pair.compromised),
  estimate: (pair) => pair.estimate,
  trips: (pair) => pair.trips,
  score: (pair) => pair.score,
};

// The pairs sorted by one column ("p", "q", "section", "there", "back",
// "fromStart" (unreached last), "bubble" (none, bubble, compromised),
// "estimate", "trips", "score"), largest first when `descending`; ties, and any other
// column, in the default order. A new list.
export function sortTradePairs(pairs, column, descending = false) {
  const value = TRADE_COLUMNS[column];
  if (!value) return pairs.slice().sort(byTradeValue);
  const sign = descending ? -1 : 1;
  return pairs.slice().sort((x, y) => sign * (value(x) - value(y)) || byTradeValue(x, y));
}

// The pairs of one section (a key of TRADE_SECTIONS, null for all; no pair is
// of another key), with an estimate of at least `least`, without those in
// compromised bubbles when `leaveOutCompromised`, in the given order: the
// list itself when nothing is left out by these, else a new list.
export function filterTradePairs(pairs, { section = null, least = 0, leaveOutCompromised = false } = {}) {
  if (section === null && least <= 0 && !leaveOutCompromised) return pairs;
  const wanted = section === null ? -1 : TRADE_SECTIONS.findIndex((s) => s.key === section);
  if (section !== null && wanted < 0) return [];
  return pairs.filter((pair) => (wanted < 0 || pair.sections.includes(wanted)) && pair.estimate >= least
    && !(leaveOutCompromised && pair.compromised));
}
