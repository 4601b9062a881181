// Find: what the player types in the find box. A plain number names a sector;
// any other text is looked for in the notes and the logs.

// What `text` asks for: { sector } for a plain number (digits only, blanks
// around it allowed; the caller checks that the sector is in the universe),
// { text } for anything else (trimmed; empty when nothing but blanks was typed).
export function parseFind(text) {
  const typed = String(text).trim();
  return /^[0-9]+$/.test(typed) ? { sector: Number(typed) } : { text: typed };
}

// The notes and logs that contain `text`, letter case ignored, as the page
// shows them (each byte already its Windows-1252 character): { sector, source
// ("note" or "log"), text (the whole note or log), at (where the match begins),
// length (its length) }, in sector order, a sector's note before its log; the
// first match in each text. Nothing for an empty text.
export function findText(u, text) {
  const wanted = String(text).toLowerCase();
  const found = [];
  if (wanted === "") return found;
  for (const [source, texts] of [["note", u.notes], ["log", u.logs]]) {
    for (const [sector, whole] of texts) {
      // Lower case keeps the length of every Windows-1252 character, so a
      // place in the lowered text is the same place in the text shown.
      const at = whole.toLowerCase().indexOf(wanted);
      if (at >= 0) found.push({ sector, source, text: whole, at, length: wanted.length });
    }
  }
  return found.sort((a, b) => a.sector - b.sector || (a.source === "note" ? 0 : 1) - (b.source === "note" ? 0 : 1));
}
