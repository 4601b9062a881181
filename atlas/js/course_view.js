// The course view: the fewest hops from one sector to another, by stops in
// order when given, drawn as a line of sectors and listed with the ports and
// notes along it.

import { el, setField, fieldValue, counted, markField, readForm } from "./dom.js";
import { showDetails, notInUniverse, specialNames, sectorLink } from "./details.js";
import { drawNothing, drawPicture } from "./drawing.js";
import { inUniverse, portOf } from "./universe.js";
import { plotCourseBy, formatCourse } from "./course.js";
import { warpsAmong } from "./neighbourhood.js";
import { layoutCourse } from "./layout.js";
import { formatAddress, MAX_STOPS } from "./address.js";
import { readSector, readAvoidList } from "./fields.js";

// The sectors of a course, one a row: the hop, the sector, its port and what
// the player noted there; `stopAt` maps the hop where each stop is reached to
// its number.
function alongTheCourse(atlas, course, stopAt) {
  const { u } = atlas;
  const rows = course.map((s, i) => {
    const port = portOf(u, s);
    const names = specialNames(atlas, s);
    const note = u.notes.get(s) || "";
    const stop = stopAt.has(i) ? `stop ${stopAt.get(i)}` : "";
    const marks = [stop, ...names, u.fig[s] ? "fig" : "", names.includes(note) ? "" : note].filter(Boolean).join("; ");
    return el("tr", { "data-sector": s }, el("td", {}, String(i)), el("td", {}, sectorLink(s)), el("td", {}, port ? port.letters : ""),
      el("td", { class: "marks" }, marks));
  });
  return el("div", { class: "scroll" }, el("table", { id: "course-table" },
    el("thead", {}, el("tr", {}, el("th", {}, "hop"), el("th", {}, "sector"), el("th", {}, "port"), el("th", { class: "text" }, "marks"))),
    el("tbody", {}, ...rows)));
}

// Where each sector of a course is drawn. A course by stops may pass a
// sector twice: it is drawn once, where the course first reaches it, and a
// sector the course flies to and straight back from (a stop in a dead end)
// stands beside the line, between its rows (drawn further apart for it) off
// the sector it hangs from, so that the line going on does not run through it.
function courseLayout(course) {
  const line = [];
  const spurs = [];
  const seen = new Set();
  course.forEach((s, i) => {
    if (seen.has(s)) return;
    seen.add(s);
    if (i > 0 && course[i - 1] === course[i + 1]) spurs.push({ s, from: course[i - 1] });
    else line.push(s);
  });
  const { positions } = layoutCourse(line);
  if (spurs.length === 0) return positions;
  for (const p of positions.values()) p.y *= 1.5;
  const hanging = new Map();
  for (const { s, from } of spurs) {
    const k = hanging.get(from) || 0;
    hanging.set(from, k + 1);
    const at = positions.get(from);
    positions.set(s, { x: at.x + 45 * Math.floor(k / 2), y: at.y + (k % 2 === 0 ? 90 : -90) });
  }
  return positions;
}

// The stop fields of the course form, stop1 .. stopK, between From and To.
function stopFields() {
  return [...document.querySelectorAll("#course-form .stop input")];
}

// Gives the course form one stop field for each of `stops` (sector numbers or
// texts typed), numbered in order, each with a button that takes it away; no
// more than MAX_STOPS.
function setStopFields(stops) {
  const form = document.getElementById("course-form");
  for (const old of form.querySelectorAll(".stop")) old.remove();
  const to = form.elements.to.closest("label");
  stops.forEach((value, i) => {
    const k = i + 1;
    const input = el("input", { name: `stop${k}`, inputmode: "numeric", size: 6 });
    input.value = value;
    const remove = el("button", { type: "button", class: "remove-stop", "aria-label": `remove stop ${k}`, title: `remove stop ${k}` }, "\u00d7");
    remove.addEventListener("click", () => {
      const kept = stopFields().map((field) => field.value);
      kept.splice(i, 1);
      setStopFields(kept);
      const next = stopFields()[i] || form.elements.to;
      next.focus();
    });
    to.before(el("span", { class: "stop" }, el("label", {}, `Stop ${k}`, input), remove));
  });
  document.getElementById("add-stop").disabled = stops.length >= MAX_STOPS;
}

