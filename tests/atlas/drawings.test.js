// The atlas's drawings at a real game's size (the 20000-sector realistic
// game), measured from what the page draws: bubbles as trees, every sector
// readable and none on another; neighbourhoods whose labels are drawn only
// where they can be read; warps drawn as the legend says. With
// ATLAS_SCREENSHOTS set to a directory, a deep bubble and a 4-hop
// neighbourhood are saved there (the README shows them).

import { test } from "node:test";
import assert from "node:assert/strict";
import path from "node:path";
import { bigGame, goTo } from "./pages.js";
import { listBubbles } from "../../atlas/js/bubbles.js";
import { groupAround } from "../../atlas/js/neighbourhood.js";
import { onLane } from "../../atlas/js/universe.js";

const WINDOW = { width: 1400, height: 900 };
const game = bigGame();
const { errors } = game;
const open = (hash) => game.open(hash, { viewport: WINDOW });

test("every bubble of up to sixty sectors is drawn as a tree: circles of 8 pixels at least, none on another; a member's place is its hops in", async () => {
  // Bubbles of one or two sectors, most of them, cannot go wrong.
  const bubbles = listBubbles(game.u).filter((b) => b.size >= 3 && b.size <= 60);
  const deepest = bubbles.reduce((a, b) => (b.depth > a.depth ? b : a));
  assert.ok(bubbles.length > 100 && deepest.depth >= 10, `${bubbles.length} bubbles`);
  const page = await open(`#bubble=${deepest.gate}`);
  if (process.env.ATLAS_SCREENSHOTS) await page.screenshot({ path: path.join(process.env.ATLAS_SCREENSHOTS, "atlas-bubble.png") });
  const faults = await page.evaluate(async (gates) => {
    const found = [];
    for (const gate of gates) {
      await new Promise((resolve) => {
        window.addEventListener("hashchange", () => resolve(), { once: true });
        location.hash = `#bubble=${gate}`;
      });
      const circles = [...document.querySelectorAll("#drawing g.sector circle.body")].map((c) => c.getBoundingClientRect());
      for (let i = 0; i < circles.length; i++) {
        const a = circles[i];
        if (a.width / 2 < 8) found.push(`${gate}: a circle of ${(a.width / 2).toFixed(1)} px`);
        for (let j = i + 1; j < circles.length; j++) {
          const b = circles[j];
          const apart = Math.hypot(a.x + a.width / 2 - b.x - b.width / 2, a.y + a.height / 2 - b.y - b.height / 2);
          if (apart < (a.width + b.width) / 2) found.push(`${gate}: two circles overlap`);
        }
      }
      if (found.length > 5) break;
    }
    return found;
  }, bubbles.map((b) => b.gate));
  assert.deepEqual(faults, []);
  // The deepest bubble fits without wrapping: one row for each hop from the
  // gate.
  await goTo(page, `#bubble=${deepest.gate}`);
  const rows = await page.locator("#drawing g.sector circle.body").evaluateAll((circles) =>
    new Set(circles.map((c) => Math.round(c.getBoundingClientRect().y))).size);
  const levels = new Set(groupAround(game.u, deepest.gate, deepest.members).nodes.map((node) => node.ring));
  assert.equal(rows, levels.size);
  // The member next to the gate, the run's deepest-numbered, is one hop in.
  const next = deepest.members.find((s) => game.u.bubble.get(s).depth === deepest.depth);
  await page.click(`#drawing g.sector[data-sector="${next}"]`);
  await page.waitForFunction((s) => document.querySelector("#details h2").textContent === `Sector ${s}`, next);
  const place = page.locator("#details p[data-hops-in]");
  assert.equal(await place.textContent(), `1 hop in from gate ${deepest.gate} (the bubble is ${deepest.depth} deep)`);
  assert.deepEqual([await place.getAttribute("data-gate"), await place.getAttribute("data-hops-in")], [String(deepest.gate), "1"]);
  await page.close();
});

// The labels drawn (not hidden) and the height on screen of the smallest.
async function labels(page) {
  return page.evaluate(() => {
    const drawn = [...document.querySelectorAll("#drawing .label")].filter((g) => getComputedStyle(g).display !== "none");
    const heights = drawn.flatMap((g) => [...g.querySelectorAll("text")].map((t) => t.getBoundingClientRect().height));
    return { sectors: drawn.map((g) => Number(g.dataset.for)), smallest: Math.min(...heights) };
  });
}

