// Where each sector of a drawing goes. A neighbourhood is drawn on rings by
// hop count around its centre, so that how far a sector is shows at a glance;
// on each ring, sectors sit near the sectors of the ring inside that lead to
// them, and a force simulation then settles them
// so that no two overlap and linked sectors draw together, while a radial
// force keeps every sector on its ring. A course is drawn as a line of sectors
// that snakes across the picture.

// The distance between rings and the room a sector takes on a ring, in the
// drawing's units (a sector's circle has a radius of 16).
export const RING_GAP = 110;
export const SECTOR_ROOM = 64;
// Radial distance between the circles of one ring when it needs several.
const LANE_GAP = 52;

// The room of every ring: a band from `inner` to `outer` whose area grows with
// the sectors it holds, so that a ring of three hundred sectors does not
// squeeze the rings inside it; a ring too full for one circle spreads over
// several (`circles`, their radii), its sectors taking turns. The first band
// begins RING_GAP from the centre, each next one RING_GAP beyond the one inside.
export function ringBands(nodes) {
  const counts = [];
  for (const node of nodes) counts[node.ring] = (counts[node.ring] || 0) + 1;
  const bands = [{ inner: 0, outer: 0, circles: [0] }];
  for (let r = 1; r < counts.length; r++) {
    const count = counts[r] || 0;
    const inner = bands[r - 1].outer + RING_GAP;
    // One circle holds inner * 2 pi / SECTOR_ROOM sectors; each further one,
    // LANE_GAP out, a little more.
    const circles = [inner];
    let room = (2 * Math.PI * inner) / SECTOR_ROOM;
    while (room < count) {
      const radius = inner + circles.length * LANE_GAP;
      circles.push(radius);
      room += (2 * Math.PI * radius) / SECTOR_ROOM;
    }
    bands.push({ inner, outer: circles[circles.length - 1], circles });
  }
  return bands;
}

// The sectors each sector of a drawing is linked to, either way: Map sector
// -> [sectors].
export function linksOf(edges) {
  const links = new Map();
  for (const { from, to } of edges) {
    if (!links.has(from)) links.set(from, []);
    if (!links.has(to)) links.set(to, []);
    links.get(from).push(to);
    links.get(to).push(from);
  }
  return links;
}

function circularMean(angles) {
  let x = 0;
  let y = 0;
  for (const a of angles) {
    x += Math.cos(a);
    y += Math.sin(a);
  }
  return Math.atan2(y, x);
}

// Spreads angles (sorted ascending, each the angle a sector would like) so that
// neighbours on the ring are at least `gap` apart, moving the group as little
// as a shift of the whole can; a ring too full for that is spaced evenly.
function spread(wanted, gap) {
  const count = wanted.length;
  if (count * gap >= 2 * Math.PI) {
    return wanted.map((_, i) => wanted[0] + (2 * Math.PI * i) / count);
  }
  const placed = wanted.slice();
  for (let i = 1; i < count; i++) placed[i] = Math.max(placed[i], placed[i - 1] + gap);
  let shift = 0;
  for (let i = 0; i < count; i++) shift += placed[i] - wanted[i];
  shift /= count;
  return placed.map((a) => a - shift);
}

// Places `nodes` ({ sector, ring }, the centre alone on ring 0) on their rings:
// { positions: Map sector -> { x, y }, radius: Map sector -> its circle's
// radius, bands }. Ring 1 goes round in the order of the nodes (the centre's
// list order), starting at the top; each outer sector near the mean angle of
// its links to the ring inside. On a ring of several circles, sectors next to
// each other in angle take the circles in turn.
export function ringLayout(nodes, edges) {
  const bands = ringBands(nodes);
  const angle = new Map();
  const radius = new Map();
  const links = linksOf(edges);
  const rings = [];
  for (const node of nodes) (rings[node.ring] ||= []).push(node.sector);
  for (let r = 0; r < rings.length; r++) {
    const ring = rings[r] || [];
    const { circles } = bands[r];
    if (r === 0) {
      for (const s of ring) {
        angle.set(s, 0);
        radius.set(s, 0);
      }
      continue;
    }
    const wanted = ring.map((s, i) => {
      const inner = (links.get(s) || []).filter((t) => angle.has(t) && t !== s);
      return {
        s,
        a: inner.length > 0 && r > 1 ? circularMean(inner.map((t) => angle.get(t)))
          : -Math.PI / 2 + (2 * Math.PI * i) / ring.length,
      };
    });
    wanted.sort((p, q) => p.a - q.a || p.s - q.s);
    // Sectors next to each other in angle are on different circles, so they
    // may stand closer in angle by as much.
    const placed = spread(wanted.map((w) => w.a), SECTOR_ROOM / (bands[r].inner * circles.length));
    wanted.forEach((w, i) => {
      angle.set(w.s, placed[i]);
      radius.set(w.s, circles[i % circles.length]);
    });
  }
  const positions = new Map();
  for (const node of nodes) {
    const a = angle.get(node.sector);
    const d = radius.get(node.sector);
    positions.set(node.sector, { x: d * Math.cos(a), y: d * Math.sin(a) });
  }
  return { positions, radius, bands };
}

