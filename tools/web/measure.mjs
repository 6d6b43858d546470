// Measures pages of the browser build in headless Chromium: the milliseconds from navigation to the
// first WebGL draw (the first frame), and the frame rate the title reports after a few seconds.
// Usage: node measure.mjs PUPPETEER_DIR CHROMIUM URL...   (serve the site first, for example
// with python3 -m http.server; a threaded build needs serve.py --isolate)
// Needs: puppeteer-core (the browser tests install it into build/puppeteer).
import { createRequire } from 'node:module';

const [puppeteerDir, chromium, ...urls] = process.argv.slice(2);
const puppeteer = createRequire(puppeteerDir + '/')('puppeteer-core');
const browser = await puppeteer.launch({
  executablePath: chromium, headless: 'new',
  args: ['--headless=new', '--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader',
         '--enable-unsafe-swiftshader', '--disable-gpu-vsync', '--mute-audio'],
});
try {
  for (const url of urls) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 600 });
    // The first draw call of any WebGL 2 context marks the first frame.
    await page.evaluateOnNewDocument(() => {
      const draw = WebGL2RenderingContext.prototype.drawArrays;
      WebGL2RenderingContext.prototype.drawArrays = function (...args) {
        if (self.firstDraw === undefined) self.firstDraw = performance.now();
        return draw.apply(this, args);
      };
    });
    await page.goto(url, { timeout: 30000 });
    const fps = [];
    for (let second = 0; second < 8; ++second) {
      await new Promise((done) => setTimeout(done, 1000));
      const match = (await page.title()).match(/FPS: (\d+)/);
      if (match && second >= 3) fps.push(Number(match[1]));
    }
    const first = await page.evaluate(() => self.firstDraw);
    console.log(`${url}: first frame ${first === undefined ? '-' : Math.round(first)} ms, ` +
                `fps ${fps.join(' ')}`);
    await page.close();
  }
} finally {
  await browser.close();
}
