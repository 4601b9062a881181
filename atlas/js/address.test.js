import { test } from "node:test";
import assert from "node:assert/strict";
import { parseAddress, formatAddress } from "./address.js";

const N = 20000;
const DEFAULT = { view: "sector", sector: 1, hops: 2 };

test("every view's address reads back as the same view", () => {
  const views = [
    { view: "sector", sector: 12, hops: 3 },
    { view: "course", from: 1, to: 6789, stops: [], avoid: [] },
    { view: "course", from: 1, to: 6789, stops: [], avoid: [12, 345] },
    { view: "ports", from: 7, want: { product: 2, buys: true } },
    { view: "ports", from: 7, want: { mask: 3 } },
    { view: "bubble", gate: 40 },
  ];
  for (const view of views) assert.deepEqual(parseAddress(formatAddress(view), N), { view, problems: [] });
  assert.equal(formatAddress(views[2]), "#course=1-6789&avoid=12,345");
  assert.equal(formatAddress(views[4]), "#ports=7&want=class-1");
  assert.deepEqual(parseAddress("", N), { view: DEFAULT, problems: [] });
  assert.deepEqual(parseAddress("#sector=12", N), { view: { view: "sector", sector: 12, hops: 2 }, problems: [] });
  assert.deepEqual(parseAddress("#course=3-4&avoid=5,%20x6", N).problems, ['avoid=5, x6: "x6" is not a number']);
});

test("an address the page cannot read gives the default view and names the part that is wrong", () => {
  const wrong = {
    "#course=abc": "course=abc: a course is two sectors, from-to (such as course=1-155)",
    "#course=1-": "course=1-: type a sector number",
    "#sector=999999": "sector=999999: 999999 is beyond this universe (1 to 20000)",
    "#sector=20001&hops=3": "sector=20001: 20001 is beyond this universe (1 to 20000)",
    "#sector=0": "sector=0: 0 is no sector: sectors are 1 to 20000",
    "#course=70000-1": "course=70000-1: 70000 is beyond this universe (1 to 20000)",
    "#course=1-1374&avoid=5,1": "avoid=5,1: 1 is where the course starts: a course cannot avoid it",
    "#bubble=G": 'bubble=G: "G" is not a number',
    "#ports=5&want=buys-gold": "want=buys-gold: not something to look for (such as buys-ore, sells-equ or class-3)",
    "#ports=5": "ports=5: nothing to look for (add want=buys-ore, want=class-3 or the like)",
    "#%E0%A4%A": "%E0%A4%A: not a part of an address (such as sector=12)",
    "#hops=3": "hops=3: names no view (such as sector=12)",
  };
  for (const [hash, problem] of Object.entries(wrong)) assert.deepEqual(parseAddress(hash, N), { view: DEFAULT, problems: [problem] }, hash);
});

test("a sound view is shown with its hop count brought into range, and stray parts are named", () => {
  const hops = {
    "#sector=10&hops=99": [5, "hops=99: 99 is out of range (1 to 5); 5 hops shown"],
    "#sector=10&hops=0": [1, "hops=0: 0 is out of range (1 to 5); 1 hop shown"],
    "#sector=10&hops=x": [2, 'hops=x: "x" is not a number; 2 hops shown'],
  };
  for (const [hash, [count, problem]] of Object.entries(hops)) {
    assert.deepEqual(parseAddress(hash, N), { view: { view: "sector", sector: 10, hops: count }, problems: [problem] }, hash);
  }
  assert.deepEqual(parseAddress("#bubble=40&hops=3&zoom=2&bubble=41&course=1-2", N), {
    view: { view: "bubble", gate: 40 },
    problems: ["zoom=2: no part this page knows", "bubble=41: bubble is given twice",
      "course=1-2: one view at a time (bubble is given first)", "hops=3: no part of a bubble view"],
  });
});

test("the daily questions' addresses read back, and say what is wrong with them", () => {
  const views = [
    { view: "trade", from: 1, apart: 3, within: Infinity, holds: 50 },
    { view: "trade", from: 7, apart: 1, within: 12, holds: 500 },
    { view: "explore", from: 1, within: 5 },
    { view: "changes" },
    { view: "changes", from: 12, within: 5 },
    { view: "changes", from: 12, within: Infinity },
    { view: "course", from: 1, to: 6789, stops: [77, 1, 300], avoid: [5] },
    { view: "find", text: "safe spot & more", from: 12 },
  ];
  for (const view of views) assert.deepEqual(parseAddress(formatAddress(view), 20000), { view, problems: [] });
  assert.equal(formatAddress(views[0]), "#trade=1&apart=3&within=all&holds=50");
  assert.equal(formatAddress(views[4]), "#changes=12&within=5");
  assert.equal(formatAddress(views[6]), "#course=1-77-1-300-6789&avoid=5");
  assert.deepEqual(parseAddress("#trade=5", 100).view, { view: "trade", from: 5, apart: 1, within: Infinity, holds: 50 });
  assert.deepEqual(parseAddress("#changes=5", 100).view, { view: "changes", from: 5, within: Infinity });
  // Out of range: drawn at the nearest value, and said so.
  assert.deepEqual(parseAddress("#trade=5&apart=4&holds=0", 100), {
    view: { view: "trade", from: 5, apart: 3, within: Infinity, holds: 1 },
    problems: ["apart=4: 4 is out of range (1 to 3); 3 hops apart shown", "holds=0: 0 is out of range (1 to 500); holds of 1 shown"],
  });
  assert.deepEqual(parseAddress("#trade=5&apart=x&holds=9999", 100).problems,
    ['apart=x: "x" is not a number; 1 hop apart shown', "holds=9999: 9999 is out of range (1 to 500); holds of 500 shown"]);
  assert.deepEqual(parseAddress("#explore=5&within=x", 100).problems, ['within=x: "x" is not a number, or all']);
  assert.deepEqual(parseAddress("#changes&within=3", 100), { view: { view: "changes" },
    problems: ["within=3: only changes near a sector take it (such as changes=12&within=5)"] });
  const tenStops = `#course=${Array.from({ length: 11 }, (_, i) => i + 1).join("-")}`;
  assert.deepEqual(parseAddress(tenStops, 100).problems, [`${tenStops.slice(1)}: a course takes at most 8 stops between its ends`]);
  assert.equal(parseAddress(tenStops.replace("-11", ""), 100).view.stops.length, 8);
  assert.deepEqual(parseAddress("#course=1-2-3&avoid=2", 100).problems, ["avoid=2: 2 is a stop of the course: a course cannot avoid it"]);
  assert.deepEqual(parseAddress("#course=1-x-3", 100).problems, ['course=1-x-3: "x" is not a number']);
});
