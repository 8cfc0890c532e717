#!/usr/bin/env python3
"""Checks the Authenticode signatures of what a build ships, with osslsigncode, without running
anything: the shell, the updater it carries (its "UPDATE" 101 resource, the very bytes it writes
out) and the installer.

With --cert CERT (a build that signs) each must carry a signature that verifies against CERT
and names the product; without it (a build that does not) none may carry a signature at all.

Usage: check_signatures.py SHELL INSTALLER [--cert CERT]. Exit code 0 when all holds, 1 otherwise,
with one line per fault.
"""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile

from check_imports import Image

PRODUCT = "星槎远航录2客户端"
DIR_RESOURCE = 2


def resource(image, type_name, ident):
    """The bytes of one resource (the first language of type_name / ident), or None."""
    rva, _ = image.dirs[DIR_RESOURCE]
    root = image.offset(rva) if rva else None
    if root is None:
        return None
    data = image.data

    def name(field):
        if not field & 0x80000000:
            return field
        at = root + (field & 0x7FFFFFFF)
        length = struct.unpack_from("<H", data, at)[0]
        return data[at + 2:at + 2 + 2 * length].decode("utf-16-le")

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, root + directory + 12)
        return [struct.unpack_from("<II", data, root + directory + 16 + 8 * i) for i in range(named + ids)]

    directory = 0
    for key in (type_name, ident):
        targets = [target for field, target in entries(directory) if name(field) == key]
        if not targets or not targets[0] & 0x80000000:
            return None
        directory = targets[0] & 0x7FFFFFFF
    # The last level is the languages; the first one's entry says where the bytes are.
    languages = entries(directory)
    if not languages or languages[0][1] & 0x80000000:
        return None
    data_rva, size = struct.unpack_from("<II", data, root + languages[0][1])
    at = image.offset(data_rva)
    return None if at is None else data[at:at + size]


def signature(path, cert):
    """What osslsigncode finds in the file: None without a signature, else (verified, description),
    verified when the signature holds and chains to cert."""
    out = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", path] if cert else
                         ["osslsigncode", "verify", "-in", path],
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
    text = out.stdout.decode("utf-8", "replace")
    if "No signature found" in text:
        return None
    description = re.search(r"Text description: (.*)", text)
    return out.returncode == 0 and "Signature verification: ok" in text, description and description.group(1).strip()


def faults_of(name, path, cert):
    found = signature(path, cert)
    if cert is None:
        return [] if found is None else [f"{name}: signed, in a build that does not sign"]
    if found is None:
        return [f"{name}: no signature"]
    verified, description = found
    faults = [] if verified else [f"{name}: its signature does not verify against {cert}"]
    if description != PRODUCT:
        faults.append(f"{name}: its signature describes it as {description!r}, not {PRODUCT!r}")
    return faults


def check(shell, installer, cert):
    with open(shell, "rb") as f:
        updater = resource(Image(f.read()), "UPDATE", 101)
    if updater is None:
        return [f"{shell}: no \"UPDATE\" 101 resource"]
    with tempfile.TemporaryDirectory() as tmp:
        embedded = os.path.join(tmp, "Update.exe")
        with open(embedded, "wb") as f:
            f.write(updater)
        return (faults_of(shell, shell, cert) + faults_of(f"{shell}: the updater it carries", embedded, cert)
                + faults_of(installer, installer, cert))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("shell")
    parser.add_argument("installer")
    parser.add_argument("--cert")
    args = parser.parse_args()
    faults = check(args.shell, args.installer, args.cert)
    for fault in faults:
        print(fault)
    if not faults:
        print(f"{args.shell}, its updater and {args.installer}: "
              + (f"signed, verified against {args.cert}" if args.cert else "unsigned"))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
