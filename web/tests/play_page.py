#!/usr/bin/python3
"""Plays the web page in Chromium and in Firefox, as a player would, against the model.

The page is served from 127.0.0.1 on a free port. One list of cases runs in each
browser (browsers.py: headless Chromium over its DevTools protocol, Firefox in a window
on a private Xvfb over WebDriver BiDi). Input goes in through the browser's own input
events; what the page shows is read back as a screenshot of the canvas in device
pixels, and picture_check (the desktop tests' model of a press and their projection,
built for this machine) says whether it is the model's picture. Every wait polls with a
deadline: for a count of WebGL draws, which a script of the test's own counts in the
page, and for the model's picture.

play_page.py --site build/web --checker PATH [--browser chromium|firefox ...] [--only NAME]
ends with the line "N passed, M failed" and fails when any case failed in any browser.
"""
import argparse
import json
import math
import os
import random
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
import serve  # noqa: E402
from browsers import BROWSERS  # noqa: E402

TOP = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
TABLE = os.path.join(TOP, 'grid', 'data', 'knot.bin')
SOLUTION = os.path.join(TOP, 'tests', 'data', 'solution.txt')
LIMIT = 40.0      # seconds; generous for a loaded machine, every wait ends when it can
CANVAS = 800      # canvas pixels a side, and device pixels on screen

# Runs in every page before its own scripts: counts WebGL draws and keeps every error
# the page raises, every context menu it lets through, and for every key that reached
# the page whether its default action was cancelled (seen last, as the key leaves the
# page; kept across a reload, which F5 may make).
WATCH = r'''
window.__draws = 0;
window.__faults = [];
window.__menus = [];
for (const kind of [WebGLRenderingContext, WebGL2RenderingContext])
  for (const name of ['drawArrays', 'drawElements']) {
    const draw = kind.prototype[name];
    kind.prototype[name] = function (...args) { window.__draws++; return draw.apply(this, args); };
  }
window.addEventListener('error', e => window.__faults.push('error: ' + e.message));
window.addEventListener('unhandledrejection', e => window.__faults.push('rejection: ' + e.reason));
const consoleError = console.error;
console.error = function (...args) { window.__faults.push('console.error: ' + args.join(' ')); consoleError.apply(console, args); };
window.addEventListener('contextmenu', e => window.__menus.push(e.defaultPrevented));
window.__scrollEnds = 0;
window.addEventListener('scrollend', () => window.__scrollEnds++, true);
if (location.protocol === 'http:') {  // a page of our server's, not about:blank
  sessionStorage.loads = String(Number(sessionStorage.loads || 0) + 1);
  window.addEventListener('keydown', e => {
    const keys = JSON.parse(sessionStorage.keys || '[]');
    keys.push([e.key, e.defaultPrevented]);
    sessionStorage.keys = JSON.stringify(keys);
  });
}
'''


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def await_(condition, what, limit=LIMIT):
    deadline = time.monotonic() + limit
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f'timed out waiting for {what}')
        time.sleep(0.02)


