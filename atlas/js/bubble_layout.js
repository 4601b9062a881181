// A bubble drawn as the tree it is, from its gate: the gate on top, each
// member one row further down for each hop it lies from the gate, under the
// members it is reached from. The rows are laid out to use the drawing's
// shape: a level too wide for the drawing wraps onto further rows, and a tree
// too deep continues in a band beside the first, running back up, so that a
// bubble of a few dozen sectors fits the drawing with every sector readable and
// none on another.

import { fitView, linksOf } from "./layout.js";

// Centre to centre: across a row, between rows, and the gap between bands;
// the margin around the picture.
export const TREE_ACROSS = 58;
export const TREE_DOWN = 62;
const BAND_GAP = 90;
export const TREE_MARGIN = 40;
// From this scale on the sectors' numbers can be read (12 units drawn at
// least 9 pixels tall): a larger picture reads no better, and fewer bands and
// fewer wrapped rows win.
const GOOD_SCALE = 0.75;

// The rows of a tree: each level's sectors, ordered under the sectors they are
// reached from, cut into rows of at most `perRow`.
function levelsOf(nodes) {
  const levels = [];
  for (const node of nodes) (levels[node.ring] ||= []).push(node.sector);
  return levels.map((level) => level || []);
}

function rowCount(levels, perRow) {
  let rows = 0;
  for (const level of levels) rows += Math.max(1, Math.ceil(level.length / perRow));
  return rows;
}

// Places `count` wanted positions (ascending) at least `gap` apart, moving the
// row as a whole as little as it can, within [low, high].
function spreadRow(wanted, gap, low, high) {
  const placed = wanted.slice();
  for (let i = 1; i < placed.length; i++) placed[i] = Math.max(placed[i], placed[i - 1] + gap);
  let shift = 0;
  for (let i = 0; i < placed.length; i++) shift += placed[i] - wanted[i];
  shift /= placed.length || 1;
  let from = placed[0] - shift;
  const width = placed[placed.length - 1] - placed[0];
  from = Math.min(Math.max(from, low), Math.max(low, high - width));
  return placed.map((x) => x - placed[0] + from);
}

// The shape that fits the screen best: sectors a row and rows a band.
// Every shape is tried (the sizes are small); the best is the one whose
// picture is at least GOOD_SCALE on screen with the fewest bands and then the
// fewest rows, or else the largest on screen.
export function treeShape(levels, screen) {
  const widest = Math.max(1, ...levels.map((level) => level.length));
  let best = null;
  for (let perRow = 1; perRow <= widest; perRow++) {
    const rows = rowCount(levels, perRow);
    for (let perBand = 1; perBand <= rows; perBand++) {
      const bands = Math.ceil(rows / perBand);
      const width = bands * (perRow - 1) * TREE_ACROSS + (bands - 1) * BAND_GAP;
      const height = (Math.min(perBand, rows) - 1) * TREE_DOWN;
      const { scale } = fitView([{ x: 0, y: 0 }, { x: width, y: height }], screen, { margin: TREE_MARGIN });
      const shape = { perRow, perBand, bands, rows, scale };
      const good = Math.min(scale, GOOD_SCALE);
      const bestGood = best && Math.min(best.scale, GOOD_SCALE);
      if (!best || good > bestGood + 1e-9 ||
          (Math.abs(good - bestGood) <= 1e-9 && (bands < best.bands ||
            (bands === best.bands && (rows < best.rows || (rows === best.rows && scale > best.scale + 1e-9)))))) {
        best = shape;
      }
    }
  }
  return best;
}

// Positions of `nodes` ({ sector, ring }, ring = hops from the gate, the gate
// alone on ring 0) for a drawing of `screen` pixels: { positions, shape }.
export function layoutTree(nodes, edges, screen) {
  const levels = levelsOf(nodes);
  const shape = treeShape(levels, screen);
  const { perRow, perBand } = shape;
  const links = linksOf(edges);
  const ringOf = new Map(nodes.map((node) => [node.sector, node.ring]));
  const positions = new Map();
  const bandWidth = (perRow - 1) * TREE_ACROSS;
  let row = 0;
  levels.forEach((level, depth) => {
    // Each sector under the mean of the sectors of the level above it is
    // linked to, where they are in the same band.
    const band = Math.floor(row / perBand);
    const left = band * (bandWidth + BAND_GAP);
    const wanted = level.map((s) => {
      const above = (links.get(s) || []).filter((t) => ringOf.get(t) === depth - 1 && positions.has(t))
        .map((t) => positions.get(t).x).filter((x) => x >= left && x <= left + bandWidth);
      return { s, x: above.length > 0 ? above.reduce((a, b) => a + b, 0) / above.length : left + bandWidth / 2 };
    });
    wanted.sort((a, b) => a.x - b.x || a.s - b.s);
    for (let start = 0; start < wanted.length || start === 0; start += perRow) {
      const piece = wanted.slice(start, start + perRow);
      const b = Math.floor(row / perBand);
      const inBand = row % perBand;
      const bandLeft = b * (bandWidth + BAND_GAP);
      // Odd bands run back up, so that a level and the next stay close.
      const y = (b % 2 === 0 ? inBand : Math.min(perBand, shape.rows - b * perBand) - 1 - inBand) * TREE_DOWN;
      const shift = bandLeft - left;
      const xs = spreadRow(piece.map((w) => w.x + shift), TREE_ACROSS, bandLeft, bandLeft + bandWidth);
      piece.forEach((w, i) => positions.set(w.s, { x: xs[i], y }));
      row++;
      if (wanted.length === 0) break;
    }
  });
  return { positions, shape };
}
