#!/usr/bin/env python3
"""Serves the browser build over HTTP for local play, uncached. The pages run on one thread and
need nothing from the server; --isolate adds the COOP/COEP headers without which browsers refuse
the threads of a build made with -DTESSERINE_WEB_THREADS=ON.

    python3 serve.py [PORT] [--bind ADDRESS] [--isolate]    (defaults: 8000 on 127.0.0.1)

Prints "serving on http://ADDRESS:PORT/" once listening; port 0 picks a free one.
Needs: python3 only."""
import argparse
import functools
import http.server
import os


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".mp3": "audio/mpeg"}

    isolate = False

    def end_headers(self):
        if self.isolate:
            self.send_header("Cross-Origin-Opener-Policy", "same-origin")
            self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("port", nargs="?", type=int, default=8000)
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--directory", default=os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--isolate", action="store_true", help="send the COOP/COEP headers")
    options = parser.parse_args()
    Handler.isolate = options.isolate
    handler = functools.partial(Handler, directory=options.directory)
    with http.server.ThreadingHTTPServer((options.bind, options.port), handler) as server:
        host, port = server.server_address[:2]
        print(f"serving on http://{host}:{port}/", flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
