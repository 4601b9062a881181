import { test } from "node:test";
import assert from "node:assert/strict";
import { parseAddress, formatAddress, sectorList } from "./address.js";

test("every view's address reads back as the same view", () => {
  const views = [
    { view: "sector", sector: 12, hops: 3 },
    { view: "course", from: 1, to: 6789, avoid: [] },
    { view: "course", from: 1, to: 6789, avoid: [12, 345] },
    { view: "ports", from: 7, want: { product: 2, buys: true } },
    { view: "ports", from: 7, want: { mask: 3 } },
    { view: "bubble", gate: 40 },
  ];
  for (const view of views) assert.deepEqual(parseAddress(formatAddress(view)), view);
  assert.equal(formatAddress(views[2]), "#course=1-6789&avoid=12,345");
  assert.equal(formatAddress(views[4]), "#ports=7&want=class-1");
});

test("addresses that ask for nothing sound give the default view", () => {
  assert.deepEqual(parseAddress("#sector=12"), { view: "sector", sector: 12, hops: 2 });
  assert.deepEqual(parseAddress("#sector=12&hops=9"), { view: "sector", sector: 12, hops: 2 });
  for (const hash of ["", "#", "#sector=0", "#sector=70000", "#sector=1e3", "#course=1-", "#course=a-b",
    "#bubble=x", "#ports=5&want=buys-gold", "#%E0%A4%A", "#sector=<script>"]) {
    assert.deepEqual(parseAddress(hash), { view: "none" }, hash);
  }
  assert.deepEqual(parseAddress("#course=3-4&avoid=5,%20x,6;7"), { view: "course", from: 3, to: 4, avoid: [5, 6, 7] });
  assert.deepEqual(sectorList(" 1, 2 3;;0 99999 x"), [1, 2, 3]);
});
