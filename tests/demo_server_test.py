#!/usr/bin/env python3
"""Checks tools/demo-server: the demo site, the manifest signature, ranges, the /test/
responses and the /control/ endpoints; and tools/sign-manifest.

Run with: python3 tests/demo_server_test.py
"""

import http.client
import json
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tools")
sys.path.insert(0, TOOLS)

from demo_server_client import SERVER_SCRIPT, DemoServer  # noqa: E402

SIGN_MANIFEST = os.path.join(TOOLS, "sign-manifest")
MANIFEST = "/gamehome/xcyh2/update.txt"
SIGNATURE = MANIFEST + ".sig"


def expected_bytes(n):
    return (bytes(range(251)) * (n // 251 + 1))[:n]


def make_key(directory, name, curve="prime256v1"):
    """A fresh EC private key; returns the paths of it and of its public half."""
    private, public = os.path.join(directory, name + ".pem"), os.path.join(directory, name + ".pub")
    subprocess.run(["openssl", "ecparam", "-name", curve, "-genkey", "-noout", "-out", private],
                   check=True)
    subprocess.run(["openssl", "ec", "-in", private, "-pubout", "-out", public], check=True,
                   stderr=subprocess.DEVNULL)
    return private, public


def verifies(public_key, signature, data):
    """Whether openssl accepts `signature` (DER) over `data` for `public_key`."""
    with tempfile.TemporaryDirectory() as tmp:
        sig_path = os.path.join(tmp, "sig")
        with open(sig_path, "wb") as f:
            f.write(signature)
        proc = subprocess.run(["openssl", "dgst", "-sha256", "-verify", public_key,
                               "-signature", sig_path], input=data, capture_output=True)
    return proc.returncode == 0


def raw_get(port, target, keep_alive=True, timeout=5.0, headers=None):
    """Sends one GET and reads until the server closes: (status, headers, raw body bytes).

    With keep_alive the request does not ask for the connection to close, so the read only
    finishes when the server closes it on its own."""
    sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
    try:
        request = "GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n" % (target, port)
        for name, value in (headers or {}).items():
            request += "%s: %s\r\n" % (name, value)
        if not keep_alive:
            request += "Connection: close\r\n"
        sock.sendall((request + "\r\n").encode("ascii"))
        data = bytearray()
        while True:
            piece = sock.recv(65536)
            if not piece:
                break
            data += piece
    finally:
        sock.close()
    head, sep, body = bytes(data).partition(b"\r\n\r\n")
    if not sep:
        return None, {}, bytes(data)
    lines = head.decode("latin-1").split("\r\n")
    status = int(lines[0].split()[1])
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    return status, headers, body


def decode_chunked(raw):
    """Returns (body, number of data chunks); fails on bad framing."""
    body, chunks, pos = bytearray(), 0, 0
    while True:
        eol = raw.index(b"\r\n", pos)
        size = int(raw[pos:eol], 16)
        pos = eol + 2
        if size == 0:
            if raw[pos:] != b"\r\n":
                raise ValueError("bad trailer: %r" % raw[pos:])
            return bytes(body), chunks
        body += raw[pos:pos + size]
        if raw[pos + size:pos + size + 2] != b"\r\n":
            raise ValueError("chunk %d not followed by CR LF" % chunks)
        pos += size + 2
        chunks += 1


class DemoServerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.log_path = os.path.join(cls.tmp.name, "requests.log")
        cls.key, cls.public_key = make_key(cls.tmp.name, "signer")
        cls.server = DemoServer(log=cls.log_path, sign_with=cls.key).start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        cls.tmp.cleanup()

    def setUp(self):
        self.server.reset()

    def get(self, path, headers=None):
        return self.server.fetch(path, headers=headers)

    # --- demo site ---------------------------------------------------------------------------

    def test_manifest_is_gbk_crlf_with_version_and_file_lines_for_this_host(self):
        status, headers, body = self.get("/gamehome/xcyh2/update.txt")
        self.assertEqual(status, 200)
        self.assertTrue(body.endswith(b"\r\n"))
        self.assertNotIn(b"\n", body.replace(b"\r\n", b""))
        self.assertNotIn(b"\r", body.replace(b"\r\n", b""))
        lines = body.decode("gbk").split("\r\n")[:-1]
        version_line = next(line for line in lines if "version" in line.lower())
        self.assertEqual(version_line[8:], "1.1.0")

        file_lines = [line.split("|") for line in lines if "|" in line]
        self.assertEqual(len(file_lines), 2)
        prefix = "http://%s/" % self.server.host
        for fields in file_lines:
            self.assertGreaterEqual(len(fields), 2)
            self.assertTrue(fields[1].startswith(prefix), fields[1])
            status, _, data = self.get(fields[1][len(prefix) - 1:])
            self.assertEqual(status, 200, fields[1])
            self.assertTrue(data)

    def test_login_page_links_carry_the_request_host(self):
        status, headers, body = self.get("/xcyh2/login/login.html")
        self.assertEqual(status, 200)
        self.assertEqual(headers["Content-Type"], "text/html")
        page = body.decode("utf-8")
        self.assertIn('<meta charset="utf-8">', page)
        self.assertIn("<title>星槎远航录2 登录</title>", page)
        self.assertIn('<a href="app://loadgame|http://%s/xcyh2/game1.html|s1">进入游戏</a>'
                      % self.server.host, page)
        self.assertIn('<a href="app://minimize">最小化</a>', page)
        self.assertIn('<a href="app://exitgame">退出</a>', page)
        self.assertIn('href="/xcyh2/login/help.html?next=app://minimize"', page)
        self.assertIn('<iframe src="/xcyh2/login/news.html"', page)
        self.assertNotIn("{{", page)

        _, _, other = self.get("/xcyh2/login/login.html", headers={"Host": "demo.test:8080"})
        self.assertIn("app://loadgame|http://demo.test:8080/xcyh2/game1.html|s1",
                      other.decode("utf-8"))
        # A Host header that could break out of the attribute falls back to the real address.
        _, _, hostile = self.get("/xcyh2/login/login.html", headers={"Host": 'x"><b>'})
        self.assertIn("http://%s/xcyh2/game1.html" % self.server.host, hostile.decode("utf-8"))

    def test_gbk_login_page_and_empty_page(self):
        status, _, body = self.get("/xcyh2/login/login_gbk.html")
        self.assertEqual(status, 200)
        with self.assertRaises(UnicodeDecodeError):
            body.decode("utf-8")
        page = body.decode("gbk")
        self.assertIn('<meta charset="gbk">', page)
        self.assertIn("星槎远航录2 登录", page)
        self.assertIn("app://loadgame|http://%s/xcyh2/game1.html|s1" % self.server.host, page)

        status, headers, body = self.get("/xcyh2/login/empty.html")
        self.assertEqual((status, headers["Content-Length"], body), (200, "0", b""))

    def test_site_pages(self):
        pages = {
            "/": "云栖坊 游戏中心",
            "/xcyh2/": "星槎远航录2 官网",
            "/xcyh2/game1.html": "星槎远航录2 - 一区 云海",
            "/xcyh2/game2.html": "星槎远航录2 - 二区 星河",
            "/xcyh2/game3.html": "星槎远航录2 - 三区 群星",
            "/xcyh2/news/1.html": "星槎远航录2 公告",
            "/xcyh2/login/news.html": "星槎远航录2 新闻",
            "/xcyh2/login/help.html?next=app://minimize": "星槎远航录2 登录帮助",
        }
        for path, title in pages.items():
            with self.subTest(path=path):
                status, _, body = self.get(path)
                self.assertEqual(status, 200)
                self.assertIn("<title>" + title, body.decode("utf-8"))
        _, _, game1 = self.get("/xcyh2/game1.html")
        self.assertIn('href="/xcyh2/news/1.html" target="_blank"', game1.decode("utf-8"))
        self.assertIn('href="/xcyh2/game2.html"', game1.decode("utf-8"))

        for path in ("/nope.html", "/.gitattributes", "/../demo-server",
                     "/xcyh2/%2e%2e/%2e%2e/demo-server"):
            with self.subTest(path=path):
                self.assertEqual(self.get(path)[0], 404)

    # --- manifest signature and ranges --------------------------------------------------------

    def test_signature_covers_the_manifest_being_served(self):
        # The site file as this request's Host gets it, then an override set for the manifest.
        for host in (self.server.host, "demo.test:8080"):
            with self.subTest(host=host):
                _, _, manifest = self.get(MANIFEST, headers={"Host": host})
                status, headers, signature = self.get(SIGNATURE, headers={"Host": host})
                self.assertEqual(status, 200)
                self.assertTrue(verifies(self.public_key, signature, manifest))
        _, _, site = self.get(MANIFEST)
        self.server.set(MANIFEST, b"version=9.9.9\r\n")
        _, _, signature = self.get(SIGNATURE)
        self.assertTrue(verifies(self.public_key, signature, b"version=9.9.9\r\n"))
        self.assertFalse(verifies(self.public_key, signature, site))
        self.assertEqual(self.get(SIGNATURE)[2], signature)  # one signature per manifest body

    def test_signature_set_for_its_path_wins_and_none_is_made_without_a_key(self):
        for body in (b"", b"\x30\x03not a signature"):
            with self.subTest(body=body):
                self.server.set(SIGNATURE, body)
                status, headers, got = self.get(SIGNATURE)
                self.assertEqual((status, headers["Content-Length"], got),
                                 (200, str(len(body)), body))
        with DemoServer() as plain:
            self.assertEqual(plain.fetch(MANIFEST)[0], 200)
            self.assertEqual(plain.fetch(SIGNATURE)[0], 404)

    def test_ranges(self):
        body = os.urandom(1000)
        self.server.set("/files/range.bin", body, chunk=300)  # pieces must not shift a range
        cases = [
            # Range header, status, Content-Range, body
            ("bytes=0-", 206, "bytes 0-999/1000", body),
            ("bytes=100-", 206, "bytes 100-999/1000", body[100:]),
            ("bytes=100-399", 206, "bytes 100-399/1000", body[100:400]),
            ("bytes=999-5000", 206, "bytes 999-999/1000", body[999:]),
            ("bytes=-300", 206, "bytes 700-999/1000", body[700:]),
            ("bytes=1000-", 416, "bytes */1000", None),
            ("bytes=5000-6000", 416, "bytes */1000", None),
            ("bytes=400-100", 200, None, body),
            ("bytes=0-10,20-30", 200, None, body),
            ("bytes=x-", 200, None, body),
            ("items=0-", 200, None, body),
        ]
        for header, status, content_range, expected in cases:
            with self.subTest(header):
                got_status, headers, got = self.get("/files/range.bin", headers={"Range": header})
                self.assertEqual((got_status, headers["Content-Range"]), (status, content_range))
                if expected is not None:
                    self.assertEqual((headers["Content-Length"], got),
                                     (str(len(expected)), expected))
        _, _, manifest = self.get(MANIFEST)
        self.assertEqual(self.get(MANIFEST, headers={"Range": "bytes=8-"})[:3:2],
                         (206, manifest[8:]))

    def test_cut_sends_less_than_announced_once(self):
        body = os.urandom(5000)
        self.server.set("/files/cut.bin", body, chunk=1000)
        _, _, manifest = self.get(MANIFEST)
        cases = [
            # path, Range header, cut after, announced length, bytes before the close
            ("/files/cut.bin", None, 1234, 5000, body[:1234]),
            ("/files/cut.bin", "bytes=1000-", 500, 4000, body[1000:1500]),
            ("/files/cut.bin", None, 0, 5000, b""),
            (MANIFEST, None, 10, len(manifest), manifest[:10]),
            ("/test/bytes/200000", None, 70000, 200000, expected_bytes(70000)),
        ]
        for path, header, after, announced, expected in cases:
            with self.subTest(path=path, range=header, after=after):
                headers = {"Range": header} if header else {}
                self.server.clear_requests()
                self.server.cut(path, after)
                _, got_headers, got = raw_get(self.server.port, path, headers=headers)
                self.assertEqual((got_headers["content-length"], got), (str(announced), expected))
                _, _, whole = self.get(path, headers=headers)
                self.assertEqual(len(whole), announced)
                self.assertEqual([(r["range"], r["sent"]) for r in self.server.requests()],
                                 [(header, after), (header, announced)])

    # --- /test/ -------------------------------------------------------------------------------

    def test_bytes_and_status_on_one_kept_alive_connection(self):
        conn = http.client.HTTPConnection("127.0.0.1", self.server.port, timeout=5)
        try:
            for n in (0, 1, 251, 100000):
                conn.request("GET", "/test/bytes/%d" % n)
                resp = conn.getresponse()
                body = resp.read()
                self.assertEqual(resp.status, 200)
                self.assertEqual(resp.headers["Content-Length"], str(n))
                self.assertEqual(body, expected_bytes(n))
            for code in (404, 500, 503):
                conn.request("GET", "/test/status/%d" % code)
                resp = conn.getresponse()
                self.assertEqual(resp.status, code)
                self.assertTrue(resp.read())
        finally:
            conn.close()
        self.assertEqual(self.get("/test/bytes/abc")[0], 400)

    def test_nolength_closes_instead_of_announcing(self):
        status, headers, body = raw_get(self.server.port, "/test/nolength/5000")
        self.assertEqual(status, 200)
        self.assertNotIn("content-length", headers)
        self.assertNotIn("transfer-encoding", headers)
        self.assertEqual(body, expected_bytes(5000))

    def test_chunked_framing(self):
        status, headers, raw = raw_get(self.server.port, "/test/chunked/2500", keep_alive=False)
        self.assertEqual(status, 200)
        self.assertEqual(headers.get("transfer-encoding"), "chunked")
        self.assertNotIn("content-length", headers)
        body, chunks = decode_chunked(raw)
        self.assertEqual(body, expected_bytes(2500))
        self.assertEqual(chunks, 3)

    def test_cutoff_sends_less_than_announced_and_closes(self):
        status, headers, body = raw_get(self.server.port, "/test/cutoff/1000?announce=4000")
        self.assertEqual(status, 200)
        self.assertEqual(headers["content-length"], "4000")
        self.assertEqual(body, expected_bytes(1000))
        self.assertEqual(self.get("/test/cutoff/10?announce=10")[0], 400)

    def test_slow_paces_the_body(self):
        # A generated body, and a body set for a path to be sent in pieces (the last piece short).
        self.server.set("/files/paced.bin", bytes(range(250)), chunk=100, delay_ms=100)
        for path, expected in (("/test/slow/300?chunk=100&delay_ms=100", expected_bytes(300)),
                               ("/files/paced.bin", bytes(range(250)))):
            with self.subTest(path):
                started = time.monotonic()
                status, headers, body = self.get(path)
                self.assertGreaterEqual(time.monotonic() - started, 0.19)
                self.assertEqual((status, headers["Content-Length"]), (200, str(len(expected))))
                self.assertEqual(body, expected)

    def test_stall_closes_without_a_response(self):
        started = time.monotonic()
        status, _, raw = raw_get(self.server.port, "/test/stall?ms=200")
        self.assertGreaterEqual(time.monotonic() - started, 0.19)
        self.assertIsNone(status)
        self.assertEqual(raw, b"")

    def test_big_streams_the_whole_body(self):
        n = 8 * 1024 * 1024 + 7
        status, headers, body = self.get("/test/big/%d" % n)
        self.assertEqual((status, headers["Content-Length"]), (200, str(n)))
        self.assertEqual(len(body), n)
        self.assertEqual(body, expected_bytes(n))

    # --- /control/ ----------------------------------------------------------------------------

    def _fetch_in_background(self, path):
        result = {}

        def run():
            result["status"], _, result["body"] = self.get(path)

        thread = threading.Thread(target=run, daemon=True)
        thread.start()
        return thread, result

    def test_hold_and_release(self):
        path = "/xcyh2/login/login.html"
        self.server.hold(path)
        thread, result = self._fetch_in_background(path + "?x=1")
        thread.join(0.3)
        self.assertTrue(thread.is_alive(), "held request was answered")
        self.assertEqual(self.get("/xcyh2/login/news.html")[0], 200)  # other paths unaffected
        self.server.release(path)
        thread.join(5)
        self.assertFalse(thread.is_alive())
        self.assertEqual(result["status"], 200)
        self.assertEqual(self.get(path)[0], 200)  # later requests pass too

    def test_reset_releases_holds(self):
        self.server.hold("/test/bytes/10")
        thread, result = self._fetch_in_background("/test/bytes/10")
        thread.join(0.2)
        self.assertTrue(thread.is_alive())
        self.server.reset()
        thread.join(5)
        self.assertEqual(result.get("body"), expected_bytes(10))

    def test_set_and_reset(self):
        path = "/gamehome/xcyh2/update.txt"
        _, _, original = self.get(path)
        new = "version=1.2.0\r\n星槎|http://x/y\r\n".encode("gbk")
        self.server.set(path, new)
        status, headers, body = self.get(path)
        self.assertEqual((status, headers["Content-Type"], body), (200, "text/plain", new))
        self.server.set("/made/up.html", "<p>新</p>", type="text/html; charset=utf-8")
        status, headers, body = self.get("/made/up.html")
        self.assertEqual(headers["Content-Type"], "text/html; charset=utf-8")
        self.assertEqual(body, "<p>新</p>".encode("utf-8"))
        self.server.reset()
        self.assertEqual(self.get(path)[2], original)
        self.assertEqual(self.get("/made/up.html")[0], 404)

    def test_requests_are_recorded_and_logged(self):
        self.server.clear_requests()
        self.get("/test/bytes/3?probe=1",
                 headers={"Cache-Control": "no-cache", "Pragma": "no-cache", "Range": "bytes=1-"})
        self.get("/test/bytes/2?probe=2")
        seen = self.server.requests()
        self.assertEqual(len(seen), 2)  # control requests are not listed
        self.assertEqual((seen[0]["method"], seen[0]["path"], seen[0]["query"]),
                         ("GET", "/test/bytes/3", "probe=1"))
        self.assertEqual(seen[0]["headers"]["Cache-Control"], "no-cache")
        self.assertEqual(seen[0]["headers"]["Pragma"], "no-cache")
        # /test/ responses ignore the range: all three bytes go out.
        self.assertEqual([(e["range"], e["sent"]) for e in seen], [("bytes=1-", 3), (None, 2)])

        # A line is written once its response has ended, which may be just after the client
        # has read it.
        deadline = time.monotonic() + 2
        while True:
            with open(self.log_path, encoding="utf-8") as f:
                logged = [json.loads(line) for line in f]
            probes = [e for e in logged if e["query"].startswith("probe=")]
            if len(probes) >= 2 or time.monotonic() > deadline:
                break
            time.sleep(0.02)
        self.assertEqual(probes[-2:], [
            {"method": "GET", "path": "/test/bytes/3", "query": "probe=1",
             "headers": {"Cache-Control": "no-cache", "Pragma": "no-cache"},
             "range": "bytes=1-", "sent": 3},
            {"method": "GET", "path": "/test/bytes/2", "query": "probe=2", "headers": {},
             "range": None, "sent": 2}])


class SignManifestTest(unittest.TestCase):
    def test_signs_with_a_p256_key_and_names_the_file_it_cannot_use(self):
        with tempfile.TemporaryDirectory() as tmp:
            key, public = make_key(tmp, "signer")
            wrong_curve, _ = make_key(tmp, "p384", "secp384r1")
            manifest = os.path.join(tmp, "update.txt")
            with open(manifest, "wb") as f:
                f.write(b"version=9.9.9\r\n")
            missing = os.path.join(tmp, "missing")
            cases = [
                # arguments, exit code, what stderr names
                ([wrong_curve, manifest], 1, wrong_curve),
                ([public, manifest], 1, public),
                ([missing, manifest], 1, missing),
                ([key, missing], 1, missing),
                ([key], 2, "usage: sign-manifest"),
                ([key, manifest], 0, None),
            ]
            for args, code, named in cases:
                with self.subTest(args=[os.path.basename(a) for a in args]):
                    proc = subprocess.run([SIGN_MANIFEST] + args, capture_output=True, text=True)
                    self.assertEqual(proc.returncode, code, proc.stderr)
                    self.assertNotIn("PRIVATE KEY", proc.stdout + proc.stderr)
                    if named:
                        self.assertEqual(len(proc.stderr.splitlines()), 1, proc.stderr)
                        self.assertIn(named, proc.stderr)
                        self.assertFalse(os.path.exists(manifest + ".sig"))
            self.assertEqual(proc.stdout, manifest + ".sig\n")
            with open(manifest + ".sig", "rb") as f:
                self.assertTrue(verifies(public, f.read(), b"version=9.9.9\r\n"))


class LifecycleTest(unittest.TestCase):
    def test_port_announced_and_clean_exit_on_signals(self):
        import signal

        for sig in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=sig), tempfile.TemporaryDirectory() as tmp:
                port_file = os.path.join(tmp, "port")
                proc = subprocess.Popen([sys.executable, SERVER_SCRIPT, "--port-file", port_file],
                                        stdout=subprocess.PIPE, text=True)
                try:
                    line = proc.stdout.readline().strip()
                    self.assertRegex(line, r"^PORT=\d+$")
                    port = int(line[5:])
                    deadline = time.monotonic() + 5
                    while not os.path.exists(port_file) and time.monotonic() < deadline:
                        time.sleep(0.01)
                    with open(port_file) as f:
                        self.assertEqual(f.read(), "%d\n" % port)
                    self.assertEqual(os.listdir(tmp), ["port"])
                    # A request stuck in a stall must not keep the server from stopping.
                    stuck = socket.create_connection(("127.0.0.1", port))
                    stuck.sendall(b"GET /test/stall HTTP/1.1\r\nHost: x\r\n\r\n")
                    time.sleep(0.1)
                    proc.send_signal(sig)
                    self.assertEqual(proc.wait(timeout=5), 0)
                    stuck.close()
                finally:
                    if proc.poll() is None:
                        proc.kill()
                        proc.wait()
                    proc.stdout.close()


if __name__ == "__main__":
    unittest.main()
