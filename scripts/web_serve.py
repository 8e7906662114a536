#!/usr/bin/env python3
"""Serves the game's page (the browser build's folder, build/web) on 127.0.0.1.

Usage: scripts/web_serve.py FOLDER [PORT]

PORT is 8000 unless given; 0 takes any free port. Once listening it prints one line,
"Serving FOLDER at http://127.0.0.1:PORT/", and serves until interrupted.

A browser that accepts gzip gets FILE.gz (written by the build beside each file of the page, the
game and the picture packs) with Content-Encoding gzip instead of FILE. Every answer says that the
page is isolated from other origins (COOP and COEP), which gives the page's own clock its full
resolution for the frame timing, and that the browser must check for a newer file before using
its cached copy.
"""
import http.server
import os
import sys

TYPES = {
    ".html": "text/html; charset=utf-8",
    ".js": "text/javascript",
    ".wasm": "application/wasm",
    ".tar": "application/x-tar",
    ".png": "image/png",
}


class PageHandler(http.server.SimpleHTTPRequestHandler):
    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        if not os.path.isfile(path):
            self.send_error(404, "Not found")
            return None
        packed = path + ".gz"
        gzip = ("gzip" in self.headers.get("Accept-Encoding", "")
                and os.path.isfile(packed)
                and os.path.getmtime(packed) >= os.path.getmtime(path))
        try:
            body = open(packed if gzip else path, "rb")
        except OSError:
            self.send_error(404, "Not found")
            return None
        self.send_response(200)
        self.send_header("Content-Type", TYPES.get(os.path.splitext(path)[1],
                                                   "application/octet-stream"))
        if gzip:
            self.send_header("Content-Encoding", "gzip")
        self.send_header("Vary", "Accept-Encoding")
        self.send_header("Content-Length", str(os.fstat(body.fileno()).st_size))
        self.send_header("Cache-Control", "no-cache")
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.end_headers()
        return body

    def log_message(self, format, *args):
        pass


def main():
    if len(sys.argv) not in (2, 3) or (len(sys.argv) == 3 and not sys.argv[2].isdigit()):
        print("usage: web_serve.py FOLDER [PORT]", file=sys.stderr)
        return 2
    folder = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) == 3 else 8000
    if not os.path.isfile(os.path.join(folder, "index.html")):
        print(f"web_serve.py: {folder} holds no index.html (build it with scripts/web.sh)",
              file=sys.stderr)
        return 1

    def handler(*args, **kwargs):
        return PageHandler(*args, directory=folder, **kwargs)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    print(f"Serving {folder} at http://127.0.0.1:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