export const courseView = {
  tab: "course",

  show(atlas, { from, to, stops = [], avoid }) {
    const { u } = atlas;
    setField("course-form", "from", from);
    setStopFields(stops);
    setField("course-form", "to", to);
    setField("course-form", "avoid", avoid.join(", "));
    const result = document.getElementById("course-result");
    const sectors = [from, ...stops, to];
    const started = performance.now();
    const { course, legs, failed } = plotCourseBy(u, sectors, avoid);
    result.dataset.searchMs = (performance.now() - started).toFixed(2);
    const back = el("a", { id: "return-course", href: formatAddress({ view: "course", from: to, to: from, stops: stops.slice().reverse(), avoid }) }, "return course");
    showDetails(atlas, to);
    if (!course) {
      const outside = sectors.find((s) => !inUniverse(u, s));
      const leg = stops.length > 0 ? ` (leg ${legs.length + 1} of ${sectors.length - 1})` : "";
      const unexplored = outside === undefined && !u.explored[failed.from] ? `: ${failed.from} is unexplored, so no known course leads out of it` : "";
      const why = outside !== undefined ? notInUniverse(atlas, outside) : `no known route from ${failed.from} to ${failed.to}${leg}${unexplored}`;
      result.replaceChildren(el("p", { id: "course-text", class: "problem" }, why), el("p", {}, back));
      drawNothing(atlas, why);
      return;
    }
    const hops = course.length - 1;
    // The hop at which each stop is reached.
    const stopAt = new Map();
    let reached = 0;
    legs.slice(0, -1).forEach((leg, i) => {
      reached += leg.hops;
      stopAt.set(reached, i + 1);
    });
    const byStops = stops.length > 0 ? ` by ${stops.join(", ")}` : "";
    result.replaceChildren(
      el("p", { id: "course-text", class: "course-text" }, formatCourse(course)),
      el("p", { id: "course-hops" }, stops.length > 0 ? `${counted(hops, "hop")} in all` : counted(hops, "hop")),
      stops.length > 0 ? el("ol", { id: "course-legs" }, ...legs.map((leg) => el("li", { "data-from": leg.from, "data-to": leg.to, "data-hops": leg.hops },
        `${leg.from} \u2192 ${leg.to}: ${counted(leg.hops, "hop")}`))) : "",
      avoid.length > 0 ? el("p", { class: "quiet" }, `avoiding ${avoid.join(", ")}`) : "",
      el("p", {}, back),
      alongTheCourse(atlas, course, stopAt));
    const positions = courseLayout(course);
    const nodes = [...positions.keys()].map((s, i) => ({ sector: s, ring: i }));
    drawPicture(atlas, nodes, warpsAmong(u, new Set(course)), positions, { centre: to, course, about: new Set(stops) });
    const legHops = stops.length > 0 ? ` (legs of ${legs.map((leg) => leg.hops).join(", ")})` : "";
    atlas.status(`the course from ${from} to ${to}${byStops}: ${counted(hops, "hop")}${legHops}`);
  },

  focus(view) {
    return view.to;
  },

  // Puts sector s at one end of the course ("from" or "to") and plots the
  // course when the other end is given; otherwise the other end's field takes
  // the focus with a hint, and the course of other ends is gone from view.
  plotWithEnd(atlas, end, s) {
    const other = end === "from" ? "to" : "from";
    setField("course-form", end, s);
    const given = readSector(fieldValue("course-form", other), atlas.u.n);
    if (!given.problem && given.value !== s) {
      document.getElementById("course-form").requestSubmit();
      return;
    }
    const hint = end === "from" ? `the course from ${s}: type the sector to go to, then plot the course`
      : `the course to ${s}: type the sector to start from, then plot the course`;
    document.getElementById("course-result").replaceChildren(el("p", { id: "course-hint", class: "hint" }, hint));
    const input = document.getElementById("course-form").elements[other];
    markField(input, null);
    input.setAttribute("aria-describedby", "course-hint");
    input.focus();
  },

  wire(atlas) {
    const form = document.getElementById("course-form");
    document.getElementById("add-stop").addEventListener("click", () => {
      const stops = stopFields().map((field) => field.value);
      if (stops.length >= MAX_STOPS) return;
      setStopFields([...stops, ""]);
      stopFields()[stops.length].focus();
    });
    form.addEventListener("submit", (event) => {
      event.preventDefault();
      const n = atlas.u.n;
      const stopNames = stopFields().map((field) => field.name);
      const read = readForm("course-form", {
        from: (text) => readSector(text, n),
        ...Object.fromEntries(stopNames.map((name) => [name, (text) => readSector(text, n)])),
        to: (text) => readSector(text, n),
        avoid: (text, values) => readAvoidList(text, n, values.from, values.to, stopNames.map((name) => values[name])),
      });
      if (read) atlas.go({ view: "course", from: read.from, to: read.to, stops: stopNames.map((name) => read[name]), avoid: read.avoid });
    });
  },
};
