#!/usr/bin/env python3
"""with_demo_server.py COMMAND [ARGS...]: runs COMMAND with a demo server on a free port.

The server's address ("http://127.0.0.1:PORT") is passed in XCYH2_DEMO_URL; the exit code is
the command's.
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from demo_server_client import DemoServer  # noqa: E402

with DemoServer() as server:
    env = dict(os.environ, XCYH2_DEMO_URL="http://" + server.host)
    sys.exit(subprocess.call(sys.argv[1:], env=env))
