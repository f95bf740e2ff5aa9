#!/usr/bin/env python3
"""Writes the service worker: the template with the list of the page's files
(every file of the page's folder but the worker itself) and a version, the
SHA-256 of their names and bytes, put in.

Usage: make_worker.py TEMPLATE PAGE_DIR"""
import hashlib
import json
import os
import sys

template, folder = sys.argv[1], sys.argv[2]
names = []
for base, dirs, files in os.walk(folder):
    dirs.sort()
    for name in sorted(files):
        path = os.path.relpath(os.path.join(base, name), folder).replace(os.sep, "/")
        if path != "sw.js":
            names.append(path)
digest = hashlib.sha256()
for name in names:
    digest.update(name.encode("utf-8") + b"\0")
    with open(os.path.join(folder, name), "rb") as f:
        digest.update(f.read())
worker = open(template, encoding="utf-8").read()
worker = worker.replace("@VERSION@", digest.hexdigest()[:16])
worker = worker.replace("@FILES@", json.dumps(["./"] + names))
target = os.path.join(folder, "sw.js")
if not os.path.exists(target) or open(target, encoding="utf-8").read() != worker:
    with open(target, "w", encoding="utf-8", newline="\n") as out:
        out.write(worker)
