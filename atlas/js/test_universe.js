// Small hand-made universes for the modules' tests, written in the form the
// run writes its data block and decoded as the page decodes it.

import { decodeUniverse } from "./universe.js";

// `warps`: { sector: [[target, kind], ...] } (kinds 0 one-way out, 1 two-way,
// 2 one-way in); `explored`: sectors listed in the capture (default: every
// sector with warps of its own); `ports`: { sector: [mask, [percents], [amounts]] };
// `bubbles`: { sector: [gate, depth, compromised, explored] }; `changes`: the
// data block's "changes" member as the run writes it.
export function makeUniverse({ n, warps = {}, explored, figs = [], ports = {}, specials = [0, 1, 0, 0, 0],
  hopsTo = [], hopsFrom = [], bubbles = {}, notes = {}, logs = {}, changes }) {
  const listed = explored || Object.keys(warps).map(Number);
  let flags = "";
  const warpList = [];
  for (let s = 1; s <= n; s++) {
    flags += String((listed.includes(s) ? 1 : 0) + (figs.includes(s) ? 2 : 0));
    const list = warps[s];
    if (!list) {
      warpList.push(0);
      continue;
    }
    warpList.push(list.length + 1, ...list.map(([t, kind]) => t * 4 + kind));
  }
  const portList = [];
  let portClass = "";
  for (const [s, [mask, percent, amount]] of Object.entries(ports)) {
    portList.push(Number(s), mask + 8, ...percent, ...amount);
    portClass += [0, 1, 2].map((i) => ((mask >> i) & 1 ? "B" : "S")).join("");
  }
  const bubbleList = [];
  for (const [s, [gate, depth, compromised, wasExplored]] of Object.entries(bubbles)) {
    bubbleList.push(Number(s), gate, depth, compromised + 2 * wasExplored);
  }
  const texts = (map) => Object.entries(map).flatMap(([s, text]) => [Number(s), text]);
  return decodeUniverse({
    format: 1, game: "test", sectors: n, specials, flags, warps: warpList, ports: portList, portClass,
    hopsTo: specials.map((_, k) => hopsTo[k] || null), hopsFrom: specials.map((_, k) => hopsFrom[k] || null),
    bubbles: bubbleList, notes: texts(notes), logs: texts(logs), changes,
  });
}

// Two-way warps between each pair of `pairs`, both ends listed.
export function twoWays(pairs) {
  const warps = {};
  for (const [a, b] of pairs) {
    (warps[a] ||= []).push([b, 1]);
    (warps[b] ||= []).push([a, 1]);
  }
  return warps;
}
