// Crumbolt in headless Chromium: the letterboxed 4:3 picture with the square and the score, the
// page title, a held D moving the square, steering into a box for the death screen, Space for a
// new run, and the engine's music sounding while alive and paused while dead.
// Usage: node crumbolt.mjs PUPPETEER_DIR CHROMIUM URL SCREENSHOT_OUT
import { createRequire } from 'node:module';
import { writeFileSync } from 'node:fs';
import { launch, decodePng, findColour, waitFor } from './browser.mjs';

const [puppeteerDir, chromium, url, screenshotOut] = process.argv.slice(2);
const puppeteer = createRequire(puppeteerDir + '/')('puppeteer-core');

// The page is wider than 4:3, so the 800 x 600 picture sits between two 100-pixel bars.
const page_ = { width: 1000, height: 600 };
const picture = { x: 100, y: 0, w: 800, h: 600 };
const blue = [0, 0, 255], white = [255, 255, 255], red = [255, 0, 0];

const browser = await launch(puppeteer, chromium);
const fail = (message) => { throw new Error(message); };
try {
  const page = await browser.newPage();
  page.on('pageerror', (error) => console.log('page error:', error.message));
  await page.setViewport(page_);
  await page.goto(url, { timeout: 30000 });

  const shot = async () => decodePng(await page.screenshot({ type: 'png' }));
  // The engine's sound device: playing while its mixed samples stay non-silent for a moment.
  const music = () => page.evaluate(async () => {
    const audio = Module.tesserineAudio;
    if (!audio) return 'missing';
    if (audio.context.state !== 'running') return audio.context.state;
    const before = audio.loudFrames;
    await new Promise((resolve) => setTimeout(resolve, 300));
    return audio.loudFrames > before ? 'playing' : 'paused';
  });

  await waitFor('the frame rate in the title', 60000,
                async () => (await page.title()).includes(' - FPS: '));
  console.log('title:', await page.title());
  // Served without COOP/COEP, the page has no shared memory and runs on its one thread.
  if (await page.evaluate(() => self.crossOriginIsolated || typeof SharedArrayBuffer !== 'undefined'))
    fail('the page was given shared memory: the test does not show a plain host is enough');

  // The first frames: the square at its start (400, 300) and the score at (700, 20), both
  // shifted by the left bar, and nothing but black in the bars.
  const first = await waitFor('the square', 30000, async () => {
    const image = await shot();
    return findColour(image, blue).count > 0 ? image : null;
  });
  const square = findColour(first, blue);
  if (square.left !== 500 || square.top !== 300 || square.right !== 520 || square.bottom !== 320)
    fail(`square at ${JSON.stringify(square)}, expected 500..520 x 300..320 (a 20-pixel DrawRect covers 21)`);
  const score = findColour(first, white, { x: 800, y: 15, w: 100, h: 20 });
  if (score.count < 20 || score.left < 800 || score.left > 802 || score.top < 20 || score.top > 21)
    fail(`no score at (800, 20): ${JSON.stringify(score)}`);
  for (const bar of [{ x: 0, y: 0, w: 100, h: 600 }, { x: 900, y: 0, w: 100, h: 600 }]) {
    const black = findColour(first, [0, 0, 0], bar).count;
    if (black !== bar.w * bar.h) fail(`letterbox bar at x=${bar.x} is not black`);
  }
  await waitFor('the music to play', 30000, async () => (await music()) === 'playing');

  // A held D moves the square to the right; nothing else moves it.
  await page.keyboard.down('KeyD');
  const moved = await waitFor('the square to move right', 60000, async () => {
    const now = findColour(await shot(), blue);
    return now.count > 0 && now.left >= square.left + 10 ? now : null;
  });
  await page.keyboard.up('KeyD');
  if (moved.top !== square.top) fail(`D moved the square vertically to ${moved.top}`);
  console.log('square moved right to', moved.left);

  // Steer into a box: align with the nearest box above the square and climb towards it; the
  // boxes fall one pixel per tick while the square moves one, so a box above is caught.
  const held = new Set();
  const hold = async (keys) => {
    for (const key of held) if (!keys.includes(key)) { await page.keyboard.up(key); held.delete(key); }
    for (const key of keys) if (!held.has(key)) { await page.keyboard.down(key); held.add(key); }
  };
  let lastChase = null; // the last screenshot with a box in sight, for the README
  await waitFor('the death text', 180000, async () => {
    const png = await page.screenshot({ type: 'png' });
    const image = decodePng(png);
    if (findColour(image, red, picture).count > 0) return true;
    const me = findColour(image, blue, picture);
    if (me.count === 0) return false;
    const target = nearestBoxAbove(image, me);
    const keys = [];
    if (target) {
      lastChase = png;
      const centre = (target.left + target.right) / 2, mine = (me.left + me.right) / 2;
      if (centre > mine + 4) keys.push('KeyD');
      else if (centre < mine - 4) keys.push('KeyA');
      keys.push('KeyW');
    } else if (me.top < 200) {
      keys.push('KeyS'); // back down, so the next box has a way to fall before it is met
    }
    await hold(keys);
    return false;
  }, 50);
  await hold([]);
  console.log('died');
  if (screenshotOut && lastChase) writeFileSync(screenshotOut, lastChase);
  await waitFor('the music to pause on the death screen', 30000,
                async () => (await music()) === 'paused');

  // Space starts a new run: the death text goes and the music plays again.
  await page.keyboard.down('Space');
  await waitFor('the death text to go', 60000,
                async () => findColour(await shot(), red, picture).count === 0);
  await page.keyboard.up('Space');
  await waitFor('the music to play again', 30000, async () => (await music()) === 'playing');
  console.log('restarted');
} finally {
  await browser.close();
}

// The white outlines in the picture, apart from the score, as boxes; returns the one above the
// square (or level with it) that is closest sideways.
function nearestBoxAbove(image, me) {
  const seen = new Uint8Array(image.width * image.height);
  const isWhite = (x, y) => {
    const i = (y * image.width + x) * 4;
    return image.rgba[i] === 255 && image.rgba[i + 1] === 255 && image.rgba[i + 2] === 255;
  };
  let best = null;
  for (let y = picture.y; y < picture.y + picture.h; ++y)
    for (let x = picture.x; x < picture.x + picture.w; ++x) {
      if (seen[y * image.width + x] || !isWhite(x, y)) continue;
      const box = { left: x, right: x, top: y, bottom: y };
      const stack = [[x, y]];
      seen[y * image.width + x] = 1;
      while (stack.length) {
        const [px, py] = stack.pop();
        box.left = Math.min(box.left, px); box.right = Math.max(box.right, px);
        box.top = Math.min(box.top, py); box.bottom = Math.max(box.bottom, py);
        for (const [nx, ny] of [[px + 1, py], [px - 1, py], [px, py + 1], [px, py - 1]]) {
          if (nx < picture.x || nx >= picture.x + picture.w || ny < 0 || ny >= picture.h) continue;
          if (seen[ny * image.width + nx] || !isWhite(nx, ny)) continue;
          seen[ny * image.width + nx] = 1;
          stack.push([nx, ny]);
        }
      }
      const isScore = box.top >= 15 && box.bottom <= 35 && box.left >= 800;
      if (isScore || box.top > me.bottom) continue;
      const distance = Math.abs((box.left + box.right) / 2 - (me.left + me.right) / 2);
      // A box can be reached if it is no further sideways than half the gap above the square:
      // the two close in at two pixels a tick.
      const reach = me.top - box.bottom;
      if (distance > reach / 2 + 30) continue;
      if (!best || distance < best.distance) best = { ...box, distance };
    }
  return best;
}
