// Sound in headless Chromium on Crumbolt's page: the engine's 48 kHz context, suspended as the
// browser's autoplay rule holds it before any gesture, is fed nothing; the first key resumes it,
// and the mixer's samples then reach it non-silent, as the AnalyserNode behind the node also hears.
// A page that puppeteer opens counts as activated from the start (navigator.userActivation), so
// the browser lets the context run at once; the test suspends it to stand for the rule.
// Then, with the engine's sound on the page's thread (sound_probe.html), every sample fed is the
// mixer's own.
// Usage: node sound.mjs PUPPETEER_DIR CHROMIUM SITE_URL
import { createRequire } from 'node:module';
import { launch, waitFor } from './browser.mjs';

const [puppeteerDir, chromium, site] = process.argv.slice(2);
const puppeteer = createRequire(puppeteerDir + '/')('puppeteer-core');
const fail = (message) => { throw new Error(message); };
const browser = await launch(puppeteer, chromium);
try {
  const page = await browser.newPage();
  page.on('pageerror', (error) => console.log('page error:', error.message));
  await page.goto(site + 'crumbolt.html', { timeout: 30000 });
  await waitFor('the frame rate in the title', 60000,
                async () => (await page.title()).includes(' - FPS: '));

  const audio = () => page.evaluate(() => {
    const device = Module.tesserineAudio;
    if (!device) return null;
    const heard = new Float32Array(device.analyser.fftSize);
    device.analyser.getFloatTimeDomainData(heard);
    return { state: device.context.state, rate: device.context.sampleRate, fed: device.fedFrames,
             loud: device.loudFrames, peak: device.peak, heard: heard.some((value) => value !== 0) };
  });
  const opened = await waitFor('the engine to open its sound device', 30000, audio);
  if (opened.rate !== 48000) fail(`the context runs at ${opened.rate} Hz`);
  await page.evaluate(() => Module.tesserineAudio.context.suspend());
  const held = await audio();
  // Suspended, the context asks for no samples and the mixer runs for nobody.
  await new Promise((resolve) => setTimeout(resolve, 1000));
  const waiting = await audio();
  console.log('suspended before the first key:', JSON.stringify(waiting));
  if (waiting.state !== 'suspended' || waiting.fed !== held.fed)
    fail(`a suspended context was fed: ${JSON.stringify(held)} then ${JSON.stringify(waiting)}`);

  await page.keyboard.press('KeyW');
  const playing = await waitFor('the context to run and hear the music', 30000, async () => {
    const now = await audio();
    return now.state === 'running' && now.loud > waiting.loud && now.heard ? now : null;
  });
  console.log('after the first key:', JSON.stringify(playing));

  // The probe plays constant 20000 at half volume: 10000 on both sides, from the first sample.
  await page.goto(site + 'sound_probe.html', { timeout: 30000 });
  const probe = await waitFor('the probe to be fed', 30000, async () => {
    const now = await audio();
    return now && now.fed >= 4096 ? now : null;
  });
  console.log('page-thread probe:', JSON.stringify(probe));
  if (probe.loud !== probe.fed || probe.peak !== 10000)
    fail(`the probe's samples are not the mixer's 10000: ${JSON.stringify(probe)}`);
} finally {
  await browser.close();
}
