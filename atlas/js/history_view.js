// The history view: the known sectors and ports by recorded run, and the busy
// ports, whose stock fell between their last two observations (someone has
// been trading there), the largest fall first, each row a link to its sector.

import { el, counted } from "./dom.js";
import { sectorLink, showNoDetails } from "./details.js";
import { drawNothing } from "./drawing.js";
import { PRODUCT_KEYS } from "./ports.js";
import { busyPorts } from "./history.js";
import { lineChart, shortTime } from "./history_chart.js";
import { resultTable } from "./result_table.js";

const BUSY_PAGE = 50;

// "ore 120, equ 40": the products that fell, by how much.
function fallWords(falls) {
  return falls.map((fall, p) => (fall > 0 ? `${PRODUCT_KEYS[p]} ${fall}` : "")).filter(Boolean).join(", ");
}

function busyRow(history, { sector, fall, falls }) {
  const seen = history.observed.get(sector);
  const last = history.runs[seen[seen.length - 1].run].at;
  return el("tr", { "data-sector": sector, "data-fall": fall }, el("td", {}, sectorLink(sector)),
    el("td", {}, String(fall)), el("td", { class: "text" }, fallWords(falls)), el("td", { class: "text" }, last));
}

export const historyView = {
  // Its list is its answer: the tools get more room.
  wide: true,
  tab: "history",

  show(atlas) {
    const { history } = atlas.u;
    const result = document.getElementById("history-result");
    showNoDetails();
    if (!history) {
      const none = "This page carries no history: run korvan2a with /history+ to keep one.";
      result.replaceChildren(el("p", { id: "history-none" }, none));
      drawNothing(atlas, none);
      return;
    }
    const { runs } = history;
    const busy = busyPorts(history);
    const parts = [el("p", { id: "history-count" }, `${counted(runs.length, "recorded run")}, ${counted(history.observed.size, "port")} observed`)];
    if (runs.length > 0) {
      parts.push(lineChart({
        className: "runs",
        title: "Known sectors and ports by recorded run",
        xLabel: "run",
        yLabel: "sectors, ports",
        labels: runs.map(({ at }) => shortTime(at)),
        lines: [{ key: "known", name: "known sectors", values: runs.map((r) => r.known) },
          { key: "ports", name: "ports", values: runs.map((r) => r.ports) }],
      }));
    }
    parts.push(el("h3", { id: "busy-heading" }, `Busy ports (${busy.length})`),
      el("p", { class: "hint" }, "Ports whose stock fell between their last two observations: someone has been trading there. The largest fall first."));
    parts.push(busy.length === 0 ? el("p", { class: "quiet" }, "no port's stock fell between its last two observations")
      : resultTable({
        id: "busy-table",
        columns: [
          { key: "sector", label: "sector" },
          { key: "fall", label: "fell", title: "units, summed over the products that fell" },
          { key: "what", label: "what fell", text: true },
          { key: "last", label: "last observed", text: true },
        ],
        items: busy,
        page: BUSY_PAGE,
        makeRow: (item) => busyRow(history, item),
      }));
    result.replaceChildren(...parts);
    drawNothing(atlas, `${counted(runs.length, "recorded run")}; ${counted(busy.length, "busy port")}: choose one to see it`);
  },

  fresh() {
    return { view: "history" };
  },

  focus() {
    return 0;
  },

  wire() {},
};