class Page:
    """The page loaded afresh in one browser, and the test's model of what it must show.
    Positions are canvas pixels: the pointer goes to the pixel's top-left corner, as a
    real pointer on that device pixel reports it."""

    def __init__(self, ctx, url=None, browser=None, ratio=1):
        self.ctx, self.browser = ctx, browser or ctx.browser
        self.presses, self.twist = [], 0.0
        self.browser.view(ratio)
        self.browser.errors()  # drop what earlier pages left
        self.browser.open(url or ctx.url)

    # --- reading the page ---------------------------------------------------------

    def js(self, body):
        return self.browser.run(body)

    def draws(self):
        return self.js('return window.__draws')

    def exit_status(self):
        return self.js('return document.body.dataset.exitStatus')

    def text(self, element):
        return self.js(f'return document.getElementById("{element}").innerText')

    def shown(self, element):
        return self.js(f'return document.getElementById("{element}").getClientRects().length > 0')

    def canvas_box(self):
        """The canvas in CSS pixels from the view's corner, the scroll and the ratio."""
        return self.js('const r = canvas.getBoundingClientRect();'
                       'return {x: r.left, y: r.top, width: r.width, height: r.height,'
                       '        scrollX, scrollY, ratio: devicePixelRatio,'
                       '        viewWidth: innerWidth, viewHeight: innerHeight}')

    def faults(self):
        return self.js('return window.__faults') + self.browser.errors()

    def keys_seen(self):
        return self.js('return JSON.parse(sessionStorage.keys || "[]")')

    def scroll_ends(self):
        return self.js('return window.__scrollEnds')

    def await_scrolled(self, what, ends=None, by=None):
        """Waits for the page to have scrolled down, and for that scroll to have ended
        (scrollend, which neither browser sends for a wheel here) or to have come to
        `by` CSS pixels, then scrolls it back to the top at once."""
        await_(lambda: self.js('return scrollY') > 0, f'{what} to scroll the page')
        if by is None:
            await_(lambda: self.scroll_ends() > ends, f'the scroll after {what} to end')
        else:
            await_(lambda: self.js('return scrollY') == by, f'{what} to scroll the page by {by}')
        self.js('window.scrollTo({top: 0, behavior: "instant"})')
        await_(lambda: self.js('return scrollY') == 0, 'the page to scroll back')

    def await_draws_beyond(self, count, what):
        await_(lambda: self.draws() > count, f'a frame after {what}')

    def settle(self):
        """Returns once the page has run two more animation frames: every event sent
        before has been handled, and any frame it asked for has had its chance."""
        self.js('await new Promise(done => requestAnimationFrame(() => requestAnimationFrame(done)))')

    def screenshot(self):
        box = self.canvas_box()
        side = CANVAS / box['ratio']  # the canvas's 800 device pixels
        png = self.browser.screenshot(box['x'], box['y'], side, side)
        self.ctx.shot_count += 1
        path = os.path.join(self.ctx.shots, f'{self.browser.name}-{self.ctx.shot_count}.png')
        with open(path, 'wb') as file:
            file.write(png)
        return path

    def compare(self, path, presses=None, twist=None):
        presses = self.presses if presses is None else presses
        twist = self.twist if twist is None else twist
        run = subprocess.run([self.ctx.checker, TABLE, path, repr(twist)] +
                             [f'{x},{y}' for x, y in presses],
                             capture_output=True, text=True)
        check(run.returncode in (0, 1), f'picture_check failed: {run.stderr.strip()}')
        return run.returncode == 0, run.stdout.strip()

    def await_model(self, what):
        """Polls the canvas until it shows the model's picture."""
        deadline = time.monotonic() + LIMIT
        while True:
            path = self.screenshot()
            matches, report = self.compare(path)
            if matches:
                return
            if time.monotonic() > deadline:
                raise Failure(f'{what}: the canvas does not show the model ({path}): {report}')
            time.sleep(0.05)

    def await_first_frame(self):
        await_(lambda: self.draws() > 0 or self.exit_status(), 'the first frame')
        check(self.exit_status() is None, f'the program ended at start, status {self.exit_status()}')
        self.await_model('the first frame')

    def would_show(self, presses, twist):
        """True when the model after this change differs from what the canvas shows."""
        matches, _ = self.compare(self.screenshot(), presses, twist)
        return not matches

    # --- input --------------------------------------------------------------------

    def at(self, x, y):
        """Where canvas pixel (x, y) is, in CSS pixels of the view."""
        box = self.canvas_box()
        return box['x'] + x / box['ratio'], box['y'] + y / box['ratio']

    def lands(self, x, y, at=None):
        """The canvas pixel that a press at (x, y), or at these CSS pixels, picks: the
        one under the pointer, or where the browser gives whole CSS pixels only, the
        one at the corner of the CSS pixel nearest the pointer."""
        css_x, css_y = at or self.at(x, y)
        if not self.browser.whole_css_pixels:
            return x, y
        box = self.canvas_box()
        return (math.floor((math.floor(css_x + 0.5) - box['x']) * box['ratio']),
                math.floor((math.floor(css_y + 0.5) - box['y']) * box['ratio']))

    def press(self, x, y, button='left'):
        self.browser.mouse('down', *self.at(x, y), button, (button,))

    def release(self, x, y, button='left'):
        self.browser.mouse('up', *self.at(x, y), button)

    def click(self, x, y):
        """A left press and its release, and the press in the model."""
        self.press(x, y)
        self.release(x, y)
        self.pressed(*self.lands(x, y))

    def move(self, x, y, held=()):
        self.browser.mouse('move', *self.at(x, y), None, held)

    def wheel(self, x, y, dy):
        self.browser.wheel(*self.at(x, y), 0, dy)

    def tap(self, name):
        self.browser.key(name, 'down')
        self.browser.key(name, 'up')

    def hold(self, name, repeats):
        """Holds the key through this many repeats, as the keyboard sends them."""
        self.browser.key(name, 'down')
        for _ in range(repeats):
            self.browser.key(name, 'down', repeat=True)
        self.browser.key(name, 'up')

    # --- the model ----------------------------------------------------------------

    def pressed(self, x, y):
        self.presses.append((x, y))

    def turned(self, degrees):
        self.twist += degrees

    def no_faults(self):
        faults = self.faults()
        check(not faults, f'the console shows errors: {json.dumps(faults)}')


