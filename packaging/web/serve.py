"""A small web server for the game's site, on 127.0.0.1 only: files compressed with gzip
when the browser takes it (as any real host would send them), never cached (a rebuilt site
shows at the next reload). Prints the address to open, then serves until stopped.
Usage: serve.py SITE_FOLDER [PORT]   (0 picks a free port)"""

import functools
import gzip
import http.server
import os
import sys

COMPRESSED = (".html", ".js", ".wasm", ".data", ".svg", ".txt")


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm",
                      ".data": "application/octet-stream", ".js": "text/javascript"}
    _gzipped = {}

    def end_headers(self):
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        wants_gzip = "gzip" in self.headers.get("Accept-Encoding", "")
        if not (wants_gzip and path.endswith(COMPRESSED) and os.path.isfile(path)):
            return super().send_head()
        stamp = os.stat(path).st_mtime_ns
        key = (path, stamp)
        if key not in self._gzipped:
            with open(path, "rb") as f:
                self._gzipped[key] = gzip.compress(f.read(), 9)
        body = self._gzipped[key]
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return _Bytes(body)

    def log_message(self, *args):
        pass


class _Bytes:
    def __init__(self, data):
        self.data = data

    def read(self, *args):
        data, self.data = self.data, b""
        return data

    def close(self):
        pass


class SiteServer(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        # A browser that closes a connection halfway (a tab closed while the game loads) is
        # no fault of the site's: only other errors are worth a trace.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def make_server(folder, port=0):
    handler = functools.partial(SiteHandler, directory=folder)
    return SiteServer(("127.0.0.1", port), handler)


def main():
    folder = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    server = make_server(folder, port)
    print(f"Orbilux Rush is served at http://127.0.0.1:{server.server_address[1]}/  (Ctrl+C stops)", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    server.server_close()


if __name__ == "__main__":
    main()
