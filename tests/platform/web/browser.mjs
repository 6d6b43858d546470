// Shared helpers of the browser tests: the headless Chromium set-up, a small PNG decoder for
// screenshots (exact colours, no packages beyond puppeteer-core) and bounded waiting.
import { createRequire } from 'node:module';
import { inflateSync } from 'node:zlib';

// Software WebGL through SwiftShader; sound allowed without a user gesture. No shared memory is
// granted: the pages must run as a plain static host serves them.
export const chromiumArgs = [
  '--headless=new', '--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader',
  '--enable-unsafe-swiftshader', '--autoplay-policy=no-user-gesture-required',
  '--disable-gpu-vsync', '--mute-audio',
];

export async function launch(puppeteer, executablePath) {
  return puppeteer.launch({ executablePath, args: chromiumArgs, headless: 'new',
                            protocolTimeout: 60000 });
}

// Runs body(page) on a fresh page of Chromium, with puppeteer-core from puppeteerDir; page errors
// are logged, and the browser closes however body ends.
export async function withPage(puppeteerDir, executablePath, body) {
  const puppeteer = createRequire(puppeteerDir + '/')('puppeteer-core');
  const browser = await launch(puppeteer, executablePath);
  try {
    const page = await browser.newPage();
    page.on('pageerror', (error) => console.log('page error:', error.message));
    await body(page);
  } finally {
    await browser.close();
  }
}

// Decodes an 8-bit, non-interlaced RGB or RGBA PNG into { width, height, rgba }.
export function decodePng(buffer) {
  let offset = 8, width = 0, height = 0, channels = 0;
  const data = [];
  while (offset < buffer.length) {
    const length = buffer.readUInt32BE(offset);
    const type = buffer.toString('latin1', offset + 4, offset + 8);
    const body = buffer.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0) throw new Error('unsupported PNG');
      channels = { 2: 3, 6: 4 }[body[9]];
      if (!channels) throw new Error('unsupported PNG colour type ' + body[9]);
    } else if (type === 'IDAT') {
      data.push(body);
    }
    offset += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? rows[y * stride + i - channels] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + i] : 0;
      const c = i >= channels && y > 0 ? rows[(y - 1) * stride + i - channels] : 0;
      let value = line[i];
      if (filter === 1) value += a;
      else if (filter === 2) value += b;
      else if (filter === 3) value += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        value += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      rows[y * stride + i] = value & 255;
    }
  }
  const rgba = Buffer.alloc(width * height * 4, 255);
  for (let p = 0; p < width * height; ++p)
    for (let k = 0; k < channels; ++k) rgba[p * 4 + k] = rows[p * channels + k];
  return { width, height, rgba };
}

// The bounding box and count of the pixels of one exact colour inside an optional rectangle.
export function findColour(image, [r, g, b], area = { x: 0, y: 0, w: image.width, h: image.height }) {
  let count = 0, left = Infinity, top = Infinity, right = -1, bottom = -1;
  for (let y = area.y; y < area.y + area.h; ++y)
    for (let x = area.x; x < area.x + area.w; ++x) {
      const i = (y * image.width + x) * 4;
      if (image.rgba[i] !== r || image.rgba[i + 1] !== g || image.rgba[i + 2] !== b) continue;
      ++count;
      left = Math.min(left, x); right = Math.max(right, x);
      top = Math.min(top, y); bottom = Math.max(bottom, y);
    }
  return { count, left, top, right, bottom };
}

// Polls check until it returns a truthy value, at most timeoutMs; throws with what on timeout.
export async function waitFor(what, timeoutMs, check, intervalMs = 100) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > end) throw new Error('timed out waiting for ' + what);
    await new Promise((resolve) => setTimeout(resolve, intervalMs));
  }
}
