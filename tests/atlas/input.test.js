// The atlas answers mistakes and works by keyboard, on the 20000-sector
// generated game: addresses it cannot read, mistakes typed into its fields,
// the keyboard path through the page and the drawing, the accessibility audit
// of every view (axe-core, injected from the tests' own packages) and a
// phone-sized touch screen.

import { test } from "node:test";
import assert from "node:assert/strict";
import { audit, bigGame, goTo } from "./pages.js";

const game = bigGame();
const { errors } = game;
const open = (hash, options) => game.open(hash, options);

const status = (page) => page.locator("#status").textContent();
const centre = (page) => page.locator("#drawing g.sector.centre").getAttribute("data-sector");

test("an address the page cannot read shows the default view and names the part that is wrong", async () => {
  const page = await open("#sector=12&hops=1");
  const wrong = {
    "#course=abc": "course=abc: a course is two sectors, from-to (such as course=1-155)",
    "#sector=999999": "sector=999999: 999999 is beyond this universe (1 to 20000)",
    "#sector=20001": "sector=20001: 20001 is beyond this universe (1 to 20000)",
    "#course=70000-1": "course=70000-1: 70000 is beyond this universe (1 to 20000)",
    "#course=1-1374&avoid=5,1": "avoid=5,1: 1 is where the course starts: a course cannot avoid it",
    "#bubble=G": 'bubble=G: "G" is not a number',
    "#ports=5&want=gold": "want=gold: not something to look for (such as buys-ore, sells-equ or class-3)",
  };
  for (const [hash, problem] of Object.entries(wrong)) {
    await goTo(page, hash);
    assert.ok((await status(page)).startsWith(`address not understood: ${problem} \u2014 sector 1 `), hash);
    assert.equal(await centre(page), "1", hash);
    assert.equal(await page.locator("#tab-sector").getAttribute("aria-selected"), "true", hash);
  }
  // Too many hops: the sector at 5 hops, and the status says so.
  await goTo(page, "#sector=10&hops=99");
  assert.match(await status(page), /^address not understood: hops=99: 99 is out of range \(1 to 5\); 5 hops shown \u2014 sector 10 and the \d+ sectors within 5 hops/);
  assert.equal(await centre(page), "10");
  assert.equal(await page.locator("#sector-form select").inputValue(), "5");
  // A sound address says nothing of the last one.
  await goTo(page, "#sector=12&hops=1");
  assert.match(await status(page), /^sector 12 /);
  await page.close();
  assert.deepEqual(errors, []);
});

test("a field says beside itself what is wrong, runs nothing, and a corrected field clears its message", async () => {
  const page = await open("#sector=12&hops=1");
  const mistakes = [
    ["sector-form", "sector", "abc", '"abc" is not a number'],
    ["sector-form", "sector", "0", "0 is no sector: sectors are 1 to 20000"],
    ["sector-form", "sector", "20001", "20001 is beyond this universe (1 to 20000)"],
    ["sector-form", "sector", "1.5", "1.5 is not a whole number"],
    ["sector-form", "sector", "10 20", 'one sector, please: "10 20" holds 2 numbers'],
    ["course-form", "avoid", "5, x", '"x" is not a number'],
    ["course-form", "avoid", "5, 1", "1 is where the course starts: a course cannot avoid it"],
    ["ports-form", "from", "", "type a sector number"],
  ];
  await page.click("#tab-course");
  await page.fill("#course-form [name=from]", "1");
  await page.fill("#course-form [name=to]", "1374");
  for (const [form, name, typed, problem] of mistakes) {
    await page.evaluate((tab) => document.getElementById(`tab-${tab}`).click(), form.replace("-form", ""));
    const field = page.locator(`#${form} [name=${name}]`);
    await field.fill(typed);
    await page.locator(`#${form} > button`).click();
    const id = await field.getAttribute("aria-describedby");
    assert.equal(await page.locator(`#${id}`).textContent(), problem, typed);
    assert.equal(await field.getAttribute("aria-invalid"), "true", typed);
    assert.ok(await field.evaluate((input) => input === document.activeElement), typed);
    assert.equal(await page.evaluate(() => location.hash), "#sector=12&hops=1", typed);
    await field.fill(name === "avoid" ? "5" : "12");
    assert.equal(await field.getAttribute("aria-invalid"), null, typed);
    assert.equal(await page.locator(`#${id}`).count(), 0, typed);
  }
  await page.close();
  assert.deepEqual(errors, []);
});

