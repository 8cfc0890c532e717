"""Starts tools/demo-server for a test and steers it.

    from demo_server_client import DemoServer

    with DemoServer(sign_with="private.pem") as server:   # sign_with: signs the manifest
                                     # latency_ms=50: every answer's first byte held 50 ms
        server.host                      # "127.0.0.1:PORT"
        server.url("/xcyh2/login/login.html")
        server.hold("/xcyh2/login/login.html")
        server.release("/xcyh2/login/login.html")
        server.set("/gamehome/xcyh2/update.txt", b"version=1.2.0\\r\\n")
        server.set("/gamehome/xcyh2/update.txt.sig", b"")     # a signature of zero bytes
        server.set("/files/big.bin", data, chunk=65536, delay_ms=100)   # sent slowly
        server.cut("/files/big.bin", 1000)   # the next GET stops after 1000 bytes of body
        server.latency(50)                   # the same, from now on (0: none)
        server.reset()
        server.requests()   # [{"seq", "time", "method", "path", "query", "headers", "range",
                            #   "sent"}]

The server runs as a subprocess on a free port and is stopped (SIGTERM, then kill) on exit.
Control calls go straight to 127.0.0.1 and ignore any proxy settings.
"""

import http.client
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from urllib.parse import urlencode

SERVER_SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "demo-server")


class DemoServerError(RuntimeError):
    pass


class DemoServer:
    def __init__(self, log=None, port=0, startup_timeout=10.0, sign_with=None, latency_ms=0):
        """log: file the server appends its per-request JSON lines to (none by default).
        sign_with: private key the server signs the manifest with (it serves no signature
        without one). latency_ms: how long every answer's first byte is held."""
        self.log = log
        self.sign_with = sign_with
        self.latency_ms = latency_ms
        self.port = None
        self.host = None
        self._requested_port = port
        self._startup_timeout = startup_timeout
        self._proc = None
        self._tmp = None

    # --- lifetime ---------------------------------------------------------------------------

    def start(self):
        if self._proc is not None:
            return self
        self._tmp = tempfile.mkdtemp(prefix="demo-server-")
        port_file = os.path.join(self._tmp, "port")
        cmd = [sys.executable, SERVER_SCRIPT, "--port", str(self._requested_port),
               "--port-file", port_file]
        if self.log:
            cmd += ["--log", self.log]
        if self.sign_with:
            cmd += ["--sign-with", self.sign_with]
        if self.latency_ms:
            cmd += ["--latency-ms", str(int(self.latency_ms))]
        self._proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        deadline = time.monotonic() + self._startup_timeout
        while not os.path.exists(port_file):
            if self._proc.poll() is not None:
                code = self._proc.returncode
                self._cleanup()
                raise DemoServerError("demo-server exited during startup (code %s)" % code)
            if time.monotonic() > deadline:
                self.stop()
                raise DemoServerError("demo-server did not start within %.1f s"
                                      % self._startup_timeout)
            time.sleep(0.02)
        with open(port_file) as f:
            text = f.read().strip()
        if text.startswith("PORT="):
            text = text[len("PORT="):]
        self.port = int(text)
        self.host = "127.0.0.1:%d" % self.port
        return self

    def stop(self):
        """Stops the server; returns its exit code (None when it was not running)."""
        proc, self._proc = self._proc, None
        code = None
        if proc is not None:
            if proc.poll() is None:
                if os.name == "posix":
                    proc.send_signal(signal.SIGTERM)
                else:
                    proc.terminate()
                try:
                    proc.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
            code = proc.returncode
        self._cleanup()
        return code

    def _cleanup(self):
        self._proc = None
        if self._tmp:
            shutil.rmtree(self._tmp, ignore_errors=True)
            self._tmp = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False

    # --- addresses and plain requests -------------------------------------------------------

    def url(self, path):
        if not path.startswith("/"):
            path = "/" + path
        return "http://%s%s" % (self.host, path)

    def fetch(self, path, method="GET", headers=None, body=None, timeout=10.0):
        """One request on a fresh connection: (status, headers as HTTPMessage, body bytes)."""
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            conn.request(method, path, body=body, headers=headers or {})
            resp = conn.getresponse()
            return resp.status, resp.headers, resp.read()
        finally:
            conn.close()

    # --- control ----------------------------------------------------------------------------

    def _control(self, name, method="POST", params=None, body=b""):
        path = "/control/" + name
        if params:
            path += "?" + urlencode(params)
        status, _, data = self.fetch(path, method=method,
                                     body=body if method == "POST" else None)
        if status != 200:
            raise DemoServerError("%s %s: %d %s" % (method, path, status,
                                                    data.decode("utf-8", "replace").strip()))
        return data

    def hold(self, path):
        """Holds back responses to requests for `path` (no query string) until release()."""
        self._control("hold", params={"path": path})

    def release(self, path):
        """Lets held and later requests for `path` through."""
        self._control("release", params={"path": path})

    def set(self, path, body, type=None, chunk=None, delay_ms=None):
        """Serves exactly `body` (bytes, or str sent as UTF-8; it may be empty) for `path` from
        now on; with `chunk`, in pieces of that many bytes, `delay_ms` apart."""
        if isinstance(body, str):
            body = body.encode("utf-8")
        params = {"path": path}
        if type:
            params["type"] = type
        if chunk:
            params["chunk"] = chunk
            params["delay_ms"] = delay_ms or 0
        self._control("set", params=params, body=body)

    def cut(self, path, after_bytes):
        """The next GET of `path` announces its whole length (or its part's, for a Range) but
        the server closes the connection after `after_bytes` bytes of body; the request after
        it is served whole."""
        self._control("cut", params={"path": path, "after": int(after_bytes)})

    def latency(self, ms):
        """Holds the first byte of every later answer (control answers aside) `ms` ms."""
        self._control("latency", params={"ms": int(ms)})

    def reset(self):
        """Drops every override, cut and hold."""
        self._control("reset")

    def requests(self):
        """Requests seen so far (control requests excluded), oldest first. "range" is the Range
        header (None without one); "sent" the body bytes written so far (None until the
        response began; final once it has ended, fewer than announced when it was cut)."""
        return json.loads(self._control("requests", method="GET").decode("utf-8"))

    def clear_requests(self):
        self._control("clear-requests")
