#!/usr/bin/env python3
"""A calendar server for the tests: HTTPS (or plain HTTP) on 127.0.0.1, on a free port.

    calendar_server.py FOLDER [CERT KEY]

Writes the port on the first line of standard output, then one line per request answered:
"GET /cal/work.ics 304". Serves:
  /cal/NAME   FOLDER/NAME, with an ETag of its content; a matching If-None-Match gives 304
  /page       a web page, not a calendar
  /huge       30 MB of text, its length not given ahead
  /refused    401
  /missing    404
  /loop       a redirection to itself
"""

import hashlib
import http.server
import os
import ssl
import sys
import urllib.parse


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"  # a body without a length ends with the connection

    def log_message(self, *args):
        pass

    def answered(self, status):
        print(f"{self.command} {self.path} {status}", flush=True)

    def do_GET(self):
        folder = self.server.folder
        route = urllib.parse.urlsplit(self.path).path
        if route.startswith("/cal/"):
            path = os.path.join(folder, os.path.basename(route))
            if not os.path.isfile(path):
                return self.status(404)
            with open(path, "rb") as f:
                body = f.read()
            etag = '"' + hashlib.sha256(body).hexdigest()[:16] + '"'
            if self.headers.get("If-None-Match") == etag:
                self.send_response(304)
                self.send_header("ETag", etag)
                self.end_headers()
                return self.answered(304)
            self.send_response(200)
            self.send_header("Content-Type", "text/calendar; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("ETag", etag)
            self.end_headers()
            self.wfile.write(body)
            return self.answered(200)
        if route == "/page":
            body = b"<!DOCTYPE html><html><body>Sign in</body></html>"
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return self.answered(200)
        if route == "/huge":
            self.send_response(200)
            self.send_header("Content-Type", "text/calendar")
            self.end_headers()
            chunk = b"X" * (1024 * 1024)
            try:
                for _ in range(30):
                    self.wfile.write(chunk)
            except OSError:
                pass
            return self.answered(200)
        if route == "/refused":
            return self.status(401)
        if route == "/loop":
            self.send_response(302)
            self.send_header("Location", "/loop")
            self.send_header("Content-Length", "0")
            self.end_headers()
            return self.answered(302)
        return self.status(404)

    def status(self, code):
        self.send_response(code)
        self.send_header("Content-Length", "0")
        self.end_headers()
        self.answered(code)


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.folder = sys.argv[1]
    if len(sys.argv) > 3:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[2], sys.argv[3])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