test("a new address resets the fields it does not name; a view asked for by its own form, or its tab, keeps them", async () => {
  const page = await open("#trade=1&apart=1&within=all&holds=20");
  const least = page.locator("#trade-filters [name=least]");
  const holds = page.locator("#trade-form [name=holds]");
  await least.fill("abc");
  await least.press("Enter");
  assert.match(await page.locator("#trade-result").textContent(), /^a filter holds a mistake/);
  await holds.fill("x");
  await page.click("#trade-form > button");
  assert.equal(await holds.getAttribute("aria-invalid"), "true");
  // Holds not named: the default, whatever was typed.
  await goTo(page, "#trade=2&apart=1&within=all");
  assert.deepEqual([await least.inputValue(), await least.getAttribute("aria-invalid")], ["", null]);
  assert.deepEqual([await holds.inputValue(), await holds.getAttribute("aria-invalid")], ["50", null]);
  assert.match(await page.locator("#trade-count").textContent(), /^\d+ pairs listed$/);
  await least.fill("100");
  await least.press("Enter");
  const filtered = await page.locator("#trade-count").textContent();
  assert.match(filtered, /; the filters left out \d+$/);
  await page.click("#tab-sector");
  await page.waitForFunction(() => location.hash.startsWith("#sector="));
  await page.click("#tab-trade");
  await page.waitForFunction(() => location.hash === "#trade=2&apart=1&within=all&holds=50");
  assert.deepEqual([await least.inputValue(), await page.locator("#trade-count").textContent()], ["100", filtered]);
  // The changes' Near and Within, and a course's stops, are the address's.
  await goTo(page, "#changes=1&within=7");
  await page.fill("#changes-form [name=from]", "abc");
  await page.click("#changes-form > button");
  await goTo(page, "#changes");
  assert.deepEqual([await page.inputValue("#changes-form [name=from]"), await page.locator("#changes-form [name=from]").getAttribute("aria-invalid"),
    await page.inputValue("#changes-form [name=within]")], ["", null, "5"]);
  await goTo(page, "#course=1-2000-1374");
  await page.click("#add-stop");
  await page.keyboard.type("77");
  await goTo(page, "#course=1-1374");
  assert.equal(await page.locator("#course-form .stop input").count(), 0);
  await page.click("#add-stop");
  assert.deepEqual(await page.locator("#course-form .stop input").evaluateAll((inputs) => inputs.map((i) => [i.name, i.value])), [["stop1", ""]]);
  // The port finder's filters go with its own form to a new start.
  await goTo(page, "#ports=1&want=buys-equ");
  await page.fill("#ports-form [name=maxHops]", "6");
  await page.fill("#ports-form [name=from]", "2");
  await page.click("#ports-form > button");
  await page.waitForFunction(() => location.hash === "#ports=2&want=buys-equ");
  // The list follows the address's change event: wait for it, then say what it is.
  await page.waitForFunction(() => /hops away/.test(document.querySelector("#ports-count").textContent)).catch(() => {});
  assert.match(await page.locator("#ports-count").textContent(), /^\d+ ports found \(at most 6 hops away\)/);
  await goTo(page, "#ports=3&want=buys-equ");
  assert.equal(await page.inputValue("#ports-form [name=maxHops]"), "");
  // A mistake in the find box goes with a new address.
  await page.fill("#find-box input", "0");
  await page.press("#find-box input", "Enter");
  await goTo(page, "#sector=5&hops=1");
  assert.deepEqual([await page.inputValue("#find-box input"), await page.locator("#find-box input").getAttribute("aria-invalid")], ["", null]);
  await page.close();
  assert.deepEqual(errors, []);
});

