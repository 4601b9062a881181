// The atlas of a game that keeps its history, against the captures: a
// generated game recorded three times with /history+ /atlas+ (its first
// capture, its second, then the second with amounts changed), each run at a
// local time five hours after the last. A port's chart and refill lines, the
// History tab's busy ports, their order and "more", by mouse and keyboard, in
// the accessibility audit and within the window at both sizes.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { readFileSync, writeFileSync } from "node:fs";
import path from "node:path";
import { commandOf, generateGame, readAtlas, runKorvan, scratch } from "./games.js";
import { audit, goTo, launchBrowser, openPage, outOfBounds } from "./pages.js";

const PRODUCTS = ["fuel ore", "organics", "equipment"];

// The ports of a capture: sector -> [ore, org, equ] amounts.
function capturedAmounts(file) {
  const ports = new Map();
  for (const line of readFileSync(file, "latin1").split("\r\n")) {
    const m = /^\s*(\d+)((?:\s*-?\s*\d+\s+\d+%){3})\s*$/.exec(line);
    if (m) ports.set(Number(m[1]), [...m[2].matchAll(/-?\s*(\d+)\s+\d+%/g)].map((p) => Number(p[1])));
  }
  return ports;
}

// The third capture: the second with, of its k-th port, fuel ore down by
// 100 + k % 400 (at most to 0) and organics down by 50 unless k % 3 is 1, and
// equipment up by 250 when k % 3 is 1; the amounts keep their columns.
function changeAmounts(file) {
  let k = 0;
  const lines = readFileSync(file, "latin1").split("\r\n").map((line) => {
    const m = /^(\s*\d+)((?:\s*-?\s*\d+\s+\d+%){3})\s*$/.exec(line);
    if (!m) return line;
    const at = k++;
    let p = 0;
    return m[1] + m[2].replace(/( *)(\d+)( +\d+%)/g, (whole, space, digits, rest) => {
      const amount = Number(digits);
      const changed = [Math.max(amount - 100 - (at % 400), 0), at % 3 === 1 ? amount : Math.max(amount - 50, 0),
        at % 3 === 1 ? Math.min(amount + 250, 65535) : amount][p++];
      return String(changed).padStart(space.length + digits.length) + rest;
    });
  });
  writeFileSync(file, lines.join("\r\n"), "latin1");
}

const game = { errors: [] };
before(async () => {
  game.work = scratch();
  const dir = path.join(game.work.dir, "game");
  game.dir = dir;
  generateGame(dir, ["--sectors", "1000", "--seed", "1"]);
  const command = [...commandOf(dir, "game"), "/history+", "/atlas+"];
  game.captures = [capturedAmounts(path.join(dir, "game.prt"))];
  runKorvan(dir, command, { TZ: "KOR+10" });
  generateGame(dir, ["--sectors", "1000", "--seed", "1", "--second"]);
  game.captures.push(capturedAmounts(path.join(dir, "game.prt")));
  runKorvan(dir, [...command, "/mm:7"], { TZ: "KOR+5" });
  changeAmounts(path.join(dir, "game.prt"));
  game.captures.push(capturedAmounts(path.join(dir, "game.prt")));
  runKorvan(dir, [...command, "/mm:7"], { TZ: "KOR+0" });
  game.file = path.join(dir, "game_atlas.html");
  game.u = readAtlas(game.file);
  game.browser = await launchBrowser();
});
after(async () => {
  await game.browser?.close();
  game.work?.remove();
});
const open = (hash, options) => openPage(game.browser, game.file, hash, game.errors, options);

