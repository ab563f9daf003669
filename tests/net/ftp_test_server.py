"""Loopback FTP server for the crash dump tests.

One account (ftpft / qmzvkr) whose login directory is HOME; only passive
mode and binary uploads are accepted, so a client that uses anything else
fails visibly. The chosen port is written to PORTFILE; the server ends when
its standard input is closed.
"""
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


class PassiveBinaryOnly(FTPHandler):
    def ftp_PORT(self, line):
        self.respond("502 Active mode is not offered.")

    def ftp_EPRT(self, line):
        self.respond("502 Active mode is not offered.")

    def ftp_STOR(self, file, mode="w"):
        if self._current_type != "i":
            self.respond("550 Binary type required.")
            return None
        return super().ftp_STOR(file, mode)


def main():
    home, port_file = sys.argv[1], sys.argv[2]
    authorizer = DummyAuthorizer()
    authorizer.add_user("ftpft", "qmzvkr", home, perm="elradfmw")
    PassiveBinaryOnly.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), PassiveBinaryOnly)
    with open(port_file + ".tmp", "w") as out:
        out.write(str(server.socket.getsockname()[1]))
    os.rename(port_file + ".tmp", port_file)

    def end_when_stdin_closes():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=end_when_stdin_closes, daemon=True).start()
    # Any configured logging keeps the server from logging every command.
    logging.basicConfig(level=logging.WARNING)
    server.serve_forever()


main()
