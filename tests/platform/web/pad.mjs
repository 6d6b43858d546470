// The input example in headless Chromium with a scripted gamepad and typed keys: a standard pad
// from navigator.getGamepads with A held and the left stick pushed right paints a cyan trail as
// the ring moves, and letters typed on the page land in the name field.
// Usage: node pad.mjs PUPPETEER_DIR CHROMIUM URL
import { withPage, decodePng, findColour, waitFor } from './browser.mjs';

const [puppeteerDir, chromium, url] = process.argv.slice(2);
await withPage(puppeteerDir, chromium, async (page) => {
  // The page's own navigator answers for the worker, whose reads are proxied to it.
  await page.evaluateOnNewDocument(() => {
    const buttons = Array.from({ length: 17 }, (_, i) =>
      ({ pressed: i === 0, touched: i === 0, value: i === 0 ? 1 : 0 }));
    const pad = { id: 'scripted pad', index: 0, connected: true, mapping: 'standard',
                  timestamp: 0, axes: [0.9, 0, 0, 0], buttons };
    navigator.getGamepads = () => [pad, null, null, null];
  });
  // The example's 320 x 240 screen at two page pixels per pixel.
  await page.setViewport({ width: 640, height: 480 });
  await page.goto(url, { timeout: 30000 });
  await waitFor('the frame rate in the title', 60000,
                async () => (await page.title()).includes(' - FPS: '));
  const shot = async () => decodePng(await page.screenshot({ type: 'png' }));
  // The ring starts in the middle (page x 320) and paints as it goes right.
  await waitFor('a cyan trail from the pad', 30000, async () => {
    const trail = findColour(await shot(), [0, 255, 255]);
    return trail.count > 0 && trail.right - trail.left > 60 && trail.left >= 280;
  });
  console.log('the pad paints and steers');
  // The name field spans engine pixels (4, 34) to (136, 45): page (8, 68) to (272, 90).
  const field = { x: 8, y: 68, w: 264, h: 22 };
  const before = findColour(await shot(), [255, 255, 0], field).count;
  await page.keyboard.type('Ann');
  await waitFor('the typed name in the field', 30000, async () =>
    findColour(await shot(), [255, 255, 0], field).count > before + 20);
  console.log('typed text reaches the field');
});