TESTS = []


def test(function):
    TESTS.append(function)
    return function


# --- the first frame, the buttons, the keys ----------------------------------------------

@test
def first_frame_is_the_models_projection_of_the_table(ctx):
    page = Page(ctx)
    page.await_first_frame()
    # Nothing from elsewhere: every file the page loaded came from our server.
    loaded = page.js('return [location.href].concat('
                     'performance.getEntriesByType("resource").map(r => r.name))')
    check(all(name.startswith(ctx.url) for name in loaded), f'the page loaded {loaded}')
    check(len(loaded) == 3, f'the page loaded {loaded}, not itself and the program\'s two files')


@test
def the_program_holds_the_committed_table_as_its_data(ctx):
    with open(TABLE, 'rb') as file:
        table = file.read()
    with open(os.path.join(ctx.site, 'knotwerry.wasm'), 'rb') as file:
        program = file.read()
    check(len(table) % 12 == 0 and len(table) > 12 * 38416, 'grid/data/knot.bin is not the table')
    check(program.count(table) == 1, 'knotwerry.wasm does not hold grid/data/knot.bin\'s bytes once')


BUTTON_CASES = [
    ('left', (401, 37)),
    ('middle', (8, 790)),
    ('right', (600, 300)),
    ('left in the right margin', (799, 120)),
]


@test
def a_press_of_each_button_flips_the_models_cross_and_its_release_does_nothing(ctx):
    page = Page(ctx)
    page.await_first_frame()
    for name, (x, y) in BUTTON_CASES:
        button = name.split()[0]
        check(page.would_show(page.presses + [(x, y)], page.twist), f'{name}: this press would not show')
        page.press(x, y, button)
        page.pressed(x, y)
        page.await_model(f'{name} press')
        # The release, then INSERT as a marker that the release has been handled.
        page.release(x, y, button)
        page.tap('Insert')
        page.turned(1)
        page.await_model(f'{name} release and INSERT')
    check(page.js('return window.__menus') == [True], 'the right press let a context menu through')
    page.no_faults()


@test
def holding_a_button_and_dragging_flips_once_where_it_went_down(ctx):
    page = Page(ctx)
    page.await_first_frame()
    page.press(300, 300)
    page.pressed(300, 300)
    for x, y in [(320, 300), (500, 500), (100, 700), (799, 799), (900, 100), (-5, 40)]:
        page.move(x, y, held=('left',))
    page.release(-5, 40)
    page.tap('Insert')
    page.turned(1)
    page.await_model('a drag, its release and INSERT')


@test
def insert_and_delete_turn_the_picture_held_or_alone_without_a_first_click(ctx):
    page = Page(ctx)
    page.await_first_frame()
    for name, degrees in [('Insert', 1), ('Insert', 1), ('Delete', -1), ('Delete', -1),
                          ('Delete', -1), ('Insert', 1)]:
        page.tap(name)
        page.turned(degrees)
        page.await_model(f'{name}, the twist now {page.twist}')
    page.hold('Insert', 9)
    page.turned(10)
    page.await_model('INSERT held through 9 repeats')
    page.hold('Delete', 4)
    page.turned(-5)
    page.await_model('DELETE held through 4 repeats')
    seen = page.keys_seen()
    check(seen and all(prevented for _, prevented in seen),
          f'the browser was left INSERT or DELETE: {seen}')
    page.no_faults()


# Keys that the page leaves to the browser, and those of them that scroll the page.
# F11 goes twice, to full screen and back (where the browser takes it from a page's
# events: headless Chromium does, Firefox does not); F5 reloads the page where the
# browser takes it (Chromium), so it goes last.
BROWSER_KEYS = ['a', '5', 'Enter', 'Backspace', 'F2', 'ArrowLeft', 'ArrowRight', 'Home',
                'Space', 'ArrowDown', 'PageDown', 'End', 'ArrowUp', 'Tab', 'F11', 'F5']
