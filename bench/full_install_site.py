"""What the full-install benchmarks share: a loopback site serving one
client package, and a game directory whose headless launcher installs it.

The site answers byte ranges (Range, If-Range, ETag), counts the body bytes
it sends and notes when the package's body began. The game directory holds
the launcher, an `updatecfg.xml` at version 0001 pointing at the site, and
an `rh_game.ini` with the given DownloadRateLimit.
"""
import hashlib
import http.server
import os
import re
import shutil
import subprocess
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PACKAGE_PATH = '/package.zip'
# The name the launcher downloads the package to; a partial one has ".part".
PACKAGE_FILE = 'tmp_client.tmp'
LAUNCHER_COMMAND = ['./farLaunch.exe', '--headless', '--exit-on-finish']


class _State:
    package = b''
    etag = '"package-1"'
    document = b''
    sent = 0
    body_started = None
    lock = threading.Lock()


class _Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.0'

    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path == '/servercfg.xml':
            self.answer(200, _State.document, {})
            return
        if self.path != PACKAGE_PATH:
            self.answer(404, b'', {})
            return
        body, start = _State.package, 0
        match = re.fullmatch(r'bytes=(\d+)-', self.headers.get('Range', ''))
        if match and self.headers.get('If-Range', _State.etag) == _State.etag and int(match.group(1)) < len(body):
            start = int(match.group(1))
        headers = {'ETag': _State.etag, 'Accept-Ranges': 'bytes'}
        if start:
            headers['Content-Range'] = 'bytes %d-%d/%d' % (start, len(body) - 1, len(body))
        with _State.lock:
            _State.body_started = _State.body_started or time.monotonic()
        self.answer(206 if start else 200, memoryview(body)[start:], headers, counted=True)

    def answer(self, status, body, headers, counted=False):
        self.send_response(status)
        self.send_header('Content-Length', str(len(body)))
        for name, value in headers.items():
            self.send_header(name, value)
        self.end_headers()
        for offset in range(0, len(body), 65536):
            try:
                self.wfile.write(body[offset:offset + 65536])
            except OSError:
                return
            if counted:
                with _State.lock:
                    _State.sent += len(body[offset:offset + 65536])


def release_programs():
    """The launcher and farcfg of the optimised build (bench/release-build)."""
    build = subprocess.run([os.path.join(ROOT, 'bench/release-build'), 'farlaunch', 'farcfg'], check=True,
                           capture_output=True, text=True).stdout.strip()
    return os.path.join(build, 'src/app/farLaunch.exe'), os.path.join(build, 'tools/farcfg/farcfg')


class PackageSite:
    """Serves a package of `megabytes` MiB of random bytes (one stored entry)
    and the server document that offers it as the full client package."""

    def __init__(self, work, megabytes):
        os.makedirs(os.path.join(work, 'content/data'))
        with open(os.path.join(work, 'content/data/blob.bin'), 'wb') as blob:
            for _ in range(megabytes):
                blob.write(os.urandom(1 << 20))
        package = os.path.join(work, 'package.zip')
        subprocess.run(['zip', '-0', '-q', '-r', package, 'data'], cwd=os.path.join(work, 'content'), check=True)
        shutil.rmtree(os.path.join(work, 'content'))
        with open(package, 'rb') as read:
            _State.package = read.read()
        self.server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), _Handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.base = 'http://127.0.0.1:%d' % self.server.server_address[1]
        _State.document = (
            '<?xml version="1.0"?>\n<Update>\n'
            '<GameVersion MainVersion="1" SubVersion="0" FileVersion="1" PackageCode="0001"></GameVersion>\n'
            '<GameVersion MainVersion="1" SubVersion="0" FileVersion="2" PackageCode="0002"></GameVersion>\n'
            '<Site MiniTargetFileName="%s" MiniSourceFileAddr="%s%s" MiniSha256="%s" MiniSize="%d"></Site>\n'
            '</Update>\n' % (PACKAGE_FILE, self.base, PACKAGE_PATH, hashlib.sha256(_State.package).hexdigest(),
                             len(_State.package))).encode()

    def package_size(self):
        return len(_State.package)

    def body_bytes_sent(self):
        with _State.lock:
            return _State.sent

    def body_started(self):
        """When the first answer with the package's body since the last
        forget_body_start() began (monotonic)."""
        with _State.lock:
            return _State.body_started

    def forget_body_start(self):
        with _State.lock:
            _State.body_started = None

    def shutdown(self):
        self.server.shutdown()


def prepare_game(work, site, launcher, farcfg, rate_kib, name='game', code='0001', document_url=None):
    """A game directory `work`/`name` at `code` (version 1.0.<code>) without
    its client, limited to `rate_kib` KiB/s, reading the server document at
    `document_url` (the site's servercfg.xml unless given)."""
    game = os.path.join(work, name)
    os.makedirs(game)
    shutil.copy(launcher, os.path.join(game, 'farLaunch.exe'))
    with open(os.path.join(work, 'updatecfg.plain'), 'w') as plain:
        plain.write('<?xml version="1.0"?>\n<GameVersion MainVersion="1"  SubVersion="0"  FileVersion="%d"  '
                    'PackageCode="%s"  UpdateServerAddr="%s"  LoginServer="0"  '
                    'ForceUpdateVersion="1"  ProductName=""  PackageName=""  WebAddr="" >\n</GameVersion>\n'
                    % (int(code), code, document_url or site.base + '/servercfg.xml'))
    with open(os.path.join(game, 'updatecfg.xml'), 'wb') as stored:
        subprocess.run([farcfg, 'encode', os.path.join(work, 'updatecfg.plain')], stdout=stored, check=True)
    with open(os.path.join(game, 'rh_game.ini'), 'w') as ini:
        ini.write('[farLaunch]\nForceUpdateVersion=1\nDownloadRateLimit=%d\n' % rate_kib)
    return game


def launcher_environment():
    """The console front end, talking to the loopback site directly."""
    env = dict(os.environ, no_proxy='127.0.0.1', NO_PROXY='127.0.0.1')
    env.pop('DISPLAY', None)
    return env


def installed(game, farcfg):
    """Whether the game's record names the package's version."""
    version = subprocess.run([farcfg, 'read', 'updatecfg.xml'], cwd=game, capture_output=True, text=True).stdout
    return 'PackageCode=0002' in version.splitlines()
