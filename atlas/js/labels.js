// Which labels of a drawing are shown: no two may overlap, so where two would,
// the lesser one is left out. The labels are taken in order of rank, and each
// is shown when it overlaps none shown before it; a quadtree (d3-quadtree,
// handed in as `d3`) of the shown ones' centres finds the few it could touch.
// Marks a label must not cover (what changed at a sector) stand in the
// quadtree from the start.

// `labels`: [{ id, x, y, box: { left, top, right, bottom }, rank }], the box
// around the point (x, y) the label is drawn at, as it is at scale 1; a lower
// rank goes first, equal ranks in the order given. `marks`: [{ id, left,
// top, right, bottom }], the boxes of marks drawn at sector `id`, as drawn:
// only the label of that sector, or one of rank 0 (the centre's), may lie on
// them. `scale`: how much the labels are enlarged about their points; `gap`:
// the room kept between two labels, in the drawing's units. Returns the Set
// of the ids shown.
export function chooseLabels(labels, d3, { scale = 1, gap = 2, marks = [] } = {}) {
  const order = labels.map((label, i) => ({ label, i }));
  order.sort((a, b) => a.label.rank - b.label.rank || a.i - b.i);
  const shown = new Set();
  const placed = d3.quadtree().x((b) => (b.left + b.right) / 2).y((b) => (b.top + b.bottom) / 2);
  // The largest half width and half height of a box placed: a box that
  // overlaps the one tried has its centre within that much of it.
  let halfWidth = 0;
  let halfHeight = 0;
  // A label's or mark's box as drawn, with half the gap round it.
  const edges = ({ x, y, box }) => ({
    left: x + box.left * scale - gap / 2, right: x + box.right * scale + gap / 2,
    top: y + box.top * scale - gap / 2, bottom: y + box.bottom * scale + gap / 2,
  });
  const place = (b) => {
    placed.add(b);
    halfWidth = Math.max(halfWidth, (b.right - b.left) / 2);
    halfHeight = Math.max(halfHeight, (b.bottom - b.top) / 2);
  };
  for (const { id, left, top, right, bottom } of marks) {
    place({ left: left - gap / 2, right: right + gap / 2, top: top - gap / 2, bottom: bottom + gap / 2, owner: id });
  }
  for (const { label } of order) {
    const { id, rank } = label;
    const b = edges(label);
    const x0 = b.left - halfWidth;
    const x1 = b.right + halfWidth;
    const y0 = b.top - halfHeight;
    const y1 = b.bottom + halfHeight;
    let free = true;
    placed.visit((node, nx0, ny0, nx1, ny1) => {
      if (!free || nx0 > x1 || nx1 < x0 || ny0 > y1 || ny1 < y0) return true;
      if (!node.length) {
        for (let leaf = node; leaf && free; leaf = leaf.next) {
          const o = leaf.data;
          // A label lies on its own marks' room freely, the centre's on any.
          if (o.owner !== undefined && (o.owner === id || rank === 0)) continue;
          if (o.left < b.right && b.left < o.right && o.top < b.bottom && b.top < o.bottom) free = false;
        }
      }
      return false;
    });
    if (!free) continue;
    place(b);
    shown.add(id);
  }
  return shown;
}
