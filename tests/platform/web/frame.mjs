// Takes one screenshot of a still program's page in headless Chromium, at a page size equal to
// its canvas so that no scaling comes between the drawing buffer and the picture.
// Usage: node frame.mjs PUPPETEER_DIR CHROMIUM URL WIDTH HEIGHT OUT.png
import { createRequire } from 'node:module';
import { writeFileSync } from 'node:fs';
import { launch, waitFor } from './browser.mjs';

const [puppeteerDir, chromium, url, width, height, out] = process.argv.slice(2);
const puppeteer = createRequire(puppeteerDir + '/')('puppeteer-core');
const browser = await launch(puppeteer, chromium);
try {
  const page = await browser.newPage();
  page.on('pageerror', (error) => console.log('page error:', error.message));
  await page.setViewport({ width: Number(width), height: Number(height) });
  await page.goto(url, { timeout: 30000 });
  // The title names the frame rate once the first second of frames is over.
  await waitFor('the frame rate in the title', 60000,
                async () => (await page.title()).includes(' - FPS: '));
  const size = await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    return [canvas.width, canvas.height, canvas.clientWidth, canvas.clientHeight].join(' ');
  });
  if (size !== `${width} ${height} ${width} ${height}`)
    throw new Error(`canvas buffer and size are ${size}, expected ${width} x ${height} for both`);
  writeFileSync(out, await page.screenshot({ type: 'png' }));
} finally {
  await browser.close();
}