// The force simulation that settles a ring layout, on typed arrays: what
// d3-force's simulation does with a radial force to each sector's ring, a
// link force along the warps and the force below that keeps sectors apart,
// the same arithmetic in the same order (the same picture), several times
// faster than on an object a sector. Alpha decays from 1 as d3-force's does,
// and each step's velocities are kept at VELOCITY_KEPT.
const ALPHA_DECAY = 1 - Math.pow(0.001, 1 / 300);
const VELOCITY_KEPT = 0.6;
const LINK_STRENGTH = 0.015;
const APART_STRENGTH = 0.9;

// The state of a simulation of `n` bodies: positions, velocities, and the
// grid the apart force finds neighbours on.
export function simulationState(n) {
  return {
    n, x: new Float64Array(n), y: new Float64Array(n), vx: new Float64Array(n), vy: new Float64Array(n),
    first: new Int32Array(0), next: new Int32Array(n),
  };
}

// One step of the force that keeps circles of radius `reach` / 2 apart as
// d3-force's collide does (each pair that would overlap at the next step is
// pushed apart along the line between them, each half the way, by `strength`
// of the overlap), finding the pairs on a grid of cells `reach` wide rather
// than a quadtree built again at every step.
export function pushApart(state, reach, strength) {
  const { n, x, y, vx, vy, next } = state;
  let left = Infinity;
  let top = Infinity;
  let right = -Infinity;
  let bottom = -Infinity;
  for (let i = 0; i < n; i++) {
    left = Math.min(left, x[i]);
    right = Math.max(right, x[i]);
    top = Math.min(top, y[i]);
    bottom = Math.max(bottom, y[i]);
  }
  const columns = Math.floor((right - left) / reach) + 1;
  const rows = Math.floor((bottom - top) / reach) + 1;
  if (state.first.length < columns * rows) state.first = new Int32Array(columns * rows);
  const { first } = state;
  first.fill(-1, 0, columns * rows);
  // The bodies of each cell, as a list through `next` from `first` (-1 ends
  // it), in order.
  for (let i = n - 1; i >= 0; i--) {
    const cell = Math.floor((x[i] - left) / reach) + columns * Math.floor((y[i] - top) / reach);
    next[i] = first[cell];
    first[cell] = i;
  }
  // Where each body will be, against where the later ones will be, among the
  // bodies of the cells round it.
  for (let i = 0; i < n; i++) {
    const xi = x[i] + vx[i];
    const yi = y[i] + vy[i];
    const column = Math.floor((xi - left) / reach);
    const row = Math.floor((yi - top) / reach);
    for (let r = Math.max(row - 1, 0); r <= Math.min(row + 1, rows - 1); r++) {
      for (let c = Math.max(column - 1, 0); c <= Math.min(column + 1, columns - 1); c++) {
        for (let j = first[c + columns * r]; j >= 0; j = next[j]) {
          if (j <= i) continue;
          let dx = xi - x[j] - vx[j];
          let dy = yi - y[j] - vy[j];
          let l = dx * dx + dy * dy;
          if (l >= reach * reach) continue;
          // Two at one point part in a fixed direction.
          if (dx === 0) {
            dx = 1e-6;
            l += dx * dx;
          }
          if (dy === 0) {
            dy = 1e-6;
            l += dy * dy;
          }
          l = Math.sqrt(l);
          l = (((reach - l) / l) * strength) / 2;
          dx *= l;
          dy *= l;
          vx[i] += dx;
          vy[i] += dy;
          vx[j] -= dx;
          vy[j] -= dy;
        }
      }
    }
  }
}

