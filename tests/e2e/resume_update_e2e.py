"""The updater on a bad connection: a checked file (a line with a SHA-256) whose transfer is cut
goes on from where it stopped, in the same run and in the next one; bytes that turn out wrong
are fetched afresh; a file already current is not fetched at all. The demo server's request log
shows what went over the wire."""

import hashlib
import os
import unittest

from harness import IDOK, IDYES, Shell, demo_server, e2e_main, wait_until
from updater_e2e import DONE, PARTLY, STOP_QUESTION, Updater

MB = 1024 * 1024


def body(n, seed):
    """n bytes that differ from seed to seed."""
    block = hashlib.sha256(b"%d" % seed).digest() * 2048  # 64 KiB
    return (block * (n // len(block) + 1))[:n]


def line(url, data=None):
    return "data|%s%s\r\n" % (url, "|" + hashlib.sha256(data).hexdigest() if data is not None else "")


class ResumedUpdates(unittest.TestCase):
    def finish(self, run, text=DONE):
        box = run.wait_for_message_box(timeout=120)
        self.assertEqual(box["text"], text)
        run.answer(box, IDOK)
        run.wait_exit(30)

    def test_a_cut_transfer_goes_on_from_where_it_stopped_in_the_run_and_after_a_kill(self):
        data = body(3 * MB, 1)
        with demo_server() as server:
            path = "/files/big.bin"
            server.set(path, data)
            manifest = line(server.url(path), data).encode()

            # Cut at 1 MiB: the rest is asked for after the first pause, the bar goes on from a
            # third, and the file is whole.
            server.set(path, data, chunk=65536, delay_ms=100)
            server.cut(path, MB)
            with Updater(manifest) as run:
                wait_until(lambda: len(server.requests()) == 2, 60, 0.05, "the second try")
                position, limit = run.progress(run.window("UpdateFrm"))
                self.assertGreaterEqual(position / limit, 1 / 3 - 0.01)
                self.assertLess(position / limit, 1)
                self.finish(run)
                self.assertEqual(run.file("big.bin"), data)
                self.assertEqual(run.part_files(), [])
            seen = server.requests()
            self.assertEqual([(r["path"], r["range"]) for r in seen], [(path, None), (path, "bytes=%d-" % MB)])
            self.assertEqual([r["sent"] for r in seen], [MB, 2 * MB])
            self.assertLess(sum(r["sent"] for r in seen), 1.1 * len(data))

            # Cut again, and the updater killed while its next try waits at the server: the next
            # run asks only for what the killed one did not get.
            server.clear_requests()
            server.cut(path, MB)
            with Updater(manifest, {"big.bin": b"old"}) as run:
                wait_until(lambda: [r["sent"] for r in server.requests()] == [MB], 60, 0.02, "the cut")
                server.hold(path)
                wait_until(lambda: len(server.requests()) == 2, 30, message="the second try")
                run.kill_all()
                self.assertEqual(run.file("big.bin"), b"old")
                self.assertEqual(os.path.getsize(run.path("big.bin.part")), MB)
            server.release(path)
            server.clear_requests()
            with Updater(manifest, fresh=False) as run:
                self.finish(run)
                self.assertEqual(run.file("big.bin"), data)
                self.assertEqual(run.part_files(), [])
            self.assertEqual([(r["range"], r["sent"]) for r in server.requests()], [("bytes=%d-" % MB, 2 * MB)])

            # Stopped during the pause before the next try: at once, with nothing more asked for
            # and nothing started; what arrived is kept for the next update.
            server.clear_requests()
            server.cut(path, MB)
            with Updater(manifest, {"big.bin": b"old"}) as run:
                close = run.close_button()
                wait_until(lambda: [r["sent"] for r in server.requests()] == [MB], 60, 0.02, "the cut")
                run.click(*close)
                box = run.wait_for_message_box(timeout=20)
                self.assertEqual(box["text"], STOP_QUESTION)
                run.answer(box, IDYES)
                run.wait_exit(10)
                self.assertEqual(len(server.requests()), 1)
                self.assertEqual(run.file("big.bin"), b"old")
                self.assertEqual(os.path.getsize(run.path("big.bin.part")), MB)
                self.assertEqual(run.started(), [])

    def test_held_bytes_of_another_version_are_dropped_and_the_file_fetched_whole(self):
        old, new = body(2 * MB, 2), body(2 * MB, 3)
        with demo_server() as server:
            path = "/files/big.bin"
            server.set(path, new)
            # What a run for the old version of the file kept of it.
            with Updater(line(server.url(path), new).encode(), {"big.bin.part": old[:MB]}) as run:
                self.finish(run)
                self.assertEqual(run.file("big.bin"), new)
                self.assertEqual(run.part_files(), [])
            self.assertEqual([(r["range"], r["sent"]) for r in server.requests()],
                             [("bytes=%d-" % MB, MB), (None, 2 * MB)])

    def test_only_files_not_yet_current_are_fetched_and_unchecked_ones_fail_as_before(self):
        # The last line is a program already current: it is still the one started at the end.
        files = {"f%d.dat" % i: body(64 * 1024, 10 + i) for i in range(9)}
        with open(Shell(exe="startmark.exe").exe, "rb") as f:
            files["startmark.exe"] = f.read()
        with demo_server() as server:
            for name, data in files.items():
                server.set("/files/" + name, data)
            manifest = "".join(line(server.url("/files/" + name), data) for name, data in files.items()).encode()
            current = {name: data for name, data in files.items() if name != "f4.dat"}
            with Updater(manifest, dict(current, **{"f4.dat": b"old"})) as run:
                self.finish(run)
                self.assertEqual({name: run.file(name) for name in files}, files)
                wait_until(lambda: run.started(), 30, message="the current program to be started")
            self.assertEqual([r["path"] for r in server.requests()], ["/files/f4.dat"])

            # A checked file whose every transfer is cut: tried three more times, after pauses
            # of at least 1, 2 and 4 s, then reported; the old file stays.
            server.clear_requests()
            cutoff = "/test/cutoff/5000/f4.dat"
            with Updater(line(server.url(cutoff), body(6024, 0)).encode(), {"f4.dat": b"old"}) as run:
                self.finish(run, PARTLY)
                self.assertEqual(run.file("f4.dat"), b"old")
            seen = server.requests()
            self.assertEqual([r["path"] for r in seen], [cutoff] * 4)
            gaps = [b["time"] - a["time"] for a, b in zip(seen, seen[1:])]
            for gap, pause in zip(gaps, (1, 2, 4)):
                self.assertGreaterEqual(gap, pause)

            # A line without a hash, cut: no second try, the old file stays, the player is told.
            server.clear_requests()
            server.cut("/files/f4.dat", 10000)
            with Updater(line(server.url("/files/f4.dat")).encode(), {"f4.dat": b"old"}) as run:
                self.finish(run, PARTLY)
                self.assertEqual(run.file("f4.dat"), b"old")
                self.assertEqual(run.part_files(), [])
            self.assertEqual([(r["range"], r["sent"]) for r in server.requests()], [(None, 10000)])

            # A disk that fills up while a kept part is appended to: the old file stays, the
            # player is told, and the part is gone.
            server.clear_requests()
            data = body(2 * MB, 4)
            server.set("/files/big.bin", data)
            with Updater(line(server.url("/files/big.bin"), data).encode(),
                         {"big.bin": b"old", "big.bin.part": data[:MB // 2]}, disk_bytes=MB) as run:
                box = run.wait_for_message_box(timeout=120)
                self.assertEqual(box["text"], PARTLY)
                self.assertEqual(run.file("big.bin"), b"old")  # read on its own disk, before it goes
                self.assertEqual(run.part_files(), [])
                run.answer(box, IDOK)
                run.wait_exit(30)
            self.assertEqual([r["range"] for r in server.requests()], ["bytes=%d-" % (MB // 2)])


if __name__ == "__main__":
    e2e_main()
