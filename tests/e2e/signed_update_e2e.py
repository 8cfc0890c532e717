"""Updates in a build with the publisher's key (tools/build-demo): the shell offers only a
manifest that carries the key's signature and a newer version than its own, and the updater
checks the signature again and installs only the lines that carry a SHA-256. Anything else
offers nothing and the login follows."""

import hashlib
import os
import re
import subprocess
import tempfile
import unittest

from harness import IDNO, IDOK, ROOT, Shell, demo_server, e2e_main, wait_until
from updater_e2e import OLD_SHELL, PARTLY, Updater, read

MANIFEST = "/gamehome/xcyh2/update.txt"
SIGNATURE = MANIFEST + ".sig"
LOGIN_PAGE = "/xcyh2/login/login.html"
QUESTION = "发现有新版本，是否现在更新！"
UNVERIFIED = "更新文件列表未通过发布者签名验证，未进行更新。请重新启动游戏客户端后再试。"


def listing(version):
    return b"version=" + version.encode() + b"\r\nxcyh2.exe|http://127.0.0.1:9/xcyh2.exe|" + b"0" * 64 + b"\r\n"


def built_version():
    """The version the build's programs carry: the project's, major.minor.revision."""
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        return tuple(int(n) for n in re.search(r"project\(xcyh2 VERSION (\d+)\.(\d+)\.(\d+)", f.read()).groups())


MAJOR, MINOR, REVISION = built_version()
NEWER = listing(f"{MAJOR}.{MINOR + 9}.0")  # 1.10.0 against 1.1.0: newer as numbers, not as text
SAME = listing(f"{MAJOR}.{MINOR}.{REVISION}.0")
OLDER = listing(f"{MAJOR}.{MINOR - 1}.99" if MINOR else f"{MAJOR - 1}.99.0")


def signed_build():
    build = os.environ.get("XCYH2_SIGNED_BUILD_DIR")
    if not build or not os.path.exists(os.path.join(build, "bin", "xcyh2.exe")):
        raise RuntimeError("XCYH2_SIGNED_BUILD_DIR names no build with a key (tools/build-demo)")
    return build


def sign(private_key, data):
    """The signature the publisher's tools write: openssl dgst -sha256 -sign, DER."""
    return subprocess.run(["openssl", "dgst", "-sha256", "-sign", private_key], input=data,
                          stdout=subprocess.PIPE, check=True).stdout


class SignedUpdates(unittest.TestCase):
    """Runs the key build's programs, signing with its key and with somebody else's."""

    @classmethod
    def setUpClass(cls):
        cls.build = signed_build()
        cls.key = os.path.join(cls.build, "demo-key", "private.pem")
        cls.scratch = tempfile.TemporaryDirectory(prefix="xcyh2-signed-")
        cls.other = os.path.join(cls.scratch.name, "other.pem")  # somebody else's key, made now
        subprocess.run(["openssl", "ecparam", "-name", "prime256v1", "-genkey", "-noout", "-out", cls.other],
                       check=True)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def program(self, name):
        return os.path.join(self.build, "bin", name)

    def test_the_shell_offers_only_a_manifest_signed_with_its_key(self):
        changed = NEWER + b"; changed after signing\r\n"
        cases = [
            # name, signing key of the server, (path, body[, pace]) overrides, holds, question expected
            ("signed", self.key, [], [], True),
            ("an older version, signed", self.key, [(MANIFEST, OLDER)], [], False),
            ("the same version written otherwise, signed", self.key, [(MANIFEST, SAME)], [], False),
            ("unsigned", None, [], [], False),
            ("another key's signature", None, [(SIGNATURE, sign(self.other, NEWER))], [], False),
            ("changed after signing", None, [(SIGNATURE, sign(self.key, NEWER)), (MANIFEST, changed)], [], False),
            ("a signature of zero bytes", None, [(SIGNATURE, b"")], [], False),
            # Refused as it is announced: were it read, it would take 100 s.
            ("a signature of 2 MB sent slowly", None,
             [(SIGNATURE, b"\x30" * 2000000, {"chunk": 4096, "delay_ms": 200})], [], False),
            ("a signature that never arrives", self.key, [], [SIGNATURE], False),
        ]
        for name, key, overrides, holds, offered in cases:
            with self.subTest(name), demo_server(sign_with=key) as server:
                server.set(MANIFEST, NEWER)
                for path, body, *pace in overrides:
                    server.set(path, body, **(pace[0] if pace else {}))
                for path in holds:
                    server.hold(path)
                with Shell(exe=self.program("xcyh2.exe")) as shell:
                    if offered:
                        box = shell.wait_for_message_box(timeout=60)
                        self.assertEqual(box["text"], QUESTION)
                        shell.answer(box, IDNO)
                    # The download class's own time-outs (30 s) bound a signature that never comes.
                    shell.wait(lambda: shell.window("LoginFrm") or shell.window("LoadFrm"), 90, "the start-up to go on")
                    self.assertEqual(shell.message_boxes(), [])
                    self.assertFalse(os.path.exists(os.path.join(shell.temp_dir(), "Update.exe")))
                    self.assertIn(SIGNATURE, [r["path"] for r in server.requests()])
                    for path in holds:
                        server.release(path)

    def test_the_updater_checks_the_signature_again_and_installs_only_hashed_lines(self):
        marker = read(Shell(exe="startmark.exe").exe)
        data = b"new data " * 1000
        with demo_server() as server:
            server.set("/files/data.pak", data)
            server.set("/files/notes.txt", b"nothing vouches for these bytes")
            server.set("/files/startmark.exe", marker)
            manifest = ("version=9.9.9\r\ndata|%s|%s\r\nnotes|%s\r\nexe|%s|%s\r\n"
                        % (server.url("/files/data.pak"), hashlib.sha256(data).hexdigest(),
                           server.url("/files/notes.txt"), server.url("/files/startmark.exe"),
                           hashlib.sha256(marker).hexdigest())).encode()
            for name, signature, verified in (("another key's signature", sign(self.other, manifest), False),
                                              ("the key's signature", sign(self.key, manifest), True)):
                with self.subTest(name):
                    server.clear_requests()
                    with SignedUpdater(self.program("Update.exe"), manifest, signature) as run:
                        box = run.wait_for_message_box(timeout=60)
                        paths = [r["path"] for r in server.requests()]
                        if not verified:
                            self.assertEqual(box["text"], UNVERIFIED)
                            self.assertEqual(paths, [])
                            run.answer(box, IDOK)
                            run.wait_exit(30)
                            self.assertEqual(run.started(), [])
                            self.assertEqual(run.file("xcyh2.exe"), OLD_SHELL)
                            continue
                        # The line without a hash is skipped, not asked for, and reported.
                        self.assertEqual(box["text"], PARTLY)
                        self.assertEqual(paths, ["/files/data.pak", "/files/startmark.exe"])
                        self.assertEqual(run.file("data.pak"), data)
                        self.assertIsNone(run.file("notes.txt"))
                        run.answer(box, IDOK)
                        wait_until(lambda: run.started(), 30, message="the last file to be started")
                        run.wait_exit(30)


class SignedUpdater(Updater):
    """The updater of the build with a key, with the manifest copy's signature beside it."""

    def __init__(self, exe, manifest, signature, **kwargs):
        super().__init__(manifest, **kwargs)
        self.exe = exe
        self.signature = signature

    def start(self):
        copy = os.path.join(self.temp_dir(), "update.txt.sig")
        with open(copy, "wb") as f:
            f.write(self.signature)
        return super().start()


if __name__ == "__main__":
    e2e_main()
