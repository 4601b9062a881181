// The history drawn: a small line chart of figures by recorded run, with its
// figures in a table a screen reader reads, and a port's amounts over its
// observations with how fast it refills.

import { el, svg } from "./dom.js";
import { PRODUCTS, PRODUCT_KEYS } from "./ports.js";
import { refillRates } from "./history.js";

const WIDTH = 280;
const HEIGHT = 120;
const LEFT = 44;
const RIGHT = 10;
const TOP = 8;
const BOTTOM = 32;

// A run's time as a chart's axis shows it: "01-03 10:30".
export function shortTime(at) {
  return at.length >= 16 ? at.slice(5, 16) : at;
}

// A chart of `lines` ([{ key, name, values }], a value per point) over the
// points, labelled by `labels` (a text per point), with its axes named
// `xLabel` and `yLabel`: a figure of the SVG (class `className`, data-points
// the number of points; its title and description say what it shows) and a
// key of the lines, and the figures in a table only a screen reader reads.
export function lineChart({ className, title, xLabel, yLabel, labels, lines }) {
  const points = labels.length;
  const max = Math.max(1, ...lines.flatMap((line) => line.values));
  const plotWidth = WIDTH - LEFT - RIGHT;
  const plotHeight = HEIGHT - TOP - BOTTOM;
  const x = (i) => LEFT + (points > 1 ? (i * plotWidth) / (points - 1) : plotWidth / 2);
  const y = (v) => TOP + plotHeight - (v * plotHeight) / max;
  const id = `${className}-chart`;
  const picture = svg("svg", { class: className, "data-points": points, viewBox: `0 0 ${WIDTH} ${HEIGHT}`, role: "img",
    "aria-labelledby": `${id}-title`, "aria-describedby": `${id}-desc` },
  svg("title", { id: `${id}-title` }, title),
  svg("desc", { id: `${id}-desc` }, `${lines.map((line) => line.name).join(", ")} at each of ${points} ${points === 1 ? "run" : "runs"}, from ${labels[0]} to ${labels[points - 1]}; the table after the chart lists the figures`),
  svg("path", { class: "axis", d: `M${LEFT},${TOP}V${TOP + plotHeight}H${WIDTH - RIGHT}` }),
  svg("text", { class: "tick", x: LEFT - 4, y: TOP + 4, "text-anchor": "end" }, String(max)),
  svg("text", { class: "tick", x: LEFT - 4, y: TOP + plotHeight, "text-anchor": "end" }, "0"),
  svg("text", { class: "tick", x: LEFT, y: TOP + plotHeight + 11, "text-anchor": "start" }, labels[0]),
  points > 1 ? svg("text", { class: "tick", x: WIDTH - RIGHT, y: TOP + plotHeight + 11, "text-anchor": "end" }, labels[points - 1]) : "",
  svg("text", { class: "axis-label", x: LEFT + plotWidth / 2, y: HEIGHT - 4, "text-anchor": "middle" }, xLabel),
  svg("text", { class: "axis-label", x: 10, y: TOP + plotHeight / 2, "text-anchor": "middle", transform: `rotate(-90 10 ${TOP + plotHeight / 2})` }, yLabel),
  ...lines.flatMap(({ key, values }) => [
    svg("polyline", { class: `line line-${key}`, points: values.map((v, i) => `${x(i).toFixed(1)},${y(v).toFixed(1)}`).join(" ") }),
    ...values.map((v, i) => svg("circle", { class: `dot line-${key}`, cx: x(i).toFixed(1), cy: y(v).toFixed(1), r: 1.8 })),
  ]));
  const key = el("ul", { class: "chart-key", "aria-hidden": "true" },
    ...lines.map(({ key: k, name }) => el("li", {}, el("span", { class: `swatch line-${k}` }), name)));
  const table = el("table", { class: "unseen" }, el("caption", {}, title),
    el("thead", {}, el("tr", {}, el("th", { scope: "col" }, xLabel), ...lines.map(({ name }) => el("th", { scope: "col" }, name)))),
    el("tbody", {}, ...labels.map((label, i) => el("tr", {}, el("th", { scope: "row" }, label),
      ...lines.map(({ values }) => el("td", {}, String(values[i])))))));
  return el("figure", { class: "chart" }, picture, key, table);
}

// What the history says of the port of sector s: its amounts over its
// observations, and how fast each product refills; [] without a history.
export function portTrend(atlas, s) {
  const { history } = atlas.u;
  if (!history) return [];
  const seen = history.observed.get(s);
  if (!seen) return [el("p", { class: "quiet" }, "no observation of this port in the recorded runs")];
  const chart = lineChart({
    className: "history",
    title: `The port's amounts over its last ${seen.length === 1 ? "observation" : `${seen.length} observations`}`,
    xLabel: "run",
    yLabel: "amount",
    labels: seen.map(({ run }) => shortTime(history.runs[run].at)),
    lines: PRODUCTS.map((name, p) => ({ key: PRODUCT_KEYS[p], name, values: seen.map(({ amount }) => amount[p]) })),
  });
  const rates = refillRates(history, seen);
  return [chart, rates.length === 0 ? "" : el("ul", { class: "refills" }, ...rates.map(({ product, perDay }) =>
    el("li", { "data-product": PRODUCT_KEYS[product] }, `${PRODUCTS[product]} refills about ${perDay} a day`)))];
}