// The ring layout, settled by the force simulation: `steps` of it, a fixed
// number, so that the same sectors are always drawn the same way. The centre
// (radius 0) stays put.
export function layoutRings(nodes, edges, steps = 160) {
  const { positions, radius, bands } = ringLayout(nodes, edges);
  const n = nodes.length;
  if (n < 3) return { positions, bands };
  const state = simulationState(n);
  const { x, y, vx, vy } = state;
  const ring = new Float64Array(n);
  const fixed = new Uint8Array(n);
  const index = new Map();
  nodes.forEach((node, i) => {
    const p = positions.get(node.sector);
    x[i] = p.x;
    y[i] = p.y;
    ring[i] = radius.get(node.sector);
    fixed[i] = ring[i] === 0 ? 1 : 0;
    index.set(node.sector, i);
  });
  // The links' ends, and the share of each link's pull its target takes: the
  // source's count of links against both ends'.
  const m = edges.length;
  const source = new Int32Array(m);
  const target = new Int32Array(m);
  const count = new Float64Array(n);
  edges.forEach((edge, k) => {
    source[k] = index.get(edge.from);
    target[k] = index.get(edge.to);
    count[source[k]]++;
    count[target[k]]++;
  });
  const bias = new Float64Array(m);
  for (let k = 0; k < m; k++) bias[k] = count[source[k]] / (count[source[k]] + count[target[k]]);
  let alpha = 1;
  for (let step = 0; step < steps; step++) {
    alpha += (0 - alpha) * ALPHA_DECAY;
    // Each sector towards its ring.
    for (let i = 0; i < n; i++) {
      const dx = x[i] || 1e-6;
      const dy = y[i] || 1e-6;
      const r = Math.sqrt(dx * dx + dy * dy);
      const k = ((ring[i] - r) * alpha) / r;
      vx[i] += dx * k;
      vy[i] += dy * k;
    }
    // Linked sectors towards RING_GAP apart; two at one point part at random.
    for (let k = 0; k < m; k++) {
      const s = source[k];
      const t = target[k];
      let dx = x[t] + vx[t] - x[s] - vx[s] || (Math.random() - 0.5) * 1e-6;
      let dy = y[t] + vy[t] - y[s] - vy[s] || (Math.random() - 0.5) * 1e-6;
      let l = Math.sqrt(dx * dx + dy * dy);
      l = ((l - RING_GAP) / l) * alpha * LINK_STRENGTH;
      dx *= l;
      dy *= l;
      let b = bias[k];
      vx[t] -= dx * b;
      vy[t] -= dy * b;
      b = 1 - b;
      vx[s] += dx * b;
      vy[s] += dy * b;
    }
    pushApart(state, SECTOR_ROOM, APART_STRENGTH);
    for (let i = 0; i < n; i++) {
      if (fixed[i]) {
        vx[i] = 0;
        vy[i] = 0;
      } else {
        x[i] += vx[i] *= VELOCITY_KEPT;
        y[i] += vy[i] *= VELOCITY_KEPT;
      }
    }
  }
  const settled = new Map();
  nodes.forEach((node, i) => settled.set(node.sector, { x: x[i], y: y[i] }));
  return { positions: settled, bands };
}

// A course as a line of sectors: rows of at most `perRow`, every other row
// running back, so that each hop joins two neighbours on the picture.
export function layoutCourse(course, perRow = 6) {
  const positions = new Map();
  const across = 130;
  const down = 120;
  course.forEach((s, i) => {
    const row = Math.floor(i / perRow);
    const column = row % 2 === 0 ? i % perRow : perRow - 1 - (i % perRow);
    // A sector listed twice (a course never is, but a picture must not break).
    if (!positions.has(s)) positions.set(s, { x: column * across, y: row * down });
  });
  return { positions };
}

// The part of the picture to show first, in the drawing's units: every point
// of `points` (an iterable of { x, y }) with `margin` around, matched to the
// screen's shape, and never more than `maxScale` screen pixels a unit (a
// small picture is not blown up). With `minScale`, never less than that
// either: a picture too large then shows the part around `anchor` (default
// its first point), within the picture. { x, y, width, height, scale }.
export function fitView(points, screen, { margin = 60, maxScale = 1.25, minScale = 0, anchor = null } = {}) {
  let minX = Infinity, minY = Infinity, maxX = -Infinity, maxY = -Infinity;
  let first = null;
  for (const p of points) {
    first ||= p;
    minX = Math.min(minX, p.x); minY = Math.min(minY, p.y);
    maxX = Math.max(maxX, p.x); maxY = Math.max(maxY, p.y);
  }
  if (!first) minX = minY = maxX = maxY = 0;
  const screenWidth = screen.width > 0 ? screen.width : 600;
  const screenHeight = screen.height > 0 ? screen.height : 400;
  let width = Math.max(maxX - minX + 2 * margin, screenWidth / maxScale);
  let height = Math.max(maxY - minY + 2 * margin, screenHeight / maxScale);
  if (width / height < screenWidth / screenHeight) width = (height * screenWidth) / screenHeight;
  else height = (width * screenHeight) / screenWidth;
  let x = (minX + maxX) / 2 - width / 2;
  let y = (minY + maxY) / 2 - height / 2;
  if (minScale > 0 && screenWidth / width < minScale) {
    const at = anchor || first || { x: 0, y: 0 };
    width = screenWidth / minScale;
    height = screenHeight / minScale;
    x = Math.min(Math.max(at.x - width / 2, minX - margin), maxX + margin - width);
    y = Math.min(Math.max(at.y - height / 2, minY - margin), maxY + margin - height);
  }
  return { x, y, width, height, scale: screenWidth / width };
}
