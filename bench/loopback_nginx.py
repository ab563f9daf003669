"""nginx (nginx-light) in the foreground on a free loopback port, serving a
folder as static files over kept-alive HTTP/1.1 connections with byte
ranges; with `access_log`, one line per answer there: `URI STATUS
BODY-BYTES-SENT`, or the nginx variables `log_fields` names.
"""
import os
import socket
import subprocess
import sys
import time
import urllib.request


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_nginx(work, root, port, access_log=None, log_fields="$uri $status $body_bytes_sent"):
    """nginx serving `root` on 127.0.0.1:`port`, its state in `work`; `root`
    must hold a file `ready`, which is fetched to see it answer."""
    logging = "  access_log off;\n"
    if access_log:
        logging = f"  log_format counted '{log_fields}';\n  access_log {access_log} counted;\n"
    conf = os.path.join(work, "nginx.conf")
    with open(conf, "w") as out:
        out.write(("user root;\n" if os.geteuid() == 0 else "") +
                  f"daemon off;\nworker_processes 1;\npid {work}/nginx.pid;\nerror_log {work}/error.log;\n"
                  "events { worker_connections 1024; }\nhttp {\n" + logging +
                  "  default_type application/octet-stream;\n  keepalive_requests 100000;\n"
                  f"  client_body_temp_path {work}/body;\n  proxy_temp_path {work}/proxy;\n"
                  f"  fastcgi_temp_path {work}/fastcgi;\n  uwsgi_temp_path {work}/uwsgi;\n"
                  f"  scgi_temp_path {work}/scgi;\n"
                  f"  server {{\n    listen 127.0.0.1:{port};\n    root {root};\n  }}\n}}\n")
    server = subprocess.Popen(["/usr/sbin/nginx", "-p", work, "-e", f"{work}/error.log", "-c", conf],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(200):
        try:
            urllib.request.urlopen(f"http://127.0.0.1:{port}/ready").read()
            return server
        except OSError:
            time.sleep(0.05)
    server.terminate()
    sys.exit("nginx did not start")
