#!/usr/bin/env python3
"""tools/install-deps against a stand-in apt-get and dpkg: a package index that fails to load is
tried once more and then passed over, naming it; only a package that cannot be installed stops
the command, naming the package; and the i386 architecture is asked for only where the kernel
runs 32-bit code."""

import os
import subprocess
import tempfile
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "tools")

# Stand-ins that append each call to $LOG. dpkg says every package is missing; apt-get update
# fails the first $UPDATE_FAILS calls with a mid-sync message; apt-get install fails for a set of
# $UNINSTALLABLE names.
FAKE_DPKG = """#!/bin/sh
echo "dpkg $*" >>"$LOG"
case "$1" in
  -s) exit 1 ;;
  --print-foreign-architectures) exit 0 ;;
esac
exit 0
"""
FAKE_APT = """#!/bin/sh
echo "apt-get $*" >>"$LOG"
case " $* " in
  *" update "*)
    n=$(cat "$STATE" 2>/dev/null || echo 0); echo $((n + 1)) >"$STATE"
    if [ "$n" -lt "$UPDATE_FAILS" ]; then
      echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (123 != 456). Mirror sync in progress?" >&2
      exit 100
    fi
    exit 0 ;;
esac
for p in $UNINSTALLABLE; do
  case " $* " in *" $p "*) echo "E: Unable to locate package $p" >&2; exit 100 ;; esac
done
exit 0
"""
FAKE_LOCALE = "#!/bin/sh\necho zh_CN.utf8\n"


class InstallDeps(unittest.TestCase):
    def run_install(self, update_fails, uninstallable=""):
        with tempfile.TemporaryDirectory() as bin_dir:
            for name, text in (("dpkg", FAKE_DPKG), ("apt-get", FAKE_APT), ("locale", FAKE_LOCALE)):
                path = os.path.join(bin_dir, name)
                with open(path, "w") as f:
                    f.write(text)
                os.chmod(path, 0o755)
            log = os.path.join(bin_dir, "log")
            env = dict(os.environ, PATH=bin_dir + ":" + os.environ["PATH"], LOG=log,
                       STATE=os.path.join(bin_dir, "state"), UPDATE_FAILS=str(update_fails),
                       UNINSTALLABLE=uninstallable)
            if os.getuid() != 0:
                env["PATH"] = bin_dir + ":" + env["PATH"]
                with open(os.path.join(bin_dir, "sudo"), "w") as f:
                    f.write('#!/bin/sh\nexec "$@"\n')
                os.chmod(os.path.join(bin_dir, "sudo"), 0o755)
            done = subprocess.run([os.path.join(TOOLS, "install-deps")], env=env, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, text=True, timeout=60)
            with open(log) as f:
                calls = f.read().splitlines()
        return done, calls

    def test_indexes_that_fail_are_tried_once_more_then_passed_over(self):
        runs32 = subprocess.run([os.path.join(TOOLS, "lib", "kernel-runs-32bit")]).returncode == 0
        for fails, updates, warned in ((0, 1, False), (1, 2, False), (5, 2, True)):
            with self.subTest(update_fails=fails):
                done, calls = self.run_install(fails)
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertEqual(sum(c.startswith("apt-get update") for c in calls), updates)
                installs = [c for c in calls if c.startswith("apt-get install")]
                self.assertEqual(len(installs), 1)
                self.assertEqual("wine32:i386" in installs[0], runs32)
                self.assertEqual(any("--add-architecture" in c for c in calls), runs32)
                self.assertEqual("binary-i386/Packages.xz" in done.stderr, warned, done.stderr)

    def test_a_package_that_cannot_be_installed_stops_it_and_is_named(self):
        done, _ = self.run_install(0, uninstallable="nsis")
        self.assertNotEqual(done.returncode, 0)
        self.assertIn("cannot install nsis", done.stderr)


if __name__ == "__main__":
    unittest.main()