SCROLLS = {'Space', 'ArrowDown', 'PageDown', 'End'}


@test
def the_browser_keeps_every_other_key_and_each_still_asks_for_a_frame(ctx):
    page = Page(ctx)
    page.await_first_frame()
    page.js('sessionStorage.keys = "[]"')
    page.press(500, 200)
    page.release(500, 200)
    page.pressed(500, 200)
    page.await_model('a press before the keys')
    view = page.js('return [innerWidth, innerHeight]')
    for name in BROWSER_KEYS:
        loads = page.js('return sessionStorage.loads')
        before, ends = page.draws(), page.scroll_ends()
        for _ in range(2 if name == 'F11' else 1):
            page.tap(name)
        if page.js('return sessionStorage.loads') != loads:
            # The browser reloaded the page: the program starts again.
            page.presses, page.twist = [], 0.0
            page.await_first_frame()
        else:
            page.await_draws_beyond(before, name)
            if name in SCROLLS:
                page.await_scrolled(name, ends=ends)
            await_(lambda: page.js('return [innerWidth, innerHeight]') == view,
                   f'the view to be {view} again after {name}')
            page.await_model(name)
    seen = page.keys_seen()
    # Leaving full screen, Chromium keeps the second F11 to itself.
    sent = [' ' if n == 'Space' else n for n in BROWSER_KEYS]
    check([key for i, (key, _) in enumerate(seen) if key != 'F11' or seen[i - 1][0] != 'F11'] == sent,
          f'the keys that reached the page: {seen}')
    cancelled = [key for key, prevented in seen if prevented]
    check(not cancelled, f'the page cancelled the default action of {cancelled}')
    page.no_faults()


# --- a storm of events ---------------------------------------------------------------

@test
def after_a_storm_of_1000_events_the_page_shows_the_models_picture(ctx):
    page = Page(ctx)
    page.await_first_frame()
    chance = random.Random(11)
    held = None  # the button held down
    before = page.draws()
    for _ in range(1000):
        roll = chance.random()
        x, y = chance.randrange(CANVAS), chance.randrange(CANVAS)
        if held is None and roll < 0.3:
            held = chance.choice(['left', 'middle', 'right'])
            page.press(x, y, held)
            page.pressed(x, y)
        elif held is not None and roll < 0.5:
            page.release(x, y, held)
            held = None
        elif roll < 0.7:
            page.move(x, y, (held,) if held else ())
        elif roll < 0.8:
            page.tap('Insert')
            page.turned(1)
        elif roll < 0.9:
            page.tap('Delete')
            page.turned(-1)
        else:
            page.tap(chance.choice(['a', '5', 'F2', 'Backspace']))
    if held is not None:
        page.release(0, 0, held)
    page.await_model(f'the storm ({len(page.presses)} presses, twist {page.twist})')
    check(page.draws() > before, 'no frame was drawn during the storm')
    page.no_faults()


# --- the wheel -----------------------------------------------------------------------

WHEEL_CASES = [
    ('one small delta', [3]),
    ('a stream of 7 small deltas', [2, 3, 2, 3, 2, 3, 2]),
    ('a notch of 120', [120]),
]


@test
def the_wheel_over_the_canvas_scrolls_the_page_and_never_flips_a_cross(ctx):
    for name, deltas in WHEEL_CASES:
        page = Page(ctx)
        page.await_first_frame()
        for delta in deltas:
            page.wheel(300, 200, delta)
        page.await_scrolled(name, by=sum(deltas))
        # INSERT as a marker that every wheel event before it has been handled.
        page.tap('Insert')
        page.turned(1)
        page.await_model(f'{name}, then INSERT')
        page.no_faults()


# --- the end, and a start without WebGL ------------------------------------------------

ENDED = 'Knotwerry has ended. Reload the page to start it again.'


