// The atlas end to end: pages korvan2a writes, opened from disk in headless
// Chromium at deep links, checked for what a player sees against the run's own
// reports. CHROMIUM names the browser (default /usr/bin/chromium). With
// ATLAS_SCREENSHOTS set to a directory, the sector view and a course of the
// sample game are saved there as PNG (the README shows them).

import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { mkdirSync, readFileSync, writeFileSync } from "node:fs";
import path from "node:path";
import { launchBrowser, openPage } from "./pages.js";
import { generatedAtlas, readAtlas, runKorvan, sampleAtlas, scratch } from "./games.js";

// Two notes no page may read as markup: bytes as the notes file holds them.
const MARKUP_NOTE = `<img src=x onerror="document.title='owned'"><b>bold</b> & "quotes" </script><!-- x`;
const HIGH_NOTE = "caf\xe9 \x93smart\x94 \x80";
const EXTRA_NOTES = `30: ${MARKUP_NOTE}\r\n31: ${HIGH_NOTE}\r\n`;

let browser;
let work;
let sample;
let game;
let hostile;
let one;
const errors = [];

before(async () => {
  work = scratch();
  const sampleDir = path.join(work.dir, "sample");
  const gameDir = path.join(work.dir, "game");
  sample = { file: sampleAtlas(sampleDir, EXTRA_NOTES), dir: sampleDir };
  game = { file: generatedAtlas(gameDir, { sectors: 2000, seed: 4 }), dir: gameDir };
  hostile = { file: generatedAtlas(path.join(work.dir, "hostile"), { profile: "hostile", sectors: 300, seed: 7 }) };
  // A universe of one sector that warps to itself, to a sector beyond the
  // universe and to 0; no ports, no bubbles, no special sectors given.
  const oneDir = path.join(work.dir, "one");
  mkdirSync(oneDir);
  writeFileSync(path.join(oneDir, "one.sct"), "1 1 2 0\r\n");
  runKorvan(oneDir, ["/g:one", "/n:1", "/atlas+"]);
  one = { file: path.join(oneDir, "one_atlas.html") };
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
  work?.remove();
});

// The page must load nothing: every request but the file itself fails the test.
const open = (file, hash) => openPage(browser, file, hash, errors);

const text = (page, selector) => page.locator(selector).first().textContent();

function report(dir, name) {
  return readFileSync(path.join(dir, name), "latin1").split("\r\n");
}

// The routes of the major space lane report, by title.
function laneRoutes(dir) {
  const lines = report(dir, "sample_msl.txt");
  const routes = new Map();
  for (let i = 0; i + 1 < lines.length; i++) {
    const title = lines[i].trim();
    if (/ to /.test(title) && lines[i + 1].includes(" : ")) routes.set(title, lines[i + 1].split(" : ")[1]);
  }
  return routes;
}

test("a course at its deep link is the lane report's route, with its hop count and the way back", async () => {
  const routes = laneRoutes(sample.dir);
  const page = await open(sample.file, "#course=1-155");
  const route = routes.get("terra to stardock");
  assert.equal(await text(page, "#course-text"), route);
  assert.equal(await text(page, "#course-hops"), `${route.split(" > ").length - 1} hops`);
  assert.equal(await page.locator("#drawing line.course").count(), route.split(" > ").length - 1);
  if (process.env.ATLAS_SCREENSHOTS) await page.screenshot({ path: path.join(process.env.ATLAS_SCREENSHOTS, "atlas-course.png") });
  await page.click("#return-course");
  await page.waitForFunction(() => location.hash === "#course=155-1");
  const back = await text(page, "#course-text");
  assert.match(back, /^155 > .* > 1$/);
  assert.equal(back.split(" > ").length, routes.get("stardock to terra").split(" > ").length);
  await page.close();
});

