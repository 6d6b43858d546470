// A game made by tools/new-game, as a page in headless Chromium: its greeting (read from the pack
// the page preloaded) in yellow, and its white square moving right while the right arrow is held.
// Usage: node game_page.mjs PUPPETEER_DIR CHROMIUM URL
import { withPage, decodePng, findColour, waitFor } from './browser.mjs';

const [puppeteerDir, chromium, url] = process.argv.slice(2);
const yellow = [255, 255, 0], white = [255, 255, 255];
await withPage(puppeteerDir, chromium, async (page) => {
  await page.setViewport({ width: 1024, height: 960 });
  const started = Date.now();
  await page.goto(url, { timeout: 30000 });
  const shot = async () => decodePng(await page.screenshot({ type: 'png' }));
  const first = await waitFor('the greeting and the square', 60000, async () => {
    const image = await shot();
    return findColour(image, yellow).count > 0 && findColour(image, white).count > 0 ? image : null;
  });
  console.log(`first frame after ${Date.now() - started} ms`);
  const square = findColour(first, white);
  await page.keyboard.down('ArrowRight');
  await waitFor('the square to move right', 30000,
                async () => findColour(await shot(), white).left >= square.left + 8);
  await page.keyboard.up('ArrowRight');
  console.log('the game plays');
});
