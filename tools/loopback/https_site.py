#!/usr/bin/env python3
"""A throwaway update site on the loopback interface for the update tests and benchmark.

Usage: https_site.py ROOT CERTDIR

Serves the files of ROOT over HTTPS with each certificate of CERTDIR (made by
make_site.sh) on a port of its own, and over plain HTTP on one more, then prints one line
"good=P expired=P othername=P rogue=P plain=P closed=P" (closed: a port nobody listens
on) and serves until its standard input closes. Paths with these prefixes misbehave:
  /hang/X       reads the request and never answers
  /short/X      announces 100 bytes more than it sends, then closes
  /to-http/X    302 to the plain HTTP server's X
  /to-https/X   302 to X on the good server
  /e401/X, /e500/X   an HTML error page with that status
  /noreason/X   X with the status line "HTTP/1.1 200" (no reason phrase)
  /slow/X       X in ten parts, a quarter of a second apart (a slow line)
  /plain404/X   a 404 answer whose body is plain text, no HTML page
A file that does not exist gets an HTML 404 page.
"""
import http.server
import os
import socket
import ssl
import sys
import threading
import time

ROOT, CERTS = sys.argv[1], sys.argv[2]
PORTS = {}


def error_page(code, text):
    return ("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n<html><head><title>%d %s</title></head>"
            "<body><h1>Server Error</h1><p>HTTP Error %d - %s</p></body></html>\n" % (code, text, code, text)).encode()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # Headers and a small body go out as two writes: without this the body waits for the
    # client's delayed acknowledgement of the headers (40 ms on Linux).
    disable_nagle_algorithm = True

    def log_message(self, *args):
        pass

    def send_page(self, code, text):
        body = error_page(code, text)
        self.send_response(code, text)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, location):
        self.send_response(302, "Found")
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_GET(self):
        path = self.path
        for prefix, code, text in (("/e401/", 401, "Unauthorized"), ("/e500/", 500, "Internal Server Error")):
            if path.startswith(prefix):
                return self.send_page(code, text)
        if path.startswith("/plain404/"):
            body = b"not found\n"
            self.send_response(404, "Not Found")
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        if path.startswith("/hang/"):
            time.sleep(60)
            return
        if path.startswith("/to-http/"):
            return self.redirect("http://www.localhost:%d/%s" % (PORTS["plain"], path[len("/to-http/"):]))
        if path.startswith("/to-https/"):
            return self.redirect("https://www.localhost:%d/%s" % (PORTS["good"], path[len("/to-https/"):]))
        short = path.startswith("/short/")
        noreason = path.startswith("/noreason/")
        slow = path.startswith("/slow/")
        if short or noreason or slow:
            path = "/" + path.split("/", 2)[2]
        name = os.path.join(ROOT, path.lstrip("/"))
        if not os.path.isfile(name):
            return self.send_page(404, "Not Found")
        size = os.path.getsize(name)
        if noreason:
            self.wfile.write(b"HTTP/1.1 200\r\n")
        else:
            self.send_response(200, "OK")
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(size + (100 if short else 0)))
        self.end_headers()
        with open(name, "rb") as f:
            while True:
                block = f.read(size // 10 + 1 if slow else 1 << 20)
                if not block:
                    break
                if slow:
                    time.sleep(0.25)
                self.wfile.write(block)
        if short:
            self.close_connection = True


def serve(name, cert):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(CERTS, cert + ".pem"), os.path.join(CERTS, cert + ".key"))
        server.socket = context.wrap_socket(server.socket, server_side=True)
    PORTS[name] = server.server_address[1]
    threading.Thread(target=server.serve_forever, daemon=True).start()


for cert in ("good", "expired", "othername", "rogue"):
    serve(cert, cert)
serve("plain", None)
with socket.socket() as s:
    s.bind(("127.0.0.1", 0))
    PORTS["closed"] = s.getsockname()[1]
print(" ".join("%s=%d" % kv for kv in PORTS.items()), flush=True)
sys.stdin.read()
