"""What the updater waits for, and how long: a server that cannot be reached costs its first
line the usual tries and every later line one short try, so a list of such lines ends within
minutes, not hours; and while a large file is checked (its SHA-256) the window keeps answering,
and the player can stop there with every file left as it was."""

import contextlib
import hashlib
import os
import socket
import time
import unittest

from harness import IDOK, IDYES, Shell, demo_server, e2e_main, wait_until
from updater_e2e import OLD_SHELL, PARTLY, STOP_QUESTION, Updater, read

MB = 1024 * 1024
BIG = 500 * MB


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def zeros_sha256(size):
    digest, piece = hashlib.sha256(), bytes(MB)
    for _ in range(size // MB):
        digest.update(piece)
    digest.update(bytes(size % MB))
    return digest.hexdigest()


@contextlib.contextmanager
def unreachable(kind):
    """A "127.0.0.1:PORT" that cannot be reached. "refused": nothing listens there, so every
    connection is refused at once. "never accepted": a listener that never accepts and whose
    queue (one place) is full, so the system drops every further SYN and a connection attempt
    waits until the client gives up."""
    with socket.socket() as port_holder:
        port_holder.bind(("127.0.0.1", 0))
        host = "127.0.0.1:%d" % port_holder.getsockname()[1]
        if kind == "refused":
            yield host
            return
        port_holder.listen(0)
        with socket.create_connection(port_holder.getsockname(), timeout=5):  # takes the one place
            with socket.socket() as probe:
                probe.settimeout(1)
                with contextlib.suppress(TimeoutError):
                    probe.connect(port_holder.getsockname())
                    raise AssertionError("the full listener accepted a connection")
            yield host


class UpdaterWaits(unittest.TestCase):
    def test_lines_to_a_server_that_cannot_be_reached_end_in_time_and_others_still_arrive(self):
        marker = read(Shell(exe="startmark.exe").exe)
        # Ten checked lines to the unreachable server, then one to the demo server: the first
        # line costs its four tries and their pauses, each later one a single short try. Before,
        # a connection that never completes held each try about two minutes under Wine.
        for kind, within in (("refused", 30), ("never accepted", 90)):
            with self.subTest(kind), demo_server() as server, unreachable(kind) as host:
                server.set("/files/startmark.exe", marker)
                olds = {"f%d.dat" % i: b"old %d" % i for i in range(10)}
                manifest = "".join("data|http://%s/files/f%d.dat|%s\r\n" % (host, i, sha256(b"new %d" % i))
                                   for i in range(10))
                manifest += "exe|%s|%s\r\n" % (server.url("/files/startmark.exe"), sha256(marker))
                with Updater(manifest.encode(), olds) as run:
                    began = time.monotonic()
                    box = run.wait_for_message_box(timeout=within + 60)
                    took = time.monotonic() - began
                    print("%s: the report after %.1f s" % (kind, took))
                    self.assertEqual(box["text"], PARTLY)
                    self.assertLess(took, within)
                    self.assertEqual({name: run.file(name) for name in olds}, olds)
                    self.assertEqual(run.file("startmark.exe"), marker)
                    self.assertEqual(run.part_files(), [])
                    run.answer(box, IDOK)
                    wait_until(lambda: run.started(), 30, message="the last file to be started")
                    run.wait_exit(30)
                self.assertEqual([r["path"] for r in server.requests()], ["/files/startmark.exe"])

    def test_the_window_answers_while_a_large_current_file_is_checked_and_can_be_stopped_there(self):
        marker = read(Shell(exe="startmark.exe").exe)
        with demo_server() as server:
            server.set("/files/startmark.exe", marker)
            # First a download of about three seconds, during which the questions begin; then the
            # check of the 500 MB file, already current; then a download the check's end lets go.
            lead = "/test/slow/61440/lead.bin"  # 15 pieces, 0.2 s apart

            def listing(size):
                return ("lead|%s\r\nbig|%s|%s\r\nexe|%s|%s\r\n"
                        % (server.url(lead), server.url("/files/big.pak"), zeros_sha256(size),
                           server.url("/files/startmark.exe"), sha256(marker))).encode()

            def lead_done():
                seen = server.requests()
                return seen and seen[0]["sent"] == 61440 and time.time()

            # The stop is given a file four times as big, so that the click lands during its
            # check even where the machine hashes 500 MB faster than the click takes to arrive.
            for stop, size in ((False, BIG), (True, 4 * BIG)):
                server.clear_requests()
                with self.subTest("stopped" if stop else "to the end"), \
                        self.updater_with_big_file(listing(size), size) as (run, answers):
                    close = run.close_button()
                    checking = wait_until(lead_done, 30, 0.02, "the first download to end")
                    big = os.stat(run.path("big.pak"))
                    if stop:
                        run.click(*close)
                        box = run.wait_for_message_box(timeout=20)
                        self.assertEqual(box["text"], STOP_QUESTION)
                        run.answer(box, IDYES)
                        run.wait_exit(20)
                        # The check ended there: nothing more was asked for, no file changed,
                        # nothing started.
                        self.assertEqual([r["path"] for r in server.requests()], [lead])
                        after = os.stat(run.path("big.pak"))
                        self.assertEqual((after.st_size, after.st_mtime_ns, after.st_blocks),
                                         (size, big.st_mtime_ns, 0))
                        self.assertEqual(run.file("xcyh2.exe"), OLD_SHELL)
                        self.assertIsNone(run.file("startmark.exe"))
                        self.assertEqual(run.part_files(), [])
                        self.assertEqual(run.started(), [])
                        continue
                    wait_until(lambda: len(server.requests()) == 2, 120, 0.02, "the check to end")
                    checked = server.requests()[1]["time"]
                    during = answers.between(checking + 0.2, checked - 0.2)
                    print("the check took %.1f s; %d questions during it, %d answered"
                          % (checked - checking, len(during), sum(ok for _, ok in during)))
                    self.assertGreaterEqual(len(during), 3)
                    self.assertTrue(all(ok for _, ok in during), during)
                    box = run.wait_for_message_box(timeout=60)
                    self.assertEqual(run.file("startmark.exe"), marker)
                    self.assertEqual(os.stat(run.path("big.pak")).st_mtime_ns, big.st_mtime_ns)
                    run.answer(box, IDOK)
                    run.wait_exit(30)

    @contextlib.contextmanager
    def updater_with_big_file(self, manifest, size=BIG):
        """An updater run with a sparse big.pak of size bytes (500 MB) in the shell's folder,
        removed afterwards, and the questions to its window (harness.Answers) asked from the
        moment it shows."""
        run = Updater(manifest, zeros={"big.pak": size})
        try:
            with run:
                with run.start_answers(run.wait_for_window("UpdateFrm", visible=True, timeout=60)) as answers:
                    yield run, answers
        finally:
            with contextlib.suppress(OSError):
                os.remove(run.path("big.pak"))


if __name__ == "__main__":
    e2e_main()
