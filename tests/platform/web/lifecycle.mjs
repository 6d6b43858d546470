// The lifecycle page in headless Chromium: a stop refused by OnDestroy lets the frames go on and a
// second stop ends the run after frame 6; closing the page ends a run that never stops by itself,
// with OnDestroy called before the page goes.
// Usage: node lifecycle.mjs PUPPETEER_DIR CHROMIUM URL
import { createRequire } from 'node:module';
import { launch, waitFor } from './browser.mjs';

const [puppeteerDir, chromium, url] = process.argv.slice(2);
const puppeteer = createRequire(puppeteerDir + '/')('puppeteer-core');
const browser = await launch(puppeteer, chromium);
const fail = (message) => { throw new Error(message); };

// Opens url on a new page; the page's "lifecycle: " lines collect in the returned list.
async function open(address) {
  const page = await browser.newPage();
  const lines = [];
  page.on('console', (message) => {
    if (message.text().startsWith('lifecycle: ')) lines.push(message.text());
  });
  page.on('pageerror', (error) => console.log('page error:', error.message));
  await page.goto(address, { timeout: 30000 });
  return { page, lines };
}

try {
  const refused = await open(url);
  await waitFor('the end of the run', 60000,
                async () => refused.lines.some((line) => line.startsWith('lifecycle: ended')));
  const want = ['lifecycle: created', 'lifecycle: ended frames=6 destroys=2'];
  if (refused.lines.join('|') !== want.join('|'))
    fail(`lines ${JSON.stringify(refused.lines)}, expected ${JSON.stringify(want)}`);
  console.log('a refused stop goes on to the next one');

  const closing = await open(url + '#close');
  await waitFor('frames', 60000, async () => closing.lines.includes('lifecycle: running'));
  await closing.page.close({ runBeforeUnload: true });
  await waitFor('OnDestroy at the page\'s close', 10000,
                async () => closing.lines.includes('lifecycle: closed after 3 frames'));
  console.log('closing the page ends the run');
} finally {
  await browser.close();
}
