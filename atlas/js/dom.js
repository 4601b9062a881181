// Building the page's elements. Strings become text nodes, never markup, so
// whatever a note holds stays text.

const SVG_NS = "http://www.w3.org/2000/svg";

// An HTML element: attributes from `attrs`, children appended, strings as text.
export function el(tag, attrs = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attrs)) node.setAttribute(name, value);
  for (const child of children) node.append(child);
  return node;
}

// An SVG element, built the same way (a drawing makes thousands: no array
// of the attributes is made).
export function svg(tag, attrs = {}, ...children) {
  const node = document.createElementNS(SVG_NS, tag);
  for (const name in attrs) node.setAttribute(name, String(attrs[name]));
  for (const child of children) node.append(child);
  return node;
}

// A text with a chance to break the line after each "/" ("org/equ",
// "units/hop"), where its element lets lines wrap: text nodes and <wbr>s.
export function slashBreaks(text) {
  return text.split("/").flatMap((part, i) => (i === 0 ? [part] : ["/", document.createElement("wbr"), part]));
}

// "1 hop", "3 hops".
export function counted(count, one, many = `${one}s`) {
  return `${count} ${count === 1 ? one : many}`;
}

// Puts `value` into the field `name` of the form `formId`, which then shows
// no problem.
export function setField(formId, name, value) {
  const input = document.getElementById(formId).elements[name];
  input.value = value;
  markField(input, null);
}

export function fieldValue(formId, name) {
  return document.getElementById(formId).elements[name].value;
}

// Says beside a field what is wrong with what was typed (or, with no
// `problem`, that nothing is): the message follows the field, which names it
// with aria-describedby and is marked aria-invalid. Returns true when the
// field is sound.
export function markField(input, problem) {
  const id = `${input.form ? input.form.id : "field"}-${input.name}-problem`;
  let message = document.getElementById(id);
  if (!problem) {
    input.removeAttribute("aria-invalid");
    input.removeAttribute("aria-describedby");
    if (message) message.remove();
    return true;
  }
  if (!message) {
    // Beside the field's label, not in it: the message is no part of the
    // field's name.
    message = el("span", { id, class: "field-problem" });
    (input.closest("label") || input).after(message);
  }
  message.textContent = problem;
  input.setAttribute("aria-invalid", "true");
  input.setAttribute("aria-describedby", id);
  return false;
}

// Reads the fields of the form `formId` in order, each with its reader:
// (text, the values read so far) -> { value } or { problem } (see fields.js).
// Says beside each field what is wrong; while a field shows a problem, every
// change of it is read again, so a corrected field clears its message.
// Returns the values by field name, or null when a field has a problem: the
// first such field then takes the focus, so that its message is read out.
export function readForm(formId, readers) {
  const form = document.getElementById(formId);
  const values = {};
  let wrong = null;
  for (const [name, read] of Object.entries(readers)) {
    const input = form.elements[name];
    const check = () => {
      const reading = read(input.value, values);
      markField(input, reading.problem);
      return reading;
    };
    input.oninput = () => {
      if (input.getAttribute("aria-invalid") === "true") check();
    };
    const reading = check();
    if (reading.problem) wrong ||= input;
    else values[name] = reading.value;
  }
  if (wrong) wrong.focus();
  return wrong ? null : values;
}