@test
def escape_ends_the_program_with_status_0_and_nothing_changes_after(ctx):
    page = Page(ctx)
    page.await_first_frame()
    page.press(401, 37)
    page.pressed(401, 37)
    page.await_model('a press before ESCAPE')
    page.tap('Escape')
    await_(lambda: page.exit_status() is not None, 'the page to say the program ended')
    check(page.exit_status() == '0', f'exit status {page.exit_status()}, not 0')
    check(page.text('status') == ENDED, f'the line under the canvas says {page.text("status")!r}')
    line = page.js('const r = document.getElementById("status").getBoundingClientRect();'
                   'return {top: r.top, height: r.height, lines: document.getElementById("status").getClientRects().length}')
    box = page.canvas_box()
    check(line['lines'] == 1 and line['height'] < 30, f'the end is not said in one line: {line}')
    check(line['top'] >= box['y'] + box['height'], 'the line is not under the canvas')
    page.settle()
    draws = page.draws()
    for act in [lambda: page.press(600, 300), lambda: page.release(600, 300),
                lambda: page.press(100, 100, 'right'), lambda: page.release(100, 100, 'right'),
                lambda: page.tap('Insert'), lambda: page.tap('Delete'), lambda: page.tap('a'),
                lambda: page.tap('Escape')]:
        act()
    page.settle()
    page.settle()
    check(page.draws() == draws, f'{page.draws() - draws} frames were drawn after the end')
    matches, report = page.compare(page.screenshot())
    check(matches, f'the picture changed after the end: {report}')
    check(page.exit_status() == '0', 'the exit status changed after the end')
    page.no_faults()


FAILED = ('Knotwerry cannot start: this browser gives the page no WebGL. '
          'Turn WebGL on, or use another browser, and reload the page.')


@test
def without_webgl_the_page_says_so_in_one_line_in_place_of_the_canvas(ctx):
    browser = ctx.start(webgl=False)
    try:
        page = Page(ctx, browser=browser)
        await_(lambda: page.exit_status() is not None, 'the page to end without WebGL')
        check(page.exit_status() == '575', f'status {page.exit_status()}, not 575')
        check(page.shown('failure') and page.text('failure') == FAILED,
              f'the page says {page.text("failure")!r}')
        check(page.js('return document.getElementById("failure").getClientRects().length') == 1
              and '\n' not in page.text('failure'), 'the message is not one line')
        check(not page.shown('canvas'), 'the blank canvas is still shown')
        check(page.draws() == 0, 'something was drawn')
        page.no_faults()
    finally:
        browser.quit()


@test
def opened_as_a_file_the_page_says_it_needs_a_web_server(ctx):
    page = Page(ctx, url='file://' + os.path.abspath(os.path.join(ctx.site, 'index.html')))
    await_(lambda: page.shown('failure'), 'the page to say why it cannot run')
    check(page.text('failure').startswith('Knotwerry runs only from a web server'),
          f'the page says {page.text("failure")!r}')
    check(not page.shown('canvas'), 'the canvas is shown')
    page.no_faults()


# --- any screen ----------------------------------------------------------------------

RATIOS = [1, 1.5, 2, 3]


@test
def at_every_ratio_the_whole_canvas_is_in_view_sharp_one_device_pixel_a_canvas_pixel(ctx):
    for ratio in RATIOS:
        page = Page(ctx, ratio=ratio)
        page.await_first_frame()  # the model's picture, 800 x 800, only red and white
        box = page.canvas_box()
        check(box['ratio'] == ratio, f'the page sees ratio {box["ratio"]}, not {ratio}')
        check(abs(box['width'] * ratio - CANVAS) < 0.5 and abs(box['height'] * ratio - CANVAS) < 0.5,
              f'at ratio {ratio} the canvas is {box["width"]} x {box["height"]} CSS pixels')
        check(box['scrollX'] == 0 and box['scrollY'] == 0 and box['x'] >= 0 and box['y'] >= 0 and
              box['x'] + box['width'] <= box['viewWidth'] and
              box['y'] + box['height'] <= box['viewHeight'],
              f'at ratio {ratio} the canvas {box} is not whole in the window\'s view')
        page.press(400, 36)
        page.release(400, 36)
        page.pressed(*page.lands(400, 36))
        page.tap('Insert')
        page.turned(1)
        page.await_model(f'a press and INSERT at ratio {ratio}')
        page.no_faults()


@test
def at_ratios_2_and_3_a_press_picks_the_canvas_pixel_under_the_pointer_at_slice_edges(ctx):
    """Either side of the edge between slices 99 and 100 (canvas x 399 | 400), and of
    the edge between cells 9 and 10 (canvas y 39 | 40), a quarter into the device
    pixel. At ratio 2 the edges fall between whole CSS pixels, at ratio 3 inside them."""
    for ratio in (2, 3):
        page = Page(ctx, ratio=ratio)
        page.await_first_frame()
        box = page.canvas_box()
        for x, y in [(399, 150), (400, 150), (250, 39), (250, 40)]:
            at = box['x'] + (x + 0.25) / ratio, box['y'] + (y + 0.25) / ratio
            page.browser.mouse('down', *at, 'left', ('left',))
            page.browser.mouse('up', *at, 'left')
            page.pressed(*page.lands(x, y, at))
            page.await_model(f'at ratio {ratio}, a press on canvas pixel {x},{y}')
        page.no_faults()


