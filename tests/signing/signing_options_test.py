"""The signing options are checked as the build is configured: a certificate or key that cannot
sign stops it at once, with a message naming the option and the file, and the key's text is in
nothing the configuration prints or writes.

Usage: signing_options_test.py CMAKE SOURCE_DIR (a native configuration in a folder of its own,
one per case)."""

import os
import subprocess
import sys
import tempfile
import unittest

CMAKE, SOURCE = sys.argv[1], sys.argv[2]


def make_pair(folder, name):
    """A throw-away self-signed certificate and its key."""
    cert, key = (os.path.join(folder, f"{name}-{kind}.pem") for kind in ("cert", "key"))
    subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes",
                    "-days", "2", "-subj", f"/CN={name}", "-keyout", key, "-out", cert],
                   check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


def files_under(folder):
    for parent, _, names in os.walk(folder):
        for name in names:
            with open(os.path.join(parent, name), "rb") as f:
                yield os.path.join(parent, name), f.read()


class SigningOptions(unittest.TestCase):
    def test_configure(self):
        with tempfile.TemporaryDirectory() as tmp:
            cert, key = make_pair(tmp, "publisher")
            _, other_key = make_pair(tmp, "other")
            missing = os.path.join(tmp, "missing-cert.pem")
            with open(key) as f:
                secret = [line.strip() for line in f if line.strip() and not line.startswith("-----")]
            self.assertTrue(secret)
            cases = [
                # (case, certificate, key, what the message names; None: the configuration succeeds)
                ("a certificate and its key", cert, key, None),
                ("the certificate alone", cert, "", "XCYH2_SIGNING_KEY is not set"),
                ("a missing certificate", missing, key, f"XCYH2_SIGNING_CERT: {missing}"),
                ("a key given as the certificate", key, key, f"XCYH2_SIGNING_CERT: {key}"),
                ("the key of another certificate", cert, other_key, f"XCYH2_SIGNING_KEY: {other_key}"),
            ]
            for n, (case, cert_file, key_file, named) in enumerate(cases):
                with self.subTest(case):
                    build = os.path.join(tmp, f"build{n}")
                    out = subprocess.run([CMAKE, "-S", SOURCE, "-B", build, f"-DXCYH2_SIGNING_CERT={cert_file}",
                                          f"-DXCYH2_SIGNING_KEY={key_file}"],
                                         stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
                    text = out.stdout.decode("utf-8", "replace")
                    words = " ".join(text.split())  # CMake wraps its messages
                    if named is None:
                        self.assertEqual(out.returncode, 0, text)
                    else:
                        self.assertNotEqual(out.returncode, 0, text)
                        self.assertIn(named, words, text)
                    for line in secret:
                        self.assertNotIn(line, text, "the key's text in the output")
                    for path, data in files_under(build):
                        for line in secret:
                            self.assertNotIn(line.encode(), data, f"the key's text in {path}")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
