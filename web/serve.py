#!/usr/bin/env python3
"""Serves the web page's folder on http://localhost:PORT/ for the user and the tests.

It sends what the page needs beyond plain static files: the WebAssembly type for .wasm,
and the two headers that isolate the page from other origins, so that the Stop button can
reach the check while it runs (SharedArrayBuffer). Nothing is cached, so a rebuilt page is
what the next load gets.

    python3 web/serve.py build-web/page 8080
"""
import functools
import http.server
import sys


class PageHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        '.wasm': 'application/wasm',
        '.js': 'text/javascript',
        '.mjs': 'text/javascript',
        '.json': 'application/json',
        '.css': 'text/css',
        '.html': 'text/html; charset=utf-8',
    }

    def end_headers(self):
        self.send_header('Cross-Origin-Opener-Policy', 'same-origin')
        self.send_header('Cross-Origin-Embedder-Policy', 'require-corp')
        self.send_header('Cross-Origin-Resource-Policy', 'same-origin')
        self.send_header('Cache-Control', 'no-store')
        super().end_headers()

    def log_message(self, format, *args):
        if '-v' in sys.argv:
            super().log_message(format, *args)


def main():
    if len(sys.argv) < 3:
        sys.exit('Aufruf: serve.py ORDNER PORT [-v]')
    folder, port = sys.argv[1], int(sys.argv[2])
    handler = functools.partial(PageHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', port), handler)
    print(f'ARTISCOPE im Browser: http://localhost:{server.server_address[1]}/', flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == '__main__':
    main()
