#!/usr/bin/python3
"""Serves a folder on 127.0.0.1, for make web-run and the page's tests.

serve.py FOLDER [PORT]: serves FOLDER on PORT (8000 when none is given, or a free
port when that one is taken) and prints the address until interrupted.
"""
import functools
import http.server
import sys


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    """Files as they are, .wasm as application/wasm, with no line per request."""

    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript'}

    def log_message(self, *args):
        pass


def make_server(folder, port=0):
    """A server of folder on 127.0.0.1 and port, 0 for a free one; not yet serving."""
    handler = functools.partial(QuietHandler, directory=folder)
    return http.server.ThreadingHTTPServer(('127.0.0.1', port), handler)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit('usage: serve.py FOLDER [PORT]')
    folder = sys.argv[1]
    try:
        server = make_server(folder, int(sys.argv[2]) if len(sys.argv) == 3 else 8000)
    except OSError:
        server = make_server(folder)
    print(f'Serving {folder} at http://127.0.0.1:{server.server_address[1]}/'
          ' (Ctrl+C stops it)', flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == '__main__':
    main()