# --- solved, and a lost picture ----------------------------------------------------------

def solution():
    with open(SOLUTION) as file:
        return [tuple(int(v) for v in line.split()) for line in file
                if line.strip() and not line.startswith('#')]


@test
def the_press_that_solves_the_knot_is_told_and_the_next_press_clears_it(ctx):
    page = Page(ctx)
    page.await_first_frame()
    # A stray press first, undone after the solution's presses: solved at the 14th
    # press. One more press clears it, and undoing that solves it again.
    steps = ([((100, 100), '')] + [(press, '') for press in solution()] +
             [((100, 100), 'Solved in 14 presses.'), ((500, 500), ''),
              ((500, 500), 'Solved in 16 presses.')])
    for count, ((x, y), said) in enumerate(steps, 1):
        page.click(x, y)
        page.await_model(f'press {count}, at {x},{y}')
        check(page.text('status') == said,
              f'after press {count} the page says {page.text("status")!r}, not {said!r}')
    page.no_faults()


LOST = ('The browser has taken the picture away. '
        'Reload the page to get it back (the puzzle starts again).')


@test
def a_lost_webgl_context_is_told_with_how_to_get_the_picture_back(ctx):
    page = Page(ctx)
    page.await_first_frame()
    page.js('window.__lose = document.getElementById("canvas").getContext("webgl")'
            '.getExtension("WEBGL_lose_context"); window.__lose.loseContext()')
    await_(lambda: page.text('status') == LOST, 'the page to say the picture is lost')
    page.press(401, 37)
    page.tap('Insert')
    page.settle()
    page.js('window.__lose.restoreContext()')
    page.settle()
    page.js('Module.solved(14)')  # as a press that solved the knot unseen would
    check(page.text('status') == LOST, f'the page says {page.text("status")!r}')
    page.no_faults()


class Context:
    def __init__(self, kind, url, site, checker, shots):
        self.kind, self.url, self.site, self.checker, self.shots = kind, url, site, checker, shots
        self.shot_count = 0
        self.browser = self.start()

    def start(self, webgl=True):
        return BROWSERS[self.kind](WATCH, webgl=webgl)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--site', required=True)
    parser.add_argument('--checker', required=True)
    parser.add_argument('--browser', action='append', choices=sorted(BROWSERS),
                        help='the browsers to play in (both when none is named)')
    parser.add_argument('--only', help='run only the tests whose name contains this')
    args = parser.parse_args()

    server = serve.make_server(args.site)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f'http://127.0.0.1:{server.server_address[1]}/'
    shots = tempfile.mkdtemp(prefix='knotwerry-web-')
    print(f'Serving {args.site} at {url}', flush=True)

    passed = failed = 0
    try:
        for kind in args.browser or ['chromium', 'firefox']:
            started = time.monotonic()
            ctx = Context(kind, url, args.site, os.path.abspath(args.checker), shots)
            print(f'{kind}: started in {time.monotonic() - started:.1f} s', flush=True)
            try:
                for function in TESTS:
                    if args.only and args.only not in function.__name__:
                        continue
                    started = time.monotonic()
                    try:
                        function(ctx)
                        # Every path ends with no console error.
                        faults = ctx.browser.run('return window.__faults || []') + ctx.browser.errors()
                        check(not faults, f'the console shows errors: {json.dumps(faults)}')
                    except Exception as failure:
                        failed += 1
                        why = failure if isinstance(failure, Failure) else '\n' + traceback.format_exc()
                        print(f'FAIL {kind} {function.__name__}: {why}', flush=True)
                        continue
                    passed += 1
                    print(f'ok   {kind} {function.__name__} ({time.monotonic() - started:.1f} s)',
                          flush=True)
            finally:
                ctx.browser.quit()
    finally:
        server.shutdown()
    if failed:
        print(f'The screenshots are kept in {shots}')
    else:
        shutil.rmtree(shots)
    print(f'{passed} passed, {failed} failed')
    return 1 if failed or not passed else 0


if __name__ == '__main__':
    sys.exit(main())
