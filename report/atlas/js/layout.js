// Where each sector of a drawing goes. A neighbourhood is drawn on rings by
// hop count around its centre, so that how far a sector is shows at a glance;
// on each ring, sectors sit near the sectors of the ring inside that lead to
// them, and a force simulation (d3-force, handed in as `d3`) then settles them
// so that no two overlap and linked sectors draw together, while a radial
// force keeps every sector on its ring. A course is drawn as a line of sectors
// that snakes across the picture.

// The distance between rings and the room a sector takes on a ring, in the
// drawing's units (a sector's circle has a radius of 16).
export const RING_GAP = 110;
export const SECTOR_ROOM = 64;

// The radius of every ring: at least RING_GAP beyond the ring inside, and
// wide enough to hold its sectors side by side.
export function ringRadii(nodes) {
  const counts = [];
  for (const node of nodes) counts[node.ring] = (counts[node.ring] || 0) + 1;
  const radii = [0];
  for (let r = 1; r < counts.length; r++) {
    radii[r] = Math.max(radii[r - 1] + RING_GAP, ((counts[r] || 0) * SECTOR_ROOM) / (2 * Math.PI));
  }
  return radii;
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
// { positions: Map sector -> { x, y }, radii }. Ring 1 goes round in the order
// of the nodes (the centre's list order), starting at the top; each outer
// sector near the mean angle of its links to the ring inside.
export function ringLayout(nodes, edges) {
  const radii = ringRadii(nodes);
  const angle = new Map();
  const links = new Map();
  for (const { from, to } of edges) {
    if (!links.has(from)) links.set(from, []);
    if (!links.has(to)) links.set(to, []);
    links.get(from).push(to);
    links.get(to).push(from);
  }
  const rings = [];
  for (const node of nodes) (rings[node.ring] ||= []).push(node.sector);
  for (let r = 0; r < rings.length; r++) {
    const ring = rings[r] || [];
    if (r === 0) {
      for (const s of ring) angle.set(s, 0);
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
    const placed = spread(wanted.map((w) => w.a), SECTOR_ROOM / radii[r]);
    wanted.forEach((w, i) => angle.set(w.s, placed[i]));
  }
  const positions = new Map();
  for (const node of nodes) {
    const a = angle.get(node.sector);
    const radius = radii[node.ring];
    positions.set(node.sector, { x: radius * Math.cos(a), y: radius * Math.sin(a) });
  }
  return { positions, radii };
}

// The ring layout, settled by the force simulation of `d3` (d3-force) when it
// is given: a fixed number of steps, so that the same sectors are always drawn
// the same way.
export function layoutRings(nodes, edges, d3, steps = 160) {
  const { positions, radii } = ringLayout(nodes, edges);
  if (!d3 || nodes.length < 3) return { positions, radii };
  const bodies = nodes.map((node) => {
    const p = positions.get(node.sector);
    const body = { id: node.sector, ring: node.ring, x: p.x, y: p.y };
    if (node.ring === 0) {
      body.fx = p.x;
      body.fy = p.y;
    }
    return body;
  });
  const simulation = d3.forceSimulation(bodies)
    .force("ring", d3.forceRadial((b) => radii[b.ring], 0, 0).strength(1))
    .force("link", d3.forceLink(edges.map((e) => ({ source: e.from, target: e.to })))
      .id((b) => b.id).distance(RING_GAP).strength(0.015))
    .force("apart", d3.forceCollide(SECTOR_ROOM / 2).strength(0.9))
    .stop();
  for (let i = 0; i < steps; i++) simulation.tick();
  const settled = new Map();
  for (const b of bodies) settled.set(b.id, { x: b.x, y: b.y });
  return { positions: settled, radii };
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
  return { positions, radii: [] };
}
