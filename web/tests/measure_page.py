#!/usr/bin/python3
"""Measures the web page in Chromium and in Firefox against a bare WebGL page.

measure_page.py SITE [RUNS] [BROWSER ...]: prints a Markdown table, each figure the
median of RUNS (7 when none is given), in each browser (both when none is named).

- The download: every file of SITE, gzipped at level 9, as a static host would send it.
- First frame after navigation: from the start of navigation to the end of the first
  WebGL draw, made to wait for the renderer by reading one pixel back. The page and
  the bare page are loaded in turn in one browser, so both have the HTTP cache warm.
- Press to frame: from the mousedown event (its timeStamp) to the end of the next draw.
- A press's own work in the page: the browser's mousedown, from the first listener on
  the window to the last (GLUT's handler, the flip, the check for "Solved"), and that
  check alone (the program's pressMade, called from the page).

The bare page draws the same 38,416 points of grid/data/knot.bin with the same
camera, point size and colours, with WebGL and 30 lines of JavaScript: the floor of
what drawing these points costs a page. A press there negates the same cross in its
own array and draws again.
"""
import gzip
import os
import shutil
import statistics
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
import serve  # noqa: E402
from browsers import BROWSERS  # noqa: E402
from play_page import await_  # noqa: E402

TOP = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))

# In both pages before their own scripts: the end of every draw, and every mousedown
# as it enters the window and as it leaves it.
STAMPS = r'''
window.__draws = [];
window.__downs = [];
for (const kind of [WebGLRenderingContext, WebGL2RenderingContext])
  for (const name of ['drawArrays', 'drawElements']) {
    const draw = kind.prototype[name];
    kind.prototype[name] = function (...args) {
      const result = draw.apply(this, args);
      this.readPixels(0, 0, 1, 1, this.RGBA, this.UNSIGNED_BYTE, new Uint8Array(4));
      window.__draws.push(performance.now());
      return result;
    };
  }
window.addEventListener('mousedown', e => window.__downs.push([e.timeStamp, performance.now()]), true);
window.addEventListener('mousedown', e => window.__downs[window.__downs.length - 1].push(performance.now()));
'''

BARE = r'''<!doctype html>
<html><head><meta charset="utf-8"><title>bare</title></head>
<body style="margin: 8px">
<canvas id="canvas" width="800" height="800" style="width: 800px; height: 800px"></canvas>
<script>
'use strict';
const canvas = document.getElementById('canvas');
const gl = canvas.getContext('webgl', {antialias: false, alpha: false});
const shader = (type, text) => {
  const s = gl.createShader(type); gl.shaderSource(s, text); gl.compileShader(s); return s; };
const program = gl.createProgram();
gl.attachShader(program, shader(gl.VERTEX_SHADER,
  'attribute vec3 p; void main() { gl_Position = vec4(2.0 * p.x, -2.0 * p.z,' +
  ' (-(p.y - 10.0) - 25.5) / 24.5, 1.0); gl_PointSize = 5.0; }'));
gl.attachShader(program, shader(gl.FRAGMENT_SHADER,
  'void main() { gl_FragColor = vec4(1.0); }'));
gl.linkProgram(program);
gl.useProgram(program);
gl.enable(gl.DEPTH_TEST);
gl.clearColor(1, 0, 0, 0);
let table, n;
function draw() {
  gl.bufferData(gl.ARRAY_BUFFER, table, gl.STREAM_DRAW);
  gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
  gl.drawArrays(gl.POINTS, 0, n * n);
}
fetch('knot.bin').then(r => r.arrayBuffer()).then(bytes => {
  table = new Float32Array(bytes);
  n = Math.floor(Math.sqrt(table.length / 3));
  gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
  gl.enableVertexAttribArray(0);
  gl.vertexAttribPointer(0, 3, gl.FLOAT, false, 0, 0);
  requestAnimationFrame(draw);
});
const negate = k => { for (let i = 3 * k; i < 3 * k + 3; ++i) table[i] = -table[i]; };
canvas.addEventListener('mousedown', event => {
  const r = Math.min(Math.floor(event.offsetX / 4), n), c = Math.min(Math.floor(event.offsetY / 4), n);
  for (let i = 0; i < n; ++i) { negate(i * n + r); negate(r * n + i); }
  negate(r * n + c);
  requestAnimationFrame(draw);
});
</script></body></html>
'''


def median(values, unit='ms', digits=0):
    return f'{statistics.median(values):.{digits}f} {unit}' if values else '—'


def spread(values):
    return f'{min(values):.0f} to {max(values):.0f}' if values else ''


