#!/usr/bin/env python3
"""Checks tools/demo-server: the demo site, the /test/ responses and the /control/ endpoints.

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


def expected_bytes(n):
    return (bytes(range(251)) * (n // 251 + 1))[:n]


def raw_get(port, target, keep_alive=True, timeout=5.0):
    """Sends one GET and reads until the server closes: (status, headers, raw body bytes).

    With keep_alive the request does not ask for the connection to close, so the read only
    finishes when the server closes it on its own."""
    sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
    try:
        request = "GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n" % (target, port)
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
        cls.server = DemoServer(log=cls.log_path).start()

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
        self.get("/test/bytes/1?probe=1",
                 headers={"Cache-Control": "no-cache", "Pragma": "no-cache"})
        seen = self.server.requests()
        self.assertEqual(len(seen), 1)  # control requests are not listed
        self.assertEqual((seen[0]["method"], seen[0]["path"], seen[0]["query"]),
                         ("GET", "/test/bytes/1", "probe=1"))
        self.assertEqual(seen[0]["headers"]["Cache-Control"], "no-cache")
        self.assertEqual(seen[0]["headers"]["Pragma"], "no-cache")

        with open(self.log_path, encoding="utf-8") as f:
            logged = [json.loads(line) for line in f]
        probe = [e for e in logged if e["query"] == "probe=1"]
        self.assertEqual(probe[-1]["headers"], {"Cache-Control": "no-cache", "Pragma": "no-cache"})


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