test("a neighbourhood labels only what can be read, its centre and special sectors always, and zooming brings the rest back", async () => {
  const stardock = game.u.specials[4];
  const page = await open(`#sector=${stardock}&hops=4`);
  if (process.env.ATLAS_SCREENSHOTS) await page.screenshot({ path: path.join(process.env.ATLAS_SCREENSHOTS, "atlas-neighbourhood.png") });
  assert.equal(await page.locator("#status").textContent(),
    `sector ${stardock} and the 352 sectors within 4 hops, counting warps either way`);
  for (const hops of [3, 4, 5]) {
    await goTo(page, `#sector=${stardock}&hops=${hops}`);
    const drawn = await page.locator("#drawing g.sector").evaluateAll((gs) => gs.map((g) => Number(g.dataset.sector)));
    const { sectors, smallest } = await labels(page);
    assert.ok(smallest >= 9, `${hops} hops: a label ${smallest.toFixed(1)} px tall`);
    const specials = drawn.filter((s) => game.u.specials.includes(s));
    for (const s of [stardock, ...specials]) assert.ok(sectors.includes(s), `${hops} hops: ${s} unlabelled`);
    assert.ok(sectors.length < drawn.length / 2, `${hops} hops: ${sectors.length} of ${drawn.length} labelled`);
  }
  for (let i = 0; i < 5; i++) await page.click('#zoom button[data-zoom="in"]');
  const zoomed = await labels(page);
  assert.ok(zoomed.smallest >= 9 && zoomed.sectors.length > 300, `${zoomed.sectors.length} labels after zooming in`);

  // The same neighbourhood as a list, one click away, sortable. The list is
  // built when the box's toggle event comes, after the click: its first row
  // is awaited before the rows are counted.
  await page.click("#hood-list summary");
  await page.locator("#hood-table tbody tr").first().waitFor();
  assert.equal(await page.locator("#hood-list summary").textContent(), "the 1154 sectors as a list");
  assert.equal(await page.locator("#hood-table tbody tr").count(), 200);
  assert.equal(await page.locator("#hood-list button.more").textContent(), "more (200 of 1154 shown)");
  await page.click('#hood-table button[data-sort="note"]');
  const noted = await page.locator("#hood-table tbody tr td:nth-child(4)").allTextContents();
  const withNote = noted.filter(Boolean);
  assert.ok(withNote.length > 0 && noted.indexOf("") === withNote.length, "sectors with a note first");
  assert.deepEqual(withNote, withNote.slice().sort());
  await page.close();
});

test("the drawing follows its legend: one-way lane warps, arrowheads at the circles' edge, labels above every line", async () => {
  // A one-way warp between two sectors of the major space lane.
  let lane = null;
  const { u } = game;
  for (let s = 1; s <= u.n && !lane; s++) {
    if (!onLane(game.u, s)) continue;
    for (let i = u.warpStart[s]; i < u.warpStart[s + 1]; i++) {
      if (u.warpKind[i] === 0 && onLane(game.u, game.u.warpTarget[i])) lane = { from: s, to: u.warpTarget[i] };
    }
  }
  assert.ok(lane, "the game has a one-way warp on the lane");
  const page = await open(`#sector=${lane.from}&hops=1`);
  const warp = page.locator(`#drawing line.edge[data-from="${lane.from}"][data-to="${lane.to}"]`);
  assert.equal(await warp.getAttribute("class"), "edge one-way");
  assert.equal(await warp.getAttribute("marker-end"), "url(#arrow)");
  // Every arrowhead's tip (11 units beyond its line) touches its target's
  // outermost circle.
  const gaps = await page.evaluate(() => {
    const centre = (s) => {
      const m = /translate\(([-\d.]+),([-\d.]+)\)/.exec(document.querySelector(`g.sector[data-sector="${s}"]`).getAttribute("transform"));
      return { x: Number(m[1]), y: Number(m[2]) };
    };
    return [...document.querySelectorAll("#drawing line[marker-end]")].map((line) => {
      const [x1, y1, x2, y2] = ["x1", "y1", "x2", "y2"].map((a) => Number(line.getAttribute(a)));
      const length = Math.hypot(x2 - x1, y2 - y1);
      const tip = { x: x2 + ((x2 - x1) / length) * 11, y: y2 + ((y2 - y1) / length) * 11 };
      const to = centre(line.dataset.to);
      const target = document.querySelector(`g.sector[data-sector="${line.dataset.to}"]`);
      const outermost = Math.max(...[...target.querySelectorAll("circle")].map((c) =>
        Number(c.getAttribute("r")) + Number(getComputedStyle(c).strokeWidth.replace("px", "")) / 2));
      return Math.abs(Math.hypot(tip.x - to.x, tip.y - to.y) - outermost);
    });
  });
  assert.ok(gaps.length > 0 && Math.max(...gaps) < 0.6, `arrowheads ${gaps.map((g) => g.toFixed(1))} from the edge`);
  const layers = await page.evaluate(() => [...document.getElementById("drawing").children].map((c) => c.getAttribute("class")));
  assert.deepEqual(layers.slice(1), ["rings", "edges", "sectors", "labels"]);
  await page.close();
  assert.deepEqual(errors, []);
});