test("the sector view shows the sector's warps, port, hops and texts as the dump report has them", async () => {
  const page = await open(sample.file, "#sector=10&hops=2");
  assert.equal(await text(page, "#details h2"), "Sector 10");
  // The dump's line of sector 10: its warp cells after " : ", "^" one-way out,
  // "v" one-way in, a blank two-way.
  const line = report(sample.dir, "sample_dump.txt").find((l) => /^[ (\[][ +] *10[ )\]]/.test(l));
  const cells = [...line.split(" : ")[1].split("notes:")[0].matchAll(/(\d+)([v^ ]?)/g)];
  const words = { "^": "one-way out", v: "one-way in", " ": "two-way", "": "two-way" };
  const expected = cells.map(([, target, mark]) => `${mark === "v" ? "\u2190" : "\u2192"} ${target} ${words[mark]}`);
  assert.deepEqual(await page.locator("#details ul.warps li").allTextContents(), expected);
  assert.equal(await text(page, "#details p.port"), "BSb (class 2), reporting");
  assert.equal(await text(page, "#details .note"), "safe spot");
  assert.equal(await text(page, "#details .log"), "port destroyed");
  assert.equal(await page.locator("g.sector.centre").getAttribute("data-sector"), "10");
  for (const [, target] of cells) assert.equal(await page.locator(`g.sector[data-sector="${target}"]`).count(), 1);
  if (process.env.ATLAS_SCREENSHOTS) await page.screenshot({ path: path.join(process.env.ATLAS_SCREENSHOTS, "atlas-sector.png") });

  // A click on a drawn sector centres it.
  await page.locator('g.sector[data-sector="211"]').click();
  await page.waitForFunction(() => location.hash === "#sector=211&hops=2");
  assert.equal(await text(page, "#details h2"), "Sector 211");
  assert.equal(await page.locator("g.sector.centre").getAttribute("data-sector"), "211");
  await page.close();
});

test("notes full of markup and bytes beyond ASCII stay text", async () => {
  const page = await open(sample.file, "#sector=30&hops=1");
  assert.equal(await text(page, "#details .note"), MARKUP_NOTE);
  assert.equal(await page.locator("#details img, #details b, #details script").count(), 0);
  assert.equal(await page.title(), "sample \u2013 korvan2a atlas");
  await page.goto(`file://${sample.file}#sector=31&hops=1`);
  await page.waitForFunction(() => document.querySelector("#details h2")?.textContent === "Sector 31");
  assert.equal(await text(page, "#details .note"), "caf\u00e9 \u201csmart\u201d \u20ac");
  await page.close();
});

