// The hello example in headless Chromium: its white square follows the mouse, so the pointer's
// page position reaches the engine in screen pixels, also when CSS scales the canvas down.
// Usage: node mouse.mjs PUPPETEER_DIR CHROMIUM URL
import { withPage, decodePng, findColour, waitFor } from './browser.mjs';

const [puppeteerDir, chromium, url] = process.argv.slice(2);
await withPage(puppeteerDir, chromium, async (page) => {
  // hello's 320 x 240 screen at two page pixels per pixel is 640 x 480; a page of 640 x 480 shows
  // it unscaled and one of 480 x 360 scales it to three quarters.
  for (const [width, scale] of [[640, 2], [480, 1.5]]) {
    await page.setViewport({ width, height: width * 3 / 4 });
    await page.goto(url, { timeout: 30000 });
    await waitFor('the frame rate in the title', 60000,
                  async () => (await page.title()).includes(' - FPS: '));
    for (const [x, y] of [[100, 50], [250, 180]]) {
      await page.mouse.move(x * scale, y * scale);
      // The square spans x-4 .. x+3 in screen pixels around the mouse.
      const want = { left: Math.floor((x - 4) * scale), top: Math.floor((y - 4) * scale) };
      await waitFor(`the square under the mouse at (${x}, ${y}) on a ${width}-wide page`, 30000,
                    async () => {
        const square = findColour(decodePng(await page.screenshot({ type: 'png' })),
                                  [255, 255, 255], { x: 0, y: 40, w: width, h: width * 3 / 4 - 40 });
        return Math.abs(square.left - want.left) <= 1 && Math.abs(square.top - want.top) <= 1;
      });
    }
  }
  console.log('the square follows the mouse');
});
