// Times the atlas in headless Chromium (README, "Speed"): how long a page takes
// from opening to its first view drawn, and then the views a player asks for
// on a large game, each from its address until the frame that shows it has
// been laid out and painted (a task after the next animation frame): a sector
// out to five hops, a course across the whole universe (between the two
// sectors farthest apart that the course search finds; its search alone too)
// and one by eight stops across it, the ports nearest terra, the largest
// bubble, the trade pairs up to three hops apart, the same ranked for other
// holds, the unexplored sectors from terra, every change, the changes near
// terra and a text found in the notes and logs.
//
//   node bench/atlas_page.mjs ATLAS_FILE [RUNS] [OTHER_ATLAS_FILE]
//
// RUNS fresh pages (default 7; medians), after one not counted. With
// OTHER_ATLAS_FILE (the same game's atlas written by another build of the
// program), each run opens that page too, one after the other, and the two are
// set side by side; a view the other page cannot read is left out of its
// figures. Pin it to one core with taskset to time the page on one.
//
// Needs what `scripts/deps.sh atlas` installs (chromium, tests/atlas's packages).

import { createRequire } from "node:module";
import { statSync } from "node:fs";
import path from "node:path";
import { sweepFrom } from "../atlas/js/course.js";
import { listBubbles } from "../atlas/js/bubbles.js";
import { readAtlas } from "../tests/atlas/games.js";

const require = createRequire(new URL("../tests/atlas/package.json", import.meta.url));
const { chromium } = require("playwright-core");

const file = path.resolve(process.argv[2]);
const runs = Number(process.argv[3] || 7);
const other = process.argv[4] ? path.resolve(process.argv[4]) : null;
const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor((values.length - 1) / 2)];

// The two sectors farthest apart: the farthest from sector 1, then the
// farthest from that one.
const u = readAtlas(file);
const farthest = (from) => {
  const { hops } = sweepFrom(u, from);
  let best = from;
  for (let s = 1; s <= u.n; s++) if (hops[s] > hops[best]) best = s;
  return { sector: best, hops: hops[best] };
};
const a = farthest(1).sector;
const { sector: b, hops: across } = farthest(a);

// Eight stops spread over the universe, each one a course from terra reaches
// and that has a course back to it, so that every leg between them has one.
const stops = [];
for (let k = 1; k <= 8; k++) {
  let s = Math.floor((k * u.n) / 9);
  while (s < u.n && !(u.hopsFrom[1][s] < 255 && u.hopsTo[1][s] < 255)) s++;
  stops.push(s);
}

// The largest bubble the run found.
const biggest = listBubbles(u).reduce((a, b) => (b.size > a.size ? b : a), { size: 0, gate: 0 });

// Each view timed from the change of address until the frame that shows it
// is painted, its computing, layout and drawing included.
const VIEWS = [
  [`sector ${u.specials[4]}, 5 hops`, `#sector=${u.specials[4]}&hops=5`],
  [`course ${a} > ... > ${b} (${across} hops)`, `#course=${a}-${b}`],
  [`course ${a} > ${b} by 8 stops`, `#course=${[a, ...stops, b].join("-")}`],
  ["ports buying equ nearest 1", "#ports=1&want=buys-equ"],
  [`largest bubble (gate ${biggest.gate}, ${biggest.size} sectors)`, `#bubble=${biggest.gate}`],
  ["trade pairs from 1, up to 3 hops apart", "#trade=1&apart=3&within=all"],
  ["the same, ranked for holds of 200 within 10 hops", "#trade=1&apart=3&within=10&holds=200"],
  ["unexplored sectors from 1", "#explore=1&within=all"],
  ["every change", "#changes"],
  ["changes near 1, within 10 hops", "#changes=1&within=10"],
  ["text found: safe", "#find=safe"],
];

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
    "--disable-component-update", "--disable-sync"],
});

// One fresh page of `page`, every view in turn: { ready, search, views: [ms,
// or null where the page did not read the address] }.
async function timePage(page) {
  const tab = await browser.newPage({ viewport: { width: 1400, height: 850 } });
  await tab.goto(`file://${page}`);
  await tab.waitForSelector("html[data-ready]", { state: "attached" });
  const ready = Number(await tab.getAttribute("html", "data-ready"));
  let search = null;
  const views = [];
  for (const [, hash] of VIEWS) {
    const ms = await tab.evaluate(async (h) => {
      const started = performance.now();
      // The page's own handler runs first: it was added before this one.
      await new Promise((resolve) => {
        window.addEventListener("hashchange", () => resolve(), { once: true });
        location.hash = h;
      });
      // The animation frame's callbacks run before the frame is laid out and
      // painted; a task queued from there runs after.
      await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
      return performance.now() - started;
    }, hash);
    const understood = !(await tab.locator("#status").textContent()).startsWith("address not understood");
    views.push(understood ? ms : null);
    if (hash === VIEWS[1][1]) search = Number(await tab.getAttribute("#course-result", "data-search-ms"));
  }
  await tab.close();
  return { ready, search, views };
}

const pages = other ? [file, other] : [file];
const results = pages.map(() => []);
for (let i = 0; i <= runs; i++) {
  // The first round warms the browser up and is not counted.
  for (const [k, page] of pages.entries()) {
    const timed = await timePage(page);
    if (i > 0) results[k].push(timed);
  }
}
await browser.close();

const summary = (values) => {
  const kept = values.filter((v) => v !== null && !Number.isNaN(v));
  if (kept.length === 0) return "not read";
  return `${median(kept).toFixed(1)} ms (${Math.min(...kept).toFixed(1)}..${Math.max(...kept).toFixed(1)})`;
};
const column = (k, pick) => summary(results[k].map(pick));
console.log(`atlas: ${(statSync(file).size / 1048576).toFixed(2)} MB, ${u.n} sectors${other ? `; the other: ${(statSync(other).size / 1048576).toFixed(2)} MB` : ""}`);
console.log(`medians of ${runs} fresh pages${other ? ", this page | the other, one after the other" : ""}`);
const line = (name, pick) => console.log(`${name}: ${pages.map((_, k) => column(k, pick)).join(" | ")}`);
line("first view drawn, from opening", (r) => r.ready);
line("course search across the universe", (r) => r.search);
VIEWS.forEach(([name], k) => line(`${name}, computed and drawn`, (r) => r.views[k]));