test("the bubble list is the bubble report's, and a bubble draws from its gate", async () => {
  // The report: "d-DEEP BUBBLES:" sections, " >" before each gate's line and
  // "  " before each member's.
  const bubbles = new Map();
  let depth = 0;
  let gate = 0;
  for (const line of report(sample.dir, "sample_bubbles.txt")) {
    const section = /^(\d+)-DEEP BUBBLES:$/.exec(line);
    if (section) depth = Number(section[1]);
    const sector = /^( >|  )[ (\[][ +] *(\d+)/.exec(line);
    if (!sector) continue;
    if (sector[1] === " >") {
      gate = Number(sector[2]);
      bubbles.set(gate, { depth, size: 0 });
    } else {
      bubbles.get(gate).size++;
    }
  }
  const page = await open(sample.file, "#bubble=296");
  const rows = await page.locator("#bubble-list tbody tr").evaluateAll((trs) =>
    trs.map((tr) => [...tr.cells].slice(0, 3).map((td) => Number(td.textContent))));
  assert.deepEqual(new Map(rows.map(([g, d, size]) => [g, { depth: d, size }])), bubbles);
  assert.equal(await page.locator("g.sector").count(), bubbles.get(296).size + 1);
  assert.equal(await page.locator("g.sector.centre").getAttribute("data-sector"), "296");
  await page.click('#bubble-list th[data-sort="size"]');
  const sizes = await page.locator("#bubble-list tbody tr td:nth-child(3)").allTextContents();
  assert.deepEqual(sizes.map(Number), sizes.map(Number).sort((a, b) => b - a));
  await page.close();
});

test("the port finder lists equipment buyers nearest first, and a row plots the course", async () => {
  const page = await open(sample.file, "#ports=10&want=buys-equ");
  const rows = await page.locator("#ports-table tbody tr").evaluateAll((trs) =>
    trs.map((tr) => [Number(tr.cells[1].textContent), tr.cells[3].textContent]));
  assert.ok(rows.length > 3);
  assert.deepEqual(rows.map(([hops]) => hops), rows.map(([hops]) => hops).sort((a, b) => a - b));
  for (const [, letters] of rows) assert.match(letters, /^..[Bb]$/);
  const target = await page.locator("#ports-table tbody tr").nth(1).getAttribute("data-sector");
  await page.locator("#ports-table tbody tr").nth(1).locator("td").nth(1).click();
  await page.waitForFunction((t) => location.hash === `#course=10-${t}`, target);
  assert.match(await text(page, "#course-text"), new RegExp(`^10 > .*${target}$`));
  await page.close();
});

test("odd universes open and show what is known", async () => {
  let page = await open(one.file, "");
  assert.equal(await text(page, "#details h2"), "Sector 1");
  assert.deepEqual(await page.locator("#details ul.warps li").allTextContents(),
    ["\u2192 1 two-way", "\u2192 2 one-way out, outside the universe", "\u2192 0 one-way out, outside the universe"]);
  await page.goto(`file://${one.file}#course=1-1`);
  await page.waitForFunction(() => document.getElementById("course-hops")?.textContent === "0 hops");
  assert.equal(await text(page, "#course-text"), "1");
  await page.goto(`file://${one.file}#ports=1&want=buys-ore`);
  await page.waitForFunction(() => document.querySelector("#ports-result p") !== null);
  assert.equal(await text(page, "#ports-result p"), "no such port is known");
  await page.click('#tabs button[data-tab="bubbles"]');
  assert.match(await text(page, "#bubble-result p"), /^no bubbles/);
  await page.close();

  // The hostile game's sector of 255 warps and its warps beyond the universe.
  page = await open(hostile.file, "#sector=102&hops=2");
  assert.equal(await page.locator("#details ul.warps li").count(), 255);
  assert.ok((await page.locator("#drawing g.sector").count()) <= 400);
  await page.goto(`file://${hostile.file}#sector=161&hops=1`);
  await page.waitForFunction(() => document.querySelector("#details h2")?.textContent === "Sector 161");
  assert.ok((await page.locator("#details ul.warps li").allTextContents()).includes("\u2192 65535 one-way out, outside the universe"));
  await page.close();
});

test("a generated game: deep links, courses across it and sectors it does not have", async () => {
  const u = readAtlas(game.file);
  const stardock = u.specials[4];
  const page = await open(game.file, `#course=2000-${stardock}`);
  const hops = u.hopsTo[4][2000];
  assert.equal(await text(page, "#course-hops"), `${hops} hops`);
  await page.goto(`file://${game.file}#course=2000-${stardock}&avoid=${(await text(page, "#course-text")).split(" > ")[1]}`);
  await page.waitForFunction(() => document.querySelector("#course-result .quiet")?.textContent.startsWith("avoiding"));
  await page.goto(`file://${game.file}#sector=2001`);
  await page.waitForFunction(() => document.getElementById("status").textContent.startsWith("address not understood"));
  assert.match(await text(page, "#status"), /^address not understood: sector=2001: 2001 is beyond this universe \(1 to 2000\) \u2014 sector 1 and /);
  await page.goto(`file://${game.file}#sector=1&hops=5`);
  await page.waitForFunction(() => document.querySelector("#details h2")?.textContent === "Sector 1");
  assert.ok((await page.locator("g.sector").count()) <= 400);
  await page.close();
  assert.deepEqual(errors, []);
});
