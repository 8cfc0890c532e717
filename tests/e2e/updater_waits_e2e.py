"""What the updater waits for: while a large file is checked (its SHA-256) the window keeps
answering, and the player can stop there with every file left as it was."""

import contextlib
import hashlib
import os
import time
import unittest

from harness import IDOK, IDYES, Shell, demo_server, e2e_main, wait_until
from updater_e2e import OLD_SHELL, STOP_QUESTION, Updater, read

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


class UpdaterWaits(unittest.TestCase):
    def test_the_window_answers_while_a_large_current_file_is_checked_and_can_be_stopped_there(self):
        marker = read(Shell(exe="startmark.exe").exe)
        with demo_server() as server:
            server.set("/files/startmark.exe", marker)
            # First a download of about three seconds, during which the questions begin; then the
            # check of the 500 MB file, already current; then a download the check's end lets go.
            lead = "/test/slow/61440/lead.bin"  # 15 pieces, 0.2 s apart
            manifest = ("lead|%s\r\nbig|%s|%s\r\nexe|%s|%s\r\n"
                        % (server.url(lead), server.url("/files/big.pak"), zeros_sha256(BIG),
                           server.url("/files/startmark.exe"), sha256(marker))).encode()

            def lead_done():
                seen = server.requests()
                return seen and seen[0]["sent"] == 61440 and time.time()

            for stop in (False, True):
                server.clear_requests()
                with self.subTest("stopped" if stop else "to the end"), self.updater_with_big_file(manifest) as (
                        run, answers):
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
                                         (BIG, big.st_mtime_ns, 0))
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
    def updater_with_big_file(self, manifest):
        """An updater run with a sparse 500 MB big.pak in the shell's folder, removed afterwards,
        and the questions to its window (harness.Answers) asked from the moment it shows."""
        run = Updater(manifest, zeros={"big.pak": BIG})
        try:
            with run:
                with run.start_answers(run.wait_for_window("UpdateFrm", visible=True, timeout=60)) as answers:
                    yield run, answers
        finally:
            with contextlib.suppress(OSError):
                os.remove(run.path("big.pak"))


if __name__ == "__main__":
    e2e_main()
