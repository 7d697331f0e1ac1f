"""The page's tests' two browsers behind one small interface, each spoken to directly:
headless Chromium over its DevTools protocol, and Firefox ESR, windowed on a private
Xvfb, over WebDriver BiDi. Both go through python3-websocket, with no Origin header.

A browser: open(url), run(body) (a script's function body, awaited; its result comes
back through JSON), mouse(kind, x, y, button, held), wheel(x, y, dx, dy), key(name,
kind, repeat), screenshot(x, y, width, height) (a PNG of that part of the view in
device pixels), view(ratio) (the device pixel ratio of a view of 1280 x 1024 device
pixels), errors() (what the console showed as errors since the last call), version()
and quit().
Positions are in CSS pixels, fractions allowed, from the top-left of the view.
"""
import base64
import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

import websocket

WINDOW = (1280, 1024)  # the window, device pixels
START_LIMIT = 60.0     # seconds for a browser to start on a loaded machine
REPLY_LIMIT = 60.0     # seconds for one command's reply

# key: (DOM key, DOM code, Windows key code, text typed, WebDriver's key value)
KEYS = {
    'Insert': ('Insert', 'Insert', 45, '', '\ue016'),
    'Delete': ('Delete', 'Delete', 46, '', '\ue017'),
    'Escape': ('Escape', 'Escape', 27, '', '\ue00c'),
    'a': ('a', 'KeyA', 65, 'a', 'a'),
    'q': ('q', 'KeyQ', 81, 'q', 'q'),
    '5': ('5', 'Digit5', 53, '5', '5'),
    'Space': (' ', 'Space', 32, ' ', ' '),
    'Enter': ('Enter', 'Enter', 13, '\r', '\ue007'),
    'Tab': ('Tab', 'Tab', 9, '', '\ue004'),
    'ArrowLeft': ('ArrowLeft', 'ArrowLeft', 37, '', '\ue012'),
    'ArrowUp': ('ArrowUp', 'ArrowUp', 38, '', '\ue013'),
    'ArrowRight': ('ArrowRight', 'ArrowRight', 39, '', '\ue014'),
    'ArrowDown': ('ArrowDown', 'ArrowDown', 40, '', '\ue015'),
    'PageDown': ('PageDown', 'PageDown', 34, '', '\ue00f'),
    'End': ('End', 'End', 35, '', '\ue010'),
    'Home': ('Home', 'Home', 36, '', '\ue011'),
    'Backspace': ('Backspace', 'Backspace', 8, '', '\ue003'),
    'F2': ('F2', 'F2', 113, '', '\ue032'),
    'F5': ('F5', 'F5', 116, '', '\ue035'),
    'F11': ('F11', 'F11', 122, '', '\ue03b'),
}
BUTTON_NUMBERS = {'left': 0, 'middle': 1, 'right': 2}


class BrowserFault(Exception):
    pass


def _wrapped(body):
    """The body as an expression whose value is its result as a JSON string."""
    return f'(async () => JSON.stringify(await (async () => {{ {body} }})()))()'


class Channel:
    """One WebSocket of JSON commands and replies; events are kept as they come."""

    def __init__(self, url):
        deadline = time.monotonic() + START_LIMIT
        while True:
            try:
                self.socket = websocket.create_connection(url, suppress_origin=True,
                                                          timeout=REPLY_LIMIT)
                break
            except (OSError, websocket.WebSocketException):
                if time.monotonic() > deadline:
                    raise
                time.sleep(0.1)
        self.next_id = 0
        self.events = []

    def call(self, method, params=None, **extra):
        self.next_id += 1
        message = {'id': self.next_id, 'method': method, 'params': params or {}, **extra}
        self.socket.send(json.dumps(message))
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get('id') == self.next_id:
                if 'error' in reply and reply['error']:
                    raise BrowserFault(f'{method}: {reply["error"]} {reply.get("message", "")}')
                return reply['result']
            if 'method' in reply:
                self.events.append(reply)

    def close(self):
        try:
            self.socket.close()
        except OSError:
            pass


def _stop(process):
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGTERM)
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