test("a port's details chart its three observations and say how fast it refills, as the captures and the runs' times tell", async () => {
  const [first, second, third] = game.captures;
  const { runs } = game.u.history;
  assert.equal(runs.length, 3);
  const days = [1, 2].map((i) => (runs[i].time - runs[i - 1].time) / 86400000);
  assert.ok(days.every((d) => Math.abs(d - 5 / 24) < 0.001), `runs ${runs.map((r) => r.at)}`);
  // A port of every capture whose equipment rose in the last, and another
  // that rose in none of them.
  const both = [...third.keys()].filter((s) => first.has(s) && second.has(s));
  const sector = both.find((s) => third.get(s)[2] > second.get(s)[2]);
  const page = await open(`#sector=${sector}&hops=1`);
  assert.equal(await page.locator("#details svg.history").getAttribute("data-points"), "3");
  // Each product's latest rise, by the days between its two runs.
  const expected = [];
  for (let p = 0; p < 3; p++) {
    const [a, b, c] = [first, second, third].map((capture) => capture.get(sector)[p]);
    const [rise, d] = c > b ? [c - b, days[1]] : b > a ? [b - a, days[0]] : [0, 0];
    if (rise > 0) expected.push(`${PRODUCTS[p]} refills about ${Math.round(rise / d)} a day`);
  }
  assert.ok(expected.length > 0);
  assert.deepEqual(await page.locator("#details .refills li").allTextContents(), expected);
  // The figures for a screen reader: a row per observation.
  assert.deepEqual(await page.locator("#details .chart table tbody tr").evaluateAll((rows) => rows.map((r) => r.cells[3].textContent)),
    [first, second, third].map((capture) => String(capture.get(sector)[2])));
  const flat = both.find((s) => [0, 1, 2].every((p) => first.get(s)[p] >= second.get(s)[p] && second.get(s)[p] >= third.get(s)[p]));
  await goTo(page, `#sector=${flat}&hops=1`);
  assert.equal(await page.locator("#details svg.history").getAttribute("data-points"), "3");
  assert.equal(await page.locator("#details .refills").count(), 0);
  await page.close();
  assert.deepEqual(game.errors, []);
});

test("the History tab lists the busy ports by their fall, 50 at a time, opens a port's sector, and is reached by the arrow keys", async () => {
  const [, second, third] = game.captures;
  const expected = [...third].map(([s, amounts]) => [s, amounts.reduce((sum, a, p) => sum + Math.max(second.get(s)[p] - a, 0), 0)])
    .filter(([, fall]) => fall > 0).sort((x, y) => y[1] - x[1] || x[0] - y[0]);
  assert.ok(expected.length > 100 && expected.some(([, fall], i) => i > 0 && fall === expected[i - 1][1]), "ties and more than two pages");
  const page = await open("#changes");
  await page.focus("#tab-changes");
  await page.keyboard.press("ArrowRight");
  await page.waitForFunction(() => location.hash === "#history");
  assert.equal(await page.evaluate(() => document.activeElement.id), "tab-history");
  const rows = () => page.locator("#busy-table tbody tr").evaluateAll((trs) => trs.map((tr) => [Number(tr.dataset.sector), Number(tr.dataset.fall)]));
  assert.deepEqual(await rows(), expected.slice(0, 50));
  const more = page.locator("#history-result button.more");
  assert.equal(await more.textContent(), `more (50 of ${expected.length} shown)`);
  await more.click();
  assert.equal((await rows()).length, 100);
  while (await more.count() > 0) await more.click();
  assert.deepEqual(await rows(), expected);
  assert.equal(await page.locator("svg.runs").getAttribute("data-points"), "3");
  assert.deepEqual(await page.locator("svg.runs .axis-label").allTextContents(), ["run", "sectors, ports"]);
  const [s] = expected[0];
  await page.click(`#busy-table tr[data-sector="${s}"] a`);
  await page.waitForFunction((t) => location.hash === `#sector=${t}&hops=2`, s);
  assert.equal(await page.locator("#details h2").textContent(), `Sector ${s}`);
  await page.close();
  assert.deepEqual(game.errors, []);
});

test("the History tab and a port's chart pass the audit and keep to the window at 1400 x 900 and 400 x 800", async () => {
  const port = game.u.history.observed.keys().next().value;
  const findings = {};
  for (const viewport of [{ width: 1400, height: 900 }, { width: 400, height: 800 }]) {
    const page = await open("#history", { viewport });
    await page.click("#history-result button.more");
    for (const hash of ["#history", `#sector=${port}&hops=2`]) {
      await goTo(page, hash);
      const name = `${viewport.width} ${hash}`;
      findings[name] = [...await page.evaluate(outOfBounds), ...await audit(page)];
    }
    await page.close();
  }
  assert.deepEqual(findings, Object.fromEntries(Object.keys(findings).map((k) => [k, []])));
  assert.deepEqual(game.errors, []);
});

test("a page written without /history+ keeps the tab and says in a sentence how to keep a history", async () => {
  runKorvan(game.dir, [...commandOf(game.dir, "game"), "/mm:7", "/atlas+"]);
  const page = await open("#history");
  assert.equal(await page.locator("#history-result").textContent(), "This page carries no history: run korvan2a with /history+ to keep one.");
  assert.equal(await page.locator("#details .chart").count(), 0);
  await page.close();
  assert.deepEqual(game.errors, []);
});
