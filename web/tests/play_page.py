#!/usr/bin/python3
"""Plays the web page in headless Chromium, as a player would, against the model.

The page is served from 127.0.0.1 on a free port. Input goes in through Chromium's own
input events (Input.dispatchMouseEvent, Input.dispatchKeyEvent); what the page shows
is read back as a screenshot of the canvas, and picture_check (the desktop tests' model
of a press and their projection, built for this machine) says whether it is the
model's picture. Every wait polls with a deadline: for a count of WebGL draws, which
a script of the test's own counts in the page, and for the model's picture.

play_page.py --site build/web --checker PATH [--build build] [--only NAME]
ends with the line "N passed, M failed" and fails when any test failed.
"""
import argparse
import base64
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import traceback

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
import serve  # noqa: E402

TOP = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
TABLE = os.path.join(TOP, 'grid', 'data', 'knot.bin')
LIMIT = 40.0      # seconds; generous for a loaded machine, every wait ends when it can
CANVAS = 800

# Runs in every page before its own scripts: counts WebGL draws and keeps every error
# the page raises and every context menu it lets through.
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
'''

# Chromium's names of the keys the tests press: key, code, Windows key code, text.
KEYS = {
    'Insert': ('Insert', 'Insert', 45, ''),
    'Delete': ('Delete', 'Delete', 46, ''),
    'Escape': ('Escape', 'Escape', 27, ''),
    'a': ('a', 'KeyA', 65, 'a'),
    '5': ('5', 'Digit5', 53, '5'),
    'Space': (' ', 'Space', 32, ' '),
    'Enter': ('Enter', 'Enter', 13, '\r'),
    'ArrowLeft': ('ArrowLeft', 'ArrowLeft', 37, ''),
    'ArrowDown': ('ArrowDown', 'ArrowDown', 40, ''),
    'PageDown': ('PageDown', 'PageDown', 34, ''),
    'End': ('End', 'End', 35, ''),
    'Home': ('Home', 'Home', 36, ''),
    'F2': ('F2', 'F2', 113, ''),
    'Backspace': ('Backspace', 'Backspace', 8, ''),
}
BUTTONS = {'left': 1, 'right': 2, 'middle': 4}  # Chromium's bits for buttons held


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Browser:
    """One headless Chromium, its console read after every test."""

    def __init__(self, extra_args=()):
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for argument in ('--headless=new', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
                         '--no-sandbox', '--window-size=1280,1024', '--force-device-scale-factor=1',
                         '--disable-gpu-vsync', '--disable-dev-shm-usage', *extra_args):
            options.add_argument(argument)
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        self.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        self.driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': WATCH})

    def quit(self):
        self.driver.quit()

    def console_errors(self):
        """Errors the console showed since the last call; warnings are let pass."""
        return [entry['message'] for entry in self.driver.get_log('browser')
                if entry['level'] == 'SEVERE']


class Page:
    """The page loaded afresh, and the test's model of what it must show."""

    def __init__(self, browser, url, checker, shots):
        self.browser, self.driver, self.checker, self.shots = browser, browser.driver, checker, shots
        self.presses, self.twist = [], 0.0
        self.shot_count = 0
        self.driver.get(url)

    # --- reading the page ---------------------------------------------------------

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def draws(self):
        return self.js('return window.__draws')

    def exit_status(self):
        return self.js('return document.body.dataset.exitStatus')

    def canvas_box(self):
        return self.js('const r = canvas.getBoundingClientRect();'
                       'return {x: r.left, y: r.top, width: r.width, height: r.height}')

    def faults(self):
        return self.js('return window.__faults') + self.browser.console_errors()

    def await_(self, condition, what, limit=LIMIT):
        deadline = time.monotonic() + limit
        while True:
            value = condition()
            if value:
                return value
            if time.monotonic() > deadline:
                raise Failure(f'timed out waiting for {what}')
            time.sleep(0.02)

    def await_draws_beyond(self, count, what):
        self.await_(lambda: self.draws() > count, f'a frame after {what}')

    def settle(self):
        """Returns once the page has run two more animation frames: every event sent
        before has been handled, and any frame it asked for has had its chance."""
        self.driver.execute_async_script(
            'const done = arguments[0];'
            'requestAnimationFrame(() => requestAnimationFrame(() => done()));')

    def screenshot(self):
        box = self.canvas_box()
        shot = self.driver.execute_cdp_cmd('Page.captureScreenshot', {
            'format': 'png',
            'clip': {'x': box['x'], 'y': box['y'], 'width': CANVAS, 'height': CANVAS, 'scale': 1}})
        self.shot_count += 1
        path = os.path.join(self.shots, f'shot-{self.shot_count}.png')
        with open(path, 'wb') as file:
            file.write(base64.b64decode(shot['data']))
        return path

    def compare(self, path, presses=None, twist=None):
        presses = self.presses if presses is None else presses
        twist = self.twist if twist is None else twist
        run = subprocess.run([self.checker, TABLE, path, repr(twist)] +
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
        self.await_(lambda: self.draws() > 0 or self.exit_status(), 'the first frame')
        check(self.exit_status() is None, f'the program ended at start, status {self.exit_status()}')
        self.await_model('the first frame')

    def would_show(self, presses, twist):
        """True when the model after this change differs from what the canvas shows."""
        matches, _ = self.compare(self.screenshot(), presses, twist)
        return not matches

    # --- input through Chromium -----------------------------------------------------

    def mouse(self, kind, x, y, button='none', held=0, clicks=0):
        box = self.canvas_box()
        self.driver.execute_cdp_cmd('Input.dispatchMouseEvent', {
            'type': kind, 'x': box['x'] + x, 'y': box['y'] + y, 'button': button,
            'buttons': held, 'clickCount': clicks})

    def press(self, x, y, button='left'):
        self.mouse('mousePressed', x, y, button, BUTTONS[button], 1)

    def release(self, x, y, button='left'):
        self.mouse('mouseReleased', x, y, button, 0, 1)

    def move(self, x, y, held=0):
        self.mouse('mouseMoved', x, y, 'none', held)

    def wheel(self, x, y, notch):
        """One notch: -1 away from the player (up), +1 towards."""
        box = self.canvas_box()
        self.driver.execute_cdp_cmd('Input.dispatchMouseEvent', {
            'type': 'mouseWheel', 'x': box['x'] + x, 'y': box['y'] + y,
            'deltaX': 0, 'deltaY': 120 * notch})

    def key(self, name, kind, repeat=False):
        key, code, keycode, text = KEYS[name]
        event = {'type': kind, 'key': key, 'code': code, 'windowsVirtualKeyCode': keycode,
                 'nativeVirtualKeyCode': keycode, 'autoRepeat': repeat}
        if text and kind == 'keyDown':
            event['text'] = text
        self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', event)

    def tap(self, name):
        self.key(name, 'keyDown' if KEYS[name][3] else 'rawKeyDown')
        self.key(name, 'keyUp')

    def hold(self, name, repeats):
        """Holds the key through this many repeats, as the keyboard sends them."""
        down = 'keyDown' if KEYS[name][3] else 'rawKeyDown'
        self.key(name, down)
        for _ in range(repeats):
            self.key(name, down, repeat=True)
        self.key(name, 'keyUp')

    # --- the model ------------------------------------------------------------------

    def pressed(self, x, y):
        self.presses.append((x, y))

    def turned(self, degrees):
        self.twist += degrees


TESTS = []


def test(function):
    TESTS.append(function)
    return function


# --- the first frame, the buttons, the keys ----------------------------------------------

@test
def first_frame_is_the_models_projection_of_the_table(ctx):
    page = ctx.page()
    page.await_first_frame()
    # Nothing from elsewhere: every file the page loaded came from our server.
    loaded = page.js('return [location.href].concat('
                     'performance.getEntriesByType("resource").map(r => r.name))')
    check(all(name.startswith(ctx.url) for name in loaded), f'the page loaded {loaded}')
    check(len(loaded) == 3, f'the page loaded {loaded}, not itself and the program\'s two files')


@test
def the_page_embeds_the_desktops_table_byte_for_byte(ctx):
    native = os.path.join(ctx.build, 'generated', 'knot_table.inc')
    web = os.path.join(ctx.build, 'web-build', 'generated', 'knot_table.inc')
    with open(native, 'rb') as a, open(web, 'rb') as b:
        check(a.read() == b.read(), f'{web} differs from {native}')


BUTTON_CASES = [
    ('left', (401, 37)),
    ('middle', (8, 790)),
    ('right', (600, 300)),
    ('left in the right margin', (799, 120)),
]


@test
def a_press_of_each_button_flips_the_models_cross_and_its_release_does_nothing(ctx):
    for name, (x, y) in BUTTON_CASES:
        page = ctx.page()
        page.await_first_frame()
        button = name.split()[0]
        check(page.would_show([(x, y)], 0.0), f'{name}: this press would not show')
        page.press(x, y, button)
        page.pressed(x, y)
        page.await_model(f'{name} press')
        # The release, then INSERT as a marker that the release has been handled.
        page.release(x, y, button)
        page.tap('Insert')
        page.turned(1)
        page.await_model(f'{name} release and INSERT')
        ctx.no_faults(page)


@test
def each_wheel_notch_over_the_canvas_flips_the_models_cross(ctx):
    page = ctx.page()
    page.await_first_frame()
    for x, y, notch in [(200, 650, -1), (790, 100, 1), (333, 444, 1)]:
        check(page.would_show(page.presses + [(x, y)], 0.0), f'a notch at {x},{y} would not show')
        page.wheel(x, y, notch)
        page.pressed(x, y)
        page.await_model(f'a wheel notch at {x},{y}')


@test
def holding_a_button_and_dragging_flips_once_where_it_went_down(ctx):
    page = ctx.page()
    page.await_first_frame()
    page.press(300, 300)
    page.pressed(300, 300)
    for x, y in [(320, 300), (500, 500), (100, 700), (799, 799), (900, 100), (-50, 40)]:
        page.move(x, y, held=BUTTONS['left'])
    page.release(-50, 40)
    page.tap('Insert')
    page.turned(1)
    page.await_model('a drag, its release and INSERT')


@test
def keys_reach_the_program_without_a_first_click(ctx):
    page = ctx.page()
    page.await_first_frame()
    page.tap('Insert')
    page.turned(1)
    page.await_model('INSERT on a page never clicked')


@test
def insert_and_delete_turn_the_picture_and_cancel_exactly(ctx):
    page = ctx.page()
    page.await_first_frame()
    for name, degrees in [('Insert', 1), ('Insert', 1), ('Delete', -1), ('Delete', -1),
                          ('Delete', -1)]:
        page.tap(name)
        page.turned(degrees)
        page.await_model(f'{name}, the twist now {page.twist}')
    page.tap('Insert')
    page.turned(1)
    page.await_model('back to the start')
    ctx.no_faults(page)


@test
def a_held_insert_or_delete_turns_once_for_every_repeat(ctx):
    page = ctx.page()
    page.await_first_frame()
    page.hold('Insert', 9)
    page.turned(10)
    page.await_model('INSERT held through 9 repeats')
    page.hold('Delete', 4)
    page.turned(-5)
    page.await_model('DELETE held through 4 repeats')


@test
def other_keys_change_nothing_but_each_asks_for_a_frame(ctx):
    page = ctx.page()
    page.await_first_frame()
    page.press(500, 200)
    page.pressed(500, 200)
    page.await_model('a press before the keys')
    for name in ['a', '5', 'Space', 'Enter', 'ArrowLeft', 'ArrowDown', 'PageDown', 'Home',
                 'F2', 'Backspace']:
        before = page.draws()
        page.tap(name)
        page.await_draws_beyond(before, name)
        page.await_model(f'{name}')
    ctx.no_faults(page)


# --- a storm of events ---------------------------------------------------------------

@test
def after_a_storm_of_1000_events_the_page_shows_the_models_picture(ctx):
    page = ctx.page()
    page.await_first_frame()
    chance = random.Random(11)
    held = None  # the button held down, and where
    before = page.draws()
    for _ in range(1000):
        roll = chance.random()
        x, y = chance.randrange(CANVAS), chance.randrange(CANVAS)
        if held is None and roll < 0.3:
            button = chance.choice(list(BUTTONS))
            page.press(x, y, button)
            page.pressed(x, y)
            held = button
        elif held is not None and roll < 0.5:
            page.release(x, y, held)
            held = None
        elif roll < 0.6:
            page.move(x, y, BUTTONS[held] if held else 0)
        elif roll < 0.7:
            page.wheel(x, y, chance.choice((-1, 1)))
            page.pressed(x, y)
        elif roll < 0.8:
            page.tap('Insert')
            page.turned(1)
        elif roll < 0.9:
            page.tap('Delete')
            page.turned(-1)
        else:
            page.tap(chance.choice(['a', '5', 'ArrowLeft', 'Home', 'F2', 'Space']))
    if held is not None:
        page.release(0, 0, held)
    page.await_model(f'the storm ({len(page.presses)} presses, twist {page.twist})')
    check(page.draws() > before, 'no frame was drawn during the storm')
    ctx.no_faults(page)


# --- the end, and a start without WebGL ------------------------------------------------

ENDED = 'Knotwerry has ended. Reload the page to start it again.'


@test
def escape_ends_the_program_with_status_0_and_nothing_changes_after(ctx):
    page = ctx.page()
    page.await_first_frame()
    page.press(401, 37)
    page.pressed(401, 37)
    page.await_model('a press before ESCAPE')
    page.tap('Escape')
    page.await_(lambda: page.exit_status() is not None, 'the page to say the program ended')
    check(page.exit_status() == '0', f'exit status {page.exit_status()}, not 0')
    status = page.driver.find_element('id', 'status')
    check(status.text == ENDED, f'the line under the canvas says {status.text!r}')
    check(page.js('return document.getElementById("status").getClientRects().length') == 1 and
          status.size['height'] < 30, 'the end is not said in one line')
    box = page.canvas_box()
    check(status.location['y'] >= box['y'] + box['height'], 'the line is not under the canvas')
    page.settle()
    draws = page.draws()

    for act in [lambda: page.press(600, 300), lambda: page.release(600, 300),
                lambda: page.press(100, 100, 'right'), lambda: page.release(100, 100, 'right'),
                lambda: page.wheel(250, 250, 1), lambda: page.tap('Insert'),
                lambda: page.tap('Delete'), lambda: page.tap('a'), lambda: page.tap('Escape')]:
        act()
    page.settle()
    page.settle()
    check(page.draws() == draws, f'{page.draws() - draws} frames were drawn after the end')
    matches, report = page.compare(page.screenshot())
    check(matches, f'the picture changed after the end: {report}')
    check(page.exit_status() == '0', 'the exit status changed after the end')
    ctx.no_faults(page)


FAILED = ('Knotwerry cannot start: this browser gives the page no WebGL. '
          'Turn WebGL on, or use another browser, and reload the page.')


@test
def without_webgl_the_page_says_so_in_one_line_in_place_of_the_canvas(ctx):
    for switch in ['--disable-webgl', '--disable-3d-apis']:
        browser = Browser([switch])
        try:
            page = Page(browser, ctx.url, ctx.checker, ctx.shots)
            page.await_(lambda: page.exit_status() is not None, f'the page to end with {switch}')
            check(page.exit_status() == '575', f'{switch}: status {page.exit_status()}, not 575')
            failure = page.driver.find_element('id', 'failure')
            check(failure.is_displayed() and failure.text == FAILED,
                  f'{switch}: the page says {failure.text!r}')
            check(page.js('return document.getElementById("failure").getClientRects().length') == 1
                  and page.js('return document.getElementById("failure").innerText.split("\\n").length') == 1,
                  f'{switch}: the message is not one line')
            check(not page.driver.find_element('id', 'canvas').is_displayed(),
                  f'{switch}: the blank canvas is still shown')
            check(page.draws() == 0, f'{switch}: something was drawn')
            ctx.no_faults(page)
        finally:
            browser.quit()


@test
def opened_as_a_file_the_page_says_it_needs_a_web_server(ctx):
    ctx.browser.console_errors()
    page = Page(ctx.browser, 'file://' + os.path.abspath(os.path.join(ctx.site, 'index.html')),
                ctx.checker, ctx.shots)
    failure = page.driver.find_element('id', 'failure')
    page.await_(lambda: failure.is_displayed(), 'the page to say why it cannot run')
    check(failure.text.startswith('Knotwerry runs only from a web server'),
          f'the page says {failure.text!r}')
    check(not page.driver.find_element('id', 'canvas').is_displayed(), 'the canvas is shown')
    ctx.no_faults(page)


# --- the page around the canvas ---------------------------------------------------------

@test
def the_canvas_is_fully_visible_without_scrolling_in_a_1280_by_1024_window(ctx):
    page = ctx.page()
    page.await_first_frame()
    view = page.js('return {width: innerWidth, height: innerHeight, x: scrollX, y: scrollY}')
    box = page.canvas_box()
    check(view['x'] == 0 and view['y'] == 0, f'the page opens scrolled: {view}')
    check(box['width'] == CANVAS and box['height'] == CANVAS, f'the canvas is {box}')
    check(box['x'] >= 0 and box['y'] >= 0 and box['x'] + box['width'] <= view['width'] and
          box['y'] + box['height'] <= view['height'],
          f'the canvas {box} does not fit the window\'s {view["width"]} x {view["height"]} view')


@test
def a_right_press_on_the_canvas_opens_no_context_menu(ctx):
    page = ctx.page()
    page.await_first_frame()
    page.press(600, 300, 'right')
    page.release(600, 300, 'right')
    page.pressed(600, 300)
    page.await_model('a right press')
    menus = page.js('return window.__menus')
    check(menus == [True], f'context menu events, and whether each was stopped: {menus}')


@test
def neither_the_wheel_nor_the_keys_scroll_the_page_under_the_canvas(ctx):
    page = ctx.page()
    page.await_first_frame()
    height = page.js('return innerHeight')
    check(page.js('return document.documentElement.scrollHeight') > height + 200,
          'the page is too short to scroll in this window')
    page.wheel(300, 200, 1)
    page.pressed(300, 200)
    for name in ['ArrowDown', 'PageDown', 'Space', 'End']:
        page.tap(name)
    page.await_model('a notch and keys')
    page.settle()
    check(page.js('return scrollY') == 0, 'the page scrolled under the canvas')
    # Beside the canvas the wheel scrolls the page as usual, and flips nothing.
    page.wheel(CANVAS + 100, 200, 1)
    page.await_(lambda: page.js('return scrollY') > 0, 'the page to scroll beside the canvas')
    page.js('window.scrollTo(0, 0)')
    page.await_(lambda: page.js('return scrollY') == 0, 'the page to scroll back')
    page.tap('Insert')
    page.turned(1)
    page.await_model('a notch beside the canvas, then INSERT')
    ctx.no_faults(page)


class Context:
    def __init__(self, url, site, checker, build, shots):
        self.url, self.site, self.checker, self.build = url, site, checker, build
        self.shots = shots
        self.browser = Browser()

    def page(self):
        self.browser.console_errors()  # drop what earlier pages left
        return Page(self.browser, self.url, self.checker, self.shots)

    def no_faults(self, page):
        faults = page.faults()
        check(not faults, f'the console shows errors: {json.dumps(faults)}')


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--site', required=True)
    parser.add_argument('--checker', required=True)
    parser.add_argument('--build', default=os.path.join(TOP, 'build'))
    parser.add_argument('--only', help='run only the tests whose name contains this')
    args = parser.parse_args()

    server = serve.make_server(args.site)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f'http://127.0.0.1:{server.server_address[1]}/'
    shots = tempfile.mkdtemp(prefix='knotwerry-web-')
    print(f'Serving {args.site} at {url}', flush=True)

    ctx = Context(url, args.site, os.path.abspath(args.checker), args.build, shots)
    passed = failed = 0
    try:
        for function in TESTS:
            if args.only and args.only not in function.__name__:
                continue
            started = time.monotonic()
            try:
                function(ctx)
                # Every path ends with no console error.
                faults = ctx.browser.driver.execute_script('return window.__faults || []') + \
                    ctx.browser.console_errors()
                check(not faults, f'the console shows errors: {json.dumps(faults)}')
            except Failure as failure:
                failed += 1
                print(f'FAIL {function.__name__}: {failure}', flush=True)
                continue
            except Exception:
                failed += 1
                print(f'FAIL {function.__name__}:\n{traceback.format_exc()}', flush=True)
                continue
            passed += 1
            print(f'ok   {function.__name__} ({time.monotonic() - started:.1f} s)', flush=True)
    finally:
        ctx.browser.quit()
        server.shutdown()
    if failed:
        print(f'The screenshots are kept in {shots}')
    else:
        shutil.rmtree(shots)
    print(f'{passed} passed, {failed} failed')
    return 1 if failed or not passed else 0


if __name__ == '__main__':
    sys.exit(main())
