// Opens a page in headless Chromium and prints the first console line that starts with PREFIX.
// Usage: node console.mjs PUPPETEER_DIR CHROMIUM URL PREFIX
import { createRequire } from 'node:module';
import { launch, waitFor } from './browser.mjs';

const [puppeteerDir, chromium, url, prefix] = process.argv.slice(2);
const puppeteer = createRequire(puppeteerDir + '/')('puppeteer-core');
const browser = await launch(puppeteer, chromium);
try {
  const page = await browser.newPage();
  let line = null;
  page.on('console', (message) => {
    if (line === null && message.text().startsWith(prefix)) line = message.text();
  });
  page.on('pageerror', (error) => console.log('page error:', error.message));
  await page.goto(url, { timeout: 30000 });
  await waitFor(`a console line starting with "${prefix}"`, 60000, async () => line !== null);
  console.log(line);
} finally {
  await browser.close();
}
