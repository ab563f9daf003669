#!/usr/bin/python3
"""The demo publisher site: serves the built site folder over HTTP on
loopback and answers the login form with a page carrying the launcher's
"RunClient" record (and, for the parking variant, a "ServerBackUrl" request);
/autologin/USER[/SERVER] logs USER in by itself once the update is done.
/slow/NAME serves the site file NAME at a trickle, so that a download is
still running when someone wants to interrupt it.

usage: server.py SITE_DIR PORT_FILE
Binds 127.0.0.1 on a free port and writes the port number to PORT_FILE.
"""
import html
import http.server
import os
import sys
import time
import urllib.parse

SLOW_CHUNK = 16 * 1024
SLOW_PAUSE_SECONDS = 0.125  # 128 KiB/s

SERVERS = {
    "1": ("Harbour", "127.0.0.1", "7001"),
    "2": ("Lighthouse", "127.0.0.1", "7002"),
    # A Chinese name with a blank: the client must receive it unchanged.
    "3": ("港口 东区", "127.0.0.1", "7003"),
}


def record(user, server_id):
    name, ip, port = SERVERS.get(server_id, SERVERS["1"])
    uid = str(10000 + sum(user.encode("utf-8")))
    fields = [user, "SN-" + uid, uid, server_id, name, ip, port,
              "http://127.0.0.1/pay", "S" + server_id, "Q" + uid, ip,
              "http://127.0.0.1/client", server_id]
    return ";".join(fields)


def page(body):
    return ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
            "<title>farLaunch demo</title></head><body>\n" + body +
            "\n</body></html>\n").encode("utf-8")


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, fmt, *args):
        sys.stderr.write("demo-site: " + fmt % args + "\n")

    def send_page(self, body):
        data = page(body)
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        user = query.get("user", ["player"])[0].strip() or "player"
        server_id = query.get("server", ["1"])[0]
        back = "http://%s/news.html" % self.headers.get("Host", "127.0.0.1")
        if url.path == "/login":
            # Launches at once, also while the update is still running.
            self.send_page("<p>Welcome, %s.</p>\n<p>RunClient[[%s]]</p>"
                           % (html.escape(user), html.escape(record(user, server_id))))
        elif url.path == "/login-park" or url.path.startswith("/autologin/"):
            # Parks the launch until the update has finished: the launcher
            # sends the panel back to the news page and replays this text.
            if url.path.startswith("/autologin/"):
                # /autologin/USER or /autologin/USER/SERVER
                user, _, chosen = url.path[len("/autologin/"):].partition("/")
                user = urllib.parse.unquote(user) or "player"
                server_id = chosen or server_id
            self.send_page("<p>Welcome, %s. The game starts when the update is done.</p>\n"
                           "<p>ServerBackUrl{{%s}}</p>\n<p>RunClient[[%s]]</p>"
                           % (html.escape(user), html.escape(back),
                              html.escape(record(user, server_id))))
        elif url.path.startswith("/slow/"):
            self.send_slowly(url.path[len("/slow/"):])
        else:
            super().do_GET()

    def send_slowly(self, name):
        site = os.getcwd()
        path = os.path.realpath(os.path.join(site, urllib.parse.unquote(name)))
        if os.path.commonpath([site, path]) != site or not os.path.isfile(path):
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/zip")
        self.send_header("Content-Length", str(os.path.getsize(path)))
        self.end_headers()
        try:
            with open(path, "rb") as f:
                while chunk := f.read(SLOW_CHUNK):
                    self.wfile.write(chunk)
                    self.wfile.flush()
                    time.sleep(SLOW_PAUSE_SECONDS)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the launcher went away mid-download


def main():
    site, port_file = sys.argv[1], sys.argv[2]
    os.chdir(site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
