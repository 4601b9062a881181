// Moving between the drawn sectors by arrow key: the sector the arrow points
// to is the nearest one within 45 degrees of its direction, or, when none is,
// the nearest one on that side at all.

// The index in `points` ({ x, y }, screen coordinates: y grows downwards) of
// the point an arrow leads to from `from`, for the direction [dx, dy] (one of
// [1, 0], [-1, 0], [0, 1], [0, -1]); -1 when no point lies that way.
export function nearestInDirection(points, from, [dx, dy]) {
  let best = -1;
  let bestCone = false;
  let bestDistance = Infinity;
  points.forEach((p, i) => {
    const along = (p.x - from.x) * dx + (p.y - from.y) * dy;
    if (along <= 0) return;
    const across = Math.abs((p.x - from.x) * dy - (p.y - from.y) * dx);
    const cone = across <= along;
    const distance = Math.hypot(along, across);
    if ((cone && !bestCone) || (cone === bestCone && distance < bestDistance)) {
      best = i;
      bestCone = cone;
      bestDistance = distance;
    }
  });
  return best;
}