def measure(kind, url, runs):
    browser = BROWSERS[kind](STAMPS)
    first = {'knotwerry': [], 'bare': []}
    press = {'knotwerry': [], 'bare': []}
    handler, check = [], []
    try:
        for run in range(runs + 1):  # the first round warms the cache, and is dropped
            for page in ('knotwerry', 'bare'):
                browser.open(url + ('index.html' if page == 'knotwerry' else 'bare.html'))
                await_(lambda: browser.run('return window.__draws.length') > 0, f'{page}\'s first frame')
                if run:
                    first[page].append(browser.run('return window.__draws[0]'))
                if run != runs:
                    continue
                # Presses on the last round, each awaited to its frame.
                browser.run('await new Promise(done => requestAnimationFrame(() => requestAnimationFrame(done)))')
                for i in range(4 * runs):
                    x, y = 8 + 37 + 17 * i, 8 + 101 + 13 * i
                    draws = browser.run('return window.__draws.length')
                    browser.mouse('down', x, y, 'left', ('left',))
                    browser.mouse('up', x, y, 'left')
                    await_(lambda: browser.run('return window.__draws.length') > draws, 'a press\'s frame')
                    down = browser.run('return window.__downs[window.__downs.length - 1]')
                    drawn = browser.run(f'return window.__draws[{draws}]')
                    press[page].append(drawn - down[0])
                    if page == 'knotwerry':
                        handler.append(down[2] - down[1])
                if page == 'knotwerry':
                    # In batches of 200: the browsers' clocks step by 0.1 ms or more.
                    check.extend(browser.run(
                        'const times = [];'
                        'for (let b = 0; b < 9; ++b) {'
                        '  const t = performance.now();'
                        '  for (let i = 0; i < 200; ++i) Module._pressMade();'
                        '  times.push((performance.now() - t) / 200); }'
                        'return times'))
        version = browser.version()
    finally:
        browser.quit()
    return first, press, handler, check, version


def main():
    if len(sys.argv) < 2:
        sys.exit('usage: measure_page.py SITE [RUNS] [BROWSER ...]')
    site = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    kinds = sys.argv[3:] or ['chromium', 'firefox']

    rows = []
    total = 0
    for name in sorted(os.listdir(site)):
        with open(os.path.join(site, name), 'rb') as file:
            data = file.read()
        packed = len(gzip.compress(data, 9))
        total += packed
        rows.append(f'| `{name}`, gzipped (of {len(data) / 1024:.0f} KiB) | {packed / 1024:.1f} KiB |')
    rows.append(f'| the download, gzipped | {total / 1024:.1f} KiB |')

    folder = tempfile.mkdtemp(prefix='knotwerry-measure-')
    for name in os.listdir(site):
        shutil.copy(os.path.join(site, name), folder)
    shutil.copy(os.path.join(TOP, 'grid', 'data', 'knot.bin'), folder)
    with open(os.path.join(folder, 'bare.html'), 'w') as file:
        file.write(BARE)
    server = serve.make_server(folder)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f'http://127.0.0.1:{server.server_address[1]}/'
    load = os.getloadavg()[0]
    results = {}
    try:
        for kind in kinds:
            results[kind] = measure(kind, url, runs)
    finally:
        server.shutdown()
        shutil.rmtree(folder)

    print(f'{time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime())}, load average {load:.2f} before,'
          f' {os.getloadavg()[0]:.2f} after')
    print()
    print('| Figure | Value |')
    print('|---|---|')
    for row in rows:
        print(row)
    print()
    print('| Browser | Figure | Knotwerry | Bare WebGL page | Ratio |')
    print('|---|---|---|---|---|')
    for kind, (first, press, handler, check, version) in results.items():
        name = f'{kind} {version}'
        for figure, values in ((f'first frame after navigation (median of {runs})', first),
                               (f'press to frame (median of {4 * runs})', press)):
            ratio = statistics.median(values['knotwerry']) / statistics.median(values['bare'])
            print(f'| {name} | {figure} | {median(values["knotwerry"])} ({spread(values["knotwerry"])})'
                  f' | {median(values["bare"])} ({spread(values["bare"])}) | {ratio:.2f} |')
        print(f'| {name} | a press\'s mousedown, first listener to last (median of {len(handler)})'
              f' | {median(handler, digits=2)} | | |')
        print(f'| {name} | the "Solved" check alone, pressMade (median of {len(check)} batches'
              f' of 200; slowest batch) | {median(check, digits=3)} ({max(check):.3f} ms) | | |')


if __name__ == '__main__':
    main()
