#!/usr/bin/python3
"""Measures the web page in headless Chromium: the download, the first frame, a frame.

measure_page.py SITE [RUNS]: prints a Markdown table, each figure the median of RUNS
runs (7 when none is given).

- The download: every file of SITE, gzipped at level 9, as a static host would send it.
- First frame after navigation, cold: a fresh browser (no cache) per run, from the
  start of navigation to the end of the first WebGL draw.
- The same, warm: a reload in a browser that has loaded the page before (HTTP cache
  and compiled code cached).
- A frame: from the frame's clear to the end of its draw, made to wait for the GPU
  (SwiftShader, on the CPU) by reading one pixel back, as the desktop's frame figure
  waits with glFinish. Frames are asked for by key presses that change nothing.
"""
import gzip
import os
import statistics
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
import serve  # noqa: E402
from play_page import Browser, Page  # noqa: E402

# Stamps the first draw, and times every frame from its clear to its draw's end.
STAMPS = r'''
window.__firstDraw = null;
window.__frames = [];
window.__context = null;
const getContext = HTMLCanvasElement.prototype.getContext;
HTMLCanvasElement.prototype.getContext = function (...args) {
  const started = performance.now();
  const context = getContext.apply(this, args);
  if (window.__context === null) window.__context = [started, performance.now()];
  return context;
};
for (const kind of [WebGLRenderingContext, WebGL2RenderingContext]) {
  const clear = kind.prototype.clear;
  kind.prototype.clear = function (...args) { window.__frameStart = performance.now(); return clear.apply(this, args); };
  for (const name of ['drawArrays', 'drawElements']) {
    const draw = kind.prototype[name];
    kind.prototype[name] = function (...args) {
      const result = draw.apply(this, args);
      this.readPixels(0, 0, 1, 1, this.RGBA, this.UNSIGNED_BYTE, new Uint8Array(4));
      const end = performance.now();
      if (window.__firstDraw === null) window.__firstDraw = end;
      else window.__frames.push(end - window.__frameStart);
      return result;
    };
  }
}
'''


def median_ms(values):
    return f'{statistics.median(values):.0f} ms'


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit('usage: measure_page.py SITE [RUNS]')
    site = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) == 3 else 7

    rows = []
    total = 0
    for name in sorted(os.listdir(site)):
        with open(os.path.join(site, name), 'rb') as file:
            data = file.read()
        packed = len(gzip.compress(data, 9))
        total += packed
        rows.append((f'`{name}`, gzipped (of {len(data) / 1024:.0f} KiB)', f'{packed / 1024:.1f} KiB'))
    rows.append(('the download, gzipped', f'{total / 1024:.1f} KiB'))

    server = serve.make_server(site)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f'http://127.0.0.1:{server.server_address[1]}/'

    stages = []

    def first_draw(page):
        page.await_(lambda: page.js('return window.__firstDraw'), 'the first frame')
        stages.append(page.js(
            'const wasm = performance.getEntriesByType("resource")'
            '  .find(r => r.name.endsWith(".wasm"));'
            'return [wasm.responseEnd, window.__context[0], window.__context[1],'
            '        window.__firstDraw]'))
        return stages[-1][3]

    cold = []
    for _ in range(runs):
        browser = Browser()
        browser.driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': STAMPS})
        try:
            cold.append(first_draw(Page(browser, url, None, None)))
        finally:
            browser.quit()

    cold_stages = stages[:]
    browser = Browser()
    browser.driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': STAMPS})
    try:
        first_draw(Page(browser, url, None, None))
        del stages[:]
        warm = [first_draw(Page(browser, url, None, None)) for _ in range(runs)]
        warm_stages = stages[:]
        page = Page(browser, url, None, None)
        first_draw(page)
        for _ in range(4 * runs):
            count = page.draws()
            page.tap('a')
            page.await_draws_beyond(count, 'a key')
        frames = page.js('return window.__frames')
    finally:
        browser.quit()
        server.shutdown()

    rows.append((f'first frame after navigation, cold (median of {runs})', median_ms(cold)))
    rows.append((f'first frame after navigation, warm (median of {runs})', median_ms(warm)))
    rows.append((f'a frame, clear to the end of its draw (median of {len(frames)})',
                 f'{statistics.median(frames):.2f} ms'))
    print(f'Chromium headless, SwiftShader (ANGLE); {time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime())},'
          f' load average {os.getloadavg()[0]:.2f}')
    print()
    print('| Figure | Value |')
    print('|---|---|')
    for figure, value in rows:
        print(f'| {figure} | {value} |')
    print()
    for name, runs_stages in (('cold', cold_stages), ('warm', warm_stages)):
        wasm, context_from, context_to, draw = (statistics.median(s[i] for s in runs_stages)
                                                for i in range(4))
        print(f'{name}, medians: the .wasm loaded at {wasm:.0f} ms; WebGL context asked for at'
              f' {context_from:.0f} ms, made by {context_to:.0f} ms; first draw done at'
              f' {draw:.0f} ms')
    print('cold runs:', ', '.join(f'{v:.0f}' for v in cold), 'ms')
    print('warm runs:', ', '.join(f'{v:.0f}' for v in warm), 'ms')


if __name__ == '__main__':
    main()