test("Hops, Course from here and Ports near here run their view at once", async () => {
  const page = await open("#sector=12&hops=1");
  await page.selectOption("#sector-form select", "3");
  await page.waitForFunction(() => location.hash === "#sector=12&hops=3");
  // No end to go to: the To field takes the focus with a hint, and no course
  // of other ends stays in view.
  await page.click("#course-from-here");
  assert.equal(await page.locator("#course-form [name=from]").inputValue(), "12");
  assert.equal(await page.evaluate(() => document.activeElement.name), "to");
  assert.equal(await page.locator("#course-result").textContent(), "the course from 12: type the sector to go to, then plot the course");
  await page.keyboard.type("1374");
  await page.keyboard.press("Enter");
  await page.waitForFunction(() => location.hash === "#course=12-1374");
  await goTo(page, "#sector=2&hops=1");
  await page.click("#course-from-here");
  await page.waitForFunction(() => location.hash === "#course=2-1374");
  assert.match(await page.locator("#course-text").textContent(), /^2 > .* > 1374$/);
  await goTo(page, "#sector=2&hops=1");
  await page.click("#ports-near-here");
  await page.waitForFunction(() => location.hash === "#ports=2&want=buys-ore");
  // The address changes at once, the view once the page has heard of it.
  await page.waitForFunction(() => document.getElementById("tab-ports").getAttribute("aria-selected") === "true");
  assert.equal(await page.evaluate(() => document.activeElement.id), "tab-ports");
  // The course tab shows its own course again, drawing and form in step.
  await page.click("#tab-course");
  await page.waitForFunction(() => location.hash === "#course=2-1374");
  assert.equal(await centre(page), "1374");
  await page.close();
  assert.deepEqual(errors, []);
});

test("by keyboard: tabs by arrow keys, the drawing one Tab stop whose arrows move between sectors", async () => {
  const page = await open("#sector=10&hops=5");
  assert.equal(await page.locator("#drawing g.sector").count(), 400);
  // From the sector field to the details panel: 11 presses (hops, Show, the
  // three actions, the neighbourhood's list, the three zoom buttons, the
  // drawing, the details' first link), where every drawn sector was once a
  // stop of its own.
  await page.focus("#sector-form [name=sector]");
  let presses = 0;
  const stops = [];
  while (presses < 40 && !(await page.evaluate(() => document.activeElement.closest("#details") !== null))) {
    await page.keyboard.press("Tab");
    presses++;
    stops.push(await page.evaluate(() => document.activeElement.closest("#drawing") ? "drawing" : document.activeElement.tagName));
  }
  assert.equal(presses, 11, stops.join(" "));
  assert.equal(stops.filter((s) => s === "drawing").length, 1);

  // Into the drawing: the centre has the focus; Right goes to a sector to its
  // right, Enter centres it and the focus stays on it.
  await page.keyboard.press("Shift+Tab");
  const focused = () => page.evaluate(() => {
    const g = document.activeElement;
    const box = g.querySelector("circle.body").getBoundingClientRect();
    return { sector: g.dataset.sector, x: box.x, name: g.querySelector("title").textContent, stops: document.querySelectorAll('#drawing [tabindex="0"]').length };
  });
  const start = await focused();
  assert.deepEqual([start.sector, start.name.split(",")[0], start.stops], ["10", "sector 10", 1]);
  await page.keyboard.press("ArrowRight");
  const next = await focused();
  assert.notEqual(next.sector, "10");
  assert.ok(next.x > start.x);
  assert.equal(next.stops, 1);
  // Announced by its description, and marked on screen.
  assert.match(await page.locator(":focus").ariaSnapshot(), new RegExp(`^- link "sector ${next.sector}\\b`));
  assert.equal(await page.locator(":focus").evaluate((g) => getComputedStyle(g).outlineStyle), "solid");
  await page.keyboard.press("Enter");
  await page.waitForFunction((s) => location.hash === `#sector=${s}&hops=5`, next.sector);
  await page.waitForFunction((s) => document.activeElement.matches(`#drawing g.sector.centre[data-sector="${s}"]`), next.sector);
  // + zooms in, Shift+Left moves the picture left.
  const box = () => page.evaluate(() => {
    const { x, width } = document.getElementById("drawing").viewBox.baseVal;
    return { x, width };
  });
  const fitted = await box();
  await page.keyboard.press("+");
  const zoomed = await box();
  assert.ok(zoomed.width < fitted.width);
  await page.keyboard.press("Shift+ArrowLeft");
  assert.ok((await box()).x > zoomed.x);

  // The tab list: arrows move between the tabs and open them.
  await page.focus("#tab-sector");
  await page.keyboard.press("ArrowRight");
  assert.equal(await page.evaluate(() => [document.activeElement.id, document.activeElement.getAttribute("aria-selected")].join()), "tab-course,true");
  await page.keyboard.press("End");
  assert.equal(await page.evaluate(() => document.activeElement.id), "tab-history");
  await page.keyboard.press("ArrowRight");
  assert.equal(await page.evaluate(() => document.activeElement.id), "tab-sector");
  await page.waitForFunction(() => document.getElementById("tab-sector").getAttribute("aria-selected") === "true");
  const tabs = await page.locator("#tabs [role=tab]").evaluateAll((buttons) => buttons.map((b) =>
    [b.tabIndex, document.getElementById(b.getAttribute("aria-controls")).getAttribute("aria-labelledby") === b.id]));
  assert.deepEqual(tabs, [[0, true], ...Array.from({ length: 7 }, () => [-1, true])]);
  await page.close();
  assert.deepEqual(errors, []);
});