class Chromium:
    """Headless Chromium with SwiftShader, one tab, over the DevTools protocol."""

    name = 'chromium'
    whole_css_pixels = False  # pointer events carry fractions of a CSS pixel

    def __init__(self, watch, webgl=True):
        self.watch, self.webgl = watch, webgl
        self._launch(1)

    def _launch(self, ratio):
        """Starts Chromium for a screen of this ratio. The ratio is the browser's own
        (--force-device-scale-factor): emulated (Emulation.setDeviceMetricsOverride),
        Chromium lays out on whole CSS pixels and scales after, which no real screen of
        that ratio shows."""
        self.ratio = ratio
        self.profile = tempfile.mkdtemp(prefix='knotwerry-chromium-')
        arguments = ['/usr/bin/chromium', '--headless=new', '--use-angle=swiftshader',
                     '--enable-unsafe-swiftshader', '--no-sandbox', '--disable-gpu-vsync',
                     '--disable-dev-shm-usage', '--no-first-run', '--no-default-browser-check',
                     f'--window-size={round(WINDOW[0] / ratio)},{round(WINDOW[1] / ratio)}',
                     f'--force-device-scale-factor={ratio}',
                     f'--user-data-dir={self.profile}', '--remote-debugging-port=0']
        if not self.webgl:
            arguments.append('--disable-webgl')
        self.process = subprocess.Popen(arguments + ['about:blank'], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        port_file = os.path.join(self.profile, 'DevToolsActivePort')
        deadline = time.monotonic() + START_LIMIT
        while not (os.path.exists(port_file) and len(open(port_file).read().split()) == 2):
            if time.monotonic() > deadline or self.process.poll() is not None:
                self.quit()
                raise BrowserFault('Chromium did not start')
            time.sleep(0.05)
        port, path = open(port_file).read().split()
        self.channel = Channel(f'ws://127.0.0.1:{port}{path}')
        target = self.channel.call('Target.createTarget', {'url': 'about:blank'})['targetId']
        self.session = self.channel.call('Target.attachToTarget',
                                         {'targetId': target, 'flatten': True})['sessionId']
        for domain in ('Page', 'Runtime', 'Log'):
            self._call(f'{domain}.enable')
        self._call('Page.addScriptToEvaluateOnNewDocument', {'source': self.watch})
        # The view itself 1280 x 1024 device pixels, as the window's is without its frame.
        self._call('Emulation.setDeviceMetricsOverride', {
            'width': round(WINDOW[0] / ratio), 'height': round(WINDOW[1] / ratio),
            'deviceScaleFactor': 0, 'mobile': False})

    def _call(self, method, params=None):
        return self.channel.call(method, params, sessionId=self.session)

    def version(self):
        return self.channel.call('Browser.getVersion')['product'].split('/')[-1]

    def quit(self):
        if hasattr(self, 'channel'):
            self.channel.close()
            del self.channel
        _stop(self.process)
        shutil.rmtree(self.profile, ignore_errors=True)

    def open(self, url):
        self._call('Page.navigate', {'url': url})
        deadline = time.monotonic() + START_LIMIT
        while self.run('return document.readyState') != 'complete':
            if time.monotonic() > deadline:
                raise BrowserFault(f'{url} did not load')
            time.sleep(0.02)

    def run(self, body):
        reply = self._call('Runtime.evaluate', {'expression': _wrapped(body), 'awaitPromise': True,
                                                'returnByValue': True})
        if 'exceptionDetails' in reply:
            raise BrowserFault(f'the script failed: {reply["exceptionDetails"]}')
        value = reply['result'].get('value')
        return None if value is None else json.loads(value)

    def view(self, ratio):
        if ratio != self.ratio:
            self.quit()
            self._launch(ratio)

    def mouse(self, kind, x, y, button=None, held=()):
        bits = sum({'left': 1, 'right': 2, 'middle': 4}[b] for b in held)
        self._call('Input.dispatchMouseEvent', {
            'type': {'down': 'mousePressed', 'up': 'mouseReleased', 'move': 'mouseMoved'}[kind],
            'x': x, 'y': y, 'button': button or 'none', 'buttons': bits,
            'clickCount': 0 if kind == 'move' else 1})

    def wheel(self, x, y, dx, dy):
        self._call('Input.dispatchMouseEvent', {'type': 'mouseWheel', 'x': x, 'y': y,
                                                'deltaX': dx, 'deltaY': dy})

    def key(self, name, kind, repeat=False):
        key, code, number, text, _ = KEYS[name]
        event = {'type': 'keyUp' if kind == 'up' else 'keyDown' if text else 'rawKeyDown',
                 'key': key, 'code': code, 'windowsVirtualKeyCode': number,
                 'nativeVirtualKeyCode': number, 'autoRepeat': repeat}
        if text and kind == 'down':
            event['text'] = text
        self._call('Input.dispatchKeyEvent', event)

    def screenshot(self, x, y, width, height):
        shot = self._call('Page.captureScreenshot', {
            'format': 'png', 'clip': {'x': x, 'y': y, 'width': width, 'height': height,
                                      'scale': 1}})
        return base64.b64decode(shot['data'])

    def errors(self):
        self._call('Runtime.evaluate', {'expression': '0'})  # collects the events so far
        found = []
        for event in self.channel.events:
            method, params = event['method'], event.get('params', {})
            if method == 'Runtime.consoleAPICalled' and params.get('type') == 'error':
                found.append('console.error: ' + ' '.join(
                    str(a.get('value', a.get('description', ''))) for a in params.get('args', [])))
            elif method == 'Runtime.exceptionThrown':
                found.append('exception: ' + json.dumps(params['exceptionDetails'])[:400])
            elif method == 'Log.entryAdded' and params['entry']['level'] == 'error':
                found.append('log: ' + params['entry']['text'])
        self.channel.events.clear()
        return found


# A fresh profile that asks nothing on start and talks to no one.
FIREFOX_PREFS = {
    'browser.shell.checkDefaultBrowser': False,
    'browser.startup.homepage_override.mstone': 'ignore',
    'browser.startup.page': 0,
    'browser.aboutwelcome.enabled': False,
    'datareporting.policy.dataSubmissionEnabled': False,
    'toolkit.telemetry.reportingpolicy.firstRun': False,
    'app.update.enabled': False,
    'browser.tabs.warnOnClose': False,
    'browser.sessionstore.resume_from_crash': False,
    'full-screen-api.warning.timeout': 0,
}


class Firefox:
    """Firefox ESR in a window on a private Xvfb (headless it gets no WebGL here, in a
    window Mesa's llvmpipe), a fresh profile, over WebDriver BiDi."""

    name = 'firefox'
    whole_css_pixels = True  # its events carry whole CSS pixels, rounded

    def __init__(self, watch, webgl=True):
        self.profile = tempfile.mkdtemp(prefix='knotwerry-firefox-')
        prefs = dict(FIREFOX_PREFS, **({} if webgl else {'webgl.disabled': True}))
        with open(os.path.join(self.profile, 'user.js'), 'w') as file:
            for name, value in prefs.items():
                file.write(f'user_pref({json.dumps(name)}, {json.dumps(value)});\n')
        # Room for the window at any ratio the tests ask for.
        self.xvfb = subprocess.Popen(['Xvfb', '-displayfd', '1', '-screen', '0', '4000x3400x24',
                                      '-nolisten', 'tcp'], stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        display = self.xvfb.stdout.readline().decode().strip()
        if not display:
            _stop(self.xvfb)
            raise BrowserFault('Xvfb did not start')
        environment = dict(os.environ, DISPLAY=':' + display, MOZ_CRASHREPORTER_DISABLE='1')
        environment.pop('WAYLAND_DISPLAY', None)
        self.log = open(os.path.join(self.profile, 'firefox.log'), 'w+')
        self.process = subprocess.Popen(
            ['/usr/bin/firefox-esr', '--profile', self.profile, '--no-remote', '--new-instance',
             '--remote-debugging-port=0', 'about:blank'],
            stdout=self.log, stderr=subprocess.STDOUT, env=environment, start_new_session=True)
        deadline = time.monotonic() + START_LIMIT
        address = None
        while address is None:
            self.log.seek(0)
            found = re.search(r'WebDriver BiDi listening on (ws://\S+)', self.log.read())
            if found:
                address = found.group(1)
            elif time.monotonic() > deadline or self.process.poll() is not None:
                self.quit()
                raise BrowserFault('Firefox did not start')
            else:
                time.sleep(0.05)
        self.channel = Channel(address.rstrip('/') + '/session')
        self.capabilities = self.channel.call('session.new', {'capabilities': {}})['capabilities']
        self.context = self.channel.call('browsingContext.getTree', {})['contexts'][0]['context']
        self.channel.call('session.subscribe', {'events': ['log.entryAdded']})
        self.channel.call('script.addPreloadScript', {'functionDeclaration': f'() => {{ {watch} }}'})
        self.view(1)

    def quit(self):
        if hasattr(self, 'channel'):
            try:
                self.channel.call('session.end')
            except (BrowserFault, OSError, websocket.WebSocketException):
                pass
            self.channel.close()
        _stop(self.process)
        _stop(self.xvfb)
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def version(self):
        return self.capabilities['browserVersion']

    def open(self, url):
        # Buttons and keys a test left held would stay held in the next page.
        self.channel.call('input.releaseActions', {'context': self.context})
        self.channel.call('browsingContext.navigate',
                          {'context': self.context, 'url': url, 'wait': 'complete'})

    def run(self, body):
        reply = self.channel.call('script.evaluate', {
            'expression': _wrapped(body), 'target': {'context': self.context},
            'awaitPromise': True, 'resultOwnership': 'none'})
        if reply['type'] == 'exception':
            raise BrowserFault(f'the script failed: {reply["exceptionDetails"]["text"]}')
        value = reply['result']
        return None if value['type'] != 'string' else json.loads(value['value'])

    def view(self, ratio):
        self.channel.call('browsingContext.setViewport', {
            'context': self.context,
            'viewport': {'width': round(WINDOW[0] / ratio), 'height': round(WINDOW[1] / ratio)},
            'devicePixelRatio': ratio})

    def _act(self, source):
        self.channel.call('input.performActions', {'context': self.context, 'actions': [source]})

    def mouse(self, kind, x, y, button=None, held=()):
        actions = [{'type': 'pointerMove', 'x': x, 'y': y, 'origin': 'viewport'}]
        if kind != 'move':
            actions.append({'type': 'pointerDown' if kind == 'down' else 'pointerUp',
                            'button': BUTTON_NUMBERS[button]})
        self._act({'type': 'pointer', 'id': 'mouse', 'parameters': {'pointerType': 'mouse'},
                   'actions': actions})

    def wheel(self, x, y, dx, dy):
        self._act({'type': 'wheel', 'id': 'wheel', 'actions': [
            {'type': 'scroll', 'x': int(x), 'y': int(y), 'deltaX': dx, 'deltaY': dy}]})

    def key(self, name, kind, repeat=False):
        # A second keyDown of a key held down is a repeat, as WebDriver reports it.
        self._act({'type': 'key', 'id': 'keyboard', 'actions': [
            {'type': 'keyUp' if kind == 'up' else 'keyDown', 'value': KEYS[name][4]}]})

    def screenshot(self, x, y, width, height):
        shot = self.channel.call('browsingContext.captureScreenshot', {
            'context': self.context, 'origin': 'viewport',
            'clip': {'type': 'box', 'x': x, 'y': y, 'width': width, 'height': height}})
        return base64.b64decode(shot['data'])

    def errors(self):
        self.channel.call('browsingContext.getTree', {'maxDepth': 0})  # collects the events
        found = [f'{e["params"].get("type")}: {e["params"].get("text")}'
                 for e in self.channel.events
                 if e['method'] == 'log.entryAdded' and e['params'].get('level') == 'error']
        self.channel.events.clear()
        return found


BROWSERS = {'chromium': Chromium, 'firefox': Firefox}
