// Headless Chromium for the atlas tests: one browser a test file, pages opened
// from disk at a deep link, and every page error or request beyond the file
// itself recorded, for the test to assert there were none. CHROMIUM names the
// browser (default /usr/bin/chromium).

import { chromium } from "playwright-core";

export async function launchBrowser() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync"],
  });
}

// Opens `file` at `hash` and waits until the first view is drawn. Page errors
// and requests for anything but the file go to `errors`.
export async function openPage(browser, file, hash, errors, { viewport = { width: 1400, height: 850 }, ...options } = {}) {
  const page = await browser.newPage({ viewport, ...options });
  page.on("pageerror", (error) => errors.push(String(error)));
  page.on("request", (request) => {
    if (!request.url().startsWith(`file://${file}`)) errors.push(`request: ${request.url()}`);
  });
  await page.goto(`file://${file}${hash}`);
  await page.waitForSelector("html[data-ready]", { state: "attached" });
  return page;
}