test("every view passes the accessibility audit, mistakes and a phone-sized screen too", async () => {
  const page = await open("#sector=1&hops=5");
  const findings = {};
  for (const hash of ["#sector=1&hops=5", "#course=1-1374&avoid=2", "#ports=1&want=buys-equ", "#bubble=296", "#course=abc",
    "#trade=1&apart=3&within=all", "#explore=1&within=5", "#changes", "#changes=1&within=5", "#course=1-2000-1374", "#find=safe", "#history"]) {
    await goTo(page, hash);
    findings[hash] = await audit(page);
  }
  await page.click("#tab-bubbles");
  findings["bubble list"] = await audit(page);
  await page.click("#tab-course");
  await page.fill("#course-form [name=avoid]", "x");
  await page.click("#course-form > button");
  findings["a mistake typed"] = await audit(page);
  await page.close();

  // A phone: the hint speaks of taps, a swipe beside the drawing scrolls the
  // column under the bar, one on the drawing moves the picture.
  const phone = await open("#sector=1&hops=3", { viewport: { width: 400, height: 800 }, hasTouch: true, isMobile: true });
  findings.phone = await audit(phone);
  assert.match(await phone.locator("#drawing-hint").textContent(), /^Tap a sector/);
  assert.doesNotMatch(await phone.locator("#drawing-hint").textContent(), /scroll/);
  const touch = await phone.context().newCDPSession(phone);
  const swipe = async (x, y) => {
    await touch.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x, y }] });
    for (let i = 1; i <= 10; i++) await touch.send("Input.dispatchTouchEvent", { type: "touchMove", touchPoints: [{ x, y: y - 15 * i }] });
    await touch.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
    return phone.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => resolve(document.querySelector("main").scrollTop))));
  };
  const drawing = await phone.locator("#drawing").boundingBox();
  const viewBox = () => phone.locator("#drawing").getAttribute("viewBox");
  const before = await viewBox();
  assert.equal(await swipe(200, drawing.y + drawing.height / 2), 0);
  assert.notEqual(await viewBox(), before);
  assert.ok((await swipe(200, 200)) > 100);
  // A trade list's rows in two lines, and the changes near a sector.
  for (const hash of ["#trade=1&apart=1&within=10&holds=20", "#changes=1&within=5"]) {
    await goTo(phone, hash);
    findings[`phone ${hash}`] = await audit(phone);
  }
  await phone.close();
  assert.deepEqual(findings, Object.fromEntries(Object.keys(findings).map((k) => [k, []])));
  assert.deepEqual(errors, []);
});
