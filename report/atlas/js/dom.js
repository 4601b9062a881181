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

// An SVG element, built the same way.
export function svg(tag, attrs = {}, ...children) {
  const node = document.createElementNS(SVG_NS, tag);
  for (const [name, value] of Object.entries(attrs)) node.setAttribute(name, String(value));
  for (const child of children) node.append(child);
  return node;
}

// "1 hop", "3 hops".
export function counted(count, one, many = `${one}s`) {
  return `${count} ${count === 1 ? one : many}`;
}

// Puts `value` into the field `name` of the form `formId`.
export function setField(formId, name, value) {
  document.getElementById(formId).elements[name].value = value;
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
    message = el("span", { id, class: "field-problem" });
    input.after(message);
  }
  message.textContent = problem;
  input.setAttribute("aria-invalid", "true");
  input.setAttribute("aria-describedby", id);
  return false;
}
